// Telemetry extraction from a large MP4 recording against a full
// demultiplexing of the same file: time and bytes read, cold-ish and warm
// page cache. Prints figures only.
//
// The recording (about 200 MB: 60 s of 1080p H.264 at ~27 Mbit/s, AAC audio,
// a camera-like text track of 12 records a second) is written once into the
// build folder and reused.
#include "telemetry/Extract.h"
#include "writers/MediaWriters.h"
#include "telemetry/Mp4Text.h"
#include "support/ReferenceDemux.h"
#include "base/Endian.h"

extern "C" {
#include <libavformat/avformat.h>
}

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

namespace {

struct IoCounters {
    qint64 rchar = 0;      // bytes returned by read calls
    qint64 readBytes = 0;  // bytes fetched from storage
};

IoCounters ReadIo()
{
    IoCounters c;
    QFile f(QStringLiteral("/proc/self/io"));
    if (!f.open(QIODevice::ReadOnly))
        return c;
    for (const QByteArray& line : f.readAll().split('\n')) {
        if (line.startsWith("rchar:"))
            c.rchar = line.mid(6).trimmed().toLongLong();
        else if (line.startsWith("read_bytes:"))
            c.readBytes = line.mid(11).trimmed().toLongLong();
    }
    return c;
}

// Drops the file's pages from the page cache (as far as the kernel agrees).
void DropCache(const QString& path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY);
    if (fd < 0)
        return;
    ::fdatasync(fd);
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
    ::close(fd);
}

struct Run {
    double ms = 0;
    qint64 logicalBytes = -1; // bytes our reader handed to FFmpeg (-1: not known)
    IoCounters io;
    qint64 samples = 0;
};

Run Extraction(const QString& path)
{
    Run r;
    const IoCounters before = ReadIo();
    QElapsedTimer clock;
    clock.start();
    CFileByteReader file(path);
    CTextData data;
    Telemetry::ExtractMp4Text(file, path, data);
    r.ms = double(clock.nsecsElapsed()) / 1e6;
    const IoCounters after = ReadIo();
    r.logicalBytes = file.BytesRead();
    r.io = {after.rchar - before.rchar, after.readBytes - before.readBytes};
    r.samples = qint64(data.gsensorList.size() + data.gpsList.size() + data.carInfoList.size());
    return r;
}

Run Demux(const QString& path)
{
    Run r;
    const IoCounters before = ReadIo();
    QElapsedTimer clock;
    clock.start();
    const CFullDemuxResult result = FullDemux(path);
    r.ms = double(clock.nsecsElapsed()) / 1e6;
    const IoCounters after = ReadIo();
    r.io = {after.rchar - before.rchar, after.readBytes - before.readBytes};
    r.samples = result.textPackets.size();
    return r;
}

// The least a cold extraction can fetch from storage: the pages the text
// samples lie in and the pages of the movie box (both whole pages).
qint64 StorageFloor(const QString& path, int* samplePages)
{
    constexpr qint64 kPage = 4096;
    QSet<qint64> pages;
    AVFormatContext* format = nullptr;
    if (avformat_open_input(&format, QFile::encodeName(path).constData(), nullptr, nullptr) < 0)
        return -1;
    for (unsigned i = 0; i < format->nb_streams; ++i) {
        AVStream* st = format->streams[i];
        if (st->codecpar->codec_type != AVMEDIA_TYPE_SUBTITLE)
            continue;
        for (int n = 0; n < avformat_index_get_entries_count(st); ++n) {
            const AVIndexEntry* e = avformat_index_get_entry(st, n);
            for (qint64 p = e->pos / kPage; p <= (e->pos + std::max(e->size, 1) - 1) / kPage; ++p)
                pages.insert(p);
        }
        break;
    }
    avformat_close_input(&format);
    *samplePages = int(pages.size());
    // The movie box among the top-level boxes.
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    qint64 at = 0;
    while (at + 8 <= f.size()) {
        f.seek(at);
        const QByteArray h = f.read(16);
        qint64 size = qint64(ReadBe32(h.constData()));
        if (size == 1)
            size = qint64(ReadBe64(h.constData() + 8));
        if (size < 8)
            break;
        if (h.mid(4, 4) == "moov") {
            for (qint64 p = at / kPage; p <= (at + size - 1) / kPage; ++p)
                pages.insert(p);
            break;
        }
        at += size;
    }
    return qint64(pages.size()) * kPage;
}

