// The windowless renderer and the painting of published pictures, without
// the engine: pictures handed over as the appsink does, serials switched by
// flushes, and the picture painted over a window's own painting.
#include "engine/EngineIds.h"
#include "engine/GstSupport.h"
#include "engine/VideoFrame.h"
#include "engine/VideoRenderer.h"

#include <QPainter>
#include <QSignalSpy>
#include <QTest>
#include <QThread>

#include <gst/gst.h>

#include <memory>

namespace {

const QColor kSkin(0, 128, 128);

// A picture of four coloured quarters: red top-left, green top-right, blue
// bottom-left, white bottom-right.
std::shared_ptr<const QImage> Quarters(int w, int h)
{
    auto img = std::make_shared<QImage>(w, h, QImage::Format_RGB32);
    QPainter p(img.get());
    p.fillRect(0, 0, w / 2, h / 2, Qt::red);
    p.fillRect(w / 2, 0, w - w / 2, h / 2, Qt::green);
    p.fillRect(0, h / 2, w / 2, h - h / 2, Qt::blue);
    p.fillRect(w / 2, h / 2, w - w / 2, h - h / 2, Qt::white);
    return img;
}

// What a window of `size` shows: its skin, then the published picture.
QImage Show(const CVideoFrame& frame, QSize size, bool* painted = nullptr)
{
    QImage window(size, QImage::Format_RGB32);
    window.fill(kSkin);
    QPainter p(&window);
    const bool did = PaintVideoFrame(p, frame);
    if (painted)
        *painted = did;
    return window;
}

QColor At(const QImage& img, int x, int y)
{
    return QColor(img.pixel(x, y));
}

} // namespace

class TestVideoRenderer : public QObject
{
    Q_OBJECT
private slots:
    void letterBoxAndStretch();
    void enlargedPictureShowsItsTopLeft();
    void scaledPictureKeepsItsSourceProportions();
    void noPictureLeavesTheSkinAlone();
    void publishedFrameCarriesItsGeometry();
    void serialSwitchesAtTheFlush();
    void serialThroughThePipeline();
    void framesFromAnotherThread();
};

void TestVideoRenderer::letterBoxAndStretch()
{
    CVideoRenderer r(QStringLiteral("Video Mixing Renderer Main"));
    r.SetVideoPosition(QRect(0, 0, 400, 300));
    r.PresentFrame(Quarters(160, 90), 0);

    r.SetAspectRatioMode(Engine::VMR_ARMODE_LETTER_BOX);
    QImage shot = Show(r.Published(), QSize(400, 300));
    // 16:9 in 400x300: 400x225 at y 37; bars above and below are black.
    QCOMPARE(VideoPictureRect(r.Published()), QRect(0, 37, 400, 225));
    QCOMPARE(At(shot, 200, 10), QColor(Qt::black));
    QCOMPARE(At(shot, 200, 290), QColor(Qt::black));
    QCOMPARE(At(shot, 50, 60), QColor(Qt::red));
    QCOMPARE(At(shot, 350, 240), QColor(Qt::white));

    r.SetAspectRatioMode(Engine::VMR_ARMODE_NONE);
    shot = Show(r.Published(), QSize(400, 300));
    QCOMPARE(At(shot, 5, 5), QColor(Qt::red));
    QCOMPARE(At(shot, 395, 5), QColor(Qt::green));
    QCOMPARE(At(shot, 5, 295), QColor(Qt::blue));

    // A destination smaller than the window: the skin shows around it.
    r.SetVideoPosition(QRect(100, 75, 200, 150));
    shot = Show(r.Published(), QSize(400, 300));
    QCOMPARE(At(shot, 50, 50), kSkin);
    QCOMPARE(At(shot, 110, 85), QColor(Qt::red));
    QCOMPARE(At(shot, 290, 215), QColor(Qt::white));
}

void TestVideoRenderer::enlargedPictureShowsItsTopLeft()
{
    CVideoRenderer r(QStringLiteral("r"));
    r.SetAspectRatioMode(Engine::VMR_ARMODE_NONE);
    r.PresentFrame(Quarters(320, 180), 0);
    // Zoom 2.0 anchored at the origin: the window shows the red quarter only.
    r.SetVideoPosition(QRect(0, 0, 640, 360));
    QImage shot = Show(r.Published(), QSize(320, 180));
    QCOMPARE(At(shot, 10, 10), QColor(Qt::red));
    QCOMPARE(At(shot, 310, 170), QColor(Qt::red));
    // Panned to the bottom-right: the white quarter.
    r.SetVideoPosition(QRect(-320, -180, 640, 360));
    shot = Show(r.Published(), QSize(320, 180));
    QCOMPARE(At(shot, 10, 10), QColor(Qt::white));
    QCOMPARE(At(shot, 310, 170), QColor(Qt::white));
}

