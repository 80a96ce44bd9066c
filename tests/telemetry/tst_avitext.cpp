// The AVI walk: index, text chunks, split records, and bad files.
#include "telemetry/AviText.h"
#include "telemetry/Extract.h"
#include "telemetry/Mp4Text.h"
#include "writers/AviWriter.h"
#include "support/TraceCapture.h"

#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>
#include <cstring>
#include <sys/stat.h>

namespace {
const QByteArray kRmc("GPRMC,123519.000,A,4807.038,N,01131.000,E,022.4,084.4,230394");

// A camera-like file: front video, audio, text; text chunks interleaved.
CAviWriter CameraLikeFile(int seconds)
{
    CAviWriter w;
    w.AddStream(CAviWriter::VideoStream("H264", 64, 48, 30, seconds * 2));
    w.AddStream(CAviWriter::AudioStreamPcm(8000, 1));
    w.AddStream(CAviWriter::TextStream());
    for (int s = 0; s < seconds; ++s) {
        w.AddChunk("00dc", QByteArray(301 + s, char(0x11)));
        w.AddChunk("01wb", QByteArray(200, char(0x22)));
        w.AddChunk("02tx", CAviWriter::TextPayload("gsensori,1,256," + QByteArray::number(s) + ",0,128", 64));
        w.AddChunk("00dc", QByteArray(57, char(0x33)));
        w.AddChunk("02tx", CAviWriter::TextPayload("GPRMC,1200" + QByteArray::number(10 + s) + ",A,3730.5,N,12658.5,E,10,90,010124"));
        w.AddChunk("02tx", CAviWriter::TextPayload("CAR," + QByteArray::number(s % 2) + ",0,1"));
    }
    return w;
}

CTextData Extract(const QByteArray& bytes)
{
    CMemoryByteReader reader(bytes);
    CTextData data;
    Telemetry::ExtractAviText(reader, QStringLiteral("mem.avi"), data);
    return data;
}

// A byte source as the tests need it: fails every read whose range touches
// [failFrom, failTo), hands out at most `maxRead` bytes per call, holds in
// memory only what lies before `coldFrom` (ReadAtIfCached of anything
// reaching past it gives -1), and records what it was asked.
class CTestReader : public IByteReader
{
public:
    explicit CTestReader(QByteArray bytes) : m_bytes(std::move(bytes)) {}
    int64_t Size() const override { return m_bytes.size(); }
    int64_t ReadAt(int64_t offset, char* out, int64_t length) override
    {
        reads.append({offset, length});
        return Copy(offset, out, length);
    }
    int64_t ReadAtIfCached(int64_t offset, char* out, int64_t length) override
    {
        tries.append({offset, length});
        if (offset + length > coldFrom)
            return -1;
        const int64_t n = Copy(offset, out, length);
        if (n > 0)
            fromMemory.append({offset, n});
        return n;
    }
    void WillRead(int64_t offset, int64_t length) override { announced.append({offset, length}); }

