// The main window's playback over the stand-in transport: the play state
// table, the play list's playing item, the repeat guard, the end of a
// recording, the decodability verdict, the position timer and texts, the
// sliders and panels' values, the play type, and the faults playback must
// survive (a title the map no longer holds, a vanished file, a failed open,
// the card pulled while playing, clicks piling up).
#include "CardFixture.h"
#include "FakeTransport.h"
#include "WindowTestEnvironment.h"
#include "catalogue/MemoryCard.h"
#include "lang/Lang.h"
#include "mainwindow/MainWindowIds.h"
#include "mainwindow/MovaraDlg.h"
#include "mainwindow/PlaybackCoordinator.h"
#include "platform/Platform.h"
#include "settings/Settings.h"
#include "skin/RButton.h"
#include "skin/RListCtrl.h"
#include "skin/RScrollBar.h"
#include "skin/RStaticText.h"
#include "skin/SkinBalloonTip.h"
#include "skin/SkinImage.h"
#include "skin/SkinSlider.h"
#include "support/TraceCapture.h"
#include "telemetry/TextData.h"
#include "windows/VideoMainWnd.h"
#include "windows/VideoSubWnd.h"

#include <QApplication>
#include <QDir>
#include <QWheelEvent>
#include <QFile>
#include <QLabel>
#include <QResource>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <memory>

using namespace MainWnd;

namespace {
// Four continuous recordings (the list's order) and one parking impact.
const QStringList kCard = {
    QStringLiteral("상시녹화/REC_2024_05_10_08_00_00_F.AVI"),
    QStringLiteral("상시녹화/REC_2024_05_10_08_01_00_F.AVI"),
    QStringLiteral("상시녹화/REC_2024_05_10_08_02_00_F.AVI"),
    QStringLiteral("상시녹화/REC_2024_05_10_08_03_00_F.AVI"),
    QStringLiteral("주차충격/REC_2024_05_10_09_00_00_F.AVI"),
};
// A front/rear MP4 pair for the play type.
const QStringList kMp4Card = {
    QStringLiteral("상시녹화/REC_2024_05_10_08_00_00_F.MP4"),
    QStringLiteral("상시녹화/REC_2024_05_10_08_00_00_R.MP4"),
};

// A message box that runs something while it is open, as its event loop would.
class CBoxWithEvents : public CRecordingPlatform
{
public:
    std::function<void()> whileOpen;
    int MessageBox(QObject* owner, const QString& text, const QString& caption, unsigned flags) override
    {
        if (whileOpen)
            whileOpen();
        return CRecordingPlatform::MessageBox(owner, text, caption, flags);
    }
};

QString Name(int i)
{
    return QFileInfo(kCard[i]).fileName();
}
} // namespace

class TestPlayback : public QObject
{
    Q_OBJECT

private:
    CRecordingPlatform m_platform;
    QTemporaryDir m_dir;
    std::unique_ptr<CFakeTransport> m_fake;
    std::unique_ptr<CMovaraDlg> m_dlg;
    std::atomic<int> m_extractions{0};
    int m_checkResult = 1;
    int m_checkCalls = 0;
    unsigned m_tick = 100000;

    // A window over the stand-in on a card with `files` of `model`.
    CMovaraDlg& Open(const QStringList& files = kCard, const QByteArray& model = "ARX330")
    {
        static int n = 0;
        m_dlg.reset(); // before the transport it uses
        m_fake.reset();
        const QString root = m_dir.filePath(QStringLiteral("card%1").arg(++n));
        if (!WriteCard(root, model, files))
            qFatal("cannot write the card");
        qputenv("KESTRAV_CARD_ROOTS", root.toLocal8Bit());
        m_fake = std::make_unique<CFakeTransport>();
        CMovaraDlgOptions o;
        o.showSplash = false;
        o.probeConnectivity = [] { return false; };
        // Each extraction leaves one G-sensor sample and one GPS fix.
        o.extract = [this](const QString&, CTextData& t) {
            ++m_extractions;
            t.gsensorList.push_back(CGSensorData(1, 2, 3));
            t.gpsList.push_back(CGPSData());
        };
        o.checkH264 = [this](const QString&) {
            ++m_checkCalls;
            return m_checkResult;
        };
        o.isMp4Recording = [](const QString& path) { return path.endsWith(QLatin1String(".MP4")); };
        o.tickCount = [this] { return m_tick; };
        o.transport = m_fake.get();
        m_dlg = std::make_unique<CMovaraDlg>(o);
        m_dlg->OnInitDialog();
        if (!QTest::qWaitFor([this] { return !m_dlg->IsAnalysisRunning(); }, 10000))
            qFatal("the analysis does not end");
        return *m_dlg;
    }
    CRListCtrl& List() { return *m_dlg->List(); }
    QString PathOf(int i) const
    {
        return m_dlg->Catalogue()[Catalogue::kContinuous].at(Name(i).toUpper()).path;
    }
    QString Opened(int i) const { return QStringLiteral("OnMovieOpen(%1,1)").arg(PathOf(i)); }
    QString Text(int id) const
    {
        QWidget* w = m_dlg->Control(id);
        if (auto* t = qobject_cast<CRStaticText*>(w))
            return t->Text();
        return qobject_cast<QLabel*>(w)->text();
    }
    int State() const { return m_fake->GetState(); }
    // Plays list item `i` as a double click on its row would.
    void PlayItem(int i)
    {
        List().SetFocusedByName(Name(i));
        List().PlayFocused();
        QCOMPARE(State(), STATE_PLAY);
        QCOMPARE(m_fake->OpenedPath(), PathOf(i));
    }
    void Click(int id, unsigned atTick)
    {
        m_tick = atTick;
        m_dlg->OnCommand(id);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        StartWindowTests(m_platform, QStringLiteral("english"), m_dir.path());
    }
    void init()
    {
        ForgetCard();
        m_platform.Clear();
        m_checkResult = 1;
        m_checkCalls = 0;
        m_extractions = 0;
    }
    void cleanup()
    {
        m_dlg.reset();
        m_fake.reset();
    }
    void cleanupTestCase()
    {
        FinishWindowTests();
    }

