// The MP4 text track: the recording test, the packet reader against a full
// demultiplexing, packet decoding, and damaged files.
#include "telemetry/Extract.h"
#include "writers/MediaWriters.h"
#include "telemetry/Mp4Text.h"
#include "support/ReferenceDemux.h"
#include "support/TraceCapture.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QTest>

#include <cstring>
#include <unistd.h>

extern "C" {
#include <libavutil/log.h>
}

namespace {

// Records of a camera-like text track: per second ten G-sensor samples, one
// RMC sentence and one vehicle-signal record.
QList<QByteArray> CameraRecords(int seconds, int salt)
{
    QList<QByteArray> records;
    for (int s = 0; s < seconds; ++s) {
        for (int k = 0; k < 10; ++k)
            records << "gsensori,1,256," + QByteArray::number(s * 10 + k + salt) + "," + QByteArray::number(-k) + ",256";
        records << QByteArray("GPRMC,0130") + QByteArray::number(10 + s) + ".000,A,3733.4512,N,12658.7" + QByteArray::number(s)
                       + ",E,030.5,090.0,210514,,,A";
        records << "CAR," + QByteArray::number(s % 2) + ",0," + QByteArray::number((s + 1) % 2);
    }
    return records;
}

QList<QByteArray> Packets(const QList<QByteArray>& records)
{
    QList<QByteArray> packets;
    for (const QByteArray& r : records)
        packets << Mp4TextPacket(r, packets.size() % 3 == 0); // some with a closing zero
    return packets;
}

CTextData Decoded(const QList<QByteArray>& records)
{
    CTextData data;
    for (const QByteArray& r : records)
        data.AddTextRecord(QString::fromLocal8Bit(r));
    return data;
}

// Memory bytes that record the reads and whether they were announced as random.
class CRecordingReader : public CMemoryByteReader
{
public:
    using CMemoryByteReader::CMemoryByteReader;
    int64_t ReadAt(int64_t offset, char* out, int64_t length) override
    {
        reads.append({offset, length});
        return CMemoryByteReader::ReadAt(offset, out, length);
    }
    void WillReadRandomly() override { randomBeforeFirstRead = reads.isEmpty(); }
    QList<QPair<int64_t, int64_t>> reads;
    bool randomBeforeFirstRead = false;
};

bool SameSamples(const CTextData& a, const CTextData& b)
{
    return a.gsensorList == b.gsensorList && a.gpsList == b.gpsList && a.carInfoList == b.carInfoList;
}

QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool WriteAll(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// Everything written to the process's standard error while alive.
class CStderrCapture
{
public:
    CStderrCapture()
    {
        m_file.open();
        fflush(stderr);
        m_saved = dup(STDERR_FILENO);
        dup2(m_file.handle(), STDERR_FILENO);
    }
    ~CStderrCapture() { Stop(); }
    QByteArray Stop()
    {
        if (m_saved >= 0) {
            fflush(stderr);
            dup2(m_saved, STDERR_FILENO);
            close(m_saved);
            m_saved = -1;
            m_file.seek(0);
            m_text = m_file.readAll();
        }
        return m_text;
    }

private:
    QTemporaryFile m_file;
    int m_saved = -1;
    QByteArray m_text;
};

// A virtual file: an ftyp box, then nothing but empty 8-byte "free" boxes.
class CEndlessBoxes : public IByteReader
{
public:
    int64_t Size() const override { return int64_t(1) << 32; }
    int64_t ReadAt(int64_t offset, char* out, int64_t length) override
    {
        static const QByteArray ftyp = QByteArray("\0\0\0\x18" "ftypisom\0\0\x02\0isomiso2", 24);
        static const QByteArray box = QByteArray("\0\0\0\x08" "free", 8);
        if (offset < 0 || length <= 0 || offset >= Size())
            return 0;
        length = std::min(length, Size() - offset);
        for (int64_t i = 0; i < length; ++i) {
            const int64_t at = offset + i;
            out[i] = at < ftyp.size() ? ftyp[qsizetype(at)] : box[qsizetype((at - ftyp.size()) % 8)];
        }
        m_bytesRead += length;
        return length;
    }
};

} // namespace

class TestMp4Text : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void recordingTest_data();
    void recordingTest();
    void aviNameIsNotOpened();
    void packetsEqualFullDemux_data();
    void packetsEqualFullDemux();
    void readsOnlyTheTextTrack();
    void textSamplesReadAlone();
    void extractsTheFirstTextTrack();
    void packetSizesAndTexts();
    void aviNamedMp4IsWalkedAsAvi();
    void damagedFiles_data();
    void damagedFiles();
    void ffmpegLogGoesToTrace();
    void readBudget();
    void limitReachedLeavesTheSeriesEmpty();

private:
    QString Path(const QString& name) const { return m_dir.filePath(name); }
    void Write(const QString& name, const Mp4Options& o)
    {
        QString error;
        QVERIFY2(WriteTestMp4(Path(name), o, &error), qPrintable(name + ": " + error));
    }

