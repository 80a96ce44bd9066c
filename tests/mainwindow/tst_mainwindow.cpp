// The main window's lifecycle: start-up order, the memory card coming and
// going, the analysis thread and its progress texts, closing, keys, moving
// and resizing, and the composed background.
#include "CardFixture.h"
#include "WindowTestEnvironment.h"
#include "base/AppVersion.h"
#include "base/AutoResetEvent.h"
#include "mainwindow/CardController.h"
#include "lang/Lang.h"
#include "mainwindow/MainWindowIds.h"
#include "catalogue/MemoryCard.h"
#include "mainwindow/MovaraDlg.h"
#include "mainwindow/WindowModes.h"
#include "PeWriter.h"
#include "platform/Platform.h"
#include "skin/RButton.h"
#include "skin/RListCtrl.h"
#include "windows/VideoMainWnd.h"
#include "skin/RStaticText.h"
#include "platform/RemovableMedia.h"
#include "skin/SkinBalloonTip.h"
#include "skin/SkinBlit.h"
#include "skin/SkinImage.h"
#include "telemetry/TextData.h"
#include "support/TraceCapture.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPainter>
#include <QResource>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <thread>

using namespace MainWnd;

namespace {
const QStringList kThreeRecordings = ThreeRecordings();

bool InOrder(const QStringList& lines, const QStringList& wanted)
{
    qsizetype at = 0;
    for (const QString& w : wanted) {
        at = lines.indexOf(w, at);
        if (at < 0) {
            qWarning() << "missing or out of order:" << w;
            return false;
        }
        ++at;
    }
    return true;
}

QString Text(const char* key)
{
    return LangText(QString::fromLatin1(key));
}
} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private:
    CRecordingPlatform m_platform;
    QTemporaryDir m_dir;
    QString m_cardA;
    QString m_cardB;

    CMovaraDlgOptions Options(FakeExtraction& fake)
    {
        CMovaraDlgOptions o;
        o.splashPeriodMs = 1;
        o.extract = fake.Fn();
        o.probeConnectivity = [] { return false; };
        return o;
    }
    void SetRoots(const QStringList& roots) { qputenv("KESTRAV_CARD_ROOTS", roots.join(QLatin1Char(':')).toLocal8Bit()); }
    static CRStaticText* StaticText(CMovaraDlg& dlg, int id) { return qobject_cast<CRStaticText*>(dlg.Control(id)); }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        StartWindowTests(m_platform, QStringLiteral("korean"));
    }
    void init()
    {
        // The card globals belong to the process; each case starts without a card.
        ForgetCard();
        static int n = 0;
        ++n;
        m_cardA = m_dir.filePath(QStringLiteral("a%1").arg(n));
        m_cardB = m_dir.filePath(QStringLiteral("b%1").arg(n));
        QDir().mkpath(m_cardA);
        QDir().mkpath(m_cardB);
        SetRoots({m_cardA});
        m_platform.Clear();
    }
    void cleanup()
    {
        // Every picture the window asked for exists in the image library.
        QVERIFY(m_platform.CallsOf(QStringLiteral("MessageBox")).isEmpty());
    }
    void cleanupTestCase()
    {
        FinishWindowTests();
    }

    void startUpOrder();
    void progressTextsShownThenHidden();
    void noCardAtStart();
    void categoryButtons();
    void cardInsertedAndRemoved();
    void secondCardIgnoredWhileOneIsInUse();
    void removalWaitsForTheAnalysis();
    void closeWaitsForTheAnalysis();
    void closingKeysAndButtons_data();
    void closingKeysAndButtons();
    void minimumSizeAndGripResize();
    void dragMovesOnlyInNormalMode_data();
    void dragMovesOnlyInNormalMode();
    void dragEndingOverAButtonIsNoClick();
    void growAndRestoreMovesControlsBack();
    void frames();
    void titleBadges_data();
    void titleBadges();
};