void TestVideoRenderer::scaledPictureKeepsItsSourceProportions()
{
    // A 1280x720 picture the pipeline already shrank to a rounded 427x241:
    // the bars come from the source's 16:9, not from the shrunk image.
    CVideoRenderer r(QStringLiteral("r"));
    r.SetVideoPosition(QRect(0, 0, 640, 480));
    r.PresentFrame(Quarters(427, 241), 0, QSize(1280, 720));
    const CVideoFrame f = r.Published();
    QCOMPARE(f.sourceSize, QSize(1280, 720));
    QCOMPARE(f.image->size(), QSize(427, 241));
    QCOMPARE(VideoPictureRect(f), QRect(0, 60, 640, 360));
    const QImage shot = Show(f, QSize(640, 480));
    QCOMPARE(At(shot, 320, 59), QColor(Qt::black));
    QCOMPARE(At(shot, 10, 70), QColor(Qt::red));
    QCOMPARE(At(shot, 630, 410), QColor(Qt::white));
    QCOMPARE(At(shot, 320, 420), QColor(Qt::black));
}

void TestVideoRenderer::noPictureLeavesTheSkinAlone()
{
    CVideoRenderer r(QStringLiteral("r"));
    r.SetVideoPosition(QRect(0, 0, 100, 100));
    bool painted = true;
    QCOMPARE(At(Show(r.Published(), QSize(100, 100), &painted), 50, 50), kSkin);
    QVERIFY(!painted);
    r.PresentFrame(Quarters(20, 20), 0);
    QCOMPARE(At(Show(r.Published(), QSize(100, 100), &painted), 10, 10), QColor(Qt::red));
    QVERIFY(painted);
    // An empty destination paints nothing either.
    r.SetVideoPosition(QRect());
    QCOMPARE(At(Show(r.Published(), QSize(100, 100), &painted), 10, 10), kSkin);
    QVERIFY(!painted);
    r.SetVideoPosition(QRect(0, 0, 100, 100));
    r.ClearFrame();
    QVERIFY(!r.CurrentFrame());
    QVERIFY(!r.Published().HasPicture());
    QCOMPARE(r.Published().serial, uint64_t(0));
    QCOMPARE(At(Show(r.Published(), QSize(100, 100)), 10, 10), kSkin);
}

