// The playback engine on real recordings written by the test writers: graph
// topologies, the MP4 pair, transport, pictures after seeks, the end of a
// recording, and bad input. Headless, no sound device needed.
#include "EngineFixture.h"

#include "writers/AviWriter.h"
#include "engine/GstSupport.h"
#include "writers/MediaWriters.h"
#include "platform/Platform.h"
#include "support/TraceCapture.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QtEndian>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>

#include <gst/gst.h>

using namespace Engine;

namespace {

// Elements of the graph by name; parked ones are in the graph but out of play.
GstElement* Child(const CVideoMgr& engine, const char* name)
{
    return engine.Graph() ? gst_bin_get_by_name(GST_BIN(engine.Graph()), name) : nullptr;
}

bool InGraph(const CVideoMgr& engine, const char* name)
{
    GstElement* e = Child(engine, name);
    if (e)
        gst_object_unref(e);
    return e != nullptr;
}

bool Parked(const CVideoMgr& engine, const char* name)
{
    GstElement* e = Child(engine, name);
    const bool parked = e && GstSupport::IsParked(e);
    if (e)
        gst_object_unref(e);
    return parked;
}

bool InputLinked(const CVideoMgr& engine, const char* name)
{
    GstElement* e = Child(engine, name);
    if (!e)
        return false;
    GstPad* pad = gst_element_get_static_pad(e, "sink");
    const bool linked = pad && gst_pad_is_linked(pad);
    if (pad)
        gst_object_unref(pad);
    gst_object_unref(e);
    return linked;
}

QSize FrameSize(const CVideoRenderer* renderer)
{
    const auto frame = renderer ? renderer->CurrentFrame() : nullptr;
    return frame ? frame->size() : QSize();
}

// --- stand-ins for media that never answers ----------------------------------

// An element that takes whatever it is given and passes nothing on: in place
// of a demultiplexer it never offers a stream; in place of a decoder (with
// an output pad) it never delivers a picture. Like a reader stuck on a bad card.
struct StallElement
{
    GstElement parent;
};
struct StallElementClass
{
    GstElementClass parentClass;
};
struct StallDecoder
{
    StallElement parent;
};
struct StallDecoderClass
{
    StallElementClass parentClass;
};

G_DEFINE_TYPE(StallElement, stall_element, GST_TYPE_ELEMENT)
G_DEFINE_TYPE(StallDecoder, stall_decoder, stall_element_get_type())

GstStaticPadTemplate kStallSink = GST_STATIC_PAD_TEMPLATE("sink", GST_PAD_SINK, GST_PAD_ALWAYS, GST_STATIC_CAPS_ANY);
GstStaticPadTemplate kStallSrc = GST_STATIC_PAD_TEMPLATE("src", GST_PAD_SRC, GST_PAD_ALWAYS, GST_STATIC_CAPS_ANY);

GstFlowReturn StallChain(GstPad*, GstObject*, GstBuffer* buffer)
{
    gst_buffer_unref(buffer);
    return GST_FLOW_OK;
}

gboolean StallEvent(GstPad*, GstObject*, GstEvent* event)
{
    gst_event_unref(event);
    return TRUE;
}

void stall_element_class_init(StallElementClass* klass)
{
    auto* element = GST_ELEMENT_CLASS(klass);
    gst_element_class_add_static_pad_template(element, &kStallSink);
    gst_element_class_set_static_metadata(element, "Stall", "Test", "Swallows everything", "Kestrav tests");
}

void stall_element_init(StallElement* self)
{
    GstPad* sink = gst_pad_new_from_static_template(&kStallSink, "sink");
    gst_pad_set_chain_function(sink, StallChain);
    gst_pad_set_event_function(sink, StallEvent);
    gst_element_add_pad(GST_ELEMENT(self), sink);
}

void stall_decoder_class_init(StallDecoderClass* klass)
{
    gst_element_class_add_static_pad_template(GST_ELEMENT_CLASS(klass), &kStallSrc);
}

void stall_decoder_init(StallDecoder* self)
{
    gst_element_add_pad(GST_ELEMENT(self), gst_pad_new_from_static_template(&kStallSrc, "src"));
}

// Puts `type` in the registry under a factory name for as long as it lives,
// and the original factory back afterwards.
class CFactoryStandIn
{
public:
    CFactoryStandIn(const char* name, GType type)
        : m_name(name)
    {
        GstRegistry* registry = gst_registry_get();
        m_original = gst_registry_lookup_feature(registry, name);
        if (m_original)
            gst_registry_remove_feature(registry, m_original);
        gst_element_register(nullptr, name, GST_RANK_NONE, type);
    }
    ~CFactoryStandIn()
    {
        GstRegistry* registry = gst_registry_get();
        if (GstPluginFeature* mine = gst_registry_lookup_feature(registry, m_name)) {
            gst_registry_remove_feature(registry, mine);
            gst_object_unref(mine);
        }
        if (m_original)
            gst_registry_add_feature(registry, m_original); // takes the reference back
    }
    CFactoryStandIn(const CFactoryStandIn&) = delete;
    CFactoryStandIn& operator=(const CFactoryStandIn&) = delete;

private:
    const char* m_name;
    GstPluginFeature* m_original = nullptr;
};

} // namespace

class TestVideoMgr : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void aviTopologies_data();
    void aviTopologies();
    void mp4Pair_data();
    void mp4Pair();
    void mp4WithoutPartner();
    void reopenReusesRenderers();
    void withoutGraph();

    void seeksShowTheRightPicture();
    void skipBounds();
    void seeksWhilePlayingTagTheirPictures();
    void skipsIgnoredWhenStopped();
    void positionsInWholeSeconds();
    void rateChanges();
    void volumeReachesTheAudio();
    void brightness();

    void endOfRecording();
    void swapWhileStoppedWaitsForOpen();
    void swapWhileStoppedWithGraph();
    void geometryThroughTheEngine();
    void zoomAndPanFollowTheSwap();
    void rendererPaintsIntoItsWindow();
    void redrawAfterEveryPaintSettles();
    void picturesScaledToTheirWindow();

    void recordingKindByContent_data();
    void recordingKindByContent();
    void missingFile_data();
    void missingFile();
    void notH264_data();
    void notH264();
    void missingDecoderPlugin();
    void truncatedRecordingsEnd_data();
    void truncatedRecordingsEnd();
    void mp4CutBeforeItsIndexIsRefused();
    void graphErrorEndsTheRecording();
    void aviWithoutIndex();
    void corruptH264KeepsGuiAlive();
    void nothingToShowIsAFailedOpen_data();
    void nothingToShowIsAFailedOpen();
    void openThatNeverAnswersIsBounded_data();
    void openThatNeverAnswersIsBounded();
    void longPath();
    void rearVanishes_data();
    void rearVanishes();

private:
    QString Path(const QString& name) const { return m_dir.filePath(name); }
    void WriteAvi(const QString& name, const AviOptions& o);
    void WriteMp4(const QString& name, const Mp4Options& o);

    QTemporaryDir m_dir;
    CRecordingPlatform m_platform;
};

void TestVideoMgr::WriteAvi(const QString& name, const AviOptions& o)
{
    QString error;
    QVERIFY2(WriteTestAvi(Path(name), o, &error), qPrintable(error));
}

void TestVideoMgr::WriteMp4(const QString& name, const Mp4Options& o)
{
    QString error;
    QVERIFY2(WriteTestMp4(Path(name), o, &error), qPrintable(error));
}

void TestVideoMgr::initTestCase()
{
    QVERIFY(m_dir.isValid());
    CPlatform::Install(&m_platform);

    AviOptions avi;
    avi.durationSec = 3.0;
    avi.size = QSize(160, 96);
    avi.secondSize = QSize(96, 64);
    WriteAvi("one.avi", avi);
    avi.audio = true;
    WriteAvi("one_audio.avi", avi);
    avi.secondVideo = true;
    WriteAvi("two_audio.avi", avi);
    avi.audio = false;
    WriteAvi("two.avi", avi);
    // A longer one for skips and seeks: 12 s, both pictures, audio, text.
    avi.durationSec = 12.0;
    avi.audio = true;
    avi.textPayloads = {CAviWriter::TextPayload("gsensori,1,256,0,0,128"),
                        CAviWriter::TextPayload("GPRMC,120010,A,3730.5,N,12658.5,E,10,90,010124")};
    WriteAvi("long.avi", avi);
    avi.textPayloads.clear();

    Mp4Options mp4;
    mp4.durationSec = 3.0;
    mp4.size = QSize(160, 96);
    mp4.audio = true;
    mp4.textTracks = {{Mp4TextPacket("gsensori,1,256,0,0,128")}};
    WriteMp4("REC_2014_05_21_13_45_30_F.MP4", mp4);
    mp4.size = QSize(96, 64);
    mp4.channel = 'R';
    mp4.audio = false;
    WriteMp4("REC_2014_05_21_13_45_30_R.MP4", mp4);
    mp4.size = QSize(160, 96);
    mp4.channel = 'F';
    mp4.audio = true;
    WriteMp4("REC_2014_05_21_14_00_00_F.MP4", mp4);
}

