// The main window's file operations: opening a file by its folder's name
// (with and without a card, from the dialog and at start-up), Save As (its
// extension by stream mode, the copy in the background with its progress and
// cancel, failures reported without a partial file under the target's name,
// the refusal to save a recording onto itself), delete (the playing one stops
// first, a failure keeps the entry), names no longer in the shown category,
// the card's settings program and the device information dialog.
#include "WindowFixture.h"
#include "WindowTestEnvironment.h"
#include "lang/Lang.h"
#include "mainwindow/CardController.h"
#include "mainwindow/CopyProgressPopup.h"
#include "mainwindow/MainWindowIds.h"
#include "mainwindow/MenuBar.h"
#include "mainwindow/RecordingFiles.h"
#include "settings/Settings.h"
#include "skin/RButton.h"
#include "skin/SkinBalloonTip.h"
#include "skin/SkinImage.h"
#include "skin/TDropBox.h"
#include "support/TraceCapture.h"
#include "windows/BbInfoDlg.h"
#include "windows/ExportClipDlg.h"
#include "windows/WindowsIds.h"
#include "windows/VideoMainWnd.h"
#include "writers/DemoCard.h"
#include "writers/MediaWriters.h"

#include <QApplication>
#include <QFile>
#include <QResource>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThread>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>

using namespace MainWnd;

namespace {
const QStringList kCard = {
    QStringLiteral("상시녹화/REC_2024_05_10_08_00_00_F.AVI"),
    QStringLiteral("상시녹화/REC_2024_05_10_08_01_00_F.AVI"),
    QStringLiteral("상시녹화/REC_2024_05_10_08_02_00_F.AVI"),
    QStringLiteral("주차충격/REC_2024_05_10_09_00_00_F.AVI"),
};
const QStringList kMp4Card = {
    QStringLiteral("상시녹화/REC_2024_05_10_08_00_00_F.MP4"),
    QStringLiteral("상시녹화/REC_2024_05_10_08_00_00_R.MP4"),
};
QString Name(const QString& relative)
{
    return QFileInfo(relative).fileName();
}
QString Text(const char* key)
{
    return LangText(QString::fromLatin1(key));
}
QByteArray Pattern(qint64 size)
{
    QByteArray b(size, Qt::Uninitialized);
    for (qint64 i = 0; i < size; ++i)
        b[i] = char((i * 7919) >> 3);
    return b;
}
bool Write(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}
QByteArray Read(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
QStringList FilesIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
}
} // namespace

class TestFileOps : public QObject
{
    Q_OBJECT

private:
    CFilterRecordingPlatform m_platform;
    QTemporaryDir m_dir;
    std::unique_ptr<CWindowFixture> m_w;
    int m_case = 0;
    QString m_out; // a folder of the case's own, outside the card

    CMovaraDlg& Open(const QStringList& files = kCard, const QByteArray& model = "ARX330")
    {
        return m_w->Open(files, model);
    }
    CMovaraDlg& OpenWithoutCard(const std::function<void(CMovaraDlgOptions&)>& tweak = {})
    {
        return m_w->Open({}, "ARX330", tweak, QByteArray(), false);
    }
    // A loose recording in a folder named `folder` outside any card.
    QString LooseFile(const QString& folder, const QString& name)
    {
        const QString path = m_out + QLatin1Char('/') + folder + QLatin1Char('/') + name;
        if (!Write(path, QByteArray(1000, 'x')))
            qFatal("cannot write");
        return path;
    }
    QStringList Messages() const
    {
        QStringList texts;
        for (const auto& c : m_platform.CallsOf(QStringLiteral("MessageBox")))
            texts << c.text;
        return texts;
    }
    // Saves the playing recording to `target` and waits for the copy to end.
    CCopyResult SaveAs(CMovaraDlg& dlg, const QString& target)
    {
        QSignalSpy finished(&dlg.Files(), &CRecordingFiles::CopyFinished);
        m_platform.saveFileAnswers << target;
        dlg.OnCommand(kCmdFileSaveAs);
        if (!dlg.Files().IsCopying() && finished.isEmpty())
            return CCopyResult{CCopyResult::Status::Cancelled, ECopyStep::Done, 0, 0, 0};
        if (finished.isEmpty() && !finished.wait(20000))
            qFatal("the copy does not end");
        return finished.first().first().value<CCopyResult>();
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        StartWindowTests(m_platform, QStringLiteral("english"), m_dir.path());
        m_w = std::make_unique<CWindowFixture>(m_dir.path());
    }
    void init()
    {
        m_platform.Reset();
        m_out = m_dir.filePath(QStringLiteral("out%1").arg(++m_case));
        QVERIFY(QDir().mkpath(m_out));
    }
    void cleanup() { m_w->Close(); }
    void cleanupTestCase()
    {
        m_w.reset();
        FinishWindowTests();
    }