    void playWhilePlayingRestartsThePlayingItem();
    void playOnPauseResumesTheSameRecording();
    void forcedPlayOnPauseOpensTheDoubleClickedItem();
    void positionDrag_data();
    void positionDrag();
    void nextAndPreviousWithTheRepeatGuard();
    void skipsAndTheirGuard();
    void endOfRecording_data();
    void endOfRecording();
    void notDecodableIsRememberedWithoutASecondCheck();
    void stopClearsThePresentation();
    void positionTimerWorksOnWholeSeconds();
    void volumeIconLevels_data();
    void volumeIconLevels();
    void speedAndBrightnessValues();
    void playTypeRestartsTheSameRecording();
    void onDemandExtractionReplacesTheSeries();
    void titleNoLongerInTheMap();
    void vanishedRecordingAndFailedOpen();
    void cardPulledWhilePlaying();
    void clicksPilingUpDuringAnOpen();
    void listNotificationsAndKeys();
    void wheelOverTheWindowScrollsTheList();
    void frontWindowZoomPanAndMessages();
    void nothingReentersPlayWhileItsBoxIsOpen();
};

void TestPlayback::playWhilePlayingRestartsThePlayingItem()
{
    CMovaraDlg& dlg = Open();
    QCOMPARE(dlg.VideoPlay(false), 1); // nothing playing: the focused first item
    QCOMPARE(m_fake->OpenedPath(), PathOf(0));
    QCOMPARE(List().GetPlayingName(), Name(0));
    m_fake->SetPositionUnits(7 * Engine::kUnitsPerSecond);
    List().SetFocusedByName(Name(2));
    m_fake->calls.clear();
    dlg.OnCommand(kCmdPlay);
    // What plays is closed first. (The panels switched off before it paint
    // at once, and the video window painting with them asks for its picture
    // again: ReDrawVideo is no step of the sequence.)
    QStringList steps = m_fake->calls;
    steps.removeAll(QStringLiteral("ReDrawVideo"));
    QCOMPARE(steps.mid(0, 2), (QStringList{QStringLiteral("Close"), QStringLiteral("SetReverseMode(0)")}));
    QCOMPARE(m_fake->CountOf(Opened(0)), 1);
    QCOMPARE(m_fake->calls.last(), QStringLiteral("Play"));
    QCOMPARE(m_fake->GetPosition(), 0L);
    QCOMPARE(State(), STATE_PLAY);
    QCOMPARE(dlg.currentTitle, Name(0).toUpper());
    QCOMPARE(Text(kIdMainTitle), Name(0).toUpper());
    QVERIFY(dlg.Control(kIdPause)->isVisible());
    QVERIFY(!dlg.Control(kIdPlay)->isVisible());
    QVERIFY(dlg.Control(kIdPositionSlider)->isEnabled());
}

void TestPlayback::playOnPauseResumesTheSameRecording()
{
    CMovaraDlg& dlg = Open();
    PlayItem(1);
    dlg.OnCommand(kCmdPause);
    QCOMPARE(State(), STATE_PAUSE);
    QVERIFY(!dlg.IsTimerActive(kTimerPlayPosition));
    QVERIFY(dlg.Control(kIdPlay)->isVisible());
    List().SetFocusedByName(Name(3));
    m_fake->calls.clear();
    dlg.OnCommand(kCmdPlay);
    QCOMPARE(State(), STATE_PLAY);
    QCOMPARE(m_fake->calls, QStringList{QStringLiteral("Play")});
    QCOMPARE(m_fake->OpenedPath(), PathOf(1));
    QVERIFY(dlg.IsTimerActive(kTimerPlayPosition));
    // The picture labels stay through pause and resume, and after a stop.
    QCOMPARE(Text(kIdLabelFront), LangText(QStringLiteral("IDS_STRING_K_018")));
    QCOMPARE(Text(kIdLabelRear), LangText(QStringLiteral("IDS_STRING_K_019")));
    dlg.VideoSTOP();
    QCOMPARE(Text(kIdLabelFront), LangText(QStringLiteral("IDS_STRING_K_018")));
    QCOMPARE(Text(kIdLabelRear), LangText(QStringLiteral("IDS_STRING_K_019")));
}

void TestPlayback::forcedPlayOnPauseOpensTheDoubleClickedItem()
{
    CMovaraDlg& dlg = Open();
    PlayItem(0);
    dlg.VideoPause();
    // A double click on row 2 makes it the playing item and sends 1112.
    const QPoint row2(50, 2 * 20 + 10);
    QTest::mouseDClick(&List(), Qt::LeftButton, Qt::NoModifier, row2);
    QCOMPARE(State(), STATE_PLAY);
    QCOMPARE(m_fake->OpenedPath(), PathOf(2));
    QCOMPARE(List().GetPlayingName(), Name(2));
    QCOMPARE(dlg.currentTitle, Name(2).toUpper());
}

