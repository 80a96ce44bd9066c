// Evidence clips: spans and names, the telemetry of a second, the overlay,
// stream copy, re-encoded layouts, the temporary file, and the tool.
#include "evidence/ClipExporter.h"
#include "evidence/ClipSpan.h"
#include "evidence/EvidenceIds.h"
#include "evidence/OverlayRenderer.h"
#include "evidence/TelemetryMoment.h"
#include "support/TestPictureReader.h"
#include "telemetry/Extract.h"
#include "writers/AviWriter.h"
#include "writers/MediaWriters.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>

using Layout = CClipOptions::Layout;

namespace {
constexpr int kFps = 30;
constexpr int kSeconds = 12;

// km/h at second s of the generated recordings.
int SpeedAt(int s)
{
    return 10 * s + 3;
}

QByteArray Rmc(int s)
{
    // Knots such that knots * 1.852 lands half a km/h above the whole number.
    const double knots = (SpeedAt(s) + 0.5) / 1.852;
    return QString::asprintf("GPRMC,%02d%02d%02d,A,3733.%04d,N,12658.5000,E,%.4f,90.0,100524", 1, 0, s, 1000 + s * 10,
                             knots)
        .toLatin1();
}

QList<QByteArray> Records()
{
    QList<QByteArray> r;
    for (int s = 0; s < kSeconds; ++s) {
        r << Rmc(s) << QString::asprintf("gsensori,1,128,%d,%d,128", 10 * s, -5 * s).toLatin1()
          << QByteArray(s == 3 ? "CAR,1,1,0" : "CAR,0,0,0");
    }
    return r;
}

struct Packets {
    QList<QByteArray> data;
    QList<bool> key;
};

// The packets of the `nth` video stream of a file, in file order.
Packets VideoPackets(const QString& path, int nth = 0)
{
    Packets out;
    AVFormatContext* fmt = nullptr;
    if (avformat_open_input(&fmt, path.toLocal8Bit().constData(), nullptr, nullptr) < 0)
        return out;
    avformat_find_stream_info(fmt, nullptr);
    int stream = -1;
    for (unsigned i = 0, n = 0; i < fmt->nb_streams; ++i)
        if (fmt->streams[i]->codecpar->codec_type == AVMEDIA_TYPE_VIDEO && int(n++) == nth)
            stream = int(i);
    AVPacket* pkt = av_packet_alloc();
    while (stream >= 0 && av_read_frame(fmt, pkt) >= 0) {
        if (pkt->stream_index == stream) {
            out.data << QByteArray(reinterpret_cast<const char*>(pkt->data), pkt->size);
            out.key << ((pkt->flags & AV_PKT_FLAG_KEY) != 0);
        }
        av_packet_unref(pkt);
    }
    av_packet_free(&pkt);
    avformat_close_input(&fmt);
    return out;
}

struct StreamInfo {
    int videos = 0, audios = 0, subtitles = 0;
    QString audioCodec;
    int pixFmt = -1, level = 0, profile = 0;
    double videoSeconds = 0.0; // the first video stream's duration as the container states it
};

StreamInfo Probe(const QString& path)
{
    StreamInfo info;
    AVFormatContext* fmt = nullptr;
    if (avformat_open_input(&fmt, path.toLocal8Bit().constData(), nullptr, nullptr) < 0)
        return info;
    avformat_find_stream_info(fmt, nullptr);
    for (unsigned i = 0; i < fmt->nb_streams; ++i) {
        const AVCodecParameters* p = fmt->streams[i]->codecpar;
        if (p->codec_type == AVMEDIA_TYPE_VIDEO) {
            if (info.videos++ == 0) {
                const AVStream* st = fmt->streams[i];
                info.videoSeconds = st->duration * av_q2d(st->time_base);
                info.pixFmt = p->format;
                info.level = p->level;
                info.profile = p->profile;
            }
        } else if (p->codec_type == AVMEDIA_TYPE_AUDIO) {
            ++info.audios;
            info.audioCodec = QString::fromLatin1(avcodec_get_name(p->codec_id));
        } else if (p->codec_type == AVMEDIA_TYPE_SUBTITLE) {
            ++info.subtitles;
        }
    }
    avformat_close_input(&fmt);
    return info;
}

double MeanDiff(const QImage& a, const QImage& b, const QRect& r)
{
    double sum = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) + std::abs(qBlue(p) - qBlue(q));
        }
    return sum / (3.0 * r.width() * r.height());
}