    void openByFolderLeavesTheNoCardState_data();
    void openByFolderLeavesTheNoCardState();
    void openMp4WithoutCardOffersThePlayType();
    void openWithACard();
    void openCancelledAndStartupFiles();
    void saveAsExtensionByStreamMode_data();
    void saveAsExtensionByStreamMode();
    void saveAsFailureLeavesNoPartialFile_data();
    void saveAsFailureLeavesNoPartialFile();
    void saveAsOntoItselfIsRefused();
    void saveAsShowsProgressAndCancels();
    void namesNoLongerListedTakeNothing();
    void deletePlayingStopsFirst();
    void deleteFailureKeepsTheEntry();
    void deleteOfAVanishedFile();
    void settingsProgram_data();
    void settingsProgram();
    void deviceInformation_data();
    void deviceInformation();
    void exportClipEntries();
};

void TestFileOps::openByFolderLeavesTheNoCardState_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<int>("category");
    QTest::addColumn<int>("tab");
    QTest::addColumn<QList<int>>("enabled");
    QTest::addColumn<QList<int>>("row");
    QTest::newRow("continuous") << QStringLiteral("상시녹화") << 0 << 1251 << QList<int>{1251, 1255}
                                << QList<int>{1255, 1256};
    QTest::newRow("continuous impact") << QStringLiteral("상시충격") << 1 << 1251 << QList<int>{1251, 1256}
                                       << QList<int>{1255, 1256};
    QTest::newRow("manual") << QStringLiteral("수동녹화") << 2 << 1253 << QList<int>{1253} << QList<int>{1259, 1260};
    QTest::newRow("parking motion") << QStringLiteral("주차모션") << 3 << 1252 << QList<int>{1252, 1257}
                                    << QList<int>{1257, 1258};
    QTest::newRow("parking impact") << QStringLiteral("주차충격") << 4 << 1252 << QList<int>{1252, 1258}
                                    << QList<int>{1257, 1258};
    QTest::newRow("any other folder") << QStringLiteral("Downloads") << 0 << 1251 << QList<int>{1251}
                                      << QList<int>{1255, 1256};
}

void TestFileOps::openByFolderLeavesTheNoCardState()
{
    QFETCH(QString, folder);
    QFETCH(int, category);
    QFETCH(int, tab);
    QFETCH(QList<int>, enabled);
    QFETCH(QList<int>, row);
    CMovaraDlg& dlg = OpenWithoutCard();
    QVERIFY(dlg.List()->IsEmptyMode());
    QVERIFY(dlg.FrontVideo()->IsNoCardLook());
    const QString path = LooseFile(folder, QStringLiteral("REC_2024_05_10_10_00_00_F.AVI"));
    m_platform.openFileAnswers << path;
    dlg.OnCommand(kCmdFileOpen);
    QCOMPARE(m_platform.openFilters, QStringList{QString::fromLatin1(kOpenFilter)});
    QCOMPARE(dlg.listCategory, category);
    QVERIFY(dlg.Catalogue()[size_t(category)].count(QStringLiteral("REC_2024_05_10_10_00_00_F.AVI")));
    QCOMPARE(dlg.List()->GetItemCount(), 1);
    QVERIFY(!dlg.List()->IsEmptyMode());
    QVERIFY(!dlg.FrontVideo()->IsNoCardLook());
    QCOMPARE(dlg.List()->GetFocusedName(), QStringLiteral("REC_2024_05_10_10_00_00_F.AVI"));
    for (int id = kIdListNormal; id <= kIdListParkShock; ++id)
        QVERIFY2(dlg.Control(id)->isEnabled() == enabled.contains(id), qPrintable(QString::number(id)));
    for (int id = kIdListNormal; id <= kIdListPosition; ++id)
        QCOMPARE(qobject_cast<CRButton*>(dlg.Control(id))->IsChecked(), id == tab);
    for (int id = kIdListRecNormal; id <= kIdListNameTitle; ++id)
        QVERIFY2(dlg.Control(id)->isVisibleTo(&dlg) == row.contains(id), qPrintable(QString::number(id)));
    // The card state of an AVI without a card: playable, the play type not offered.
    QVERIFY(dlg.Control(kIdPlay)->isEnabled());
    QVERIFY(dlg.Control(kIdSettings)->isEnabled());
    QCOMPARE(dlg.dualStreamMode, 0);
    QCOMPARE(dlg.playTypeLocked, 1);
    QVERIFY(dlg.Menus().SettingsMenu()->Items()[2].disabled);
    // It plays.
    QVERIFY(m_w->Play(QStringLiteral("REC_2024_05_10_10_00_00_F.AVI")));
    QCOMPARE(m_w->fake->OpenedPath(), QFileInfo(path).absoluteFilePath());
}