    QTemporaryDir m_dir;
    QList<QByteArray> m_recordsA;
    QList<QByteArray> m_recordsB;
    QList<QByteArray> m_packetsA;
    QList<QByteArray> m_oddPackets;
};

void TestMp4Text::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_recordsA = CameraRecords(3, 0);
    m_recordsB = {"gsensor,99,99,99", "CAR,1,1,1", "gsensor,98,98,98"};
    m_packetsA = Packets(m_recordsA);

    Mp4Options full;
    full.durationSec = 3;
    full.size = QSize(160, 90);
    full.audio = true;
    full.textTracks = {m_packetsA, Packets(m_recordsB)};
    Write(QStringLiteral("full.mp4"), full);
    Mp4Options o = full;
    o.faststart = true;
    Write(QStringLiteral("faststart.mp4"), o);
    o = full;
    o.textTracksFirst = true;
    Write(QStringLiteral("textfirst.mp4"), o);
    o = full;
    o.textTracks.clear();
    Write(QStringLiteral("notext.mp4"), o);
    o = full;
    o.codec = TestVideoCodec::Mpeg4Part2;
    Write(QStringLiteral("mpeg4.mp4"), o);
    o = full;
    o.video = false;
    o.audio = false;
    o.textTracks = {m_packetsA};
    Write(QStringLiteral("textonly.mp4"), o);

    // Odd packets: 2, 3, 120 and 121 bytes, an emptied one (number 5), a length
    // field shorter than the text, a zero byte inside.
    m_oddPackets = {QByteArray("\x00\x00", 2),
                    Mp4TextPacket("x"),
                    Mp4TextPacket(QByteArray("gsensor,7,8,9,").leftJustified(118, 'A')),
                    Mp4TextPacket(QByteArray("gsensor,1,1,1,").leftJustified(119, 'B')),
                    QByteArray("\x00\x0a", 2) + "gsensor,11,22,33,CCCCCCCCCCCCCCCCCCCCCCC",
                    Mp4TextPacket("placeholder of the emptied packet"),
                    Mp4TextPacket(QByteArray("CAR,1,0,1\0garbage,5,5,5", 23)),
                    Mp4TextPacket("gsensor,4,5,6")};
    o = full;
    o.textTracks = {m_oddPackets};
    o.emptyTextPackets = {5};
    Write(QStringLiteral("odd.mp4"), o);

    // Damaged files.
    QVERIFY(WriteAll(Path(QStringLiteral("zero.mp4")), QByteArray()));
    const QByteArray plain = ReadAll(Path(QStringLiteral("full.mp4")));
    const qsizetype moov = plain.indexOf("moov") - 4;
    QVERIFY(moov > 0);
    QVERIFY(WriteAll(Path(QStringLiteral("nomoov.mp4")), plain.left(moov)));
    const QByteArray fast = ReadAll(Path(QStringLiteral("faststart.mp4")));
    QVERIFY(WriteAll(Path(QStringLiteral("truncated.mp4")), fast.left(fast.size() / 2)));
    QByteArray garbage(64 * 1024, Qt::Uninitialized);
    QRandomGenerator rng(7);
    for (char& c : garbage)
        c = char(rng.bounded(256));
    QVERIFY(WriteAll(Path(QStringLiteral("garbage.mp4")), garbage));

    AviOptions avi;
    avi.durationSec = 2;
    avi.size = QSize(160, 90);
    for (const QByteArray& r : m_recordsA)
        avi.textPayloads << r;
    QString error;
    QVERIFY2(WriteTestAvi(Path(QStringLiteral("avi.mp4")), avi, &error), qPrintable(error));
}