QString LibraryPath()
{
    return qEnvironmentVariable("KESTRAV_BIN_DIR") + QStringLiteral("/") + QLatin1String(EvidenceIds::kImageLibraryFile);
}
} // namespace

class TestEvidence : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void parseSpan_data();
    void parseSpan();
    void names();
    void defaultSpan_data();
    void defaultSpan();
    void momentOfASecond();
    void gTexts_data();
    void gTexts();
    void bandPicturesAndShapes();
    void yuvBlend();
    void findsBothPictures();
    void streamCopyKeepsVideoBytes();
    void layouts_data();
    void layouts();
    void overlayShowsTheSecondsTelemetry_data();
    void overlayShowsTheSecondsTelemetry();
    void dualStreamAvi();
    void cancelLeavesTheOldClip();
    void spanAgainstTheRecording();
    void tool();

private:
    QTemporaryDir m_dir;
    QString m_front, m_rear, m_single, m_avi;
    CClipResult Export(CClipOptions o, const QString& out);
};

void TestEvidence::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QList<QByteArray> text;
    for (const QByteArray& r : Records())
        text << Mp4TextPacket(r);
    Mp4Options o;
    o.durationSec = kSeconds;
    o.fps = kFps;
    o.size = QSize(640, 360);
    o.audio = true;
    o.textTracks = {text};
    o.channel = 'F';
    m_front = m_dir.filePath("REC_2024_05_10_10_00_00_F.MP4");
    QString error;
    QVERIFY2(WriteTestMp4(m_front, o, &error), qPrintable(error));
    o.size = QSize(320, 180);
    o.channel = 'R';
    o.seed = 7;
    m_rear = m_dir.filePath("REC_2024_05_10_10_00_00_R.MP4");
    QVERIFY2(WriteTestMp4(m_rear, o, &error), qPrintable(error));
    QDir().mkpath(m_dir.filePath("single"));
    m_single = m_dir.filePath("single/REC_2024_05_10_11_00_00_F.MP4");
    o.size = QSize(320, 180);
    o.channel = 'F';
    o.durationSec = 4;
    QVERIFY2(WriteTestMp4(m_single, o, &error), qPrintable(error));
    AviOptions a;
    a.durationSec = 6;
    a.fps = kFps;
    a.secondVideo = true;
    a.audio = true;
    for (const QByteArray& r : Records().mid(0, 18))
        a.textPayloads << CAviWriter::TextPayload(r);
    m_avi = m_dir.filePath("PKI_2024_05_10_12_00_00_F.AVI");
    QVERIFY2(WriteTestAvi(m_avi, a, &error), qPrintable(error));
}

CClipResult TestEvidence::Export(CClipOptions o, const QString& out)
{
    o.outputDir = out;
    o.imageLibrary = LibraryPath();
    CClipExporter exporter;
    return exporter.Run(o);
}

void TestEvidence::parseSpan_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<double>("from");
    QTest::addColumn<double>("to");
    QTest::newRow("seconds") << "10-40" << true << 10.0 << 40.0;
    QTest::newRow("fractions") << "10.5-40.25" << true << 10.5 << 40.25;
    QTest::newRow("mm:ss") << "1:30-02:05" << true << 90.0 << 125.0;
    QTest::newRow("hh:mm:ss") << "1:02:03-1:02:33.5" << true << 3723.0 << 3753.5;
    QTest::newRow("large seconds") << "0-600" << true << 0.0 << 600.0;
    QTest::newRow("backwards") << "40-10" << false << 0.0 << 0.0;
    QTest::newRow("empty") << "10-10" << false << 0.0 << 0.0;
    QTest::newRow("seconds past 59") << "1:75-2:00" << false << 0.0 << 0.0;
    QTest::newRow("minutes past 59") << "1:60:00-2:00:00" << false << 0.0 << 0.0;
    QTest::newRow("negative") << "-5-10" << false << 0.0 << 0.0;
    QTest::newRow("one end") << "10" << false << 0.0 << 0.0;
    QTest::newRow("words") << "ten-20" << false << 0.0 << 0.0;
    QTest::newRow("four fields") << "1:2:3:4-5" << false << 0.0 << 0.0;
}

void TestEvidence::parseSpan()
{
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(double, from);
    QFETCH(double, to);
    double a = -1, b = -1;
    QCOMPARE(ClipSpan::ParseSpan(text, &a, &b), ok);
    if (ok) {
        QCOMPARE(a, from);
        QCOMPARE(b, to);
    }
}