void TestMainWindow::startUpOrder()
{
    QVERIFY(WriteCard(m_cardA, "ARX330", kThreeRecordings));
    FakeExtraction fake;
    CTraceCapture trace;
    CMovaraDlg dlg(Options(fake));
    QObject::connect(&dlg.Splash(), &QDialog::finished, [&fake] { fake.splashEnded = true; });
    QVERIFY(dlg.OnInitDialog());

    QVERIFY(InOrder(trace.Lines(),
                    {QStringLiteral("Kestrav : IsInternetConnect FAIL..."),
                     QStringLiteral("Kestrav---->Load App Version") + FormatFileVersion(ProgramFileVersion()),
                     QStringLiteral("Kestrav---->Load Images"), QStringLiteral("Kestrav---->LoadImages Start"),
                     QStringLiteral("Kestrav---->LoadImages End"), QStringLiteral("Kestrav---->Create Controls"),
                     QStringLiteral("CreateControls CreateVideoWnds"), QStringLiteral("CreateControls CreateSlider"),
                     QStringLiteral("CreateControls CreateBtns"), QStringLiteral("CreateControls CreateDropBoxs"),
                     QStringLiteral("CreateControls CreateStatics"), QStringLiteral("CreateControls CreateListCtrl"),
                     QStringLiteral("Kestrav---->Create Map"), QStringLiteral("Kestrav---->Resource Loading compleate."),
                     QStringLiteral("Kestrav----->Movie list initialized,"),
                     QStringLiteral("Splash pos : <100>"),
                     QStringLiteral("Kestrav----->Splash disappeard event set"),
                     QStringLiteral("Kestrav----->Splash disappeard event received,"),
                     QStringLiteral("Kestrav----->BlackBoxData Found"), QStringLiteral("Kestrav---->Init compleate.")}));
    QCOMPARE(trace.Lines().count(QStringLiteral("Kestrav----->Splash disappeard event set")), 1);
    QVERIFY(!trace.Contains(QStringLiteral("Kestrav----->Splash ended without the event")));
    if (dlg.MountWatcher())
        QVERIFY(InOrder(trace.Lines(), {QStringLiteral("Kestrav----->Splash disappeard event received,"),
                                        QStringLiteral("Kestrav----->SHChangeNotifyRegister"),
                                        QStringLiteral("Kestrav---->Init compleate.")}));

    // The window: frameless, titled, at the base size which is also its minimum.
    QVERIFY(dlg.isVisible());
    QVERIFY(!dlg.Splash().isVisible());
    QCOMPARE(dlg.windowTitle(), QStringLiteral("Kestrav"));
    QVERIFY(dlg.windowFlags() & Qt::FramelessWindowHint);
    QCOMPARE(dlg.size(), QSize(kBaseWidth, kBaseHeight));
    QCOMPARE(dlg.minimumSize(), QSize(kBaseWidth, kBaseHeight));
    QCOMPARE(dlg.initDone, 1);
    QCOMPARE(g_internetOk, 0);
    QVERIFY(QRegularExpression(QStringLiteral("^\\d+\\.\\d+\\.\\d+\\.\\d{2,}$")).match(g_appVersion).hasMatch());
    QCOMPARE(qobject_cast<QLabel*>(dlg.Control(kIdVersion))->text(), QStringLiteral("Ver ") + g_appVersion);
    QVERIFY(!g_showMainEvent); // seen and closed by start-up

    // The catalogue from the card; the play list shows its first non-empty category.
    QCOMPARE(dlg.Card().CardRoot(), QDir::cleanPath(m_cardA) + QLatin1Char('/'));
    QCOMPARE(dlg.Catalogue()[Catalogue::kContinuous].size(), size_t(2));
    QCOMPARE(dlg.Catalogue()[Catalogue::kParkingImpact].size(), size_t(1));
    QCOMPARE(dlg.listCategory, Catalogue::kContinuous);
    QCOMPARE(dlg.List()->GetItemCount(), 2);
    QCOMPARE(dlg.List()->GetItem(0).name, QStringLiteral("REC_2024_05_10_08_26_44_F.AVI"));
    QVERIFY(dlg.List()->isVisible());
    QCOMPARE(dlg.List()->geometry(), QRect(QPoint(kBaseWidth - 323, 470), QPoint(kBaseWidth - 2, 689)));

    // The analysis ran after the splash, over every entry, and signalled its event.
    QTRY_VERIFY(!dlg.IsAnalysisRunning());
    QTRY_COMPARE(fake.returned.load(), 3);
    QVERIFY(!fake.enteredBeforeSplash);
    QCOMPARE(dlg.Card().AnalysisStop(), 1);
    QVERIFY(g_fileParsingEvent && g_fileParsingEvent->IsSignalled());
    for (const CategoryMap& m : dlg.Catalogue())
        for (const auto& [key, entry] : m)
            QCOMPARE(entry.textData.gsensorList.size(), size_t(1));
}