void TestPlayback::positionDrag_data()
{
    QTest::addColumn<bool>("playing");
    QTest::newRow("while playing: pauses, release resumes") << true;
    QTest::newRow("while paused: stays paused") << false;
}

void TestPlayback::positionDrag()
{
    QFETCH(bool, playing);
    CMovaraDlg& dlg = Open();
    PlayItem(0);
    if (!playing)
        dlg.VideoPause();
    m_fake->calls.clear();
    // A press on the slider's track reports its value (0x590, 1200) at once.
    auto* slider = qobject_cast<CSkinSlider*>(dlg.Control(kIdPositionSlider));
    QVERIFY(slider && slider->isEnabled());
    QTest::mousePress(slider, Qt::LeftButton, Qt::NoModifier, QPoint(slider->width() / 2, 3));
    QCOMPARE(State(), STATE_PAUSE);
    QCOMPARE(dlg.seekPausedPlayback, playing);
    QVERIFY(!dlg.IsTimerActive(kTimerPlayPosition));
    QCOMPARE(m_fake->CountOf(QStringLiteral("SetPosition(50)")), 1);
    QCOMPARE(Text(kIdCurrentTime), QStringLiteral("00:00:30 /"));
    // The release (0x591, 1200).
    QTest::mouseRelease(slider, Qt::LeftButton, Qt::NoModifier, QPoint(slider->width() / 2, 3));
    QTRY_COMPARE(State(), playing ? STATE_PLAY : STATE_PAUSE);
    QCOMPARE(dlg.IsTimerActive(kTimerPlayPosition), playing);
    QVERIFY(!dlg.seekPausedPlayback);
    QCOMPARE(m_fake->CountOf(QStringLiteral("OnMovieOpen(%1,1)").arg(PathOf(0))), 0); // the same recording

    // Stopped: no seek at all.
    dlg.VideoSTOP();
    m_fake->calls.clear();
    dlg.OnWindowMessage(kMsgControlValue, kIdPositionSlider, 70);
    QCOMPARE(m_fake->calls.filter(QStringLiteral("SetPosition")).size(), 0);
}

void TestPlayback::nextAndPreviousWithTheRepeatGuard()
{
    CMovaraDlg& dlg = Open();
    // Stopped: next does nothing (and is not a repeat afterwards).
    Click(kIdNext, 1000);
    QCOMPARE(State(), STATE_STOP);
    PlayItem(0);
    Click(kIdNext, 5000);
    QCOMPARE(List().GetPlayingName(), Name(1));
    QCOMPARE(m_fake->OpenedPath(), PathOf(1));
    // A second click within the second is dropped.
    Click(kIdNext, 5999);
    QCOMPARE(List().GetPlayingName(), Name(1));
    // Previous right after acts: alternating ids are never dropped.
    Click(kIdPrevious, 6100);
    QCOMPARE(List().GetPlayingName(), Name(0));
    QCOMPARE(m_fake->OpenedPath(), PathOf(0));
    Click(kIdNext, 6200);
    QCOMPARE(List().GetPlayingName(), Name(1));
    // A second later the same id acts again; the guard measures from the
    // last click that acted, so the tick may even wrap.
    Click(kIdNext, 7200);
    QCOMPARE(List().GetPlayingName(), Name(2));
    // Paused: next resumes first, then moves on.
    dlg.VideoPause();
    Click(kIdNext, 9000);
    QCOMPARE(State(), STATE_PLAY);
    QCOMPARE(List().GetPlayingName(), Name(3));
    QCOMPARE(m_fake->OpenedPath(), PathOf(3));
    // Previous at the first item stays there.
    PlayItem(0);
    m_fake->calls.clear();
    Click(kIdPrevious, 20000);
    QCOMPARE(List().GetPlayingName(), Name(0));
    QCOMPARE(m_fake->calls.filter(QStringLiteral("OnMovieOpen")).size(), 0);

    // The guard itself, with a wrapping tick.
    CPlaybackCoordinator& p = dlg.Playback();
    m_tick = 0xFFFFFF00u;
    QVERIFY(!p.IsRepeated(1104, 1000));
    m_tick = 0x100u; // 512 ms later, across the wrap
    QVERIFY(p.IsRepeated(1104, 1000));
    m_tick = 0x300u;
    QVERIFY(!p.IsRepeated(1104, 1000));
}

void TestPlayback::skipsAndTheirGuard()
{
    CMovaraDlg& dlg = Open();
    PlayItem(0);
    m_fake->SetPositionUnits(30 * Engine::kUnitsPerSecond);
    Click(kIdForward10, 1000);
    QCOMPARE(m_fake->GetPosition(), 40L);
    Click(kIdForward10, 1300); // inside 400 ms
    QCOMPARE(m_fake->GetPosition(), 40L);
    Click(kIdBack10, 1350);
    QCOMPARE(m_fake->GetPosition(), 30L);
    // Paused: the position texts follow at once.
    dlg.VideoPause();
    Click(kIdForward10, 2000);
    QCOMPARE(m_fake->GetPosition(), 40L);
    QCOMPARE(Text(kIdCurrentTime), QStringLiteral("00:00:40 /"));
}

