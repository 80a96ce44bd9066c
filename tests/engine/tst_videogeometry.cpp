// The engine's pure picture computations: zoom, pan, letter-box, skip
// targets and the volume curve.
#include "engine/VideoGeometry.h"

#include <QTest>

Q_DECLARE_METATYPE(CViewRect)

namespace {
CViewRect R(int l, int t, int r, int b)
{
    return CViewRect{l, t, r, b};
}
} // namespace

namespace QTest {
template <>
char* toString(const CViewRect& r)
{
    return qstrdup(QString::asprintf("(%d, %d, %d, %d)", r.left, r.top, r.right, r.bottom).toUtf8().constData());
}
} // namespace QTest

class TestVideoGeometry : public QObject
{
    Q_OBJECT
private slots:
    void zoomedRect_data();
    void zoomedRect();
    void pannedRect_data();
    void pannedRect();
    void panMeasuresFromZoomedRect();
    void letterBox_data();
    void letterBox();
    void seekForwards_data();
    void seekForwards();
    void seekBackwards_data();
    void seekBackwards();
    void percentTarget_data();
    void percentTarget();
    void volumeCurve_data();
    void volumeCurve();
    void amplitude();
};

void TestVideoGeometry::zoomedRect_data()
{
    QTest::addColumn<QSize>("client");
    QTest::addColumn<float>("zoom");
    QTest::addColumn<CViewRect>("expected");
    QTest::newRow("640x360 0.5 centred") << QSize(640, 360) << 0.5f << R(160, 90, 480, 270);
    QTest::newRow("640x360 1.0") << QSize(640, 360) << 1.0f << R(0, 0, 640, 360);
    QTest::newRow("640x360 1.5 anchored") << QSize(640, 360) << 1.5f << R(0, 0, 960, 540);
    QTest::newRow("640x360 2.0 anchored") << QSize(640, 360) << 2.0f << R(0, 0, 1280, 720);
    // Odd sizes: products truncate, the centring divides toward zero.
    QTest::newRow("333x201 0.5") << QSize(333, 201) << 0.5f << R(83, 50, 249, 150);
    QTest::newRow("333x201 1.5") << QSize(333, 201) << 1.5f << R(0, 0, 499, 301);
    QTest::newRow("0x0 2.0") << QSize(0, 0) << 2.0f << R(0, 0, 0, 0);
    QTest::newRow("empty 0.5") << QSize(0, 0) << 0.5f << R(0, 0, 0, 0);
}

void TestVideoGeometry::zoomedRect()
{
    QFETCH(QSize, client);
    QFETCH(float, zoom);
    QFETCH(CViewRect, expected);
    QCOMPARE(VideoGeometry::ZoomedRect(client, zoom), expected);
}

void TestVideoGeometry::pannedRect_data()
{
    QTest::addColumn<CViewRect>("rect");
    QTest::addColumn<QSize>("client");
    QTest::addColumn<int>("px");
    QTest::addColumn<int>("py");
    QTest::addColumn<CViewRect>("expected");
    const CViewRect z2 = R(0, 0, 1280, 720);
    const QSize c(640, 360);
    QTest::newRow("origin") << z2 << c << 0 << 0 << z2;
    QTest::newRow("middle") << z2 << c << -50 << 50 << R(-320, -180, 960, 540);
    QTest::newRow("bottom-right") << z2 << c << -100 << 100 << R(-640, -360, 640, 360);
    QTest::newRow("x only") << z2 << c << -100 << 0 << R(-640, 0, 640, 720);
    QTest::newRow("y only") << z2 << c << 0 << 100 << R(0, -360, 1280, 360);
    // (960-640)*-33/100 = -105.6 -> -105; (540-360)*33/100 = 59.4 -> 59.
    QTest::newRow("truncation 1.5") << R(0, 0, 960, 540) << c << -33 << 33 << R(-105, -59, 855, 481);
    // A picture smaller than its window moves the other way.
    QTest::newRow("zoom 0.5 pans inward") << R(160, 90, 480, 270) << c << -100 << 100 << R(480, 270, 800, 450);
}

void TestVideoGeometry::pannedRect()
{
    QFETCH(CViewRect, rect);
    QFETCH(QSize, client);
    QFETCH(int, px);
    QFETCH(int, py);
    QFETCH(CViewRect, expected);
    QCOMPARE(VideoGeometry::PannedRect(rect, client, px, py), expected);
}

void TestVideoGeometry::panMeasuresFromZoomedRect()
{
    // Two pans in a row do not add up: each starts from the zoomed rectangle.
    const QSize c(640, 360);
    const CViewRect zoomed = VideoGeometry::ZoomedRect(c, 2.0f);
    const CViewRect first = VideoGeometry::PannedRect(zoomed, c, -50, 50);
    const CViewRect second = VideoGeometry::PannedRect(zoomed, c, -50, 50);
    QCOMPARE(first, second);
    QCOMPARE(zoomed, R(0, 0, 1280, 720));
}

