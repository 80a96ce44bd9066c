// The recording writers of the test-support library: the files are what the
// options ask for, they play (FFmpeg, and GStreamer's avidemux/qtdemux as the
// playback engine uses them), every picture carries its number, and the same
// options give the same bytes.
#include "telemetry/AviText.h"
#include "writers/AviWriter.h"
#include "writers/MediaWriters.h"
#include "support/ReferenceDemux.h"
#include "support/TestPictureReader.h"

#include <QFile>
#include <QPainter>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#ifdef KESTRAV_HAVE_GST
#include <gst/gst.h>
#endif

namespace {

QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

#ifdef KESTRAV_HAVE_GST
// Plays a file through `demuxer` the way the engine does; collects the
// demuxer's pad names and the number of decoded pictures per video pad.
struct PlayResult {
    bool reachedEnd = false;
    QString error;
    QStringList pads;
    QMap<QString, int> pictures;
};

struct PlayContext {
    GstElement* pipeline = nullptr;
    PlayResult* result = nullptr;
    std::map<QString, int> counts; // decoded pictures per video pad (stable addresses)
};

GstPadProbeReturn CountBuffer(GstPad*, GstPadProbeInfo*, gpointer counter)
{
    ++*static_cast<int*>(counter);
    return GST_PAD_PROBE_OK;
}

void OnPadAdded(GstElement*, GstPad* pad, gpointer data)
{
    auto* ctx = static_cast<PlayContext*>(data);
    gchar* cname = gst_pad_get_name(pad);
    const QString name = QString::fromUtf8(cname);
    g_free(cname);
    ctx->result->pads << name;
    const bool video = name.startsWith(QLatin1String("video_"));
    // Pictures are decoded as the engine does; other streams are only carried.
    const char* description = video ? "queue ! h264parse ! avdec_h264 ! fakesink name=sink sync=false"
                                    : "queue ! fakesink sync=false";
    GError* error = nullptr;
    GstElement* bin = gst_parse_bin_from_description(description, TRUE, &error);
    if (!bin) {
        g_clear_error(&error);
        return;
    }
    gst_bin_add(GST_BIN(ctx->pipeline), bin);
    GstPad* sinkPad = gst_element_get_static_pad(bin, "sink");
    const GstPadLinkReturn linked = gst_pad_link(pad, sinkPad);
    gst_object_unref(sinkPad);
    if (linked != GST_PAD_LINK_OK)
        ctx->result->error = QStringLiteral("cannot link ") + name;
    gst_element_sync_state_with_parent(bin);
    if (video) {
        GstElement* sink = gst_bin_get_by_name(GST_BIN(bin), "sink");
        GstPad* in = gst_element_get_static_pad(sink, "sink");
        gst_pad_add_probe(in, GST_PAD_PROBE_TYPE_BUFFER, CountBuffer, &ctx->counts[name], nullptr);
        gst_object_unref(in);
        gst_object_unref(sink);
    }
}

PlayResult Play(const QString& path, const char* demuxer)
{
    PlayResult result;
    PlayContext ctx;
    ctx.result = &result;
    ctx.pipeline = gst_pipeline_new(nullptr);
    GstElement* src = gst_element_factory_make("filesrc", nullptr);
    GstElement* demux = gst_element_factory_make(demuxer, nullptr);
    if (!src || !demux) {
        result.error = QStringLiteral("missing elements");
        return result;
    }
    g_object_set(src, "location", QFile::encodeName(path).constData(), nullptr);
    gst_bin_add_many(GST_BIN(ctx.pipeline), src, demux, nullptr);
    gst_element_link(src, demux);
    g_signal_connect(demux, "pad-added", G_CALLBACK(OnPadAdded), &ctx);
    gst_element_set_state(ctx.pipeline, GST_STATE_PLAYING);
    GstBus* bus = gst_element_get_bus(ctx.pipeline);
    GstMessage* msg = gst_bus_timed_pop_filtered(bus, 60 * GST_SECOND, GstMessageType(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
    if (msg && GST_MESSAGE_TYPE(msg) == GST_MESSAGE_EOS) {
        result.reachedEnd = result.error.isEmpty();
    } else if (msg) {
        GError* err = nullptr;
        gst_message_parse_error(msg, &err, nullptr);
        result.error = QString::fromUtf8(err ? err->message : "error");
        g_clear_error(&err);
    } else {
        result.error = QStringLiteral("no end within the time limit");
    }
    if (msg)
        gst_message_unref(msg);
    gst_object_unref(bus);
    gst_element_set_state(ctx.pipeline, GST_STATE_NULL);
    gst_object_unref(ctx.pipeline);
    for (const auto& [name, n] : ctx.counts)
        result.pictures[name] = n;
    return result;
}
#endif

} // namespace

class TestTestMedia : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void frameNumberCode_data();
    void frameNumberCode();
    void notATestPicture();
    void mp4AsAsked();
    void mp4MoovInFront();
    void aviAsAsked();
    void sameOptionsSameBytes();
    void gstreamerPlaysAvi();
    void gstreamerPlaysMp4();

private:
    QString Path(const QString& name) const { return m_dir.filePath(name); }
    QTemporaryDir m_dir;
    Mp4Options m_mp4;
    AviOptions m_avi;
};

void TestTestMedia::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_mp4.durationSec = 2;
    m_mp4.size = QSize(320, 180);
    m_mp4.audio = true;
    m_mp4.textTracks = {{Mp4TextPacket("gsensor,1,2,3"), Mp4TextPacket("CAR,1,0,0", true), QByteArray("\x00\x01Q", 3)},
                        {Mp4TextPacket("gsensor,4,5,6")}};
    QString error;
    QVERIFY2(WriteTestMp4(Path(QStringLiteral("a.mp4")), m_mp4, &error), qPrintable(error));

