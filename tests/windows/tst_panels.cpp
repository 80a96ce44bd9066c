// The vehicle signal panel and the acceleration graph panel, read from their
// grab() pictures: background copied from the right place of the main
// window's skin, separators, signal pictures on and off, rules, curves
// placed sample by sample, the position line, clearing, the one-sample and
// empty series, size changes, and mouse events passed to the parent.
#include "platform/Platform.h"
#include "skin/SkinBlit.h"
#include "skin/SkinImage.h"
#include "windows/CarInfoViewer.h"
#include "windows/GPSViewer.h"
#include "windows/PanelIds.h"

#include <QMouseEvent>
#include <QResource>
#include <QTest>

#include <functional>
#include <memory>

using namespace PanelIds;

namespace {

constexpr int kW = 965, kH = 711;
// The panels' places in the main window at its initial size.
const QRect kGraphPlace(220, kH - 115, 254, 78);
const QRect kCarInfoPlace(487, kH - 89, 147, 51);

// A skin whose every pixel tells where it came from.
QImage GradientSkin()
{
    QImage skin(kW, kH, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x)
            skin.setPixel(x, y, qRgb(x % 256, y % 256, 100));
    return skin;
}

QImage SolidSkin(QColor colour)
{
    QImage skin(kW, kH, QImage::Format_ARGB32_Premultiplied);
    skin.fill(colour);
    return skin;
}

QImage Grab(QWidget& w)
{
    return w.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

QColor At(const QImage& img, int x, int y)
{
    return img.pixelColor(x, y);
}

// The main window stand-in: records the mouse events its children pass on.
class CParent : public QWidget
{
public:
    CParent()
    {
        resize(kW, kH);
    }
    QList<std::pair<QEvent::Type, QPointF>> mouse;

protected:
    void mousePressEvent(QMouseEvent* e) override { mouse.append({e->type(), e->position()}); }
    void mouseReleaseEvent(QMouseEvent* e) override { mouse.append({e->type(), e->position()}); }
    void mouseMoveEvent(QMouseEvent* e) override { mouse.append({e->type(), e->position()}); }
};

// The series of n samples given by a function of the index.
std::vector<CGSensorData> Series(int n, const std::function<CGSensorData(int)>& sample)
{
    std::vector<CGSensorData> out;
    for (int k = 0; k < n; ++k)
        out.push_back(sample(k));
    return out;
}

// Rows of column x whose pixel is `colour`: {first, last}, {-1, -1} when none.
std::pair<int, int> RowsOf(const QImage& img, int x, QRgb colour)
{
    int first = -1, last = -1;
    for (int y = 0; y < img.height(); ++y)
        if ((img.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF)) {
            if (first < 0)
                first = y;
            last = y;
        }
    return {first, last};
}

} // namespace

class TestPanels : public QObject
{
    Q_OBJECT

private:
    CRecordingPlatform m_platform;

    struct Graph {
        std::unique_ptr<CParent> parent;
        CGPSViewer* panel;
    };
    Graph MakeGraph(const QImage& skin, QRect place = kGraphPlace)
    {
        Graph g{std::make_unique<CParent>(), nullptr};
        g.panel = new CGPSViewer(g.parent.get());
        g.panel->setGeometry(place);
        g.parent->show();
        g.panel->CaptureBackground(skin);
        return g;
    }

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
        // No picture was missing.
        QCOMPARE(m_platform.CallsOf(QStringLiteral("MessageBox")).size(), 0);
    }

    void carInfoBackgroundAndSeparators();
    void carInfoSignals_data();
    void carInfoSignals();
    void mousePassedToParent_data();
    void mousePassedToParent();

    void graphBackgroundAndRules();
    void graphPointsEveryStep();
    void graphFullScale();
    void graphPositionLine();
    void graphClearAndRedraw();
    void graphOneSampleAndNone();
    void graphResizeRedrawsKeptSeries();
};

// ---------------------------------------------------------------------------

void TestPanels::carInfoBackgroundAndSeparators()
{
    const QImage skin = GradientSkin();
    CParent parent;
    auto* panel = new CCarInfoViewer(&parent);
    panel->setGeometry(kCarInfoPlace);
    parent.show();
    panel->CaptureBackground(skin);
    const QImage img = Grab(*panel);
    QCOMPARE(img.size(), kCarInfoPlace.size());
    const QColor separator(61, 62, 70);
    for (int y : {5, 20, 50}) {
        QCOMPARE(At(img, 78, y), separator);
        QCOMPARE(At(img, 79, y), separator);
    }
    QVERIFY(At(img, 77, 20) != separator);
    QVERIFY(At(img, 80, 20) != separator);
    QVERIFY(At(img, 78, 4) != separator);
    // Outside the pictures: the skin under the panel (its top rows stretched
    // over the whole height).
    QCOMPARE(At(img, 5, 0), skin.pixelColor(kCarInfoPlace.x() + 5, kCarInfoPlace.y()));
    QCOMPARE(At(img, 146, 0), skin.pixelColor(kCarInfoPlace.x() + 146, kCarInfoPlace.y()));
    const int lastSourceRow = kCarInfoPlace.height() - kCarInfoBackgroundCut - 1;
    QCOMPARE(At(img, 5, 50), skin.pixelColor(kCarInfoPlace.x() + 5, kCarInfoPlace.y() + lastSourceRow));
}

