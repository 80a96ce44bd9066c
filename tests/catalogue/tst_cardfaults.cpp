// Recordings from a damaged or vanishing card: cut files, files that fail or
// shrink while they are read, files of 0 and 1 bytes, index offsets beyond
// 4 GiB, and the card pulled out while the analysis runs. Nothing may crash
// or hang; what is decoded is never more than the file holds, and a read
// that failed never passes for a complete one.

#include "base/AutoResetEvent.h"
#include "base/ByteReader.h"
#include "catalogue/AnalysisThread.h"
#include "catalogue/RecordingAnalyzer.h"
#include "telemetry/AviText.h"
#include "telemetry/Mp4Text.h"

#include "writers/AviWriter.h"
#include "writers/MediaWriters.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <map>

namespace {
// The three layouts a card holds: AVI, MP4 with the movie box at the end
// (as the camera writes it), MP4 with it in front.
enum class ELayout { Avi, Mp4, Mp4Faststart };

QString FileName(ELayout layout)
{
    return layout == ELayout::Avi ? QStringLiteral("REC_2024_05_21_13_45_30_F.AVI")
                                  : QStringLiteral("REC_2024_05_21_13_45_30_F.MP4");
}

QList<QByteArray> Records()
{
    QList<QByteArray> records;
    for (int s = 0; s < 6; ++s) {
        records << "gsensori,1,256," + QByteArray::number(s * 10) + ",-20,256";
        records << "GPRMC,1200" + QByteArray::number(10 + s) + ".000,A,3730.5,N,12658.5,E,10,90,010124";
        records << "CAR," + QByteArray::number(s % 2) + ",0,1";
    }
    return records;
}

QByteArray ReadFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

// Bytes in memory that fail like a card pulled out: every read after the
// first `failAfter` is an I/O error.
class CFailingReader : public IByteReader
{
public:
    CFailingReader(const QByteArray& bytes, int failAfter) : m_inner(bytes), m_failAfter(failAfter) {}
    int64_t Size() const override { return m_inner.Size(); }
    int64_t ReadAt(int64_t offset, char* out, int64_t length) override
    {
        if (m_reads++ >= m_failAfter)
            return -1;
        const int64_t n = m_inner.ReadAt(offset, out, length);
        m_bytesRead += n;
        return n;
    }
    int Reads() const { return m_reads; }

private:
    CMemoryByteReader m_inner;
    int m_failAfter;
    int m_reads = 0;
};

// `part` holds no sample the whole series does not hold at the same place.
template <typename T>
bool IsPrefix(const std::vector<T>& part, const std::vector<T>& whole)
{
    if (part.size() > whole.size())
        return false;
    for (size_t i = 0; i < part.size(); ++i)
        if (!(part[i] == whole[i]))
            return false;
    return true;
}

bool IsPrefix(const CTextData& part, const CTextData& whole)
{
    return IsPrefix(part.gsensorList, whole.gsensorList) && IsPrefix(part.gpsList, whole.gpsList)
        && IsPrefix(part.carInfoList, whole.carInfoList);
}

// The series' lengths, for failure messages.
QByteArray Counts(const CTextData& d)
{
    return QByteArray::number(qulonglong(d.gsensorList.size())) + " G-sensor, "
        + QByteArray::number(qulonglong(d.gpsList.size())) + " GPS, "
        + QByteArray::number(qulonglong(d.carInfoList.size())) + " signals";
}

bool SameData(const CTextData& a, const CTextData& b)
{
    return a.gsensorList == b.gsensorList && a.gpsList == b.gpsList && a.carInfoList == b.carInfoList;
}

// The extraction the analysis does, on a reader: the MP4 branch, then the
// AVI walk when the file is no MP4 (as ExtractText decides by the name).
void Extract(IByteReader& reader, ELayout layout, CTextData& data,
             Telemetry::EMp4Extract* mp4Result = nullptr)
{
    if (layout == ELayout::Avi) {
        Telemetry::ExtractAviText(reader, FileName(layout), data);
        return;
    }
    const Telemetry::EMp4Extract r = Telemetry::ExtractMp4Text(reader, FileName(layout), data);
    if (mp4Result)
        *mp4Result = r;
}

// Big-endian box writing for a hand-made MP4.
void AppendBe16(QByteArray& out, uint16_t v)
{
    out += char(v >> 8);
    out += char(v);
}

void AppendBe32(QByteArray& out, uint32_t v)
{
    AppendBe16(out, uint16_t(v >> 16));
    AppendBe16(out, uint16_t(v));
}

void AppendBe64(QByteArray& out, uint64_t v)
{
    AppendBe32(out, uint32_t(v >> 32));
    AppendBe32(out, uint32_t(v));
}

QByteArray Box(const char* type, const QByteArray& payload)
{
    QByteArray box;
    AppendBe32(box, uint32_t(8 + payload.size()));
    return box + QByteArray(type, 4) + payload;
}

// A full box: version 0, no flags unless given.
QByteArray FullBox(const char* type, const QByteArray& payload, uint32_t flags = 0)
{
    QByteArray head;
    AppendBe32(head, flags & 0xFFFFFFu);
    return Box(type, head + payload);
}

// The movie box of a file holding one timed-text track of one-second
// samples, each its own chunk at the 64-bit offset given (a "co64" table).
QByteArray TextTrackMovie(const QList<QByteArray>& samples, const QList<uint64_t>& offsets)
{
    const uint32_t n = uint32_t(samples.size());
    const QByteArray matrix = QByteArray::fromHex("000100000000000000000000"
                                                  "000000000001000000000000"
                                                  "000000000000000040000000");
    QByteArray mvhd;
    AppendBe32(mvhd, 0); AppendBe32(mvhd, 0);       // creation, modification
    AppendBe32(mvhd, 1000); AppendBe32(mvhd, n * 1000); // time scale, duration
    AppendBe32(mvhd, 0x00010000); AppendBe16(mvhd, 0x0100);
    mvhd += QByteArray(10, '\0') + matrix + QByteArray(24, '\0');
    AppendBe32(mvhd, 2); // next track
    QByteArray tkhd;
    AppendBe32(tkhd, 0); AppendBe32(tkhd, 0);
    AppendBe32(tkhd, 1); AppendBe32(tkhd, 0); AppendBe32(tkhd, n * 1000);
    tkhd += QByteArray(8 + 8, '\0') + matrix;
    AppendBe32(tkhd, 0); AppendBe32(tkhd, 0); // width, height
    QByteArray mdhd;
    AppendBe32(mdhd, 0); AppendBe32(mdhd, 0);
    AppendBe32(mdhd, 1000); AppendBe32(mdhd, n * 1000);
    AppendBe16(mdhd, 0x55C4); AppendBe16(mdhd, 0); // "und"
    QByteArray hdlr;
    AppendBe32(hdlr, 0);
    hdlr += QByteArray("sbtl", 4) + QByteArray(12, '\0') + QByteArray(1, '\0');
    QByteArray tx3g = QByteArray(6, '\0');
    AppendBe16(tx3g, 1); // data reference
    tx3g += QByteArray(4 + 1 + 1 + 4 + 8 + 12, '\0'); // display flags, justification, colours, box, style
    QByteArray ftab;
    AppendBe16(ftab, 1); AppendBe16(ftab, 1);
    ftab += char(4);
    ftab += "Sans";
    tx3g += Box("ftab", ftab);
    QByteArray stsd;
    AppendBe32(stsd, 1);
    stsd += Box("tx3g", tx3g);
    QByteArray stts;
    AppendBe32(stts, 1); AppendBe32(stts, n); AppendBe32(stts, 1000);
    QByteArray stsc;
    AppendBe32(stsc, 1); AppendBe32(stsc, 1); AppendBe32(stsc, 1); AppendBe32(stsc, 1);
    QByteArray stsz;
    AppendBe32(stsz, 0); AppendBe32(stsz, n);
    for (const QByteArray& s : samples)
        AppendBe32(stsz, uint32_t(s.size()));
    QByteArray co64;
    AppendBe32(co64, n);
    for (uint64_t o : offsets)
        AppendBe64(co64, o);
    QByteArray dref;
    AppendBe32(dref, 1);
    dref += FullBox("url ", {}, 1);
    const QByteArray stbl = Box("stbl", FullBox("stsd", stsd) + FullBox("stts", stts) + FullBox("stsc", stsc)
                                            + FullBox("stsz", stsz) + FullBox("co64", co64));
    const QByteArray minf = Box("minf", FullBox("nmhd", {}) + Box("dinf", FullBox("dref", dref)) + stbl);
    const QByteArray mdia = Box("mdia", FullBox("mdhd", mdhd) + FullBox("hdlr", hdlr) + minf);
    const QByteArray trak = Box("trak", FullBox("tkhd", tkhd, 3) + mdia);
    return Box("moov", FullBox("mvhd", mvhd) + trak);
}
} // namespace

