// The windowless renderer without a pipeline: pictures handed over as the
// appsink does, painted over the window's own painting.
#include "engine/EngineIds.h"
#include "engine/VideoRenderer.h"

#include <QPainter>
#include <QTest>
#include <QThread>
#include <QWidget>

#include <memory>

namespace {

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

// A window that paints its "skin" and, like the viewer's video windows, asks
// for the video to be repainted from inside every paint.
class CSkinWindow : public QWidget
{
public:
    CVideoRenderer* renderer = nullptr;
    int paints = 0;

protected:
    void paintEvent(QPaintEvent*) override
    {
        ++paints;
        QPainter p(this);
        p.fillRect(rect(), QColor(0, 128, 128));
        p.end();
        if (renderer)
            renderer->RepaintVideo(this);
    }
};

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
    void noPictureLeavesTheWindowAlone();
    void repaintFromInsidePaintDoesNotLoop();
    void framesFromAnotherThread();
    void detachAndWindowGone();
};

void TestVideoRenderer::letterBoxAndStretch()
{
    CVideoRenderer r(QStringLiteral("Video Mixing Renderer Main"));
    CSkinWindow w;
    w.resize(400, 300);
    r.SetVideoClippingWindow(&w);
    r.SetVideoPosition(QRect(0, 0, 400, 300));
    r.PresentFrame(Quarters(160, 90), 0);

    r.SetAspectRatioMode(Engine::VMR_ARMODE_LETTER_BOX);
    QImage shot = w.grab().toImage();
    // 16:9 in 400x300: 400x225 at y 37; bars above and below are black.
    QCOMPARE(At(shot, 200, 10), QColor(Qt::black));
    QCOMPARE(At(shot, 200, 290), QColor(Qt::black));
    QCOMPARE(At(shot, 50, 60), QColor(Qt::red));
    QCOMPARE(At(shot, 350, 240), QColor(Qt::white));

    r.SetAspectRatioMode(Engine::VMR_ARMODE_NONE);
    shot = w.grab().toImage();
    QCOMPARE(At(shot, 5, 5), QColor(Qt::red));
    QCOMPARE(At(shot, 395, 5), QColor(Qt::green));
    QCOMPARE(At(shot, 5, 295), QColor(Qt::blue));

    // A destination smaller than the window: the skin shows around it.
    r.SetVideoPosition(QRect(100, 75, 200, 150));
    shot = w.grab().toImage();
    QCOMPARE(At(shot, 50, 50), QColor(0, 128, 128));
    QCOMPARE(At(shot, 110, 85), QColor(Qt::red));
    QCOMPARE(At(shot, 290, 215), QColor(Qt::white));
}

void TestVideoRenderer::enlargedPictureShowsItsTopLeft()
{
    CVideoRenderer r(QStringLiteral("r"));
    CSkinWindow w;
    w.resize(320, 180);
    r.SetVideoClippingWindow(&w);
    r.SetAspectRatioMode(Engine::VMR_ARMODE_NONE);
    r.PresentFrame(Quarters(320, 180), 0);
    // Zoom 2.0 anchored at the origin: the window shows the red quarter only.
    r.SetVideoPosition(QRect(0, 0, 640, 360));
    QImage shot = w.grab().toImage();
    QCOMPARE(At(shot, 10, 10), QColor(Qt::red));
    QCOMPARE(At(shot, 310, 170), QColor(Qt::red));
    // Panned to the bottom-right: the white quarter.
    r.SetVideoPosition(QRect(-320, -180, 640, 360));
    shot = w.grab().toImage();
    QCOMPARE(At(shot, 10, 10), QColor(Qt::white));
    QCOMPARE(At(shot, 310, 170), QColor(Qt::white));
}

void TestVideoRenderer::noPictureLeavesTheWindowAlone()
{
    CVideoRenderer r(QStringLiteral("r"));
    CSkinWindow w;
    w.resize(100, 100);
    r.SetVideoClippingWindow(&w);
    r.SetVideoPosition(QRect(0, 0, 100, 100));
    QCOMPARE(At(w.grab().toImage(), 50, 50), QColor(0, 128, 128));
    r.PresentFrame(Quarters(20, 20), 0);
    QCOMPARE(At(w.grab().toImage(), 10, 10), QColor(Qt::red));
    r.ClearFrame();
    QVERIFY(!r.CurrentFrame());
    QCOMPARE(At(w.grab().toImage(), 10, 10), QColor(0, 128, 128));
}

void TestVideoRenderer::repaintFromInsidePaintDoesNotLoop()
{
    CVideoRenderer r(QStringLiteral("r"));
    CSkinWindow w;
    w.renderer = &r;
    w.resize(200, 100);
    r.SetVideoClippingWindow(&w);
    r.SetVideoPosition(QRect(0, 0, 200, 100));
    r.PresentFrame(Quarters(200, 100), 0);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QTest::qWait(100);
    const int settled = w.paints;
    QVERIFY(settled >= 1);
    // Nothing changed: the paints must stop, however often the window asks.
    QTest::qWait(300);
    QCOMPARE(w.paints, settled);
    // A repaint request from outside a paint, with nothing new, changes nothing either.
    r.RepaintVideo(&w);
    QTest::qWait(100);
    QCOMPARE(w.paints, settled);
    // A new geometry is painted once.
    r.SetVideoPosition(QRect(10, 10, 100, 50));
    r.RepaintVideo(&w);
    QTRY_COMPARE(w.paints, settled + 1);
    QTest::qWait(200);
    QCOMPARE(w.paints, settled + 1);
}

void TestVideoRenderer::framesFromAnotherThread()
{
    CVideoRenderer r(QStringLiteral("r"));
    int arrivals = 0;
    connect(&r, &CVideoRenderer::FrameArrived, [&] { ++arrivals; });
    std::weak_ptr<const QImage> first;
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
    // Replaced pictures are let go; only the latest is held.
    QVERIFY(first.expired());
    // The GUI thread hears of them in a few coalesced notifications.
    QTRY_VERIFY(arrivals >= 1);
    QVERIFY(arrivals <= 200);
}

void TestVideoRenderer::detachAndWindowGone()
{
    CVideoRenderer r(QStringLiteral("r"));
    auto* w = new CSkinWindow;
    w->resize(100, 100);
    r.SetVideoClippingWindow(w);
    r.SetVideoPosition(QRect(0, 0, 100, 100));
    r.PresentFrame(Quarters(20, 20), 0);
    QCOMPARE(At(w->grab().toImage(), 10, 10), QColor(Qt::red));
    r.SetVideoClippingWindow(nullptr);
    QCOMPARE(At(w->grab().toImage(), 10, 10), QColor(0, 128, 128));
    r.SetVideoClippingWindow(w);
    delete w; // the window goes first
    QVERIFY(!r.ClippingWindow());
    r.RepaintVideo(nullptr);
    r.PresentFrame(Quarters(20, 20), 1);
    QTest::qWait(50);
}

QTEST_MAIN(TestVideoRenderer)
#include "tst_videorenderer.moc"
