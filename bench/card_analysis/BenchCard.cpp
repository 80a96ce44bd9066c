#include "BenchCard.h"

#include "writers/AviWriter.h"
#include "writers/DemoCard.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int kVideoChunk = 96 * 1024; // front, per second
constexpr int kRearChunk = kVideoChunk / 4;
constexpr int kAudioChunk = 32000;     // 16 kHz mono PCM

CAviWriter Streams(int seconds)
{
    CAviWriter w;
    w.AddStream(CAviWriter::VideoStream("H264", 1280, 720, 30, seconds * 30));
    w.AddStream(CAviWriter::VideoStream("H264", 640, 360, 30, seconds * 30));
    w.AddStream(CAviWriter::AudioStreamPcm(16000, 1));
    w.AddStream(CAviWriter::TextStream());
    return w;
}

// The text chunks of second `s` (id, payload).
QList<QByteArray> TextOfSecond(int n, int s)
{
    QList<QByteArray> out;
    for (int g = 0; g < 10; ++g)
        out << CAviWriter::TextPayload("gsensori,1,256," + QByteArray::number((s * 10 + g + n) % 300) + ",3,250", 64);
    const QByteArray rmc = QStringLiteral("GPRMC,%1%2%3,A,3733.%4,N,12658.%5,E,30.0,90.0,010124")
                               .arg(10 + (n / 3600) % 14, 2, 10, QLatin1Char('0'))
                               .arg((n / 60) % 60, 2, 10, QLatin1Char('0'))
                               .arg(s % 60, 2, 10, QLatin1Char('0'))
                               .arg(s * 10 % 10000, 4, 10, QLatin1Char('0'))
                               .arg(n % 9000, 4, 10, QLatin1Char('0'))
                               .toLatin1();
    out << CAviWriter::TextPayload(rmc, 120);
    out << CAviWriter::TextPayload("CAR,0,1,0", 16);
    return out;
}

void AppendLe32To(QByteArray& out, quint32 v)
{
    for (int i = 0; i < 4; ++i)
        out.append(char((v >> (8 * i)) & 0xFF));
}

} // namespace

QByteArray BenchRecordingByWriter(int n, int seconds)
{
    CAviWriter w = Streams(seconds);
    for (int s = 0; s < seconds; ++s) {
        w.AddChunk("00dc", QByteArray(kVideoChunk, '\0'));
        w.AddChunk("01dc", QByteArray(kRearChunk, '\0'));
        w.AddChunk("02wb", QByteArray(kAudioChunk, '\0'));
        for (const QByteArray& t : TextOfSecond(n, s))
            w.AddChunk("03tx", t);
    }
    return w.Build();
}

CSparseFile BenchRecording(int n, int seconds)
{
    // The header list as the writer lays it out for these streams.
    const QByteArray empty = Streams(seconds).Build();
    quint32 s1 = 0;
    std::memcpy(&s1, empty.constData() + 16, 4);
    const QByteArray header = empty.left(20 + qsizetype(s1));

    CSparseFile f;
    QByteArray index;
    qint64 at = header.size() + 12; // first chunk, after the media list header
    const qint64 base = header.size() + 8; // the media list's type
    auto indexEntry = [&index, base](const char* id, qint64 pos, quint32 size) {
        index.append(id, 4);
        AppendLe32To(index, 0x10);
        AppendLe32To(index, quint32(pos - base));
        AppendLe32To(index, size);
    };
    auto media = [&](const char* id, quint32 size) {
        QByteArray h(id, 4);
        AppendLe32To(h, size);
        f.pieces.append({at, h});
        indexEntry(id, at, size);
        at += 8 + size + (size % 2);
    };
    for (int s = 0; s < seconds; ++s) {
        media("00dc", kVideoChunk);
        media("01dc", kRearChunk);
        media("02wb", kAudioChunk);
        QByteArray cluster;
        const qint64 clusterAt = at;
        for (const QByteArray& t : TextOfSecond(n, s)) {
            indexEntry("03tx", at, quint32(t.size()));
            cluster.append("03tx", 4);
            AppendLe32To(cluster, quint32(t.size()));
            cluster.append(t);
            if (t.size() % 2)
                cluster.append('\0');
            at += 8 + t.size() + (t.size() % 2);
        }
        f.pieces.append({clusterAt, cluster});
    }
    const qint64 moviSize = at - base; // from the list type to the last chunk
    QByteArray head = header;
    head.append("LIST", 4);
    AppendLe32To(head, quint32(moviSize));
    head.append("movi", 4);
    QByteArray idx1("idx1", 4);
    AppendLe32To(idx1, quint32(index.size()));
    idx1.append(index);
    f.pieces.prepend({0, head});
    f.pieces.append({at, idx1});
    f.size = at + idx1.size();
    quint32 riff = quint32(f.size - 8);
    std::memcpy(f.pieces.first().second.data() + 4, &riff, 4);
    return f;
}