void TestPlayback::endOfRecording_data()
{
    QTest::addColumn<bool>("continuous");
    QTest::addColumn<int>("category");
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("next"); // -1: stopped
    QTest::newRow("continuous, to the next") << true << int(Catalogue::kContinuous) << 1 << 2;
    QTest::newRow("continuous, last wraps to the first") << true << int(Catalogue::kContinuous) << 3 << 0;
    QTest::newRow("continuous, a single item stops") << true << int(Catalogue::kParkingImpact) << 0 << -1;
    QTest::newRow("not continuous: stops") << false << int(Catalogue::kContinuous) << 1 << -1;
}

void TestPlayback::endOfRecording()
{
    QFETCH(bool, continuous);
    QFETCH(int, category);
    QFETCH(int, from);
    QFETCH(int, next);
    CMovaraDlg& dlg = Open();
    if (!continuous) {
        dlg.OnCommand(kIdContinuousPlay);
        QVERIFY(!qobject_cast<CRButton*>(dlg.Control(kIdContinuousPlay))->IsChecked());
    }
    QCOMPARE(dlg.continuousPlay, continuous ? 1 : 0);
    if (category != Catalogue::kContinuous)
        dlg.OnCommand(kIdListParking);
    QCOMPARE(dlg.listCategory, category);
    const QString name = List().GetItem(from).name;
    List().SetFocusedByName(name);
    List().PlayFocused();
    QCOMPARE(State(), STATE_PLAY);
    m_fake->EmitEndOfStream(); // 0x406, then 0x407 from inside HandleGraphEvent
    if (next < 0) {
        QTRY_COMPARE(State(), STATE_STOP);
        QVERIFY(!dlg.IsTimerActive(kTimerPlayPosition));
        QCOMPARE(List().GetPlayingName(), QString());
        QCOMPARE(dlg.currentTitle, QString());
    } else {
        QTRY_COMPARE(m_fake->OpenedPath(), PathOf(next));
        QCOMPARE(State(), STATE_PLAY);
        QCOMPARE(List().GetPlayingName(), Name(next));
        QVERIFY(dlg.IsTimerActive(kTimerPlayPosition));
    }
}

void TestPlayback::notDecodableIsRememberedWithoutASecondCheck()
{
    CMovaraDlg& dlg = Open();
    m_checkResult = 0;
    CTraceCapture trace;
    QCOMPARE(dlg.VideoPlay(false), 0);
    QCOMPARE(State(), STATE_STOP);
    QCOMPARE(m_checkCalls, 1);
    QCOMPARE(dlg.Catalogue()[Catalogue::kContinuous].at(Name(0).toUpper()).h264State, Catalogue::kH264Bad);
    auto boxes = m_platform.CallsOf(QStringLiteral("MessageBox"));
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(boxes[0].text, LangText(QStringLiteral("IDS_STRING_K_086")));
    QCOMPARE(m_fake->calls.filter(QStringLiteral("OnMovieOpen")).size(), 0);
    QCOMPARE(List().GetPlayingName(), QString());
    // Again: the message, without a second check and without an open.
    List().SetFocusedByName(Name(0));
    QCOMPARE(dlg.VideoPlay(false), 0);
    QCOMPARE(m_checkCalls, 1);
    QCOMPARE(m_platform.CallsOf(QStringLiteral("MessageBox")).size(), 2);
    QCOMPARE(m_fake->calls.filter(QStringLiteral("OnMovieOpen")).size(), 0);
    // A decodable one is checked once and plays; the verdict is kept too.
    m_checkResult = 1;
    PlayItem(1);
    PlayItem(1);
    QCOMPARE(m_checkCalls, 2);
    QCOMPARE(dlg.Catalogue()[Catalogue::kContinuous].at(Name(1).toUpper()).h264State, Catalogue::kH264Ok);
    m_platform.Clear(); // the boxes were expected
}

void TestPlayback::stopClearsThePresentation()
{
    CMovaraDlg& dlg = Open();
    PlayItem(0);
    QVERIFY(dlg.IsTimerActive(kTimerPlayPosition));
    QVERIFY(dlg.currentTextData);
    m_fake->SetPositionUnits(3725 * Engine::kUnitsPerSecond + 5'000'000);
    m_fake->SetDurationUnits(4000 * Engine::kUnitsPerSecond);
    dlg.UpdatePlayPosition();
    QCOMPARE(Text(kIdCurrentTime), QStringLiteral("01:02:05 /"));
    for (int id : {kIdAccelX, kIdAccelY, kIdAccelZ})
        qobject_cast<CRStaticText*>(dlg.Control(id))->SetText(QStringLiteral("X : 1.00"));

    dlg.OnCommand(kIdStop);
    QCOMPARE(State(), STATE_STOP);
    QVERIFY(!m_fake->IsOpen());
    QVERIFY(!dlg.IsTimerActive(kTimerPlayPosition));
    QCOMPARE(Text(kIdAccelX), QStringLiteral("X : 0000"));
    QCOMPARE(Text(kIdAccelY), QStringLiteral("Y : 0000"));
    QCOMPARE(Text(kIdAccelZ), QStringLiteral("Z : 0000"));
    QCOMPARE(Text(kIdCurrentTime), QStringLiteral("00:00:00 /"));
    QCOMPARE(Text(kIdDuration), QStringLiteral("00:00:00"));
    QCOMPARE(Text(kIdMainTitle), QString());
    QCOMPARE(Text(kIdSecondTitle), QString());
    QCOMPARE(qobject_cast<CSkinSlider*>(dlg.Control(kIdPositionSlider))->GetValue(), 0.0f);
    QVERIFY(!dlg.Control(kIdPositionSlider)->isEnabled());
    QVERIFY(!dlg.Control(kIdZoomMenu)->isEnabled());
    QVERIFY(!dlg.Control(kIdSpeedPanel)->isEnabled());
    QVERIFY(dlg.Control(kIdPlay)->isVisible());
    QVERIFY(!dlg.Control(kIdPause)->isVisible());
    QCOMPARE(dlg.currentTitle, QString());
    QVERIFY(!dlg.currentTextData);
    QCOMPARE(dlg.mapPending, 1);
    QCOMPARE(List().GetPlayingName(), QString());
}