void TestFileOps::openMp4WithoutCardOffersThePlayType()
{
    CMovaraDlg& dlg = OpenWithoutCard();
    const QString front = LooseFile(QStringLiteral("clips"), QStringLiteral("REC_2024_05_10_10_00_00_F.MP4"));
    LooseFile(QStringLiteral("clips"), QStringLiteral("REC_2024_05_10_10_00_00_R.MP4"));
    m_platform.openFileAnswers << front;
    dlg.OnCommand(kCmdFileOpen);
    QCOMPARE(dlg.dualStreamMode, 1);
    QCOMPARE(dlg.playTypeLocked, 0);
    QVERIFY(!dlg.Menus().SettingsMenu()->Items()[2].disabled);
    // The front file brings its rear partner along.
    QCOMPARE(dlg.List()->GetItemCount(), 2);
    QCOMPARE(int(dlg.Catalogue()[0].size()), 2);
    dlg.OnCommand(kCmdPlayType);
    QCOMPARE(dlg.singlePlay, 0);
    QVERIFY(dlg.Menus().SettingsMenu()->Items()[2].isChecked);
}

void TestFileOps::openWithACard()
{
    CMovaraDlg& dlg = Open();
    QVERIFY(m_w->Play(Name(kCard[1])));
    // Another category: it joins its map, the list stays as it is.
    const QString manual = LooseFile(QStringLiteral("수동녹화"), QStringLiteral("REC_2024_05_11_10_00_00_F.AVI"));
    QVERIFY(!dlg.Control(kIdListManual)->isEnabled());
    m_platform.openFileAnswers << manual;
    dlg.OnCommand(kCmdFileOpen);
    QCOMPARE(m_platform.CallsOf(QStringLiteral("GetOpenFileName")).first().caption, g_cardRoot);
    QCOMPARE(dlg.listCategory, 0);
    QCOMPARE(dlg.List()->GetItemCount(), 3);
    QCOMPARE(int(dlg.Catalogue()[Catalogue::kManual].size()), 1);
    QVERIFY(dlg.Control(kIdListManual)->isEnabled());
    // The shown category: the list shows it, the playing mark stays.
    const QString more = LooseFile(QStringLiteral("상시녹화"), QStringLiteral("REC_2024_05_11_11_00_00_F.AVI"));
    m_platform.openFileAnswers << more;
    dlg.OnCommand(kCmdFileOpen);
    QCOMPARE(dlg.List()->GetItemCount(), 4);
    QCOMPARE(dlg.List()->GetPlayingName(), Name(kCard[1]));
    QCOMPARE(m_w->fake->GetState(), STATE_PLAY);
    // The next open dialog starts in the card's root again.
    m_platform.Clear();
    dlg.OnCommand(kCmdFileOpen);
    QCOMPARE(m_platform.CallsOf(QStringLiteral("GetOpenFileName")).first().caption, g_cardRoot);
}

