// Card analysis benchmark. On a generated memory card of AVI recordings
// (see BenchCard.h) it measures, with a cold and with a warm page cache, the
// telemetry analysis of every recording as the analysis thread does it,
// against a plain full read of the same files in the same run: wall time,
// CPU time, system calls, bytes read and bytes fetched from storage (with,
// for the cold case, the least any cold analysis must fetch). Then it
// measures runs as the viewer does them: a fresh process scans the card and
// starts the analysis thread, whose progress is posted to the main thread;
// from the start until the main thread has handled the last report: wall
// time, CPU time, system calls and peak resident set. Optionally the viewer
// itself (Kestrav_Main, offscreen) is run on the card. Prints figures only.
//
//   bench_card_analysis [--count N] [--seconds A[-B]] [--dir DIR] [--rounds R]
//                       [--modes cold,warm,viewer] [--cold-method auto|drop-caches|fadvise]
//                       [--viewer-exe PATH]
// Defaults: 1,000 recordings of 60 s, 3 rounds, all three modes. The card is
// kept in DIR (default: bench-data in the build folder) and reused by later
// runs of the same shape.
#include "BenchCard.h"
#include "Counters.h"

#include "base/AutoResetEvent.h"
#include "catalogue/AnalysisThread.h"
#include "catalogue/MemoryCard.h"
#include "telemetry/AviText.h"
#include "telemetry/TextData.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <set>

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