void TestMp4Text::recordingTest_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("mp4");
    QTest::newRow("H.264, AAC, two text tracks") << "full.mp4" << true;
    QTest::newRow("moov in front") << "faststart.mp4" << true;
    QTest::newRow("text tracks first") << "textfirst.mp4" << true;
    QTest::newRow("no text track") << "notext.mp4" << true;
    QTest::newRow("text only, no video") << "textonly.mp4" << true;
    QTest::newRow("MPEG-4 Part 2 video") << "mpeg4.mp4" << false;
    QTest::newRow("an AVI named .mp4") << "avi.mp4" << false;
    QTest::newRow("zero bytes") << "zero.mp4" << false;
    QTest::newRow("no moov") << "nomoov.mp4" << false;
    QTest::newRow("moov present, mdat cut") << "truncated.mp4" << true;
    QTest::newRow("garbage") << "garbage.mp4" << false;
    QTest::newRow("missing") << "missing.mp4" << false;
}

void TestMp4Text::recordingTest()
{
    QFETCH(QString, file);
    QFETCH(bool, mp4);
    QCOMPARE(Telemetry::IsMp4Recording(Path(file)), mp4);
}

void TestMp4Text::aviNameIsNotOpened()
{
    const QByteArray bytes = ReadAll(Path(QStringLiteral("full.mp4")));
    for (const char* name : {"clip.AVI", "clip.avi", "x/clip.Avi"}) {
        CMemoryByteReader reader(bytes);
        QVERIFY(!Telemetry::IsMp4Recording(reader, QLatin1String(name)));
        QCOMPARE(reader.BytesRead(), int64_t(0));
        CTextData data;
        QCOMPARE(Telemetry::ExtractMp4Text(reader, QLatin1String(name), data), Telemetry::EMp4Extract::NotMp4);
        QCOMPARE(reader.BytesRead(), int64_t(0));
    }
    CMemoryByteReader reader(bytes);
    QVERIFY(Telemetry::IsMp4Recording(reader, QStringLiteral("clip.avi.mp4")));
}

void TestMp4Text::packetsEqualFullDemux_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("written"); // packets written into the first text track, -1: not known
    QTest::newRow("plain") << "full.mp4" << int(m_packetsA.size());
    QTest::newRow("moov in front") << "faststart.mp4" << int(m_packetsA.size());
    QTest::newRow("text tracks first") << "textfirst.mp4" << int(m_packetsA.size());
    QTest::newRow("text only") << "textonly.mp4" << int(m_packetsA.size());
    QTest::newRow("odd packets") << "odd.mp4" << int(m_oddPackets.size());
    QTest::newRow("no text track") << "notext.mp4" << 0;
    QTest::newRow("mdat cut") << "truncated.mp4" << -1;
    QTest::newRow("no moov") << "nomoov.mp4" << 0;
    QTest::newRow("an AVI") << "avi.mp4" << 0;
}

void TestMp4Text::packetsEqualFullDemux()
{
    QFETCH(QString, file);
    QFETCH(int, written);
    QList<QByteArray> packets{QByteArray("kept")};
    const int count = Telemetry::ReadTextPackets(Path(file), packets);
    QCOMPARE(packets.takeFirst(), QByteArray("kept")); // appends, never clears
    QCOMPARE(count, int(packets.size()));
    const CFullDemuxResult reference = FullDemux(Path(file));
    QCOMPARE(packets, reference.textPackets);
    if (written >= 0)
        QCOMPARE(count, written);
    if (file == QLatin1String("truncated.mp4"))
        QVERIFY(count > 0 && count < m_packetsA.size());
    if (file == QLatin1String("full.mp4"))
        QCOMPARE(packets, m_packetsA);
}

