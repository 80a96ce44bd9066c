// The main window's commands: every command id and accelerator to its action
// (traces, the transport's calls, the platform façade's dialogs), the
// drop-down menus and panels and where they open, the category buttons as a
// card's folders fill them, the controls as a card comes and goes, the play
// type entry and the speed unit.
#include "WindowFixture.h"
#include "WindowTestEnvironment.h"
#include "lang/Lang.h"
#include "mainwindow/CardController.h"
#include "mainwindow/CommandRouter.h"
#include "mainwindow/MainWindowIds.h"
#include "mainwindow/MenuBar.h"
#include "mainwindow/RecordingFiles.h"
#include "mainwindow/WindowModes.h"
#include "settings/Settings.h"
#include "skin/RButton.h"
#include "skin/SkinBalloonTip.h"
#include "skin/SkinImage.h"
#include "skin/TButton.h"
#include "skin/TDropBox.h"
#include "skin/TDropBriSpd.h"
#include "skin/TDropVol.h"
#include "support/TraceCapture.h"
#include "windows/VideoMainWnd.h"

#include <QApplication>
#include <QFile>
#include <QRegularExpression>
#include <QResource>
#include <QTemporaryDir>

using namespace MainWnd;

namespace {
const QStringList kCard = {
    QStringLiteral("상시녹화/REC_2024_05_10_08_00_00_F.AVI"),
    QStringLiteral("상시녹화/REC_2024_05_10_08_01_00_F.AVI"),
    QStringLiteral("상시녹화/REC_2024_05_10_08_02_00_F.AVI"),
    QStringLiteral("주차충격/REC_2024_05_10_09_00_00_F.AVI"),
};
QString Name(int i)
{
    return QFileInfo(kCard[i]).fileName();
}
QString Text(const char* key)
{
    return LangText(QString::fromLatin1(key));
}
// `wanted` appear in `lines` in this order (others may come between).
bool InOrder(const QStringList& lines, const QStringList& wanted, bool prefix = false)
{
    qsizetype at = 0;
    for (const QString& w : wanted) {
        while (at < lines.size() && !(prefix ? lines[at].startsWith(w) : lines[at] == w))
            ++at;
        if (at == lines.size()) {
            qWarning() << "missing or out of order:" << w << "in" << lines;
            return false;
        }
        ++at;
    }
    return true;
}
QString Bct(const char* text)
{
    return QStringLiteral("BTN CLICK : ") + QString::fromLatin1(text);
}
} // namespace

class TestCommands : public QObject
{
    Q_OBJECT

private:
    CFilterRecordingPlatform m_platform;
    QTemporaryDir m_dir;
    std::unique_ptr<CWindowFixture> m_w;

    CMovaraDlg& Open(const QStringList& files = kCard, const QByteArray& model = "ARX330",
                     const std::function<void(CMovaraDlgOptions&)>& tweak = {})
    {
        return m_w->Open(files, model, tweak);
    }
    // The effect column of the command and accelerator tables.
    void CheckEffect(CMovaraDlg& dlg, const QString& effect)
    {
        if (effect.isEmpty())
            return;
        if (effect == QLatin1String("closed")) {
            QVERIFY(dlg.OnCloseDone());
        } else if (effect == QLatin1String("open")) {
            QVERIFY(!dlg.OnCloseDone());
        } else if (effect == QLatin1String("minimised")) {
            QVERIFY(dlg.isMinimized());
        } else if (effect == QLatin1String("unit-mph")) {
            QCOMPARE(dlg.speedUnit, 1);
            QCOMPARE(SettingsGetText(QStringLiteral("unit")), QStringLiteral("mph"));
        } else if (effect == QLatin1String("unit-kmh")) {
            QCOMPARE(dlg.speedUnit, 0);
            QCOMPARE(SettingsGetText(QStringLiteral("unit")), QStringLiteral("km/h"));
        } else if (effect == QLatin1String("single-kept")) {
            QCOMPARE(dlg.singlePlay, 1);
        } else if (effect == QLatin1String("focus-down")) {
            QCOMPARE(dlg.List()->GetFocusIndex(), 1);
        } else if (effect == QLatin1String("focus-up")) {
            QCOMPARE(dlg.List()->GetFocusIndex(), 0);
        } else if (effect == QLatin1String("continuous-off")) {
            QCOMPARE(dlg.continuousPlay, 0);
        } else if (effect.startsWith(QLatin1String("mode:"))) {
            QCOMPARE(dlg.Modes().WindowMode(), effect.mid(5).toInt());
        } else if (effect == QLatin1String("map")) {
            QCOMPARE(dlg.rearShown, 0);
        } else if (effect.startsWith(QLatin1String("category:"))) {
            QCOMPARE(dlg.listCategory, effect.mid(9).toInt());
        } else if (effect == QLatin1String("deleted")) {
            QVERIFY(!QFile::exists(m_w->CardFile(kCard[0])));
            QCOMPARE(dlg.List()->GetItemCount(), 2);
        } else {
            QFAIL(qPrintable(QStringLiteral("unknown effect ") + effect));
        }
    }
    // Runs one row of the tables: `act` issues the command or key.
    void RunRow(const std::function<void(CMovaraDlg&)>& act)
    {
        QFETCH(bool, playing);
        QFETCH(QStringList, traces);
        QFETCH(QStringList, calls);
        QFETCH(QString, platform);
        QFETCH(int, panel);
        QFETCH(QString, effect);
        CMovaraDlg& dlg = Open();
        if (playing)
            QVERIFY(m_w->Play(Name(1)));
        if (effect == QLatin1String("focus-up"))
            dlg.List()->SetFocusedByName(Name(1));
        else
            dlg.List()->SetFocusedByName(Name(0));
        dlg.OpenDropPanel(kPanelSpeed);
        QVERIFY(dlg.Menus().IsOpen(kPanelSpeed));
        m_w->fake->calls.clear();
        m_platform.Reset();
        CTraceCapture trace;
        act(dlg);
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
        QVERIFY(InOrder(trace.Lines(), traces));
        QVERIFY(InOrder(m_w->fake->calls, calls, true));
        if (calls.isEmpty())
            QVERIFY2(m_w->fake->calls.filter(QRegularExpression(QStringLiteral(
                             "^(OnMovieOpen|Play|Pause|Stop|Seek|SetVideoViewSize|SetVideoSpeed|SetBrightness|SetVolume|SetPosition|SetReverseMode)")))
                         .isEmpty(),
                     qPrintable(m_w->fake->calls.join(QLatin1Char(' '))));
        QStringList kinds;
        for (const auto& c : m_platform.Calls())
            kinds << c.kind;
        QCOMPARE(kinds, platform.isEmpty() ? QStringList() : QStringList{platform});
        for (int id : kDropPanels)
            QVERIFY2(dlg.Menus().IsOpen(id) == (id == panel), qPrintable(QString::number(id)));
        CheckEffect(dlg, effect);
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
        SettingsSetText(QStringLiteral("unit"), QStringLiteral("km/h"));
        QVERIFY(SettingsSave());
    }
    void cleanup() { m_w->Close(); }
    void cleanupTestCase()
    {
        m_w.reset();
        FinishWindowTests();
    }