void TestFileOps::openCancelledAndStartupFiles()
{
    {
        CMovaraDlg& dlg = OpenWithoutCard();
        dlg.OnCommand(kCmdFileOpen); // cancelled
        QCOMPARE(m_platform.CallsOf(QStringLiteral("GetOpenFileName")).size(), 1);
        QVERIFY(dlg.List()->IsEmptyMode());
        QVERIFY(!dlg.Control(kIdPlay)->isEnabled());
    }
    // Files named at start-up open as File > Open opens them; a missing one is skipped.
    const QString a = LooseFile(QStringLiteral("주차모션"), QStringLiteral("REC_2024_05_10_10_00_00_F.AVI"));
    const QString missing = m_out + QStringLiteral("/gone/REC_2024_05_10_10_05_00_F.AVI");
    CMovaraDlg& dlg = OpenWithoutCard([&](CMovaraDlgOptions& o) { o.openFiles = {missing, a}; });
    QCOMPARE(dlg.listCategory, Catalogue::kParkingMotion);
    QCOMPARE(dlg.List()->GetItemCount(), 1);
    QVERIFY(!dlg.List()->IsEmptyMode());
    QVERIFY(dlg.Control(kIdPlay)->isEnabled());
}

void TestFileOps::saveAsExtensionByStreamMode_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QByteArray>("model");
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("extension");
    QTest::newRow("AVI card") << kCard << QByteArray("ARX330") << QStringLiteral("avi (*.avi)") << QStringLiteral(".avi");
    QTest::newRow("front and rear MP4 card") << kMp4Card << QByteArray("CMV550View") << QStringLiteral("mp4 (*.mp4)")
                                             << QStringLiteral(".mp4");
}

void TestFileOps::saveAsExtensionByStreamMode()
{
    QFETCH(QStringList, files);
    QFETCH(QByteArray, model);
    QFETCH(QString, filter);
    QFETCH(QString, extension);
    CMovaraDlg& dlg = Open(files, model);
    const QString source = m_w->CardFile(files[0]);
    QVERIFY(Write(source, Pattern(3 << 20)));
    const struct timespec times[2] = {{1600000000, 5}, {1500000000, 7}};
    QVERIFY(::utimensat(AT_FDCWD, QFile::encodeName(source).constData(), times, 0) == 0);
    QVERIFY(m_w->Play(Name(files[0])));
    const CCopyResult r = SaveAs(dlg, m_out + QStringLiteral("/copy"));
    QVERIFY2(r.Succeeded(), qPrintable(r.Reason()));
    QCOMPARE(m_platform.saveFilters, QStringList{filter});
    const auto call = m_platform.CallsOf(QStringLiteral("GetSaveFileName")).first();
    QCOMPARE(call.text, Text("IDS_STRING_K_008"));
    QVERIFY(call.caption.endsWith(QLatin1Char('/') + Name(files[0])));
    const QString target = m_out + QStringLiteral("/copy") + extension;
    QCOMPARE(Read(target), Pattern(3 << 20));
    struct stat st {};
    QVERIFY(::stat(QFile::encodeName(target).constData(), &st) == 0);
    QCOMPARE(qint64(st.st_mtim.tv_sec), qint64(1500000000));
    QCOMPARE(FilesIn(m_out), QStringList{QStringLiteral("copy") + extension});
    QVERIFY(Messages().isEmpty());
    // The next Save As proposes that folder.
    m_platform.Clear();
    dlg.OnCommand(kIdSave);
    QCOMPARE(m_platform.CallsOf(QStringLiteral("GetSaveFileName")).first().caption,
             QDir(m_out).filePath(Name(files[0])));
}

void TestFileOps::saveAsFailureLeavesNoPartialFile_data()
{
    QTest::addColumn<int>("step");
    QTest::addColumn<int>("error");
    QTest::addColumn<bool>("existing");
    QTest::newRow("disk full mid-way") << int(ECopyStep::Write) << ENOSPC << false;
    QTest::newRow("disk full, an older copy stays") << int(ECopyStep::Write) << ENOSPC << true;
    QTest::newRow("read-only folder") << int(ECopyStep::CreateTemp) << EROFS << false;
    QTest::newRow("no write permission") << int(ECopyStep::CreateTemp) << EACCES << false;
    QTest::newRow("card pulled mid-copy") << int(ECopyStep::Read) << EIO << false;
}

