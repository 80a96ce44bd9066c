// The background composer on its own: composed at two sizes, what is anchored
// to the right and the bottom follows the size, the frames follow the video
// areas, the right column's middle title bar follows the rear/map choice, the
// grip sits in the corner, and the composed picture is kept until dirty.
#include "mainwindow/BackgroundComposer.h"
#include "mainwindow/MainWindowIds.h"
#include "platform/Platform.h"
#include "skin/SkinBlit.h"
#include "skin/SkinImage.h"

#include <QResource>
#include <QTest>

using namespace MainWnd;

namespace {
// The scene of a window grown by (dx, dy) from the base size: the front
// area grows, the rear area moves right (as the window lays them out).
CBackgroundComposer::Scene Grown(int dx, int dy, bool rearShown)
{
    CBackgroundComposer::Scene scene;
    scene.size = QSize(kBaseWidth + dx, kBaseHeight + dy);
    scene.frontVideoArea = kFrontVideoArea;
    scene.frontVideoArea.right += dx;
    scene.frontVideoArea.bottom += dy;
    scene.rearVideoArea = kRearVideoArea;
    scene.rearVideoArea.left += dx;
    scene.rearVideoArea.right += dx;
    scene.rearShown = rearShown;
    return scene;
}

QImage Rgb(const QPixmap& pixmap)
{
    return pixmap.toImage().convertToFormat(QImage::Format_RGB32);
}
} // namespace

class TestBackgroundComposer : public QObject
{
    Q_OBJECT

private:
    CRecordingPlatform m_platform;

private slots:
    void initTestCase()
    {
        const QString library = qEnvironmentVariable("KESTRAV_BIN_DIR") + QStringLiteral("/NvImageDll.rcc");
        QVERIFY2(QResource::registerResource(library), qPrintable(library));
        CPlatform::Install(&m_platform);
    }
    void cleanupTestCase()
    {
        CSkinImage::DestroyInstance();
        CPlatform::Install(nullptr);
    }
    void cleanup()
    {
        // Every picture asked for exists in the image library.
        QVERIFY(m_platform.CallsOf(QStringLiteral("MessageBox")).isEmpty());
    }

    void twoSizes_data();
    void twoSizes();
    void keptUntilDirty();
};

void TestBackgroundComposer::twoSizes_data()
{
    QTest::addColumn<bool>("rearShown");
    QTest::newRow("rear picture") << true;
    QTest::newRow("map") << false;
}