void TestVideoGeometry::letterBox_data()
{
    QTest::addColumn<QSize>("picture");
    QTest::addColumn<QRect>("dst");
    QTest::addColumn<QRect>("expected");
    QTest::newRow("same shape") << QSize(1920, 1080) << QRect(0, 0, 640, 360) << QRect(0, 0, 640, 360);
    QTest::newRow("bars top and bottom") << QSize(1920, 1080) << QRect(0, 0, 640, 480) << QRect(0, 60, 640, 360);
    QTest::newRow("bars left and right") << QSize(640, 480) << QRect(0, 0, 640, 360) << QRect(80, 0, 480, 360);
    QTest::newRow("offset destination") << QSize(1280, 720) << QRect(160, 90, 320, 240) << QRect(160, 120, 320, 180);
    QTest::newRow("enlarged beyond window") << QSize(1280, 720) << QRect(-320, -180, 1280, 720)
                                            << QRect(-320, -180, 1280, 720);
    QTest::newRow("no picture size") << QSize(0, 0) << QRect(0, 0, 100, 50) << QRect(0, 0, 100, 50);
    QTest::newRow("empty destination") << QSize(320, 180) << QRect(0, 0, 0, 0) << QRect(0, 0, 0, 0);
}

void TestVideoGeometry::letterBox()
{
    QFETCH(QSize, picture);
    QFETCH(QRect, dst);
    QFETCH(QRect, expected);
    QCOMPARE(VideoGeometry::LetterBox(picture, dst), expected);
}

void TestVideoGeometry::seekForwards_data()
{
    QTest::addColumn<qint64>("current");
    QTest::addColumn<qint64>("duration");
    QTest::addColumn<qint64>("expected"); // -1: no seek
    const qint64 s = 10'000'000;
    QTest::newRow("at 0 nothing") << qint64(0) << 60 * s << qint64(-1);
    QTest::newRow("plain") << 5 * s << 60 * s << 15 * s;
    QTest::newRow("less than 10 s left") << 55 * s << 60 * s << 60 * s - 1'000'000;
    QTest::newRow("exactly the duration") << 50 * s << 60 * s << 60 * s;
    QTest::newRow("one unit past") << 50 * s + 1 << 60 * s << 60 * s - 1'000'000;
    QTest::newRow("one unit in") << qint64(1) << 60 * s << 10 * s + 1;
}

void TestVideoGeometry::seekForwards()
{
    QFETCH(qint64, current);
    QFETCH(qint64, duration);
    QFETCH(qint64, expected);
    const std::optional<int64_t> t = VideoGeometry::SeekForwardsTarget(current, duration);
    QCOMPARE(t.has_value(), expected >= 0);
    if (t)
        QCOMPARE(qint64(*t), expected);
}

void TestVideoGeometry::seekBackwards_data()
{
    QTest::addColumn<qint64>("current");
    QTest::addColumn<qint64>("expected");
    const qint64 s = 10'000'000;
    QTest::newRow("first 10 s to 0") << 9 * s << qint64(0);
    QTest::newRow("exactly 10 s") << 10 * s << qint64(0);
    QTest::newRow("plain") << 25 * s << 15 * s;
    QTest::newRow("at 0") << qint64(0) << qint64(0);
}

void TestVideoGeometry::seekBackwards()
{
    QFETCH(qint64, current);
    QFETCH(qint64, expected);
    QCOMPARE(qint64(VideoGeometry::SeekBackwardsTarget(current)), expected);
}

void TestVideoGeometry::percentTarget_data()
{
    QTest::addColumn<qint64>("duration");
    QTest::addColumn<int>("percent");
    QTest::addColumn<qint64>("expected");
    QTest::newRow("0 start") << qint64(99'666'667) << 0 << qint64(0);
    QTest::newRow("100 duration") << qint64(99'666'667) << 100 << qint64(99'666'667);
    QTest::newRow("truncates") << qint64(99'666'667) << 33 << qint64(32'890'000);
    QTest::newRow("long recording") << qint64(3600) * 10'000'000 << 50 << qint64(1800) * 10'000'000;
}

void TestVideoGeometry::percentTarget()
{
    QFETCH(qint64, duration);
    QFETCH(int, percent);
    QFETCH(qint64, expected);
    QCOMPARE(qint64(VideoGeometry::PercentTarget(duration, percent)), expected);
}

void TestVideoGeometry::volumeCurve_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<int>("attenuation");
    QTest::newRow("100") << 100 << 0;
    QTest::newRow("50") << 50 << -301;
    QTest::newRow("10") << 10 << -999;
    QTest::newRow("0 is -9999, not -10000") << 0 << -9999;
    QTest::newRow("1") << 1 << -2000;
    QTest::newRow("above 100 clamps") << 150 << 0;
    QTest::newRow("below 0 clamps") << -5 << -9999;
}

void TestVideoGeometry::volumeCurve()
{
    QFETCH(int, level);
    QFETCH(int, attenuation);
    QCOMPARE(VideoGeometry::VolumeToAttenuation(level), attenuation);
}

void TestVideoGeometry::amplitude()
{
    QCOMPARE(VideoGeometry::AttenuationToAmplitude(0), 1.0);
    QVERIFY(qAbs(VideoGeometry::AttenuationToAmplitude(-301) - 0.7071) < 0.001);
    QVERIFY(VideoGeometry::AttenuationToAmplitude(-9999) < 1.1e-5);
}

QTEST_APPLESS_MAIN(TestVideoGeometry)
#include "tst_videogeometry.moc"
