// The telemetry presentation on its own, over real displays, the stand-in
// transport as its clock and a map bridge that keeps every script text:
// the acceleration texts and the graph's line, speed number and gauge in
// both units, the choice of the GPS sample for dense and sparse series, the
// fixes that show nothing, the map scripts (six decimals with a '.' under a
// comma-decimal locale), the track's point list, what the map area shows on
// every occasion with the rear picture shown or not, the map page before it
// is ready, without internet, lost and back, the vehicle signals, and the
// series copy that the analysis thread cannot pull away. Then the same
// through the main window playing over the stand-in transport: the panels
// at their places showing the playing second, cleared at stop, following a
// resize with the background under them; the map browser made without
// internet and never started.
#include "CardFixture.h"
#include "FakeTransport.h"
#include "WindowTestEnvironment.h"
#include "catalogue/MemoryCard.h"
#include "catalogue/RecordingAnalyzer.h"
#include "lang/Lang.h"
#include "mainwindow/MainWindowIds.h"
#include "mainwindow/MovaraDlg.h"
#include "mainwindow/TelemetryPresenter.h"
#include "map/MapIds.h"
#include "map/RecordingMapBridge.h"
#include "map/WebBrowser2Ex.h"
#include "platform/Platform.h"
#include "settings/Settings.h"
#include "skin/RImageNum.h"
#include "skin/RListCtrl.h"
#include "skin/RStaticText.h"
#include "skin/SkinImage.h"
#include "skin/SkinSlider.h"
#include "skin/SkinText.h"
#include "support/CommaLocale.h"
#include "telemetry/TextData.h"
#include "windows/CarInfoViewer.h"
#include "windows/GPSViewer.h"
#include "windows/PanelIds.h"
#include "writers/MediaWriters.h"

#include <QDateTime>
#include <QDir>
#include <QResource>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <atomic>
#include <thread>

using namespace MainWnd;

namespace {

constexpr int64_t kSecond = Engine::kUnitsPerSecond;

// A GPS fix `seconds` after 2024-05-10 08:00:00 UTC at NMEA `lat`/`lon`,
// driving at `kmh`.
CGPSData Fix(qint64 seconds, double lat, double lon, double kmh, bool valid = true,
             const QDateTime& start = QDateTime(QDate(2024, 5, 10), QTime(8, 0), Qt::UTC))
{
    const QDateTime t = start.addSecs(seconds);
    CGPSData s;
    s.year = t.date().year() - 2000;
    s.month = t.date().month();
    s.day = t.date().day();
    s.hour = t.time().hour();
    s.minute = t.time().minute();
    s.second = t.time().second();
    s.valid = valid ? 1 : 0;
    s.latitude = lat;
    s.longitude = lon;
    s.speed = kmh;
    return s;
}

// `m` fixes, one per `step` seconds; fix k drives at k km/h (so the speed
// number names the chosen fix).
std::vector<CGPSData> Fixes(int m, int step, const QDateTime& start = QDateTime(QDate(2024, 5, 10), QTime(8, 0), Qt::UTC))
{
    std::vector<CGPSData> v;
    for (int k = 0; k < m; ++k)
        v.push_back(Fix(qint64(k) * step, 3733.0 + k * 0.01, 12658.0 + k * 0.01, k, true, start));
    return v;
}

bool Shown(const QWidget* w, const QRect& area)
{
    return w->isVisible() && w->geometry() == area;
}

bool Hidden(const QWidget* w)
{
    return !w->isVisible() || w->geometry().isEmpty();
}

// The presentation with its displays in a window of the base size.
struct Rig {
    QWidget window;
    CSkinSurface background;
    CRStaticText* accel[3];
    CRImageNum* number;
    CRSliderCtrl* gauge;
    CGPSViewer* graph;
    CCarInfoViewer* carInfo;
    QWidget* placeholder;
    QWidget* mapView;
    CRecordingMapBridge bridge;
    CFakeTransport clock;
    int mapPending = 0;
    int trackDrawn = 0;
    int rearShown = 0;
    int speedUnit = 0;
    CategoryMap map;
    CategoryMap* current = &map;
    SkinRect mapArea = kMapArea;
    CTelemetryPresenter presenter;

    Rig()
    {
        window.resize(kBaseWidth, kBaseHeight);
        background.Create(kBaseWidth, kBaseHeight);
        background.GetImage().fill(QColor(30, 32, 40));
        const int H = kBaseHeight;
        const QFont font = MakeSkinFont(11, QFont::Normal);
        const char* texts[3] = {"X : 0000", "Y : 0000", "Z : 0000"};
        for (int i = 0; i < 3; ++i) {
            accel[i] = new CRStaticText(&window);
            accel[i]->setGeometry(163, H - 109 + 28 * i, 50, 13);
            SkinTextStyle style;
            style.text = QString::fromLatin1(texts[i]);
            style.normalColor = Qt::white;
            accel[i]->SetImage(QString(), font, &background, style);
        }
        number = new CRImageNum(&window);
        number->setGeometry(27, H - 98, 72, 43);
        number->SetBackground(&background);
        gauge = new CRSliderCtrl(&window);
        gauge->setGeometry(14, H - 42, 135, 8);
        graph = new CGPSViewer(&window);
        graph->setGeometry(220, H - 115, 254, 78);
        carInfo = new CCarInfoViewer(&window);
        carInfo->setGeometry(487, H - 89, 147, 51);
        placeholder = new QWidget(&window);
        placeholder->setGeometry(0, 0, 320, 240);
        placeholder->hide();
        mapView = new QWidget(&window);
        mapView->setGeometry(0, 0, 0, 0);

        presenter.Bind({&mapPending, &trackDrawn, &rearShown, &speedUnit, &current, &mapArea});
        presenter.SetClock(&clock);
        CTelemetryPresenter::Displays d;
        d.accelX = accel[0];
        d.accelY = accel[1];
        d.accelZ = accel[2];
        d.speedNumber = number;
        d.speedGauge = gauge;
        d.graph = graph;
        d.carInfo = carInfo;
        d.mapPlaceholder = placeholder;
        presenter.SetDisplays(d);
        presenter.SetMap(&bridge, mapView);
        presenter.OnBackgroundRecomposed(background);
        window.show();
    }

    // A recording of `seconds` with `series` opened and playing.
    void Play(const CTextData& series, int seconds)
    {
        clock.openDurationUnits = seconds * kSecond;
        clock.OnMovieOpen(QStringLiteral("REC.AVI"), true);
        clock.Play();
        presenter.TakeSeries(&series);
    }
    int At(long pos)
    {
        clock.SetPositionUnits(pos * kSecond);
        return presenter.SetGPSPosion();
    }
    QString Text(int axis) const { return accel[axis]->Text(); }
    QStringList MoveScripts() const { return bridge.ExecScripts().filter(QStringLiteral("MapMoveToAuto")); }
};

} // namespace