    void commandTable_data();
    void commandTable();
    void accelerators_data();
    void accelerators();
    void contextCommandsNeedAList();
    void fileAndSettingsMenus();
    void menuButtonClickedTwiceClosesItsMenu();
    void playControlPanels();
    void panelsFollowTheWindowAndTheControlBox();
    void panelsCloseOnPressesAndMessages();
    void categorySelection_data();
    void categorySelection();
    void controlsFollowTheCard();
    void playTypeEntry_data();
    void playTypeEntry();
    void speedUnitButton();
};

void TestCommands::commandTable_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<bool>("playing");
    QTest::addColumn<QStringList>("traces");
    QTest::addColumn<QStringList>("calls");
    QTest::addColumn<QString>("platform");
    QTest::addColumn<int>("panel");
    QTest::addColumn<QString>("effect");
    const QString none;
    const int speed = kPanelSpeed; // opened before each command
    auto row = [](int id, const char* what, bool playing, QStringList traces, QStringList calls, QString platform,
                  int panel, QString effect) {
        QTest::addRow("%d %s%s", id, what, playing ? " (playing)" : "")
            << id << playing << traces << calls << platform << panel << effect;
    };
    // Window buttons (they leave other panels alone).
    row(1001, "close", true, {Bct("ID_BTN_CLOSE")}, {QStringLiteral("Close")}, none, 0, QStringLiteral("closed"));
    row(1002, "minimise", false, {Bct("ID_BTN_MIN")}, {}, none, speed, QStringLiteral("minimised"));
    row(1003, "maximise", false, {Bct("ID_BTN_MAX")}, {}, none, speed, QStringLiteral("mode:1"));
    row(1004, "File", false, {Bct("ID_BTN_FILE")}, {}, none, kPanelFileMenu, none);
    row(1006, "Settings", false, {Bct("ID_BTN_SETTING")}, {}, none, kPanelSettingsMenu, none);
    // Menus.
    row(1051, "open", false, {Bct("ID_BTN_FILE_OPEN")}, {}, QStringLiteral("GetOpenFileName"), 0, none);
    row(1053, "save as", true, {Bct("ID_BTN_FILE_OTHER_SAVE")}, {}, QStringLiteral("GetSaveFileName"), 0, none);
    row(1053, "save as", false, {Bct("ID_BTN_FILE_OTHER_SAVE")}, {}, none, 0, none); // nothing chosen to save
    row(1054, "exit", false, {Bct("ID_BTN_FILE_CLOSE")}, {}, none, 0, QStringLiteral("closed"));
    row(1060, "settings program", false, {}, {}, QStringLiteral("MessageBox"), 0, none); // none on this card
    row(1061, "device information", false, {Bct("ID_BOX_SETTING_VIEW")}, {}, QStringLiteral("RunModalDialog"), 0, none);
    row(1069, "km/h", false, {}, {}, none, 0, QStringLiteral("unit-kmh"));
    row(1070, "mph", false, {}, {}, none, 0, QStringLiteral("unit-mph"));
    row(1071, "play type (not offered)", false, {Bct("ID_BOX_SETTING_PLAY")}, {}, none, 0, QStringLiteral("single-kept"));
    // Picture: acting only on an open recording, traced always.
    row(1074, "original", true, {Bct("SCRSIZE_00")}, {QStringLiteral("SetVideoViewSize(1)")}, none, 0, none);
    row(1075, "x0.5", true, {Bct("SCRSIZE_01")}, {QStringLiteral("SetVideoViewSize(0.5)")}, none, 0, none);
    row(1075, "x0.5", false, {Bct("SCRSIZE_01")}, {}, none, 0, none);
    row(1076, "x1.0", true, {Bct("SCRSIZE_02")}, {QStringLiteral("SetVideoViewSize(1)")}, none, 0, none);
    row(1077, "x1.5", true, {Bct("SCRSIZE_03")}, {QStringLiteral("SetVideoViewSize(1.5)")}, none, 0, none);
    row(1078, "x2.0", true, {Bct("SCRSIZE_04")}, {QStringLiteral("SetVideoViewSize(2)")}, none, 0, none);
    row(1080, "panel reset", true, {Bct("ID_BOX_SCRSETTING_INIT")},
        {QStringLiteral("SetBrightness(50)"), QStringLiteral("SetVideoSpeed(1)")}, none, 0, none);
    row(1080, "panel reset", false, {Bct("ID_BOX_SCRSETTING_INIT")}, {}, none, 0, none);
    // Context menus.
    row(1083, "context play/pause", true, {Bct("ID_BOX_CONTEXT_PLAY")}, {QStringLiteral("Pause")}, none, 0, none);
    row(1084, "zoom in", true, {Bct("ID_BOX_CONTEXT_BIG")}, {QStringLiteral("SetVideoViewSize(1.5)")}, none, 0, none);
    row(1085, "zoom out", true, {Bct("ID_BOX_CONTEXT_SMALL")}, {QStringLiteral("SetVideoViewSize(0.5)")}, none, 0, none);
    row(1085, "zoom out", false, {Bct("ID_BOX_CONTEXT_SMALL")}, {}, none, 0, none);
    row(1086, "full screen", false, {Bct("ID_BOX_CONTEXT_FULLSCR"), Bct("ID_BTN_EXPAND")}, {}, none, 0,
        QStringLiteral("mode:2"));
    row(1087, "full window", false, {Bct("ID_BOX_CONTEXT_FULLWIN")}, {}, none, 0, QStringLiteral("mode:1"));
    row(1088, "play focused", false, {}, {QStringLiteral("OnMovieOpen("), QStringLiteral("Play")}, none, 0, none);
    row(1089, "delete focused", false, {}, {}, none, 0, QStringLiteral("deleted"));
    row(1090, "help", false, {}, {}, none, 0, none);
    row(1091, "up", false, {}, {}, none, 0, QStringLiteral("focus-up"));
    row(1092, "down", false, {}, {}, none, 0, QStringLiteral("focus-down"));
    row(1052, "no action", false, {}, {}, none, 0, none);
    // Play controls.
    row(1100, "play", false, {Bct("ID_BTN_PLAY ")}, {QStringLiteral("OnMovieOpen("), QStringLiteral("Play")}, none, 0, none);
    row(1101, "pause", true, {Bct("ID_BTN_PAUSE ")}, {QStringLiteral("Pause")}, none, 0, none);
    row(1102, "stop", true, {Bct("ID_BTN_STOP ")}, {QStringLiteral("Close")}, none, 0, none);
    row(1103, "previous", true, {Bct("ID_BTN_PRE ")}, {QStringLiteral("OnMovieOpen(")}, none, 0, none);
    row(1104, "next", true, {Bct("ID_BTN_NEXT ")}, {QStringLiteral("OnMovieOpen(")}, none, 0, none);
    row(1105, "back 10 s", true, {Bct("ID_BTN_SEC(PRE10) ")}, {QStringLiteral("SeekBackwards")}, none, 0, none);
    row(1106, "forward 10 s", true, {Bct("ID_BTN_SEC2(NEXT10) ")}, {QStringLiteral("SeekForwards")}, none, 0, none);
    row(1107, "zoom menu", false, {Bct("ID_BTN_SIZE ")}, {}, none, kPanelZoomMenu, none);
    row(1108, "speed panel", false, {Bct("ID_BTN_SETTING ")}, {}, none, kPanelSpeed, none);
    row(1109, "save", true, {Bct("ID_BTN_SAVE ")}, {}, QStringLiteral("GetSaveFileName"), 0, none);
    row(1110, "volume panel", false, {Bct("ID_BTN_VOLUME ")}, {}, none, kPanelVolume, none);
    row(1111, "continuous play", false, {Bct("ID_BTN_VIDEO_CONNECT ")}, {}, none, 0, QStringLiteral("continuous-off"));
    row(1112, "forced play", false, {Bct("ID_BTN_PLAY_FORCE ")}, {QStringLiteral("OnMovieOpen(")}, none, 0, none);
    // Categories (this card: continuous and parking impact).
    row(1250, "list", false, {Bct("ID_BTN_LIST_MAIN")}, {}, none, 0, QStringLiteral("category:0"));
    row(1251, "continuous tab", false, {Bct("ID_BTN_LIST_NORMAL")}, {}, none, 0, QStringLiteral("category:0"));
    row(1252, "parking tab", false, {Bct("ID_BTN_LIST_PARKING")}, {}, none, 0, QStringLiteral("category:4"));
    row(1252, "parking tab pauses", true, {Bct("ID_BTN_LIST_PARKING")}, {QStringLiteral("Pause")}, none, 0,
        QStringLiteral("category:4"));
    row(1253, "manual tab", false, {Bct("ID_BTN_LIST_MANUAL")}, {}, none, 0, QStringLiteral("category:2"));
    row(1254, "location tab", false, {Bct("ID_BTN_LIST_POSITION")}, {}, none, 0, QStringLiteral("category:5"));
    row(1255, "continuous", false, {Bct("ID_BTN_LIST_RECNORMAL")}, {}, none, 0, QStringLiteral("category:0"));
    row(1256, "continuous impact", false, {Bct("ID_BTN_LIST_NORSHOCK")}, {}, none, 0, QStringLiteral("category:1"));
    row(1257, "parking motion", false, {Bct("ID_BTN_LIST_PARKMOTION")}, {}, none, 0, QStringLiteral("category:3"));
    row(1258, "parking impact", false, {Bct("ID_BTN_LIST_PARKSHOCK")}, {}, none, 0, QStringLiteral("category:4"));
    row(1260, "column title", false, {}, {}, none, 0, QStringLiteral("category:0"));
    // Right column, window modes, map.
    row(1300, "fold up", false, {Bct("ID_BTN_FOLUP"), Bct("ID_BTN_FOLDN")}, {}, none, 0, QStringLiteral("map"));
    row(1301, "fold down", false, {Bct("ID_BTN_FOLDN")}, {}, none, 0, QStringLiteral("map"));
    row(1302, "expand", false, {Bct("ID_BTN_EXPAND")}, {}, none, 0, QStringLiteral("mode:2"));
    row(1303, "swap", true, {Bct("ID_BTN_CHANGE")}, {QStringLiteral("SetReverseMode(1)")}, none, 0, none);
    row(1303, "swap", false, {Bct("ID_BTN_CHANGE")}, {}, none, 0, none);
    row(1304, "map search", false, {Bct("ID_BTN_MAPSEARCH")}, {}, QStringLiteral("MessageBox"), 0, none); // no track
    row(1305, "fit", true, {Bct("ID_BTN_FITAREA")}, {QStringLiteral("SetVideoViewSize(1)")}, none, 0, none);
    row(1306, "navigation product", false, {Bct("ID_BTN_ORVIA")}, {}, QStringLiteral("ShellOpen"), 0, none);
    row(1307, "unit button", false, {}, {}, none, 0, QStringLiteral("unit-mph"));
    // Outside the ranges: nothing at all, not even the panels close.
    row(999, "outside", false, {}, {}, none, speed, QStringLiteral("open"));
}

