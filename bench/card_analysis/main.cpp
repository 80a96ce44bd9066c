// Card analysis benchmark: scan and full telemetry analysis of a generated
// card of many recordings, against a plain full read of the same files.
// Media payloads are holes (sparse files); index and text chunks are real.
//   bench_card_analysis [COUNT] [DIR]
#include "catalogue/AnalysisThread.h"
#include "base/AutoResetEvent.h"
#include "writers/AviWriter.h"
#include "catalogue/MemoryCard.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

namespace {
constexpr int kSeconds = 60;
constexpr int kVideoChunk = 96 * 1024; // per second, front

qint64 ReadBytesSoFar()
{
    QFile io(QStringLiteral("/proc/self/io"));
    if (!io.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : io.readAll().split('\n'))
        if (line.startsWith("rchar:"))
            return line.mid(6).trimmed().toLongLong();
    return -1;
}

// Writes `bytes`, leaving runs of 64 KiB of zeros as holes.
bool WriteSparse(const QString& path, const QByteArray& bytes)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0)
        return false;
    constexpr qsizetype kBlock = 64 * 1024;
    static const QByteArray zeros(kBlock, '\0');
    for (qsizetype at = 0; at < bytes.size(); at += kBlock) {
        const qsizetype n = qMin(kBlock, bytes.size() - at);
        const bool zero = std::memcmp(bytes.constData() + at, zeros.constData(), size_t(n)) == 0;
        if (!zero && ::pwrite(fd, bytes.constData() + at, size_t(n), at) != n) {
            ::close(fd);
            return false;
        }
    }
    const bool ok = ::ftruncate(fd, bytes.size()) == 0;
    ::close(fd);
    return ok;
}

QByteArray Recording(int n)
{
    CAviWriter w;
    w.AddStream(CAviWriter::VideoStream("H264", 1280, 720, 30, kSeconds * 30));
    w.AddStream(CAviWriter::VideoStream("H264", 640, 360, 30, kSeconds * 30));
    w.AddStream(CAviWriter::AudioStreamPcm(16000, 1));
    w.AddStream(CAviWriter::TextStream());
    for (int s = 0; s < kSeconds; ++s) {
        w.AddChunk("00dc", QByteArray(kVideoChunk, '\0'));
        w.AddChunk("01dc", QByteArray(kVideoChunk / 4, '\0'));
        w.AddChunk("02wb", QByteArray(32000, '\0'));
        for (int g = 0; g < 10; ++g)
            w.AddChunk("03tx", CAviWriter::TextPayload("gsensori,1,256," + QByteArray::number((s * 10 + g + n) % 300) + ",3,250", 64));
        const QByteArray rmc = QStringLiteral("GPRMC,10%1%2,A,3733.%3,N,12658.%4,E,30.0,90.0,010124")
                                   .arg(n % 60, 2, 10, QLatin1Char('0')).arg(s, 2, 10, QLatin1Char('0'))
                                   .arg(s * 10, 4, 10, QLatin1Char('0')).arg(n % 9000, 4, 10, QLatin1Char('0')).toLatin1();
        w.AddChunk("03tx", CAviWriter::TextPayload(rmc, 120));
        w.AddChunk("03tx", CAviWriter::TextPayload("CAR,0,1,0", 16));
    }
    return w.Build();
}

void DropCache(const QStringList& files)
{
    for (const QString& f : files) {
        const int fd = ::open(QFile::encodeName(f).constData(), O_RDONLY);
        if (fd >= 0) {
            ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
            ::close(fd);
        }
    }
}
} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const int count = argc > 1 ? std::max(1, atoi(argv[1])) : 1000;
    QTemporaryDir tmp;
    const QString root = (argc > 2 ? QString::fromLocal8Bit(argv[2]) : tmp.path()) + QLatin1Char('/');

    // The card: recordings spread over the five category folders.
    const QStringList folders = {QStringLiteral("상시녹화"), QStringLiteral("상시충격"), QStringLiteral("수동녹화"),
                                 QStringLiteral("주차모션"), QStringLiteral("주차충격")};
    QStringList files;
    qint64 logical = 0;
    QElapsedTimer clock;
    clock.start();
    // A card kept in DIR from an earlier run of the same size is reused.
    const QString stamp = root + QStringLiteral(".complete-%1").arg(count);
    const bool reuse = QFile::exists(stamp);
    for (int i = 0; i < count; ++i) {
        const QString folder = root + folders[i % folders.size()];
        QDir().mkpath(folder);
        const QString path = folder + QStringLiteral("/REC_2024_01_%1_%2_%3_00_F.AVI")
                                          .arg(1 + i / 1440, 2, 10, QLatin1Char('0'))
                                          .arg((i / 60) % 24, 2, 10, QLatin1Char('0'))
                                          .arg(i % 60, 2, 10, QLatin1Char('0'));
        files << path;
        if (reuse) {
            logical += QFileInfo(path).size();
            continue;
        }
        const QByteArray bytes = Recording(i);
        if (!WriteSparse(path, bytes)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 1;
        }
        logical += bytes.size();
    }
    QFile(stamp).open(QIODevice::WriteOnly);
    std::printf("card: %d recordings, %.1f MB logical, written in %.1f s\n", count, double(logical) / 1048576.0,
                double(clock.elapsed()) / 1000.0);

    // Scan.
    CCatalogue catalogue;
    clock.restart();
    ScanCard(root, QStringLiteral("DZ55"), catalogue);
    const double scanMs = double(clock.nsecsElapsed()) / 1e6;
    std::printf("scan:      %8.1f ms  (%zu entries, %.0f recordings/s)\n", scanMs, CatalogueSize(catalogue),
                double(CatalogueSize(catalogue)) / (scanMs / 1000.0));

    // Full analysis run, as the analysis thread does it.
    DropCache(files);
    std::atomic<int> stop{0};
    CAutoResetEvent event;
    AnalysisRun run;
    run.catalogue = &catalogue;
    run.analysisStop = &stop;
    run.fileParsingEvent = &event;
    const qint64 before = ReadBytesSoFar();
    clock.restart();
    AnalysisThreadBody(run);
    const double analysisMs = double(clock.nsecsElapsed()) / 1e6;
    const qint64 analysisBytes = ReadBytesSoFar() - before;
    size_t samples = 0;
    for (const CategoryMap& m : catalogue)
        for (const auto& [k, e] : m)
            samples += e.textData.gsensorList.size() + e.textData.gpsList.size();
    std::printf("analysis:  %8.1f ms  (%.0f recordings/s, %.1f KB read per recording, %zu samples)\n", analysisMs,
                double(count) / (analysisMs / 1000.0), double(analysisBytes) / count / 1024.0, samples);

    // Baseline: read every byte of the same files.
    DropCache(files);
    QByteArray buffer(1 << 20, '\0');
    const qint64 beforeFull = ReadBytesSoFar();
    clock.restart();
    for (const QString& f : files) {
        QFile file(f);
        if (file.open(QIODevice::ReadOnly))
            while (file.read(buffer.data(), buffer.size()) > 0) {
            }
    }
    const double fullMs = double(clock.nsecsElapsed()) / 1e6;
    const qint64 fullBytes = ReadBytesSoFar() - beforeFull;
    std::printf("full read: %8.1f ms  (%.0f recordings/s, %.1f KB read per recording)\n", fullMs,
                double(count) / (fullMs / 1000.0), double(fullBytes) / count / 1024.0);
    std::printf("ratio: analysis takes %.3f of the full read's time and reads %.4f of its bytes\n",
                analysisMs / fullMs, double(analysisBytes) / double(fullBytes));
    return 0;
}