class TestPresentation : public QObject
{
    Q_OBJECT

private:
    CRecordingPlatform m_platform;
    QTemporaryDir m_dir;

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        StartWindowTests(m_platform, QStringLiteral("english"), m_dir.path());
    }
    void cleanupTestCase()
    {
        FinishWindowTests();
    }

    void accelerationAndPositionLine_data();
    void accelerationAndPositionLine();
    void speedNumberAndGauge_data();
    void speedNumberAndGauge();
    void gpsSampleChoice_data();
    void gpsSampleChoice();
    void fixesThatShowNothing();
    void mapRefusingThePosition();
    void mapScriptsUnderCommaLocale();
    void trackPointList_data();
    void trackPointList();
    void clearMapTrackSequence();
    void mapAreaTable_data();
    void mapAreaTable();
    void resetMapArea_data();
    void resetMapArea();
    void mapPendingUntilFirstValidFix();
    void pageNotReadyNoInternetLostAndBack();
    void vehicleSignals_data();
    void vehicleSignals();
    void seriesCopyOutlivesAnalysis();
    void panelsThroughPlayback();
    void panelsFollowResize();
    void recordingFromOurWriters();
};

// ---- Acceleration ---------------------------------------------------------------------------

void TestPresentation::accelerationAndPositionLine_data()
{
    QTest::addColumn<int>("samples"); // sample i holds (x0 + i, y, z)
    QTest::addColumn<int>("x0");
    QTest::addColumn<int>("y");
    QTest::addColumn<int>("z");
    QTest::addColumn<int>("seconds");
    QTest::addColumn<int>("pos");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<int>("linePercent");
    // -0.25 g: the minus sign takes the blank's place; +0.25 g keeps it.
    QTest::newRow("-0.25 g and +0.25 g") << 1 << -32 << 32 << 0 << 60 << 0
                                         << QStringList{"X :-0.25", "Y : 0.25", "Z : 0.00"} << 0;
    QTest::newRow("4 g either way") << 1 << 512 << -512 << -1 << 60 << 30
                                    << QStringList{"X : 4.00", "Y :-4.00", "Z :-0.01"} << 50;
    // 600 samples over 60 s: second 30 is sample 300, holding 301 (2.35 g).
    QTest::newRow("ten a second") << 600 << 1 << 0 << 128 << 60 << 30
                                  << QStringList{"X : 2.35", "Y : 0.00", "Z : 1.00"} << 50;
    // n * pos / dur = 7 * 59 / 60 = 6 (truncated).
    QTest::newRow("index truncated") << 7 << 0 << 0 << 0 << 60 << 59
                                     << QStringList{"X : 0.05", "Y : 0.00", "Z : 0.00"} << 98;
    // At the end the index would be n: the last sample.
    QTest::newRow("end of recording") << 7 << 0 << 0 << 0 << 60 << 60
                                      << QStringList{"X : 0.05", "Y : 0.00", "Z : 0.00"} << 100;
}

void TestPresentation::accelerationAndPositionLine()
{
    QFETCH(int, samples);
    QFETCH(int, x0);
    QFETCH(int, y);
    QFETCH(int, z);
    QFETCH(int, seconds);
    QFETCH(int, pos);
    QFETCH(QStringList, texts);
    QFETCH(int, linePercent);
    Rig rig;
    CTextData series;
    for (int i = 0; i < samples; ++i)
        series.gsensorList.push_back(CGSensorData(x0 + i, y, z));
    rig.Play(series, seconds);
    rig.presenter.DrawGraph(&series);
    QCOMPARE(rig.At(pos), 0); // no GPS samples
    QCOMPARE((QStringList{rig.Text(0), rig.Text(1), rig.Text(2)}), texts);
    QCOMPARE(rig.graph->PositionLineX(), int(254.0 * linePercent / 100.0));
    // The line is drawn over the panel in its orange (at 100 % it lies just
    // beyond the right edge).
    const QImage shot = rig.graph->grab().toImage();
    const int x = rig.graph->PositionLineX();
    if (x < shot.width())
        QCOMPARE(shot.pixelColor(x, 3).rgb(), QColor(255, 138, 72).rgb());
}

// ---- Speed ---------------------------------------------------------------------------------------

void TestPresentation::speedNumberAndGauge_data()
{
    QTest::addColumn<double>("kmh");
    QTest::addColumn<int>("unit");
    QTest::addColumn<int>("number");
    QTest::addColumn<float>("level");
    QTest::newRow("100 km/h") << 100.0 << 0 << 100 << 50.0f;
    QTest::newRow("100 km/h in mph") << 100.0 << 1 << 62 << 50.0f;
    QTest::newRow("250 km/h: gauge full") << 250.0 << 0 << 250 << 100.0f;
    QTest::newRow("250 km/h in mph") << 250.0 << 1 << 155 << 100.0f;
    QTest::newRow("fraction truncated") << 99.9 << 0 << 99 << 49.5f;
    QTest::newRow("mph rounds half up") << 1.0 << 1 << 1 << 0.5f;
    QTest::newRow("standing") << 0.0 << 1 << 0 << 0.0f;
}

void TestPresentation::speedNumberAndGauge()
{
    QFETCH(double, kmh);
    QFETCH(int, unit);
    QFETCH(int, number);
    QFETCH(float, level);
    Rig rig;
    rig.speedUnit = unit;
    CTextData series;
    series.gpsList.push_back(Fix(0, 3733.0, 12658.0, kmh));
    rig.Play(series, 60);
    QCOMPARE(rig.At(0), 1);
    QCOMPARE(rig.number->Value(), number);
    QCOMPARE(rig.gauge->GetValue(), level);
}

// ---- Which GPS sample ------------------------------------------------------------------------------

void TestPresentation::gpsSampleChoice_data()
{
    QTest::addColumn<int>("seconds");
    QTest::addColumn<int>("fixes");
    QTest::addColumn<int>("step"); // seconds between fixes
    QTest::addColumn<QDateTime>("start");
    QTest::addColumn<int>("pos");
    QTest::addColumn<int>("chosen"); // -1: no fix for the position
    const QDateTime day(QDate(2024, 5, 10), QTime(8, 0), Qt::UTC);
    QTest::newRow("dense: second 59 of 60") << 60 << 60 << 1 << day << 59 << 59;
    QTest::newRow("dense: the end") << 60 << 60 << 1 << day << 60 << 59;
    QTest::newRow("dense: first second") << 60 << 60 << 1 << day << 0 << 0;
    QTest::newRow("dense: more fixes than seconds, end") << 60 << 70 << 1 << day << 60 << 69;
    QTest::newRow("sparse: one per 2 s, at 10 s") << 60 << 30 << 2 << day << 10 << 5;
    QTest::newRow("sparse: one per 2 s, at 11 s") << 60 << 30 << 2 << day << 11 << 6;
    QTest::newRow("sparse: the end") << 60 << 30 << 2 << day << 60 << 29;
    // Ten fixes stamped over the first 9 s of a 60 s recording.
    QTest::newRow("sparse: stamps end, pos beyond count") << 60 << 10 << 1 << day << 20 << -1;
    QTest::newRow("sparse: stamps end, pos at count") << 60 << 10 << 1 << day << 10 << 9;
    QTest::newRow("sparse: last stamp reached") << 60 << 10 << 1 << day << 9 << 9;
    // The clock runs over midnight and the month's end.
    QTest::newRow("sparse: over a month's end")
        << 60 << 30 << 2 << QDateTime(QDate(2024, 1, 31), QTime(23, 59, 50), Qt::UTC) << 20 << 10;
}