Q_DECLARE_METATYPE(ELayout)

class TestCardFaults : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void cutRecordings_data();
    void cutRecordings();
    void readsFailPartWay_data();
    void readsFailPartWay();
    void fileShrinksWhileRead_data();
    void fileShrinksWhileRead();
    void emptyAndOneByteFiles_data();
    void emptyAndOneByteFiles();
    void indexBeyondFourGiB();
    void mp4SamplesBeyondFourGiB();
    void cardPulledDuringAnalysis();

private:
    QTemporaryDir m_dir;
    std::map<ELayout, QByteArray> m_bytes;   // whole recordings
    std::map<ELayout, CTextData> m_expected; // their telemetry
};

void TestCardFaults::initTestCase()
{
    QVERIFY(m_dir.isValid());
    const QList<QByteArray> records = Records();

    AviOptions avi;
    avi.durationSec = 1;
    avi.fps = 10;
    avi.size = QSize(64, 36);
    for (const QByteArray& r : records)
        avi.textPayloads << CAviWriter::TextPayload(r);
    QList<QByteArray> packets;
    for (const QByteArray& r : records)
        packets << Mp4TextPacket(r);
    Mp4Options mp4;
    mp4.durationSec = 1;
    mp4.fps = 10;
    mp4.size = QSize(64, 36);
    mp4.textTracks = {packets};

    const QString aviPath = m_dir.filePath(QStringLiteral("whole.avi"));
    const QString mp4Path = m_dir.filePath(QStringLiteral("whole.mp4"));
    const QString fastPath = m_dir.filePath(QStringLiteral("fast.mp4"));
    QVERIFY(WriteTestAvi(aviPath, avi));
    QVERIFY(WriteTestMp4(mp4Path, mp4));
    mp4.faststart = true;
    QVERIFY(WriteTestMp4(fastPath, mp4));
    m_bytes[ELayout::Avi] = ReadFile(aviPath);
    m_bytes[ELayout::Mp4] = ReadFile(mp4Path);
    m_bytes[ELayout::Mp4Faststart] = ReadFile(fastPath);

    for (auto& [layout, bytes] : m_bytes) {
        CMemoryByteReader reader(bytes);
        Telemetry::EMp4Extract r = Telemetry::EMp4Extract::Complete;
        Extract(reader, layout, m_expected[layout], &r);
        QCOMPARE(r, Telemetry::EMp4Extract::Complete);
        QCOMPARE(m_expected[layout].gsensorList.size(), size_t(6));
        QCOMPARE(m_expected[layout].gpsList.size(), size_t(6));
        QCOMPARE(m_expected[layout].carInfoList.size(), size_t(6));
    }
}