void TestMainWindow::progressTextsShownThenHidden()
{
    QVERIFY(WriteCard(m_cardA, "ARX330", kThreeRecordings));
    FakeExtraction fake;
    fake.open = false;
    CMovaraDlg dlg(Options(fake));
    dlg.OnInitDialog();
    CRStaticText* message = StaticText(dlg, kIdAnalysisMessage);
    CRStaticText* percent = StaticText(dlg, kIdAnalysisPercent);
    QVERIFY(message && percent);

    // While the first recording is being read: both texts, at 0 %.
    QTRY_COMPARE(fake.entered.load(), 1);
    QTRY_VERIFY(message->isVisible() && percent->isVisible());
    QCOMPARE(message->Text(), Text("IDS_STRING_K_088"));
    QCOMPARE(percent->Text(), QStringLiteral("0%"));
    // The percent stands just after the message's text.
    QVERIFY(percent->x() > message->x() + QFontMetrics(message->font()).horizontalAdvance(message->Text()) / 2);

    fake.open = true;
    QTRY_VERIFY(!dlg.IsAnalysisRunning());
    // Done: the completion message stays, the percent goes, timer 104 runs.
    QTRY_COMPARE(message->Text(), Text("IDS_STRING_K_089"));
    QTRY_VERIFY(!percent->isVisible());
    QVERIFY(message->isVisible());
    QTRY_VERIFY(dlg.IsTimerActive(kTimerHideAnalysisMessage));
    // Timer 104 hides the message and stops itself.
    QTRY_VERIFY_WITH_TIMEOUT(!message->isVisible(), 10000);
    QVERIFY(!dlg.IsTimerActive(kTimerHideAnalysisMessage));
}

void TestMainWindow::noCardAtStart()
{
    FakeExtraction fake;
    CTraceCapture trace;
    CMovaraDlg dlg(Options(fake));
    dlg.OnInitDialog();
    QVERIFY(trace.Contains(QStringLiteral("Kestrav----->NO SDCARD,,")));
    QVERIFY(trace.Contains(QStringLiteral("Kestrav----->BlackBoxData not Found")));
    QVERIFY(dlg.Card().CardRoot().isEmpty());
    QTRY_VERIFY(!dlg.IsAnalysisRunning());
    QVERIFY(g_fileParsingEvent->IsSignalled());
    QCOMPARE(fake.entered.load(), 0);
    QTest::qWait(50);
    QVERIFY(!dlg.Control(kIdAnalysisMessage)->isVisible());
    QVERIFY(!dlg.Control(kIdAnalysisPercent)->isVisible());
    QVERIFY(dlg.List()->IsEmptyMode());
    QVERIFY(!dlg.Control(kIdPlay)->isEnabled());
    QVERIFY(!dlg.Control(kIdSettings)->isEnabled());
    QCOMPARE(dlg.playTypeLocked, 1);
}

void TestMainWindow::categoryButtons()
{
    // Nothing continuous: the list opens on the parking tab, motion first.
    QVERIFY(WriteCard(m_cardA, "ARX330",
                      {QStringLiteral("주차모션/REC_2024_05_10_10_00_00_F.AVI"),
                       QStringLiteral("주차모션/REC_2024_05_10_10_01_00_F.AVI"),
                       QStringLiteral("수동녹화/REC_2024_05_10_11_00_00_F.AVI")}));
    FakeExtraction fake;
    CMovaraDlg dlg(Options(fake));
    dlg.OnInitDialog();
    auto button = [&dlg](int id) { return qobject_cast<CRButton*>(dlg.Control(id)); };
    QCOMPARE(dlg.listCategory, Catalogue::kParkingMotion);
    QCOMPARE(dlg.List()->GetItemCount(), 2);
    QVERIFY(button(kIdListParking)->IsChecked());
    QVERIFY(!button(kIdListNormal)->IsChecked());
    QVERIFY(button(kIdListParkMotion)->isVisible() && button(kIdListParkShock)->isVisible());
    QVERIFY(!button(kIdListRecNormal)->isVisible() && !button(kIdListNameTitle)->isVisible());
    // Empty categories cannot be chosen.
    QVERIFY(!button(kIdListNormal)->isEnabled());
    QVERIFY(!button(kIdListParkShock)->isEnabled());
    QVERIFY(!button(kIdListPosition)->isEnabled());
    QVERIFY(button(kIdListManual)->isEnabled());

    // The manual tab: one recording, the column titles as its second row.
    QTest::mouseClick(button(kIdListManual), Qt::LeftButton);
    QTRY_COMPARE(dlg.listCategory, Catalogue::kManual);
    QCOMPARE(dlg.List()->GetItemCount(), 1);
    QCOMPARE(dlg.List()->GetItem(0).name, QStringLiteral("REC_2024_05_10_11_00_00_F.AVI"));
    QVERIFY(button(kIdListManual)->IsChecked());
    QVERIFY(!button(kIdListParking)->IsChecked());
    QVERIFY(button(kIdListNameTitle)->isVisible() && button(kIdListSizeTitle)->isVisible());
    QVERIFY(!button(kIdListParkMotion)->isVisible());
}