void TestPanels::carInfoSignals_data()
{
    QTest::addColumn<int>("brake");
    QTest::addColumn<int>("left");
    QTest::addColumn<int>("right");
    QTest::addColumn<bool>("brakeOn");
    QTest::addColumn<bool>("leftOn");
    QTest::addColumn<bool>("rightOn");
    QTest::newRow("all off") << 0 << 0 << 0 << false << false << false;
    QTest::newRow("all on") << 1 << 1 << 1 << true << true << true;
    QTest::newRow("2 and -1 are off") << 2 << -1 << 2 << false << false << false;
    QTest::newRow("brake only") << 1 << 0 << 7 << true << false << false;
    QTest::newRow("left only") << -1 << 1 << 0 << false << true << false;
    QTest::newRow("right only") << 0 << 256 << 1 << false << false << true;
}

void TestPanels::carInfoSignals()
{
    QFETCH(int, brake);
    QFETCH(int, left);
    QFETCH(int, right);
    const QImage skin = GradientSkin();
    CParent parent;
    auto* panel = new CCarInfoViewer(&parent);
    panel->setGeometry(kCarInfoPlace);
    parent.show();
    panel->CaptureBackground(skin);
    // Off from the moment the background is captured.
    QVERIFY(!panel->BrakeOn() && !panel->LeftOn() && !panel->RightOn());
    const QImage before = Grab(*panel);
    panel->SetStatus(1, 1, 1, 1); // every picture drawn once before
    panel->SetStatus(brake, left, right, 0);
    QTEST(panel->BrakeOn(), "brakeOn");
    QTEST(panel->LeftOn(), "leftOn");
    QTEST(panel->RightOn(), "rightOn");
    const QImage img = Grab(*panel);

    // Each place shows its picture over the skin under that place.
    struct Place {
        QRect rect;
        const char* on;
        const char* off;
        bool isOn;
    };
    const Place places[3] = {{kCarInfoLeftRect, kLeftOnPicture, kLeftOffPicture, panel->LeftOn()},
                             {kCarInfoRightRect, kRightOnPicture, kRightOffPicture, panel->RightOn()},
                             {kCarInfoBrakeRect, kBrakeOnPicture, kBrakeOffPicture, panel->BrakeOn()}};
    for (const Place& place : places) {
        CSkinSurface expected[2];
        for (int i = 0; i < 2; ++i) {
            QVERIFY(expected[i].Create(place.rect.width(), place.rect.height()));
            SkinBlit::Copy(expected[i].GetImage(), 0, 0, place.rect.width(), place.rect.height(), skin,
                           kCarInfoPlace.x() + place.rect.x(), kCarInfoPlace.y() + place.rect.y());
            CSkinImage::GetInstance()->DrawImage(expected[i], QString::fromLatin1(i ? place.on : place.off));
        }
        int differing = 0; // the on and off pictures differ somewhere
        for (int y = 0; y < place.rect.height(); ++y)
            for (int x = 0; x < place.rect.width(); ++x) {
                const int px = place.rect.x() + x, py = place.rect.y() + y;
                if (px >= img.width() || py >= img.height() || px == kCarInfoSeparatorX1 || px == kCarInfoSeparatorX2)
                    continue;
                const QColor want = expected[place.isOn ? 1 : 0].GetImage().pixelColor(x, y);
                differing += expected[0].GetImage().pixel(x, y) != expected[1].GetImage().pixel(x, y);
                if (At(img, px, py).rgb() != want.rgb())
                    QFAIL(qPrintable(QStringLiteral("%1 at %2,%3").arg(QLatin1String(place.isOn ? place.on : place.off)).arg(px).arg(py)));
                if (!place.isOn && At(before, px, py).rgb() != want.rgb())
                    QFAIL("off picture not shown after capture");
            }
        QVERIFY(differing > 20);
    }
}

void TestPanels::mousePassedToParent_data()
{
    QTest::addColumn<bool>("graph");
    QTest::newRow("signal panel") << false;
    QTest::newRow("graph panel") << true;
}