void TestVideoMgr::init()
{
    m_platform.Clear();
}

void TestVideoMgr::cleanup()
{
}

// ---------------------------------------------------------------------------

void TestVideoMgr::aviTopologies_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("streams");
    QTest::addColumn<bool>("audio");
    QTest::newRow("one video") << "one.avi" << 1 << false;
    QTest::newRow("one video, audio") << "one_audio.avi" << 1 << true;
    QTest::newRow("two videos") << "two.avi" << 2 << false;
    QTest::newRow("two videos, audio") << "two_audio.avi" << 2 << true;
}

void TestVideoMgr::aviTopologies()
{
    QFETCH(QString, file);
    QFETCH(int, streams);
    QFETCH(bool, audio);
    CTraceCapture trace;
    CEngineHarness h;
    QVERIFY(h.Open(Path(file)));
    CVideoMgr& e = h.engine;
    QCOMPARE(e.GetState(), int(STATE_PAUSE));
    QCOMPARE(e.GetVideoTrackCount(), streams);
    QCOMPARE(e.HasNoAudio(), !audio);
    QVERIFY(trace.Contains(streams == 2 ? "Kestrav----->VIDEO STREAM 2" : "Kestrav----->VIDEO STREAM 1"));
    QVERIFY(trace.Contains("PASS Filter Connect"));
    QVERIFY(trace.Contains("PASS Load Movie File"));

    // Every element of the AVI graph is there under its name.
    for (const char* name : {GraphName::kFileSource, GraphName::kAviSplitter, GraphName::kAudioWrapper,
                             GraphName::kAudioRenderer, GraphName::kDecoderSub, GraphName::kDecoderMain,
                             GraphName::kRendererSub, GraphName::kRendererMain})
        QVERIFY2(InGraph(e, name), name);
    QVERIFY(!InGraph(e, GraphName::kMp4Source));

    // Connected: front always; rear only with two streams; audio through the wrapper.
    QVERIFY(InputLinked(e, GraphName::kDecoderMain));
    QVERIFY(InputLinked(e, GraphName::kRendererMain));
    QCOMPARE(InputLinked(e, GraphName::kDecoderSub), streams == 2);
    QCOMPARE(InputLinked(e, GraphName::kRendererSub), streams == 2);
    QCOMPARE(Parked(e, GraphName::kRendererSub), streams != 2);
    QCOMPARE(InputLinked(e, GraphName::kAudioWrapper), audio);
    QCOMPARE(InputLinked(e, GraphName::kAudioRenderer), audio);
    QCOMPARE(Parked(e, GraphName::kAudioRenderer), !audio);

    // Pre-rolled: when the open returns, the first picture of each connected
    // stream is published under the open's serial.
    QCOMPARE(e.ShownFrameInfo(kFrontTarget).serial, e.CurrentSerial());
    QCOMPARE(e.ShownFrameInfo(kFrontTarget).streamTimeNs, int64_t(0));
    QCOMPARE(FrameNumberAt(e, kFrontTarget), 0);
    QCOMPARE(FrameSize(e.FrontRenderer()), QSize(160, 96));
    if (streams == 2) {
        QCOMPARE(e.ShownFrameInfo(kRearTarget).serial, e.CurrentSerial());
        QCOMPARE(FrameNumberAt(e, kRearTarget), 0);
        QCOMPARE(FrameSize(e.RearRenderer()), QSize(96, 64));
    } else {
        QCOMPARE(e.RearRenderer()->FrameCount(), uint64_t(0));
    }
    QCOMPARE(e.GetDuration(), 3L);
    QCOMPARE(e.GetPosition(), 0L);

    // It plays.
    QCOMPARE(e.Play(), S_OK);
    QCOMPARE(e.GetState(), int(STATE_PLAY));
    QVERIFY(WaitForFrame(e.FrontRenderer(), [](int n) { return n >= 20; }));
    if (streams == 2)
        QVERIFY(WaitForFrame(e.RearRenderer(), [](int n) { return n >= 20; }));
    QVERIFY(e.Close());
    QCOMPARE(e.GetVideoTrackCount(), 0);
    QVERIFY(!e.Graph());
    QVERIFY(m_platform.CallsOf("MessageBox").isEmpty());
}

void TestVideoMgr::mp4Pair_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("single");
    QTest::addColumn<int>("streams");
    QTest::addColumn<QSize>("frontPicture"); // the front camera is 160x96, the rear 96x64
    QTest::addColumn<bool>("audio");
    QTest::newRow("front file, dual") << "REC_2014_05_21_13_45_30_F.MP4" << false << 2 << QSize(160, 96) << true;
    QTest::newRow("rear file, dual") << "REC_2014_05_21_13_45_30_R.MP4" << false << 2 << QSize(160, 96) << true;
    QTest::newRow("front file, single") << "REC_2014_05_21_13_45_30_F.MP4" << true << 1 << QSize(160, 96) << true;
    QTest::newRow("rear file, single") << "REC_2014_05_21_13_45_30_R.MP4" << true << 1 << QSize(96, 64) << false;
}

void TestVideoMgr::mp4Pair()
{
    QFETCH(QString, file);
    QFETCH(bool, single);
    QFETCH(int, streams);
    QFETCH(QSize, frontPicture);
    QFETCH(bool, audio);
    CTraceCapture trace;
    CEngineHarness h;
    QCOMPARE(CVideoMgr::RecordingKind(Path(file)), CVideoMgr::Kind::Mp4);
    QVERIFY(h.Open(Path(file), single));
    CVideoMgr& e = h.engine;
    QCOMPARE(e.GetVideoTrackCount(), streams);
    QCOMPARE(e.HasNoAudio(), !audio);
    QVERIFY(InGraph(e, GraphName::kMp4Source));
    QVERIFY(!InGraph(e, GraphName::kFileSource));
    QVERIFY(!InGraph(e, GraphName::kAudioWrapper)); // MP4 audio goes straight to the renderer
    QCOMPARE(InputLinked(e, GraphName::kAudioRenderer), audio);
    if (audio)
        QVERIFY(trace.Contains(streams == 2 ? "{CVideoMgr::ConnectFilter} AVI Splitter to Audio Wrapper"
                                            : "{CVideoMgr::ConnectFilter} Source to Audio Renderer"));
    QCOMPARE(InputLinked(e, GraphName::kRendererSub), streams == 2);

    QCOMPARE(FrameNumberAt(e, kFrontTarget), 0);
    QCOMPARE(FrameSize(e.FrontRenderer()), frontPicture);
    if (streams == 2) {
        QCOMPARE(FrameNumberAt(e, kRearTarget), 0);
        QCOMPARE(FrameSize(e.RearRenderer()), QSize(96, 64));
    }
    // Both pictures run under one clock: after a seek both show the same moment.
    e.SetPosition(50); // 1.5 s -> frame 45
    const uint64_t seek = e.CurrentSerial();
    QVERIFY(WaitForSerial(e, kFrontTarget, seek));
    QCOMPARE(FrameNumberAt(e, kFrontTarget), 45);
    if (streams == 2) {
        QVERIFY(WaitForSerial(e, kRearTarget, seek));
        QCOMPARE(FrameNumberAt(e, kRearTarget), 45);
    }
    e.Play();
    QVERIFY(WaitForFrame(e.FrontRenderer(), [](int n) { return n >= 60; }));
    if (streams == 2) {
        QVERIFY(WaitForFrame(e.RearRenderer(), [](int n) { return n >= 60; }));
        // In step: once paused, the two latest pictures are not far apart.
        e.Pause();
        QTRY_VERIFY(qAbs(FrameNumberOf(e.FrontRenderer()) - FrameNumberOf(e.RearRenderer())) <= 2);
    }
}

void TestVideoMgr::mp4WithoutPartner()
{
    CEngineHarness h;
    QVERIFY(h.Open(Path("REC_2014_05_21_14_00_00_F.MP4")));
    QCOMPARE(h.engine.GetVideoTrackCount(), 1);
    QVERIFY(!h.engine.HasNoAudio());
    QCOMPARE(FrameNumberAt(h.engine, kFrontTarget), 0);
    QCOMPARE(h.engine.RearRenderer()->FrameCount(), uint64_t(0));
    QVERIFY(!h.engine.LatestFrame(kRearTarget).HasPicture());
    h.engine.Play();
    QVERIFY(h.WaitComplete());
}