void TestCardFaults::cutRecordings_data()
{
    QTest::addColumn<ELayout>("layout");
    QTest::addColumn<int>("eighths"); // the part of the file kept
    for (ELayout layout : {ELayout::Avi, ELayout::Mp4, ELayout::Mp4Faststart}) {
        const char* name = layout == ELayout::Avi ? "avi" : layout == ELayout::Mp4 ? "mp4" : "mp4 faststart";
        for (int e = 1; e < 8; ++e)
            QTest::addRow("%s %d/8", name, e) << layout << e;
    }
}

void TestCardFaults::cutRecordings()
{
    // A recording half-written when the camera lost power, or a copy cut
    // short: whatever is decoded is what the file still holds, through the
    // analyser's own dispatch on a real file.
    QFETCH(ELayout, layout);
    QFETCH(int, eighths);
    const QByteArray& whole = m_bytes[layout];
    const QString path = m_dir.filePath(QStringLiteral("cut/") + FileName(layout));
    QVERIFY(QDir().mkpath(m_dir.filePath(QStringLiteral("cut"))));
    QVERIFY(WriteFile(path, whole.left(whole.size() * eighths / 8)));

    CTextData data;
    GetAnalyzer()->ExtractText(path, data);
    QVERIFY2(IsPrefix(data, m_expected[layout]), Counts(data).constData());
    // The movie box at the end is lost with any cut: nothing is decoded.
    if (layout == ELayout::Mp4)
        QVERIFY(data.IsEmpty());

    CategoryMap map;
    QCOMPARE(GetAnalyzer()->AnalysisFile(path, FileName(layout), map, 1, 0), 1);
    QCOMPARE(map.size(), size_t(1));
    QVERIFY(IsPrefix(map.begin()->second.textData, m_expected[layout]));
}