    int64_t failFrom = -1;
    int64_t failTo = -1;
    int64_t maxRead = INT64_MAX;
    int64_t coldFrom = INT64_MAX;
    QList<QPair<int64_t, int64_t>> reads;      // ReadAt
    QList<QPair<int64_t, int64_t>> tries;      // ReadAtIfCached
    QList<QPair<int64_t, int64_t>> fromMemory; // what those delivered
    QList<QPair<int64_t, int64_t>> announced;

private:
    int64_t Copy(int64_t offset, char* out, int64_t length)
    {
        if (offset < 0 || length <= 0 || offset >= Size())
            return 0;
        const int64_t n = std::min({length, Size() - offset, maxRead});
        if (failFrom >= 0 && offset < failTo && offset + std::min(length, Size() - offset) > failFrom)
            return -1;
        std::memcpy(out, m_bytes.constData() + offset, size_t(n));
        m_bytesRead += n;
        return n;
    }
    QByteArray m_bytes;
};

QString TextUpToZero(const char* bytes, int length)
{
    const int n = int(qstrnlen(bytes, uint(length)));
    return QString::fromLocal8Bit(bytes, n);
}

// The walk as a plain reading of the layout gives it, each text chunk read
// on its own (header and 120 bytes): what the grouped reads must yield.
struct CPlainWalk {
    CTextData data;
    QStringList invalid; // the invalid-size traces
};
CPlainWalk PlainWalk(IByteReader& file)
{
    CPlainWalk r;
    char first[12];
    if (file.ReadAt(12, first, 12) != 12)
        return r;
    const int64_t second = 24 + int64_t(ReadLe32(first + 4)) - 4;
    char list[12] = {};
    if (second >= 0)
        file.ReadAt(second, list, 12);
    const int64_t base = second + 8;
    const int64_t idx1 = base + int64_t(ReadLe32(list + 4));
    char header[8];
    if (second < 0 || file.ReadAt(idx1, header, 8) != 8 || std::memcmp(header, "idx1", 4) != 0)
        return r;
    const int64_t entries = std::min<int64_t>(ReadLe32(header + 4), std::max<int64_t>(0, file.Size() - idx1 - 8)) / 16;
    QByteArray index(entries * 16, '\0');
    const int64_t got = entries > 0 ? file.ReadAt(idx1 + 8, index.data(), index.size()) : 0;
    QList<int64_t> chunks;
    for (int64_t i = 0; i < std::max<int64_t>(0, got) / 16; ++i)
        if ((ReadLe32(index.constData() + i * 16) >> 16) == 0x7874)
            chunks << base + int64_t(ReadLe32(index.constData() + i * 16 + 8));
    for (int n = 0; n < chunks.size(); ++n) {
        char c[128];
        const int64_t g = file.ReadAt(chunks[n], c, 128);
        if (g < 8)
            continue;
        const uint32_t size = ReadLe32(c + 4);
        if (size > 120) {
            r.invalid << QStringLiteral("ExtractText:  [%1/%2] * invalid chunk size = %3").arg(n + 1).arg(chunks.size()).arg(size);
            continue;
        }
        if (g < 8 + int64_t(size))
            continue;
        const char* p = c + 8;
        if (size == 112 && p[93] != 0)
            r.data.AddSplitRecord(TextUpToZero(p, 90), TextUpToZero(p + 92, 20));
        else
            r.data.AddTextRecord(TextUpToZero(p, int(size)));
    }
    return r;
}

// Text clusters of `perSecond` chunks (ten G-sensor records, a fix, a
// signal record, repeated), one a second, `media` bytes of pictures between them.
CAviWriter Spaced(int seconds, int media, int perSecond = 12)
{
    CAviWriter w;
    w.AddStream(CAviWriter::VideoStream("H264", 64, 48, 30, seconds));
    w.AddStream(CAviWriter::TextStream());
    for (int s = 0; s < seconds; ++s) {
        if (media > 0)
            w.AddChunk("00dc", QByteArray(media, char(0x5A)));
        for (int k = 0; k < perSecond; ++k) {
            if (k % 12 == 10)
                w.AddChunk("01tx", CAviWriter::TextPayload(kRmc, 120));
            else if (k % 12 == 11)
                w.AddChunk("01tx", CAviWriter::TextPayload("CAR,0,1," + QByteArray::number(s % 2), 16));
            else
                w.AddChunk("01tx", CAviWriter::TextPayload("gsensori,1,256," + QByteArray::number(s * 10 + k) + ",3,250", 64));
        }
    }
    return w;
}

template <typename T>
bool IsPrefix(const std::vector<T>& part, const std::vector<T>& whole)
{
    return part.size() <= whole.size() && std::equal(part.begin(), part.end(), whole.begin());
}
} // namespace

class TestAviText : public QObject
{
    Q_OBJECT
private slots:
    void walksTheIndex();
    void onlyTextChunksInIndexOrder();
    void payloadKinds();
    void invalidChunkSizes();
    void indexPointingOutside_data();
    void indexPointingOutside();
    void structuralFailures_data();
    void structuralFailures();
    void missingFile();
    void notARegularFile();
    void truncations();
    void garbage();
    void checkH264_data();
    void checkH264();
    void groupedReadsGiveWhatChunkReadsGive_data();
    void groupedReadsGiveWhatChunkReadsGive();
    void fewReadsPerRecording_data();
    void fewReadsPerRecording();
    void garbageAgainstChunkReads();
    void realFileCachedAndCold();
};