void TestVideoMgr::reopenReusesRenderers()
{
    CEngineHarness h;
    CVideoMgr& e = h.engine;
    QVERIFY(h.Open(Path("two.avi")));
    CVideoRenderer* front = e.FrontRenderer();
    CVideoRenderer* rear = e.RearRenderer();
    GstElement* frontElement = front->Element();
    QCOMPARE(front->Target(), kFrontTarget);
    QCOMPARE(rear->Target(), kRearTarget);
    QCOMPARE(e.TargetRenderer(kFrontTarget), front);
    QCOMPARE(e.TargetRenderer(kRearTarget), rear);
    QCOMPARE(FrameNumberOf(front), 0);
    const uint64_t firstOpen = e.CurrentSerial();

    // A second open without Close closes the first graph and reuses the renderers.
    GstElement* firstGraph = e.Graph();
    QVERIFY(h.Open(Path("REC_2014_05_21_13_45_30_F.MP4")));
    QVERIFY(e.Graph() != nullptr);
    Q_UNUSED(firstGraph);
    QCOMPARE(e.FrontRenderer(), front);
    QCOMPARE(e.RearRenderer(), rear);
    QCOMPARE(front->Element(), frontElement);
    QCOMPARE(e.CurrentSerial(), firstOpen + 1); // every open takes a serial
    QCOMPARE(front->CurrentSerial(), e.CurrentSerial());
    QCOMPARE(FrameNumberOf(front), 0);
    QCOMPARE(FrameSize(front), QSize(160, 96));

    QVERIFY(e.Close());
    QCOMPARE(e.GetState(), int(STATE_STOP));
    QCOMPARE(front->Target(), kNoTarget);
    QCOMPARE(rear->Target(), kNoTarget);
    QVERIFY(!front->CurrentFrame()); // no stale picture after Close
    QVERIFY(!e.LatestFrame(kFrontTarget).HasPicture());
    QVERIFY(!e.Close());

    // And once more, an AVI after the MP4.
    QVERIFY(h.Open(Path("one_audio.avi")));
    QCOMPARE(e.FrontRenderer(), front);
    QCOMPARE(front->Target(), kFrontTarget);
    QCOMPARE(FrameNumberOf(front), 0);
    e.Play();
    QVERIFY(h.WaitComplete());

    // The rear renderer, left out of that one-stream graph, plays again in the next.
    QVERIFY(h.Open(Path("two_audio.avi")));
    QCOMPARE(FrameNumberOf(rear), 0);
    e.Play();
    QVERIFY(WaitForFrame(rear, [](int n) { return n >= 30; }));
    QVERIFY(h.WaitComplete());
}

void TestVideoMgr::withoutGraph()
{
    CEngineHarness h;
    CVideoMgr& e = h.engine;
    QCOMPARE(e.Play(), S_OK);
    QCOMPARE(e.GetState(), int(STATE_STOP)); // unchanged
    QCOMPARE(e.Pause(), S_OK);
    QCOMPARE(e.GetState(), int(STATE_STOP));
    QCOMPARE(e.Stop(), S_FALSE);
    QCOMPARE(e.HandleGraphEvent(), E_ABORT);
    QVERIFY(!e.Close());
    QCOMPARE(e.GetDuration(), 0L);
    QCOMPARE(e.GetPosition(), 0L);
    e.SetPosition(50);
    e.SeekForwards();
    e.SeekBackwards();
    QCOMPARE(e.CurrentSerial(), uint64_t(0)); // nothing was opened or sought
    QVERIFY(!e.LatestFrame(kFrontTarget).HasPicture());
    // Level and rate are stored without a graph; the next open applies the level.
    e.SetVolume(10);
    QCOMPARE(e.GetVolume(), 10);
    e.SetVideoSpeed(3.0f);
    QCOMPARE(e.GetVideoSpeed(), 3.0f);
    QVERIFY(h.Open(Path("one_audio.avi")));
    QCOMPARE(e.GetAppliedAttenuation(), -999);
    QCOMPARE(e.GetVideoSpeed(), 1.0f); // every open resets the rate
}

// ---------------------------------------------------------------------------
// transport

void TestVideoMgr::seeksShowTheRightPicture()
{
    CEngineHarness h;
    CVideoMgr& e = h.engine;
    QVERIFY(h.Open(Path("long.avi")));
    QCOMPARE(FrameNumberAt(e, kFrontTarget), 0);
    QCOMPARE(e.GetDuration(), 12L);
    struct Case {
        int percent;
        int frame;
    };
    // 12 s at 30 fps: per cent p shows frame 360 * p / 100 (3.6 frames per cent).
    // The first picture of each seek's serial is the one at its target.
    for (Case c : {Case{25, 90}, Case{50, 180}, Case{10, 36}, Case{0, 0}, Case{99, 356}}) {
        const uint64_t before = e.CurrentSerial();
        e.SetPosition(c.percent);
        const uint64_t seek = e.CurrentSerial();
        QCOMPARE(seek, before + 1);
        QVERIFY(WaitForSerial(e, kFrontTarget, seek));
        QVERIFY(WaitForSerial(e, kRearTarget, seek));
        QCOMPARE(FrameNumberAt(e, kFrontTarget), c.frame);
        QCOMPARE(FrameNumberAt(e, kRearTarget), c.frame);
        // Its stream time lies within that picture's time (clipped to the seek's target).
        const int64_t t = e.ShownFrameInfo(kFrontTarget).streamTimeNs;
        QVERIFY2(t >= int64_t(c.frame) * 1'000'000'000 / 30 && t < int64_t(c.frame + 1) * 1'000'000'000 / 30,
                 qPrintable(QString::number(t)));
    }
}

void TestVideoMgr::skipBounds()
{
    CTraceCapture trace;
    CEngineHarness h;
    CVideoMgr& e = h.engine;
    QVERIFY(h.Open(Path("long.avi")));
    CVideoRenderer* front = e.FrontRenderer();
    QCOMPARE(FrameNumberOf(front), 0);

    // At position 0 a forward skip does nothing: no seek, no serial, no picture.
    const uint64_t frames = front->FrameCount();
    const uint64_t opened = e.CurrentSerial();
    e.SeekForwards();
    QVERIFY(!trace.Contains("CVideoMgr::SeekForwards"));
    QCOMPARE(e.CurrentSerial(), opened);
    QCOMPARE(front->FrameCount(), frames);
    QCOMPARE(FrameNumberOf(front), 0);

    // Each skip lands exactly: its first picture is the one at its target.
    auto skipShows = [&](int frame) {
        return WaitForSerial(front, e.CurrentSerial()) && FrameNumberOf(front) == frame;
    };
    // 1 s + 10 s = 11 s: frame 330.
    e.SetPosition(9); // 1.08 s -> frame 32
    QVERIFY(skipShows(32));
    e.SeekForwards();
    QVERIFY(skipShows(332));
    QCOMPARE(e.GetPosition(), 11L);
    // Less than 10 s left: 0.1 s before the end, 11.9 s -> frame 357.
    e.SeekForwards();
    QVERIFY(skipShows(357));
    QCOMPARE(e.GetPositionUnits(), e.GetDurationUnits() - kEndMarginUnits);
    // Backwards: 1.9 s -> frame 57, then not below 0.
    e.SeekBackwards();
    QVERIFY(skipShows(57));
    e.SeekBackwards();
    QVERIFY(skipShows(0));
    QCOMPARE(e.GetPositionUnits(), int64_t(0));
    QVERIFY(h.completes.isEmpty());
}

void TestVideoMgr::seeksWhilePlayingTagTheirPictures()
{
    // While it plays, a picture carries a seek's serial only from the seek's
    // target on; pictures still arriving from before the seek keep the old
    // serial. Watched on every turn of the event loop over several seeks.
    CEngineHarness h;
    CVideoMgr& e = h.engine;
    QVERIFY(h.Open(Path("long.avi")));
    e.Play();
    QVERIFY(WaitForFrame(e.FrontRenderer(), [](int n) { return n >= 10; }));
    struct Seen {
        uint64_t serial;
        int frame;
    };
    for (const int percent : {75, 25, 60, 10}) {
        const int target = 360 * percent / 100;
        e.SetPosition(percent);
        const uint64_t seek = e.CurrentSerial();
        QList<Seen> seen;
        const bool arrived = QTest::qWaitFor(
            [&] {
                const CVideoFrame f = e.LatestFrame(kFrontTarget);
                const int n = f.HasPicture() ? DecodeFrameNumber(*f.image) : -1;
                seen.append({f.serial, n});
                return f.serial == seek && n > target + 5;
            },
            10000);
        QVERIFY(arrived);
        for (const Seen& s : seen) {
            if (s.serial == seek)
                QVERIFY2(s.frame >= target, qPrintable(QString("%1% -> frame %2 under the seek's serial").arg(percent).arg(s.frame)));
            else
                QVERIFY(s.serial < seek);
        }
    }
}