void TestCardFaults::readsFailPartWay_data()
{
    QTest::addColumn<ELayout>("layout");
    QTest::addColumn<int>("failAfter");
    for (ELayout layout : {ELayout::Avi, ELayout::Mp4, ELayout::Mp4Faststart}) {
        // How many reads a whole extraction takes.
        CFailingReader probe(m_bytes[layout], INT32_MAX);
        CTextData ignored;
        Extract(probe, layout, ignored);
        const char* name = layout == ELayout::Avi ? "avi" : layout == ELayout::Mp4 ? "mp4" : "mp4 faststart";
        for (int k = 0; k < probe.Reads(); k += std::max(1, probe.Reads() / 12))
            QTest::addRow("%s fails after %d of %d reads", name, k, probe.Reads()) << layout << k;
    }
}

void TestCardFaults::readsFailPartWay()
{
    // The card is pulled out while a recording is read: every read from then
    // on fails. The AVI walk keeps what it decoded before; the MP4 reader
    // reports the read as incomplete and decodes nothing, so the recording
    // stays unanalysed and is read again later. It never claims a whole read.
    QFETCH(ELayout, layout);
    QFETCH(int, failAfter);
    CFailingReader reader(m_bytes[layout], failAfter);
    CTextData data;
    Telemetry::EMp4Extract result = Telemetry::EMp4Extract::Complete;
    Extract(reader, layout, data, &result);
    QVERIFY(IsPrefix(data, m_expected[layout]));
    if (layout != ELayout::Avi) {
        QVERIFY(result != Telemetry::EMp4Extract::Complete);
        QVERIFY(data.IsEmpty());
    }
}

void TestCardFaults::fileShrinksWhileRead_data()
{
    QTest::addColumn<ELayout>("layout");
    QTest::newRow("avi") << ELayout::Avi;
    QTest::newRow("mp4") << ELayout::Mp4;
    QTest::newRow("mp4 faststart") << ELayout::Mp4Faststart;
}

void TestCardFaults::fileShrinksWhileRead()
{
    // Opened whole, then cut to half on disk before the reads: the reader
    // meets the end early. The MP4 reader takes that for a failed read,
    // not for the end of the recording.
    QFETCH(ELayout, layout);
    const QString path = m_dir.filePath(QStringLiteral("shrink/") + FileName(layout));
    QVERIFY(QDir().mkpath(m_dir.filePath(QStringLiteral("shrink"))));
    QVERIFY(WriteFile(path, m_bytes[layout]));
    CFileByteReader reader(path);
    QVERIFY(reader.IsOpen());
    QVERIFY(QFile::resize(path, m_bytes[layout].size() / 2));

    CTextData data;
    Telemetry::EMp4Extract result = Telemetry::EMp4Extract::Complete;
    Extract(reader, layout, data, &result);
    QVERIFY(IsPrefix(data, m_expected[layout]));
    if (layout != ELayout::Avi) {
        QCOMPARE(result, Telemetry::EMp4Extract::Incomplete);
        QVERIFY(data.IsEmpty());
    }
}