double Mb(qint64 bytes)
{
    return double(bytes) / 1048576.0;
}

void Print(const char* name, const Run& r, qint64 fileSize)
{
    std::printf("  %-22s %9.1f ms   read() %8.2f MB (%6.2f %%)   storage %8.2f MB", name, r.ms, Mb(r.io.rchar),
                100.0 * double(r.io.rchar) / double(fileSize), Mb(r.io.readBytes));
    if (r.logicalBytes >= 0)
        std::printf("   via reader %7.2f MB (%5.2f %%)", Mb(r.logicalBytes), 100.0 * double(r.logicalBytes) / double(fileSize));
    std::printf("\n");
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QString dir = QStringLiteral(KESTRAV_BENCH_DATA_DIR);
    QDir().mkpath(dir);
    const QString path = dir + QStringLiteral("/telemetry_1080p_60s.mp4");

    const QFileInfo cached(path);
    if (!cached.exists() || cached.size() < 150 * 1048576LL) {
        std::printf("Writing %s (once) ...\n", qPrintable(path));
        std::fflush(stdout);
        Mp4Options o;
        o.durationSec = 60;
        o.fps = 30;
        o.size = QSize(1920, 1080);
        o.videoKbps = 17500;
        o.noise = 60;
        o.uniqueSeconds = 2; // two seconds of pictures, repeated
        o.audio = true;
        QList<QByteArray> packets;
        for (int s = 0; s < 60; ++s) {
            packets << Mp4TextPacket(QByteArray("GPRMC,0130") + QByteArray::number(10 + s % 50)
                                     + ".000,A,3733.4512,N,12658.7000,E,030.5,090.0,210514,,,A");
            for (int k = 0; k < 10; ++k)
                packets << Mp4TextPacket("gsensori,1,256," + QByteArray::number(k) + ",-3,256");
            packets << Mp4TextPacket("CAR,0,0," + QByteArray::number(s % 2));
        }
        o.textTracks = {packets};
        QElapsedTimer clock;
        clock.start();
        QString error;
        if (!WriteTestMp4(path + QStringLiteral(".part"), o, &error)) {
            std::fprintf(stderr, "bench_telemetry_extract: %s\n", qPrintable(error));
            return 1;
        }
        QFile::remove(path);
        QFile::rename(path + QStringLiteral(".part"), path);
        std::printf("  written in %.1f s\n", double(clock.elapsed()) / 1000.0);
    }
    const qint64 size = QFileInfo(path).size();
    std::printf("bench_telemetry_extract: %s, %.1f MB\n", qPrintable(QFileInfo(path).fileName()), Mb(size));
    int samplePages = 0;
    const qint64 floor = StorageFloor(path, &samplePages);
    std::printf("  least a cold extraction can fetch: %.2f MB (%d pages holding text samples, and the movie box)\n",
                Mb(floor), samplePages);

    constexpr int kRounds = 3;
    for (const bool cold : {true, false}) {
        std::printf("%s page cache (median of %d rounds, alternating):\n", cold ? "Cold-ish" : "Warm", kRounds);
        QList<Run> ours, full;
        if (!cold) { // warm both up once
            Extraction(path);
            Demux(path);
        }
        for (int i = 0; i < kRounds; ++i) {
            if (cold)
                DropCache(path);
            ours << Extraction(path);
            if (cold)
                DropCache(path);
            full << Demux(path);
        }
        auto median = [](QList<Run> runs) {
            std::sort(runs.begin(), runs.end(), [](const Run& a, const Run& b) { return a.ms < b.ms; });
            return runs[runs.size() / 2];
        };
        const Run a = median(ours);
        const Run b = median(full);
        Print("telemetry extraction", a, size);
        Print("full demultiplexing", b, size);
        std::printf("  ratio: %.1f x faster, %.2f %% of the full demultiplexing's read() bytes (%lld samples, %lld text "
                    "packets)\n",
                    b.ms / a.ms, 100.0 * double(a.io.rchar) / double(b.io.rchar), static_cast<long long>(a.samples),
                    static_cast<long long>(b.samples));
    }
    return 0;
}
