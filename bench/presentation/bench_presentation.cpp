// Presentation benchmark: the whole viewer window (stand-in transport, a
// card folder with one recording whose telemetry is a drive of 60 s) with
// and without the map page (tiles from a local port that refuses, no
// network). Each run is a fresh process (this program started again with
// --child), so every start-up pays the same one-time costs. Prints figures;
// judges nothing.
//   - from the program's start to the window's first paint, with and
//     without the map, and to the map page ready;
//   - the GUI thread's longest stall in the 3 s after the first paint (the
//     map's engine starts in that time);
//   - one presentation step of timer 101 (UpdatePlayPosition at a new
//     second: texts, number, gauge, graph line, vehicle signals and the
//     map script), on the GUI thread, with the map shown and without;
//   - a one-hour track (3,600 points): DrawMapLine on the GUI thread, and
//     until the page reports the points drawn;
//   - memory of the viewer with the map loaded, all its processes (RSS, PSS).
//
//   bench_presentation [--runs N]
//   bench_presentation --screenshot FILE --card DIR [--at SECONDS]
//       the real engine on a card (e.g. the demo card): the right column
//       switched to the map, the card's first recording played, the window
//       saved at SECONDS (default 6) of playback.
#include "BenchCommon.h"
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
#include "skin/RListCtrl.h"
#include "telemetry/TextData.h"
#include "windows/VideoSubWnd.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QResource>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <vector>

namespace {

QElapsedTimer g_sinceStart;

double Ms(qint64 ns)
{
    return double(ns) / 1e6;
}

using Bench::Median;
using Bench::Percentile;
using Bench::PssKb;
using Bench::RssKb;
using Bench::WaitUntil;

void Pump(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// ---- The window -----------------------------------------------------------------------------------

// A drive of 60 s: ten acceleration samples a second, one fix a second,
// vehicle signals changing every second.
void Drive(const QString&, CTextData& t)
{
    for (int i = 0; i < 600; ++i)
        t.gsensorList.push_back(CGSensorData(i % 200 - 100, 50 - i % 100, 128));
    for (int k = 0; k < 60; ++k) {
        CGPSData s;
        s.year = 24;
        s.month = 5;
        s.day = 10;
        s.hour = 8;
        s.minute = k / 60;
        s.second = k % 60;
        s.valid = 1;
        s.latitude = 3733.0 + k * 0.01;
        s.longitude = 12658.0 + k * 0.01;
        s.speed = 40.0 + k;
        t.gpsList.push_back(s);
        CCarInfoData c;
        c.brake = k % 2;
        c.left = (k / 2) % 2;
        c.right = (k / 3) % 2;
        t.carInfoList.push_back(c);
    }
}

// Records when the window first paints (start of its paint event, and when
// the event loop is back after it).
class CFirstPaint : public QObject
{
public:
    double startMs = -1;
    double doneMs = -1;

protected:
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::Paint && startMs < 0) {
            startMs = Ms(g_sinceStart.nsecsElapsed());
            QTimer::singleShot(0, this, [this] { doneMs = Ms(g_sinceStart.nsecsElapsed()); });
        }
        return false;
    }
};

// The longest gap between the ticks of a 1 ms timer for `ms`.
double LongestStall(int ms)
{
    QElapsedTimer t;
    t.start();
    qint64 last = 0;
    qint64 worst = 0;
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const qint64 now = t.nsecsElapsed();
        worst = std::max(worst, now - last);
        last = now;
    });
    tick.start(1);
    Pump(ms);
    return Ms(worst);
}

QString AskBrowser(CWebBrowser2Ex& browser, const QString& js, int timeoutMs = 10000)
{
    auto answer = std::make_shared<std::pair<bool, QString>>(false, QString());
    browser.View()->page()->runJavaScript(js, [answer](const QVariant& v) {
        answer->first = true;
        answer->second = v.toString();
    });
    WaitUntil([&] { return answer->first; }, timeoutMs);
    return answer->second;
}