void TestBackgroundComposer::twoSizes()
{
    QFETCH(bool, rearShown);
    const int dx = 200;
    const int dy = 100;
    CBackgroundComposer base;
    base.LoadPictures();
    const CBackgroundComposer::Scene small = Grown(0, 0, rearShown);
    const QImage a = Rgb(base.Compose(small));
    CBackgroundComposer grown;
    grown.LoadPictures();
    const CBackgroundComposer::Scene large = Grown(dx, dy, rearShown);
    const QImage b = Rgb(grown.Compose(large));
    QCOMPARE(a.size(), small.size);
    QCOMPARE(b.size(), large.size);
    QCOMPARE(grown.WindowBackground().GetWidth(), large.size.width());

    // Pieces anchored to the right or the bottom edge look the same at both
    // sizes, moved by the growth: the right column's title bars, the right
    // end of the left title bar, the right end of the GPS panel and the left
    // end of the vehicle-signal panel.
    const int middle = rearShown ? kTitleBarRightY2Rear : kTitleBarRightY2Map;
    const int W = kBaseWidth;
    const int H = kBaseHeight;
    const struct {
        QRect atBase;
        QPoint shift;
    } anchored[] = {
        {{W - kTitleBarRightFromRight, kTitleBarRightY1, kTitleBarRightWidth, kTitleBarHeight}, {dx, 0}},
        {{W - kTitleBarRightFromRight, middle, kTitleBarRightWidth, kTitleBarHeight}, {dx, 0}},
        {{W - kTitleBarRightFromRight, kTitleBarRightY3, kTitleBarRightWidth, kTitleBarHeight}, {dx, 0}},
        {{W - kTitleBarWidthLess - 20, kTitleBarTop, 20, kTitleBarHeight}, {dx, 0}},
        {{kGpsPanelLeft + W - kGpsPanelWidthLess - 20, H - kPanelTopFromBottom, 20, kPanelHeight}, {dx, dy}},
        {{W - kCarInfoPanelLeftFromRight, H - kPanelTopFromBottom, 20, kPanelHeight}, {dx, dy}},
    };
    for (const auto& piece : anchored)
        QCOMPARE(b.copy(piece.atBase.translated(piece.shift)), a.copy(piece.atBase));
    // The three right title bars are one picture; the middle one stands
    // where the right column's choice puts it, not at the other place.
    const QRect top(W - kTitleBarRightFromRight, kTitleBarRightY1, kTitleBarRightWidth, kTitleBarHeight);
    QCOMPARE(a.copy(top.translated(0, middle - kTitleBarRightY1)), a.copy(top));
    const int other = rearShown ? kTitleBarRightY2Map : kTitleBarRightY2Rear;
    QVERIFY(a.copy(top.translated(0, other - kTitleBarRightY1)) != a.copy(top));

    // The frames follow the video areas.
    for (const auto& [image, scene] : {std::pair{&a, small}, std::pair{&b, large}}) {
        const SkinRect& F = scene.frontVideoArea;
        const SkinRect& R = scene.rearVideoArea;
        const int midY = (F.top + F.bottom) / 2;
        const int midX = (F.left + F.right) / 2;
        for (QPoint p : {QPoint(F.left - 2, midY), QPoint(F.left - 1, midY), QPoint(F.right, midY),
                         QPoint(midX, F.top - 1), QPoint(midX, F.bottom), QPoint(R.right, (R.top + R.bottom) / 2),
                         QPoint(R.right + 1, R.top + 50)})
            QCOMPARE(image->pixelColor(p), QColor(Qt::black));
        // The rear area's top line lies under the map's title bar when the
        // map is shown.
        QCOMPARE(image->pixelColor((R.left + R.right) / 2, R.top - 1) == QColor(Qt::black), rearShown);
        QVERIFY(image->pixelColor(midX, midY) != QColor(Qt::black));
    }

    // Without a card only the grip is drawn over the window background: in
    // the bottom-right corner, blended over it.
    for (const CBackgroundComposer* composer : {&base, &grown}) {
        const QImage composite = composer == &base ? a : b;
        QImage expected = composer->WindowBackground().GetImage().copy();
        CSkinSurface grip;
        CSkinImage::GetInstance()->LoadImage(grip, QString::fromLatin1(kPicGrip));
        SkinBlit::AlphaBlend(expected, expected.width() - kGripSize, expected.height() - kGripSize, kGripSize,
                             kGripSize, grip.GetImage(), 0, 0);
        QCOMPARE(composite, expected.convertToFormat(QImage::Format_RGB32));
        QVERIFY(composite != composer->WindowBackground().GetImage().convertToFormat(QImage::Format_RGB32));
    }
}

// The composed picture is composed once and kept; the dirty flag or another
// size composes it again.
void TestBackgroundComposer::keptUntilDirty()
{
    CBackgroundComposer composer;
    composer.LoadPictures();
    QVERIFY(composer.IsDirty());
    QVERIFY(composer.CompositeBitmap().isNull());
    const qint64 first = composer.Compose(Grown(0, 0, true)).cacheKey();
    QVERIFY(!composer.IsDirty());
    QCOMPARE(composer.Compose(Grown(0, 0, true)).cacheKey(), first);
    QCOMPARE(composer.CompositeBitmap().cacheKey(), first);

    composer.SetDirty();
    const QPixmap& again = composer.Compose(Grown(0, 0, false));
    QVERIFY(again.cacheKey() != first);
    const qint64 second = again.cacheKey();
    const QPixmap& larger = composer.Compose(Grown(40, 30, false));
    QVERIFY(larger.cacheKey() != second);
    QCOMPARE(larger.size(), QSize(kBaseWidth + 40, kBaseHeight + 30));

    composer.Release();
    QVERIFY(composer.CompositeBitmap().isNull());
    QVERIFY(!composer.WindowBackground().IsCreated());
}

QTEST_MAIN(TestBackgroundComposer)
#include "tst_backgroundcomposer.moc"