void TestVideoMgr::skipsIgnoredWhenStopped()
{
    CEngineHarness h;
    CVideoMgr& e = h.engine;
    QVERIFY(h.Open(Path("long.avi")));
    e.SetPosition(50);
    QVERIFY(WaitForSerial(e, kFrontTarget, e.CurrentSerial()));
    QCOMPARE(FrameNumberAt(e, kFrontTarget), 180);
    QCOMPARE(e.Stop(), S_OK);
    QCOMPARE(e.GetState(), int(STATE_STOP));
    QVERIFY(e.Graph()); // Stop keeps the graph
    // The seek's picture has arrived (its serial is shown): count from here.
    const uint64_t frames = e.FrontRenderer()->FrameCount();
    const uint64_t serial = e.CurrentSerial();
    e.SeekForwards();
    e.SeekBackwards();
    QCOMPARE(e.CurrentSerial(), serial); // no seek was issued
    QCOMPARE(e.FrontRenderer()->FrameCount(), frames);
    QCOMPARE(FrameNumberAt(e, kFrontTarget), 180);
    QCOMPARE(e.GetPosition(), 6L);
}

void TestVideoMgr::positionsInWholeSeconds()
{
    CEngineHarness h;
    CVideoMgr& e = h.engine;
    QVERIFY(h.Open(Path("long.avi")));
    // 83 % of 12 s = 9.96 s: whole seconds truncate to 9. The position is
    // the target from the seek on, before its picture shows, paused or playing.
    e.SetPosition(83);
    QCOMPARE(e.GetPositionUnits(), int64_t(99'600'000));
    QVERIFY(WaitForSerial(e, kFrontTarget, e.CurrentSerial()));
    QCOMPARE(FrameNumberAt(e, kFrontTarget), 298);
    QCOMPARE(e.GetPositionUnits(), int64_t(99'600'000));
    QCOMPARE(e.GetPosition(), 9L);
    e.Play();
    e.SetPosition(25);
    QCOMPARE(e.GetPositionUnits(), int64_t(30'000'000));
    QVERIFY(WaitForSerial(e, kFrontTarget, e.CurrentSerial()));
    QVERIFY(e.GetPositionUnits() >= 30'000'000);
    e.Pause();
    // Seeking to the very end ends the recording once it runs.
    e.SetPosition(100);
    e.Play();
    QVERIFY(h.WaitComplete());
}

void TestVideoMgr::rateChanges()
{
    CTraceCapture trace;
    CEngineHarness h;
    CVideoMgr& e = h.engine;
    QVERIFY(h.Open(Path("long.avi")));
    QCOMPARE(e.GetAppliedRate(), 1.0);
    e.Play();
    QVERIFY(WaitForFrame(e.FrontRenderer(), [](int n) { return n >= 15; }));
    const uint64_t beforeRate = e.CurrentSerial();
    e.SetVideoSpeed(4.0f);
    QCOMPARE(e.CurrentSerial(), beforeRate + 1); // a rate change is a seek of its own
    QVERIFY(WaitForSerial(e, kFrontTarget, e.CurrentSerial()));
    QVERIFY(trace.Contains("SetRate() S_OK"));
    QVERIFY(trace.Contains("CVideoMgr::SetVideoSpeed(4.000000)"));
    QCOMPARE(e.GetVideoSpeed(), 4.0f);
    QCOMPARE(e.GetAppliedRate(), 4.0);
    // Still playing forward, with the audio chain in place.
    const int before = FrameNumberOf(e.FrontRenderer());
    QVERIFY(WaitForFrame(e.FrontRenderer(), [&](int n) { return n > before + 30; }));
    // Positions stay in stream time at any rate: paused, the position is the picture's time.
    e.Pause();
    auto atPicture = [&] { return int64_t(FrameNumberOf(e.FrontRenderer())) * kUnitsPerSecond / 30; };
    QTRY_VERIFY2(qAbs(e.GetPositionUnits() - atPicture()) <= kUnitsPerSecond / 15,
                 qPrintable(QString("position %1, picture %2").arg(e.GetPositionUnits()).arg(atPicture())));
    e.Play();
    e.SetVideoSpeed(0.2f);
    QCOMPARE(e.GetAppliedRate(), double(0.2f));
    QVERIFY(WaitForSerial(e, kFrontTarget, e.CurrentSerial()));
    const int slow = FrameNumberOf(e.FrontRenderer());
    QVERIFY(WaitForFrame(e.FrontRenderer(), [&](int n) { return n > slow; }));

    // A refused rate is stored but not applied, and seeks nothing.
    trace.Clear();
    const uint64_t beforeRefusal = e.CurrentSerial();
    e.SetVideoSpeed(-1.0f);
    QCOMPARE(e.CurrentSerial(), beforeRefusal);
    QCOMPARE(e.GetVideoSpeed(), -1.0f);
    QCOMPARE(e.GetAppliedRate(), double(0.2f));
    QVERIFY(trace.Contains("SetRate() E_INVALIDARG"));
    QVERIFY(trace.Contains("CVideoMgr::get_Rate(0.200000)"));

    // Position keeps its meaning at any rate: a seek lands on its frame.
    e.Pause();
    e.SetPosition(50);
    QVERIFY(WaitForSerial(e, kFrontTarget, e.CurrentSerial()));
    QCOMPARE(FrameNumberAt(e, kFrontTarget), 180);
}

void TestVideoMgr::volumeReachesTheAudio()
{
    CEngineHarness h;
    CVideoMgr& e = h.engine;
    QVERIFY(h.Open(Path("one_audio.avi")));
    QCOMPARE(e.GetAppliedAttenuation(), -301); // the initial 50
    GstElement* renderer = Child(e, GraphName::kAudioRenderer);
    QVERIFY(renderer);
    GstElement* volume = nullptr;
    GstIterator* it = gst_bin_iterate_recurse(GST_BIN(renderer));
    GValue item = G_VALUE_INIT;
    while (gst_iterator_next(it, &item) == GST_ITERATOR_OK) {
        auto* child = GST_ELEMENT(g_value_get_object(&item));
        if (g_strcmp0(GST_OBJECT_NAME(gst_element_get_factory(child)), "volume") == 0)
            volume = GST_ELEMENT(gst_object_ref(child));
        g_value_reset(&item);
    }
    g_value_unset(&item);
    gst_iterator_free(it);
    gst_object_unref(renderer);
    QVERIFY(volume);
    auto amplitude = [volume] {
        double v = -1;
        g_object_get(volume, "volume", &v, nullptr);
        return v;
    };
    QVERIFY(qAbs(amplitude() - 0.7071) < 0.001);
    e.SetVolume(0);
    QCOMPARE(e.GetAppliedAttenuation(), -9999);
    QVERIFY(amplitude() < 1.1e-5);
    e.SetVolume(100);
    QCOMPARE(e.GetAppliedAttenuation(), 0);
    QCOMPARE(amplitude(), 1.0);
    gst_object_unref(volume);
    // The level survives the recording.
    e.SetVolume(10);
    QVERIFY(h.Open(Path("two_audio.avi")));
    QCOMPARE(e.GetVolume(), 10);
    QCOMPARE(e.GetAppliedAttenuation(), -999);
}

void TestVideoMgr::brightness()
{
    CEngineHarness h;
    CVideoMgr& e = h.engine;
    QVERIFY(h.Open(Path("one.avi")));
    QCOMPARE(FrameNumberAt(e, kFrontTarget), 0);
    const auto mean = [](const QImage& img) {
        qint64 sum = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                sum += qGray(img.pixel(x, y));
        return double(sum) / (img.width() * img.height());
    };
    const double neutral = mean(*e.FrontRenderer()->CurrentFrame());
    e.SetBrightness(90);
    QCOMPARE(e.GetBrightness(), 90);
    e.SetPosition(0); // a fresh picture through the adjusted chain
    QVERIFY(WaitForSerial(e, kFrontTarget, e.CurrentSerial()));
    QVERIFY(mean(*e.FrontRenderer()->CurrentFrame()) > neutral + 20);
    e.SetBrightness(50);
    e.SetPosition(0);
    QVERIFY(WaitForSerial(e, kFrontTarget, e.CurrentSerial()));
    QVERIFY(qAbs(mean(*e.FrontRenderer()->CurrentFrame()) - neutral) < 1.0);
}

// ---------------------------------------------------------------------------

void TestVideoMgr::endOfRecording()
{
    CTraceCapture trace;
    CEngineHarness h;
    CVideoMgr& e = h.engine;
    QVERIFY(h.Open(Path("two_audio.avi")));
    e.Play();
    QVERIFY(h.WaitComplete());
    QCOMPARE(h.Count(kMsgPlayComplete), 1);
    // 0x407 arrives with the graph already closed.
    QCOMPARE(h.completes.size(), 1);
    QCOMPARE(h.completes[0].state, int(STATE_STOP));
    QCOMPARE(h.completes[0].tracks, 0);
    QVERIFY(!h.completes[0].graph);
    QVERIFY(h.Count(kMsgGraphNotify) >= 1);
    QVERIFY(trace.Contains("CVideoMgr::HandleGraphEvent EC_COMPLETE"));
    // The last pictures were shown before the end.
    QVERIFY(trace.Contains("Kestrav-----> CVideoMgr::OnClose End"));
    // Nothing more arrives for the closed recording.
    QTest::qWait(200);
    QCOMPARE(h.Count(kMsgPlayComplete), 1);
    QCOMPARE(e.HandleGraphEvent(), E_ABORT);
}