void TestPanels::mousePassedToParent()
{
    QFETCH(bool, graph);
    CParent parent;
    QWidget* panel = graph ? static_cast<QWidget*>(new CGPSViewer(&parent)) : new CCarInfoViewer(&parent);
    panel->setGeometry(graph ? kGraphPlace : kCarInfoPlace);
    panel->setMouseTracking(true);
    parent.show();
    QVERIFY(QTest::qWaitForWindowExposed(&parent));
    QTest::mousePress(panel, Qt::LeftButton, Qt::NoModifier, QPoint(12, 9));
    QTest::mouseMove(panel, QPoint(20, 10));
    QTest::mouseRelease(panel, Qt::LeftButton, Qt::NoModifier, QPoint(21, 11));
    // Unchanged: in the panel's own coordinates, as the window message carries them.
    QList<std::pair<QEvent::Type, QPointF>> expected = {{QEvent::MouseButtonPress, QPointF(12, 9)},
                                                        {QEvent::MouseMove, QPointF(20, 10)},
                                                        {QEvent::MouseButtonRelease, QPointF(21, 11)}};
    QCOMPARE(parent.mouse, expected);
}

// ---------------------------------------------------------------------------

void TestPanels::graphBackgroundAndRules()
{
    const QImage skin = GradientSkin();
    Graph g = MakeGraph(skin);
    const QImage img = Grab(*g.panel);
    QCOMPARE(img.size(), kGraphPlace.size());
    const QColor rule(58, 60, 67);
    for (int i = 0; i < 13; ++i) {
        QCOMPARE(At(img, 0, 6 * i), rule);
        QCOMPARE(At(img, 253, 6 * i), rule);
    }
    QCOMPARE(At(img, 100, 77), rule);
    for (int y : {1, 5, 40, 76})
        QCOMPARE(At(img, 7, y), skin.pixelColor(kGraphPlace.x() + 7, kGraphPlace.y() + y));
    QVERIFY(!g.panel->HasSeries());
    QCOMPARE(g.panel->PositionLineX(), -1);
}

void TestPanels::graphPointsEveryStep()
{
    // 121 samples on 240 pixels: every fifth sample of X is 512 (the top
    // row), the others 0, so the top row shows X exactly at the points of
    // those samples, 2 pixels per sample; the last sample lies on the right
    // edge, just outside.
    Graph g = MakeGraph(SolidSkin(Qt::black), QRect(10, 10, 240, 78));
    g.panel->DrawGraph(Series(121, [](int k) { return CGSensorData(k % 5 ? 0 : 512, 0, 0); }));
    const QImage img = Grab(*g.panel);
    QList<int> top;
    for (int x = 0; x < img.width(); ++x)
        if ((img.pixel(x, 0) & 0xFFFFFF) == (kGraphXColor & 0xFFFFFF))
            top << x;
    QList<int> expected;
    for (int k = 0; k < 120; k += 5)
        expected << 2 * k;
    QCOMPARE(top, expected);
    // The line to the last point climbs up to the right edge.
    const auto last = RowsOf(img, 239, kGraphXColor);
    QVERIFY2(last.first > 0 && last.first < 20 && last.second < 39, qPrintable(QString::number(last.first)));
    // Between two spikes X runs along the middle, under Y and Z (drawn later).
    QCOMPARE(img.pixel(105, 39) & 0xFFFFFF, kGraphZColor & 0xFFFFFF);
    QCOMPARE(img.pixel(105, 38), img.pixel(105, 37)); // nothing above the middle there
    QVERIFY(g.panel->HasSeries());
}

void TestPanels::graphFullScale()
{
    // 512 (4 g) is drawn 39 pixels above the middle of a 78-pixel panel, at
    // the top row; -512 39 below, on row 78, just outside.
    Graph g = MakeGraph(SolidSkin(Qt::black), QRect(10, 10, 240, 78));
    CTextData data;
    data.gsensorList = Series(5, [](int) { return CGSensorData(512, -512, 256); });
    QVERIFY(g.panel->DrawGraph(data));
    const QImage img = Grab(*g.panel);
    QCOMPARE(RowsOf(img, 120, kGraphXColor), std::make_pair(0, 0));
    QCOMPARE(RowsOf(img, 120, kGraphYColor), std::make_pair(-1, -1));
    QCOMPARE(At(img, 120, 77), QColor(58, 60, 67)); // the bottom rule, untouched
    QCOMPARE(RowsOf(img, 120, kGraphZColor), std::make_pair(19, 19)); // 39 - 19.5, truncated
    // Each curve starts on the middle line at the left edge: Y runs down
    // from just below it (Z, drawn last, covers row 39) to the bottom.
    QCOMPARE(RowsOf(img, 0, kGraphYColor), std::make_pair(40, 77));
    QCOMPARE(RowsOf(img, 0, kGraphZColor), std::make_pair(19, 39));
}