void TestEvidence::names()
{
    QCOMPARE(ClipSpan::FormatTime(90), QStringLiteral("01:30"));
    QCOMPARE(ClipSpan::FormatTime(3723.5), QStringLiteral("1:02:03.5"));
    QCOMPARE(ClipSpan::OutputName("/card/REC_2024_05_10_10_00_00_F.MP4", 10, 40.5),
             QStringLiteral("REC_2024_05_10_10_00_00_F_00m10s-00m40.5s.mp4"));
    QCOMPARE(ClipSpan::OutputName("/x/a b:c?*.avi", 3723, 3753), QStringLiteral("a_b_c___1h02m03s-1h02m33s.mp4"));
    QCOMPARE(ClipSpan::OutputName("/x/..hidden.avi", 0, 1), QStringLiteral("hidden_00m00s-00m01s.mp4"));
    QCOMPARE(ClipSpan::SanitiseName(QStringLiteral("상시녹화/../x")), QStringLiteral("상시녹화_.._x"));
    QCOMPARE(ClipSpan::SanitiseName(QStringLiteral("...")), QStringLiteral("clip"));
}

void TestEvidence::defaultSpan_data()
{
    QTest::addColumn<double>("position");
    QTest::addColumn<double>("duration");
    QTest::addColumn<double>("from");
    QTest::addColumn<double>("to");
    QTest::newRow("middle") << 100.0 << 300.0 << 85.0 << 115.0;
    QTest::newRow("near the start") << 5.0 << 300.0 << 0.0 << 30.0;
    QTest::newRow("near the end") << 295.0 << 300.0 << 270.0 << 300.0;
    QTest::newRow("past the end") << 400.0 << 300.0 << 270.0 << 300.0;
    QTest::newRow("short recording") << 10.0 << 20.0 << 0.0 << 20.0;
    QTest::newRow("odd length") << 60.0 << 90.5 << 45.0 << 75.0;
}

void TestEvidence::defaultSpan()
{
    QFETCH(double, position);
    QFETCH(double, duration);
    QFETCH(double, from);
    QFETCH(double, to);
    double a = -1, b = -1;
    ClipSpan::DefaultSpan(position, duration, 30.0, &a, &b);
    QCOMPARE(a, from);
    QCOMPARE(b, to);
}

void TestEvidence::momentOfASecond()
{
    CTextData d;
    for (const QByteArray& r : Records())
        d.AddTextRecord(QString::fromLatin1(r));
    // As many fixes as seconds: the fix of that second; G and signals by proportion.
    CTelemetryMoment m = CTelemetryMoment::At(d, 3, kSeconds);
    QCOMPARE(m.fixIndex, 3);
    QCOMPARE(m.SpeedValue(false), SpeedAt(3));
    QCOMPARE(m.SpeedValue(true), int(SpeedAt(3) * 0.621371192 + 0.5));
    QCOMPARE(m.TimeText(), QStringLiteral("2024-05-10 01:00:03 UTC"));
    QCOMPARE(m.PositionText(), QStringLiteral("37.55172, 126.97500"));
    QCOMPARE(m.g.x, 30);
    QVERIFY(m.hasSignals && m.carInfo.brake == 1 && m.carInfo.left == 1);
    QCOMPARE(CTelemetryMoment::At(d, kSeconds, kSeconds).fixIndex, kSeconds - 1); // the end: the last fix
    // Fewer fixes than seconds: by their clock. Every other fix kept (0, 2, 4...).
    CTextData sparse;
    for (int s = 0; s < kSeconds; s += 2)
        sparse.AddTextRecord(QString::fromLatin1(Rmc(s)));
    QCOMPARE(CTelemetryMoment::At(sparse, 3, kSeconds).fixIndex, 2);  // first stamped 3 s or later: 4 s
    QCOMPARE(CTelemetryMoment::At(sparse, 4, kSeconds).fixIndex, 2);
    QVERIFY(!CTelemetryMoment::At(sparse, 11, kSeconds).hasFix); // past the last stamp and the count
    // An invalid fix gives no position and no speed, but its time.
    CTextData invalid;
    invalid.AddTextRecord(QStringLiteral("GPRMC,010203,V,,,,,,,100524"));
    const CTelemetryMoment v = CTelemetryMoment::At(invalid, 0, 1);
    QVERIFY(v.hasFix && !v.HasPosition());
    QCOMPARE(v.SpeedValue(false), -1);
    QCOMPARE(v.TimeText(), QStringLiteral("2024-05-10 01:02:03 UTC"));
    QVERIFY(!CTelemetryMoment::At(d, 3, 0).hasFix); // no length: nothing
}