namespace {

const QByteArray kModel = "DZ55";

int64_t MemAvailable()
{
    QFile f(QStringLiteral("/proc/meminfo"));
    if (f.open(QIODevice::ReadOnly))
        for (const QByteArray& line : f.readAll().split('\n'))
            if (line.startsWith("MemAvailable:"))
                return line.mid(13).trimmed().split(' ').value(0).toLongLong() * 1024;
    return 0;
}

double Median(QList<double> v)
{
    if (v.isEmpty())
        return 0;
    std::sort(v.begin(), v.end());
    return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

// Median of each field over the rounds.
CCounters MedianOf(const QList<CCounters>& runs)
{
    auto field = [&runs](auto get) {
        QList<double> v;
        for (const CCounters& c : runs)
            v << double(get(c));
        return Median(v);
    };
    CCounters m;
    m.wallMs = field([](const CCounters& c) { return c.wallMs; });
    m.cpuMs = field([](const CCounters& c) { return c.cpuMs; });
    m.syscalls = int64_t(field([](const CCounters& c) { return c.syscalls; }));
    m.readCalls = int64_t(field([](const CCounters& c) { return c.readCalls; }));
    m.rchar = int64_t(field([](const CCounters& c) { return c.rchar; }));
    m.storage = int64_t(field([](const CCounters& c) { return c.storage; }));
    return m;
}

// The timed rounds' medians, with the calls of the last (counting) round.
CCounters MedianWithCalls(const QList<CCounters>& runs)
{
    CCounters m = MedianOf(runs.mid(0, runs.size() - 1));
    m.syscalls = runs.last().syscalls;
    return m;
}

CCatalogue Scanned(const QString& root)
{
    CCatalogue catalogue;
    ScanCard(root, QString::fromLatin1(kModel), catalogue);
    return catalogue;
}

size_t Samples(const CCatalogue& catalogue)
{
    size_t n = 0;
    for (const CategoryMap& m : catalogue)
        for (const auto& [k, e] : m)
            n += e.textData.gsensorList.size() + e.textData.gpsList.size() + e.textData.carInfoList.size();
    return n;
}

// The analysis of every entry, on this thread, without progress controls.
CCounters Analysis(const CSyscallCounter& counter, const CCatalogue& scanned, size_t* samples)
{
    CCatalogue catalogue = scanned;
    std::atomic<int> stop{0};
    CAutoResetEvent event;
    AnalysisRun run;
    run.catalogue = &catalogue;
    run.analysisStop = &stop;
    run.fileParsingEvent = &event;
    const int64_t t0 = NowNs();
    const CCounters before = Snapshot(counter, t0);
    AnalysisThreadBody(run);
    const CCounters after = Snapshot(counter, t0);
    *samples = Samples(catalogue);
    return after - before;
}

// A file read through by the AVI walk, noting every page a read covers.
class CPageNotingReader : public IByteReader
{
public:
    explicit CPageNotingReader(const QString& path) : m_file(path) {}
    bool IsOpen() const { return m_file.IsOpen(); }
    int64_t Size() const override { return m_file.Size(); }
    // ReadAtIfCached is left to the interface: it reads as ReadAt does, so
    // the walk reads the same ranges whether the file is in memory or not.
    int64_t ReadAt(int64_t offset, char* out, int64_t length) override
    {
        const int64_t got = m_file.ReadAt(offset, out, length);
        for (int64_t page = offset / kPage; got > 0 && page * kPage < offset + got; ++page)
            pages.insert(page);
        return got;
    }

    static constexpr int64_t kPage = 4096;
    std::set<int64_t> pages;

private:
    CFileByteReader m_file;
};

// The least a cold analysis must fetch from storage: the pages the walk
// reads that hold stored bytes (a hole costs no storage read). Bytes per
// recording.
double LeastColdFetch(const QStringList& files)
{
    int64_t bytes = 0;
    for (const QString& path : files) {
        CPageNotingReader file(path);
        if (!file.IsOpen())
            continue;
        CTextData data;
        Telemetry::ExtractAviText(file, path, data);
        const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            continue;
        for (const int64_t page : file.pages) {
            const off_t stored = ::lseek(fd, off_t(page * CPageNotingReader::kPage), SEEK_DATA);
            if (stored >= 0 && stored < off_t((page + 1) * CPageNotingReader::kPage))
                bytes += CPageNotingReader::kPage;
        }
        ::close(fd);
    }
    return files.isEmpty() ? 0.0 : double(bytes) / double(files.size());
}

// Every byte of every file, in 1 MiB reads.
CCounters FullRead(const CSyscallCounter& counter, const QStringList& files)
{
    static QByteArray buffer(1 << 20, '\0');
    const int64_t t0 = NowNs();
    const CCounters before = Snapshot(counter, t0);
    for (const QString& f : files) {
        const int fd = ::open(QFile::encodeName(f).constData(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            continue;
        while (::read(fd, buffer.data(), size_t(buffer.size())) > 0) {
        }
        ::close(fd);
    }
    return Snapshot(counter, t0) - before;
}

void PrintHeader()
{
    std::printf("  %-20s %9s %9s %9s %10s %10s %11s %11s\n", "", "wall ms", "CPU ms", "CPU/rec", "calls/rec",
                "reads/rec", "read KB/rec", "stor KB/rec");
}

void PrintRow(const char* name, const CCounters& c, int count)
{
    const double n = double(count);
    char calls[32];
    if (c.syscalls >= 0)
        std::snprintf(calls, sizeof calls, "%10.1f", double(c.syscalls) / n);
    else
        std::snprintf(calls, sizeof calls, "%10s", "n/a");
    std::printf("  %-20s %9.1f %9.1f %9.3f %s %10.1f %11.1f %11.1f\n", name, c.wallMs, c.cpuMs, c.cpuMs / n, calls,
                double(c.readCalls) / n, double(c.rchar) / n / 1024.0, double(c.storage) / n / 1024.0);
}

// ---- A run as the viewer does it (in a fresh process) ---------------------------------------

// Posts every report to the main thread, as the viewer's card controller
// does, where the last one (the timer that hides the message) ends the run.
class CPostedProgress : public IAnalysisProgress
{
public:
    explicit CPostedProgress(QObject* gui) : m_gui(gui) {}
    bool HasPercentText() const override { return true; }
    bool HasMessageText() const override { return true; }
    void SetPercentText(const QString& text) override { Post([this, text] { percent = text; }); }
    void ShowPercentText(bool shown) override { Post([this, shown] { percentShown = shown; }); }
    void SetMessageText(const QString& text) override { Post([this, text] { message = text; }); }
    void ShowMessageText(bool shown) override { Post([this, shown] { messageShown = shown; }); }
    void StopTimer(int) override { Post([] {}); }
    void StartTimer(int, int) override
    {
        Post([this] {
            doneNs = NowNs();
            QCoreApplication::quit();
        });
    }

    std::atomic<int> posts{0};
    QString percent, message;
    bool percentShown = false, messageShown = false;
    int64_t doneNs = 0;

private:
    void Post(std::function<void()> f)
    {
        ++posts;
        QMetaObject::invokeMethod(m_gui, [this, f] { ++handled; f(); }, Qt::QueuedConnection);
    }
    QObject* m_gui;
    int handled = 0;
};

int ViewerLikeRun(const QString& root, bool countCalls)
{
    const CSyscallCounter counter(countCalls);
    const int64_t s0 = NowNs();
    CCatalogue catalogue = Scanned(root);
    const double scanMs = double(NowNs() - s0) / 1e6;
    const int64_t rssScanned = CurrentRss();

    QObject gui;
    CPostedProgress progress(&gui);
    std::atomic<int> stop{0};
    CAutoResetEvent event;
    AnalysisRun run;
    run.catalogue = &catalogue;
    run.analysisStop = &stop;
    run.fileParsingEvent = &event;
    run.progress = &progress;
    run.langText = [](const char* key) { return QString::fromLatin1(key); };
    CAnalysisThread thread;

    const int64_t t0 = NowNs();
    const CCounters before = Snapshot(counter, t0);
    thread.Start(run);
    QCoreApplication::exec();
    const CCounters used = Snapshot(counter, t0) - before;
    const double wallMs = double(progress.doneNs - t0) / 1e6;
    thread.Stop();
    std::printf("VIEWER-RUN entries=%zu samples=%zu scanMs=%.1f wallMs=%.1f cpuMs=%.1f syscalls=%lld rchar=%lld "
                "storage=%lld rssScanned=%lld rssPeak=%lld rssEnd=%lld posts=%d percent=%s\n",
                CatalogueSize(catalogue), Samples(catalogue), scanMs, wallMs, used.cpuMs,
                static_cast<long long>(used.syscalls), static_cast<long long>(used.rchar),
                static_cast<long long>(used.storage), static_cast<long long>(rssScanned),
                static_cast<long long>(PeakRss()), static_cast<long long>(CurrentRss()), progress.posts.load(),
                qPrintable(progress.percent));
    // The catalogue's teardown is not part of the run.
    std::fflush(stdout);
    std::_Exit(0);
}

QMap<QString, QString> ParseFields(const QString& line)
{
    QMap<QString, QString> fields;
    for (const QString& kv : line.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const qsizetype eq = kv.indexOf(QLatin1Char('='));
        if (eq > 0)
            fields.insert(kv.left(eq), kv.mid(eq + 1));
    }
    return fields;
}

// ---- The viewer itself -------------------------------------------------------------------------

struct CProcStat {
    double cpuMs = 0;
    int64_t peakRss = 0;
};

CProcStat ReadProc(qint64 pid)
{
    CProcStat s;
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (stat.open(QIODevice::ReadOnly)) {
        const QByteArray text = stat.readAll();
        const QList<QByteArray> f = text.mid(text.lastIndexOf(')') + 2).split(' ');
        // Fields 14 and 15 (utime, stime) are 12 and 13 after the name.
        s.cpuMs = double(f.value(11).toLongLong() + f.value(12).toLongLong()) * 1000.0 / double(sysconf(_SC_CLK_TCK));
    }
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (status.open(QIODevice::ReadOnly))
        for (const QByteArray& line : status.readAll().split('\n'))
            if (line.startsWith("VmHWM:"))
                s.peakRss = line.mid(6).trimmed().split(' ').value(0).toLongLong() * 1024;
    return s;
}

// Kestrav_Main on the card (offscreen, no splash, tracing on): from the
// first "Extract Text from" trace to the last progress trace of the run.
bool ViewerExecutableRun(const QString& exe, const QString& root, int count, QString* summary)
{
    QTemporaryDir home;
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("KESTRAV_CARD_ROOTS"), root);
    env.insert(QStringLiteral("KESTRAV_NO_SPLASH"), QStringLiteral("1"));
    env.insert(QStringLiteral("KESTRAV_LOCK_DIR"), home.path());
    env.insert(QStringLiteral("KESTRAV_CONNECTIVITY_HOST"), QStringLiteral("127.0.0.1:9"));
    env.insert(QStringLiteral("HOME"), home.path());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.path());
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("QTWEBENGINE_DISABLE_SANDBOX"), QStringLiteral("1"));
    env.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("kestrav.trace.debug=true"));
    env.insert(QStringLiteral("QT_MESSAGE_PATTERN"), QStringLiteral("%{message}"));
    p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::SeparateChannels);
    // The traces arrive on standard error: wait on that channel, or every
    // wait would run to its timeout and the times come in whole seconds.
    p.setReadChannel(QProcess::StandardError);
    p.setStandardOutputFile(QProcess::nullDevice());
    const QByteArray last = QStringLiteral("Thread ExtractText Movie List 100 persent File Count (%1)").arg(count).toLatin1();
    const int64_t t0 = NowNs();
    p.start(exe, {});
    if (!p.waitForStarted(10000)) {
        *summary = QStringLiteral("cannot start ") + exe;
        return false;
    }
    int64_t firstNs = 0;
    CProcStat atFirst;
    QByteArray pending;
    QElapsedTimer limit;
    limit.start();
    while (limit.elapsed() < 600000) {
        if (!p.waitForReadyRead(1000) && p.state() != QProcess::Running)
            break;
        pending += p.readAllStandardError();
        qsizetype from = 0;
        qsizetype nl;
        for (; (nl = pending.indexOf('\n', from)) >= 0; from = nl + 1) {
            const QByteArrayView line(pending.constData() + from, nl - from);
            if (firstNs == 0 && line.startsWith("Extract Text from")) {
                firstNs = NowNs();
                atFirst = ReadProc(p.processId());
            } else if (line == last) {
                const int64_t endNs = NowNs();
                const CProcStat atEnd = ReadProc(p.processId());
                *summary = QStringLiteral("start-up and scan %1 ms, analysis %2 ms wall, %3 ms CPU (%4 ms/rec), peak RSS %5 MB")
                               .arg(double(firstNs - t0) / 1e6, 0, 'f', 0)
                               .arg(double(endNs - firstNs) / 1e6, 0, 'f', 0)
                               .arg(atEnd.cpuMs - atFirst.cpuMs, 0, 'f', 0)
                               .arg((atEnd.cpuMs - atFirst.cpuMs) / count, 0, 'f', 3)
                               .arg(double(atEnd.peakRss) / 1048576.0, 0, 'f', 1);
                p.terminate();
                if (!p.waitForFinished(10000))
                    p.kill();
                p.waitForFinished(5000);
                return true;
            }
        }
        pending.remove(0, from);
    }
    *summary = QStringLiteral("no completion trace (%1)").arg(firstNs ? "analysis started" : "analysis never started");
    p.kill();
    p.waitForFinished(5000);
    return false;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addOptions({
        {QStringLiteral("count"), QStringLiteral("Recordings on the card."), QStringLiteral("N"), QStringLiteral("1000")},
        {QStringLiteral("seconds"), QStringLiteral("Length of a recording, or a range A-B."), QStringLiteral("S"), QStringLiteral("60")},
        {QStringLiteral("dir"), QStringLiteral("Folder of the card (kept and reused)."), QStringLiteral("DIR")},
        {QStringLiteral("rounds"), QStringLiteral("Rounds per measurement (median reported)."), QStringLiteral("R"), QStringLiteral("3")},
        {QStringLiteral("modes"), QStringLiteral("cold,warm,viewer"), QStringLiteral("LIST"), QStringLiteral("cold,warm,viewer")},
        {QStringLiteral("cold-method"), QStringLiteral("auto, drop-caches or fadvise."), QStringLiteral("M"), QStringLiteral("auto")},
        {QStringLiteral("viewer-exe"), QStringLiteral("Also run this Kestrav_Main on the card."), QStringLiteral("PATH")},
        {QStringLiteral("viewer-like-run"), QStringLiteral("(internal) one run as the viewer does it.")},
        {QStringLiteral("count-calls"), QStringLiteral("(internal) count the system calls of that run.")},
    });
    parser.addHelpOption();
    parser.process(app);

    const int count = std::max(1, parser.value(QStringLiteral("count")).toInt());
    const QStringList range = parser.value(QStringLiteral("seconds")).split(QLatin1Char('-'));
    const int minSeconds = std::max(1, range.value(0).toInt());
    const int maxSeconds = std::max(minSeconds, range.value(1, range.value(0)).toInt());
    const int rounds = std::max(1, parser.value(QStringLiteral("rounds")).toInt());
    const QStringList modes = parser.value(QStringLiteral("modes")).split(QLatin1Char(','));
    const QString root = parser.isSet(QStringLiteral("dir"))
        ? parser.value(QStringLiteral("dir"))
        : QStringLiteral(KESTRAV_BENCH_DATA_DIR "/card-%1-%2-%3").arg(count).arg(minSeconds).arg(maxSeconds);

    if (parser.isSet(QStringLiteral("viewer-like-run")))
        return ViewerLikeRun(root.endsWith(QLatin1Char('/')) ? root : root + QLatin1Char('/'),
                             parser.isSet(QStringLiteral("count-calls")));

    // The sparse layout must be the writer's, byte for byte.
    if (Materialize(BenchRecording(7, 3)) != BenchRecordingByWriter(7, 3)) {
        std::fprintf(stderr, "bench_card_analysis: the sparse layout differs from the AVI writer's\n");
        return 1;
    }

    QElapsedTimer clock;
    clock.start();
    CBenchCard card;
    QString error;
    if (!WriteBenchCard(root, count, minSeconds, maxSeconds, kModel, card, &error)) {
        std::fprintf(stderr, "bench_card_analysis: %s\n", qPrintable(error));
        return 1;
    }
    std::printf("card: %d AVI recordings of %d-%d s in %s, %.1f MB logical, %.1f MB stored, %s in %.1f s\n", count,
                minSeconds, maxSeconds, qPrintable(card.root), double(card.logicalBytes) / 1048576.0,
                double(card.storedBytes) / 1048576.0, card.reused ? "reused" : "written",
                double(clock.elapsed()) / 1000.0);

    {
        const CSyscallCounter probe;
        std::printf("system calls: %s\n", probe.IsCounting()
                        ? "counted by a perf tracepoint counter (raw_syscalls:sys_enter, all threads) in a round of "
                          "their own; the timed rounds run without it"
                        : qPrintable(QStringLiteral("not countable here (%1); reads/rec counts read calls only").arg(probe.Why())));
    }

    clock.restart();
    const CCatalogue scanned = Scanned(card.root);
    std::printf("scan: %.1f ms, %zu entries\n", double(clock.nsecsElapsed()) / 1e6, CatalogueSize(scanned));

    EColdMethod cold = CanDropCaches() ? EColdMethod::DropCaches : EColdMethod::FadviseDontNeed;
    if (parser.value(QStringLiteral("cold-method")) == QLatin1String("fadvise"))
        cold = EColdMethod::FadviseDontNeed;
    else if (parser.value(QStringLiteral("cold-method")) == QLatin1String("drop-caches"))
        cold = EColdMethod::DropCaches;

    size_t samples = 0;
    if (modes.contains(QStringLiteral("cold"))) {
        std::printf("\ncold page cache (%s before each run; median of %d rounds, alternating):\n",
                    cold == EColdMethod::DropCaches ? "echo 1 > /proc/sys/vm/drop_caches"
                                                    : "POSIX_FADV_DONTNEED on every file",
                    rounds);
        QList<CCounters> analysis, full;
        const CSyscallCounter off(false);
        for (int r = 0; r <= rounds; ++r) {
            const CSyscallCounter counting(r == rounds); // the last round counts the calls
            if (!MakeCold(cold, card.files)) {
                std::fprintf(stderr, "bench_card_analysis: cannot drop the page cache\n");
                return 1;
            }
            analysis << Analysis(r == rounds ? counting : off, scanned, &samples);
            MakeCold(cold, card.files);
            full << FullRead(r == rounds ? counting : off, card.files);
        }
        PrintHeader();
        PrintRow("analysis", MedianWithCalls(analysis), count);
        PrintRow("full read", MedianWithCalls(full), count);
        std::printf("  (%zu samples decoded)\n", samples);
        std::printf("  least an analysis can fetch: %.1f KB/rec (the stored pages its reads cover)\n",
                    LeastColdFetch(card.files) / 1024.0);
    }

    if (modes.contains(QStringLiteral("warm"))) {
        // A full read can only be warm when the card fits the page cache.
        const bool fullFits = card.logicalBytes < MemAvailable() / 2;
        std::printf("\nwarm page cache (median of %d rounds, alternating, after one run of each):\n", rounds);
        QList<CCounters> analysis, full;
        const CSyscallCounter off(false);
        Analysis(off, scanned, &samples);
        if (fullFits)
            FullRead(off, card.files);
        for (int r = 0; r <= rounds; ++r) {
            const CSyscallCounter counting(r == rounds);
            analysis << Analysis(r == rounds ? counting : off, scanned, &samples);
            if (fullFits)
                full << FullRead(r == rounds ? counting : off, card.files);
        }
        PrintHeader();
        PrintRow("analysis", MedianWithCalls(analysis), count);
        if (fullFits)
            PrintRow("full read", MedianWithCalls(full), count);
        else
            std::printf("  full read: left out, the card's %.1f GB do not fit the page cache\n",
                        double(card.logicalBytes) / 1073741824.0);
    }

    if (modes.contains(QStringLiteral("viewer"))) {
        // The data the analysis reads is warm after the runs above (or after one run here).
        std::printf("\nas the viewer does it (fresh process: scan, analysis thread, progress posted to the main "
                    "thread; warm page cache; median of %d runs):\n", rounds);
        QList<QMap<QString, QString>> runs;
        double calls = -1;
        for (int r = 0; r <= rounds + 1; ++r) {
            // The first run warms up, the last counts the system calls.
            QStringList args{QStringLiteral("--viewer-like-run"), QStringLiteral("--dir"), card.root};
            if (r == rounds + 1)
                args << QStringLiteral("--count-calls");
            QProcess child;
            child.start(QCoreApplication::applicationFilePath(), args);
            child.waitForFinished(-1);
            const QString out = QString::fromLocal8Bit(child.readAllStandardOutput()).trimmed();
            if (!out.startsWith(QLatin1String("VIEWER-RUN"))) {
                std::fprintf(stderr, "bench_card_analysis: viewer-like run failed: %s\n", qPrintable(out));
                return 1;
            }
            if (r == rounds + 1)
                calls = ParseFields(out).value(QStringLiteral("syscalls")).toDouble();
            else if (r > 0)
                runs << ParseFields(out);
        }
        auto median = [&runs](const char* key) {
            QList<double> v;
            for (const auto& f : runs)
                v << f.value(QLatin1String(key)).toDouble();
            return Median(v);
        };
        const double n = median("entries");
        std::printf("  %.0f entries, %.0f samples; scan %.1f ms\n", n, median("samples"), median("scanMs"));
        std::printf("  start to analysis complete: %.1f ms wall, %.1f ms CPU (%.3f ms/rec)", median("wallMs"),
                    median("cpuMs"), median("cpuMs") / n);
        if (calls >= 0)
            std::printf(", %.1f system calls/rec", calls / n);
        std::printf("\n  read %.1f KB/rec, storage %.1f KB/rec, %.0f progress posts\n", median("rchar") / n / 1024.0,
                    median("storage") / n / 1024.0, median("posts"));
        std::printf("  resident set: %.1f MB after the scan, peak %.1f MB, %.1f MB at the end\n",
                    median("rssScanned") / 1048576.0, median("rssPeak") / 1048576.0, median("rssEnd") / 1048576.0);
    }

    if (parser.isSet(QStringLiteral("viewer-exe"))) {
        std::printf("\nthe viewer (%s, offscreen, tracing on; median of %d runs):\n",
                    qPrintable(parser.value(QStringLiteral("viewer-exe"))), rounds);
        for (int r = 0; r < rounds; ++r) {
            QString summary;
            ViewerExecutableRun(parser.value(QStringLiteral("viewer-exe")), card.root, count, &summary);
            std::printf("  run %d: %s\n", r + 1, qPrintable(summary));
        }
    }
    return 0;
}
