// kestrav-export: a recording's telemetry as GPX, KML, GeoJSON or CSV files,
// a summary of the drive, or an evidence clip cut out of the recording.
// Exit status: 0 all done, 1 something could not be read or written (or the
// clip was cancelled), 2 usage. --help and --version answer without a display.
#include "TelemetryExport.h"
#include "TrackSummary.h"

#include "catalogue/RecordingAnalyzer.h"
#include "settings/Settings.h"
#include "settings/SettingsConstants.h"

#ifdef KESTRAV_EXPORT_CLIP
#include "evidence/ClipExporter.h"
#include "evidence/ClipSpan.h"
#include <QGuiApplication>
#endif

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <memory>
#include <mutex>

#include <unistd.h>

namespace {
void Usage(FILE* to)
{
    std::fprintf(
        to,
        "usage: kestrav-export [--gpx] [--csv] [--kml] [--geojson] -o OUTDIR PATH...\n"
        "       kestrav-export --summary [--json] [--unit kmh|mph] PATH...\n"
        "       kestrav-export --clip FROM-TO [--layout front|rear|side-by-side|pip] [--overlay]\n"
        "                      [--unit kmh|mph] -o OUTDIR RECORDING\n"
        "  PATH: a recording (.avi, .mp4), a folder, or a memory card's root\n"
        "  --gpx      write NAME.gpx (the default when no other output is asked)\n"
        "  --csv      write NAME.gps.csv, NAME.gsensor.csv and NAME.car.csv\n"
        "  --kml      write NAME.kml (a gx:Track with time, speed and course per fix)\n"
        "  --geojson  write NAME.geojson (a LineString with coordTimes and speeds)\n"
        "  --summary  per recording and in total: distance, duration, moving time,\n"
        "             top and average speed, strongest G event, hard braking; a table\n"
        "             on stdout, or JSON with --json. The rear file of an F/R pair\n"
        "             whose front is listed is left out (same telemetry).\n"
        "             distance: great-circle (haversine) over valid fixes; a fix that\n"
        "               would mean more than %.0f km/h from the last one taken is a GPS\n"
        "               glitch and skipped\n"
        "             moving: intervals between fixes whose start reads >= %.0f km/h\n"
        "               (or which moved that fast); AVG = distance / moving time\n"
        "             hard braking: GPS speed falling >= %.0f km/h per second (about\n"
        "               %.2f g) between fixes at most %d s apart; falls in a row are one event\n"
        "             strongest G: the sample farthest from the resting (median) vector\n"
        "  --clip FROM-TO  cut the span (seconds, mm:ss or hh:mm:ss, fractions allowed)\n"
        "             into OUTDIR/NAME_FROM-TO.mp4 (H.264/AAC, fast start). Without\n"
        "             --overlay and with no layout or front/rear, the video is copied\n"
        "             from the last key frame at or before FROM (the real start is\n"
        "             printed); otherwise it is re-encoded from FROM on.\n"
        "             RECORDING: an AVI (its second picture is the rear) or either\n"
        "             file of an F/R MP4 pair (found by the camera's naming)\n"
        "  --layout   front, rear, side-by-side or pip (front with the rear inset);\n"
        "             default: every picture as recorded, pip with --overlay\n"
        "  --overlay  burn in the GPS time and date (UTC, as recorded), speed,\n"
        "             position, G values and brake/turn signals of every second\n"
        "  --unit     speed unit; default: the viewer's setting (km/h without one)\n"
        "  --json     the summary as JSON\n"
        "  -h, --help, -v, --version  print this help or the version and end\n",
        Export::kGlitchSpeedKmh, Export::kMovingSpeedKmh, Export::kHardBrakeKmhPerSec,
        Export::kHardBrakeKmhPerSec / 3.6 / Export::kStandardGravity, Export::kBrakeMaxGapSec);
}

bool Save(const QString& path, const QByteArray& bytes)
{
    // Unbuffered: a write the disk refuses fails in write() itself (a
    // buffered save file meets the error only in commit's flush and may then
    // put a cut file in place of a good one).
    QSaveFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Unbuffered) && f.write(bytes) == bytes.size() && f.commit();
}

bool SettingsSayMph()
{
    if (!SettingsLoad())
        return false;
    return SettingsGetText(QString(Settings::kUnitKey)) == QLatin1String(Settings::kUnitMph);
}

std::atomic_bool g_interrupted{false};

void OnSignal(int)
{
    g_interrupted.store(true);
}

CTextData Extract(const QString& path)
{
    CTextData data;
    std::lock_guard<std::recursive_mutex> lock(g_analysisLock);
    GetAnalyzer()->ExtractText(path, data);
    return data;
}