int RunChild(bool withMap)
{
    const QString bin = QCoreApplication::applicationDirPath();
    QResource::registerResource(bin + QStringLiteral("/NvImageDll.rcc"));
    CRecordingPlatform platform;
    CPlatform::Install(&platform);
    SelectLanguage(QStringLiteral("korean"));
    QTemporaryDir dir;
    qputenv("XDG_CONFIG_HOME", dir.filePath(QStringLiteral("config")).toLocal8Bit());
    SettingsLoad();
    SettingsSetText(QStringLiteral("maptileurl"), QStringLiteral("http://127.0.0.1:9/{z}/{x}/{y}.png"));
    const QString root = dir.filePath(QStringLiteral("card"));
    const QString name = QStringLiteral("REC_2024_05_10_08_00_00_F.AVI");
    WriteCard(root, "CMV550View", {QStringLiteral("상시녹화/") + name});
    qputenv("KESTRAV_CARD_ROOTS", root.toLocal8Bit());

    CFakeTransport transport;
    transport.autoFrames = false;
    CMovaraDlgOptions o;
    o.showSplash = false;
    o.probeConnectivity = [withMap] { return withMap; };
    o.extract = Drive;
    o.checkH264 = [](const QString&) { return 1; };
    o.isMp4Recording = [](const QString&) { return false; };
    o.transport = &transport;
    CFirstPaint firstPaint;
    CMovaraDlg dlg(o);
    dlg.installEventFilter(&firstPaint);
    dlg.OnInitDialog();
    WaitUntil([&] { return firstPaint.doneMs >= 0; }, 20000);
    const double stall = LongestStall(3000);
    std::printf("firstpaint_start=%.1f\nfirstpaint_done=%.1f\nstall_after_paint=%.1f\n", firstPaint.startMs,
                firstPaint.doneMs, stall);
    CWebBrowser2Ex* browser = dlg.MapBrowser();
    if (withMap) {
        WaitUntil([&] { return browser->IsReady(); }, 30000);
        std::printf("page_ready=%.1f\n", browser->IsReady() ? Ms(g_sinceStart.nsecsElapsed()) : -1.0);
    }
    WaitUntil([&] { return !dlg.IsAnalysisRunning(); }, 10000);

    // The map column, then the recording playing.
    dlg.rearShown = 0;
    dlg.RearVideo()->hide();
    dlg.Presenter().ResetMapArea(false);
    dlg.List()->SetFocusedByName(name);
    dlg.List()->PlayFocused();
    dlg.KillTimer(MainWnd::kTimerPlayPosition); // the steps below are driven by hand
    std::vector<double> steps;
    std::vector<double> after;
    for (int round = 0; round < 5; ++round) {
        for (int pos = 1; pos < 60; ++pos) {
            transport.SetPositionUnits(int64_t(pos) * Engine::kUnitsPerSecond);
            QElapsedTimer t;
            t.start();
            dlg.UpdatePlayPosition();
            steps.push_back(Ms(t.nsecsElapsed()));
            t.restart();
            QCoreApplication::processEvents(); // the repaints the step asked for
            after.push_back(Ms(t.nsecsElapsed()));
        }
        dlg.lastPosition = -1;
    }
    std::printf("step_median=%.3f\nstep_p95=%.3f\nstep_max=%.3f\nrepaint_median=%.3f\nmap_shown=%d\n", Median(steps),
                Percentile(steps, 0.95), *std::max_element(steps.begin(), steps.end()), Median(after),
                dlg.Presenter().MapShown() ? 1 : 0);

    if (withMap && browser->IsReady()) {
        // A one-hour track, one fix a second, every one a new place.
        CategoryMap& map = *dlg.currentCategoryMap;
        RecordingEntry& entry = map.at(name.toUpper());
        CTextData hour;
        for (int k = 0; k < 3600; ++k) {
            CGPSData s;
            s.valid = 1;
            s.latitude = 3700.0 + k * 0.001;
            s.longitude = 12600.0 + k * 0.0013;
            hour.gpsList.push_back(s);
        }
        entry.textData = hour;
        std::vector<double> gui;
        std::vector<double> drawn;
        for (int i = 0; i < 5; ++i) {
            dlg.Presenter().ClearMapTrack();
            AskBrowser(*browser, QStringLiteral("KestravMap.trackText()"));
            QElapsedTimer t;
            t.start();
            dlg.Presenter().DrawMapLine(name.toUpper());
            gui.push_back(Ms(t.nsecsElapsed()));
            const QString n = AskBrowser(*browser, QStringLiteral("KestravMap.trackText().split('|').length"));
            drawn.push_back(Ms(t.nsecsElapsed()));
            if (n != QStringLiteral("3600"))
                std::printf("track_points_wrong=%s\n", qPrintable(n));
        }
        std::printf("track_gui=%.2f\ntrack_drawn=%.1f\n", Median(gui), Median(drawn));
        Pump(1000);
        long rss = RssKb(QCoreApplication::applicationPid());
        long pss = PssKb(QCoreApplication::applicationPid());
        std::printf("viewer_rss=%ld\nviewer_pss=%ld\n", rss, pss);
        const auto children = Bench::Descendants(QCoreApplication::applicationPid());
        long crss = 0;
        long cpss = 0;
        for (const auto& [pid, name] : children) {
            crss += RssKb(pid);
            cpss += PssKb(pid);
        }
        std::printf("engine_processes=%d\nengine_rss=%ld\nengine_pss=%ld\n", int(children.size()), crss, cpss);
    } else {
        std::printf("viewer_rss=%ld\nviewer_pss=%ld\n", RssKb(QCoreApplication::applicationPid()),
                    PssKb(QCoreApplication::applicationPid()));
    }
    std::fflush(stdout);
    dlg.installEventFilter(nullptr);
    CPlatform::Install(nullptr);
    return 0;
}