void TestMainWindow::cardInsertedAndRemoved()
{
    FakeExtraction fake;
    CMovaraDlg dlg(Options(fake));
    dlg.OnInitDialog();
    QTRY_VERIFY(!dlg.IsAnalysisRunning());
    QVERIFY(dlg.MountWatcher());
    CTraceCapture trace;

    // Inserted: the card is read, listed and analysed.
    QVERIFY(WriteCard(m_cardA, "CMV550View(V2)", kThreeRecordings));
    QSignalSpy inserted(&dlg, &CMovaraDlg::CardInserted);
    emit dlg.MountWatcher()->Changed();
    QCOMPARE(inserted.size(), 1);
    QVERIFY(InOrder(trace.Lines(), {QStringLiteral("Kestrav---->Recv WM_USER_MEDIACHANGED"),
                                    QStringLiteral("Kestrav----->SDCARD Insert"),
                                    QStringLiteral("Kestrav---->WM_DEVICECHANGE(SD IN)")}));
    QCOMPARE(g_cardRoot, QDir::cleanPath(m_cardA) + QLatin1Char('/'));
    QCOMPARE(DeviceModelName(g_deviceRecord), QStringLiteral("CMV550View"));
    QCOMPARE(CatalogueSize(dlg.Catalogue()), size_t(3));
    QVERIFY(!dlg.List()->IsEmptyMode());
    QCOMPARE(dlg.List()->GetItemCount(), 2);
    QVERIFY(dlg.Control(kIdPlay)->isEnabled());
    QCOMPARE(dlg.dualStreamMode, 1);
    QCOMPARE(dlg.playTypeLocked, 0);
    QTRY_COMPARE(fake.returned.load(), 3);
    QTRY_VERIFY(!dlg.IsAnalysisRunning());

    // Another change with the same card present changes nothing.
    emit dlg.MountWatcher()->Changed();
    QCOMPARE(inserted.size(), 1);
    QCOMPARE(CatalogueSize(dlg.Catalogue()), size_t(3));

    // Removed: the catalogue and the card globals are emptied.
    trace.Clear();
    QVERIFY(QDir(m_cardA).removeRecursively());
    QSignalSpy removed(&dlg, &CMovaraDlg::CardRemoved);
    dlg.OnDeviceChange();
    QCOMPARE(removed.size(), 1);
    QVERIFY(InOrder(trace.Lines(), {QStringLiteral("Kestrav---->Recv WM_DEVICECHANGE"),
                                    QStringLiteral("Kestrav----->NO SDCARD,,"),
                                    QStringLiteral("Kestrav---->WM_DEVICECHANGE(SD OUT)")}));
    QCOMPARE(CatalogueSize(dlg.Catalogue()), size_t(0));
    QVERIFY(dlg.currentCategoryMap == nullptr);
    QVERIFY(g_cardRoot.isEmpty());
    QVERIFY(dlg.Card().CardRoot().isEmpty());
    QVERIFY(g_deviceRecord.isEmpty());
    QCOMPARE(g_cardSizeGB, 0.0f);
    QVERIFY(dlg.List()->IsEmptyMode());
    QCOMPARE(dlg.List()->GetItemCount(), 0);
    QVERIFY(!dlg.Control(kIdPlay)->isEnabled());
}

void TestMainWindow::secondCardIgnoredWhileOneIsInUse()
{
    // B is listed first, but A is the card in use.
    QVERIFY(WriteCard(m_cardA, "ARX330", kThreeRecordings));
    SetRoots({m_cardB, m_cardA});
    FakeExtraction fake;
    CMovaraDlg dlg(Options(fake));
    dlg.OnInitDialog();
    QTRY_VERIFY(!dlg.IsAnalysisRunning());
    const QString rootA = QDir::cleanPath(m_cardA) + QLatin1Char('/');
    const QString rootB = QDir::cleanPath(m_cardB) + QLatin1Char('/');
    QCOMPARE(g_cardRoot, rootA);

    QVERIFY(WriteCard(m_cardB, "BT33", {QStringLiteral("수동녹화/REC_2024_06_01_10_00_00_F.AVI")}));
    QSignalSpy inserted(&dlg, &CMovaraDlg::CardInserted);
    QSignalSpy removed(&dlg, &CMovaraDlg::CardRemoved);
    const int extractions = fake.entered.load();
    emit dlg.MountWatcher()->Changed();
    QCOMPARE(inserted.size(), 0);
    QCOMPARE(removed.size(), 0);
    QCOMPARE(g_cardRoot, rootA);
    QCOMPARE(dlg.Card().CardRoot(), rootA);
    QCOMPARE(DeviceModelName(g_deviceRecord), QStringLiteral("ARX330"));
    QCOMPARE(CatalogueSize(dlg.Catalogue()), size_t(3));
    QTest::qWait(50);
    QCOMPARE(fake.entered.load(), extractions); // no new analysis

    // Once A goes, B (still there) is taken up.
    QVERIFY(QDir(m_cardA).removeRecursively());
    emit dlg.MountWatcher()->Changed();
    QCOMPARE(removed.size(), 1);
    QCOMPARE(inserted.size(), 1);
    QCOMPARE(g_cardRoot, rootB);
    QCOMPARE(DeviceModelName(g_deviceRecord), QStringLiteral("BT33"));
    QCOMPARE(CatalogueSize(dlg.Catalogue()), size_t(1));
    QCOMPARE(dlg.Catalogue()[Catalogue::kManual].size(), size_t(1));
    QCOMPARE(dlg.listCategory, Catalogue::kManual);
}