#ifdef KESTRAV_EXPORT_CLIP
int RunClip(const QString& span, const QString& layoutName, bool overlay, bool mph, const QString& outDir,
            const QString& recording)
{
    double from = 0.0, to = 0.0;
    if (!ClipSpan::ParseSpan(span, &from, &to)) {
        std::fprintf(stderr, "kestrav-export: bad span %s (FROM-TO, each seconds, mm:ss or hh:mm:ss, FROM < TO)\n",
                     qPrintable(span));
        return 2;
    }
    CClipOptions options;
    options.recording = recording;
    options.fromSec = from;
    options.toSec = to;
    options.overlay = overlay;
    options.mph = mph;
    options.outputDir = outDir;
    if (!layoutName.isEmpty() && !CClipExporter::ParseLayout(layoutName, &options.layout)) {
        std::fprintf(stderr, "kestrav-export: unknown layout %s\n", qPrintable(layoutName));
        return 2;
    }
    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);
    const bool tty = ::isatty(2);
    int lastShown = -1;
    int lastDecade = -1;
    auto progress = [&](int percent) {
        // On a terminal one line that counts up; elsewhere a line every 10 %.
        if (tty) {
            std::fprintf(stderr, "\rkestrav-export: %3d%%", percent);
        } else if (percent / 10 != lastDecade) {
            std::fprintf(stderr, "kestrav-export: %d%%\n", percent);
            lastDecade = percent / 10;
        }
        lastShown = percent;
        std::fflush(stderr);
    };
    CClipExporter exporter;
    const CClipResult r = exporter.Run(options, progress, &g_interrupted);
    if (tty && lastShown >= 0)
        std::fprintf(stderr, "\n");
    for (const QString& n : r.notices)
        std::fprintf(stderr, "kestrav-export: %s\n", qPrintable(n));
    if (!r.ok) {
        std::fprintf(stderr, "kestrav-export: %s: %s\n", qPrintable(recording),
                     r.cancelled ? "cancelled, nothing written" : qPrintable(r.error));
        return 1;
    }
    std::printf("%s: %s-%s, %dx%d, %lld frames, %s%s\n", qPrintable(r.outputPath),
                qPrintable(ClipSpan::FormatTime(r.actualFromSec)), qPrintable(ClipSpan::FormatTime(r.actualToSec)),
                r.size.width(), r.size.height(), (long long)r.videoFrames,
                r.streamCopy ? "copied from the key frame at " : "re-encoded from ",
                qPrintable(ClipSpan::FormatTime(r.actualFromSec) + (r.audio ? QStringLiteral(", with sound")
                                                                            : QStringLiteral(", no sound"))));
    return 0;
}
#endif

int RunSummary(const QStringList& inputs, bool json, bool mph)
{
    QStringList failed;
    QStringList recordings = Export::CollectRecordings(inputs, failed);
    for (const QString& m : failed)
        std::fprintf(stderr, "kestrav-export: %s: no such file or folder\n", qPrintable(m));
    for (const QString& rear : Export::RearsWithListedFront(recordings))
        recordings.removeAll(rear);
    QList<Export::CTrackSummary> list;
    Export::CTrackSummary total;
    total.name = QStringLiteral("TOTAL");
    for (const QString& path : recordings) {
        const CTextData data = Extract(path);
        if (data.IsEmpty()) {
            std::fprintf(stderr, "kestrav-export: %s: no telemetry found\n", qPrintable(path));
            failed << path;
            continue;
        }
        const Export::CTrackSummary s =
            Export::Summarise(QFileInfo(path).fileName(), data, Export::MediaDurationSeconds(path));
        total.Add(s);
        list << s;
    }
    const QByteArray out = json ? Export::SummaryJson(list, total, mph) : Export::SummaryTable(list, total, mph);
    std::fwrite(out.constData(), 1, size_t(out.size()), stdout);
    return failed.isEmpty() ? 0 : 1;
}
} // namespace