void TestCardFaults::emptyAndOneByteFiles_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    for (const char* name : {"REC_2024_05_21_13_45_30_F.AVI", "REC_2024_05_21_13_45_30_F.MP4", "odd.mp4"}) {
        QTest::addRow("%s, 0 bytes", name) << QString::fromLatin1(name) << QByteArray();
        QTest::addRow("%s, 1 byte", name) << QString::fromLatin1(name) << QByteArray("R");
        QTest::addRow("%s, 11 bytes", name) << QString::fromLatin1(name) << QByteArray("RIFF\0\0\0\0AVI", 11);
    }
}

void TestCardFaults::emptyAndOneByteFiles()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    const QString path = m_dir.filePath(QStringLiteral("tiny/") + name);
    QVERIFY(QDir().mkpath(m_dir.filePath(QStringLiteral("tiny"))));
    QVERIFY(WriteFile(path, bytes));
    const auto analyzer = GetAnalyzer();
    CTextData data;
    analyzer->ExtractText(path, data);
    QVERIFY(data.IsEmpty());
    QVERIFY(!analyzer->IsMp4Recording(path));
    QCOMPARE(analyzer->CheckH264(path), 0);
    CategoryMap map;
    QCOMPARE(analyzer->AnalysisFile(path, name, map, 1, 0), 1);
    QCOMPARE(map.size(), size_t(1));
    QVERIFY(map.begin()->second.textData.IsEmpty());
    // The scan leaves empty files out.
    QCOMPARE(analyzer->ListRecordingFiles(m_dir.filePath(QStringLiteral("tiny"))).contains(path), !bytes.isEmpty());
}

void TestCardFaults::indexBeyondFourGiB()
{
    // A sparse AVI whose media list is 4 GiB long: the index lies beyond
    // 4 GiB and names a text chunk at the list's start and one at 4 GiB.
    const QString path = m_dir.filePath(QStringLiteral("big.avi"));
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadWrite | QIODevice::Truncate));
    constexpr uint32_t kMediaSize = 0xFFFFFFFFu;
    constexpr int64_t kBase = 32; // the media list's type
    constexpr uint32_t kFarOffset = 0xFFFFFFE0u; // at 4 GiB exactly
    QByteArray head("RIFF\0\0\0\0AVI ", 12);
    head += QByteArray("LIST", 4);
    AppendLe32(head, 4);
    head += "hdrl";
    head += QByteArray("LIST", 4);
    AppendLe32(head, kMediaSize);
    head += "movi";
    auto chunk = [](const QByteArray& text) {
        QByteArray c("01tx", 4);
        AppendLe32(c, uint32_t(text.size()));
        return c + text;
    };
    head += chunk("gsensor,1,2,3");
    QVERIFY(f.write(head) == head.size());
    QVERIFY(f.seek(kBase + kFarOffset));
    QVERIFY(f.write(chunk("gsensor,4,5,6")) > 0);
    QVERIFY(f.seek(kBase + kMediaSize));
    QByteArray index("idx1", 4);
    AppendLe32(index, 32);
    for (uint32_t offset : {4u, kFarOffset}) {
        index += QByteArray("01tx", 4);
        AppendLe32(index, 0x10);
        AppendLe32(index, offset);
        AppendLe32(index, 13);
    }
    QVERIFY(f.write(index) == index.size());
    f.close();
    QVERIFY(QFileInfo(path).size() > (int64_t(1) << 32));

    CTextData data;
    Telemetry::ExtractAviText(path, data);
    QCOMPARE(data.gsensorList, (std::vector<CGSensorData>{{1, 2, 3}, {4, 5, 6}}));
}