void TestMp4Text::readsOnlyTheTextTrack()
{
    // Noisy pictures at 2 Mbit/s: the video data lies between the text
    // samples in long runs that the reader must skip.
    Mp4Options o;
    o.durationSec = 4;
    o.size = QSize(320, 180);
    o.videoKbps = 2000;
    o.noise = 40;
    o.audio = true;
    QList<QByteArray> records;
    for (int s = 0; s < 8; ++s)
        records << "gsensori,1,256," + QByteArray::number(s) + ",0,256";
    o.textTracks = {Packets(records)};
    Write(QStringLiteral("large.mp4"), o);
    const QByteArray bytes = ReadAll(Path(QStringLiteral("large.mp4")));
    const CFullDemuxResult reference = FullDemux(Path(QStringLiteral("large.mp4")));
    QVERIFY(reference.packetBytes > bytes.size() * 9 / 10);

    CMemoryByteReader reader(bytes);
    QList<QByteArray> packets;
    QCOMPARE(Telemetry::ReadTextPackets(reader, packets), int(records.size()));
    QCOMPARE(packets, reference.textPackets);
    QVERIFY2(reader.BytesRead() < bytes.size() / 10,
             qPrintable(QStringLiteral("%1 of %2 bytes read").arg(reader.BytesRead()).arg(bytes.size())));
}

void TestMp4Text::textSamplesReadAlone()
{
    // Text samples a few pictures apart: each is one read of its own bytes,
    // nothing in between is read (no read-ahead, no reading forward instead
    // of a short seek), and the file is told so before the first read.
    Mp4Options o;
    o.durationSec = 3;
    o.size = QSize(320, 180);
    o.videoKbps = 1500;
    o.noise = 40;
    o.audio = true;
    QList<QByteArray> records;
    for (int s = 0; s < 30; ++s)
        records << "gsensori,1,256," + QByteArray::number(s) + ",7,256";
    o.textTracks = {Packets(records)};
    Write(QStringLiteral("dense.mp4"), o);
    const QByteArray bytes = ReadAll(Path(QStringLiteral("dense.mp4")));

    CRecordingReader reader(bytes);
    QList<QByteArray> packets;
    QCOMPARE(Telemetry::ReadTextPackets(reader, packets), int(records.size()));
    QCOMPARE(packets, FullDemux(Path(QStringLiteral("dense.mp4"))).textPackets);
    QVERIFY(reader.randomBeforeFirstRead);
    QMap<int64_t, int64_t> samples; // where each packet lies, its size
    for (const QByteArray& p : packets) {
        const int64_t at = bytes.indexOf(p);
        QVERIFY(at > 0);
        samples.insert(at, p.size());
    }
    int sampleReads = 0;
    for (const auto& [offset, length] : reader.reads) {
        if (offset < samples.firstKey() || offset > samples.lastKey())
            continue; // the header and the movie box
        QVERIFY2(samples.contains(offset) && samples.value(offset) == length,
                 qPrintable(QStringLiteral("read %1+%2 between the samples").arg(offset).arg(length)));
        ++sampleReads;
    }
    QCOMPARE(sampleReads, int(packets.size()));
}

void TestMp4Text::extractsTheFirstTextTrack()
{
    for (const char* file : {"full.mp4", "faststart.mp4", "textfirst.mp4"}) {
        CTraceCapture trace;
        CTextData data;
        data.AddTextRecord(QStringLiteral("gsensor,1,2,3")); // appended to, not replaced
        Telemetry::ExtractText(Path(QLatin1String(file)), data);
        CTextData expected;
        expected.AddTextRecord(QStringLiteral("gsensor,1,2,3"));
        for (const QByteArray& r : m_recordsA)
            expected.AddTextRecord(QString::fromLocal8Bit(r));
        QVERIFY2(SameSamples(data, expected), file);
        QCOMPARE(data.gsensorList.size(), size_t(31));
        QCOMPARE(data.gpsList.size(), size_t(3));
        QCOMPARE(data.gpsList[2].second, 12);
        QCOMPARE(data.carInfoList.size(), size_t(3));
        QCOMPARE(data.carInfoList[1].brake, 1);
        // Nothing from the AVI walk, no elapsed-time trace for MP4.
        QVERIFY2(trace.LinesStartingWith(QStringLiteral("ExtractText")).isEmpty(),
                 qPrintable(trace.Lines().join(QLatin1Char('\n'))));
    }
    // Without a text track: no samples, no trace.
    CTraceCapture trace;
    CTextData data;
    Telemetry::ExtractText(Path(QStringLiteral("notext.mp4")), data);
    QVERIFY(data.IsEmpty());
    QVERIFY(trace.LinesStartingWith(QStringLiteral("ExtractText")).isEmpty());
}

