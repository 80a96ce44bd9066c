// kestrav-export [--gpx] [--csv] -o OUTDIR PATH... | --help | --version
// Writes each recording's telemetry as NAME.gpx and, with --csv, as
// NAME.gps.csv, NAME.gsensor.csv and NAME.car.csv (NAME = the file name with
// its extension; a name met before gets "~FOLDER" and, if need be, a number).
// Exit status: 0 all read, 1 some could not be, 2 usage.
#include "TelemetryExport.h"

#include "catalogue/RecordingAnalyzer.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include <cstdio>
#include <mutex>

#include <unistd.h>

namespace {
void Usage()
{
    std::fprintf(stderr, "usage: kestrav-export [--gpx] [--csv] -o OUTDIR PATH...\n"
                         "  PATH: a recording (.avi, .mp4), a folder, or a memory card's root\n"
                         "  --gpx  write NAME.gpx (the default when neither option is given)\n"
                         "  --csv  write NAME.gps.csv, NAME.gsensor.csv and NAME.car.csv\n"
                         "  --help, --version  print this help or the version and end\n");
}

bool Save(const QString& path, const QByteArray& bytes)
{
    QSaveFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size() && f.commit();
}
} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    bool gpx = false;
    bool csv = false;
    QString outDir;
    QStringList inputs;
    const QStringList args = app.arguments().mid(1);
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == QLatin1String("--gpx")) {
            gpx = true;
        } else if (a == QLatin1String("--csv")) {
            csv = true;
        } else if (a == QLatin1String("-o")) {
            if (++i >= args.size()) {
                Usage();
                return 2;
            }
            outDir = args[i];
        } else if (a == QLatin1String("-h") || a == QLatin1String("--help")) {
            Usage();
            return 0;
        } else if (a == QLatin1String("-v") || a == QLatin1String("--version")) {
            std::printf("kestrav-export %s\n", KESTRAV_VERSION);
            return 0;
        } else if (a.startsWith(QLatin1Char('-')) && a.size() > 1) {
            std::fprintf(stderr, "kestrav-export: unknown option %s\n", qPrintable(a));
            Usage();
            return 2;
        } else {
            inputs << a;
        }
    }
    if (outDir.isEmpty() || inputs.isEmpty()) {
        Usage();
        return 2;
    }
    if (!gpx && !csv)
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
    const auto analyzer = GetAnalyzer();
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
        CTextData data;
        {
            std::lock_guard<std::recursive_mutex> lock(g_analysisLock);
            analyzer->ExtractText(path, data);
        }
        if (data.IsEmpty()) {
            std::fprintf(stderr, "%skestrav-export: %s: no telemetry found\n", tty ? "\n" : "", qPrintable(path));
            failed << path;
            continue;
        }
        const QString base = QDir(outDir).filePath(outputName);
        bool ok = true;
        if (gpx)
            ok = Save(base + QStringLiteral(".gpx"), Export::ToGpx(name, data)) && ok;
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
    return failed.isEmpty() ? 0 : 1;
}