QByteArray Materialize(const CSparseFile& file)
{
    QByteArray bytes(file.size, '\0');
    for (const auto& [at, piece] : file.pieces)
        std::memcpy(bytes.data() + at, piece.constData(), size_t(piece.size()));
    return bytes;
}

bool WriteSparseFile(const QString& path, const CSparseFile& file)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0)
        return false;
    bool ok = true;
    for (const auto& [at, piece] : file.pieces)
        ok = ok && ::pwrite(fd, piece.constData(), size_t(piece.size()), at) == piece.size();
    ok = ok && ::ftruncate(fd, file.size) == 0;
    return ::close(fd) == 0 && ok;
}

bool WriteBenchCard(const QString& root, int count, int minSeconds, int maxSeconds, const QByteArray& model,
                    CBenchCard& card, QString* error)
{
    const QStringList folders = DemoCategoryFolders();
    card.root = root.endsWith(QLatin1Char('/')) ? root : root + QLatin1Char('/');
    const QString stamp = card.root + QStringLiteral(".bench-card-%1-%2-%3").arg(count).arg(minSeconds).arg(maxSeconds);
    card.reused = QFile::exists(stamp);
    if (!card.reused) {
        // A card of another shape would mix in: start afresh.
        for (const QString& folder : folders)
            QDir(card.root + folder).removeRecursively();
        QDir(card.root).mkpath(QStringLiteral("SETTING"));
        QFile setup(card.root + QStringLiteral("SETTING/setup.cfg"));
        if (!setup.open(QIODevice::WriteOnly) || setup.write(DemoDeviceRecord(model)) != kDemoDeviceRecordSize) {
            *error = QStringLiteral("cannot write the device record");
            return false;
        }
        for (QFileInfo stale : QDir(card.root).entryInfoList({QStringLiteral(".bench-card-*")}, QDir::Files | QDir::Hidden))
            QFile::remove(stale.filePath());
    }
    for (int i = 0; i < count; ++i) {
        const QString folder = card.root + folders[i % folders.size()];
        const int seconds = minSeconds + (maxSeconds > minSeconds ? (i * 7) % (maxSeconds - minSeconds + 1) : 0);
        const QString path = folder + QStringLiteral("/REC_2024_01_%1_%2_%3_00_F.AVI")
                                          .arg(1 + i / 1440, 2, 10, QLatin1Char('0'))
                                          .arg((i / 60) % 24, 2, 10, QLatin1Char('0'))
                                          .arg(i % 60, 2, 10, QLatin1Char('0'));
        card.files << path;
        if (!card.reused) {
            QDir().mkpath(folder);
            const CSparseFile layout = BenchRecording(i, seconds);
            if (!WriteSparseFile(path, layout)) {
                *error = QStringLiteral("cannot write ") + path;
                return false;
            }
        }
        struct stat st {};
        if (::stat(QFile::encodeName(path).constData(), &st) != 0) {
            *error = QStringLiteral("missing ") + path;
            return false;
        }
        card.logicalBytes += st.st_size;
        card.storedBytes += qint64(st.st_blocks) * 512;
    }
    if (!card.reused) {
        ::sync();
        QFile(stamp).open(QIODevice::WriteOnly);
    }
    return true;
}