void TestEvidence::gTexts_data()
{
    QTest::addColumn<int>("raw");
    QTest::addColumn<QString>("text");
    QTest::newRow("positive") << 32 << "X : 0.25";
    QTest::newRow("negative") << -32 << "X :-0.25";
    QTest::newRow("zero") << 0 << "X : 0.00";
    QTest::newRow("4 g") << 512 << "X : 4.00";
}

void TestEvidence::gTexts()
{
    QFETCH(int, raw);
    QFETCH(QString, text);
    QCOMPARE(CTelemetryMoment::GText('X', raw), text);
}

void TestEvidence::bandPicturesAndShapes()
{
    COverlayValues v;
    v.time = QStringLiteral("2024-05-10 01:00:03 UTC");
    v.position = QStringLiteral("37.55172, 126.97500");
    v.speed = 33;
    v.hasSignals = true;
    v.brake = true;
    const COverlayLayout l = COverlayRenderer::Layout(1920, 1080);
    QCOMPARE(l.size, QSize(1920, COverlayRenderer::BandHeight(1080)));
    // Every part inside the band, none overlapping the next.
    const QList<QRect> parts{l.timeRow, l.speedDigits, l.speedUnit, l.gRow, l.leftSignal, l.brakeSignal, l.rightSignal};
    for (int i = 0; i < parts.size(); ++i) {
        QVERIFY(QRect(QPoint(0, 0), l.size).contains(parts[i]));
        if (i > 0)
            QVERIFY(parts[i].left() >= parts[i - 1].right());
    }
    // Narrow pictures shrink the texts to fit.
    const COverlayLayout narrow = COverlayRenderer::Layout(320, 180);
    QVERIFY(narrow.rightSignal.right() < 320);
    QVERIFY(narrow.smallPixels >= 6);

    COverlayRenderer pictures;
    QVERIFY(pictures.LoadImageLibrary(LibraryPath()));
    COverlayRenderer shapes;
    QVERIFY2(!shapes.LoadImageLibrary(m_dir.filePath("missing.rcc")), qPrintable(QDir(":/").entryList().join(',')));
    const QImage a = pictures.RenderBand(1920, 1080, v);
    const QImage b = shapes.RenderBand(1920, 1080, v);
    QCOMPARE(a.size(), l.size);
    // At 1080 lines the signal pictures are drawn at their natural size.
    QCOMPARE(l.brakeSignal.size(), QSize(65, 45));
    QVERIFY(a.copy(l.brakeSignal) != b.copy(l.brakeSignal));
    // Shapes: the lit brake is red somewhere, the unlit turn signals are not green.
    auto hasColour = [](const QImage& img, auto pred) {
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                if (pred(img.pixelColor(x, y)))
                    return true;
        return false;
    };
    QVERIFY(hasColour(b.copy(l.brakeSignal), [](QColor c) { return c.red() > 180 && c.green() < 110; }));
    QVERIFY(!hasColour(b.copy(l.leftSignal), [](QColor c) { return c.green() > 150 && c.red() < 120; }));
    // Another speed changes the speed digits and nothing else.
    COverlayValues w = v;
    w.speed = 88;
    const QImage c = pictures.RenderBand(1920, 1080, w);
    QVERIFY(a.copy(l.speedDigits) != c.copy(l.speedDigits));
    QImage outside = a, outside2 = c;
    QPainter(&outside).fillRect(l.speedDigits, Qt::black);
    QPainter(&outside2).fillRect(l.speedDigits, Qt::black);
    QCOMPARE(outside, outside2);
}

void TestEvidence::yuvBlend()
{
    // Opaque white, half-transparent black, and clear: over mid grey.
    QImage band(4, 2, QImage::Format_ARGB32_Premultiplied);
    band.fill(Qt::transparent);
    band.setPixel(0, 0, qRgba(255, 255, 255, 255));
    band.setPixel(1, 0, qRgba(255, 255, 255, 255));
    band.setPixel(0, 1, qRgba(255, 255, 255, 255));
    band.setPixel(1, 1, qRgba(255, 255, 255, 255));
    band.setPixel(2, 0, qRgba(0, 0, 0, 128));
    CYuvOverlay o;
    o.Build(band, false);
    uint8_t y[4 * 4], u[2 * 2], v[2 * 2];
    std::fill(std::begin(y), std::end(y), 126);
    std::fill(std::begin(u), std::end(u), 128);
    std::fill(std::begin(v), std::end(v), 128);
    o.Blend(y, 4, u, 2, v, 2, 2);
    QCOMPARE(int(y[0]), 126);       // above the band: untouched
    QCOMPARE(int(y[2 * 4 + 0]), 235); // white
    QVERIFY(std::abs(int(y[2 * 4 + 2]) - (126 / 2 + 8)) <= 1); // half black: halfway to 16
    QCOMPARE(int(y[3 * 4 + 3]), 126); // clear
    QCOMPARE(int(u[2]), 128);
    QCOMPARE(int(v[2]), 128);
}

