// Evidence clips, timed: a 60 s span of a front 1080p + rear 720p recording
// (30 frames a second, camera-like bit rates) re-encoded with the overlay,
// picture-in-picture and side by side, against ffmpeg re-encoding the same
// span with the same composition and encoder settings (no overlay: ffmpeg
// has no such drawing) in the same run; and the stream copy of the span
// against cp of the same bytes. Prints figures only.
//
// The recording is written once into the build folder and reused.
#include "evidence/ClipExporter.h"
#include "evidence/EvidenceIds.h"
#include "writers/MediaWriters.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QProcess>
#include <QThread>

#include <cstdio>

#include <sys/resource.h>

namespace {
constexpr double kFrom = 5.0;
constexpr double kTo = 65.0;

bool Prepare(const QString& dir, QString* front, QString* rear)
{
    QDir().mkpath(dir);
    *front = dir + QStringLiteral("/REC_2024_05_10_10_00_00_F.MP4");
    *rear = dir + QStringLiteral("/REC_2024_05_10_10_00_00_R.MP4");
    if (QFileInfo(*front).size() > 100 * 1048576LL && QFileInfo(*rear).size() > 30 * 1048576LL)
        return true;
    std::fprintf(stderr, "writing the 70 s 1080p + 720p recording once...\n");
    QList<QByteArray> text;
    for (int s = 0; s < 70; ++s) {
        const double knots = (40 + s % 50) / 1.852;
        text << Mp4TextPacket(QString::asprintf("GPRMC,1000%02d,A,3733.%04d,N,12658.5000,E,%.3f,90.0,100524", s % 60,
                                                1000 + s * 3, knots)
                                  .toLatin1())
             << Mp4TextPacket(QString::asprintf("gsensori,1,128,%d,%d,128", s % 20, -s % 15).toLatin1())
             << Mp4TextPacket(s % 7 == 0 ? "CAR,1,0,0" : "CAR,0,0,1");
    }
    Mp4Options o;
    o.durationSec = 70;
    o.fps = 30;
    o.size = QSize(1920, 1080);
    o.videoKbps = 17500;
    o.noise = 40;
    o.uniqueSeconds = 3;
    o.audio = true;
    o.textTracks = {text};
    o.channel = 'F';
    QString error;
    if (!WriteTestMp4(*front, o, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return false;
    }
    o.size = QSize(1280, 720);
    o.videoKbps = 8000;
    o.channel = 'R';
    o.seed = 5;
    if (!WriteTestMp4(*rear, o, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return false;
    }
    return true;
}

double CpuSeconds(int who)
{
    rusage u{};
    getrusage(who, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// Seconds of processor time the last timed run used.
double g_cpu = 0.0;

double TimeProcess(const QString& program, const QStringList& args)
{
    const double cpu0 = CpuSeconds(RUSAGE_CHILDREN);
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QElapsedTimer t;
    t.start();
    p.start(program, args);
    if (!p.waitForFinished(600000) || p.exitCode() != 0) {
        std::fprintf(stderr, "%s failed\n", qPrintable(program));
        return -1.0;
    }
    g_cpu = CpuSeconds(RUSAGE_CHILDREN) - cpu0;
    return t.elapsed() / 1000.0;
}

double TimeExport(CClipOptions o, CClipResult* result)
{
    CClipExporter exporter;
    const double cpu0 = CpuSeconds(RUSAGE_SELF);
    QElapsedTimer t;
    t.start();
    *result = exporter.Run(o);
    g_cpu = CpuSeconds(RUSAGE_SELF) - cpu0;
    if (!result->ok) {
        std::fprintf(stderr, "export failed: %s\n", qPrintable(result->error));
        return -1.0;
    }
    return t.elapsed() / 1000.0;
}
} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QString data = QStringLiteral(KESTRAV_BENCH_DATA_DIR) + QStringLiteral("/export");
    QString front, rear;
    if (!Prepare(data, &front, &rear))
        return 1;
    const QString out = data + QStringLiteral("/out");
    QDir(out).removeRecursively();
    QDir().mkpath(out);
    const double span = kTo - kFrom;
    std::printf("bench_export: 60 s of a 1920x1080 + 1280x720 recording at 30 frames/s, %d cores, preset %s crf %d\n",
                QThread::idealThreadCount(), EvidenceIds::kX264Preset, EvidenceIds::kX264Crf);

    struct Case {
        const char* name;
        CClipOptions::Layout layout;
        QString filter;
    };
    // What ffmpeg is given: the same span, the same composition, libx264 at
    // the same preset and quality, the sound copied.
    const Case cases[] = {
        {"pip", CClipOptions::Layout::Pip,
         QStringLiteral("[1:v]scale=640:360[r];[0:v][r]overlay=main_w-overlay_w-40:40")},
        {"side-by-side", CClipOptions::Layout::SideBySide,
         QStringLiteral("[0:v]scale=960:540[f];[1:v]scale=960:540[r];[f][r]hstack")},
    };
    for (const Case& c : cases) {
        CClipOptions o;
        o.recording = front;
        o.fromSec = kFrom;
        o.toSec = kTo;
        o.layout = c.layout;
        o.overlay = true;
        o.imageLibrary = QCoreApplication::applicationDirPath() + QStringLiteral("/NvImageDll.rcc");
        o.outputPath = out + QStringLiteral("/ours-%1.mp4").arg(QLatin1String(c.name));
        CClipResult r;
        const double ours = TimeExport(o, &r);
        const double oursCpu = g_cpu;
        const QStringList args{"-v", "error", "-y", "-ss", QString::number(kFrom), "-t", QString::number(span), "-i", front,
                               "-ss", QString::number(kFrom), "-t", QString::number(span), "-i", rear,
                               "-filter_complex", c.filter, "-map", "0:a?", "-c:a", "copy",
                               "-c:v", "libx264", "-preset", EvidenceIds::kX264Preset,
                               "-crf", QString::number(EvidenceIds::kX264Crf), "-profile:v", "high",
                               "-pix_fmt", "yuv420p", "-movflags", "+faststart",
                               out + QStringLiteral("/ffmpeg-%1.mp4").arg(QLatin1String(c.name))};
        const double theirs = TimeProcess(QStringLiteral("ffmpeg"), args);
        const double theirsCpu = g_cpu;
        // Wall time depends on what else the machine runs; processor time
        // over the cores gives the speed on an otherwise idle machine.
        const double cores = QThread::idealThreadCount();
        std::printf("  %-13s ours (overlay): %6.1f s wall, %6.1f s cpu = %4.2fx real time on idle cores (%dx%d, %lld frames, %.1f MB)\n"
                    "  %-13s ffmpeg (no overlay): %6.1f s wall, %6.1f s cpu = %4.2fx real time on idle cores\n",
                    c.name, ours, oursCpu, oursCpu > 0 ? span / (oursCpu / cores) : 0.0, r.size.width(), r.size.height(),
                    (long long)r.videoFrames, QFileInfo(r.outputPath).size() / 1048576.0, "", theirs, theirsCpu,
                    theirsCpu > 0 ? span / (theirsCpu / cores) : 0.0);
    }

    // Stream copy of both pictures, the sound and the text, against cp of as many bytes.
    CClipOptions o;
    o.recording = front;
    o.fromSec = kFrom;
    o.toSec = kTo;
    o.outputPath = out + QStringLiteral("/copy.mp4");
    CClipResult r;
    const double copy = TimeExport(o, &r);
    const qint64 bytes = QFileInfo(o.outputPath).size();
    const double cp = TimeProcess(QStringLiteral("cp"), {o.outputPath, out + QStringLiteral("/copy-cp.mp4")});
    std::printf("  stream copy   ours: %5.2f s for %.1f MB = %6.0f MB/s (from %s) | cp of the same bytes: %5.2f s = %6.0f MB/s\n",
                copy, bytes / 1048576.0, copy > 0 ? bytes / 1048576.0 / copy : 0.0,
                qPrintable(QString::number(r.actualFromSec)), cp, cp > 0 ? bytes / 1048576.0 / cp : 0.0);
    QDir(out).removeRecursively();
    return 0;
}