// ---- Screenshot --------------------------------------------------------------------------------------

int RunScreenshot(const QString& file, const QString& card, double atSeconds)
{
    const QString bin = QCoreApplication::applicationDirPath();
    QResource::registerResource(bin + QStringLiteral("/NvImageDll.rcc"));
    CRecordingPlatform platform;
    CPlatform::Install(&platform);
    SelectLanguage(QStringLiteral("korean"));
    QTemporaryDir dir;
    qputenv("XDG_CONFIG_HOME", dir.filePath(QStringLiteral("config")).toLocal8Bit());
    SettingsLoad();
    SettingsSetText(QStringLiteral("maptileurl"), QStringLiteral("http://127.0.0.1:9/{z}/{x}/{y}.png"));
    qputenv("KESTRAV_CARD_ROOTS", QDir(card).absolutePath().toLocal8Bit());
    CMovaraDlgOptions o;
    o.showSplash = false;
    o.probeConnectivity = [] { return true; };
    CMovaraDlg dlg(o);
    dlg.OnInitDialog();
    WaitUntil([&] { return dlg.MapBrowser()->IsReady() && !dlg.IsAnalysisRunning(); }, 60000);
    dlg.rearShown = 0;
    dlg.RearVideo()->hide();
    dlg.Presenter().ResetMapArea(false);
    dlg.List()->FocusNext();
    dlg.List()->PlayFocused();
    Pump(int(atSeconds * 1000));
    const QPixmap shot = dlg.grab();
    const bool saved = shot.save(file);
    std::printf("%s %s (map shown %d, page ready %d)\n", saved ? "saved" : "not saved", qPrintable(file),
                dlg.Presenter().MapShown() ? 1 : 0, dlg.MapBrowser()->IsReady() ? 1 : 0);
    dlg.VideoSTOP();
    CPlatform::Install(nullptr);
    return saved ? 0 : 1;
}

// ---- The runs -----------------------------------------------------------------------------------------

std::map<QString, double> Parse(const QByteArray& out)
{
    std::map<QString, double> values;
    for (const QByteArray& line : out.split('\n')) {
        const int eq = line.indexOf('=');
        if (eq > 0)
            values[QString::fromLatin1(line.left(eq))] = line.mid(eq + 1).toDouble();
    }
    return values;
}