void TestPanels::graphPositionLine()
{
    Graph g = MakeGraph(SolidSkin(Qt::black), QRect(10, 10, 240, 78));
    g.panel->DrawGraph(Series(60, [](int k) { return CGSensorData(k, -k, 2 * k); }));
    const QImage plain = Grab(*g.panel);
    const QColor orange(255, 138, 72);
    QVERIFY(g.panel->SetPositionLine(50));
    QCOMPARE(g.panel->PositionLineX(), 120);
    QImage img = Grab(*g.panel);
    for (int y : {0, 30, 39, 77})
        QCOMPARE(At(img, 120, y), orange);
    QVERIFY(At(img, 119, 30) != orange && At(img, 121, 30) != orange);
    QVERIFY(g.panel->SetPositionLine(51));
    QCOMPARE(g.panel->PositionLineX(), 122);
    img = Grab(*g.panel);
    for (int y : {0, 30, 39, 77}) {
        QCOMPARE(At(img, 122, y), orange);
        QCOMPARE(At(img, 120, y), At(plain, 120, y)); // the old line is gone
    }
    // The line is never part of the kept picture.
    QCOMPARE(g.panel->ComposedImage().convertToFormat(QImage::Format_RGB32), plain);
    // 0 % is the left edge; 100 % lies just beyond the right one.
    g.panel->SetPositionLine(0);
    QCOMPARE(At(Grab(*g.panel), 0, 30), orange);
    g.panel->SetPositionLine(100);
    QCOMPARE(Grab(*g.panel), plain);
}

void TestPanels::graphClearAndRedraw()
{
    Graph g = MakeGraph(GradientSkin());
    const QImage empty = Grab(*g.panel);
    g.panel->DrawGraph(Series(10, [](int k) { return CGSensorData(50 * k, 0, -50 * k); }));
    const QImage drawn = Grab(*g.panel);
    QVERIFY(drawn != empty);
    g.panel->SetPositionLine(40);
    // A new series removes the position line.
    g.panel->DrawGraph(Series(10, [](int k) { return CGSensorData(50 * k, 0, -50 * k); }));
    QCOMPARE(Grab(*g.panel), drawn);
    QCOMPARE(g.panel->PositionLineX(), -1);
    g.panel->SetPositionLine(40);
    g.panel->ClearGraph();
    QVERIFY(!g.panel->HasSeries());
    QCOMPARE(Grab(*g.panel), empty);
    // Redraw without rebuilding keeps the picture, and removes the line.
    g.panel->DrawGraph(Series(10, [](int k) { return CGSensorData(50 * k, 0, -50 * k); }));
    g.panel->SetPositionLine(40);
    g.panel->Redraw(false);
    QCOMPARE(Grab(*g.panel), drawn);
    g.panel->Redraw(true);
    QCOMPARE(Grab(*g.panel), empty);
}

void TestPanels::graphOneSampleAndNone()
{
    Graph g = MakeGraph(SolidSkin(Qt::black), QRect(10, 10, 240, 78));
    const QImage empty = Grab(*g.panel);
    // One sample is held across the whole width.
    g.panel->DrawGraph(Series(1, [](int) { return CGSensorData(256, 0, 0); }));
    const QImage one = Grab(*g.panel);
    for (int x : {0, 1, 120, 239})
        QCOMPARE(RowsOf(one, x, kGraphXColor).first, 19);
    // No samples: no curve at all.
    g.panel->DrawGraph(std::vector<CGSensorData>());
    QCOMPARE(Grab(*g.panel), empty);
    QVERIFY(g.panel->HasSeries());
}

void TestPanels::graphResizeRedrawsKeptSeries()
{
    Graph g = MakeGraph(SolidSkin(Qt::black), QRect(10, 10, 240, 78));
    {
        // The caller's telemetry goes away after drawing (a catalogue rebuilt).
        auto data = std::make_unique<CTextData>();
        data->gsensorList = Series(3, [](int) { return CGSensorData(256, 0, 0); });
        g.panel->DrawGraph(*data);
    }
    QVERIFY(QTest::qWaitForWindowExposed(g.parent.get()));
    g.panel->resize(300, 78);
    const QImage img = Grab(*g.panel);
    QCOMPARE(img.width(), 300);
    // The kept series, drawn at the new width: its line reaches the new right edge.
    for (int x : {0, 150, 299})
        QCOMPARE(RowsOf(img, x, kGraphXColor).first, 19);
    // A new background under the panel (the window recomposed its skin when
    // the right column switched) keeps the curves.
    g.panel->CaptureBackground(SolidSkin(Qt::darkGray));
    QCOMPARE(RowsOf(Grab(*g.panel), 150, kGraphXColor).first, 19);
}

QTEST_MAIN(TestPanels)
#include "tst_panels.moc"
