// Map benchmark: the map page in the web engine with tiles that fail at once
// (no network). Prints figures; judges nothing.
//   - from making the map control to the page ready (first: engine start
//     included; then a second control in the running engine);
//   - the GUI thread's cost of one ExecScript("MapMoveToAuto(...)") (the call
//     returns once the script is handed over), and the round trip until the
//     page has run it;
//   - a one-hour track, 3,600 points, through addPolyLine: building the text,
//     the call, and until the page has drawn it;
//   - memory: resident size of this process and of its web engine processes.
//
//   bench_map [--calls N]
#include "BenchCommon.h"
#include "map/MapIds.h"
#include "map/WebBrowser2Ex.h"
#include "map/WebEnvironment.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <vector>

namespace {

using Bench::Descendants;
using Bench::Median;
using Bench::Percentile;
using Bench::PssKb;
using Bench::RssKb;
using Bench::WaitUntil;

QString PagePath()
{
    return QDir(QCoreApplication::applicationDirPath()).filePath(QString::fromLatin1(MapIds::kMapPageFile));
}

std::unique_ptr<CWebBrowser2Ex> MakeMap(double* readyMs)
{
    QElapsedTimer t;
    t.start();
    auto map = std::make_unique<CWebBrowser2Ex>();
    map->SetTileSource({QStringLiteral("http://127.0.0.1:1/{z}/{x}/{y}.png"), QStringLiteral("bench")});
    map->resize(320, 240);
    map->show();
    map->Navigate(PagePath());
    if (!WaitUntil([&] { return map->IsReady(); }, 30000))
        return nullptr;
    *readyMs = double(t.nsecsElapsed()) / 1e6;
    return map;
}

// A one-hour drive, one fix a second, as the presentation sends it: "%f,%f"
// longitude, latitude, joined by '|'.
QString HourTrack(int points)
{
    QStringList parts;
    parts.reserve(points);
    double lon = 126.978, lat = 37.5665, heading = 0.3;
    for (int i = 0; i < points; ++i) {
        heading += 0.02 * std::sin(i / 37.0);
        lon += 0.00012 * std::cos(heading);
        lat += 0.00009 * std::sin(heading);
        parts << QString::asprintf("%f,%f", lon, lat);
    }
    return parts.join(QLatin1Char('|'));
}

void Row(const char* what, double value, const char* unit, const char* note = "")
{
    std::printf("  %-58s %10.3f %-4s %s\n", what, value, unit, note);
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY")
        && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir cache; // the tile cache of this run, not the user's
    qputenv("XDG_CACHE_HOME", cache.path().toLocal8Bit());
    PrepareWebEngineEnvironment();
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    QCommandLineOption callsOption(QStringLiteral("calls"), QStringLiteral("Script calls to time (default 2000)."),
                                   QStringLiteral("n"), QStringLiteral("2000"));
    parser.addOption(callsOption);
    parser.process(app);
    const int calls = std::max(10, parser.value(callsOption).toInt());

    if (!QFile::exists(PagePath())) {
        std::fprintf(stderr, "bench_map: no map page at %s\n", qPrintable(PagePath()));
        return 1;
    }
    const long self = long(QCoreApplication::applicationPid());
    const long rssBefore = RssKb(self);
    std::printf("Map page (Leaflet, tiles unreachable), %s, view 320 x 240\n",
                qPrintable(QGuiApplication::platformName()));

    // ---- Ready -------------------------------------------------------------
    double firstMs = 0, secondMs = 0;
    auto map = MakeMap(&firstMs);
    if (!map) {
        std::fprintf(stderr, "bench_map: the map page never got ready\n");
        return 1;
    }
    {
        auto second = MakeMap(&secondMs);
        if (!second)
            secondMs = -1;
    }
    std::printf("\nFrom making the map control to the page ready\n");
    Row("first control (web engine start included)", firstMs, "ms");
    Row("second control (engine running)", secondMs, "ms");

    // ---- One position call ----------------------------------------------------
    std::vector<double> sendUs, roundMs;
    for (int i = 0; i < calls; ++i) {
        const QString code = QString::asprintf("MapMoveToAuto('%f','%f',-1)", 126.978 + i * 1e-4, 37.5665 + i * 5e-5);
        QElapsedTimer t;
        t.start();
        const int rc = map->ExecScript(code);
        sendUs.push_back(double(t.nsecsElapsed()) / 1e3);
        if (rc != 0) {
            std::fprintf(stderr, "bench_map: ExecScript answered %d\n", rc);
            return 1;
        }
        // Every 20th call: the round trip until the page has run it (its
        // answer to a question sent after it).
        if (i % 20 == 0) {
            bool answered = false;
            map->View()->page()->runJavaScript(QStringLiteral("KestravMap.markerText()"), [&](const QVariant&) { answered = true; });
            WaitUntil([&] { return answered; }, 5000);
            roundMs.push_back(double(t.nsecsElapsed()) / 1e6);
        } else {
            QCoreApplication::processEvents();
        }
    }
    std::printf("\nOne ExecScript(\"MapMoveToAuto(...)\") on the GUI thread, %d calls (goal: under 2 ms)\n", calls);
    Row("GUI-thread cost of the call, median", Median(sendUs) / 1000.0, "ms");
    Row("GUI-thread cost of the call, 99th percentile", Percentile(sendUs, 0.99) / 1000.0, "ms");
    Row("GUI-thread cost of the call, worst", Percentile(sendUs, 1.0) / 1000.0, "ms");
    Row("until the page has run it, median", Median(roundMs), "ms", "(event loop running)");

    // ---- One ExecScriptGetValue ---------------------------------------------
    std::vector<double> extentMs;
    for (int i = 0; i < 50; ++i) {
        QElapsedTimer t;
        t.start();
        const QString extent = map->ExecScriptGetValue(QStringLiteral("fnGetExtentWGS84()"));
        extentMs.push_back(double(t.nsecsElapsed()) / 1e6);
        if (extent.split(QLatin1Char(',')).size() != 4) {
            std::fprintf(stderr, "bench_map: extent \"%s\"\n", qPrintable(extent));
            return 1;
        }
    }
    std::printf("\nExecScriptGetValue(\"fnGetExtentWGS84()\") (GUI thread waits, input held back)\n");
    Row("whole call, median", Median(extentMs), "ms");

    // ---- One-hour track ---------------------------------------------------------
    const int points = 3600;
    QElapsedTimer build;
    build.start();
    const QString track = HourTrack(points);
    const QString code = QStringLiteral("addPolyLine('%1',\"red\",4,0.5)").arg(track);
    const double buildMs = double(build.nsecsElapsed()) / 1e6;
    std::vector<double> trackSendMs, trackDrawnMs;
    for (int i = 0; i < 10; ++i) {
        map->ExecScript(QStringLiteral("removePolyLine()"));
        QElapsedTimer t;
        t.start();
        map->ExecScript(code);
        trackSendMs.push_back(double(t.nsecsElapsed()) / 1e6);
        bool answered = false;
        QString drawn;
        map->View()->page()->runJavaScript(QStringLiteral("KestravMap.trackText().split('|').length"),
                                           [&](const QVariant& v) {
                                               answered = true;
                                               drawn = v.toString();
                                           });
        WaitUntil([&] { return answered; }, 10000);
        trackDrawnMs.push_back(double(t.nsecsElapsed()) / 1e6);
        if (drawn != QString::number(points)) {
            std::fprintf(stderr, "bench_map: the track has %s points\n", qPrintable(drawn));
            return 1;
        }
    }
    std::printf("\nA one-hour track, %d points, %lld characters, through addPolyLine (10 runs)\n", points,
                static_cast<long long>(code.size()));
    Row("building the point list (GUI thread)", buildMs, "ms");
    Row("GUI-thread cost of the call, median", Median(trackSendMs), "ms");
    Row("until the page has drawn it, median", Median(trackDrawnMs), "ms", "(parse, polyline, fit)");

    // ---- Memory --------------------------------------------------------------------
    std::printf("\nMemory with the map loaded, /proc: RSS (shared pages in each process) / PSS (shared pages split)\n");
    const long rssSelf = RssKb(self), pssSelf = PssKb(self);
    Row("this process before the web engine, RSS", rssBefore / 1024.0, "MiB");
    Row("this process (the engine's browser side runs in it), RSS", rssSelf / 1024.0, "MiB");
    Row("this process, PSS", pssSelf / 1024.0, "MiB");
    long childrenRss = 0, childrenPss = 0;
    for (const auto& [pid, name] : Descendants(self)) {
        const long rss = RssKb(pid), pss = PssKb(pid);
        childrenRss += rss;
        childrenPss += pss;
        const QByteArray label = QStringLiteral("child %1 %2, RSS / PSS").arg(pid).arg(name).toLocal8Bit();
        std::printf("  %-58s %10.3f / %.3f MiB\n", label.constData(), rss / 1024.0, pss / 1024.0);
    }
    Row("web engine processes together, RSS", childrenRss / 1024.0, "MiB");
    Row("web engine processes together, PSS", childrenPss / 1024.0, "MiB");
    Row("total RSS (overcounts shared pages)", (rssSelf + childrenRss) / 1024.0, "MiB");
    Row("total PSS", (pssSelf + childrenPss) / 1024.0, "MiB");
    return 0;
}