void TestVideoRenderer::publishedFrameCarriesItsGeometry()
{
    CVideoRenderer r(QStringLiteral("r"));
    QCOMPARE(r.Target(), Engine::kNoTarget);
    r.SetTarget(Engine::kRearTarget);
    r.SetVideoPosition(QRect(160, 90, 320, 180));
    r.SetAspectRatioMode(Engine::VMR_ARMODE_NONE);
    r.BeginStream(7);
    const auto image = Quarters(32, 18);
    r.PresentFrame(image, 1'500'000'000);
    CVideoFrame f = r.Published();
    QCOMPARE(r.Target(), Engine::kRearTarget);
    QCOMPARE(f.image.get(), image.get()); // shared, not copied
    QCOMPARE(f.sourceSize, QSize(32, 18));
    QCOMPARE(f.destination, QRect(160, 90, 320, 180));
    QVERIFY(!f.keepAspect);
    QCOMPARE(f.serial, uint64_t(7));
    QCOMPARE(f.streamTimeNs, int64_t(1'500'000'000));
    QCOMPARE(f.frameCount, uint64_t(1));
    // A later change of geometry is seen by the next pull; the earlier
    // snapshot stays as it was.
    r.SetVideoPosition(QRect(0, 0, 640, 360));
    QCOMPARE(r.Published().destination, QRect(0, 0, 640, 360));
    QCOMPARE(f.destination, QRect(160, 90, 320, 180));
}

void TestVideoRenderer::serialSwitchesAtTheFlush()
{
    CVideoRenderer r(QStringLiteral("r"));
    r.BeginStream(1);
    r.PresentFrame(Quarters(8, 8), 0);
    QCOMPARE(r.CurrentSerial(), uint64_t(1));
    // A seek announced: pictures still on their way keep the old serial...
    r.ExpectFlush(100, 2);
    r.PresentFrame(Quarters(8, 8), 40);
    QCOMPARE(r.CurrentSerial(), uint64_t(1));
    // ...as do flushes of anything else...
    r.OnFlushEvent(99);
    r.PresentFrame(Quarters(8, 8), 80);
    QCOMPARE(r.CurrentSerial(), uint64_t(1));
    // ...until that seek's flush has passed.
    r.OnFlushEvent(100);
    QCOMPARE(r.StreamSerial(), uint64_t(2));
    r.PresentFrame(Quarters(8, 8), 5000);
    QCOMPARE(r.CurrentSerial(), uint64_t(2));
    // Two seeks in a row: the second one's flush supersedes the first, whose
    // late events change nothing any more.
    r.ExpectFlush(101, 3);
    r.ExpectFlush(102, 4);
    r.OnFlushEvent(102);
    r.OnFlushEvent(101);
    r.PresentFrame(Quarters(8, 8), 0);
    QCOMPARE(r.CurrentSerial(), uint64_t(4));
    // The same flush seen again (a segment after its flush) changes nothing.
    r.OnFlushEvent(102);
    QCOMPARE(r.StreamSerial(), uint64_t(4));
    // A new stream forgets announced seeks.
    r.ExpectFlush(103, 5);
    r.BeginStream(6);
    r.OnFlushEvent(103);
    QCOMPARE(r.StreamSerial(), uint64_t(6));
}

void TestVideoRenderer::serialThroughThePipeline()
{
    // The renderer's own element in a pipeline: the seek's sequence number
    // reaches its sink with the flush, and the first picture after it is the
    // one at the target.
    GstSupport::EnsureInitialised();
    CVideoRenderer r(QStringLiteral("r"));
    QVERIFY(r.Create());
    GstElement* pipeline = gst_pipeline_new("p");
    GstElement* src = gst_element_factory_make("videotestsrc", nullptr);
    QVERIFY(src);
    GstElement* caps = gst_element_factory_make("capsfilter", nullptr);
    GstCaps* c = gst_caps_from_string("video/x-raw,width=64,height=36,framerate=30/1");
    g_object_set(caps, "caps", c, nullptr);
    gst_caps_unref(c);
    gst_bin_add_many(GST_BIN(pipeline), src, caps, r.Element(), nullptr);
    QVERIFY(gst_element_link_many(src, caps, r.Element(), nullptr));
    r.BeginStream(1);
    gst_element_set_state(pipeline, GST_STATE_PAUSED);
    QCOMPARE(gst_element_get_state(pipeline, nullptr, nullptr, 5 * GST_SECOND), GST_STATE_CHANGE_SUCCESS);
    QCOMPARE(r.CurrentSerial(), uint64_t(1));
    QCOMPARE(r.CurrentFrameTime(), int64_t(0));
    QCOMPARE(r.CurrentFrame()->size(), QSize(64, 36));

    GstEvent* seek = gst_event_new_seek(1.0, GST_FORMAT_TIME, GstSeekFlags(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE),
                                        GST_SEEK_TYPE_SET, 2 * GST_SECOND, GST_SEEK_TYPE_NONE, GST_CLOCK_TIME_NONE);
    r.ExpectFlush(gst_event_get_seqnum(seek), 2);
    QVERIFY(gst_element_send_event(pipeline, seek));
    QCOMPARE(gst_element_get_state(pipeline, nullptr, nullptr, 5 * GST_SECOND), GST_STATE_CHANGE_SUCCESS);
    QCOMPARE(r.CurrentSerial(), uint64_t(2));
    QCOMPARE(r.CurrentFrameTime(), int64_t(2 * GST_SECOND));

    gst_element_set_state(pipeline, GST_STATE_NULL);
    gst_bin_remove(GST_BIN(pipeline), r.Element());
    gst_object_unref(pipeline);
}

void TestVideoRenderer::framesFromAnotherThread()
{
    CVideoRenderer r(QStringLiteral("r"));
    QSignalSpy arrivals(&r, &CVideoRenderer::FrameArrived);
    std::weak_ptr<const QImage> first;
    r.BeginStream(3);
    QThread* worker = QThread::create([&] {
        for (int i = 0; i < 200; ++i) {
            auto img = Quarters(32, 18);
            if (i == 0)
                first = img;
            r.PresentFrame(std::move(img), i * 1000);
        }
    });
    worker->start();
    QVERIFY(worker->wait(10000));
    delete worker;
    QCOMPARE(r.FrameCount(), uint64_t(200));
    QCOMPARE(r.CurrentFrameTime(), int64_t(199000));
    QCOMPARE(r.Published().frameCount, uint64_t(200));
    QCOMPARE(r.CurrentSerial(), uint64_t(3));
    // Replaced pictures are let go; only the latest is held.
    QVERIFY(first.expired());
    // The GUI thread hears of them in a few coalesced notifications.
    QTRY_VERIFY(arrivals.count() >= 1);
    QVERIFY(arrivals.count() <= 200);
}

QTEST_GUILESS_MAIN(TestVideoRenderer)
#include "tst_videorenderer.moc"