void TestAviText::walksTheIndex()
{
    CTraceCapture trace;
    const CTextData data = Extract(CameraLikeFile(5).Build());
    QCOMPARE(data.gsensorList.size(), size_t(5));
    QCOMPARE(data.gpsList.size(), size_t(5));
    QCOMPARE(data.carInfoList.size(), size_t(5));
    QCOMPARE(data.gsensorList[3], CGSensorData(3 * 128 / 256, 0, 64));
    QCOMPARE(data.gpsList[4].second, 14);
    QCOMPARE(data.gpsList[4].longitude, 12658.5);
    QCOMPARE(data.carInfoList[1].brake, 1);
    const QStringList done = trace.LinesStartingWith(QStringLiteral("ExtractText: Elapsed Time:"));
    QCOMPARE(done.size(), 1);
    QVERIFY2(QRegularExpression(QStringLiteral("^ExtractText: Elapsed Time: <\\d+ ms> GSensor=5, GPS=5$")).match(done[0]).hasMatch(),
             qPrintable(done[0]));

    // Appends to what the container already holds.
    CTextData more = data;
    CMemoryByteReader again(CameraLikeFile(2).Build());
    Telemetry::ExtractAviText(again, QStringLiteral("x"), more);
    QCOMPARE(more.gsensorList.size(), size_t(7));
}

void TestAviText::onlyTextChunksInIndexOrder()
{
    CAviWriter w;
    w.AddStream(CAviWriter::VideoStream("H264", 16, 16, 30, 1));
    w.AddChunk("00dc", CAviWriter::TextPayload("gsensor,9,9,9"));  // not text: ignored
    w.AddChunk("01wb", CAviWriter::TextPayload("gsensor,8,8,8"));  // not text: ignored
    w.AddChunk("02tx", CAviWriter::TextPayload("gsensor,1,0,0"));
    w.AddChunk("17tx", CAviWriter::TextPayload("gsensor,2,0,0")); // any stream number
    w.AddChunk("02tx", CAviWriter::TextPayload("gsensor,3,0,0"));
    CAviWriter::Chunk hidden;
    hidden.id = "02tx";
    hidden.payload = "gsensor,4,0,0";
    hidden.inIndex = false; // in the media list but not indexed: not read
    w.AddChunk(hidden);
    w.indexOrder = {4, 0, 2, 1, 3};
    const CTextData data = Extract(w.Build());
    QCOMPARE(data.gsensorList.size(), size_t(3));
    QCOMPARE(data.gsensorList[0].x, 3);
    QCOMPARE(data.gsensorList[1].x, 1);
    QCOMPARE(data.gsensorList[2].x, 2);
}

void TestAviText::payloadKinds()
{
    CAviWriter w;
    w.AddStream(CAviWriter::TextStream());
    // Split: RMC at 0, G-sensor text at 92 (byte 93 non-zero).
    w.AddChunk("00tx", CAviWriter::SplitPayload(kRmc, "12,-3,130"));
    // 112 bytes whose byte 93 is zero: one plain record.
    w.AddChunk("00tx", CAviWriter::TextPayload("gsensor,5,6,7", 112));
    // 120 bytes without any zero: all 120 characters are the record.
    w.AddChunk("00tx", "gsensor,1,2," + QByteArray(107, '0') + "5");
    // Text after the first zero byte is not part of the record.
    w.AddChunk("00tx", QByteArray("CAR,1,1,0\0CAR,0,0,0", 19));
    // An empty payload decodes to nothing.
    w.AddChunk("00tx", QByteArray());
    const CTextData data = Extract(w.Build());
    QCOMPARE(data.gsensorList.size(), size_t(3));
    QCOMPARE(data.gsensorList[0], CGSensorData(12, -3, 130));
    QCOMPARE(data.gsensorList[1], CGSensorData(5, 6, 7));
    QCOMPARE(data.gsensorList[2], CGSensorData(1, 2, 5));
    QCOMPARE(data.gpsList.size(), size_t(1));
    QCOMPARE(data.gpsList[0].latitude, 4807.038);
    QCOMPARE(data.gpsList[0].speed, double(22.4f * 1.852f));
    QCOMPARE(data.carInfoList.size(), size_t(1));
    QCOMPARE(data.carInfoList[0].left, 1);
}