void TestPresentation::gpsSampleChoice()
{
    QFETCH(int, seconds);
    QFETCH(int, fixes);
    QFETCH(int, step);
    QFETCH(QDateTime, start);
    QFETCH(int, pos);
    QFETCH(int, chosen);
    Rig rig;
    CTextData series;
    series.gpsList = Fixes(fixes, step, start);
    rig.Play(series, seconds);
    rig.number->SetValue(777);
    rig.gauge->SetValue(33.0f);
    const int shown = rig.At(pos);
    if (chosen < 0) {
        QCOMPARE(shown, 0);
        QCOMPARE(rig.number->Value(), 777); // keeps its last value
        QCOMPARE(rig.gauge->GetValue(), 0.0f);
        QVERIFY(rig.MoveScripts().isEmpty());
    } else {
        QCOMPARE(shown, 1);
        QCOMPARE(rig.number->Value(), chosen);
        QCOMPARE(rig.MoveScripts().size(), 1);
    }
}

void TestPresentation::fixesThatShowNothing()
{
    Rig rig;
    // No series, or a zero duration.
    QCOMPARE(rig.presenter.SetGPSPosion(), 0);
    CTextData series;
    series.gpsList = Fixes(3, 1);
    rig.presenter.TakeSeries(&series);
    QCOMPARE(rig.presenter.SetGPSPosion(), 0); // nothing open: duration 0
    // No GPS samples: the number keeps its value, the gauge drops.
    CTextData noGps;
    noGps.gsensorList.push_back(CGSensorData(1, 2, 3));
    rig.Play(noGps, 60);
    rig.number->SetValue(42);
    rig.gauge->SetValue(20.0f);
    QCOMPARE(rig.At(5), 0);
    QCOMPARE(rig.number->Value(), 42);
    QCOMPARE(rig.gauge->GetValue(), 0.0f);
    // An invalid fix: the number reads 0; no position goes to the map.
    CTextData invalid;
    invalid.gpsList.push_back(Fix(0, 3733.0, 12658.0, 80.0, false));
    rig.Play(invalid, 60);
    rig.number->SetValue(42);
    QCOMPARE(rig.At(0), 0);
    QCOMPARE(rig.number->Value(), 0);
    QVERIFY(rig.MoveScripts().isEmpty());
}

void TestPresentation::mapRefusingThePosition()
{
    Rig rig;
    rig.bridge.SetExecResultFor(QStringLiteral("MapMoveToAuto"), -2147467259);
    CTextData series;
    series.gpsList.push_back(Fix(0, 3733.0, 12658.0, 100.0));
    rig.Play(series, 60);
    QCOMPARE(rig.At(0), 0);
    QCOMPARE(rig.number->Value(), 100); // the values were shown all the same
    QCOMPARE(rig.MoveScripts().size(), 1);
}

// ---- Map scripts ---------------------------------------------------------------------------------------

void TestPresentation::mapScriptsUnderCommaLocale()
{
    CCommaDecimalLocale comma;
    QVERIFY2(comma.IsActive(), qPrintable(comma.Reason()));
    Rig rig;
    CTextData series;
    series.gsensorList.push_back(CGSensorData(-32, 32, 64));
    // Seoul; 127.5 exactly; the south-western quarter.
    series.gpsList.push_back(Fix(0, 3733.1234, 12658.5, 50.0));
    series.gpsList.push_back(Fix(1, 3730.0, 12730.0, 50.0));
    series.gpsList.push_back(Fix(2, -3351.6, -7030.12, 50.0));
    rig.Play(series, 3);
    for (int pos = 0; pos < 3; ++pos)
        QCOMPARE(rig.At(pos), 1);
    QCOMPARE(rig.MoveScripts(), (QStringList{QStringLiteral("MapMoveToAuto('126.975000','37.552057',-1)"),
                                             QStringLiteral("MapMoveToAuto('127.500000','37.500000',-1)"),
                                             QStringLiteral("MapMoveToAuto('-70.502000','-33.860000',-1)")}));
    QCOMPARE(rig.Text(0), QStringLiteral("X :-0.25"));
    QCOMPARE(rig.Text(2), QStringLiteral("Z : 0.50"));
    rig.map[QStringLiteral("REC.AVI")].textData = series;
    rig.bridge.ClearCalls();
    rig.presenter.DrawMapLine(QStringLiteral("REC.AVI"));
    QCOMPARE(rig.bridge.ExecScripts(),
             QStringList{QStringLiteral("addPolyLine('126.975000,37.552057|127.500000,37.500000|-70.502000,-33.860000',"
                                        "\"red\",4,0.5)")});
}

void TestPresentation::trackPointList_data()
{
    QTest::addColumn<QList<QPointF>>("raw"); // (latitude, longitude) in NMEA form
    QTest::addColumn<QString>("points");     // "" : no call
    QTest::newRow("repeats give one point per change")
        << QList<QPointF>{{3730, 12700}, {3730, 12700}, {3730, 12700}, {3736, 12700}, {3736, 12700}, {3730, 12700}}
        << QStringLiteral("127.000000,37.500000|127.000000,37.600000|127.000000,37.500000");
    QTest::newRow("ten identical fixes") << QList<QPointF>(10, QPointF(3730, 12730))
                                         << QStringLiteral("127.500000,37.500000");
    QTest::newRow("zero latitude or longitude skipped")
        << QList<QPointF>{{0, 12700}, {3730, 0}, {3730, 12700}, {0, 0}, {3736, 12706}}
        << QStringLiteral("127.000000,37.500000|127.100000,37.600000");
    // A zero fix between two equal ones is not taken: the second is a repeat.
    QTest::newRow("repeat across a skipped zero") << QList<QPointF>{{3730, 12700}, {0, 0}, {3730, 12700}}
                                                  << QStringLiteral("127.000000,37.500000");
    QTest::newRow("all zero: no track") << QList<QPointF>(5, QPointF(0, 0)) << QString();
    QTest::newRow("no fixes: no track") << QList<QPointF>() << QString();
}