void TestPlayback::positionTimerWorksOnWholeSeconds()
{
    CMovaraDlg& dlg = Open();
    PlayItem(0); // 60 s
    auto* slider = qobject_cast<CSkinSlider*>(dlg.Control(kIdPositionSlider));
    m_fake->SetPositionUnits(3 * Engine::kUnitsPerSecond + 2'000'000);
    dlg.UpdatePlayPosition();
    QCOMPARE(slider->GetValue(), 5.0f);
    QCOMPARE(Text(kIdCurrentTime), QStringLiteral("00:00:03 /"));
    QCOMPARE(dlg.lastPosition, 3);
    // Within the same second nothing is done.
    qobject_cast<QLabel*>(dlg.Control(kIdCurrentTime))->setText(QStringLiteral("x"));
    slider->SetValue(99);
    m_fake->SetPositionUnits(3 * Engine::kUnitsPerSecond + 9'000'000);
    dlg.UpdatePlayPosition();
    QCOMPARE(Text(kIdCurrentTime), QStringLiteral("x"));
    QCOMPARE(slider->GetValue(), 99.0f);
    // The timer itself, 100 ms, picks up the next second.
    m_fake->SetPositionUnits(6 * Engine::kUnitsPerSecond);
    QTRY_COMPARE(Text(kIdCurrentTime), QStringLiteral("00:00:06 /"));
    QCOMPARE(slider->GetValue(), 10.0f);
    QCOMPARE(Text(kIdDuration), QStringLiteral("00:01:00"));
    // Timer 101 runs exactly while playing.
    dlg.VideoPause();
    QVERIFY(!dlg.IsTimerActive(kTimerPlayPosition));
    dlg.OnWindowMessage(kMsgVideoPause, 0, 0); // WM_VIDEO_PAUSE while paused
    QVERIFY(!dlg.IsTimerActive(kTimerPlayPosition));
    dlg.VideoPlay(false);
    QVERIFY(dlg.IsTimerActive(kTimerPlayPosition));
    dlg.OnWindowMessage(kMsgVideoPause, 0, 0);
    QCOMPARE(State(), STATE_PAUSE);
    QVERIFY(!dlg.IsTimerActive(kTimerPlayPosition));
    // A recording that starts anew refreshes the slider at its first tick.
    dlg.VideoPlay(false);
    PlayItem(1);
    QCOMPARE(dlg.lastPosition, -1);
    QTRY_COMPARE(slider->GetValue(), 0.0f);
}

void TestPlayback::volumeIconLevels_data()
{
    QTest::addColumn<int>("volume");
    QTest::addColumn<int>("icon");
    QTest::newRow("0") << 0 << 0;
    QTest::newRow("1") << 1 << 1;
    QTest::newRow("19") << 19 << 1;
    QTest::newRow("20") << 20 << 2;
    QTest::newRow("79") << 79 << 4;
    QTest::newRow("80") << 80 << 5;
    QTest::newRow("100") << 100 << 5;
}

void TestPlayback::volumeIconLevels()
{
    QFETCH(int, volume);
    QFETCH(int, icon);
    QCOMPARE(CPlaybackCoordinator::VolumeIconLevel(volume), icon);
    CMovaraDlg& dlg = Open();
    auto* button = qobject_cast<CRButton*>(dlg.Control(kIdVolume));
    QCOMPARE(button->GetIconIndex(), 3); // the transport's 50
    dlg.OnWindowMessage(kMsgControlValue, kCodeVolume, volume);
    QCOMPARE(m_fake->GetVolume(), volume);
    QCOMPARE(button->GetIconIndex(), icon);
}

void TestPlayback::speedAndBrightnessValues()
{
    CMovaraDlg& dlg = Open();
    PlayItem(0);
    m_fake->calls.clear();
    for (int i = 0; i < 7; ++i)
        dlg.OnWindowMessage(kMsgControlValue, kCodeSpeed, i);
    dlg.OnWindowMessage(kMsgControlValue, kCodeSpeed, 7); // not a speed index: ignored
    dlg.OnWindowMessage(kMsgControlValue, kCodeSpeed, -1);
    dlg.OnWindowMessage(kMsgControlValue, kCodeBrightness, 80);
    QCOMPARE(m_fake->calls,
             (QStringList{"SetVideoSpeed(0.2)", "SetVideoSpeed(0.5)", "SetVideoSpeed(0.7)", "SetVideoSpeed(1)",
                          "SetVideoSpeed(2)", "SetVideoSpeed(3)", "SetVideoSpeed(4)", "SetBrightness(80)"}));
}