void TestCardFaults::mp4SamplesBeyondFourGiB()
{
    // A sparse MP4 of 6 GiB, its movie box in front: one text sample lies
    // below 4 GiB, one across the 4 GiB mark, the others far beyond it,
    // addressed through 64-bit chunk offsets. Every one is read from where
    // its offset says, none from a 32-bit cut of it.
    const QList<QByteArray> records{"gsensor,1,2,3", "gsensor,4,5,6",
                                    "GPRMC,120010.000,A,3730.5,N,12658.5,E,10,90,010124",
                                    "gsensor,7,8,9"};
    QList<QByteArray> samples;
    for (const QByteArray& r : records)
        samples << Mp4TextPacket(r);
    const QByteArray ftyp = Box("ftyp", QByteArray("isom\0\0\2\0isomiso2mp41", 20));
    constexpr uint64_t k4GiB = uint64_t(1) << 32;
    const uint64_t fileSize = 6 * k4GiB / 4 + 4096; // 6 GiB and a page
    // The movie box's size does not depend on the offsets' values.
    const uint64_t mdatStart = uint64_t(ftyp.size() + TextTrackMovie(samples, {0, 0, 0, 0}).size());
    const QList<uint64_t> offsets{mdatStart + 16, k4GiB - 5, k4GiB + 64, 6 * k4GiB / 4};
    QByteArray head = ftyp + TextTrackMovie(samples, offsets);
    QCOMPARE(uint64_t(head.size()), mdatStart);
    AppendBe32(head, 1); // the size follows as 64 bits
    head += "mdat";
    AppendBe64(head, fileSize - mdatStart);

    const QString path = m_dir.filePath(QStringLiteral("REC_2024_05_21_13_45_30_F.MP4"));
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadWrite | QIODevice::Truncate));
    QVERIFY(f.write(head) == head.size());
    for (int i = 0; i < samples.size(); ++i) {
        QVERIFY(f.seek(qint64(offsets[i])));
        QVERIFY(f.write(samples[i]) == samples[i].size());
    }
    QVERIFY(f.resize(qint64(fileSize)));
    f.close();

    QList<QByteArray> packets;
    QCOMPARE(Telemetry::ReadTextPackets(path, packets), samples.size());
    QCOMPARE(packets, samples);
    CTextData data;
    QCOMPARE(Telemetry::ExtractMp4Text(path, data), Telemetry::EMp4Extract::Complete);
    QCOMPARE(data.gsensorList, (std::vector<CGSensorData>{{1, 2, 3}, {4, 5, 6}, {7, 8, 9}}));
    QCOMPARE(data.gpsList.size(), size_t(1));
}

void TestCardFaults::cardPulledDuringAnalysis()
{
    // The real extraction over a card of four recordings; the card goes
    // (its folder removed) while the first is analysed. The run ends, the
    // first keeps its telemetry, the others stay unanalysed, nobody waits
    // longer than the bounded waits of the analysis.
    const QString card = m_dir.filePath(QStringLiteral("card"));
    QVERIFY(QDir().mkpath(card));
    CCatalogue catalogue;
    for (int i = 0; i < 4; ++i) {
        const QString name = QStringLiteral("REC_2024_05_21_13_45_3%1_F.AVI").arg(i);
        QVERIFY(WriteFile(card + QLatin1Char('/') + name, m_bytes[ELayout::Avi]));
        catalogue[0][name].path = card + QLatin1Char('/') + name;
    }
    std::atomic<int> stop{0};
    CAutoResetEvent event;
    int calls = 0;
    AnalysisRun run{&catalogue, &stop, &event, nullptr, {},
                    [&](const QString& path, CTextData& data) {
                        GetAnalyzer()->ExtractText(path, data);
                        if (++calls == 1)
                            QDir(card).removeRecursively();
                    }};
    CAnalysisThread thread;
    thread.Start(run);
    QVERIFY(event.Wait(30000));
    QTRY_COMPARE(stop.load(), 1);
    thread.Stop();
    QCOMPARE(calls, 4);
    auto it = catalogue[0].begin();
    QVERIFY(SameData(it->second.textData, m_expected[ELayout::Avi]));
    for (++it; it != catalogue[0].end(); ++it)
        QVERIFY(it->second.textData.IsEmpty());
}

QTEST_GUILESS_MAIN(TestCardFaults)
#include "tst_cardfaults.moc"