void TestVideoMgr::swapWhileStoppedWaitsForOpen()
{
    CEngineHarness h;
    CVideoMgr& e = h.engine;
    QCOMPARE(e.SetReverseMode(true), 0);
    QVERIFY(e.GetReverseMode());
    QVERIFY(!e.FrontRenderer()); // nothing to move yet
    QVERIFY(h.Open(Path("two.avi")));
    // The open applied the stored swap: rear picture in the front window.
    QCOMPARE(e.RearRenderer()->Target(), kFrontTarget);
    QCOMPARE(e.FrontRenderer()->Target(), kRearTarget);
    QCOMPARE(e.RearRenderer()->VideoPosition(), QRect(0, 0, 640, 360));
    QCOMPARE(e.FrontRenderer()->VideoPosition(), QRect(0, 0, 320, 180));
    QCOMPARE(e.LatestFrame(kFrontTarget).sourceSize, QSize(96, 64)); // the rear camera
    QCOMPARE(e.LatestFrame(kFrontTarget).destination, QRect(0, 0, 640, 360));

    // Once open, a swap moves the pictures at once.
    QCOMPARE(e.SetReverseMode(false), 0);
    QCOMPARE(e.FrontRenderer()->Target(), kFrontTarget);
    QCOMPARE(e.RearRenderer()->Target(), kRearTarget);
    QCOMPARE(e.LatestFrame(kFrontTarget).sourceSize, QSize(160, 96));
    QVERIFY(e.Close());
    QVERIFY(!e.GetReverseMode());
    e.SetReverseMode(true);
    QVERIFY(e.GetReverseMode()); // stored without a graph, for the next open
}

void TestVideoMgr::swapWhileStoppedWithGraph()
{
    // Stopped with the graph held, a swap binds the pictures at once, so that
    // the zoom that follows a restart acts on the picture in the front window.
    CEngineHarness h;
    CVideoMgr& e = h.engine;
    QVERIFY(h.Open(Path("two.avi")));
    e.Play();
    e.Stop();
    QVERIFY(e.Graph());
    QCOMPARE(e.SetReverseMode(true), 0);
    QCOMPARE(e.RearRenderer()->Target(), kFrontTarget);
    QCOMPARE(e.FrontRenderer()->Target(), kRearTarget);
    e.Play();
    e.SetVideoViewSize(2.0f);
    const CVideoFrame front = e.LatestFrame(kFrontTarget);
    const CVideoFrame rear = e.LatestFrame(kRearTarget);
    QCOMPARE(front.sourceSize, QSize(96, 64)); // the rear camera, enlarged
    QCOMPARE(front.destination, QRect(0, 0, 1280, 720));
    QCOMPARE(rear.sourceSize, QSize(160, 96));
    QCOMPARE(rear.destination, QRect(0, 0, 320, 180));
    e.MoveVideoPosByPercent(-50, 50);
    QCOMPARE(e.LatestFrame(kFrontTarget).destination, QRect(-320, -180, 1280, 720));
    QCOMPARE(e.LatestFrame(kRearTarget).destination, QRect(0, 0, 320, 180));
    // And back, still stopped.
    e.Stop();
    e.SetVideoViewSize(1.0f);
    QCOMPARE(e.SetReverseMode(false), 0);
    QCOMPARE(e.LatestFrame(kFrontTarget).sourceSize, QSize(160, 96));
    QCOMPARE(e.LatestFrame(kFrontTarget).destination, QRect(0, 0, 640, 360));
}

void TestVideoMgr::geometryThroughTheEngine()
{
    CEngineHarness h;
    CVideoMgr& e = h.engine;
    QSignalSpy spy(e.Notifier(), &CTransportNotifier::NotifyMessage);
    // Before any open there is no renderer: the rectangle moves, the zoom is not stored.
    e.SetVideoViewSize(2.0f);
    QCOMPARE(e.GetVideoViewSize(), 1.0f);
    QCOMPARE(e.FrontPictureRect(), (CViewRect{0, 0, 1280, 720}));

    QVERIFY(h.Open(Path("two.avi")));
    CVideoRenderer* front = e.FrontRenderer();
    CVideoRenderer* rear = e.RearRenderer();
    QCOMPARE(e.FrontPictureRect(), (CViewRect{0, 0, 640, 360}));
    QCOMPARE(e.RearPictureRect(), (CViewRect{0, 0, 320, 180}));
    QCOMPARE(front->VideoPosition(), QRect(0, 0, 640, 360));
    QCOMPARE(rear->VideoPosition(), QRect(0, 0, 320, 180));
    QCOMPARE(front->AspectRatioMode(), VMR_ARMODE_LETTER_BOX);
    QVERIFY(e.LatestFrame(kFrontTarget).keepAspect);

    spy.clear();
    QSignalSpy ready(e.Notifier(), &CTransportNotifier::FrameReady);
    e.SetVideoViewSize(0.5f);
    QCOMPARE(e.GetVideoViewSize(), 0.5f);
    QCOMPARE(front->VideoPosition(), QRect(160, 90, 320, 180));
    QCOMPARE(e.LatestFrame(kFrontTarget).destination, QRect(160, 90, 320, 180));
    QCOMPARE(rear->VideoPosition(), QRect(0, 0, 320, 180)); // zoom concerns the front window only
    // 0x40E is posted: it arrives later, not during the call; so does the
    // front target's news of its new rectangle.
    QCOMPARE(spy.count(), 0);
    QCOMPARE(ready.count(), 0);
    QTRY_COMPARE(h.Count(kMsgViewSizeChanged) > 0, true);
    QTRY_VERIFY(ready.contains(QVariantList{kFrontTarget}));

    e.SetVideoViewSize(1.5f);
    QCOMPARE(front->VideoPosition(), QRect(0, 0, 960, 540));
    e.SetVideoViewSize(2.0f);
    QCOMPARE(e.FrontPictureRect(), (CViewRect{0, 0, 1280, 720}));
    e.MoveVideoPosByPercent(-50, 50);
    QCOMPARE(front->VideoPosition(), QRect(-320, -180, 1280, 720));
    e.MoveVideoPosByPercent(-100, 100);
    QCOMPARE(front->VideoPosition(), QRect(-640, -360, 1280, 720));
    QCOMPARE(e.FrontPictureRect(), (CViewRect{0, 0, 1280, 720})); // the stored rectangle stays

    // ResetSize while zoomed re-applies the zoom and leaves keep-aspect alone.
    e.SetVideoViewSize(1.5f);
    e.ResetSize(false);
    QCOMPARE(e.GetVideoViewSize(), 1.5f);
    QCOMPARE(e.GetKeepAspect(), true);
    QCOMPARE(front->VideoPosition(), QRect(0, 0, 960, 540));
    QCOMPARE(front->AspectRatioMode(), VMR_ARMODE_LETTER_BOX);

    // At 1.0 ResetSize fits both windows and stores the mode.
    e.SetVideoViewSize(1.0f);
    h.Resize(h.front, QSize(800, 450));
    e.ResetSize(false);
    QCOMPARE(e.GetKeepAspect(), false);
    QCOMPARE(front->AspectRatioMode(), VMR_ARMODE_NONE);
    QCOMPARE(rear->AspectRatioMode(), VMR_ARMODE_NONE);
    QCOMPARE(front->VideoPosition(), QRect(0, 0, 800, 450));
    QVERIFY(!e.LatestFrame(kFrontTarget).keepAspect);

    // Every open sets the zoom back to 1.0.
    e.SetVideoViewSize(2.0f);
    QVERIFY(h.Open(Path("one.avi")));
    QCOMPARE(e.GetVideoViewSize(), 1.0f);
}

void TestVideoMgr::zoomAndPanFollowTheSwap()
{
    CEngineHarness h;
    CVideoMgr& e = h.engine;
    QVERIFY(h.Open(Path("two.avi")));
    e.Play();
    QCOMPARE(e.SetReverseMode(true), 0);
    CVideoRenderer* front = e.FrontRenderer();
    CVideoRenderer* rear = e.RearRenderer();
    // The rear camera's picture is now the one in the front window.
    QCOMPARE(rear->Target(), kFrontTarget);
    QCOMPARE(e.TargetRenderer(kFrontTarget), rear);
    QCOMPARE(rear->VideoPosition(), QRect(0, 0, 640, 360));
    QCOMPARE(front->VideoPosition(), QRect(0, 0, 320, 180));
    e.SetVideoViewSize(2.0f);
    QCOMPARE(rear->VideoPosition(), QRect(0, 0, 1280, 720));
    QCOMPARE(front->VideoPosition(), QRect(0, 0, 320, 180));
    e.MoveVideoPosByPercent(-50, 50);
    QCOMPARE(rear->VideoPosition(), QRect(-320, -180, 1280, 720));
    QCOMPARE(front->VideoPosition(), QRect(0, 0, 320, 180));
}