void TestPlayback::playTypeRestartsTheSameRecording()
{
    CMovaraDlg& dlg = Open(kMp4Card, "CMV550View");
    QCOMPARE(dlg.dualStreamMode, 1);
    QCOMPARE(dlg.playTypeLocked, 0);
    QCOMPARE(dlg.singlePlay, 1);
    const QString front = QStringLiteral("REC_2024_05_10_08_00_00_F.MP4");
    const QString path = dlg.Catalogue()[Catalogue::kContinuous].at(front).path;
    List().SetFocusedByName(front);
    List().PlayFocused();
    QCOMPARE(m_fake->calls.filter(QStringLiteral("OnMovieOpen")).last(), QStringLiteral("OnMovieOpen(%1,1)").arg(path));
    // Front only: the rear window shows the notice, the second title is empty.
    QVERIFY(dlg.RearVideo()->ShowsNotice());
    QCOMPARE(m_fake->CountOf(QStringLiteral("DetachRearRenderer")), 1);
    QVERIFY(!dlg.Control(kIdSwap)->isEnabled());
    QCOMPARE(Text(kIdSecondTitle), QString());
    QVERIFY(!dlg.Control(kIdSecondTitle)->isVisible());
    QCOMPARE(Text(kIdLabelFront), LangText(QStringLiteral("IDS_STRING_K_018")));
    QCOMPARE(Text(kIdLabelRear), LangText(QStringLiteral("IDS_STRING_K_105")));
    QCOMPARE(dlg.Control(kIdLabelRear)->width(), kLabelRearWidth + kLabelNoVideoGrowth);

    List().SetFocusedByName(QStringLiteral("REC_2024_05_10_08_00_00_R.MP4"));
    dlg.OnCommand(kCmdPlayType);
    QCOMPARE(dlg.singlePlay, 0);
    QCOMPARE(SettingsGetText(QStringLiteral("playtype")), QStringLiteral("dual"));
    QVERIFY(QFile::exists(SettingsFilePath(SettingsFolder())));
    QCOMPARE(m_fake->calls.filter(QStringLiteral("OnMovieOpen")).last(), QStringLiteral("OnMovieOpen(%1,0)").arg(path));
    QCOMPARE(State(), STATE_PLAY);
    QVERIFY(!dlg.RearVideo()->ShowsNotice());
    QVERIFY(dlg.Control(kIdSwap)->isEnabled());
    QCOMPARE(Text(kIdSecondTitle), QStringLiteral("REC_2024_05_10_08_00_00_R.MP4"));
    QVERIFY(dlg.Control(kIdSecondTitle)->isVisible());
    QCOMPARE(Text(kIdLabelFront), LangText(QStringLiteral("IDS_STRING_K_018")));
    QCOMPARE(Text(kIdLabelRear), LangText(QStringLiteral("IDS_STRING_K_019")));

    // Stopped: only the setting changes.
    dlg.VideoSTOP();
    m_fake->calls.clear();
    dlg.OnCommand(kCmdPlayType);
    QCOMPARE(dlg.singlePlay, 1);
    QCOMPARE(SettingsGetText(QStringLiteral("playtype")), QStringLiteral("single"));
    QCOMPARE(m_fake->calls.filter(QStringLiteral("OnMovieOpen")).size(), 0);
    // Locked: nothing.
    dlg.playTypeLocked = 1;
    dlg.OnCommand(kCmdPlayType);
    QCOMPARE(dlg.singlePlay, 1);
}

void TestPlayback::onDemandExtractionReplacesTheSeries()
{
    CMovaraDlg& dlg = Open();
    const int afterAnalysis = m_extractions.load();
    QCOMPARE(afterAnalysis, int(kCard.size()));
    // An entry with GPS fixes but no G-sensor samples (an earlier partial
    // extraction) is extracted again when it plays, into a fresh series.
    RecordingEntry& entry = dlg.Catalogue()[Catalogue::kContinuous].at(Name(2).toUpper());
    entry.textData = CTextData();
    entry.textData.gpsList = {CGPSData(), CGPSData(), CGPSData()};
    PlayItem(2);
    QCOMPARE(m_extractions.load(), afterAnalysis + 1);
    QCOMPARE(entry.textData.gpsList.size(), size_t(1));
    QCOMPARE(entry.textData.gsensorList.size(), size_t(1));
    QCOMPARE(dlg.currentTextData, &entry.textData);
    // A series with samples is not extracted again.
    PlayItem(2);
    QCOMPARE(m_extractions.load(), afterAnalysis + 1);
}

void TestPlayback::titleNoLongerInTheMap()
{
    CMovaraDlg& dlg = Open();
    PlayItem(0);
    // The map loses the entry the list still shows (a map search rebuilding
    // the location category does this).
    dlg.Catalogue()[Catalogue::kContinuous].erase(Name(1).toUpper());
    CTraceCapture trace;
    List().SetFocusedByName(Name(1));
    List().PlayFocused();
    QCOMPARE(State(), STATE_STOP);
    QCOMPARE(m_fake->OpenedPath(), PathOf(0)); // nothing else was opened
    QVERIFY(!dlg.currentTextData);
    QCOMPARE(dlg.currentTitle, QString());
    QVERIFY(!trace.LinesStartingWith(QStringLiteral("VideoPlay::No catalogue entry")).isEmpty());
    // The others still play.
    PlayItem(2);
}