    m_avi.durationSec = 2;
    m_avi.size = QSize(320, 180);
    m_avi.secondVideo = true;
    m_avi.secondSize = QSize(160, 90);
    m_avi.audio = true;
    m_avi.textPayloads = {CAviWriter::TextPayload("gsensor,7,8,9", 40), CAviWriter::TextPayload("CAR,0,1,0"),
                          CAviWriter::SplitPayload("GPRMC,010203.000,A,3733.0000,N,12658.0000,E,010.0,090.0,210514",
                                                   "12,-3,130")};
    QVERIFY2(WriteTestAvi(Path(QStringLiteral("a.avi")), m_avi, &error), qPrintable(error));
}

void TestTestMedia::frameNumberCode_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("number");
    QTest::addColumn<double>("scale");
    for (const QSize& size : {QSize(160, 90), QSize(320, 180), QSize(640, 360), QSize(1920, 1080)})
        for (int number : {0, 1, 0x5A5A, 0xFFFF, 12345})
            for (double scale : {1.0, 0.5, 1.7})
                QTest::addRow("%dx%d #%d x%.1f", size.width(), size.height(), number, scale) << size << number << scale;
}

void TestTestMedia::frameNumberCode()
{
    QFETCH(QSize, size);
    QFETCH(int, number);
    QFETCH(double, scale);
    TestPictureParams p;
    p.size = size;
    p.frameNumber = number;
    p.seconds = number / 30.0;
    p.noise = 30;
    QImage image = RenderTestPicture(p);
    if (scale != 1.0)
        image = image.scaled(size * scale, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    QCOMPARE(DecodeFrameNumber(image), number);
}

void TestTestMedia::notATestPicture()
{
    for (QRgb fill : {qRgb(0, 0, 0), qRgb(255, 255, 255), qRgb(128, 128, 128)}) {
        QImage img(320, 180, QImage::Format_RGB32);
        img.fill(fill);
        QCOMPARE(DecodeFrameNumber(img), -1);
    }
    QImage noise(320, 180, QImage::Format_RGB32);
    QRandomGenerator rng(5);
    for (int y = 0; y < noise.height(); ++y)
        for (int x = 0; x < noise.width(); ++x)
            noise.setPixel(x, y, rng.generate() | 0xFF000000u);
    QCOMPARE(DecodeFrameNumber(noise), -1);
    QCOMPARE(DecodeFrameNumber(QImage()), -1);
    // A smudged cell makes the code unreadable rather than wrong.
    TestPictureParams p;
    p.frameNumber = 0x00FF;
    QImage smudged = RenderTestPicture(p);
    QPainter(&smudged).fillRect(QRectF(320 * (1 - 4.5 / 28), 180 * (1 - 4.5 / 16), 320 / 28.0, 180 / 16.0), QColor(128, 128, 128));
    QCOMPARE(DecodeFrameNumber(smudged), -1);
}

void TestTestMedia::mp4AsAsked()
{
    const CFullDemuxResult demux = FullDemux(Path(QStringLiteral("a.mp4")));
    QVERIFY(demux.opened);
    QCOMPARE(demux.codecNames, QList<QByteArray>({"h264", "aac", "mov_text", "mov_text"}));
    // Text tracks hold exactly the packets given: no closing empty samples.
    QCOMPARE(demux.subtitlePackets, m_mp4.textTracks);
    const QList<QImage> frames = DecodeVideoFrames(Path(QStringLiteral("a.mp4")));
    QCOMPARE(frames.size(), qsizetype(60));
    QCOMPARE(frames[0].size(), QSize(320, 180));
    for (qsizetype i = 0; i < frames.size(); ++i)
        QCOMPARE(DecodeFrameNumber(frames[i]), int(i));

    // Variants: text first, an emptied packet, MPEG-4 Part 2, no video.
    Mp4Options o = m_mp4;
    o.textTracksFirst = true;
    o.emptyTextPackets = {1};
    o.codec = TestVideoCodec::Mpeg4Part2;
    o.audio = false;
    QString error;
    QVERIFY2(WriteTestMp4(Path(QStringLiteral("b.mp4")), o, &error), qPrintable(error));
    const CFullDemuxResult b = FullDemux(Path(QStringLiteral("b.mp4")));
    QCOMPARE(b.codecNames, QList<QByteArray>({"mov_text", "mov_text", "mpeg4"}));
    QList<QByteArray> expected = m_mp4.textTracks[0];
    expected[1] = QByteArray();
    QCOMPARE(b.subtitlePackets.value(0), expected);
    o = m_mp4;
    o.video = false;
    o.audio = false;
    QVERIFY2(WriteTestMp4(Path(QStringLiteral("c.mp4")), o, &error), qPrintable(error));
    QCOMPARE(FullDemux(Path(QStringLiteral("c.mp4"))).codecNames, QList<QByteArray>({"mov_text", "mov_text"}));
    // Empty packets only through emptyTextPackets; odd frame rates refused.
    o.textTracks = {{QByteArray()}};
    QVERIFY(!WriteTestMp4(Path(QStringLiteral("d.mp4")), o, &error));
    o = m_mp4;
    o.fps = 7;
    QVERIFY(!WriteTestMp4(Path(QStringLiteral("d.mp4")), o, &error));
}

void TestTestMedia::mp4MoovInFront()
{
    Mp4Options o = m_mp4;
    o.faststart = true;
    QString error;
    QVERIFY2(WriteTestMp4(Path(QStringLiteral("fast.mp4")), o, &error), qPrintable(error));
    const QByteArray bytes = ReadAll(Path(QStringLiteral("fast.mp4")));
    QVERIFY(bytes.indexOf("moov") < bytes.indexOf("mdat"));
    QCOMPARE(FullDemux(Path(QStringLiteral("fast.mp4"))).subtitlePackets, m_mp4.textTracks);
    const QList<QImage> frames = DecodeVideoFrames(Path(QStringLiteral("fast.mp4")));
    QCOMPARE(frames.size(), qsizetype(60));
    QCOMPARE(DecodeFrameNumber(frames.last()), 59);
}

void TestTestMedia::aviAsAsked()
{
    const QString path = Path(QStringLiteral("a.avi"));
    const CFullDemuxResult demux = FullDemux(path);
    QCOMPARE(demux.codecNames, QList<QByteArray>({"h264", "h264", "pcm_s16le"}));
    QCOMPARE(Telemetry::CheckH264(path), 1);
    // The camera's layout: the AVI walk finds every text chunk.
    CTextData data;
    Telemetry::ExtractAviText(path, data);
    QCOMPARE(data.gsensorList, std::vector<CGSensorData>({CGSensorData(7, 8, 9), CGSensorData(12, -3, 130)}));
    QCOMPARE(data.carInfoList.size(), size_t(1));
    QCOMPARE(data.gpsList.size(), size_t(1));
    QCOMPARE(data.gpsList[0].minute, 2);
    for (int stream : {0, 1}) {
        const QList<QImage> frames = DecodeVideoFrames(path, stream);
        QCOMPARE(frames.size(), qsizetype(60));
        QCOMPARE(frames[0].size(), stream == 0 ? QSize(320, 180) : QSize(160, 90));
        for (qsizetype i = 0; i < frames.size(); ++i)
            QCOMPARE(DecodeFrameNumber(frames[i]), int(i));
    }
    AviOptions lower = m_avi;
    lower.handler = "h264";
    lower.secondVideo = false;
    QString error;
    QVERIFY2(WriteTestAvi(Path(QStringLiteral("lower.avi")), lower, &error), qPrintable(error));
    QCOMPARE(Telemetry::CheckH264(Path(QStringLiteral("lower.avi"))), 0);
    QCOMPARE(FullDemux(Path(QStringLiteral("lower.avi"))).codecNames, QList<QByteArray>({"h264", "pcm_s16le"}));
}

void TestTestMedia::sameOptionsSameBytes()
{
    QString error;
    QVERIFY2(WriteTestMp4(Path(QStringLiteral("again.mp4")), m_mp4, &error), qPrintable(error));
    QVERIFY2(WriteTestAvi(Path(QStringLiteral("again.avi")), m_avi, &error), qPrintable(error));
    QVERIFY(ReadAll(Path(QStringLiteral("again.mp4"))) == ReadAll(Path(QStringLiteral("a.mp4"))));
    QVERIFY(ReadAll(Path(QStringLiteral("again.avi"))) == ReadAll(Path(QStringLiteral("a.avi"))));
}

void TestTestMedia::gstreamerPlaysAvi()
{
#ifdef KESTRAV_HAVE_GST
    gst_init(nullptr, nullptr);
    const PlayResult r = Play(Path(QStringLiteral("a.avi")), "avidemux");
    QVERIFY2(r.reachedEnd, qPrintable(r.error));
    QCOMPARE(r.pads, QStringList({QStringLiteral("video_0"), QStringLiteral("video_1"), QStringLiteral("audio_0")}));
    QCOMPARE(r.pictures.value(QStringLiteral("video_0")), 60);
    QCOMPARE(r.pictures.value(QStringLiteral("video_1")), 60);
#else
    QSKIP("built without GStreamer");
#endif
}

void TestTestMedia::gstreamerPlaysMp4()
{
#ifdef KESTRAV_HAVE_GST
    gst_init(nullptr, nullptr);
    const PlayResult r = Play(Path(QStringLiteral("a.mp4")), "qtdemux");
    QVERIFY2(r.reachedEnd, qPrintable(r.error));
    QVERIFY2(r.pads.contains(QStringLiteral("video_0")) && r.pads.contains(QStringLiteral("audio_0")),
             qPrintable(r.pads.join(QLatin1Char(' '))));
    QCOMPARE(r.pictures.value(QStringLiteral("video_0")), 60);
#else
    QSKIP("built without GStreamer");
#endif
}

QTEST_MAIN(TestTestMedia)
#include "tst_testmedia.moc"