void TestEvidence::findsBothPictures()
{
    QString error;
    CClipExporter::Sources s = CClipExporter::FindSources(m_rear, &error);
    QCOMPARE(s.frontPath, QFileInfo(m_front).absoluteFilePath());
    QCOMPARE(s.rearPath, QFileInfo(m_rear).absoluteFilePath());
    s = CClipExporter::FindSources(m_avi, &error);
    QCOMPARE(s.frontPath, s.rearPath);
    QCOMPARE(s.rearVideo, 1);
    s = CClipExporter::FindSources(m_single, &error);
    QVERIFY(s.Valid() && !s.HasRear());
    QVERIFY(!CClipExporter::FindSources(m_dir.filePath("none.mp4"), &error).Valid());
    QVERIFY(!error.isEmpty());
}

void TestEvidence::streamCopyKeepsVideoBytes()
{
    const QString out = m_dir.filePath("copy");
    CClipOptions o;
    o.recording = m_front;
    o.fromSec = 2.5;
    o.toSec = 6.0;
    CClipResult r = Export(o, out); // as recorded: both pictures
    QVERIFY2(r.ok, qPrintable(r.error));
    QVERIFY(r.streamCopy);
    QCOMPARE(r.actualFromSec, 2.0); // the key frame before 2.5 s (one a second)
    QCOMPARE(r.outputPath, QDir(out).filePath(ClipSpan::OutputName(m_front, 2.5, 6.0)));
    QCOMPARE(r.videoFrames, qint64(4 * kFps));
    const Packets in = VideoPackets(m_front), inRear = VideoPackets(m_rear), got = VideoPackets(r.outputPath, 0),
                  gotRear = VideoPackets(r.outputPath, 1);
    QCOMPARE(got.data, in.data.mid(2 * kFps, 4 * kFps));
    QCOMPARE(gotRear.data, inRear.data.mid(2 * kFps, 4 * kFps));
    QVERIFY(got.key.first());
    const StreamInfo info = Probe(r.outputPath);
    QCOMPARE(info.videos, 2);
    QVERIFY2(qAbs(info.videoSeconds - 4.0) < 0.05, qPrintable(QString::number(info.videoSeconds)));
    QCOMPARE(info.audioCodec, QStringLiteral("aac"));
    QCOMPARE(info.subtitles, 1); // the telemetry comes along
    QCOMPARE(DecodeFrameNumber(DecodeVideoFrames(r.outputPath, 0, 1).value(0)), 2 * kFps);
    // Fast start: the movie box comes before the media data.
    QFile f(r.outputPath);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray head = f.read(1 << 16);
    QVERIFY(head.indexOf("moov") >= 0 && head.indexOf("moov") < head.indexOf("mdat"));
    // The viewer reads the clip's telemetry: the records of seconds 2 to 5.
    CTextData clipText;
    Telemetry::ExtractText(r.outputPath, clipText);
    QCOMPARE(clipText.gpsList.size(), size_t(4));
    QCOMPARE(int(clipText.gpsList.front().speed), SpeedAt(2));

    // The rear alone.
    o.layout = Layout::Rear;
    o.outputPath = m_dir.filePath("copy/rear.mp4");
    r = Export(o, out);
    QVERIFY2(r.ok, qPrintable(r.error));
    QCOMPARE(VideoPackets(r.outputPath).data, inRear.data.mid(2 * kFps, 4 * kFps));
    QCOMPARE(Probe(r.outputPath).videos, 1);
}

void TestEvidence::layouts_data()
{
    QTest::addColumn<int>("layout");
    QTest::addColumn<QSize>("size");
    QTest::newRow("front") << int(Layout::Front) << QSize(640, 360);
    QTest::newRow("rear") << int(Layout::Rear) << QSize(320, 180);
    QTest::newRow("side-by-side") << int(Layout::SideBySide) << QSize(1280, 360);
    QTest::newRow("pip") << int(Layout::Pip) << QSize(640, 360);
}