void TestVideoMgr::rendererPaintsIntoItsWindow()
{
    CEngineHarness h;
    CVideoMgr& e = h.engine;
    h.Resize(h.front, QSize(640, 480)); // 160x96 letter-boxed: 640x384 at y 48
    QVERIFY(h.Open(Path("one.avi")));
    QCOMPARE(FrameNumberAt(e, kFrontTarget), 0);
    QPalette pal = h.front.palette();
    pal.setColor(QPalette::Window, QColor(0, 200, 0)); // the "skin"
    h.front.setPalette(pal);
    // The window heard of the first picture.
    QTRY_VERIFY(h.front.readyCount > 0);

    QImage shot = h.front.grab().toImage();
    QCOMPARE(shot.size(), QSize(640, 480));
    QCOMPARE(QColor(shot.pixel(320, 10)), QColor(Qt::black)); // letter-box bar
    QCOMPARE(QColor(shot.pixel(320, 470)), QColor(Qt::black));
    QCOMPARE(DecodeFrameNumber(shot.copy(0, 48, 640, 384)), 0);

    // Stretched over the whole window.
    e.ResetSize(false);
    shot = h.front.grab().toImage();
    QCOMPARE(DecodeFrameNumber(shot), 0);

    // Zoomed out: the skin shows around the smaller picture.
    e.SetVideoViewSize(0.5f);
    shot = h.front.grab().toImage();
    QCOMPARE(QColor(shot.pixel(5, 5)), QColor(0, 200, 0));
    QCOMPARE(DecodeFrameNumber(shot.copy(160, 120, 320, 240)), 0);

    // After a seek the window shows the new picture.
    e.SetVideoViewSize(1.0f);
    const int ready = h.front.readyCount;
    e.SetPosition(50);
    QVERIFY(WaitForSerial(e, kFrontTarget, e.CurrentSerial()));
    QTRY_VERIFY(h.front.readyCount > ready);
    shot = h.front.grab().toImage();
    QCOMPARE(DecodeFrameNumber(shot), 45);

    // Closed: the window shows only its own painting again.
    e.Close();
    shot = h.front.grab().toImage();
    QCOMPARE(QColor(shot.pixel(320, 240)), QColor(0, 200, 0));
}

void TestVideoMgr::redrawAfterEveryPaintSettles()
{
    // The viewer's windows ask for the video to be redrawn after each of
    // their paints; that must not start a loop of paints.
    CEngineHarness h;
    CVideoMgr& e = h.engine;
    h.front.redrawAfterPaint = true;
    QVERIFY(h.Open(Path("one.avi")));
    h.front.show();
    QVERIFY(QTest::qWaitForWindowExposed(&h.front));
    QTRY_VERIFY(h.front.paints >= 1);
    QTest::qWait(100);
    const int settled = h.front.paints;
    // Nothing changed: the paints must stop, however often the window asks.
    QTest::qWait(300);
    QCOMPARE(h.front.paints, settled);
    e.ReDrawVideo();
    QTest::qWait(100);
    QCOMPARE(h.front.paints, settled);
    // A new geometry is painted once.
    e.SetVideoViewSize(0.5f);
    QTRY_COMPARE(h.front.paints, settled + 1);
    QTest::qWait(200);
    QCOMPARE(h.front.paints, settled + 1);
}

void TestVideoMgr::picturesScaledToTheirWindow()
{
    // 160x96 pictures in windows smaller than that arrive at the size they
    // are painted at; the proportions still come from the decoded size.
    CEngineHarness h;
    CVideoMgr& e = h.engine;
    h.Resize(h.front, QSize(100, 100)); // letter-boxed: 100x60
    h.Resize(h.rear, QSize(320, 180));  // larger than decoded: not scaled
    QVERIFY(h.Open(Path("two.avi")));
    QCOMPARE(e.FrontRenderer()->ScaledSize(), QSize(100, 60));
    QCOMPARE(e.RearRenderer()->ScaledSize(), QSize());
    auto nextPicture = [&] {
        e.SetPosition(e.GetPosition() == 0 ? 50 : 0);
        return WaitForSerial(e, kFrontTarget, e.CurrentSerial()) && WaitForSerial(e, kRearTarget, e.CurrentSerial());
    };
    QVERIFY(nextPicture());
    CVideoFrame front = e.LatestFrame(kFrontTarget);
    QCOMPARE(front.image->size(), QSize(100, 60));
    QCOMPARE(front.sourceSize, QSize(160, 96));
    QCOMPARE(VideoPictureRect(front), QRect(0, 20, 100, 60));
    QCOMPARE(e.LatestFrame(kRearTarget).image->size(), QSize(96, 64));
    // Painted: bars above and below, the picture between them as it came.
    const QImage shot = h.front.grab().toImage().convertToFormat(QImage::Format_RGB32);
    QCOMPARE(QColor(shot.pixel(50, 10)), QColor(Qt::black));
    QCOMPARE(QColor(shot.pixel(50, 90)), QColor(Qt::black));
    QCOMPARE(shot.copy(0, 20, 100, 60), front.image->convertToFormat(QImage::Format_RGB32));

    // Stretched: the destination's size.
    h.Resize(h.front, QSize(120, 40));
    e.ResetSize(false);
    QCOMPARE(e.FrontRenderer()->ScaledSize(), QSize(120, 40));
    QVERIFY(nextPicture());
    front = e.LatestFrame(kFrontTarget);
    QCOMPARE(front.image->size(), QSize(120, 40));
    QCOMPARE(VideoPictureRect(front), QRect(0, 0, 120, 40));

    // Enlarged past the decoded size: passed on as decoded.
    e.SetVideoViewSize(2.0f); // 240x80
    QCOMPARE(e.FrontRenderer()->ScaledSize(), QSize(160, 80));
    e.SetVideoViewSize(1.0f);
    h.Resize(h.front, QSize(640, 360));
    e.ResetSize(true);
    QCOMPARE(e.FrontRenderer()->ScaledSize(), QSize());
    QVERIFY(nextPicture());
    QCOMPARE(e.LatestFrame(kFrontTarget).image->size(), QSize(160, 96));
    QCOMPARE(FrameNumberAt(e, kFrontTarget), e.GetPosition() == 0 ? 0 : 45);

    // Closed: the next recording starts at its own decoded size.
    QVERIFY(e.Close());
    QCOMPARE(e.FrontRenderer()->ScaledSize(), QSize());
}

// ---------------------------------------------------------------------------
// bad input

void TestVideoMgr::recordingKindByContent_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("opens");
    QTest::addColumn<int>("streams");
    // The ".avi" test ignores case and never opens the file as MP4.
    QTest::newRow("AVI upper case") << "two.avi" << "TWO.AVI" << true << 2;
    QTest::newRow("MP4 named .Avi") << "REC_2014_05_21_14_00_00_F.MP4" << "mp4inside.Avi" << false << 0;
    // Content decides for other names.
    QTest::newRow("AVI named .mp4") << "one.avi" << "avi_inside.mp4" << true << 1;
    QTest::newRow("MP4 named .bin") << "REC_2014_05_21_14_00_00_F.MP4" << "clip.bin" << true << 1;
}

void TestVideoMgr::recordingKindByContent()
{
    QFETCH(QString, source);
    QFETCH(QString, name);
    QFETCH(bool, opens);
    QFETCH(int, streams);
    const QString sub = m_dir.filePath("kind");
    QVERIFY(QDir().mkpath(sub));
    const QString path = sub + "/" + name;
    QFile::remove(path);
    QVERIFY(QFile::copy(Path(source), path));
    CEngineHarness h;
    QCOMPARE(h.Open(path), opens);
    QCOMPARE(h.engine.GetVideoTrackCount(), streams);
    if (opens)
        QCOMPARE(FrameNumberOf(h.engine.FrontRenderer()), 0);
}

void TestVideoMgr::missingFile_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("avi") << "nothing-here.avi";
    QTest::newRow("mp4 name") << "REC_2014_05_21_09_00_00_F.MP4";
}

void TestVideoMgr::missingFile()
{
    QFETCH(QString, name);
    CEngineHarness h;
    QVERIFY(!h.Open(Path(name)));
    const auto boxes = m_platform.CallsOf("MessageBox");
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(boxes[0].text, QString("Error : Failed to Load File (0x80070002)"));
    // The half-built graph goes with the next open or Close.
    QVERIFY(h.Open(Path("one.avi")));
    QCOMPARE(FrameNumberOf(h.engine.FrontRenderer()), 0);
}