void TestFileOps::saveAsFailureLeavesNoPartialFile()
{
    QFETCH(int, step);
    QFETCH(int, error);
    QFETCH(bool, existing);
    CMovaraDlg& dlg = Open();
    QVERIFY(Write(m_w->CardFile(kCard[0]), Pattern(2 << 20)));
    QVERIFY(m_w->Play(Name(kCard[0])));
    const QString target = m_out + QStringLiteral("/copy.avi");
    if (existing)
        QVERIFY(Write(target, "an older copy"));
    dlg.Files().SetCopyBufferSize(128 << 10);
    // Reading and writing fail half-way; creating the file fails at once.
    dlg.Files().SetCopyFaultHook([step, error](ECopyStep s, qint64 done) {
        return int(s) == step && (s == ECopyStep::CreateTemp || done >= (1 << 20)) ? error : 0;
    });
    const CCopyResult r = SaveAs(dlg, target);
    QCOMPARE(r.status, CCopyResult::Status::Failed);
    QCOMPARE(r.error, error);
    // Said clearly, with the system's reason.
    const QStringList messages = Messages();
    QCOMPARE(messages.size(), 1);
    QVERIFY(messages.first().startsWith(Text("IDS_STRING_K_203")));
    QVERIFY(messages.first().contains(QString::fromLocal8Bit(std::strerror(error))));
    QCOMPARE(m_platform.CallsOf(QStringLiteral("MessageBox")).first().caption, QStringLiteral("Kestrav"));
    // Nothing under the target's name but what was there; nothing else left.
    if (existing) {
        QCOMPARE(Read(target), QByteArray("an older copy"));
        QCOMPARE(FilesIn(m_out), QStringList{QStringLiteral("copy.avi")});
    } else {
        QVERIFY(!QFile::exists(target));
        QCOMPARE(FilesIn(m_out), QStringList());
    }
    QCOMPARE(Read(m_w->CardFile(kCard[0])), Pattern(2 << 20));
    QVERIFY(!dlg.Files().IsCopying());
}

void TestFileOps::saveAsOntoItselfIsRefused()
{
    CMovaraDlg& dlg = Open();
    const QString source = m_w->CardFile(kCard[0]);
    QVERIFY(m_w->Play(Name(kCard[0])));
    const QByteArray before = Read(source);
    // The recording's own path, and the same file by another path.
    for (const QString& target : {source, m_w->root + QStringLiteral("/SETTING/../") + kCard[0]}) {
        m_platform.Clear();
        m_platform.saveFileAnswers << target;
        dlg.OnCommand(kCmdFileSaveAs);
        QVERIFY(!dlg.Files().IsCopying());
        QCOMPARE(Messages(), QStringList{Text("IDS_STRING_K_204")});
    }
    QCOMPARE(Read(source), before);
    QCOMPARE(FilesIn(QFileInfo(source).absolutePath()).size(), 3);
}

void TestFileOps::saveAsShowsProgressAndCancels()
{
    CMovaraDlg& dlg = Open();
    QVERIFY(Write(m_w->CardFile(kCard[0]), Pattern(4 << 20)));
    QVERIFY(m_w->Play(Name(kCard[0])));
    dlg.Files().SetCopyBufferSize(64 << 10);
    dlg.Files().SetCopyFaultHook([](ECopyStep, qint64) {
        QThread::msleep(15); // a slow target: about a second for the file
        return 0;
    });
    QSignalSpy finished(&dlg.Files(), &CRecordingFiles::CopyFinished);
    const QString target = m_out + QStringLiteral("/copy.avi");
    m_platform.saveFileAnswers << target;
    dlg.OnCommand(kIdSave);
    QVERIFY(dlg.Files().IsCopying());
    // The GUI goes on meanwhile; after a moment the progress shows.
    QTRY_VERIFY(dlg.Files().ProgressPopup() && dlg.Files().ProgressPopup()->isVisible());
    CCopyProgressPopup* popup = dlg.Files().ProgressPopup();
    QTRY_VERIFY(popup->Percent() > 0);
    QVERIFY(popup->TitleText().startsWith(Text("IDS_STRING_K_201")));
    QVERIFY(dlg.frontVideoArea.ToQRect().contains(popup->geometry().center()));
    // One at a time: another Save As opens no dialog.
    dlg.OnCommand(kCmdFileSaveAs);
    QCOMPARE(m_platform.CallsOf(QStringLiteral("GetSaveFileName")).size(), 1);
    // Cancel: no file, no message, the popup goes.
    QTest::mouseClick(popup->CancelButton(), Qt::LeftButton, {}, QPoint(10, 10));
    QVERIFY(finished.wait(10000));
    QCOMPARE(finished.first().first().value<CCopyResult>().status, CCopyResult::Status::Cancelled);
    QVERIFY(!popup->isVisible());
    QVERIFY(!QFile::exists(target));
    QCOMPARE(FilesIn(m_out), QStringList());
    QVERIFY(Messages().isEmpty());
    // Closing the window while a copy runs cancels it and removes its file.
    m_platform.saveFileAnswers << target;
    dlg.OnCommand(kIdSave);
    QVERIFY(dlg.Files().IsCopying());
    dlg.close();
    QVERIFY(!dlg.Files().IsCopying());
    QCOMPARE(FilesIn(m_out), QStringList());
}