void TestPresentation::trackPointList()
{
    QFETCH(QList<QPointF>, raw);
    QFETCH(QString, points);
    Rig rig;
    RecordingEntry& entry = rig.map[QStringLiteral("REC.AVI")];
    for (const QPointF& p : raw)
        entry.textData.gpsList.push_back(Fix(0, p.x(), p.y(), 0.0, false)); // validity is not consulted
    rig.trackDrawn = points.isEmpty() ? 1 : 0;
    rig.presenter.DrawMapLine(QStringLiteral("REC.AVI"));
    if (points.isEmpty()) {
        QVERIFY(rig.bridge.Calls().empty());
        QCOMPARE(rig.trackDrawn, 0);
    } else {
        QCOMPARE(rig.bridge.ExecScripts(), QStringList{QStringLiteral("addPolyLine('%1',\"red\",4,0.5)").arg(points)});
        QCOMPARE(rig.trackDrawn, 1);
    }
    // A title the map does not hold draws nothing.
    rig.bridge.ClearCalls();
    rig.presenter.DrawMapLine(QStringLiteral("OTHER.AVI"));
    QVERIFY(rig.bridge.Calls().empty());
    QCOMPARE(rig.trackDrawn, 0);
}

void TestPresentation::clearMapTrackSequence()
{
    Rig rig;
    rig.presenter.ClearMapTrack();
    QCOMPARE(rig.bridge.ExecScripts(), (QStringList{QStringLiteral("removePolyLine()"), QStringLiteral("removePoint()"),
                                                    QStringLiteral("MapMoveToAuto('0','0',-1)")}));
}

// ---- The map area -------------------------------------------------------------------------------------

namespace {
// What the map area shows: 0 the map, 1 the placeholder, 2 neither.
enum Area { MapArea = 0, Placeholder = 1, Neither = 2 };

void Put(Rig& rig, int area)
{
    const int rear = rig.rearShown;
    rig.rearShown = 0;
    using O = CTelemetryPresenter::MapOccasion;
    if (area == MapArea)
        rig.presenter.UpdateMapArea(O::Seek, 1);
    else if (area == Placeholder)
        rig.presenter.UpdateMapArea(O::Periodic, 0);
    else
        rig.presenter.UpdateMapArea(O::Seek, 0);
    rig.rearShown = rear;
}

int Showing(Rig& rig)
{
    const QRect area = rig.mapArea.ToQRect();
    const bool map = Shown(rig.mapView, area);
    const bool placeholder = Shown(rig.placeholder, area);
    if (map && placeholder)
        return -1; // never both
    if (map != rig.presenter.MapShown() || placeholder != rig.presenter.PlaceholderShown())
        return -2; // the widgets disagree with the decision
    if (!map && !Hidden(rig.mapView))
        return -3;
    if (!placeholder && !Hidden(rig.placeholder))
        return -3;
    return map ? MapArea : (placeholder ? Placeholder : Neither);
}
} // namespace

void TestPresentation::mapAreaTable_data()
{
    QTest::addColumn<int>("occasion");
    QTest::addColumn<int>("result"); // SetGPSPosion's
    QTest::addColumn<int>("rearShown");
    QTest::addColumn<int>("state"); // the transport's
    QTest::addColumn<int>("before");
    QTest::addColumn<int>("after");
    const int periodic = int(CTelemetryPresenter::MapOccasion::Periodic);
    const int seek = int(CTelemetryPresenter::MapOccasion::Seek);
    const int release = int(CTelemetryPresenter::MapOccasion::Release);
    const int redraw = int(CTelemetryPresenter::MapOccasion::Redraw);
    QTest::newRow("timer, fix, rear hidden") << periodic << 1 << 0 << int(STATE_PLAY) << int(Placeholder) << int(MapArea);
    QTest::newRow("timer, no fix, rear hidden") << periodic << 0 << 0 << int(STATE_PLAY) << int(MapArea) << int(Placeholder);
    QTest::newRow("timer, fix, rear shown") << periodic << 1 << 1 << int(STATE_PLAY) << int(Neither) << int(Neither);
    QTest::newRow("timer, no fix, rear shown: no change") << periodic << 0 << 1 << int(STATE_PLAY) << int(MapArea) << int(MapArea);
    QTest::newRow("drag, fix, rear hidden") << seek << 1 << 0 << int(STATE_PAUSE) << int(Placeholder) << int(MapArea);
    QTest::newRow("drag, no fix, rear hidden") << seek << 0 << 0 << int(STATE_PAUSE) << int(Placeholder) << int(Neither);
    QTest::newRow("drag, fix, rear shown") << seek << 1 << 1 << int(STATE_PAUSE) << int(MapArea) << int(Neither);
    QTest::newRow("drag, no fix, rear shown") << seek << 0 << 1 << int(STATE_PAUSE) << int(Placeholder) << int(Neither);
    QTest::newRow("release, rear hidden") << release << 0 << 0 << int(STATE_PLAY) << int(MapArea) << int(Placeholder);
    QTest::newRow("release, rear shown") << release << 0 << 1 << int(STATE_PLAY) << int(MapArea) << int(Neither);
    QTest::newRow("redraw stopped, rear hidden") << redraw << 0 << 0 << int(STATE_STOP) << int(Neither) << int(Placeholder);
    QTest::newRow("redraw stopped, rear shown") << redraw << 0 << 1 << int(STATE_STOP) << int(Placeholder) << int(Neither);
    // While a recording is open the video windows repaint for every picture.
    QTest::newRow("redraw playing: no change") << redraw << 0 << 0 << int(STATE_PLAY) << int(MapArea) << int(MapArea);
    QTest::newRow("redraw paused: no change") << redraw << 0 << 0 << int(STATE_PAUSE) << int(MapArea) << int(MapArea);
}

void TestPresentation::mapAreaTable()
{
    QFETCH(int, occasion);
    QFETCH(int, result);
    QFETCH(int, rearShown);
    QFETCH(int, state);
    QFETCH(int, before);
    QFETCH(int, after);
    Rig rig;
    rig.clock.ForceState(state);
    Put(rig, before);
    QCOMPARE(Showing(rig), before);
    rig.rearShown = rearShown;
    rig.presenter.UpdateMapArea(CTelemetryPresenter::MapOccasion(occasion), result);
    QCOMPARE(Showing(rig), after);
    // The area follows the window's width (the size rule moves it).
    rig.mapArea = {743, 146, 1063, 386};
    Put(rig, MapArea);
    QCOMPARE(rig.mapView->geometry(), QRect(743, 146, 320, 240));
}