void TestVideoMgr::notH264_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("failure");
    QTest::addColumn<int>("tracks"); // what the open found before the failure
    QTest::newRow("avi, MJPG handler") << "mjpg.avi" << "Error : Connection failed: AVI Splitter to Decoder (0x80040207)"
                                       << 1;
    QTest::newRow("mp4, MPEG-4 part 2") << "REC_2014_05_21_10_00_00_F.MP4"
                                         << "Error : Connection failed: Source to AVI Splitter (0x8004022f)" << 0;
}

void TestVideoMgr::notH264()
{
    QFETCH(QString, name);
    QFETCH(QString, failure);
    QFETCH(int, tracks);
    if (!QFile::exists(Path(name))) {
        if (name.endsWith(".avi")) {
            AviOptions o;
            o.durationSec = 1.0;
            o.handler = "MJPG";
            WriteAvi(name, o);
        } else {
            Mp4Options o;
            o.durationSec = 1.0;
            o.codec = TestVideoCodec::Mpeg4Part2;
            WriteMp4(name, o);
        }
    }
    CTraceCapture trace;
    CEngineHarness h;
    // Not read as MP4: the viewer's MP4 reader takes H.264 only.
    QCOMPARE(CVideoMgr::RecordingKind(Path(name)), CVideoMgr::Kind::Avi);
    QVERIFY(!h.Open(Path(name)));
    QVERIFY2(trace.Contains(failure), qPrintable(trace.Lines().join('\n')));
    QCOMPARE(h.engine.GetVideoTrackCount(), tracks);
    QVERIFY(m_platform.CallsOf("MessageBox").isEmpty()); // connection failures are traced only
    QVERIFY(h.engine.Close());
}

void TestVideoMgr::missingDecoderPlugin()
{
    GstRegistry* registry = gst_registry_get();
    GstPluginFeature* feature = gst_registry_lookup_feature(registry, "avdec_h264");
    QVERIFY(feature);
    gst_registry_remove_feature(registry, feature);
    CTraceCapture trace;
    CEngineHarness h;
    const bool opened = h.Open(Path("one.avi"));
    gst_registry_add_feature(registry, feature); // takes the reference back
    QVERIFY(!opened);
    QVERIFY(trace.Contains("CreateObject : LoadLibrary [avdec_h264] Failed."));
    QVERIFY(trace.Contains(
        "CreateObject : the GStreamer element 'avdec_h264' is not installed (package gstreamer1.0-libav)"));
    const auto boxes = m_platform.CallsOf("MessageBox");
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(boxes[0].text, QString("Error : Failed to Create Filter 'NV Video Decoder Sub' (0x80004005)"));
    // With the plug-in back, the same engine opens the recording.
    QVERIFY(h.Open(Path("one.avi")));
    QCOMPARE(FrameNumberOf(h.engine.FrontRenderer()), 0);
}

void TestVideoMgr::truncatedRecordingsEnd_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("mp4");
    QTest::newRow("avi cut at 60%") << "cut.avi" << false;
    QTest::newRow("mp4 (moov first) cut at 60%") << "REC_2014_05_21_11_00_00_F.MP4" << true;
}

void TestVideoMgr::truncatedRecordingsEnd()
{
    QFETCH(QString, name);
    QFETCH(bool, mp4);
    if (mp4) {
        Mp4Options o;
        o.durationSec = 4.0;
        o.size = QSize(160, 96);
        o.audio = true;
        o.faststart = true;
        WriteMp4(name, o);
    } else {
        AviOptions o;
        o.durationSec = 4.0;
        o.size = QSize(160, 96);
        o.secondVideo = true;
        o.secondSize = QSize(96, 64);
        o.audio = true;
        WriteAvi(name, o);
    }
    QFile f(Path(name));
    QVERIFY(f.open(QIODevice::ReadWrite));
    QVERIFY(f.resize(f.size() * 6 / 10));
    f.close();

    CEngineHarness h;
    QVERIFY(h.Open(Path(name)));
    CVideoMgr& e = h.engine;
    QCOMPARE(FrameNumberOf(e.FrontRenderer()), 0);
    e.Play();
    QVERIFY(WaitForFrame(e.FrontRenderer(), [](int n) { return n >= 30; }));
    QVERIFY(h.WaitComplete());
    QCOMPARE(h.completes.size(), 1);
    QCOMPARE(h.completes[0].state, int(STATE_STOP));
}

void TestVideoMgr::mp4CutBeforeItsIndexIsRefused()
{
    // The MP4 index (moov) comes last: a recording cut short has none, is not
    // read as MP4, and the open fails cleanly.
    Mp4Options o;
    o.durationSec = 2.0;
    o.size = QSize(160, 96);
    WriteMp4("REC_2014_05_21_12_00_00_F.MP4", o);
    QFile f(Path("REC_2014_05_21_12_00_00_F.MP4"));
    QVERIFY(f.open(QIODevice::ReadWrite));
    QVERIFY(f.resize(f.size() / 2));
    f.close();
    CEngineHarness h;
    QCOMPARE(CVideoMgr::RecordingKind(f.fileName()), CVideoMgr::Kind::Avi);
    QVERIFY(!h.Open(f.fileName()));
    QVERIFY(h.engine.Close());
    QVERIFY(h.Open(Path("one.avi")));
}

void TestVideoMgr::graphErrorEndsTheRecording()
{
    CTraceCapture trace;
    CEngineHarness h;
    CVideoMgr& e = h.engine;
    QVERIFY(h.Open(Path("long.avi")));
    e.Play();
    QVERIFY(WaitForFrame(e.FrontRenderer(), [](int n) { return n >= 10; }));
    // An element of the graph fails while it plays (as a decoder giving up would).
    GstElement* decoder = Child(e, GraphName::kDecoderMain);
    QVERIFY(decoder);
    GError* error = g_error_new_literal(GST_STREAM_ERROR, GST_STREAM_ERROR_DECODE, "damaged beyond repair");
    gst_element_post_message(decoder, gst_message_new_error(GST_OBJECT(decoder), error, "test"));
    g_error_free(error);
    gst_object_unref(decoder);
    QVERIFY(h.WaitComplete());
    QVERIFY(trace.Contains(QString::asprintf("CVideoMgr::HandleGraphEvent 3 (0x3)")));
    QCOMPARE(h.completes.size(), 1);
    QCOMPARE(h.completes[0].state, int(STATE_STOP));
    QVERIFY(!h.completes[0].graph);
}

void TestVideoMgr::aviWithoutIndex()
{
    AviOptions o;
    o.durationSec = 2.0;
    o.size = QSize(160, 96);
    o.secondVideo = true;
    o.secondSize = QSize(96, 64);
    o.audio = true;
    WriteAvi("noindex.avi", o);
    QFile f(Path("noindex.avi"));
    QVERIFY(f.open(QIODevice::ReadWrite));
    QByteArray bytes = f.readAll();
    const qsizetype idx = bytes.lastIndexOf("idx1");
    QVERIFY(idx > 0);
    bytes.truncate(idx);
    PutLe32(bytes, 4, uint32_t(bytes.size() - 8));
    QVERIFY(f.resize(0));
    QVERIFY(f.seek(0));
    QCOMPARE(f.write(bytes), bytes.size());
    f.close();

    CEngineHarness h;
    QVERIFY(h.Open(Path("noindex.avi")));
    CVideoMgr& e = h.engine;
    QCOMPARE(e.GetVideoTrackCount(), 2);
    QVERIFY(!e.HasNoAudio());
    QCOMPARE(FrameNumberOf(e.FrontRenderer()), 0);
    e.SetPosition(50);
    QVERIFY(WaitForSerial(e, kFrontTarget, e.CurrentSerial()));
    QCOMPARE(FrameNumberAt(e, kFrontTarget), 30);
    e.Play();
    QVERIFY(h.WaitComplete());
    QVERIFY(FrameNumberOf(e.FrontRenderer()) < 0); // Close cleared the picture
}

void TestVideoMgr::corruptH264KeepsGuiAlive()
{
    AviOptions o;
    o.durationSec = 4.0;
    o.size = QSize(160, 96);
    o.audio = true;
    WriteAvi("corrupt.avi", o);
    QFile f(Path("corrupt.avi"));
    QVERIFY(f.open(QIODevice::ReadWrite));
    QByteArray bytes = f.readAll();
    // Scramble the middle of the media list (frame data and chunk headers alike).
    quint32 x = 12345;
    for (qsizetype i = bytes.size() / 4; i < bytes.size() * 3 / 4; i += 7) {
        x = x * 1103515245u + 12345u;
        bytes[i] = char(x >> 24);
    }
    QVERIFY(f.seek(0));
    f.write(bytes);
    f.close();

    CEngineHarness h;
    int ticks = 0;
    QTimer timer;
    connect(&timer, &QTimer::timeout, [&] { ++ticks; });
    timer.start(20);
    QVERIFY(h.Open(Path("corrupt.avi")));
    h.engine.Play();
    // Whatever the decoder makes of it, the recording ends and the GUI thread
    // kept turning meanwhile.
    QVERIFY(h.WaitComplete(30000));
    QVERIFY(ticks > 0);
    QCOMPARE(h.engine.GetState(), int(STATE_STOP));
}