void TestAviText::invalidChunkSizes()
{
    CAviWriter w;
    w.AddStream(CAviWriter::TextStream());
    w.AddChunk("00tx", CAviWriter::TextPayload("gsensor,1,0,0"));
    w.AddChunk("00tx", CAviWriter::TextPayload("gsensor,2,0,0", 121));
    CAviWriter::Chunk lying;
    lying.id = "00tx";
    lying.payload = "gsensor,3,0,0";
    lying.declaredSize = 0x7FFFFFFF;
    w.AddChunk(lying);
    w.AddChunk("00tx", CAviWriter::TextPayload("gsensor,4,0,0", 120));

    CTraceCapture trace;
    const CTextData data = Extract(w.Build());
    QCOMPARE(data.gsensorList.size(), size_t(2));
    QCOMPARE(data.gsensorList[0].x, 1);
    QCOMPARE(data.gsensorList[1].x, 4);
    QVERIFY(trace.Contains(QStringLiteral("ExtractText:  [2/4] * invalid chunk size = 121")));
    QVERIFY(trace.Contains(QStringLiteral("ExtractText:  [3/4] * invalid chunk size = 2147483647")));
}

void TestAviText::indexPointingOutside_data()
{
    QTest::addColumn<qint64>("offset");
    QTest::newRow("just past the end") << qint64(0x10000);
    QTest::newRow("beyond 2 GB") << qint64(0x7FFFFFF0);
    QTest::newRow("near 4 GB") << qint64(0xFFFFFFF8);
    QTest::newRow("inside the index") << qint64(-2); // resolved below
}

void TestAviText::indexPointingOutside()
{
    QFETCH(qint64, offset);
    CAviWriter w;
    w.AddStream(CAviWriter::TextStream());
    w.AddChunk("00tx", CAviWriter::TextPayload("gsensor,1,0,0"));
    CAviWriter::Chunk bad;
    bad.id = "00tx";
    bad.payload = "gsensor,2,0,0";
    bad.indexOffsetOverride = offset;
    if (offset == -2) {
        // Point into the last bytes of the file: the chunk header or payload is cut.
        const QByteArray probe = w.Build();
        bad.indexOffsetOverride = probe.size() + 40;
    }
    w.AddChunk(bad);
    w.AddChunk("00tx", CAviWriter::TextPayload("gsensor,3,0,0"));
    const CTextData data = Extract(w.Build());
    QVERIFY(data.gsensorList.size() >= 2);
    QCOMPARE(data.gsensorList.front().x, 1);
    QCOMPARE(data.gsensorList.back().x, 3);
}

void TestAviText::structuralFailures_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("trace");
    CAviWriter junk = CameraLikeFile(2);
    junk.junkBetweenLists = true;
    CAviWriter noIndex = CameraLikeFile(2);
    noIndex.writeIndex = false;
    const QByteArray good = CameraLikeFile(2).Build();
    QByteArray badIndexCode = good;
    badIndexCode.replace(badIndexCode.lastIndexOf("idx1"), 4, "IDX1");
    QByteArray hugeFirstList = good;
    PutLe32(hugeFirstList, 16, 0xFFFFFFF0u);
    QByteArray tinyFirstList = good;
    PutLe32(tinyFirstList, 16, 0); // S1 - 4 steps backwards

    QTest::newRow("junk between lists") << junk.Build() << "ExtractText: Wrong File Open_T2[mem.avi]";
    QTest::newRow("no index") << noIndex.Build() << "ExtractText: Wrong File Open_T2[mem.avi]";
    QTest::newRow("index code differs") << badIndexCode << "ExtractText: Wrong File Open_T2[mem.avi]";
    QTest::newRow("first list size past end") << hugeFirstList << "ExtractText: Wrong File Open_T2[mem.avi]";
    QTest::newRow("first list size zero") << tinyFirstList << "ExtractText: Wrong File Open_T2[mem.avi]";
    QTest::newRow("ends after the lists") << good.left(good.lastIndexOf("idx1")) << "ExtractText: Wrong File Open_T2[mem.avi]";
    QTest::newRow("empty") << QByteArray() << "ExtractText: Wrong File Open[mem.avi]";
    QTest::newRow("shorter than the first list") << good.left(20) << "ExtractText: Wrong File Open[mem.avi]";
}

void TestAviText::structuralFailures()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, trace);
    CTraceCapture capture;
    const CTextData data = Extract(bytes);
    QVERIFY(data.IsEmpty());
    QVERIFY2(capture.Contains(trace), qPrintable(capture.Lines().join(QLatin1Char('\n'))));
    QVERIFY(capture.LinesStartingWith(QStringLiteral("ExtractText: Elapsed")).isEmpty());
}