void TestEvidence::layouts()
{
    QFETCH(int, layout);
    QFETCH(QSize, size);
    CClipOptions o;
    o.recording = m_front;
    o.fromSec = 2.5;
    o.toSec = 5.0;
    o.layout = Layout(layout);
    // A single picture is re-encoded only under the overlay (which covers
    // its frame code); composed pictures are re-encoded without it.
    const bool composed = o.layout == Layout::SideBySide || o.layout == Layout::Pip;
    o.overlay = !composed;
    const CClipResult r = Export(o, m_dir.filePath(QStringLiteral("layout-%1").arg(layout)));
    QVERIFY2(r.ok, qPrintable(r.error));
    QVERIFY(!r.streamCopy);
    QCOMPARE(r.size, size);
    QCOMPARE(r.actualFromSec, 2.5);
    QCOMPARE(r.videoFrames, qint64(75)); // frames 75..149
    const QList<QImage> frames = DecodeVideoFrames(r.outputPath);
    QCOMPARE(frames.size(), 75);
    QCOMPARE(frames[0].size(), size);
    const StreamInfo info = Probe(r.outputPath);
    QCOMPARE(info.pixFmt, int(AV_PIX_FMT_YUV420P));
    QVERIFY2(qAbs(info.videoSeconds - 2.5) < 0.05, qPrintable(QString::number(info.videoSeconds)));
    QCOMPARE(info.level, size.width() > 640 ? 31 : 30); // 1280 x 360 at 30 a second: 54000 macroblocks/s > 3.0's 40500
    QCOMPARE(info.profile, int(FF_PROFILE_H264_HIGH));
    QCOMPARE(info.audioCodec, QStringLiteral("aac"));
    const CClipExporter::Composition c = CClipExporter::ComposeLayout(Layout(layout), QSize(640, 360), QSize(320, 180));
    QCOMPARE(c.out, size);
    for (int k : {0, 40, 74}) {
        if (!c.front.isEmpty() && composed)
            QCOMPARE(DecodeFrameNumber(frames[k].copy(c.front)), 75 + k);
        if (!c.rear.isEmpty() && composed)
            QCOMPARE(DecodeFrameNumber(frames[k].copy(c.rear)), 75 + k);
    }
}

void TestEvidence::overlayShowsTheSecondsTelemetry_data()
{
    QTest::addColumn<bool>("mph");
    QTest::newRow("km/h") << false;
    QTest::newRow("mph") << true;
}

void TestEvidence::overlayShowsTheSecondsTelemetry()
{
    QFETCH(bool, mph);
    // The same span with and without the overlay (side by side, re-encoded
    // both times): in the band, the clip with the overlay shows what the
    // overlay's own drawing of second 3's telemetry shows over the other.
    CClipOptions o;
    o.recording = m_front;
    o.fromSec = 2.0;
    o.toSec = 4.0;
    o.layout = Layout::SideBySide;
    o.mph = mph;
    o.crf = 12;
    const QString dir = m_dir.filePath(mph ? "ov-mph" : "ov-kmh");
    o.outputPath = dir + "/plain.mp4";
    const CClipResult plain = Export(o, dir);
    QVERIFY2(plain.ok, qPrintable(plain.error));
    o.overlay = true;
    o.outputPath = dir + "/overlay.mp4";
    const CClipResult overlaid = Export(o, dir);
    QVERIFY2(overlaid.ok, qPrintable(overlaid.error));
    QVERIFY(overlaid.libraryPictures);
    const int k = 45; // 3.5 s into the recording
    const QImage a = DecodeVideoFrames(plain.outputPath, 0, k + 1).value(k);
    const QImage b = DecodeVideoFrames(overlaid.outputPath, 0, k + 1).value(k);
    QVERIFY(!a.isNull() && !b.isNull());
    CTextData d;
    for (const QByteArray& r : Records())
        d.AddTextRecord(QString::fromLatin1(r));
    COverlayRenderer renderer;
    QVERIFY(renderer.LoadImageLibrary(LibraryPath()));
    auto expected = [&](const COverlayValues& v) {
        QImage img = a.convertToFormat(QImage::Format_RGB32);
        QPainter p(&img);
        p.drawImage(0, img.height() - COverlayRenderer::BandHeight(img.height()), renderer.RenderBand(img.width(), img.height(), v));
        return img;
    };
    const COverlayValues right = COverlayValues::From(CTelemetryMoment::At(d, 3, kSeconds), mph);
    QCOMPARE(right.speed, mph ? int(SpeedAt(3) * 0.621371192 + 0.5) : SpeedAt(3));
    COverlayValues wrong = right;
    wrong.speed = right.speed + 11;
    COverlayValues otherUnit = COverlayValues::From(CTelemetryMoment::At(d, 3, kSeconds), !mph);
    const COverlayLayout l = COverlayRenderer::Layout(a.width(), a.height());
    const QRect digits = l.speedDigits.translated(0, a.height() - l.size.height());
    const double good = MeanDiff(expected(right), b, digits);
    const double bad = MeanDiff(expected(wrong), b, digits);
    const double unit = MeanDiff(expected(otherUnit), b, digits);
    QVERIFY2(good < 6.0 && bad > good + 10.0 && unit > good + 10.0,
             qPrintable(QStringLiteral("good %1 wrong %2 other unit %3").arg(good).arg(bad).arg(unit)));
    // The brake and left signals are lit in second 3 only.
    const QRect brake = l.brakeSignal.translated(0, a.height() - l.size.height());
    COverlayValues off = right;
    off.brake = off.left = false;
    const double lit = MeanDiff(expected(right), b, brake), unlit = MeanDiff(expected(off), b, brake);
    QVERIFY2(lit < 6.0 && unlit > lit + 3.0, qPrintable(QStringLiteral("lit %1 unlit %2").arg(lit).arg(unlit)));
    // Above the band the pictures are the same.
    QVERIFY(MeanDiff(a, b, QRect(0, 0, a.width(), a.height() - l.size.height() - 16)) < 3.0);
}