void TestMainWindow::removalWaitsForTheAnalysis()
{
    QVERIFY(WriteCard(m_cardA, "ARX330", kThreeRecordings));
    FakeExtraction fake;
    fake.open = false;
    CMovaraDlg dlg(Options(fake));
    dlg.OnInitDialog();
    QTRY_COMPARE(fake.entered.load(), 1); // held inside the first extraction

    // When the catalogue is emptied, no extraction is under way any more.
    bool extractionRunningAtClear = true;
    bool threadRunningAtClear = true;
    QObject::connect(&dlg, &CMovaraDlg::CardRemoved, [&] {
        extractionRunningAtClear = fake.entered.load() != fake.returned.load();
        threadRunningAtClear = dlg.IsAnalysisRunning();
    });
    QVERIFY(QDir(m_cardA).removeRecursively());
    std::thread opener = OpenLater(fake, 200);
    emit dlg.MountWatcher()->Changed();
    opener.join();
    QVERIFY(!extractionRunningAtClear);
    QVERIFY(!threadRunningAtClear);
    QCOMPARE(fake.entered.load(), 1); // the stop took effect before the next entry
    QCOMPARE(CatalogueSize(dlg.Catalogue()), size_t(0));
    // The stopped run hides its texts.
    QTRY_VERIFY(!dlg.Control(kIdAnalysisMessage)->isVisible());
    QVERIFY(!dlg.Control(kIdAnalysisPercent)->isVisible());
}

void TestMainWindow::closeWaitsForTheAnalysis()
{
    QVERIFY(WriteCard(m_cardA, "ARX330", kThreeRecordings));
    FakeExtraction fake;
    fake.open = false;
    CTraceCapture trace;
    CMovaraDlg dlg(Options(fake));
    dlg.OnInitDialog();
    QTRY_COMPARE(fake.entered.load(), 1);

    std::thread opener = OpenLater(fake, 200);
    QVERIFY(dlg.close());
    // close() returned only after the extraction under way had finished.
    const int returnedAtClose = fake.returned.load();
    opener.join();
    QCOMPARE(returnedAtClose, 1);
    QCOMPARE(fake.entered.load(), 1);
    QVERIFY(!dlg.IsAnalysisRunning());
    QVERIFY(dlg.OnCloseDone());
    QVERIFY(!dlg.isVisible());
    QVERIFY(g_deviceRecord.isEmpty());
    QVERIFY(!dlg.MountWatcher());
    QCOMPARE(dlg.Card().ShellNotifyId(), 0u);
    QVERIFY(trace.Contains(QStringLiteral("Kestrav :: <<<<<<<<<<<<<<<<OnClose>>>>>>>>>>>>>>>")));
}

void TestMainWindow::closingKeysAndButtons_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("closes");
    QTest::newRow("Escape") << "escape" << false;
    QTest::newRow("Escape on a child") << "escape-child" << false;
    QTest::newRow("Enter") << "enter" << false;
    QTest::newRow("Ctrl+Q") << "ctrl-q" << true;
    QTest::newRow("close button") << "button" << true;
    QTest::newRow("File > Exit") << "exit" << true;
    QTest::newRow("window system close") << "close" << true;
}