void TestVideoMgr::nothingToShowIsAFailedOpen_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("damage");
    // The headers (and the index) are sound, so the splitter offers its
    // streams and everything links; the media behind them yields no picture.
    QTest::newRow("avi, frames replaced by garbage") << "garbage_frames.avi" << "garbage";
    QTest::newRow("avi, frames zeroed") << "zero_frames.avi" << "zero";
}

void TestVideoMgr::nothingToShowIsAFailedOpen()
{
    QFETCH(QString, name);
    QFETCH(QString, damage);
    AviOptions o;
    o.durationSec = 2.0;
    o.size = QSize(160, 96);
    o.secondVideo = true;
    o.secondSize = QSize(96, 64);
    WriteAvi(name, o);
    QFile f(Path(name));
    QVERIFY(f.open(QIODevice::ReadWrite));
    QByteArray bytes = f.readAll();
    // Every video chunk's payload (after its 8-byte header) is overwritten.
    const qsizetype movi = bytes.indexOf("movi");
    const qsizetype idx1 = bytes.lastIndexOf("idx1");
    QVERIFY(movi > 0 && idx1 > movi);
    quint32 x = 777;
    int chunks = 0;
    for (qsizetype at = movi + 4; at + 8 <= idx1;) {
        const QByteArray id = bytes.mid(at, 4);
        const quint32 size = qFromLittleEndian<quint32>(bytes.constData() + at + 4);
        if (id.endsWith("dc") || id.endsWith("db")) {
            for (qsizetype i = at + 8; i < at + 8 + qsizetype(size); ++i) {
                x = x * 1103515245u + 12345u;
                bytes[i] = damage == "zero" ? char(0) : char(x >> 24);
            }
            ++chunks;
        }
        at += 8 + ((size + 1) & ~1u);
    }
    QVERIFY(chunks > 0);
    QVERIFY(f.seek(0));
    f.write(bytes);
    f.close();

    CTraceCapture trace;
    CEngineHarness h;
    QElapsedTimer clock;
    clock.start();
    QVERIFY(!h.Open(Path(name)));
    QVERIFY(clock.elapsed() < kOpenDeadlineMs + 2000);
    QVERIFY2(trace.Contains("PASS Filter Connect"), "the graph was built and linked");
    QVERIFY2(!trace.Lines().filter(QRegularExpression("^Error : Failed to Pause Graph \\(0x[0-9a-f]+\\)$")).isEmpty(),
             qPrintable(trace.Lines().join('\n')));
    // The graph is gone, nothing is shown, and the user is not asked anything.
    QVERIFY(!h.engine.Graph());
    QCOMPARE(h.engine.GetState(), int(STATE_STOP));
    QVERIFY(!h.engine.LatestFrame(kFrontTarget).HasPicture());
    QVERIFY(m_platform.CallsOf("MessageBox").isEmpty());
    // The engine opens the next recording as usual.
    QVERIFY(h.Open(Path("two.avi")));
    QCOMPARE(FrameNumberAt(h.engine, kFrontTarget), 0);
}

void TestVideoMgr::openThatNeverAnswersIsBounded_data()
{
    QTest::addColumn<QString>("factory"); // the element that never answers
    QTest::addColumn<bool>("decoder");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("report");
    QTest::addColumn<bool>("messageBox");
    QTest::newRow("avi splitter offers no stream")
        << "avidemux" << false << "two_audio.avi" << "Error : Connection failed: Source to AVI Splitter (0x8004022e)"
        << false;
    // Opening the rear file of a pair reads the front file first, then the
    // rear file alone: two waits, one deadline.
    QTest::newRow("mp4 pair, neither file offers a stream")
        << "qtdemux" << false << "REC_2014_05_21_13_45_30_R.MP4" << "Error : Failed to Load File (0x8004022e)" << true;
    QTest::newRow("decoder never delivers a picture")
        << "avdec_h264" << true << "two_audio.avi" << "Error : Failed to Pause Graph (0x8004022e)" << false;
}

void TestVideoMgr::openThatNeverAnswersIsBounded()
{
    QFETCH(QString, factory);
    QFETCH(bool, decoder);
    QFETCH(QString, file);
    QFETCH(QString, report);
    QFETCH(bool, messageBox);
    CTraceCapture trace;
    CEngineHarness h;
    bool opened = true;
    qint64 elapsed = 0;
    {
        const QByteArray name = factory.toUtf8();
        CFactoryStandIn standIn(name.constData(), decoder ? stall_decoder_get_type() : stall_element_get_type());
        QElapsedTimer clock;
        clock.start();
        opened = h.Open(Path(file));
        elapsed = clock.elapsed();
        h.engine.Close();
    }
    QVERIFY(!opened);
    // One deadline for the whole open (with room for building and tearing down).
    QVERIFY2(elapsed >= kOpenDeadlineMs - 100 && elapsed < kOpenDeadlineMs + 1500, qPrintable(QString::number(elapsed)));
    QVERIFY2(trace.Contains(report), qPrintable(trace.Lines().join('\n')));
    QCOMPARE(m_platform.CallsOf("MessageBox").size(), messageBox ? 1 : 0);
    // The wait cursor was up while the GUI thread waited, and is down again.
    const auto cursor = m_platform.CallsOf("SetWaitCursor");
    QVERIFY(!cursor.isEmpty());
    int busy = 0;
    for (const auto& call : cursor) {
        busy += call.text == "busy" ? 1 : -1;
        QVERIFY(busy == 0 || busy == 1);
    }
    QCOMPARE(busy, 0);
    // With the real element back the same engine opens the recording.
    QVERIFY(h.Open(Path(file)));
    QCOMPARE(FrameNumberAt(h.engine, kFrontTarget), 0);
}

void TestVideoMgr::longPath()
{
    QString folder = m_dir.path();
    while (folder.size() < 300)
        folder += QStringLiteral("/a-rather-long-folder-name-for-recordings");
    QVERIFY(QDir().mkpath(folder));
    const QString path = folder + QStringLiteral("/REC_2014_05_21_13_45_30_F.MP4");
    QVERIFY(path.size() > 260);
    QVERIFY(QFile::copy(Path("REC_2014_05_21_13_45_30_F.MP4"), path));
    QVERIFY(QFile::copy(Path("REC_2014_05_21_13_45_30_R.MP4"), folder + "/REC_2014_05_21_13_45_30_R.MP4"));
    QVERIFY(QFile::copy(Path("one.avi"), folder + "/one.avi"));
    CEngineHarness h;
    QVERIFY(h.Open(path));
    QCOMPARE(h.engine.GetVideoTrackCount(), 2);
    QCOMPARE(FrameNumberOf(h.engine.RearRenderer()), 0);
    QVERIFY(h.Open(folder + "/one.avi"));
    QCOMPARE(FrameNumberOf(h.engine.FrontRenderer()), 0);
}

void TestVideoMgr::rearVanishes_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("deleted") << "deleted";
    QTest::newRow("a folder in its place") << "folder";
    QTest::newRow("garbage") << "garbage";
}

void TestVideoMgr::rearVanishes()
{
    QFETCH(QString, how);
    const QString sub = m_dir.filePath("vanish-" + how);
    QVERIFY(QDir().mkpath(sub));
    const QString front = sub + "/REC_2014_05_21_13_45_30_F.MP4";
    const QString rear = sub + "/REC_2014_05_21_13_45_30_R.MP4";
    QVERIFY(QFile::copy(Path("REC_2014_05_21_13_45_30_F.MP4"), front));
    QVERIFY(QFile::copy(Path("REC_2014_05_21_13_45_30_R.MP4"), rear));
    // Paired while both were there; then the rear one goes.
    QVERIFY(QFile::remove(rear));
    if (how == "folder") {
        QVERIFY(QDir().mkpath(rear));
    } else if (how == "garbage") {
        QFile g(rear);
        QVERIFY(g.open(QIODevice::WriteOnly));
        g.write(QByteArray(5000, 'x'));
    }
    CEngineHarness h;
    QVERIFY(h.Open(front));
    CVideoMgr& e = h.engine;
    QCOMPARE(e.GetVideoTrackCount(), 1);
    QCOMPARE(FrameNumberOf(e.FrontRenderer()), 0);
    e.Play();
    QVERIFY(WaitForFrame(e.FrontRenderer(), [](int n) { return n >= 30; }));
    QVERIFY(h.completes.isEmpty()); // an error of the left-out partner ends nothing
    QVERIFY(h.WaitComplete());
    QVERIFY(m_platform.CallsOf("MessageBox").isEmpty());
}

QTEST_MAIN(TestVideoMgr)
#include "tst_videomgr.moc"