void TestAviText::missingFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("absent.avi"));
    CTraceCapture trace;
    CTextData data;
    Telemetry::ExtractAviText(path, data);
    QVERIFY(data.IsEmpty());
    QVERIFY2(trace.Contains(QStringLiteral("ExtractText: File Open Error cause (2) ") + path),
             qPrintable(trace.Lines().join(QLatin1Char('\n'))));

    // The same walk through a real file gives what the memory walk gives.
    const QString real = dir.filePath(QStringLiteral("real.avi"));
    QVERIFY(CameraLikeFile(3).WriteTo(real));
    CTextData fromFile;
    Telemetry::ExtractAviText(real, fromFile);
    QCOMPARE(fromFile.gsensorList, Extract(CameraLikeFile(3).Build()).gsensorList);
}

// A FIFO (or a device node) among the recordings must not block a reader:
// opening a FIFO for reading waits for a writer that never comes.
void TestAviText::notARegularFile()
{
    QTemporaryDir dir;
    const QString fifo = dir.filePath(QStringLiteral("REC_2014_05_21_10_00_00_F.AVI"));
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    CTextData data;
    Telemetry::ExtractText(fifo, data);
    QVERIFY(data.IsEmpty());
    QCOMPARE(Telemetry::CheckH264(fifo), 0);
    QVERIFY(!Telemetry::IsMp4Recording(fifo));
    CFileByteReader reader(fifo);
    QVERIFY(!reader.IsOpen());
    QCOMPARE(reader.ErrorCause(), EINVAL);
}

void TestAviText::truncations()
{
    // Every cut of a valid file: no crash, and what is decoded is a prefix
    // of the full result (the index comes last, so most cuts lose it).
    const QByteArray full = CameraLikeFile(4).Build();
    const CTextData all = Extract(full);
    QCOMPARE(all.gsensorList.size(), size_t(4));
    int partial = 0;
    for (qsizetype cut = 0; cut < full.size(); ++cut) {
        const CTextData part = Extract(full.left(cut));
        QVERIFY2(IsPrefix(part.gsensorList, all.gsensorList), qPrintable(QString::number(cut)));
        QVERIFY(IsPrefix(part.gpsList, all.gpsList));
        QVERIFY(IsPrefix(part.carInfoList, all.carInfoList));
        if (!part.IsEmpty())
            ++partial;
    }
    QVERIFY(partial > 0); // cuts inside the index keep the entries before the cut
}

void TestAviText::garbage()
{
    QRandomGenerator rng(1234);
    const QByteArray valid = CameraLikeFile(3).Build();
    for (int round = 0; round < 400; ++round) {
        QByteArray bytes;
        if (round % 2) {
            bytes.resize(rng.bounded(0, 600));
            for (char& c : bytes)
                c = char(rng.bounded(256));
        } else {
            // Flip a few bytes of a valid file, headers included.
            bytes = valid;
            for (int i = 0; i < 6; ++i)
                bytes[rng.bounded(int(bytes.size()))] = char(rng.bounded(256));
        }
        CTextData data = Extract(bytes);
        QVERIFY(data.gsensorList.size() <= 16 && data.gpsList.size() <= 16);
    }
}

void TestAviText::checkH264_data()
{
    QTest::addColumn<QByteArray>("handler");
    QTest::addColumn<int>("expected");
    QTest::newRow("H264") << QByteArray("H264") << 1;
    QTest::newRow("AVC1") << QByteArray("AVC1") << 1;
    QTest::newRow("lower-case h264") << QByteArray("h264") << 0;
    QTest::newRow("lower-case avc1") << QByteArray("avc1") << 0;
    QTest::newRow("MJPG") << QByteArray("MJPG") << 0;
    QTest::newRow("X264") << QByteArray("X264") << 0;
}