void TestCommands::commandTable()
{
    QFETCH(int, id);
    RunRow([id](CMovaraDlg& dlg) { dlg.OnCommand(id); });
}

void TestCommands::accelerators_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<bool>("playing");
    QTest::addColumn<QStringList>("traces");
    QTest::addColumn<QStringList>("calls");
    QTest::addColumn<QString>("platform");
    QTest::addColumn<int>("panel");
    QTest::addColumn<QString>("effect");
    const QString none;
    const int ctrl = int(Qt::ControlModifier);
    QTest::newRow("Ctrl+O") << int(Qt::Key_O) << ctrl << false << QStringList{Bct("ID_BTN_FILE_OPEN")} << QStringList()
                            << QStringLiteral("GetOpenFileName") << 0 << none;
    QTest::newRow("Ctrl+Shift+S") << int(Qt::Key_S) << int(Qt::ControlModifier | Qt::ShiftModifier) << true
                                  << QStringList{Bct("ID_BTN_FILE_OTHER_SAVE")} << QStringList()
                                  << QStringLiteral("GetSaveFileName") << 0 << none;
    QTest::newRow("Ctrl+Q") << int(Qt::Key_Q) << ctrl << false << QStringList() << QStringList() << none << 0
                            << QStringLiteral("closed");
    QTest::newRow("Space stopped") << int(Qt::Key_Space) << 0 << false << QStringList{Bct("ID_BTN_PLAY ")}
                                   << QStringList{QStringLiteral("OnMovieOpen("), QStringLiteral("Play")} << none << 0
                                   << none;
    QTest::newRow("Space playing") << int(Qt::Key_Space) << 0 << true << QStringList{Bct("ID_BTN_PAUSE ")}
                                   << QStringList{QStringLiteral("Pause")} << none << 0 << none;
    QTest::newRow("Ctrl+Enter") << int(Qt::Key_Return) << ctrl << false
                                << QStringList{QStringLiteral("Kestrav : OnFullscr"), Bct("ID_BOX_CONTEXT_FULLSCR")}
                                << QStringList() << none << 0 << none;
    QTest::newRow("Alt+Enter") << int(Qt::Key_Return) << int(Qt::AltModifier) << false
                               << QStringList{QStringLiteral("Kestrav : OnFullwnd"), Bct("ID_BOX_CONTEXT_FULLWIN")}
                               << QStringList() << none << 0 << none;
    QTest::newRow("Delete") << int(Qt::Key_Delete) << 0 << false << QStringList() << QStringList() << none << 0
                            << QStringLiteral("deleted");
    QTest::newRow("F1") << int(Qt::Key_F1) << 0 << false << QStringList() << QStringList() << none << 0 << none;
    QTest::newRow("Enter") << int(Qt::Key_Return) << 0 << false << QStringList()
                           << QStringList{QStringLiteral("OnMovieOpen("), QStringLiteral("Play")} << none << 0 << none;
    QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << int(Qt::KeypadModifier) << false << QStringList()
                                  << QStringList{QStringLiteral("OnMovieOpen(")} << none << 0 << none;
    QTest::newRow("Up") << int(Qt::Key_Up) << 0 << false << QStringList() << QStringList() << none << 0
                        << QStringLiteral("focus-up");
    QTest::newRow("Down") << int(Qt::Key_Down) << 0 << false << QStringList() << QStringList() << none << 0
                          << QStringLiteral("focus-down");
    QTest::newRow("Shift+Enter") << int(Qt::Key_Return) << int(Qt::ShiftModifier) << false << QStringList()
                                 << QStringList() << none << int(kPanelSpeed) << QStringLiteral("open");
    QTest::newRow("Escape") << int(Qt::Key_Escape) << 0 << false << QStringList() << QStringList() << none
                            << int(kPanelSpeed) << QStringLiteral("open");
}