void TestFileOps::namesNoLongerListedTakeNothing()
{
    CMovaraDlg& dlg = Open();
    QVERIFY(m_w->Play(Name(kCard[0])));
    // The entry leaves its map while the list still shows it (a category
    // map changed behind the list).
    dlg.Catalogue()[0].erase(Name(kCard[0]).toUpper());
    CTraceCapture trace;
    dlg.OnCommand(kCmdFileSaveAs);
    QVERIFY(m_platform.Calls().isEmpty());
    QVERIFY(!trace.LinesStartingWith(QStringLiteral("Kestrav : SaveRecordingAs: [")).isEmpty());
    dlg.List()->SetFocusedByName(Name(kCard[0]));
    dlg.OnCommand(kCmdListDelete);
    QVERIFY(!trace.LinesStartingWith(QStringLiteral("Kestrav : DeleteFocusedRecording: [")).isEmpty());
    QVERIFY(QFile::exists(m_w->CardFile(kCard[0])));
    QCOMPARE(m_w->fake->GetState(), STATE_PLAY);
    QCOMPARE(dlg.List()->GetItemCount(), 3);
    QVERIFY(m_platform.Calls().isEmpty());
    // Nothing focused: only the trace.
    trace.Clear();
    dlg.List()->DeleteAllItems();
    dlg.OnCommand(kCmdListDelete);
    QVERIFY(trace.Contains(QStringLiteral("strFocusItem.IsEmpty()\n")));
}

void TestFileOps::deletePlayingStopsFirst()
{
    CMovaraDlg& dlg = Open();
    QVERIFY(m_w->Play(Name(kCard[1])));
    m_w->fake->calls.clear();
    bool stoppedFirst = false;
    dlg.Files().SetRemoveFunction([&](const QString& path, int* error) {
        stoppedFirst = m_w->fake->GetState() == STATE_STOP;
        return QFile::remove(path) || (*error = EIO, false);
    });
    dlg.List()->SetFocusedByName(Name(kCard[1]));
    dlg.OnCommand(kCmdListDelete);
    QVERIFY(stoppedFirst);
    QVERIFY(m_w->fake->calls.contains(QStringLiteral("Close")));
    QVERIFY(!QFile::exists(m_w->CardFile(kCard[1])));
    QCOMPARE(dlg.List()->GetItemCount(), 2);
    QCOMPARE(dlg.List()->FindItem(Name(kCard[1])), -1);
    QVERIFY(!dlg.Catalogue()[0].count(Name(kCard[1]).toUpper()));
    // Another one than the playing one: playback goes on, the mark stays.
    QVERIFY(m_w->Play(Name(kCard[0])));
    dlg.List()->SetFocusedByName(Name(kCard[2]));
    dlg.OnCommand(kCmdListDelete);
    QCOMPARE(m_w->fake->GetState(), STATE_PLAY);
    QCOMPARE(dlg.List()->GetPlayingName(), Name(kCard[0]));
    QCOMPARE(dlg.List()->GetItemCount(), 1);
    QVERIFY(m_platform.Calls().isEmpty());
}

void TestFileOps::deleteFailureKeepsTheEntry()
{
    CMovaraDlg& dlg = Open();
    dlg.Files().SetRemoveFunction([](const QString&, int* error) {
        *error = EACCES;
        return false;
    });
    dlg.List()->SetFocusedByName(Name(kCard[2]));
    dlg.OnCommand(kCmdListDelete);
    QVERIFY(QFile::exists(m_w->CardFile(kCard[2])));
    QCOMPARE(dlg.List()->GetItemCount(), 3);
    QVERIFY(dlg.Catalogue()[0].count(Name(kCard[2]).toUpper()));
    const QStringList messages = Messages();
    QCOMPARE(messages.size(), 1);
    QVERIFY(messages.first().startsWith(Text("IDS_STRING_K_205")));
    QVERIFY(messages.first().contains(QString::fromLocal8Bit(std::strerror(EACCES))));
}