int main(int argc, char* argv[])
{
    bool clipMode = false;
    for (int i = 1; i < argc; ++i)
        clipMode = clipMode || QByteArray(argv[i]) == "--clip";
    std::unique_ptr<QCoreApplication> app;
#ifdef KESTRAV_EXPORT_CLIP
    if (clipMode) {
        // The overlay draws text: a GUI application on a platform that needs
        // no display (whatever the desktop's platform is: no window shows).
        qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QGuiApplication>(argc, argv);
    }
#endif
    if (!app)
        app = std::make_unique<QCoreApplication>(argc, argv);

    bool gpx = false, csv = false, kml = false, geojson = false, summary = false, json = false, overlay = false;
    QString outDir, clip, layout, unit;
    QStringList inputs;
    const QStringList args = app->arguments().mid(1);
    auto value = [&](int& i, QString& into) {
        if (++i >= args.size())
            return false;
        into = args[i];
        return true;
    };
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        bool ok = true;
        if (a == QLatin1String("--gpx"))
            gpx = true;
        else if (a == QLatin1String("--csv"))
            csv = true;
        else if (a == QLatin1String("--kml"))
            kml = true;
        else if (a == QLatin1String("--geojson"))
            geojson = true;
        else if (a == QLatin1String("--summary"))
            summary = true;
        else if (a == QLatin1String("--json"))
            json = true;
        else if (a == QLatin1String("--overlay"))
            overlay = true;
        else if (a == QLatin1String("-o"))
            ok = value(i, outDir);
        else if (a == QLatin1String("--clip"))
            ok = value(i, clip);
        else if (a == QLatin1String("--layout"))
            ok = value(i, layout);
        else if (a == QLatin1String("--unit"))
            ok = value(i, unit);
        else if (a == QLatin1String("-h") || a == QLatin1String("--help")) {
            Usage(stdout);
            return 0;
        } else if (a == QLatin1String("-v") || a == QLatin1String("--version")) {
            std::printf("kestrav-export %s\n", KESTRAV_VERSION);
            return 0;
        } else if (a.startsWith(QLatin1Char('-')) && a.size() > 1) {
            std::fprintf(stderr, "kestrav-export: unknown option %s\n", qPrintable(a));
            ok = false;
        } else {
            inputs << a;
        }
        if (!ok) {
            Usage(stderr);
            return 2;
        }
    }
    const bool files = gpx || csv || kml || geojson;
    bool usage = inputs.isEmpty();
    usage = usage || (!unit.isEmpty() && unit != QLatin1String("kmh") && unit != QLatin1String("mph"));
    usage = usage || (json && !summary);
    usage = usage || (clipMode && (files || summary || inputs.size() != 1 || outDir.isEmpty()));
    usage = usage || (!clipMode && (overlay || !layout.isEmpty()));
    usage = usage || (!clipMode && !summary && outDir.isEmpty());
    usage = usage || (summary && files && outDir.isEmpty());
    if (usage) {
        Usage(stderr);
        return 2;
    }
    const bool mph = unit.isEmpty() ? SettingsSayMph() : unit == QLatin1String("mph");

    if (clipMode) {
#ifdef KESTRAV_EXPORT_CLIP
        return RunClip(clip, layout, overlay, mph, outDir, inputs.first());
#else
        std::fprintf(stderr, "kestrav-export: this build has no clip export (it needs Qt Gui)\n");
        return 1;
#endif
    }
    if (summary && !files)
        return RunSummary(inputs, json, mph);
    if (!files)
        gpx = true;
    if (!QDir().mkpath(outDir)) {
        std::fprintf(stderr, "kestrav-export: cannot create %s\n", qPrintable(outDir));
        return 1;
    }

    QStringList failed;
    const QStringList recordings = Export::CollectRecordings(inputs, failed);
    for (const QString& m : failed)
        std::fprintf(stderr, "kestrav-export: %s: no such file or folder\n", qPrintable(m));

    const bool tty = ::isatty(2);
    const QStringList outputNames = Export::OutputNames(recordings);
    int written = 0;
    for (qsizetype n = 0; n < recordings.size(); ++n) {
        const QString& path = recordings[n];
        const QString name = QFileInfo(path).fileName();
        const QString& outputName = outputNames[n];
        if (tty && recordings.size() > 1)
            std::fprintf(stderr, "\r[%d/%d] %s\033[K", int(n + 1), int(recordings.size()), qPrintable(name));
        QFile probe(path);
        if (!probe.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "%skestrav-export: %s: cannot read (%s)\n", tty ? "\n" : "", qPrintable(path),
                         qPrintable(probe.errorString()));
            failed << path;
            continue;
        }
        probe.close();
        const CTextData data = Extract(path);
        if (data.IsEmpty()) {
            std::fprintf(stderr, "%skestrav-export: %s: no telemetry found\n", tty ? "\n" : "", qPrintable(path));
            failed << path;
            continue;
        }
        const QString base = QDir(outDir).filePath(outputName);
        bool ok = true;
        if (gpx)
            ok = Save(base + QStringLiteral(".gpx"), Export::ToGpx(name, data)) && ok;
        if (kml)
            ok = Save(base + QStringLiteral(".kml"), Export::ToKml(name, data)) && ok;
        if (geojson)
            ok = Save(base + QStringLiteral(".geojson"), Export::ToGeoJson(name, data)) && ok;
        if (csv) {
            ok = Save(base + QStringLiteral(".gps.csv"), Export::GpsCsv(data)) && ok;
            ok = Save(base + QStringLiteral(".gsensor.csv"), Export::GSensorCsv(data)) && ok;
            ok = Save(base + QStringLiteral(".car.csv"), Export::CarCsv(data)) && ok;
        }
        if (!ok) {
            std::fprintf(stderr, "%skestrav-export: %s: cannot write into %s\n", tty ? "\n" : "", qPrintable(path),
                         qPrintable(outDir));
            failed << path;
            continue;
        }
        if (outputName != name)
            std::fprintf(stderr, "%skestrav-export: %s: written as %s (a recording of the same name came first)\n",
                         tty ? "\n" : "", qPrintable(path), qPrintable(outputName));
        ++written;
    }
    if (tty && recordings.size() > 1)
        std::fprintf(stderr, "\n");
    std::fprintf(stderr, "kestrav-export: %d of %d recordings written\n", written, int(recordings.size()));
    int status = failed.isEmpty() ? 0 : 1;
    if (summary) {
        const int s = RunSummary(inputs, json, mph);
        status = std::max(status, s);
    }
    return status;
}