void TestEvidence::dualStreamAvi()
{
    CClipOptions o;
    o.recording = m_avi;
    o.fromSec = 1.0;
    o.toSec = 3.0;
    CClipResult r = Export(o, m_dir.filePath("avi"));
    QVERIFY2(r.ok, qPrintable(r.error));
    QVERIFY(r.streamCopy);
    const StreamInfo info = Probe(r.outputPath);
    QCOMPARE(info.videos, 2);
    QCOMPARE(info.audioCodec, QStringLiteral("aac")); // the recording's PCM, encoded
    QCOMPARE(r.videoFrames, qint64(2 * kFps));
    QCOMPARE(DecodeFrameNumber(DecodeVideoFrames(r.outputPath, 0, 1).value(0)), kFps);
    QCOMPARE(DecodeFrameNumber(DecodeVideoFrames(r.outputPath, 1, 1).value(0)), kFps);

    o.layout = Layout::SideBySide;
    o.overlay = true;
    o.fromSec = 1.5;
    r = Export(o, m_dir.filePath("avi"));
    QVERIFY2(r.ok, qPrintable(r.error));
    QCOMPARE(r.size, QSize(640, 180));
    const QList<QImage> frames = DecodeVideoFrames(r.outputPath, 0, 1);
    QCOMPARE(frames.size(), 1);
    // The codes sit under the band; the rest of both pictures is there.
    const CClipExporter::Composition c = CClipExporter::ComposeLayout(Layout::SideBySide, QSize(320, 180), QSize(320, 180));
    QCOMPARE(c.rear, QRect(320, 0, 320, 180));
    QCOMPARE(r.videoFrames, qint64(45));
}

void TestEvidence::cancelLeavesTheOldClip()
{
    const QString dir = m_dir.filePath("cancel");
    QDir().mkpath(dir);
    const QString target = dir + "/clip.mp4";
    QFile old(target);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("old clip");
    old.close();
    CClipOptions o;
    o.recording = m_front;
    o.fromSec = 0;
    o.toSec = 10;
    o.layout = Layout::Pip;
    o.overlay = true;
    o.outputPath = target;
    o.imageLibrary = LibraryPath();
    std::atomic_bool cancel{false};
    int reports = 0;
    CClipExporter exporter;
    CClipResult r = exporter.Run(o, [&](int) { ++reports; cancel = true; }, &cancel);
    QVERIFY(!r.ok);
    QVERIFY(r.cancelled);
    QVERIFY(reports >= 1);
    QFile check(target);
    QVERIFY(check.open(QIODevice::ReadOnly));
    QCOMPARE(check.readAll(), QByteArray("old clip"));
    check.close();
    QCOMPARE(QDir(dir).entryList(QDir::Files | QDir::Hidden), QStringList{"clip.mp4"});

    // A failure leaves it too.
    o.layout = Layout::Rear;
    o.recording = m_single; // no rear picture
    r = exporter.Run(o);
    QVERIFY(!r.ok && !r.cancelled);
    QVERIFY(check.open(QIODevice::ReadOnly));
    QCOMPARE(check.readAll(), QByteArray("old clip"));
    check.close();

    // A finished clip replaces it.
    o.recording = m_front;
    o.layout = Layout::Front;
    o.overlay = false;
    o.toSec = 2;
    r = exporter.Run(o);
    QVERIFY2(r.ok, qPrintable(r.error));
    QVERIFY(check.open(QIODevice::ReadOnly));
    QCOMPARE(check.read(8).mid(4), QByteArray("ftyp"));
    QCOMPARE(QDir(dir).entryList(QDir::Files | QDir::Hidden), QStringList{"clip.mp4"});
}