void TestPresentation::resetMapArea_data()
{
    QTest::addColumn<int>("rearShown");
    QTest::addColumn<int>("mapPending");
    QTest::addColumn<bool>("recentre");
    QTest::addColumn<bool>("validFix");
    QTest::addColumn<int>("before");
    QTest::addColumn<int>("after");
    QTest::addColumn<QStringList>("scripts");
    const QStringList none;
    QTest::newRow("rear shown") << 1 << 0 << true << true << int(MapArea) << int(Neither) << none;
    QTest::newRow("rear shown, pending") << 1 << 1 << false << true << int(Placeholder) << int(Neither) << none;
    QTest::newRow("pending") << 0 << 1 << true << true << int(MapArea) << int(Placeholder) << none;
    QTest::newRow("recentre with a fix")
        << 0 << 0 << true << true << int(Placeholder) << int(MapArea)
        << QStringList{"removePoint()", "MapMoveToAuto('0','0',-1)", "MapMoveToAuto('127.000000','37.500000',-1)"};
    QTest::newRow("recentre without a fix: no change")
        << 0 << 0 << true << false << int(Neither) << int(Neither)
        << QStringList{"removePoint()", "MapMoveToAuto('0','0',-1)"};
    QTest::newRow("recentre without a fix: map stays") << 0 << 0 << true << false << int(MapArea) << int(MapArea)
                                                       << QStringList{"removePoint()", "MapMoveToAuto('0','0',-1)"};
    QTest::newRow("no recentre") << 0 << 0 << false << true << int(MapArea) << int(Placeholder) << none;
}

void TestPresentation::resetMapArea()
{
    QFETCH(int, rearShown);
    QFETCH(int, mapPending);
    QFETCH(bool, recentre);
    QFETCH(bool, validFix);
    QFETCH(int, before);
    QFETCH(int, after);
    QFETCH(QStringList, scripts);
    Rig rig;
    CTextData series;
    series.gpsList.push_back(Fix(0, 3730.0, 12700.0, 30.0, validFix));
    rig.Play(series, 60);
    Put(rig, before);
    rig.rearShown = rearShown;
    rig.mapPending = mapPending;
    rig.presenter.ResetMapArea(recentre);
    QCOMPARE(Showing(rig), after);
    QCOMPARE(rig.bridge.ExecScripts(), scripts);
}

void TestPresentation::mapPendingUntilFirstValidFix()
{
    Rig rig;
    CTextData series;
    series.gpsList.push_back(Fix(0, 3730.0, 12700.0, 30.0, false));
    series.gpsList.push_back(Fix(1, 3730.0, 12700.0, 30.0, true));
    rig.Play(series, 2);
    rig.mapPending = 1;
    using O = CTelemetryPresenter::MapOccasion;
    rig.presenter.ResetMapArea(true);
    QCOMPARE(Showing(rig), int(Placeholder));
    rig.presenter.UpdateMapArea(O::Periodic, rig.At(0));
    QCOMPARE(rig.mapPending, 1);
    QCOMPARE(Showing(rig), int(Placeholder));
    rig.presenter.UpdateMapArea(O::Periodic, rig.At(1));
    QCOMPARE(rig.mapPending, 0);
    QCOMPARE(Showing(rig), int(MapArea));
}

// ---- The map page's states -------------------------------------------------------------------------

void TestPresentation::pageNotReadyNoInternetLostAndBack()
{
    using O = CTelemetryPresenter::MapOccasion;
    CTextData series;
    series.gpsList = Fixes(60, 1);
    Rig rig;
    rig.map[QStringLiteral("REC.AVI")].textData = series;
    rig.Play(series, 60);

    // Before the page is ready every call is refused: the placeholder stays.
    rig.bridge.SetReady(false);
    rig.presenter.DrawMapLine(QStringLiteral("REC.AVI"));
    rig.presenter.UpdateMapArea(O::Periodic, rig.At(3));
    QCOMPARE(Showing(rig), int(Placeholder));
    QCOMPARE(rig.number->Value(), 3); // the values show all the same

    // Ready: the track missed before is drawn, the position shown.
    rig.bridge.SetReady(true);
    rig.bridge.ClearCalls();
    rig.presenter.OnMapPageReady();
    const QStringList sent = rig.bridge.ExecScripts();
    QCOMPARE(sent.size(), 2);
    QVERIFY(sent[0].startsWith(QLatin1String("addPolyLine('126.966667,37.550000|")));
    QCOMPARE(sent[1], QStringLiteral("MapMoveToAuto('126.967167','37.550500',-1)"));
    QCOMPARE(Showing(rig), int(MapArea));

    // Lost (renderer gone): the placeholder stands in; play goes on.
    rig.presenter.OnMapPageLost();
    QCOMPARE(Showing(rig), int(Placeholder));
    rig.bridge.SetReady(false);
    rig.presenter.UpdateMapArea(O::Periodic, rig.At(4));
    QCOMPARE(Showing(rig), int(Placeholder));
    QCOMPARE(rig.number->Value(), 4);
    rig.rearShown = 1;
    rig.presenter.OnMapPageLost();
    QCOMPARE(Showing(rig), int(Neither));

    // Without internet the real browser never starts its engine and answers
    // every call at once; the presentation goes on without a map.
    CWebBrowser2Ex offline(&rig.window, false);
    offline.Navigate(QStringLiteral("/nowhere/mapView.htm"));
    QVERIFY(!offline.HasView());
    rig.presenter.SetMap(&offline, &offline);
    rig.rearShown = 0;
    for (int pos = 5; pos < 60; ++pos)
        rig.presenter.UpdateMapArea(O::Periodic, rig.At(pos));
    QCOMPARE(rig.number->Value(), 59);
    QCOMPARE(Showing(rig), int(Placeholder));
    QCOMPARE(offline.ExecScript(QStringLiteral("removePoint()")), MapIds::kScriptNotSent);
    QCOMPARE(offline.ExecScriptGetValue(QStringLiteral("fnGetExtentWGS84()")), QString());
    QVERIFY(!rig.presenter.MapBusy());
    rig.presenter.SetMap(nullptr, nullptr);
}

// ---- Vehicle signals --------------------------------------------------------------------------------

void TestPresentation::vehicleSignals_data()
{
    QTest::addColumn<int>("pos");
    QTest::addColumn<int>("brake");
    QTest::addColumn<int>("left");
    QTest::addColumn<int>("right");
    // Sample i = 4 * pos / 60: 0 brake; 1 left (value 2: off); 2 right; 3 all (-1 on brake: off).
    QTest::newRow("second 0") << 0 << 1 << 0 << 0;
    QTest::newRow("second 15") << 15 << 0 << 0 << 0;
    QTest::newRow("second 30") << 30 << 0 << 0 << 1;
    QTest::newRow("second 59") << 59 << 0 << 1 << 1;
    QTest::newRow("the end: last sample") << 60 << 0 << 1 << 1;
}