void TestPlayback::vanishedRecordingAndFailedOpen()
{
    CMovaraDlg& dlg = Open();
    CTraceCapture trace;
    // Gone since the list was filled: no verdict on its format, no box.
    QVERIFY(QFile::remove(PathOf(1)));
    List().SetFocusedByName(Name(1));
    List().PlayFocused();
    QCOMPARE(State(), STATE_STOP);
    QCOMPARE(m_checkCalls, 0);
    QCOMPARE(dlg.Catalogue()[Catalogue::kContinuous].at(Name(1).toUpper()).h264State, Catalogue::kH264Untested);
    QVERIFY(trace.Contains(QStringLiteral("VideoPlay::OnMovieOpen Fail")));
    // The transport cannot open it.
    m_fake->openSucceeds = false;
    List().SetFocusedByName(Name(2));
    QCOMPARE(dlg.VideoPlay(false), 0);
    QCOMPARE(State(), STATE_STOP);
    QCOMPARE(m_fake->CountOf(QStringLiteral("OnMovieOpen(%1,1)").arg(PathOf(2))), 1);
    QCOMPARE(dlg.currentTitle, QString());
    QCOMPARE(Text(kIdMainTitle), QString());
    QVERIFY(!dlg.IsTimerActive(kTimerPlayPosition));
    QVERIFY(m_platform.CallsOf(QStringLiteral("MessageBox")).isEmpty());
}

void TestPlayback::cardPulledWhilePlaying()
{
    CMovaraDlg& dlg = Open();
    PlayItem(1);
    // The card's files go first: the transport reports an error, which ends
    // the recording; continuous play tries the next one, whose file is gone too.
    QVERIFY(QDir(g_cardRoot).removeRecursively());
    m_fake->EmitGraphError();
    QTRY_COMPARE(State(), STATE_STOP);
    QVERIFY(!m_fake->IsOpen());
    // Then the card itself is missed.
    dlg.OnDeviceChange();
    QCOMPARE(State(), STATE_STOP);
    QCOMPARE(List().GetItemCount(), 0);
    QVERIFY(List().IsEmptyMode());
    QVERIFY(!dlg.currentCategoryMap);
    QVERIFY(!dlg.currentTextData);
    QVERIFY(dlg.FrontVideo()->IsNoCardLook());
    QVERIFY(dlg.FrontVideo()->IsContextMenuBlocked());

    // Pulled while playing, with the files still readable to the end.
    CMovaraDlg& again = Open();
    PlayItem(0);
    qputenv("KESTRAV_CARD_ROOTS", m_dir.filePath(QStringLiteral("nowhere")).toLocal8Bit());
    again.OnDeviceChange();
    QCOMPARE(State(), STATE_STOP);
    QVERIFY(!again.currentTextData);
    QCOMPARE(List().GetItemCount(), 0);
    // Play now finds nothing to play.
    QCOMPARE(again.VideoPlay(false), 0);
}

void TestPlayback::clicksPilingUpDuringAnOpen()
{
    CMovaraDlg& dlg = Open();
    PlayItem(0);
    // Clicks queued while the GUI thread was busy arrive one after another.
    unsigned tick = 50000;
    for (int round = 0; round < 5; ++round) {
        for (int id : {kIdNext, kIdPlay, kIdPrevious, kIdNext, kIdPause, kIdPlay, kIdPlayForce}) {
            tick += 150;
            QMetaObject::invokeMethod(
                &dlg,
                [this, id, tick] {
                    m_tick = tick;
                    m_dlg->OnCommand(id);
                },
                Qt::QueuedConnection);
        }
    }
    QTest::qWait(0);
    QCoreApplication::processEvents();
    QTRY_COMPARE(State(), STATE_PLAY);
    // Whatever plays is the list's playing item, with its title.
    const QString playing = List().GetPlayingName();
    QVERIFY(!playing.isEmpty());
    QCOMPARE(dlg.currentTitle, playing.toUpper());
    QCOMPARE(m_fake->OpenedPath(), dlg.Catalogue()[Catalogue::kContinuous].at(playing.toUpper()).path);
    QVERIFY(dlg.IsTimerActive(kTimerPlayPosition));
}

void TestPlayback::listNotificationsAndKeys()
{
    CMovaraDlg& dlg = Open();
    // Enter (1088): the focused item plays.
    List().SetFocusedByName(Name(2));
    dlg.OnAccelerator(kAccelEnter);
    QCOMPARE(State(), STATE_PLAY);
    QCOMPARE(m_fake->OpenedPath(), PathOf(2));
    // Space pauses while playing and plays otherwise.
    dlg.OnAccelerator(kAccelPlayPause);
    QCOMPARE(State(), STATE_PAUSE);
    dlg.OnAccelerator(kAccelPlayPause);
    QCOMPARE(State(), STATE_PLAY);
    // Up and Down move the focus, wrapping.
    dlg.OnAccelerator(kAccelDown);
    QCOMPARE(List().GetFocusedName(), Name(3));
    dlg.OnAccelerator(kAccelDown);
    QCOMPARE(List().GetFocusedName(), Name(0));
    dlg.OnAccelerator(kAccelUp);
    QCOMPARE(List().GetFocusedName(), Name(3));
    // The list's context menu: play, and delete another one (playback goes on).
    CTraceCapture trace;
    List().SetFocusedByName(Name(1));
    emit List().MenuCommand(kCmdListPlayFocused);
    QCOMPARE(m_fake->OpenedPath(), PathOf(1));
    const QString deleted = PathOf(3);
    List().SetFocusedByName(Name(3));
    emit List().MenuCommand(kCmdListDelete);
    QCOMPARE(List().GetItemCount(), 3);
    QVERIFY(!QFile::exists(deleted));
    QCOMPARE(State(), STATE_PLAY);
    QCOMPARE(List().GetPlayingName(), Name(1));
    // The category changes while playing: the playing mark follows the
    // title, and playback pauses.
    dlg.OnCommand(kIdListParking);
    QCOMPARE(State(), STATE_PAUSE);
    QCOMPARE(List().GetPlayingName(), QString());
    dlg.OnCommand(kIdListNormal);
    QCOMPARE(List().GetPlayingName(), Name(1));
}