void TestAviText::checkH264()
{
    QFETCH(QByteArray, handler);
    QFETCH(int, expected);
    CAviWriter w;
    w.AddStream(CAviWriter::VideoStream(handler, 64, 48, 30, 1));
    w.AddStream(CAviWriter::VideoStream("MJPG", 64, 48, 30, 1)); // only the first counts
    w.AddChunk("00dc", QByteArray(10, 'v'));
    const QByteArray bytes = w.Build();
    CMemoryByteReader reader(bytes);
    QCOMPARE(Telemetry::CheckH264(reader), expected);

    // Cut before the handler code: 0.
    CMemoryByteReader cut(bytes.left(110));
    QCOMPARE(Telemetry::CheckH264(cut), 0);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("v.avi"));
    QVERIFY(w.WriteTo(path));
    QCOMPARE(Telemetry::CheckH264(path), expected);
    CTraceCapture trace;
    QCOMPARE(Telemetry::CheckH264(dir.filePath(QStringLiteral("none.avi"))), 0);
    QVERIFY(trace.Contains(QStringLiteral("File Open Error[CheckH264] cause (2) ") + dir.filePath(QStringLiteral("none.avi"))));
}

void TestAviText::groupedReadsGiveWhatChunkReadsGive_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<qint64>("failFrom"); // reads touching [failFrom, failTo) fail
    QTest::addColumn<qint64>("failTo");
    QTest::addColumn<qint64>("maxRead");  // at most this many bytes per read
    QTest::addColumn<double>("cold");     // the part of the file not in memory, from its end

    const QByteArray spaced = Spaced(8, 70000).Build();
    const QByteArray packed = Spaced(40, 0).Build(); // 480 chunks back to back: several full groups
    const qint64 none = -1;
    const qint64 all = INT64_MAX;
    QTest::newRow("spaced") << spaced << none << none << all << 0.5;
    QTest::newRow("packed") << packed << none << none << all << 0.5;
    QTest::newRow("packed, short reads") << packed << none << none << qint64(100) << 1.0;
    QTest::newRow("packed, reads of a page") << packed << none << none << qint64(4096) << 0.0;
    const qint64 third = packed.indexOf("gsensori,1,256,200,");
    QTest::newRow("read error inside a group") << packed << third << third + 1 << all << 1.0;
    QTest::newRow("read error inside a group, in memory") << packed << third << third + 1 << all << 0.0;
    QTest::newRow("read error over a group's end") << packed << third - 3000 << third + 200 << all << 0.3;
    const qint64 idx1 = packed.lastIndexOf("idx1");
    QTest::newRow("read error in the index") << packed << idx1 + 400 << idx1 + 401 << all << 1.0;
    QTest::newRow("read error in the head") << packed << qint64(20) << qint64(21) << all << 0.0;

    // The file ends inside the last chunks, after the index was moved ahead of them.
    for (int cut : {1, 9, 60, 127, 200}) {
        CAviWriter w = Spaced(3, 5000);
        QByteArray bytes = w.Build();
        // Point the last text entry at the last `cut` bytes of the file.
        const qint64 lastEntry = bytes.size() - 16;
        const qint64 base = bytes.indexOf("movi");
        PutLe32(bytes, lastEntry + 8, uint32_t(bytes.size() - cut - base));
        QTest::newRow(qPrintable(QStringLiteral("chunk cut by the file's end after %1 bytes").arg(cut)))
            << bytes << none << none << all << (cut % 2 ? 1.0 : 0.0);
    }

    // Overlapping, repeated and unsorted offsets; sizes that lie.
    CAviWriter messy = Spaced(6, 3000);
    CAviWriter::Chunk lying;
    lying.id = "01tx";
    lying.payload = "gsensor,5,5,5";
    lying.declaredSize = 120; // the payload is shorter: the next chunk's bytes follow
    messy.AddChunk(lying);
    CAviWriter::Chunk huge = lying;
    huge.declaredSize = 0x7FFFFFFF;
    messy.AddChunk(huge);
    CAviWriter::Chunk into = lying;
    into.indexOffsetOverride = 4 + 3000 + 8 + 30; // into the middle of the first text chunk
    messy.AddChunk(into);
    CAviWriter::Chunk far = lying;
    far.indexOffsetOverride = 0xFFFFFFF0u;
    messy.AddChunk(far);
    QList<int> order;
    for (int i = 0; i < 6 * 13 + 4; ++i)
        order << i;
    QRandomGenerator rng(77);
    for (int i = order.size() - 1; i > 0; --i)
        order.swapItemsAt(i, rng.bounded(i + 1));
    order << order.mid(0, 10); // each of these twice
    messy.indexOrder = order;
    QTest::newRow("unsorted, overlapping, repeated") << messy.Build() << none << none << all << 0.5;
    QTest::newRow("unsorted, overlapping, repeated, cold") << messy.Build() << none << none << all << 1.0;
    const QByteArray messyBytes = messy.Build();
    QTest::newRow("unsorted, with a read error") << messyBytes << qint64(messyBytes.size() / 3)
                                                 << qint64(messyBytes.size() / 3 + 50) << all << 0.8;
}