void TestCommands::accelerators()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    RunRow([key, modifiers](CMovaraDlg& dlg) {
        // Keys go to whichever control of the window has the keyboard.
        QTest::keyClick(dlg.List(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    });
}

void TestCommands::contextCommandsNeedAList()
{
    // No card and no opened file: the front picture's commands do nothing,
    // and write no trace.
    CMovaraDlg& dlg = m_w->Open({}, "ARX330", {}, QByteArray(), false);
    QVERIFY(dlg.List()->IsEmptyMode());
    CTraceCapture trace;
    for (int id : {kCmdContextPlayPause, kCmdZoomIn, kCmdZoomOut, kCmdFullScreen, kCmdFullWindow})
        dlg.OnCommand(id);
    QCOMPARE(trace.LinesStartingWith(QStringLiteral("BTN CLICK")), QStringList());
    QVERIFY(trace.LinesStartingWith(QStringLiteral("Kestrav : ToggleExpand")).isEmpty());
    QVERIFY(m_w->fake->calls.filter(QStringLiteral("Pause")).isEmpty());
    // The command table names every action it has.
    for (int id : CCommandRouter::CommandsWithAction())
        QVERIFY2(CCommandRouter::InCommandRanges(id), qPrintable(QString::number(id)));
}

void TestCommands::fileAndSettingsMenus()
{
    CMovaraDlg& dlg = Open();
    CMenuBar& menus = dlg.Menus();
    // The File menu under its button, 4 pixels left and below, at the tables' size.
    QWidget* file = dlg.Control(kIdFile);
    QWidget* settings = dlg.Control(kIdSettings);
    QCOMPARE(menus.FileMenuAnchor(), QPoint(file->x() - 4, file->geometry().bottom() + 1 + 4));
    QCOMPARE(menus.SettingsMenuAnchor(), QPoint(settings->x() - 4, settings->geometry().bottom() + 1 + 4));
    QCOMPARE(settings->x(), file->x() + file->width() + LangMenuValue(QStringLiteral("PO_BTN_SETTING_X")));
    dlg.OnCommand(kCmdFile);
    CTDropBox* fileMenu = menus.FileMenu();
    QVERIFY(fileMenu->isVisible());
    QCOMPARE(fileMenu->pos(), dlg.mapToGlobal(menus.FileMenuAnchor()));
    QCOMPARE(fileMenu->size(), QSize(LangMenuValue(QStringLiteral("SIZE_BOX_FILE_WIDTH")),
                                     LangMenuValue(QStringLiteral("SIZE_BOX_FILE_HEIGHT"))));
    QCOMPARE(fileMenu->windowTitle(), QStringLiteral("File"));
    const auto& items = fileMenu->Items();
    QCOMPARE(int(items.size()), 3);
    QCOMPARE(items[0].command, kCmdFileOpen);
    QCOMPARE(items[0].text, Text("IDS_STRING_K_004"));
    QCOMPARE(items[0].rightText, Text("IDS_STRING_K_005"));
    QCOMPARE(items[1].command, kCmdFileSaveAs);
    QCOMPARE(items[1].rightText, Text("IDS_STRING_K_009"));
    QCOMPARE(items[2].command, kCmdFileExit);
    QVERIFY(items[2].itemRect.bottom <= fileMenu->height());
    // Its first entry clicked: the open dialog; the menu is gone.
    QTest::mouseClick(fileMenu, Qt::LeftButton, {}, items[0].itemRect.ToQRect().center());
    QTRY_COMPARE(m_platform.CallsOf(QStringLiteral("GetOpenFileName")).size(), 1);
    QVERIFY(!fileMenu->isVisible());
    QCOMPARE(m_platform.openFilters, QStringList{QString::fromLatin1(kOpenFilter)});

    // Settings: the program, the information, the play type, the unit sub-menu.
    dlg.OnCommand(kCmdSettings);
    CTDropBox* settingsMenu = menus.SettingsMenu();
    QVERIFY(settingsMenu->isVisible());
    QVERIFY(!fileMenu->isVisible());
    QCOMPARE(settingsMenu->pos(), dlg.mapToGlobal(menus.SettingsMenuAnchor()));
    const auto& s = settingsMenu->Items();
    QCOMPARE(int(s.size()), 4);
    QCOMPARE(s[0].command, kCmdSettingsProgram);
    QCOMPARE(s[1].command, kCmdDeviceInfo);
    QCOMPARE(s[2].command, kCmdPlayType);
    QCOMPARE(s[2].text, Text("IDS_STRING_K_104"));
    QCOMPARE(s[3].subMenu.data(), menus.UnitMenu());
    QVERIFY(s[3].itemRect.bottom <= settingsMenu->height());
    QCOMPARE(menus.UnitMenu()->Items()[0].command, kCmdUnitKmh);
    QVERIFY(menus.UnitMenu()->Items()[0].isChecked);
    QVERIFY(!menus.UnitMenu()->Items()[1].isChecked);
    // The device information through the menu.
    m_platform.modalInspector = [](QObject* d) { QCOMPARE(QString::fromLatin1(d->metaObject()->className()), QStringLiteral("CBbInfoDlg")); };
    QTest::mouseClick(settingsMenu, Qt::LeftButton, {}, s[1].itemRect.ToQRect().center());
    QTRY_COMPARE(m_platform.CallsOf(QStringLiteral("RunModalDialog")).size(), 1);
    // mph through the sub-menu: the check marks follow.
    dlg.OnCommand(kCmdUnitMph);
    QVERIFY(!menus.UnitMenu()->Items()[0].isChecked);
    QVERIFY(menus.UnitMenu()->Items()[1].isChecked);
    dlg.OnCommand(kCmdUnitKmh);
}

void TestCommands::menuButtonClickedTwiceClosesItsMenu()
{
    CMovaraDlg& dlg = Open();
    CTraceCapture trace;
    auto clicks = [&trace] { return trace.Lines().count(Bct("ID_BTN_FILE")); };
    QWidget* file = dlg.Control(kIdFile);
    QTest::mouseClick(file, Qt::LeftButton, {}, QPoint(5, 5));
    QTRY_COMPARE(clicks(), 1);
    QVERIFY(dlg.Menus().FileMenu()->isVisible());
    // The second click's press closes the menu; its command must not reopen it.
    QTest::mouseClick(file, Qt::LeftButton, {}, QPoint(5, 5));
    QTRY_COMPARE(clicks(), 2);
    QVERIFY(!dlg.Menus().FileMenu()->isVisible());
    // A third opens it again.
    QTest::mouseClick(file, Qt::LeftButton, {}, QPoint(5, 5));
    QTRY_COMPARE(clicks(), 3);
    QVERIFY(dlg.Menus().FileMenu()->isVisible());
    // The command alone (as from the keyboard) toggles too.
    dlg.OnCommand(kCmdFile);
    QVERIFY(!dlg.Menus().FileMenu()->isVisible());
}

void TestCommands::playControlPanels()
{
    CMovaraDlg& dlg = Open();
    QVERIFY(m_w->Play(Name(0)));
    CMenuBar& menus = dlg.Menus();
    const int H = dlg.height();
    // The zoom menu at zoom 1.0, the zoomed one (with "Original" first) else.
    dlg.OnCommand(kIdZoomMenu);
    QVERIFY(menus.IsOpen(kPanelZoomMenu));
    QCOMPARE(menus.ZoomMenu()->geometry(), QRect(dlg.mapToGlobal(QPoint(480, H - 332)), QSize(67, 102)));
    QCOMPARE(menus.ZoomMenu()->windowTitle(), QStringLiteral("ScrSize"));
    QCOMPARE(menus.ZoomMenu()->Items()[0].command, kCmdZoom05);
    QTest::mouseClick(menus.ZoomMenu(), Qt::LeftButton, {}, menus.ZoomMenu()->Items()[2].itemRect.ToQRect().center());
    QTRY_COMPARE(m_w->fake->GetVideoViewSize(), 1.5f);
    dlg.OnCommand(kIdZoomMenu);
    QVERIFY(menus.IsOpen(kPanelZoomMenuZoomed));
    QVERIFY(!menus.IsOpen(kPanelZoomMenu));
    QCOMPARE(menus.ZoomMenuZoomed()->geometry(), QRect(dlg.mapToGlobal(QPoint(480, H - 353)), QSize(72, 123)));
    QCOMPARE(menus.ZoomMenuZoomed()->Items()[0].text, Text("IDS_STRING_K_065"));
    QCOMPARE(menus.ZoomMenuZoomed()->Items()[0].command, kCmdZoomOriginal);
    QCOMPARE(menus.ZoomMenuZoomed()->NormalTextColor(), QColor(178, 193, 222));

    // The speed panel: its values reach the transport; its reset too.
    dlg.OnCommand(kIdSpeedPanel);
    CTDropBriSpd* speed = menus.SpeedPanel();
    QVERIFY(speed->isVisible());
    QVERIFY(!menus.IsOpen(kPanelZoomMenuZoomed));
    QCOMPARE(speed->geometry(), QRect(dlg.mapToGlobal(QPoint(474, H - 327)), QSize(151, 97)));
    speed->HandleSliderMessage(kMsgControlValue, kCodeSpeed, 5);
    QCOMPARE(m_w->fake->calls.last(), QStringLiteral("SetVideoSpeed(3)"));
    m_w->fake->calls.clear();
    QTest::mouseClick(speed->ResetButton(), Qt::LeftButton, {}, QPoint(10, 10));
    QTRY_VERIFY(m_w->fake->calls.contains(QStringLiteral("SetBrightness(50)")));
    QVERIFY(m_w->fake->calls.contains(QStringLiteral("SetVideoSpeed(1)")));
    QCOMPARE(speed->SpeedText(), QStringLiteral("x1.0"));

    // The volume panel shows the transport's volume; its value goes back.
    m_w->fake->SetVolume(40);
    dlg.OnCommand(kIdVolume);
    CTDropVol* volume = menus.VolumePanel();
    QVERIFY(volume->isVisible());
    QVERIFY(!speed->isVisible());
    QCOMPARE(volume->Volume(), 40);
    QCOMPARE(volume->geometry(), QRect(dlg.mapToGlobal(QPoint(599, H - 346)), QSize(43, 116)));
    volume->HandleSliderMessage(kMsgControlValue, kCodeVolume, 30);
    QCOMPARE(m_w->fake->GetVolume(), 30);
    // The volume button again leaves its panel open.
    dlg.OnCommand(kIdVolume);
    QVERIFY(volume->isVisible());
    // A recording that starts finds the speed panel at brightness 50 and x1.0.
    speed->HandleSliderMessage(kMsgControlValue, kCodeSpeed, 5);
    QCOMPARE(speed->SpeedText(), QStringLiteral("x3.0"));
    QVERIFY(m_w->Play(Name(1)));
    QCOMPARE(speed->SpeedText(), QStringLiteral("x1.0"));
    QCOMPARE(speed->Brightness(), 50);
}

void TestCommands::panelsFollowTheWindowAndTheControlBox()
{
    CMovaraDlg& dlg = Open();
    CMenuBar& menus = dlg.Menus();
    dlg.resize(dlg.width() + 120, dlg.height() + 60);
    const int W = dlg.width();
    const int H = dlg.height();
    QCOMPARE(menus.GetDropPanelAnchor(kPanelVolume), dlg.mapToGlobal(QPoint(W - 965 + 599, H - 346)));
    QCOMPARE(menus.GetDropPanelAnchor(kPanelSpeed), dlg.mapToGlobal(QPoint(W - 965 + 474, H - 327)));
    // The File menu stays under its button.
    QCOMPARE(menus.GetDropPanelAnchor(kPanelFileMenu), dlg.mapToGlobal(menus.FileMenuAnchor()));
    // Expanded: against the full-screen control box.
    const QRect box(100, 700, 700, 60);
    menus.SetControlBoxRectSource([box] { return box; });
    dlg.Modes().SetWindowMode(kModeExpanded);
    QCOMPARE(menus.GetDropPanelAnchor(kPanelZoomMenu), QPoint(601, 634));
    QCOMPARE(menus.GetDropPanelAnchor(kPanelZoomMenuZoomed), QPoint(599, 613));
    QCOMPARE(menus.GetDropPanelAnchor(kPanelSpeed), QPoint(594, 639));
    QCOMPARE(menus.GetDropPanelAnchor(kPanelVolume), QPoint(721, 620));
    QCOMPARE(menus.GetDropPanelAnchor(kPanelFileMenu), dlg.mapToGlobal(menus.FileMenuAnchor()));
    dlg.Modes().SetWindowMode(kModeNormal);
    // Unknown panels open nothing.
    QCOMPARE(menus.GetDropPanelAnchor(1234), QPoint());
    dlg.OpenDropPanel(1234);
    for (int id : kDropPanels)
        QVERIFY(!menus.IsOpen(id));
}

void TestCommands::panelsCloseOnPressesAndMessages()
{
    CMovaraDlg& dlg = Open();
    CMenuBar& menus = dlg.Menus();
    auto openVolume = [&] {
        dlg.OnCommand(kIdVolume);
        QVERIFY(menus.IsOpen(kPanelVolume));
    };
    openVolume();
    QTest::mouseClick(&dlg, Qt::LeftButton, {}, QPoint(400, 40));
    QVERIFY(!menus.IsOpen(kPanelVolume));
    openVolume();
    QTest::mouseClick(&dlg, Qt::RightButton, {}, QPoint(400, 40));
    QVERIFY(!menus.IsOpen(kPanelVolume));
    for (unsigned message : {unsigned(kMsgClosePanelsVideo), unsigned(kMsgClosePanelsList)}) {
        openVolume();
        dlg.OnWindowMessage(message, 0, 0);
        QVERIFY(!menus.IsOpen(kPanelVolume));
    }
    // Escape in the panel closes it.
    openVolume();
    QTest::keyClick(menus.VolumePanel(), Qt::Key_Escape);
    QVERIFY(!menus.IsOpen(kPanelVolume));
}

void TestCommands::categorySelection_data()
{
    QTest::addColumn<QStringList>("folders");
    QTest::addColumn<QList<int>>("enabled");
    QTest::addColumn<int>("tab");
    QTest::addColumn<int>("category");
    QTest::addColumn<QList<int>>("shown");
    const QList<int> none;
    QTest::newRow("continuous first") << QStringList{QStringLiteral("상시녹화"), QStringLiteral("주차모션")}
                                      << QList<int>{1251, 1252, 1255, 1257} << 1251 << 0 << QList<int>{1255, 1256};
    QTest::newRow("impact only") << QStringList{QStringLiteral("상시충격")} << QList<int>{1251, 1256} << 1251 << 1
                                 << QList<int>{1255, 1256};
    QTest::newRow("parking motion, continuous empty")
        << QStringList{QStringLiteral("주차모션"), QStringLiteral("수동녹화")} << QList<int>{1252, 1253, 1257} << 1252 << 3
        << QList<int>{1257, 1258};
    QTest::newRow("parking impact before manual")
        << QStringList{QStringLiteral("주차충격"), QStringLiteral("수동녹화")} << QList<int>{1252, 1253, 1258} << 1252 << 4
        << QList<int>{1257, 1258};
    QTest::newRow("manual only") << QStringList{QStringLiteral("수동녹화")} << QList<int>{1253} << 1253 << 2
                                 << QList<int>{1259, 1260};
    QTest::newRow("nothing") << QStringList() << none << 0 << 0 << QList<int>{1259, 1260};
}

void TestCommands::categorySelection()
{
    QFETCH(QStringList, folders);
    QFETCH(QList<int>, enabled);
    QFETCH(int, tab);
    QFETCH(int, category);
    QFETCH(QList<int>, shown);
    QStringList files;
    for (const QString& f : folders)
        files << f + QStringLiteral("/REC_2024_05_10_10_00_00_F.AVI");
    CMovaraDlg& dlg = Open(files);
    for (int id = kIdListNormal; id <= kIdListParkShock; ++id)
        QVERIFY2(dlg.Control(id)->isEnabled() == enabled.contains(id), qPrintable(QString::number(id)));
    for (int id = kIdListNormal; id <= kIdListPosition; ++id)
        QCOMPARE(qobject_cast<CRButton*>(dlg.Control(id))->IsChecked(), id == tab);
    for (int id = kIdListRecNormal; id <= kIdListNameTitle; ++id)
        QVERIFY2(dlg.Control(id)->isVisibleTo(&dlg) == shown.contains(id), qPrintable(QString::number(id)));
    QCOMPARE(dlg.listCategory, category);
    QCOMPARE(dlg.List()->GetItemCount(), files.isEmpty() ? 0 : 1);
    QCOMPARE(dlg.List()->IsEmptyMode(), files.isEmpty());
    if (!files.isEmpty())
        QCOMPARE(dlg.List()->GetFocusedName(), QStringLiteral("REC_2024_05_10_10_00_00_F.AVI"));
}

void TestCommands::controlsFollowTheCard()
{
    CMovaraDlg& dlg = Open();
    auto ids = [](int first, int last) {
        QList<int> l;
        for (int id = first; id <= last; ++id)
            l << id;
        return l;
    };
    const QList<int> cardControls = ids(1100, 1111) + ids(1300, 1303) + QList<int>{1307, 1006, kIdSpeedNumber};
    // The card goes: everything a card offers is disabled, the analysis texts hidden.
    QFile::remove(m_w->CardFile(QStringLiteral("SETTING/setup.cfg")));
    dlg.OnMediaChanged();
    for (int id : cardControls + ids(1251, 1260))
        QVERIFY2(!dlg.Control(id)->isEnabled(), qPrintable(QString::number(id)));
    QVERIFY(dlg.FrontVideo()->IsNoCardLook());
    QVERIFY(dlg.List()->IsEmptyMode());
    for (int id = kIdListNormal; id <= kIdListPosition; ++id)
        QVERIFY(!qobject_cast<CRButton*>(dlg.Control(id))->IsChecked());
    QVERIFY(dlg.Control(kIdListNameTitle)->isVisibleTo(&dlg));
    QVERIFY(!dlg.Control(kIdListRecNormal)->isVisibleTo(&dlg));
    QVERIFY(dlg.Menus().SettingsMenu()->Items()[2].disabled);
    QCOMPARE(dlg.playTypeLocked, 1);
    // It comes back: enabled again but the zoom and speed buttons, which
    // wait for a recording to play.
    QVERIFY(WriteCard(m_w->root, "ARX330", {}));
    dlg.OnMediaChanged();
    for (int id : cardControls + QList<int>{1259, 1260})
        QVERIFY2(dlg.Control(id)->isEnabled() == (id != kIdZoomMenu && id != kIdSpeedPanel),
                 qPrintable(QString::number(id)));
    QVERIFY(!dlg.FrontVideo()->IsNoCardLook());
    QVERIFY(qobject_cast<CRButton*>(dlg.Control(kIdContinuousPlay))->IsChecked());
}

void TestCommands::playTypeEntry_data()
{
    QTest::addColumn<QByteArray>("model");
    QTest::addColumn<bool>("machineSingle");
    QTest::addColumn<bool>("offered");
    QTest::addColumn<bool>("checked");
    QTest::newRow("ARX330") << QByteArray("ARX330") << false << false << false;
    QTest::newRow("CMV550View, machine single") << QByteArray("CMV550View") << true << true << false;
    QTest::newRow("CMV550View, machine dual") << QByteArray("CMV550View") << false << true << true;
    QTest::newRow("DZ55, machine dual") << QByteArray("DZ55") << false << true << true;
    QTest::newRow("BT33, machine dual") << QByteArray("BT33") << false << false << false;
}

void TestCommands::playTypeEntry()
{
    QFETCH(QByteArray, model);
    QFETCH(bool, machineSingle);
    QFETCH(bool, offered);
    QFETCH(bool, checked);
    CMovaraDlg& dlg = Open(kCard, model, [machineSingle](CMovaraDlgOptions& o) {
        o.readPlayType = [machineSingle] { return machineSingle ? EPlayType::Single : EPlayType::Dual; };
    });
    QCOMPARE(dlg.singlePlay, machineSingle ? 1 : 0);
    const CTDropBox::MenuItem* item = &dlg.Menus().SettingsMenu()->Items()[2];
    QCOMPARE(item->command, kCmdPlayType);
    QCOMPARE(!item->disabled, offered);
    QCOMPARE(item->isChecked, checked);
    QCOMPARE(dlg.dualStreamMode, offered ? 1 : 0);
    // The entry toggles the play type only where it is offered; the mark follows.
    dlg.OnCommand(kCmdPlayType);
    item = &dlg.Menus().SettingsMenu()->Items()[2];
    QCOMPARE(dlg.singlePlay, offered ? (machineSingle ? 0 : 1) : (machineSingle ? 1 : 0));
    QCOMPARE(item->isChecked, offered && dlg.singlePlay == 0);
}

void TestCommands::speedUnitButton()
{
    CMovaraDlg& dlg = Open();
    auto* unit = qobject_cast<CRButton*>(dlg.Control(kIdUnit));
    QVERIFY(unit->isEnabled());
    dlg.OnCommand(kCmdUnitKmh);
    const QImage km = unit->ComposedImage();
    QTest::mouseClick(unit, Qt::LeftButton, {}, QPoint(5, 5));
    QTRY_COMPARE(dlg.speedUnit, 1);
    QCOMPARE(SettingsGetText(QStringLiteral("unit")), QStringLiteral("mph"));
    const QImage mile = unit->ComposedImage();
    QVERIFY(km != mile);
    // Saved: a new window starts in mph, with the mile pictures.
    QVERIFY(SettingsLoad());
    CMovaraDlg& again = Open();
    QCOMPARE(again.speedUnit, 1);
    QCOMPARE(qobject_cast<CRButton*>(again.Control(kIdUnit))->ComposedImage(), mile);
    QVERIFY(again.Menus().UnitMenu()->Items()[1].isChecked);
    QTest::mouseClick(again.Control(kIdUnit), Qt::LeftButton, {}, QPoint(5, 5));
    QTRY_COMPARE(again.speedUnit, 0);
    QCOMPARE(SettingsGetText(QStringLiteral("unit")), QStringLiteral("km/h"));
}

QTEST_MAIN(TestCommands)
#include "tst_commands.moc"