void TestMainWindow::closingKeysAndButtons()
{
    QFETCH(QString, how);
    QFETCH(bool, closes);
    FakeExtraction fake;
    CMovaraDlg dlg(Options(fake));
    dlg.OnInitDialog();
    QSignalSpy rejected(&dlg, &QDialog::rejected);
    if (how == QLatin1String("escape"))
        QTest::keyClick(&dlg, Qt::Key_Escape);
    else if (how == QLatin1String("escape-child"))
        QTest::keyClick(dlg.List(), Qt::Key_Escape);
    else if (how == QLatin1String("enter"))
        QTest::keyClick(&dlg, Qt::Key_Return);
    else if (how == QLatin1String("ctrl-q"))
        QTest::keyClick(&dlg, Qt::Key_Q, Qt::ControlModifier);
    else if (how == QLatin1String("button"))
        QTest::mouseClick(dlg.Control(kIdClose), Qt::LeftButton);
    else if (how == QLatin1String("exit"))
        dlg.OnCommand(kCmdFileExit);
    else
        dlg.close();
    if (closes) {
        QTRY_VERIFY(dlg.OnCloseDone());
        QVERIFY(!dlg.isVisible());
    } else {
        QTest::qWait(50);
        QVERIFY(!dlg.OnCloseDone());
        QVERIFY(dlg.isVisible());
        QCOMPARE(rejected.size(), 0);
    }
}

void TestMainWindow::minimumSizeAndGripResize()
{
    FakeExtraction fake;
    CMovaraDlg dlg(Options(fake));
    dlg.OnInitDialog();
    dlg.resize(800, 600);
    QCOMPARE(dlg.size(), QSize(kBaseWidth, kBaseHeight));

    const QPoint playAt = dlg.Control(kIdPlay)->pos();
    const QPoint grip(kBaseWidth - 5, kBaseHeight - 5);
    // Dragging the grip inwards stops at the minimum size.
    QTest::mousePress(&dlg, Qt::LeftButton, Qt::NoModifier, grip);
    QTest::mouseMove(&dlg, grip - QPoint(100, 100));
    QTest::mouseRelease(&dlg, Qt::LeftButton, Qt::NoModifier, grip - QPoint(100, 100));
    QCOMPARE(dlg.size(), QSize(kBaseWidth, kBaseHeight));
    // Outwards it grows, and the controls follow.
    QTest::mousePress(&dlg, Qt::LeftButton, Qt::NoModifier, grip);
    QTest::mouseMove(&dlg, grip + QPoint(50, 30));
    QTest::mouseRelease(&dlg, Qt::LeftButton, Qt::NoModifier, grip + QPoint(50, 30));
    QCOMPARE(dlg.size(), QSize(kBaseWidth + 50, kBaseHeight + 30));
    QCOMPARE(dlg.Control(kIdPlay)->pos(), playAt + QPoint(25, 30));
    QCOMPARE(dlg.clientRect, (SkinRect{0, 0, kBaseWidth + 50, kBaseHeight + 30}));
    QCOMPARE(dlg.mapArea, (SkinRect{kBaseWidth + 50 - 322, 146, kBaseWidth + 50 - 2, 386}));
    QVERIFY(dlg.pos() == QPoint(0, 0)); // resizing does not move
}

void TestMainWindow::dragMovesOnlyInNormalMode_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("moves");
    QTest::newRow("normal") << kModeNormal << true;
    QTest::newRow("maximised") << kModeMaximised << false;
    QTest::newRow("expanded") << kModeExpanded << false;
}