int RunParent(int runs)
{
    std::map<QString, std::vector<double>> results[2];
    for (int r = 0; r < runs; ++r) {
        for (int withMap = 0; withMap < 2; ++withMap) {
            QProcess child;
            child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
            child.start(QCoreApplication::applicationFilePath(),
                        {QStringLiteral("--child"), withMap ? QStringLiteral("map") : QStringLiteral("nomap")});
            if (!child.waitForFinished(120000)) {
                std::printf("child run did not finish\n");
                child.kill();
                continue;
            }
            for (const auto& [key, value] : Parse(child.readAllStandardOutput()))
                results[withMap][key].push_back(value);
        }
    }
    auto med = [&](int withMap, const char* key) { return Median(results[withMap][QString::fromLatin1(key)]); };
    std::printf("Presentation benchmark (%d runs each, medians; stand-in transport, 60 s drive)\n", runs);
    std::printf("  start to first paint, without map page:  %7.1f ms (paint done %.1f ms)\n", med(0, "firstpaint_start"),
                med(0, "firstpaint_done"));
    std::printf("  start to first paint, with map page:     %7.1f ms (paint done %.1f ms)\n", med(1, "firstpaint_start"),
                med(1, "firstpaint_done"));
    std::printf("  start to map page ready:                 %7.1f ms\n", med(1, "page_ready"));
    std::printf("  longest GUI stall in the 3 s after the first paint: %.1f ms without map, %.1f ms with map\n",
                med(0, "stall_after_paint"), med(1, "stall_after_paint"));
    std::printf("  timer 101 step (UpdatePlayPosition), no map:  median %.3f ms, p95 %.3f ms, max %.3f ms; repaints after it %.3f ms\n",
                med(0, "step_median"), med(0, "step_p95"), med(0, "step_max"), med(0, "repaint_median"));
    std::printf("  timer 101 step with the map shown (%s):       median %.3f ms, p95 %.3f ms, max %.3f ms; repaints after it %.3f ms\n",
                med(1, "map_shown") > 0 ? "yes" : "NO", med(1, "step_median"), med(1, "step_p95"), med(1, "step_max"),
                med(1, "repaint_median"));
    std::printf("  one-hour track (3,600 points): DrawMapLine on the GUI thread %.2f ms, drawn by the page after %.1f ms\n",
                med(1, "track_gui"), med(1, "track_drawn"));
    std::printf("  memory without map: viewer RSS %.0f MB, PSS %.0f MB\n", med(0, "viewer_rss") / 1024,
                med(0, "viewer_pss") / 1024);
    std::printf("  memory with map: viewer RSS %.0f MB, PSS %.0f MB; %.0f engine processes RSS %.0f MB, PSS %.0f MB; "
                "all RSS %.0f MB, PSS %.0f MB\n",
                med(1, "viewer_rss") / 1024, med(1, "viewer_pss") / 1024, med(1, "engine_processes"),
                med(1, "engine_rss") / 1024, med(1, "engine_pss") / 1024,
                (med(1, "viewer_rss") + med(1, "engine_rss")) / 1024, (med(1, "viewer_pss") + med(1, "engine_pss")) / 1024);
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    g_sinceStart.start();
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    PrepareWebEngineEnvironment();
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    QCommandLineOption runsOpt(QStringLiteral("runs"), QStringLiteral("Runs of each variant."), QStringLiteral("n"), QStringLiteral("3"));
    QCommandLineOption childOpt(QStringLiteral("child"), QStringLiteral("One run (map or nomap)."), QStringLiteral("variant"));
    QCommandLineOption shotOpt(QStringLiteral("screenshot"), QStringLiteral("Save the playing window."), QStringLiteral("file"));
    QCommandLineOption cardOpt(QStringLiteral("card"), QStringLiteral("Card folder for --screenshot."), QStringLiteral("dir"));
    QCommandLineOption atOpt(QStringLiteral("at"), QStringLiteral("Seconds of playback before the screenshot."),
                             QStringLiteral("s"), QStringLiteral("6"));
    parser.addOptions({runsOpt, childOpt, shotOpt, cardOpt, atOpt});
    parser.process(app);
    if (parser.isSet(childOpt))
        return RunChild(parser.value(childOpt) == QLatin1String("map"));
    if (parser.isSet(shotOpt))
        return RunScreenshot(parser.value(shotOpt), parser.value(cardOpt), parser.value(atOpt).toDouble());
    return RunParent(std::max(1, parser.value(runsOpt).toInt()));
}
