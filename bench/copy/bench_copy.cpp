// Copy benchmark: the viewer's Save As copy (CFileCopier: temporary file,
// times kept, flushed, renamed into place) against cp on the same 1 GiB file
// in the same run, with the source in the page cache (warm) and dropped from
// it with POSIX_FADV_DONTNEED (cold); then the whole viewer saving the
// recording from a card while a 2 ms timer measures how long the GUI thread
// goes without turning its event loop. Prints figures; judges nothing.
//
//   bench_copy [--size MIB] [--rounds N] [--dir DIR]
#include "FakeTransport.h"
#include "catalogue/MemoryCard.h"
#include "lang/Lang.h"
#include "mainwindow/MainWindowIds.h"
#include "mainwindow/MovaraDlg.h"
#include "mainwindow/RecordingFiles.h"
#include "platform/FileCopier.h"
#include "platform/Platform.h"
#include "skin/RListCtrl.h"
#include "telemetry/TextData.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QResource>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

namespace {

// Drops a file's pages from the page cache (after writing back dirty ones).
void DropCache(const QString& path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fdatasync(fd);
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
    ::close(fd);
}

// Reads a file once so that it sits in the page cache.
void Warm(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return;
    std::vector<char> buffer(size_t(8) << 20);
    while (f.read(buffer.data(), qint64(buffer.size())) > 0) {
    }
}

bool FsyncFile(const QString& path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

bool MakeSource(const QString& path, qint64 bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    QByteArray chunk(8 << 20, Qt::Uninitialized);
    quint32 x = 88172645u;
    for (qint64 done = 0; done < bytes; done += chunk.size()) {
        for (qsizetype i = 0; i < chunk.size(); i += 4) {
            x ^= x << 13;
            x ^= x >> 17;
            x ^= x << 5;
            memcpy(chunk.data() + i, &x, 4);
        }
        const qint64 n = std::min<qint64>(chunk.size(), bytes - done);
        if (f.write(chunk.constData(), n) != n)
            return false;
    }
    f.flush();
    return FsyncFile(path);
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0.0 : v[v.size() / 2];
}

struct Times {
    std::vector<double> cp, cpSync, ours, oursFlushAtEnd, oursReadWrite;
};

// One round of each way, seconds.
void Round(const QString& source, const QString& dir, bool cold, Times& t)
{
    const QString a = QDir(dir).filePath(QStringLiteral("cp.avi"));
    const QString b = QDir(dir).filePath(QStringLiteral("ours.avi"));
    const QString c = QDir(dir).filePath(QStringLiteral("ours_rw.avi"));
    auto prepare = [&] {
        QFile::remove(a);
        QFile::remove(b);
        QFile::remove(c);
        ::sync();
        if (cold)
            DropCache(source);
        else
            Warm(source);
    };
    QElapsedTimer clock;

    prepare();
    clock.start();
    if (QProcess::execute(QStringLiteral("cp"), {source, a}) != 0)
        std::printf("  cp failed\n");
    const double cpOnly = clock.nsecsElapsed() / 1e9;
    FsyncFile(a);
    t.cp.push_back(cpOnly);
    t.cpSync.push_back(clock.nsecsElapsed() / 1e9);
    DropCache(a);

    prepare();
    CFileCopier copier;
    clock.restart();
    const CCopyResult r = copier.Copy(source, b);
    t.ours.push_back(clock.nsecsElapsed() / 1e9);
    if (!r.Succeeded())
        std::printf("  copy failed: %s\n", qPrintable(r.Reason()));
    DropCache(b);

    prepare();
    CFileCopier flushAtEnd;
    flushAtEnd.SetWriteBehind(false);
    clock.restart();
    flushAtEnd.Copy(source, b);
    t.oursFlushAtEnd.push_back(clock.nsecsElapsed() / 1e9);
    DropCache(b);
    QFile::remove(b);

    prepare();
    CFileCopier readWrite;
    readWrite.SetKernelCopy(false);
    clock.restart();
    readWrite.Copy(source, c);
    t.oursReadWrite.push_back(clock.nsecsElapsed() / 1e9);
    DropCache(c);
}

void Report(const char* label, qint64 bytes, const Times& t)
{
    const double mib = double(bytes) / double(1 << 20);
    auto line = [mib](const char* what, const std::vector<double>& v) {
        const double s = Median(v);
        std::printf("  %-34s %7.3f s  %8.1f MiB/s\n", what, s, s > 0 ? mib / s : 0.0);
    };
    std::printf("%s (median of %zu):\n", label, t.cp.size());
    line("cp", t.cp);
    line("cp + fsync of the copy", t.cpSync);
    line("Save As copier (fsync, rename)", t.ours);
    line("Save As copier, no write-behind", t.oursFlushAtEnd);
    line("Save As copier, read/write 4 MiB", t.oursReadWrite);
    const double ratioCp = Median(t.ours) > 0 ? Median(t.cp) / Median(t.ours) : 0.0;
    const double ratioSync = Median(t.ours) > 0 ? Median(t.cpSync) / Median(t.ours) : 0.0;
    std::printf("  copier throughput vs cp: %.0f %%; vs cp + fsync: %.0f %%\n", ratioCp * 100.0, ratioSync * 100.0);
}

// The viewer saving the recording: the GUI thread's gaps while it copies.
void ViewerSaveAs(const QString& source, const QString& dir, qint64 bytes, bool cold)
{
    const QString card = QDir(dir).filePath(cold ? QStringLiteral("card-cold") : QStringLiteral("card-warm"));
    QDir().mkpath(card + QStringLiteral("/SETTING"));
    QDir().mkpath(card + QStringLiteral("/상시녹화"));
    QByteArray record(kDeviceRecordSize, '\0');
    record.replace(kDeviceModelOffset, 6, "ARX330");
    QFile cfg(card + QStringLiteral("/SETTING/setup.cfg"));
    if (!cfg.open(QIODevice::WriteOnly) || cfg.write(record) != record.size())
        return;
    cfg.close();
    const QString name = QStringLiteral("REC_2024_05_10_08_00_00_F.AVI");
    const QString onCard = card + QStringLiteral("/상시녹화/") + name;
    QFile::remove(onCard);
    if (::link(QFile::encodeName(source).constData(), QFile::encodeName(onCard).constData()) != 0)
        QFile::copy(source, onCard);
    qputenv("KESTRAV_CARD_ROOTS", card.toLocal8Bit());
    g_deviceRecord = QByteArray();
    g_cardRoot.clear();

    CRecordingPlatform platform;
    CPlatform::Install(&platform);
    CFakeTransport fake;
    CMovaraDlgOptions o;
    o.showSplash = false;
    o.probeConnectivity = [] { return false; };
    o.extract = [](const QString&, CTextData&) {};
    o.checkH264 = [](const QString&) { return 1; };
    o.isMp4Recording = [](const QString&) { return false; };
    o.transport = &fake;
    {
        CMovaraDlg dlg(o);
        dlg.OnInitDialog();
        QElapsedTimer wait;
        wait.start();
        while (dlg.IsAnalysisRunning() && wait.elapsed() < 10000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        dlg.List()->SetFocusedByName(name);
        dlg.List()->PlayFocused();
        const QString target = QDir(dir).filePath(QStringLiteral("saved.avi"));
        QFile::remove(target);
        ::sync();
        if (cold)
            DropCache(source);
        else
            Warm(source);

        // A 2 ms timer: the gaps between its ticks are what the GUI thread
        // spent elsewhere (painting the progress, handling reports, or stalled).
        std::vector<qint64> gaps;
        std::pair<qint64, qint64> longest{0, 0}; // where the longest gap began, and its length (ns)
        QElapsedTimer clock;
        qint64 last = -1;
        QTimer probe;
        probe.setTimerType(Qt::PreciseTimer);
        probe.setInterval(2);
        QObject::connect(&probe, &QTimer::timeout, [&] {
            const qint64 now = clock.nsecsElapsed();
            if (last >= 0) {
                gaps.push_back(now - last);
                if (now - last > longest.second)
                    longest = {last, now - last};
            }
            last = now;
        });
        bool done = false;
        CCopyResult result;
        QObject::connect(&dlg.Files(), &CRecordingFiles::CopyFinished, [&](const CCopyResult& r) {
            result = r;
            done = true;
        });
        // The same probe with nothing to do first: what the machine alone costs.
        {
            std::vector<qint64> idle;
            QElapsedTimer idleClock;
            qint64 idleLast = -1;
            QTimer idleProbe;
            idleProbe.setTimerType(Qt::PreciseTimer);
            idleProbe.setInterval(2);
            QObject::connect(&idleProbe, &QTimer::timeout, [&] {
                const qint64 now = idleClock.nsecsElapsed();
                if (idleLast >= 0)
                    idle.push_back(now - idleLast);
                idleLast = now;
            });
            QEventLoop idleLoop;
            idleClock.start();
            idleProbe.start();
            QTimer::singleShot(1000, &idleLoop, &QEventLoop::quit);
            idleLoop.exec();
            std::sort(idle.begin(), idle.end());
            std::printf("Viewer idle for 1 s: longest gap %.1f ms, 99th percentile %.1f ms\n",
                        idle.empty() ? 0.0 : double(idle.back()) / 1e6,
                        idle.empty() ? 0.0 : double(idle[idle.size() * 99 / 100]) / 1e6);
        }
        platform.saveFileAnswers << target;
        clock.start();
        probe.start();
        dlg.OnCommand(MainWnd::kCmdFileSaveAs);
        QEventLoop loop;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (done)
                loop.quit();
        });
        poll.start(5);
        loop.exec();
        const double seconds = clock.nsecsElapsed() / 1e9;
        probe.stop();
        std::sort(gaps.begin(), gaps.end());
        const auto ms = [](qint64 ns) { return double(ns) / 1e6; };
        const qint64 over = std::count_if(gaps.begin(), gaps.end(), [](qint64 g) { return g > 16'000'000; });
        std::printf("Viewer Save As, %s source: %s in %.2f s (%.1f MiB/s); GUI thread: %zu ticks of 2 ms, "
                    "longest gap %.1f ms, 99th percentile %.1f ms, gaps over 16 ms: %lld\n",
                    cold ? "cold" : "warm", result.Succeeded() ? "saved" : "FAILED", seconds,
                    double(bytes) / double(1 << 20) / seconds, gaps.size(), gaps.empty() ? 0.0 : ms(gaps.back()),
                    gaps.empty() ? 0.0 : ms(gaps[gaps.size() * 99 / 100]), static_cast<long long>(over));
        std::printf("  the longest gap began %.0f ms after Save As\n", double(longest.first) / 1e6);
        QFile::remove(target);
        dlg.close();
    }
    CPlatform::Install(nullptr);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCommandLineParser cl;
    cl.addHelpOption();
    QCommandLineOption sizeOpt("size", "Size of the recording (MiB).", "MIB", "1024");
    QCommandLineOption roundsOpt("rounds", "Rounds of each copy.", "N", "3");
    QCommandLineOption dirOpt("dir", "Folder for the files (default: a temporary folder).", "DIR");
    cl.addOptions({sizeOpt, roundsOpt, dirOpt});
    cl.process(app);
    const qint64 bytes = qint64(std::max(1, cl.value(sizeOpt).toInt())) << 20;
    const int rounds = std::max(1, cl.value(roundsOpt).toInt());
    QTemporaryDir tmp(cl.isSet(dirOpt) ? QDir(cl.value(dirOpt)).filePath(QStringLiteral("bench_copy-XXXXXX"))
                                       : QDir::tempPath() + QStringLiteral("/bench_copy-XXXXXX"));
    if (!tmp.isValid()) {
        std::printf("no folder for the files\n");
        return 1;
    }
    const QString library = QCoreApplication::applicationDirPath() + QStringLiteral("/NvImageDll.rcc");
    QResource::registerResource(library);
    SelectLanguage(QStringLiteral("english"));

    const QString source = tmp.filePath(QStringLiteral("source.avi"));
    std::printf("bench_copy: %lld MiB in %s\n", static_cast<long long>(bytes >> 20), qPrintable(tmp.path()));
    if (!MakeSource(source, bytes)) {
        std::printf("cannot write the source\n");
        return 1;
    }
    Times warm, cold;
    for (int i = 0; i < rounds; ++i) {
        Round(source, tmp.path(), false, warm);
        Round(source, tmp.path(), true, cold);
    }
    Report("Warm (source in the page cache)", bytes, warm);
    Report("Cold (source dropped with POSIX_FADV_DONTNEED)", bytes, cold);
    ViewerSaveAs(source, tmp.path(), bytes, false);
    ViewerSaveAs(source, tmp.path(), bytes, true);
    return 0;
}