void TestMainWindow::dragMovesOnlyInNormalMode()
{
    QFETCH(int, mode);
    QFETCH(bool, moves);
    FakeExtraction fake;
    CMovaraDlg dlg(Options(fake));
    dlg.OnInitDialog();
    dlg.Modes().SetWindowMode(mode);
    const QPoint start = dlg.pos();
    // Inside the front video area: the unzoomed front picture hands the
    // left button on to the window.
    const QPoint body(300, 300);
    QWidget* front = dlg.childAt(body);
    QCOMPARE(front, static_cast<QWidget*>(dlg.FrontVideo()));
    const QPoint at = front->mapFrom(&dlg, body);
    QTest::mousePress(front, Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseMove(front, at + QPoint(30, 20));
    QTest::mouseRelease(front, Qt::LeftButton, Qt::NoModifier, at + QPoint(30, 20));
    QCOMPARE(dlg.pos(), moves ? start + QPoint(30, 20) : start);
    QCOMPARE(dlg.size(), QSize(kBaseWidth, kBaseHeight));
}

// The window drag holds the mouse: released where a button now lies, it
// runs no command; a click on that button still does.
void TestMainWindow::dragEndingOverAButtonIsNoClick()
{
    FakeExtraction fake;
    CMovaraDlg dlg(Options(fake));
    dlg.OnInitDialog();
    dlg.move(400, 300); // ends on the screen after the drag
    CTraceCapture trace;
    QWidget* product = dlg.Control(kIdNavigationProduct);
    const QPoint body(300, 300);
    const QPoint overButton = product->geometry().center();
    QTest::mousePress(&dlg, Qt::LeftButton, Qt::NoModifier, body);
    QTest::mouseMove(&dlg, overButton);
    QTest::mouseRelease(&dlg, Qt::LeftButton, Qt::NoModifier, overButton);
    QCoreApplication::sendPostedEvents(); // a posted command would arrive now
    QCOMPARE(dlg.pos(), QPoint(400, 300) + overButton - body); // the window followed the drag
    QCOMPARE(QApplication::widgetAt(dlg.mapToGlobal(overButton)), product);
    QVERIFY(!trace.Contains(QStringLiteral("BTN CLICK : ID_BTN_ORVIA")));

    QTest::mouseClick(product, Qt::LeftButton);
    QTRY_VERIFY(trace.Contains(QStringLiteral("BTN CLICK : ID_BTN_ORVIA")));
}

void TestMainWindow::growAndRestoreMovesControlsBack()
{
    QVERIFY(WriteCard(m_cardA, "ARX330", kThreeRecordings));
    FakeExtraction fake;
    CMovaraDlg dlg(Options(fake));
    dlg.OnInitDialog();
    QMap<QWidget*, QRect> before;
    for (QWidget* w : dlg.findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        before.insert(w, w->geometry());
    const QRect play = dlg.Control(kIdPlay)->geometry();
    const QRect volume = dlg.Control(kIdVolume)->geometry();
    const QRect close = dlg.Control(kIdClose)->geometry();
    const QRect list = dlg.List()->geometry();
    const QRect front = dlg.Control(kIdLabelFront)->geometry();

    dlg.resize(kBaseWidth + 100, kBaseHeight + 50);
    QCOMPARE(dlg.Control(kIdPlay)->geometry(), play.translated(50, 50));
    QCOMPARE(dlg.Control(kIdVolume)->geometry(), volume.translated(100, 50));
    QCOMPARE(dlg.Control(kIdClose)->geometry(), close.translated(100, 0));
    QCOMPARE(dlg.List()->geometry(), list.translated(100, 0).adjusted(0, 0, 0, 50));
    QCOMPARE(dlg.Control(kIdLabelFront)->geometry(), front);
    QCOMPARE(dlg.frontVideoArea, (SkinRect{2, 109, 742, 519}));
    QCOMPARE(dlg.rearVideoArea, (SkinRect{743, 109, 1063, 349}));

    dlg.resize(kBaseWidth, kBaseHeight);
    for (auto it = before.cbegin(); it != before.cend(); ++it)
        QCOMPARE(it.key()->geometry(), it.value());
    QCOMPARE(dlg.frontVideoArea, kFrontVideoArea);
    QCOMPARE(dlg.rearVideoArea, kRearVideoArea);
}

void TestMainWindow::frames()
{
    FakeExtraction fake;
    CMovaraDlg dlg(Options(fake));
    dlg.OnInitDialog();
    const QImage shot = dlg.grab().toImage();
    QCOMPARE(shot.size(), QSize(kBaseWidth, kBaseHeight));
    const QColor black(Qt::black);
    // Front area (2, 109)-(642, 469): a double line on the left, single lines
    // on the other sides, just outside the area.
    for (QPoint p : {QPoint(0, 108), QPoint(0, 300), QPoint(0, 468), QPoint(1, 300), QPoint(1, 108), QPoint(300, 469),
                     QPoint(641, 469), QPoint(642, 300), QPoint(642, 109), QPoint(300, 108), QPoint(2, 108)})
        QCOMPARE(shot.pixelColor(p), black);
    // Rear area (643, 109)-(963, 349): top and right, then a short line
    // further right from its bottom corner up to 50 pixels below its top
    // (the title bar drawn at y = 349 later covers the right line's last pixel).
    for (QPoint p : {QPoint(642, 108), QPoint(800, 108), QPoint(962, 108), QPoint(963, 108), QPoint(963, 348),
                     QPoint(964, 350), QPoint(964, 159)})
        QCOMPARE(shot.pixelColor(p), black);
    // Line ends are excluded, and the front area is the front video
    // window's, edge to edge.
    const QImage& bg = dlg.WindowBackground().GetImage();
    for (QPoint p : {QPoint(0, 469), QPoint(964, 158)})
        QCOMPARE(shot.pixelColor(p), bg.pixelColor(p));
    QVERIFY(shot.pixelColor(964, 158) != black);
    const QImage frontShot = dlg.FrontVideo()->grab().toImage();
    QCOMPARE(dlg.FrontVideo()->geometry(), QRect(QPoint(2, 109), QPoint(641, 468)));
    for (QPoint p : {QPoint(300, 300), QPoint(2, 109), QPoint(641, 468)})
        QCOMPARE(shot.pixelColor(p), frontShot.pixelColor(p - QPoint(2, 109)));

    // The grip: ic_expand.png blended over the background in the corner.
    QImage expected = bg.copy(kBaseWidth - kGripSize, kBaseHeight - kGripSize, kGripSize, kGripSize);
    CSkinSurface grip;
    CSkinImage::GetInstance()->LoadImage(grip, QStringLiteral("ic_expand.png"));
    QCOMPARE(grip.GetWidth(), kGripSize);
    SkinBlit::AlphaBlend(expected, 0, 0, kGripSize, kGripSize, grip.GetImage(), 0, 0);
    const QImage corner = shot.copy(kBaseWidth - kGripSize, kBaseHeight - kGripSize, kGripSize, kGripSize);
    QCOMPARE(corner.convertToFormat(QImage::Format_RGB32), expected.convertToFormat(QImage::Format_RGB32));
    QVERIFY(corner != bg.copy(kBaseWidth - kGripSize, kBaseHeight - kGripSize, kGripSize, kGripSize)
                          .convertToFormat(corner.format()));
}

void TestMainWindow::titleBadges_data()
{
    QTest::addColumn<QByteArray>("model");
    QTest::addColumn<QString>("badge");   // picture expected at (121, cy - h / 2), or empty
    QTest::addColumn<bool>("brand");      // the card carries a settings program with a brand picture
    QTest::addColumn<int>("iconX");
    // Button 1306 is 96 x 26: bx = 121, cy = 19.
    QTest::newRow("CMV550View") << QByteArray("CMV550View(V2)") << "bi_cmv550view.png" << false << 121 + 6 + 105;
    QTest::newRow("ARX550") << QByteArray("ARX550") << "bi_arx550.png" << false << 121 + 6 + 106;
    QTest::newRow("BT33") << QByteArray("BT33") << "bi_bt33.png" << false << 121 + 6 + 45;
    QTest::newRow("ARX330 with a program") << QByteArray("ARX330") << "bi_arx330.png" << true << 121 + 6 + 99;
    QTest::newRow("DZ55 without program") << QByteArray("DZ55") << QString() << false << 121 + 6;
    QTest::newRow("DZ55 with its brand") << QByteArray("DZ55") << QString() << true << 121 + 6 + 40;
}

void TestMainWindow::titleBadges()
{
    QFETCH(QByteArray, model);
    QFETCH(QString, badge);
    QFETCH(bool, brand);
    QFETCH(int, iconX);
    QImage brandPicture(40, 12, QImage::Format_ARGB32);
    brandPicture.fill(QColor(200, 30, 30));
    if (brand) {
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        QVERIFY(brandPicture.save(&buffer, "PNG"));
        CPeWriter pe;
        pe.Add(QStringLiteral("PNG"), QStringLiteral("IDB_BI"), png);
        QDir(m_cardA).mkpath(QStringLiteral("SETTING"));
        QFile exe(m_cardA + QStringLiteral("/SETTING/Setup.exe"));
        QVERIFY(exe.open(QIODevice::WriteOnly));
        exe.write(pe.Build());
    }
    QVERIFY(WriteCard(m_cardA, model, {}, "SETTING/Setup.exe"));
    FakeExtraction fake;
    CMovaraDlg dlg(Options(fake));
    dlg.OnInitDialog();
    QCOMPARE(dlg.Control(kIdNavigationProduct)->geometry(), QRect(10, 6, 96, 26));
    const QImage shot = dlg.grab().toImage().convertToFormat(QImage::Format_RGB32);
    QImage expected = dlg.WindowBackground().GetImage().copy();
    auto blend = [&expected](const QImage& pic, int x, int y) {
        SkinBlit::AlphaBlend(expected, x, y, pic.width(), pic.height(), pic, 0, 0);
    };
    const int cy = 6 + 26 / 2;
    if (!badge.isEmpty()) {
        CSkinSurface s;
        CSkinImage::GetInstance()->LoadImage(s, badge);
        blend(s.GetImage(), 121, cy - s.GetHeight() / 2);
    } else if (brand) {
        blend(brandPicture.convertToFormat(QImage::Format_ARGB32_Premultiplied), 121, cy - 6);
    }
    CSkinSurface icon;
    CSkinImage::GetInstance()->LoadImage(icon, QStringLiteral("ic_blackbox.png"));
    blend(icon.GetImage(), iconX, cy - 12);
    // The title area from the badge's left edge to past the icon.
    const QRect area(121, 6, iconX + 26 + 4 - 121, 26);
    QCOMPARE(shot.copy(area), expected.convertToFormat(QImage::Format_RGB32).copy(area));
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