void TestFileOps::deleteOfAVanishedFile()
{
    // A file already gone is as good as deleted.
    CMovaraDlg& dlg = Open();
    QVERIFY(QFile::remove(m_w->CardFile(kCard[0])));
    dlg.List()->SetFocusedByName(Name(kCard[0]));
    dlg.OnCommand(kCmdListDelete);
    QCOMPARE(dlg.List()->GetItemCount(), 2);
    QVERIFY(Messages().isEmpty());
}

void TestFileOps::settingsProgram_data()
{
    QTest::addColumn<QByteArray>("programPath");
    QTest::addColumn<QString>("create");  // relative to the card ("" none; "outside": beside it)
    QTest::addColumn<bool>("card");
    QTest::addColumn<bool>("opens");
    QTest::newRow("on the card") << QByteArray("SETTING/Setup.exe") << QStringLiteral("SETTING/Setup.exe") << true << true;
    QTest::newRow("backslashes") << QByteArray("SETTING\\Setup.exe") << QStringLiteral("SETTING/Setup.exe") << true << true;
    QTest::newRow("absent") << QByteArray("SETTING/Setup.exe") << QString() << true << false;
    QTest::newRow("none named") << QByteArray() << QString() << true << false;
    QTest::newRow("up and off the card") << QByteArray("../evil.exe") << QStringLiteral("outside") << true << false;
    QTest::newRow("absolute") << QByteArray("/bin/sh") << QString() << true << false;
    QTest::newRow("a link off the card") << QByteArray("SETTING/link.exe") << QStringLiteral("link") << true << false;
    QTest::newRow("no card") << QByteArray() << QString() << false << false;
}

void TestFileOps::settingsProgram()
{
    QFETCH(QByteArray, programPath);
    QFETCH(QString, create);
    QFETCH(bool, card);
    QFETCH(bool, opens);
    CMovaraDlg& dlg = m_w->Open(kCard, "ARX330", {}, programPath, card);
    if (create == QLatin1String("outside")) {
        QVERIFY(Write(QFileInfo(m_w->root).absolutePath() + QStringLiteral("/evil.exe"), "MZ"));
    } else if (create == QLatin1String("link")) {
        QVERIFY(Write(m_out + QStringLiteral("/elsewhere.exe"), "MZ"));
        QVERIFY(QFile::link(m_out + QStringLiteral("/elsewhere.exe"), m_w->CardFile(QStringLiteral("SETTING/link.exe"))));
    } else if (!create.isEmpty()) {
        QVERIFY(Write(m_w->CardFile(create), "MZ"));
    }
    dlg.OnCommand(kCmdSettingsProgram);
    const auto shell = m_platform.CallsOf(QStringLiteral("ShellOpen"));
    const auto boxes = m_platform.CallsOf(QStringLiteral("MessageBox"));
    if (opens) {
        QCOMPARE(shell.size(), 1);
        QCOMPARE(QFileInfo(shell.first().text).canonicalFilePath(), QFileInfo(m_w->CardFile(create)).canonicalFilePath());
        QVERIFY(boxes.isEmpty());
    } else {
        QVERIFY(shell.isEmpty());
        QCOMPARE(boxes.size(), 1);
        QCOMPARE(boxes.first().text, Text("IDS_STRING_K_082"));
        QCOMPARE(boxes.first().caption, QStringLiteral("Kestrav"));
    }
}

void TestFileOps::deviceInformation_data()
{
    QTest::addColumn<QByteArray>("record");
    QTest::addColumn<QString>("model");
    QTest::newRow("demo card") << DemoDeviceRecord("CMV550View") << QStringLiteral("CMV550View");
    QTest::newRow("empty fields") << QByteArray(kDeviceRecordSize, '\0') << QString();
}