void TestMp4Text::packetSizesAndTexts()
{
    CTraceCapture trace;
    CTextData data;
    Telemetry::ExtractText(Path(QStringLiteral("odd.mp4")), data);
    QCOMPARE(trace.LinesStartingWith(QStringLiteral("ExtractText")),
             QStringList({QStringLiteral("ExtractText: [0] invalid chunk size = 2"),
                          QStringLiteral("ExtractText: [3] invalid chunk size = 121"),
                          QStringLiteral("ExtractText: [5] invalid chunk size = 0")}));
    // 120 bytes decoded; the length field 10 does not cut the 40-byte text;
    // the text ends at its zero byte.
    QCOMPARE(data.gsensorList,
             std::vector<CGSensorData>({CGSensorData(7, 8, 9), CGSensorData(11, 22, 33), CGSensorData(4, 5, 6)}));
    QCOMPARE(data.carInfoList.size(), size_t(1));
    QCOMPARE(data.carInfoList[0].brake, 1);
    QCOMPARE(data.carInfoList[0].right, 1);
    QVERIFY(data.gpsList.empty());

    // The decoder on its own, straight from packets.
    CTextData direct;
    CTraceCapture trace2;
    Telemetry::DecodeTextPackets({QByteArray(), QByteArray("\0\x05" "CAR,0,1,0", 11), QByteArray(120, '\0'),
                                  QByteArray("\0\0gsensor,1,2,3", 15)},
                                 direct);
    QCOMPARE(trace2.Lines(), QStringList({QStringLiteral("ExtractText: [0] invalid chunk size = 0")}));
    QCOMPARE(direct.carInfoList.size(), size_t(1));
    QCOMPARE(direct.carInfoList[0].left, 1);
    QCOMPARE(direct.gsensorList, std::vector<CGSensorData>({CGSensorData(1, 2, 3)}));
}

void TestMp4Text::aviNamedMp4IsWalkedAsAvi()
{
    CTraceCapture trace;
    CTextData data;
    Telemetry::ExtractText(Path(QStringLiteral("avi.mp4")), data);
    QVERIFY(SameSamples(data, Decoded(m_recordsA)));
    QCOMPARE(trace.LinesStartingWith(QStringLiteral("ExtractText: Elapsed Time:")).size(), 1);
}

void TestMp4Text::damagedFiles_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("aviTrace"); // the AVI walk's complaint, empty: none
    QTest::addColumn<bool>("samples");
    QTest::newRow("zero bytes") << "zero.mp4" << "ExtractText: Wrong File Open[%1]" << false;
    QTest::newRow("no moov") << "nomoov.mp4" << "ExtractText: Wrong File Open_T2[%1]" << false;
    QTest::newRow("mdat cut") << "truncated.mp4" << "" << true;
    QTest::newRow("garbage") << "garbage.mp4" << "ExtractText: Wrong File Open_T2[%1]" << false;
    QTest::newRow("MPEG-4 Part 2") << "mpeg4.mp4" << "ExtractText: Wrong File Open_T2[%1]" << false;
    QTest::newRow("emptied packet") << "odd.mp4" << "" << true;
}

void TestMp4Text::damagedFiles()
{
    QFETCH(QString, file);
    QFETCH(QString, aviTrace);
    QFETCH(bool, samples);
    const QString path = Path(file);
    CTraceCapture trace;
    CStderrCapture err;
    CTextData data;
    Telemetry::ExtractText(path, data);
    QList<QByteArray> packets;
    Telemetry::ReadTextPackets(path, packets);
    Telemetry::IsMp4Recording(path);
    QCOMPARE(err.Stop(), QByteArray());
    QCOMPARE(!data.IsEmpty(), samples);
    if (!aviTrace.isEmpty())
        QVERIFY2(trace.Contains(aviTrace.arg(path)), qPrintable(trace.Lines().join(QLatin1Char('\n'))));
    else
        QVERIFY(trace.LinesStartingWith(QStringLiteral("ExtractText: Wrong")).isEmpty());
}

