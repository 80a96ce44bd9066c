// The clip export dialog: its defaults, the modal run through the platform
// façade, the export on a worker thread, cancel and close while running.
#include "evidence/ClipSpan.h"
#include "lang/Lang.h"
#include "platform/Platform.h"
#include "windows/ExportClipDlg.h"
#include "writers/MediaWriters.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QResource>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace ExportClipIds;
using ClipLayout = CClipOptions::Layout;

class TestExportClipDlg : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void defaults_data();
    void defaults();
    void layoutsWithoutRear();
    void runsThroughTheFacade();
    void openFromAMenu();
    void exportsOnAWorker();
    void cancelLeavesNoFile();
    void closingWhileRunningAsks();
    void browseAndBadSpan();

private:
    QTemporaryDir m_dir;
    QString m_front;
    CRecordingPlatform m_platform;
    CPlatform* m_previous = nullptr;
    QString Folder(const char* name) const
    {
        const QString f = m_dir.filePath(QLatin1String(name));
        QDir().mkpath(f);
        return f;
    }
};

void TestExportClipDlg::initTestCase()
{
    const QString library = qEnvironmentVariable("KESTRAV_BIN_DIR") + QStringLiteral("/NvImageDll.rcc");
    QVERIFY2(QResource::registerResource(library), qPrintable(library));
    QVERIFY(SelectLanguage(QStringLiteral("english")));
    m_previous = CPlatform::Install(&m_platform);
    Mp4Options o;
    o.durationSec = 12;
    o.size = QSize(640, 360);
    o.audio = true;
    m_front = m_dir.filePath("REC_2024_05_10_10_00_00_F.MP4");
    QString error;
    QVERIFY2(WriteTestMp4(m_front, o, &error), qPrintable(error));
    o.size = QSize(320, 180);
    o.channel = 'R';
    QVERIFY2(WriteTestMp4(m_dir.filePath("REC_2024_05_10_10_00_00_R.MP4"), o, &error), qPrintable(error));
}

void TestExportClipDlg::cleanupTestCase()
{
    CPlatform::Install(m_previous);
}

void TestExportClipDlg::init()
{
    m_platform.Clear();
    m_platform.messageBoxAnswers.clear();
    m_platform.saveFileAnswers.clear();
    m_platform.modalInspector = nullptr;
}

void TestExportClipDlg::defaults_data()
{
    QTest::addColumn<double>("position");
    QTest::addColumn<double>("duration");
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::newRow("around the position") << 100.0 << 300.0 << "01:25" << "01:55";
    QTest::newRow("at the start") << 3.0 << 300.0 << "00:00" << "00:30";
    QTest::newRow("at the end") << 299.0 << 300.0 << "04:30" << "05:00";
    QTest::newRow("short recording") << 5.0 << 12.0 << "00:00" << "00:12";
}

void TestExportClipDlg::defaults()
{
    QFETCH(double, position);
    QFETCH(double, duration);
    QFETCH(QString, from);
    QFETCH(QString, to);
    CExportClipDlg dlg;
    dlg.Prepare(m_front, duration, position, true, false);
    const auto edits = dlg.findChildren<QLineEdit*>();
    QCOMPARE(edits.size(), 2);
    QCOMPARE(edits[0]->text(), from);
    QCOMPARE(edits[1]->text(), to);
    double a = 0, b = 0;
    QVERIFY(dlg.Span(&a, &b));
    QVERIFY(b - a <= kDefaultSpanSeconds && b <= duration && a >= 0);
    QCOMPARE(dlg.Layout(), ClipLayout::Pip);
    QVERIFY(dlg.Overlay());
    QCOMPARE(dlg.OutputFolder(), CExportClipDlg::DefaultFolder());
    QCOMPARE(dlg.OutputPath(), QDir(CExportClipDlg::DefaultFolder()).filePath(ClipSpan::OutputName(m_front, a, b)));
    QCOMPARE(dlg.windowTitle(), QStringLiteral("Export clip"));
}

void TestExportClipDlg::layoutsWithoutRear()
{
    CExportClipDlg dlg;
    dlg.Prepare(m_front, 12, 0, false, false);
    QVERIFY(dlg.IsLayoutOffered(ClipLayout::Front));
    QVERIFY(dlg.IsLayoutOffered(ClipLayout::AsRecorded));
    QVERIFY(!dlg.IsLayoutOffered(ClipLayout::Rear));
    QVERIFY(!dlg.IsLayoutOffered(ClipLayout::Pip));
    QVERIFY(!dlg.IsLayoutOffered(ClipLayout::SideBySide));
    QCOMPARE(dlg.Layout(), ClipLayout::Front);
}