void TestFileOps::deviceInformation()
{
    QFETCH(QByteArray, record);
    QFETCH(QString, model);
    // The card's record as the camera wrote it.
    CMovaraDlg& dlg = m_w->Open(kCard, "ARX330", [this, record](CMovaraDlgOptions&) {
        if (!Write(m_w->CardFile(QStringLiteral("SETTING/setup.cfg")), record))
            qFatal("cannot write the record");
    });
    QCOMPARE(g_deviceRecord, record);
    QString modelSeen = QStringLiteral("not run");
    QString capacitySeen;
    m_platform.modalInspector = [&](QObject* d) {
        auto* info = qobject_cast<CBbInfoDlg*>(d);
        QVERIFY(info);
        modelSeen = info->FieldText(1015);
        capacitySeen = info->FieldText(1017);
    };
    dlg.OnCommand(kCmdDeviceInfo);
    QCOMPARE(m_platform.CallsOf(QStringLiteral("RunModalDialog")).size(), 1);
    QCOMPARE(m_platform.CallsOf(QStringLiteral("RunModalDialog")).first().caption, QStringLiteral("CBbInfoDlg"));
    QCOMPARE(modelSeen, model);
    QCOMPARE(capacitySeen, CBbInfoDlg::CapacityText(g_cardSizeGB));
    // Run again, it reads the record afresh.
    dlg.OnCommand(kCmdDeviceInfo);
    QCOMPARE(m_platform.CallsOf(QStringLiteral("RunModalDialog")).size(), 2);
}

void TestFileOps::exportClipEntries()
{
    CMovaraDlg& dlg = Open();
    // Both context menus offer the entry, inside their windows.
    for (const CTDropBox* menu : {dlg.List()->ContextMenu(), dlg.FrontVideo()->ContextMenu()}) {
        const auto& last = menu->Items().back();
        QCOMPARE(last.text, Text("IDS_STRING_K_161"));
        QVERIFY(last.command == kCmdListExportClip || last.command == kCmdContextExportClip);
        QVERIFY2(last.itemRect.bottom <= menu->height(), qPrintable(menu->windowTitle()));
    }
    // A real recording to cut in the card's second place.
    AviOptions avi;
    avi.durationSec = 40.0;
    avi.fps = 5;
    QString error;
    QVERIFY2(WriteTestAvi(m_w->CardFile(kCard[1]), avi, &error), qPrintable(error));

    QString recordingSeen;
    double from = -1, to = -1;
    m_platform.modalInspector = [&](QObject* d) {
        auto* clip = qobject_cast<CExportClipDlg*>(d);
        QVERIFY(clip);
        recordingSeen = clip->Recording();
        QVERIFY(clip->Span(&from, &to));
    };
    // Nothing playing: the front window's entry has nothing to export.
    dlg.OnCommand(kCmdContextExportClip);
    QVERIFY(m_platform.Calls().isEmpty());

    // The playing recording, around the player's position.
    QVERIFY(m_w->Play(Name(kCard[1])));
    m_w->fake->SetPositionUnits(int64_t(20) * 10'000'000);
    dlg.OnCommand(kCmdContextExportClip);
    QCOMPARE(m_platform.CallsOf(QStringLiteral("RunModalDialog")).size(), 1);
    QCOMPARE(recordingSeen, m_w->CardFile(kCard[1]));
    QVERIFY2(from < 20 && to > 20 && to - from == ExportClipIds::kDefaultSpanSeconds,
             qPrintable(QStringLiteral("%1-%2").arg(from).arg(to)));
    QCOMPARE(m_w->fake->GetState(), STATE_PLAY); // the viewer keeps playing

    // The list's entry takes the focused recording, from its start when it
    // is not the one playing; one that cannot be read is said, naming it.
    m_platform.Clear();
    dlg.List()->SetFocusedByName(Name(kCard[2]));
    dlg.OnCommand(kCmdListExportClip);
    QVERIFY(m_platform.CallsOf(QStringLiteral("RunModalDialog")).isEmpty());
    const QStringList messages = Messages();
    QCOMPARE(messages.size(), 1);
    QVERIFY(messages.first().startsWith(Text("IDS_STRING_K_157")));
    QVERIFY(messages.first().contains(QFileInfo(m_w->CardFile(kCard[2])).fileName()));
    m_platform.Clear();
    dlg.List()->SetFocusedByName(Name(kCard[1]));
    m_w->fake->Stop();
    dlg.OnCommand(kCmdListExportClip);
    QCOMPARE(m_platform.CallsOf(QStringLiteral("RunModalDialog")).size(), 1);
    QCOMPARE(from, 0.0);
}

QTEST_MAIN(TestFileOps)
#include "tst_fileops.moc"