void TestPresentation::vehicleSignals()
{
    QFETCH(int, pos);
    QFETCH(int, brake);
    QFETCH(int, left);
    QFETCH(int, right);
    Rig rig;
    CTextData series;
    auto info = [](int l, int r, int b) {
        CCarInfoData c;
        c.left = l;
        c.right = r;
        c.brake = b;
        return c;
    };
    series.carInfoList = {info(0, 0, 1), info(2, 0, 0), info(0, 1, 0), info(1, 1, -1)};
    rig.Play(series, 60);
    // At the start the caption is lit for a front/rear card, the signals off.
    rig.presenter.ShowVehicleSignals(true, &series);
    QVERIFY(!rig.carInfo->BrakeOn() && !rig.carInfo->LeftOn() && !rig.carInfo->RightOn());
    const QImage off = rig.carInfo->grab().toImage();
    rig.clock.SetPositionUnits(pos * kSecond);
    rig.presenter.SetCarInfoStatus();
    QCOMPARE(int(rig.carInfo->BrakeOn()), brake);
    QCOMPARE(int(rig.carInfo->LeftOn()), left);
    QCOMPARE(int(rig.carInfo->RightOn()), right);
    const QImage on = rig.carInfo->grab().toImage();
    const QRect places[3] = {PanelIds::kCarInfoBrakeRect, PanelIds::kCarInfoLeftRect, PanelIds::kCarInfoRightRect};
    const int states[3] = {brake, left, right};
    for (int i = 0; i < 3; ++i)
        QCOMPARE(on.copy(places[i]) != off.copy(places[i]), states[i] == 1);
    // A new background keeps what the signals show.
    rig.presenter.OnBackgroundRecomposed(rig.background);
    QCOMPARE(int(rig.carInfo->BrakeOn()), brake);
    QCOMPARE(int(rig.carInfo->RightOn()), right);
    // Cleared at stop.
    rig.presenter.ClearVehicleSignals();
    QVERIFY(!rig.carInfo->BrakeOn() && !rig.carInfo->LeftOn() && !rig.carInfo->RightOn());
}

// ---- The series copy ---------------------------------------------------------------------------------

void TestPresentation::seriesCopyOutlivesAnalysis()
{
    // The analysis thread replaces an entry's series under the lock (a
    // recording without acceleration samples is extracted again) while the
    // presentation reads its own copy.
    Rig rig;
    RecordingEntry& entry = rig.map[QStringLiteral("REC.AVI")];
    entry.textData.gpsList = Fixes(60, 1);
    rig.Play(entry.textData, 60);
    std::atomic<bool> stop{false};
    std::thread analysis([&] {
        while (!stop) {
            CTextData fresh;
            fresh.gpsList = Fixes(7, 9);
            std::lock_guard<std::recursive_mutex> lock(g_analysisLock);
            entry.textData = std::move(fresh);
        }
    });
    for (int pos = 0; pos < 60; ++pos)
        QCOMPARE(rig.At(pos), 1);
    stop = true;
    analysis.join();
    QCOMPARE(rig.number->Value(), 59);
    QCOMPARE(rig.presenter.Series()->gpsList.size(), size_t(60));
    rig.presenter.TakeSeries(nullptr);
    QCOMPARE(rig.At(5), 0);
}

// ---- Through the main window ---------------------------------------------------------------------

namespace {
// A drive of 60 s: ten acceleration samples a second (x = i, y = -i, z = 64),
// one fix a second at 100 km/h moving north, the brake on in odd seconds.
void Drive(const QString&, CTextData& t)
{
    for (int i = 0; i < 600; ++i)
        t.gsensorList.push_back(CGSensorData(i, -i, 64));
    for (int k = 0; k < 60; ++k)
        t.gpsList.push_back(Fix(k, 3733.0 + k * 0.01, 12658.0, 100.0));
    for (int k = 0; k < 60; ++k) {
        CCarInfoData c;
        c.brake = k % 2;
        c.left = k >= 30 ? 1 : 0;
        t.carInfoList.push_back(c);
    }
}

struct Window {
    CFakeTransport transport;
    std::unique_ptr<CMovaraDlg> dlg;

    // A front/rear card of the model that sends vehicle signals.
    bool Open(const QString& root)
    {
        const QStringList files = {QStringLiteral("상시녹화/REC_2024_05_10_08_00_00_F.MP4"),
                                   QStringLiteral("상시녹화/REC_2024_05_10_08_00_00_R.MP4")};
        if (!WriteCard(root, "CMV550View", files))
            return false;
        qputenv("KESTRAV_CARD_ROOTS", root.toLocal8Bit());
        CMovaraDlgOptions o;
        o.showSplash = false;
        o.probeConnectivity = [] { return false; };
        o.extract = Drive;
        o.checkH264 = [](const QString&) { return 1; };
        o.isMp4Recording = [](const QString& path) { return path.endsWith(QLatin1String(".MP4")); };
        o.transport = &transport;
        dlg = std::make_unique<CMovaraDlg>(o);
        dlg->OnInitDialog();
        return QTest::qWaitFor([this] { return !dlg->IsAnalysisRunning(); }, 10000);
    }
    template <typename T>
    T* Get(int id) const
    {
        return qobject_cast<T*>(dlg->Control(id));
    }
    void PlayFirst()
    {
        dlg->List()->SetFocusedByName(QStringLiteral("REC_2024_05_10_08_00_00_F.MP4"));
        dlg->List()->PlayFocused();
    }
    void Tick(int seconds)
    {
        transport.SetPositionUnits(seconds * kSecond);
        dlg->UpdatePlayPosition();
    }
    QString Text(int id) const { return Get<CRStaticText>(id)->Text(); }
};
} // namespace