void TestExportClipDlg::runsThroughTheFacade()
{
    CExportClipDlg dlg;
    bool inspected = false;
    m_platform.modalInspector = [&](QObject* d) { inspected = d == &dlg && !dlg.IsRunning(); };
    m_platform.modalDialogAnswers = {CPlatform::IDCANCEL};
    QCOMPARE(dlg.DoModal(m_front, 12, 6, true, false), int(CPlatform::IDCANCEL));
    QVERIFY(inspected);
    const auto calls = m_platform.CallsOf(QStringLiteral("RunModalDialog"));
    QCOMPARE(calls.size(), 1);
    QCOMPARE(calls[0].caption, QStringLiteral("CExportClipDlg"));
    QCOMPARE(calls[0].text, QStringLiteral("Export clip"));
}

void TestExportClipDlg::openFromAMenu()
{
    // Either file of the pair: the rear is found by the naming, the length
    // is read from the file, the span lies within it.
    QWidget window;
    bool inspected = false;
    m_platform.modalInspector = [&](QObject* d) {
        auto* dlg = qobject_cast<CExportClipDlg*>(d);
        QVERIFY(dlg);
        QCOMPARE(dlg->parentWidget(), &window);
        QVERIFY(dlg->IsLayoutOffered(ClipLayout::Pip));
        QCOMPARE(dlg->Layout(), ClipLayout::Pip);
        const auto edits = dlg->findChildren<QLineEdit*>();
        QCOMPARE(edits[0]->text(), QStringLiteral("00:00"));
        QCOMPARE(edits[1]->text(), QStringLiteral("00:12"));
        inspected = true;
    };
    m_platform.modalDialogAnswers = {CPlatform::IDCANCEL};
    const QString rear = m_dir.filePath("REC_2024_05_10_10_00_00_R.MP4");
    QCOMPARE(CExportClipDlg::Open(rear, 11, &window), int(CPlatform::IDCANCEL));
    QVERIFY(inspected);
    QVERIFY(m_platform.CallsOf(QStringLiteral("MessageBox")).isEmpty());

    // A file that cannot be read: the user is told, no dialog.
    m_platform.Clear();
    const QString missing = m_dir.filePath("REC_2024_05_10_12_00_00_F.MP4");
    QCOMPARE(CExportClipDlg::Open(missing, 0, &window), int(CPlatform::IDCANCEL));
    QVERIFY(m_platform.CallsOf(QStringLiteral("RunModalDialog")).isEmpty());
    const auto boxes = m_platform.CallsOf(QStringLiteral("MessageBox"));
    QCOMPARE(boxes.size(), 1);
    QVERIFY(boxes[0].text.startsWith(LangText(QLatin1String(kFailedKey))));
}

void TestExportClipDlg::exportsOnAWorker()
{
    CExportClipDlg dlg;
    dlg.Prepare(m_front, 12, 3, true, true);
    dlg.SetOutputFolder(Folder("worker"));
    dlg.SetSpan(1, 4);
    dlg.SetLayout(ClipLayout::SideBySide);
    QSignalSpy ended(&dlg, &CExportClipDlg::ExportEnded);
    const QString expected = dlg.OutputPath();
    dlg.show();
    dlg.StartExport();
    QVERIFY(dlg.IsRunning());
    QVERIFY(!dlg.findChild<QComboBox*>()->isEnabled()); // the fields wait while it runs
    QTRY_COMPARE_WITH_TIMEOUT(ended.size(), 1, 60000);
    QVERIFY(!dlg.IsRunning());
    QCOMPARE(ended[0][0].toBool(), true);
    QVERIFY2(dlg.LastResult().ok, qPrintable(dlg.LastResult().error));
    QCOMPARE(dlg.LastResult().outputPath, expected);
    QCOMPARE(dlg.LastResult().size, QSize(1280, 360));
    QVERIFY(QFile::exists(expected));
    QCOMPARE(dlg.Percent(), 100);
    const auto boxes = m_platform.CallsOf(QStringLiteral("MessageBox"));
    QCOMPARE(boxes.size(), 1);
    QVERIFY(boxes[0].text.startsWith(LangText(QLatin1String(kSavedKey))));
    QCOMPARE(dlg.result(), int(CPlatform::IDOK));
}