void TestAviText::groupedReadsGiveWhatChunkReadsGive()
{
    QFETCH(QByteArray, bytes);
    QFETCH(qint64, failFrom);
    QFETCH(qint64, failTo);
    QFETCH(qint64, maxRead);
    QFETCH(double, cold);
    CTestReader plain(bytes);
    plain.failFrom = failFrom;
    plain.failTo = failTo;
    plain.maxRead = maxRead;
    const CPlainWalk expected = PlainWalk(plain);

    CTestReader grouped(bytes);
    grouped.failFrom = failFrom;
    grouped.failTo = failTo;
    grouped.maxRead = maxRead;
    grouped.coldFrom = bytes.size() - qint64(cold * double(bytes.size()));
    CTraceCapture trace;
    CTextData data;
    Telemetry::ExtractAviText(grouped, QStringLiteral("mem.avi"), data);
    QCOMPARE(data.gsensorList, expected.data.gsensorList);
    QCOMPARE(data.gpsList, expected.data.gpsList);
    QCOMPARE(data.carInfoList, expected.data.carInfoList);
    QCOMPARE(trace.LinesStartingWith(QStringLiteral("ExtractText:  [")), expected.invalid);
    if (failFrom < 0 && maxRead == INT64_MAX)
        QVERIFY(!data.IsEmpty());
    // Every read within the file's bounds.
    for (const auto& [offset, length] : grouped.reads + grouped.tries)
        QVERIFY2(offset >= 0 && length > 0 && offset < bytes.size(), qPrintable(QStringLiteral("%1+%2").arg(offset).arg(length)));
}

void TestAviText::fewReadsPerRecording_data()
{
    QTest::addColumn<int>("media");   // bytes of pictures between the seconds' text
    QTest::addColumn<double>("cold"); // the part of the file not in memory, from its end
    for (double cold : {0.0, 1.0, 0.5}) {
        const QString state = cold == 0.0 ? QStringLiteral("in memory") : cold == 1.0 ? QStringLiteral("cold") : QStringLiteral("half cold");
        QTest::newRow(qPrintable(QStringLiteral("a camera's bit rate, ") + state)) << 150000 << cold;
        QTest::newRow(qPrintable(QStringLiteral("just over a group's reach, ") + state)) << 66000 << cold;
        QTest::newRow(qPrintable(QStringLiteral("small pictures, ") + state)) << 3000 << cold;
        QTest::newRow(qPrintable(QStringLiteral("text only, ") + state)) << 0 << cold;
    }
}

void TestAviText::fewReadsPerRecording()
{
    QFETCH(int, media);
    QFETCH(double, cold);
    constexpr int kSeconds = 60;
    const QByteArray bytes = Spaced(kSeconds, media).Build();
    const qsizetype index = bytes.lastIndexOf("idx1");
    CTestReader file(bytes);
    file.coldFrom = bytes.size() - qint64(cold * double(bytes.size()));
    CTextData data;
    Telemetry::ExtractAviText(file, QStringLiteral("mem.avi"), data);
    QCOMPARE(data.gsensorList.size(), size_t(kSeconds * 10));
    QCOMPARE(data.gpsList.size(), size_t(kSeconds));
    QCOMPARE(data.carInfoList.size(), size_t(kSeconds));

    // The head and the index; then the text in groups of at most 64 KiB
    // that together take at most twice what reading each chunk alone would:
    // copied while in memory, and from the first group that is not, all
    // the rest announced once and read waiting.
    auto isText = [index](const QPair<int64_t, int64_t>& r) { return r.first != 0 && r.first != index; };
    QList<QPair<int64_t, int64_t>> waited;
    for (const auto& r : file.reads)
        if (isText(r))
            waited << r;
    QVERIFY(file.reads.size() <= waited.size() + 2);
    const QList<QPair<int64_t, int64_t>> groups = file.fromMemory + waited;
    qint64 textBytes = 0;
    for (const auto& [offset, length] : groups) {
        QVERIFY2(length <= Telemetry::kMaxGroupRead, qPrintable(QString::number(length)));
        textBytes += length;
    }
    QVERIFY2(textBytes <= 2 * 128 * kSeconds * 12, qPrintable(QString::number(textBytes)));
    QCOMPARE(file.announced, waited);
    QCOMPARE(file.tries.size(), file.fromMemory.size() + (waited.isEmpty() ? 0 : 1));
    if (cold == 0.0)
        QVERIFY(waited.isEmpty());
    if (cold == 1.0)
        QVERIFY(file.fromMemory.isEmpty());
    if (cold == 0.5 && media > 0) // (text alone makes one or two groups)
        QVERIFY(!file.fromMemory.isEmpty() && !waited.isEmpty());
    if (media > Telemetry::kMaxGroupRead)
        QCOMPARE(groups.size(), kSeconds); // one read per second's cluster
    else
        QVERIFY2(groups.size() <= kSeconds, qPrintable(QString::number(groups.size())));
    if (media == 0)
        QVERIFY2(groups.size() <= 2, qPrintable(QString::number(groups.size())));
}

