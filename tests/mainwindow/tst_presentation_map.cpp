// The main window with the real map page in an offscreen web engine (tiles
// from a local address that refuses, so track and marker are drawn on the
// plain background): the page loads after the window's first paint, a
// recording with GPS draws its track (its point count read back through the
// bridge) and moves the marker while the map shows in the right column,
// the page's renderer dying leaves playback going with the placeholder
// standing in, and the reloaded page gets the track again.
#include "CardFixture.h"
#include "FakeTransport.h"
#include "catalogue/MemoryCard.h"
#include "lang/Lang.h"
#include "mainwindow/MainWindowIds.h"
#include "mainwindow/MovaraDlg.h"
#include "mainwindow/TelemetryPresenter.h"
#include "map/MapIds.h"
#include "map/WebBrowser2Ex.h"
#include "map/WebEnvironment.h"
#include "platform/Platform.h"
#include "settings/Settings.h"
#include "skin/RImageNum.h"
#include "skin/RListCtrl.h"
#include "skin/SkinImage.h"
#include "telemetry/TextData.h"
#include "windows/VideoSubWnd.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QResource>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <csignal>
#include <functional>
#include <memory>

using namespace MainWnd;

namespace {

constexpr int kLoadTimeoutMs = 30000;
constexpr int64_t kSecond = Engine::kUnitsPerSecond;

// Runs the event loop until `done` holds or `timeoutMs` passed (a real event
// loop: the web engine's messages flow without the sleeps of qWaitFor).
bool WaitUntil(const std::function<bool()>& done, int timeoutMs = 10000)
{
    if (done())
        return true;
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done())
            loop.quit();
    });
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    poll.start(5);
    loop.exec();
    return done();
}

// 40 fixes one a second, the 7th and 8th of every eight repeating the
// place before (30 distinct places in all), then nothing for the last
// 20 s of a 60 s recording.
void Track(const QString&, CTextData& t)
{
    int place = 0;
    for (int k = 0; k < 40; ++k) {
        if (k % 8 != 6 && k % 8 != 7 && k > 0)
            ++place;
        CGPSData s;
        s.year = 24;
        s.month = 5;
        s.day = 10;
        s.hour = 8;
        s.minute = 0;
        s.second = k;
        s.valid = 1;
        s.latitude = 3733.0 + place * 0.05;
        s.longitude = 12658.0 + place * 0.05;
        s.speed = 40.0;
        t.gpsList.push_back(s);
    }
    for (int i = 0; i < 600; ++i)
        t.gsensorList.push_back(CGSensorData(0, 0, 128));
}

// Distinct places of Track(): 40 fixes, 2 of every 8 repeat the place before.
constexpr int kTrackPoints = 40 - 2 * (40 / 8);

QString BinDir()
{
    return qEnvironmentVariable("KESTRAV_BIN_DIR");
}

} // namespace

class TestPresentationMap : public QObject
{
    Q_OBJECT

public:
    // Before the QApplication: what the viewer's main() does.
    static void initMain()
    {
        s_cache = new QTemporaryDir;
        qputenv("XDG_CACHE_HOME", s_cache->path().toLocal8Bit());
        PrepareWebEngineEnvironment();
    }

private:
    static inline QTemporaryDir* s_cache = nullptr;
    CRecordingPlatform m_platform;
    QTemporaryDir m_dir;

    // The bridge's answer for `expression`, left in the page's result field.
    static QString Ask(CWebBrowser2Ex& bridge, const QString& expression)
    {
        return bridge.ExecScriptGetValue(
            QStringLiteral("(function(){var f=document.forms;f[f.length-1].elements[0].value=String(%1);})()")
                .arg(expression));
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(QResource::registerResource(BinDir() + QStringLiteral("/NvImageDll.rcc")), qPrintable(BinDir()));
        CPlatform::Install(&m_platform);
        QVERIFY(SelectLanguage(QStringLiteral("english")));
        QVERIFY(m_dir.isValid());
        qputenv("XDG_CONFIG_HOME", m_dir.filePath(QStringLiteral("config")).toLocal8Bit());
        QVERIFY(SettingsLoad());
        // Tiles from a port nobody listens on: they fail at once.
        SettingsSetText(QStringLiteral("maptileurl"), QStringLiteral("http://127.0.0.1:9/{z}/{x}/{y}.png"));
    }
    void cleanupTestCase()
    {
        qunsetenv("KESTRAV_CARD_ROOTS");
        CSkinImage::DestroyInstance();
        CPlatform::Install(nullptr);
        delete s_cache;
    }

    void trackMarkerAndLostPage();
};