void TestExportClipDlg::cancelLeavesNoFile()
{
    CExportClipDlg dlg;
    dlg.Prepare(m_front, 12, 6, true, false);
    const QString folder = Folder("cancel");
    dlg.SetOutputFolder(folder);
    dlg.SetSpan(0, 12);
    QSignalSpy ended(&dlg, &CExportClipDlg::ExportEnded);
    dlg.StartExport();
    dlg.CancelExport();
    QTRY_COMPARE_WITH_TIMEOUT(ended.size(), 1, 60000);
    QCOMPARE(ended[0][0].toBool(), false);
    QVERIFY(dlg.LastResult().cancelled);
    QCOMPARE(dlg.StatusText(), LangText(QLatin1String(kCancelledKey)));
    QVERIFY(QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System).isEmpty());
    QVERIFY(m_platform.CallsOf(QStringLiteral("MessageBox")).isEmpty());
}

void TestExportClipDlg::closingWhileRunningAsks()
{
    CExportClipDlg dlg;
    dlg.Prepare(m_front, 12, 6, true, false);
    const QString folder = Folder("close");
    dlg.SetOutputFolder(folder);
    dlg.SetSpan(0, 12);
    QSignalSpy ended(&dlg, &CExportClipDlg::ExportEnded);
    QSignalSpy finished(&dlg, &QDialog::finished);
    dlg.show();
    dlg.StartExport();
    m_platform.messageBoxAnswers = {CPlatform::IDNO, CPlatform::IDYES};
    dlg.reject(); // "no": it goes on
    QVERIFY(dlg.IsRunning());
    QVERIFY(finished.isEmpty());
    dlg.reject(); // "yes": cancelled, then closed
    QTRY_COMPARE_WITH_TIMEOUT(ended.size(), 1, 60000);
    QTRY_COMPARE(finished.size(), 1);
    QCOMPARE(finished[0][0].toInt(), int(CPlatform::IDCANCEL));
    const auto asked = m_platform.CallsOf(QStringLiteral("MessageBox"));
    QCOMPARE(asked.size(), 2);
    QCOMPARE(asked[0].text, LangText(QLatin1String(kAskCancelKey)));
    QVERIFY(QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System).isEmpty());
    // Closed while idle: no question.
    m_platform.Clear();
    dlg.reject();
    QVERIFY(m_platform.CallsOf(QStringLiteral("MessageBox")).isEmpty());
}

void TestExportClipDlg::browseAndBadSpan()
{
    CExportClipDlg dlg;
    dlg.Prepare(m_front, 12, 6, true, false);
    const QString folder = Folder("browse");
    m_platform.saveFileAnswers = {folder + QStringLiteral("/my clip")};
    auto* browse = dlg.findChild<QWidget*>(QString::number(kIdBrowse));
    QVERIFY(browse);
    dlg.show();
    QTest::mouseClick(browse, Qt::LeftButton, {}, QPoint(5, 5));
    QTRY_COMPARE(dlg.OutputPath(), folder + QStringLiteral("/my clip.mp4"));
    const auto asked = m_platform.CallsOf(QStringLiteral("GetSaveFileName"));
    QCOMPARE(asked.size(), 1);
    QVERIFY(asked[0].caption.endsWith(ClipSpan::OutputName(m_front, 0, 12)));

    // A span that is not one: nothing starts, the reason shows.
    const auto edits = dlg.findChildren<QLineEdit*>();
    edits[0]->setText(QStringLiteral("0:10"));
    edits[1]->setText(QStringLiteral("0:05"));
    dlg.StartExport();
    QVERIFY(!dlg.IsRunning());
    QCOMPARE(dlg.StatusText(), LangText(QLatin1String(kBadSpanKey)));
    edits[0]->setText(QStringLiteral("0:20")); // after the recording's end
    edits[1]->setText(QStringLiteral("0:25"));
    double a = 0, b = 0;
    QVERIFY(!dlg.Span(&a, &b));
}

QTEST_MAIN(TestExportClipDlg)
#include "tst_exportclipdlg.moc"