void TestEvidence::spanAgainstTheRecording()
{
    CClipOptions o;
    o.recording = m_front;
    o.fromSec = 20;
    o.toSec = 30;
    const QString dir = m_dir.filePath("span");
    CClipResult r = Export(o, dir);
    QVERIFY(!r.ok);
    QVERIFY2(r.error.contains("after the recording's end"), qPrintable(r.error));
    QVERIFY(QDir(dir).entryList(QDir::Files | QDir::Hidden).isEmpty());
    o.fromSec = 10;
    r = Export(o, dir);
    QVERIFY2(r.ok, qPrintable(r.error));
    QCOMPARE(r.actualToSec, double(kSeconds));
    QCOMPARE(r.videoFrames, qint64(2 * kFps));
    QVERIFY(!r.notices.isEmpty());
    QVERIFY(r.outputPath.endsWith("_00m10s-00m12s.mp4"));
}

void TestEvidence::tool()
{
    const QString bin = qEnvironmentVariable("KESTRAV_BIN_DIR") + "/kestrav-export";
    const QString out = m_dir.filePath("tool");
    QProcess p;
    p.start(bin, {"--clip", "0:02-0:04", "--layout", "pip", "--overlay", "--unit", "mph", "-o", out, m_rear});
    QVERIFY(p.waitForFinished(120000));
    QCOMPARE(p.exitCode(), 0);
    const QByteArray said = p.readAllStandardOutput();
    const QString made = QDir(out).filePath(ClipSpan::OutputName(m_rear, 2, 4));
    QVERIFY2(said.contains(made.toLocal8Bit()) && said.contains("re-encoded from 00:02"), said.constData());
    QVERIFY(QFile::exists(made));
    QVERIFY(p.readAllStandardError().contains("100%"));
    // A copy says where it really starts.
    p.start(bin, {"--clip", "2.5-4", "-o", out, m_front});
    QVERIFY(p.waitForFinished(120000));
    QCOMPARE(p.exitCode(), 0);
    QVERIFY(p.readAllStandardOutput().contains("copied from the key frame at 00:02"));
    QVERIFY(p.readAllStandardError().contains("key frame at 00:02 (asked: 00:02.5)"));

    // Interrupted: nothing is left behind.
    const QString stopped = m_dir.filePath("tool-stopped");
    p.start(bin, {"--clip", "0-12", "--layout", "side-by-side", "--overlay", "-o", stopped, m_front});
    QVERIFY(p.waitForStarted());
    p.setReadChannel(QProcess::StandardError); // waitForReadyRead() waits on this channel
    QByteArray progress;
    while (!progress.contains("%") && p.state() == QProcess::Running && p.waitForReadyRead(60000))
        progress += p.readAllStandardError();
    QVERIFY2(progress.contains("%"), progress.constData());
    p.terminate(); // SIGTERM, as Ctrl+C's SIGINT
    QVERIFY(p.waitForFinished(60000));
    QCOMPARE(p.exitCode(), 1);
    QVERIFY(p.readAllStandardError().contains("cancelled, nothing written"));
    QVERIFY(QDir(stopped).entryList(QDir::Files | QDir::Hidden).isEmpty());
    p.setReadChannel(QProcess::StandardOutput);

    struct Case {
        QStringList args;
        int status;
    };
    const QList<Case> cases{
        {{"--clip", "4-2", "-o", out, m_front}, 2},
        {{"--clip", "1-2", "--layout", "diagonal", "-o", out, m_front}, 2},
        {{"--clip", "1-2", m_front}, 2},
        {{"--clip", "1-2", "-o", out, m_front, m_rear}, 2},
        {{"--overlay", "-o", out, m_front}, 2},
        {{"--clip", "1-2", "--layout", "rear", "-o", out, m_single}, 1},
        {{"--clip", "1-2", "-o", out, m_dir.filePath("missing.mp4")}, 1},
    };
    for (const Case& c : cases) {
        p.start(bin, c.args);
        QVERIFY(p.waitForFinished(60000));
        QVERIFY2(p.exitCode() == c.status, qPrintable(c.args.join(' ') + " -> " + QString::number(p.exitCode())));
    }
}

QTEST_MAIN(TestEvidence)
#include "tst_evidence.moc"