void TestPresentationMap::trackMarkerAndLostPage()
{
    const QString root = m_dir.filePath(QStringLiteral("card"));
    QVERIFY(WriteCard(root, "ARX330", {QStringLiteral("상시녹화/REC_2024_05_10_08_00_00_F.AVI")}));
    qputenv("KESTRAV_CARD_ROOTS", root.toLocal8Bit());
    CFakeTransport transport;
    CMovaraDlgOptions o;
    o.showSplash = false;
    o.probeConnectivity = [] { return true; };
    o.extract = Track;
    o.checkH264 = [](const QString&) { return 1; };
    o.isMp4Recording = [](const QString&) { return false; };
    o.transport = &transport;
    auto dlg = std::make_unique<CMovaraDlg>(o);
    dlg->OnInitDialog();
    QVERIFY(WaitUntil([&] { return !dlg->IsAnalysisRunning(); }));
    CWebBrowser2Ex* browser = dlg->MapBrowser();
    QVERIFY(browser);

    // The page is asked for once the window has painted (from the program
    // folder; here the test's, so it is sent to the built page instead).
    QVERIFY(WaitUntil([&] { return !browser->PageUrl().isEmpty(); }));
    QVERIFY(dlg->CompositeBitmap().width() > 0);
    QCOMPARE(browser->PageUrl().toLocalFile(), dlg->programFolder + QStringLiteral("mapView.htm"));
    browser->Navigate(QDir(BinDir()).filePath(QString::fromLatin1(MapIds::kMapPageFile)));
    QVERIFY(WaitUntil([&] { return browser->IsReady(); }, kLoadTimeoutMs));

    // The right column shows the map.
    dlg->rearShown = 0;
    dlg->RearVideo()->hide();
    dlg->Presenter().ResetMapArea(false);
    QVERIFY(dlg->Control(kIdMapPlaceholder)->geometry() == dlg->mapArea.ToQRect());

    dlg->List()->SetFocusedByName(QStringLiteral("REC_2024_05_10_08_00_00_F.AVI"));
    dlg->List()->PlayFocused();
    QCOMPARE(transport.GetState(), STATE_PLAY);
    QCOMPARE(dlg->trackDrawn, 1);
    transport.SetPositionUnits(12 * kSecond);
    dlg->UpdatePlayPosition();
    QCOMPARE(browser->geometry(), dlg->mapArea.ToQRect());
    QVERIFY(dlg->Control(kIdMapPlaceholder)->geometry().isEmpty());
    QCOMPARE(Ask(*browser, QStringLiteral("KestravMap.trackText().split('|').length")), QString::number(kTrackPoints));
    QCOMPARE(Ask(*browser, QStringLiteral("KestravMap.trackStyle()")), QStringLiteral("red,4,0.5"));
    // Fix 12 stands at place 10 (two repeats before it): 3733.5 / 12658.5.
    QTRY_COMPARE(Ask(*browser, QStringLiteral("KestravMap.markerText()")), QStringLiteral("126.975000,37.558333"));
    // Past the fixes' stamps: no fix, the placeholder takes the map's place.
    transport.SetPositionUnits(50 * kSecond);
    dlg->UpdatePlayPosition();
    QVERIFY(browser->geometry().isEmpty());
    QCOMPARE(dlg->Control(kIdMapPlaceholder)->geometry(), dlg->mapArea.ToQRect());
    transport.SetPositionUnits(13 * kSecond);
    dlg->UpdatePlayPosition();
    QCOMPARE(browser->geometry(), dlg->mapArea.ToQRect());

    // The renderer dies: the placeholder stands in, playback goes on, and
    // the page the browser loads again gets the track and the position.
    const qint64 pid = browser->RenderProcessPid();
    QVERIFY(pid > 0);
    ::kill(pid_t(pid), SIGKILL);
    QVERIFY(WaitUntil([&] { return !browser->IsReady(); }));
    QVERIFY(browser->geometry().isEmpty());
    QCOMPARE(dlg->Control(kIdMapPlaceholder)->geometry(), dlg->mapArea.ToQRect());
    transport.SetPositionUnits(14 * kSecond);
    dlg->UpdatePlayPosition();
    QCOMPARE(transport.GetState(), STATE_PLAY);
    QCOMPARE(dlg->lastPosition, 14);
    QCOMPARE(qobject_cast<CRImageNum*>(dlg->Control(kIdSpeedNumber))->Value(), 40);
    QVERIFY(WaitUntil([&] { return browser->IsReady(); }, kLoadTimeoutMs));
    QCOMPARE(Ask(*browser, QStringLiteral("KestravMap.trackText().split('|').length")), QString::number(kTrackPoints));
    QCOMPARE(browser->geometry(), dlg->mapArea.ToQRect());

    dlg->OnCommand(kIdStop);
    QCOMPARE(Ask(*browser, QStringLiteral("KestravMap.trackText()")), QString());
    QCOMPARE(Ask(*browser, QStringLiteral("KestravMap.markerText()")), QString());
    dlg.reset();
}

QTEST_MAIN(TestPresentationMap)
#include "tst_presentation_map.moc"