void TestMp4Text::ffmpegLogGoesToTrace()
{
    // Even after another library put FFmpeg's own printer back.
    av_log_set_callback(av_log_default_callback);
    CTraceCapture trace;
    CStderrCapture err;
    QVERIFY(!Telemetry::IsMp4Recording(Path(QStringLiteral("nomoov.mp4"))));
    QCOMPARE(err.Stop(), QByteArray());
    bool seen = false;
    for (const QString& line : trace.LinesStartingWith(QStringLiteral("FFmpeg: ")))
        seen = seen || line.contains(QLatin1String("moov atom not found"));
    QVERIFY2(seen, qPrintable(trace.Lines().join(QLatin1Char('\n'))));
}

void TestMp4Text::readBudget()
{
    // A file that never ends: the open gives up at its byte budget.
    CEndlessBoxes endless;
    Telemetry::CMp4ReadLimits limits;
    limits.maxBytes = 1 << 20;
    CTraceCapture trace;
    QVERIFY(!Telemetry::IsMp4Recording(endless, QStringLiteral("endless.mp4"), limits));
    QVERIFY2(endless.BytesRead() <= limits.maxBytes + 64 * 1024, qPrintable(QString::number(endless.BytesRead())));
    QCOMPARE(trace.LinesStartingWith(QStringLiteral("ExtractText: MP4 read limit reached")).size(), 1);
    QList<QByteArray> packets;
    QCOMPARE(Telemetry::ReadTextPackets(endless, packets, limits), 0);
    QCOMPARE(trace.LinesStartingWith(QStringLiteral("ExtractText: MP4 read limit reached")).size(), 2);
}

void TestMp4Text::limitReachedLeavesTheSeriesEmpty()
{
    // Enough budget for the header, not for the text samples behind it: the
    // part read so far must not pass for the recording's whole telemetry.
    const QByteArray bytes = ReadAll(Path(QStringLiteral("full.mp4")));
    CMemoryByteReader probe(bytes);
    QVERIFY(Telemetry::IsMp4Recording(probe, QStringLiteral("full.mp4")));
    Telemetry::CMp4ReadLimits limits;
    limits.maxBytes = probe.BytesRead() + 4096;

    CTraceCapture trace;
    CMemoryByteReader cut(bytes);
    CTextData data;
    QCOMPARE(Telemetry::ExtractMp4Text(cut, QStringLiteral("full.mp4"), data, limits), Telemetry::EMp4Extract::Incomplete);
    QVERIFY(data.IsEmpty());
    QVERIFY(cut.BytesRead() > probe.BytesRead()); // it did get into the samples
    QCOMPARE(trace.LinesStartingWith(QStringLiteral("ExtractText: MP4 read limit reached")).size(), 1);
    QVERIFY(trace.Contains(QStringLiteral("ExtractText: MP4 read incomplete, telemetry left empty [full.mp4]")));
    QList<QByteArray> packets{"kept"};
    CMemoryByteReader cut2(bytes);
    QCOMPARE(Telemetry::ReadTextPackets(cut2, packets, limits), 0);
    QCOMPARE(packets, QList<QByteArray>{"kept"});

    // A budget that is used up while opening: no AVI walk either.
    limits.maxBytes = 1024;
    CMemoryByteReader early(bytes);
    QCOMPARE(Telemetry::ExtractMp4Text(early, QStringLiteral("full.mp4"), data, limits), Telemetry::EMp4Extract::Incomplete);
    QVERIFY(data.IsEmpty());

    // The next reading, within its limits, gets all of it.
    CMemoryByteReader whole(bytes);
    QCOMPARE(Telemetry::ExtractMp4Text(whole, QStringLiteral("full.mp4"), data), Telemetry::EMp4Extract::Complete);
    QVERIFY(SameSamples(data, Decoded(m_recordsA)));
}

QTEST_GUILESS_MAIN(TestMp4Text)
#include "tst_mp4text.moc"