void TestPresentation::panelsThroughPlayback()
{
    Window w;
    QVERIFY(w.Open(m_dir.filePath(QStringLiteral("card-play"))));
    CMovaraDlg& dlg = *w.dlg;
    auto* graph = w.Get<CGPSViewer>(kIdGraphPanel);
    auto* carInfo = w.Get<CCarInfoViewer>(kIdCarInfoPanel);
    QVERIFY(graph && carInfo);
    QCOMPARE(graph->geometry(), QRect(220, kBaseHeight - 115, 254, 78));
    QCOMPARE(carInfo->geometry(), QRect(487, kBaseHeight - 89, 147, 51));
    // The map browser exists out of sight; without internet its engine never starts.
    auto* browser = qobject_cast<CWebBrowser2Ex*>(dlg.Control(kIdMapBrowser));
    QVERIFY(browser && browser == dlg.MapBrowser());
    QVERIFY(browser->geometry().isEmpty());
    QTRY_VERIFY(dlg.initDone == 1 && dlg.CompositeBitmap().width() > 0);
    QVERIFY(!browser->HasView());

    w.PlayFirst();
    QCOMPARE(w.transport.GetState(), STATE_PLAY);
    QCOMPARE(dlg.dualStreamMode, 1);
    QCOMPARE(dlg.Presenter().VehicleCaptionColor(), kColorCaptionActive);
    w.Tick(31);
    // Sample 310 of 600: 310 / 128 = 2.42 g.
    QCOMPARE(w.Text(kIdAccelX), QStringLiteral("X : 2.42"));
    QCOMPARE(w.Text(kIdAccelY), QStringLiteral("Y :-2.42"));
    QCOMPARE(w.Text(kIdAccelZ), QStringLiteral("Z : 0.50"));
    QCOMPARE(w.Get<CRImageNum>(kIdSpeedNumber)->Value(), 100);
    QCOMPARE(w.Get<CRSliderCtrl>(kIdSpeedGauge)->GetValue(), 50.0f);
    QCOMPARE(graph->PositionLineX(), 254 * 51 / 100);
    QVERIFY(carInfo->BrakeOn() && carInfo->LeftOn() && !carInfo->RightOn());
    // As painted in the window.
    const QImage shot = dlg.grab().toImage();
    QCOMPARE(shot.pixelColor(graph->x() + graph->PositionLineX(), graph->y() + 3).rgb(), QColor(255, 138, 72).rgb());
    const QImage digits = w.Get<CRImageNum>(kIdSpeedNumber)->ComposedImage();
    QCOMPARE(shot.copy(w.Get<CRImageNum>(kIdSpeedNumber)->geometry()), digits.convertToFormat(shot.format()));
    // The rear picture is shown: the right column keeps it; no map, no placeholder.
    QVERIFY(Hidden(dlg.Control(kIdMapPlaceholder)));
    QVERIFY(browser->geometry().isEmpty());
    // The map column (rear hidden): no internet, so the placeholder stands in.
    dlg.rearShown = 0;
    w.Tick(32);
    QVERIFY(Shown(dlg.Control(kIdMapPlaceholder), dlg.mapArea.ToQRect()));
    QVERIFY(browser->geometry().isEmpty());
    QVERIFY(!carInfo->BrakeOn());

    dlg.OnCommand(kIdStop);
    QCOMPARE(w.Text(kIdAccelX), QStringLiteral("X : 0000"));
    QCOMPARE(w.Get<CRImageNum>(kIdSpeedNumber)->Value(), 0);
    QCOMPARE(w.Get<CRSliderCtrl>(kIdSpeedGauge)->GetValue(), 0.0f);
    QVERIFY(!graph->HasSeries());
    QCOMPARE(graph->PositionLineX(), -1);
    QVERIFY(!carInfo->BrakeOn() && !carInfo->LeftOn() && !carInfo->RightOn());
    QVERIFY(!dlg.Presenter().Series());
    QVERIFY(Shown(dlg.Control(kIdMapPlaceholder), dlg.mapArea.ToQRect()));
    w.dlg.reset();
}

void TestPresentation::panelsFollowResize()
{
    Window w;
    QVERIFY(w.Open(m_dir.filePath(QStringLiteral("card-resize"))));
    CMovaraDlg& dlg = *w.dlg;
    auto* graph = w.Get<CGPSViewer>(kIdGraphPanel);
    auto* carInfo = w.Get<CCarInfoViewer>(kIdCarInfoPanel);
    w.PlayFirst();
    w.Tick(30);
    dlg.rearShown = 0;
    dlg.Presenter().UpdateMapArea(CTelemetryPresenter::MapOccasion::Periodic, 0);
    dlg.resize(kBaseWidth + 100, kBaseHeight + 50);
    QCOMPARE(graph->geometry(), QRect(220, kBaseHeight + 50 - 115, 354, 78));
    QCOMPARE(carInfo->geometry(), QRect(587, kBaseHeight + 50 - 89, 147, 51));
    QCOMPARE(dlg.Control(kIdMapPlaceholder)->geometry(), QRect(743, 146, 320, 240));
    // After the new background is composed the panels copy the part under them.
    const CSkinSurface& bg = dlg.WindowBackground();
    // The size change itself redraws the curves without the line; the line
    // comes back once the panels have copied the new background.
    QTRY_COMPARE(bg.GetWidth(), kBaseWidth + 100);
    QTRY_COMPARE(graph->PositionLineX(), 354 * 50 / 100);
    QCOMPARE(graph->ComposedImage().pixel(5, 3), bg.GetImage().pixel(graph->x() + 5, graph->y() + 3));
    QCOMPARE(carInfo->ComposedImage().pixel(2, 0), bg.GetImage().pixel(carInfo->x() + 2, carInfo->y()));
    // ... and still show what they showed: the curves and the line, the signals.
    QVERIFY(graph->HasSeries());
    QCOMPARE(carInfo->BrakeOn(), false);
    w.Tick(31);
    QVERIFY(carInfo->BrakeOn());
    dlg.resize(kBaseWidth, kBaseHeight);
    QTRY_COMPARE(bg.GetWidth(), kBaseWidth);
    QTRY_VERIFY(carInfo->BrakeOn() && carInfo->ComposedImage().pixel(2, 0) == bg.GetImage().pixel(carInfo->x() + 2, carInfo->y()));
    w.dlg.reset();
}

// ---- A recording written by our writers --------------------------------------------------------

namespace {
// The camera's text records of second `s` of a 20 s drive: two G-sensor
// records (scale 1: x = 10 s, then 10 s + 5), a fix at 100 km/h (54 knots)
// that moves north each second except in seconds 10 to 12 (the car stands),
// no fix in seconds 5 and 6, and the brake on in odd seconds, the left
// signal from second 10 on.
QList<QByteArray> DriveRecords(int s)
{
    const QByteArray x = QByteArray::number(10 * s);
    const QByteArray y = QByteArray::number(-10 * s);
    const QByteArray time = QTime(8, 0).addSecs(s).toString(QStringLiteral("HHmmss")).toLatin1() + ".000";
    const int step = s < 10 ? s : (s <= 12 ? 10 : s - 2);
    const QByteArray lat = QByteArray::number(3733.0 + step * 0.01, 'f', 4);
    const QByteArray rmc = (s == 5 || s == 6) ? "GPRMC," + time + ",V,,,,,,,100524"
                                              : "GPRMC," + time + ",A," + lat + ",N,12658.5000,E,054.0,0.0,100524";
    return {"gsensori,1,128," + x + "," + y + ",64",
            "gsensori,1,128," + QByteArray::number(10 * s + 5) + "," + y + ",64", rmc,
            "CAR," + QByteArray::number(s % 2) + "," + QByteArray(s >= 10 ? "1" : "0") + ",0"};
}
} // namespace