void TestPlayback::wheelOverTheWindowScrollsTheList()
{
    QStringList many;
    for (int i = 0; i < 15; ++i)
        many << QStringLiteral("상시녹화/REC_2024_05_10_08_%1_00_F.AVI").arg(i, 2, 10, QLatin1Char('0'));
    CMovaraDlg& dlg = Open(many);
    QCOMPARE(List().GetRowCount(), 11);
    // The window scrolls the list by whole notches.
    auto turn = [&](QWidget* over, int delta) {
        const QPointF at(over->width() / 2, over->height() / 2);
        QWheelEvent wheel(at, over->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(over, &wheel);
        return wheel.isAccepted();
    };
    QVERIFY(turn(&dlg, -120));
    QCOMPARE(List().GetTopIndex(), 1);
    turn(&dlg, -120);
    QCOMPARE(List().GetTopIndex(), 2);
    turn(&dlg, -240); // not one notch: nothing
    QCOMPARE(List().GetTopIndex(), 2);
    turn(&dlg, 120);
    QCOMPARE(List().GetTopIndex(), 1);
    // The video windows and the list leave the wheel to the window (the
    // window system hands an unaccepted turn on to the parent).
    QVERIFY(!turn(dlg.FrontVideo(), -120));
    QVERIFY(!turn(dlg.RearVideo(), -120));
    QVERIFY(!turn(&List(), -120));
    QCOMPARE(List().GetTopIndex(), 1);
}

void TestPlayback::frontWindowZoomPanAndMessages()
{
    CMovaraDlg& dlg = Open();
    CVideoMainWnd& front = *dlg.FrontVideo();
    PlayItem(0);
    // The transport's zoom (0x40E, posted) is mirrored in the front window.
    m_fake->SetVideoViewSize(1.5f);
    QTRY_COMPARE(front.Zoom(), 1.5f);
    QVERIFY(front.VerticalBar()->isVisible());
    // Its pan pair (0x59A) moves the transport's picture.
    m_fake->calls.clear();
    emit front.HorizontalBar()->NotifyMessage(0x040B, 0, 0);
    QCOMPARE(m_fake->calls, QStringList{QStringLiteral("MoveVideoPosByPercent(-10,0)")});
    // A drag on the enlarged picture pauses (WM_VIDEO_PAUSE).
    QTest::mousePress(&front, Qt::LeftButton, Qt::NoModifier, QPoint(100, 100));
    QCOMPARE(State(), STATE_PAUSE);
    QTest::mouseRelease(&front, Qt::LeftButton, Qt::NoModifier, QPoint(100, 100));
    // The fit button (1305) returns to 1.0.
    dlg.OnCommand(kCmdFitArea);
    QCOMPARE(m_fake->GetVideoViewSize(), 1.0f);
    QCOMPARE(front.Zoom(), 1.0f);
    QVERIFY(!front.VerticalBar()->isVisible());
    // The picture's context menu: play/pause (1083) while a card is present.
    dlg.OnCommand(kCmdContextPlayPause);
    QCOMPARE(State(), STATE_PLAY);
    dlg.OnCommand(kCmdContextPlayPause);
    QCOMPARE(State(), STATE_PAUSE);
    // Stopped, the fit does nothing; each paint asks for a redraw (0x59B).
    dlg.VideoSTOP();
    m_fake->calls.clear();
    dlg.OnCommand(kCmdFitArea);
    QVERIFY(m_fake->calls.filter(QStringLiteral("SetVideoViewSize")).isEmpty());
    front.repaint();
    QCOMPARE(m_fake->calls.filter(QStringLiteral("ReDrawVideo")).size(), 1);
}

void TestPlayback::nothingReentersPlayWhileItsBoxIsOpen()
{
    CMovaraDlg& dlg = Open();
    CBoxWithEvents box;
    CPlatform::Install(&box);
    m_checkResult = 0;
    int nested = -1;
    box.whileOpen = [&] {
        // A double click and then the card going away, while the box is open.
        nested = dlg.VideoPlay(true);
        qputenv("KESTRAV_CARD_ROOTS", m_dir.filePath(QStringLiteral("nowhere")).toLocal8Bit());
        dlg.OnDeviceChange();
    };
    CTraceCapture trace;
    QCOMPARE(dlg.VideoPlay(false), 0);
    CPlatform::Install(&m_platform);
    QCOMPARE(nested, 0);
    QVERIFY(trace.Contains(QStringLiteral("VideoPlay::Busy, request dropped")));
    QCOMPARE(box.CallsOf(QStringLiteral("MessageBox")).size(), 1);
    QCOMPARE(State(), STATE_STOP);
    QCOMPARE(m_fake->calls.filter(QStringLiteral("OnMovieOpen")).size(), 0);
    QVERIFY(!dlg.currentTextData);
    QCOMPARE(CatalogueSize(dlg.Catalogue()), size_t(0));
    QVERIFY(List().IsEmptyMode());
}

QTEST_MAIN(TestPlayback)
#include "tst_playback.moc"
