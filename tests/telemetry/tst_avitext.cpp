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

#include <cerrno>
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

QTEST_GUILESS_MAIN(TestAviText)
#include "tst_avitext.moc"