void TestAviText::garbageAgainstChunkReads()
{
    // Flipped bytes anywhere (headers, index, sizes): the same samples and
    // invalid-size traces as reading each chunk on its own.
    QRandomGenerator rng(4321);
    const QByteArray valid = Spaced(5, 700).Build();
    for (int round = 0; round < 300; ++round) {
        QByteArray bytes = valid;
        const int flips = 1 + rng.bounded(8);
        for (int i = 0; i < flips; ++i) {
            // Mostly in the index, where offsets and ids live.
            const qsizetype at = rng.bounded(3) ? bytes.size() - 1 - rng.bounded(qsizetype(60 * 16)) : rng.bounded(bytes.size());
            bytes[at] = char(rng.bounded(256));
        }
        if (round % 5 == 0)
            bytes.truncate(rng.bounded(bytes.size()));
        CTestReader plain(bytes);
        const CPlainWalk expected = PlainWalk(plain);
        CTestReader grouped(bytes);
        CTraceCapture trace;
        CTextData data;
        Telemetry::ExtractAviText(grouped, QStringLiteral("mem.avi"), data);
        QVERIFY2(data.gsensorList == expected.data.gsensorList && data.gpsList == expected.data.gpsList
                     && data.carInfoList == expected.data.carInfoList,
                 qPrintable(QString::number(round)));
        QCOMPARE(trace.LinesStartingWith(QStringLiteral("ExtractText:  [")), expected.invalid);
    }
}

// A real file, in the page cache and dropped from it: reads without
// waiting give the file's bytes or -1, never other bytes, and the walk
// gives the same samples either way.
void TestAviText::realFileCachedAndCold()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("REC_2024_01_01_10_00_00_F.AVI"));
    const QByteArray bytes = Spaced(20, 150000).Build();
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
    }
    const CTextData expected = Extract(bytes);
    QCOMPARE(expected.gsensorList.size(), size_t(200));

    auto drop = [&path] {
        const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY);
        QVERIFY(fd >= 0);
        ::fdatasync(fd);
        ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
        ::close(fd);
    };
    int round = 0;
    for (bool cold : {false, true, false}) {
        if (cold)
            drop();
        CFileByteReader file(path);
        QVERIFY(file.IsOpen());
        char page[4096];
        const int64_t at = bytes.size() / 2;
        const int64_t got = file.ReadAtIfCached(at, page, sizeof page);
        QVERIFY2(got == -1 || (got > 0 && QByteArray(page, int(got)) == bytes.mid(at, got)), qPrintable(QString::number(got)));
        if (round++ == 0) // just written: in memory
            QCOMPARE(got, int64_t(sizeof page));
        QCOMPARE(file.ReadAtIfCached(bytes.size(), page, 10), int64_t(0)); // past the end
        if (cold)
            drop();
        CTextData data;
        Telemetry::ExtractAviText(file, path, data);
        QCOMPARE(data.gsensorList, expected.gsensorList);
        QCOMPARE(data.gpsList, expected.gpsList);
        QCOMPARE(data.carInfoList, expected.carInfoList);
    }
}

QTEST_GUILESS_MAIN(TestAviText)
#include "tst_avitext.moc"