void TestPresentation::recordingFromOurWriters()
{
    // A front/rear MP4 pair with the camera's text track, on a card of the
    // model that sends vehicle signals; the window extracts the telemetry
    // itself (no stand-in extraction) and plays over the stand-in transport.
    const QString root = m_dir.filePath(QStringLiteral("card-written"));
    QVERIFY(WriteCard(root, "CMV550View", {}));
    QVERIFY(QDir(root).mkpath(QStringLiteral("상시녹화")));
    QList<QByteArray> packets;
    for (int s = 0; s < 20; ++s)
        for (const QByteArray& r : DriveRecords(s))
            packets << Mp4TextPacket(r);
    for (char channel : {'F', 'R'}) {
        Mp4Options o;
        o.durationSec = 20;
        o.fps = 2;
        o.size = QSize(64, 48);
        o.textTracks = {packets};
        o.channel = channel;
        QString why;
        const QString name = QStringLiteral("상시녹화/REC_2024_05_10_08_00_00_%1.MP4").arg(QLatin1Char(channel));
        QVERIFY2(WriteTestMp4(QDir(root).filePath(name), o, &why), qPrintable(why));
    }
    qputenv("KESTRAV_CARD_ROOTS", root.toLocal8Bit());
    CFakeTransport transport;
    transport.openDurationUnits = 20 * kSecond;
    CMovaraDlgOptions o;
    o.showSplash = false;
    o.probeConnectivity = [] { return false; };
    o.transport = &transport;
    auto dlg = std::make_unique<CMovaraDlg>(o);
    dlg->OnInitDialog();
    QTRY_VERIFY_WITH_TIMEOUT(!dlg->IsAnalysisRunning(), 20000);
    CRecordingMapBridge bridge;
    dlg->Presenter().SetMap(&bridge, nullptr);
    dlg->rearShown = 0;
    auto* graph = qobject_cast<CGPSViewer*>(dlg->Control(kIdGraphPanel));
    auto* carInfo = qobject_cast<CCarInfoViewer*>(dlg->Control(kIdCarInfoPanel));
    auto* number = qobject_cast<CRImageNum*>(dlg->Control(kIdSpeedNumber));
    auto* gauge = qobject_cast<CRSliderCtrl*>(dlg->Control(kIdSpeedGauge));
    auto text = [&](int id) { return qobject_cast<CRStaticText*>(dlg->Control(id))->Text(); };

    dlg->List()->SetFocusedByName(QStringLiteral("REC_2024_05_10_08_00_00_F.MP4"));
    dlg->List()->PlayFocused();
    QCOMPARE(transport.GetState(), STATE_PLAY);
    QCOMPARE(dlg->dualStreamMode, 1);
    // The track: 18 fixes, three of them at one place, give 16 points.
    const QStringList tracks = bridge.ExecScripts().filter(QStringLiteral("addPolyLine("));
    QCOMPARE(tracks.size(), 1);
    QVERIFY(tracks[0].endsWith(QStringLiteral("',\"red\",4,0.5)")));
    QCOMPARE(tracks[0].count(QLatin1Char('|')), 15);
    QVERIFY(tracks[0].startsWith(QStringLiteral("addPolyLine('126.975000,37.550000|126.975000,37.550167|")));
    QCOMPARE(dlg->trackDrawn, 1);
    QVERIFY(graph->HasSeries());

    // Every whole second of playback.
    for (int pos = 0; pos <= 20; ++pos) {
        bridge.ClearCalls();
        transport.SetPositionUnits(pos * kSecond);
        dlg->UpdatePlayPosition();
        const int s = std::min(pos, 19);
        // Acceleration: 40 samples over 20 s, sample 2 pos (the last at the end).
        const int g = std::min(2 * pos, 39);
        const int rawX = 10 * (g / 2) + (g % 2) * 5;
        QCOMPARE(text(kIdAccelX), QString::asprintf("X : %0.2f", rawX / 128.0));
        QCOMPARE(text(kIdAccelY), s == 0 ? QStringLiteral("Y : 0.00") : QString::asprintf("Y :%0.2f", -10.0 * s / 128.0));
        QCOMPARE(text(kIdAccelZ), QStringLiteral("Z : 0.50"));
        QCOMPARE(graph->PositionLineX(), graph->width() * (pos * 100 / 20) / 100);
        QCOMPARE(int(carInfo->BrakeOn()), s % 2);
        QCOMPARE(carInfo->LeftOn(), s >= 10);
        QVERIFY(!carInfo->RightOn());
        const QStringList moves = bridge.ExecScripts();
        if (s == 5 || s == 6) {
            // No fix: the number shows 0, the marker stays, the placeholder stands in.
            QCOMPARE(number->Value(), 0);
            QVERIFY(moves.isEmpty());
            QVERIFY(dlg->Presenter().PlaceholderShown() && !dlg->Presenter().MapShown());
            continue;
        }
        QCOMPARE(number->Value(), 100);
        QCOMPARE(gauge->GetValue(), 50.0f);
        const int step = s < 10 ? s : (s <= 12 ? 10 : s - 2);
        const double lat = 37.0 + (33.0 + step * 0.01) / 60.0;
        QCOMPARE(moves, QStringList{QString::asprintf("MapMoveToAuto('126.975000','%f',-1)", lat)});
        QVERIFY(dlg->Presenter().MapShown() && !dlg->Presenter().PlaceholderShown());
    }
    // The same second in miles per hour.
    dlg->speedUnit = 1;
    transport.SetPositionUnits(3 * kSecond);
    dlg->UpdatePlayPosition();
    QCOMPARE(number->Value(), 62);
    QCOMPARE(gauge->GetValue(), 50.0f);
    dlg->speedUnit = 0;

    // Stop: every display back to rest and the map cleared.
    bridge.ClearCalls();
    dlg->OnCommand(kIdStop);
    QCOMPARE(transport.GetState(), STATE_STOP);
    QCOMPARE(text(kIdAccelX), QStringLiteral("X : 0000"));
    QCOMPARE(number->Value(), 0);
    QCOMPARE(gauge->GetValue(), 0.0f);
    QVERIFY(!graph->HasSeries());
    QCOMPARE(graph->PositionLineX(), -1);
    QVERIFY(!carInfo->BrakeOn() && !carInfo->LeftOn());
    QCOMPARE(bridge.ExecScripts(), (QStringList{QStringLiteral("removePolyLine()"), QStringLiteral("removePoint()"),
                                                 QStringLiteral("MapMoveToAuto('0','0',-1)")}));

    // The card goes while the recording plays: the same rest, and a tick
    // that still comes shows nothing.
    dlg->List()->SetFocusedByName(QStringLiteral("REC_2024_05_10_08_00_00_F.MP4"));
    dlg->List()->PlayFocused();
    transport.SetPositionUnits(9 * kSecond);
    dlg->UpdatePlayPosition();
    QVERIFY(carInfo->BrakeOn() && number->Value() == 100);
    bridge.ClearCalls();
    qputenv("KESTRAV_CARD_ROOTS", m_dir.filePath(QStringLiteral("nowhere")).toLocal8Bit());
    dlg->OnDeviceChange();
    QCOMPARE(transport.GetState(), STATE_STOP);
    QVERIFY(!dlg->Presenter().Series());
    QCOMPARE(text(kIdAccelX), QStringLiteral("X : 0000"));
    QCOMPARE(number->Value(), 0);
    QVERIFY(!graph->HasSeries());
    QVERIFY(!carInfo->BrakeOn());
    QVERIFY(bridge.ExecScripts().contains(QStringLiteral("removePolyLine()")));
    QCOMPARE(dlg->Presenter().SetGPSPosion(), 0);
    QCOMPARE(number->Value(), 0);
    dlg->Presenter().SetMap(nullptr, nullptr);
    dlg.reset();
}

QTEST_MAIN(TestPresentation)
#include "tst_presentation.moc"
