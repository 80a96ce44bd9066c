// The map page in an offscreen web engine and its script bridge: every page
// function's effect read back through script, the extent in the result
// field, the tile source from the settings file up to the tile requests,
// the bridge's answers before the page is ready, without internet, for a
// page that never loads, for answers that come late, and after the page's
// renderer dies. No network: tiles are asked from a local address that
// refuses or from a local server that answers 404.
#include "map/MapIds.h"
#include "map/MapProfile.h"
#include "map/MapTileSource.h"
#include "map/RecordingMapBridge.h"
#include "map/WebBrowser2Ex.h"
#include "map/WebEnvironment.h"
#include "settings/Settings.h"
#include "support/TraceCapture.h"

#include <QApplication>
#include <QBuffer>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrlQuery>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineView>
#include <qpa/qwindowsysteminterface.h>

#include <csignal>
#include <functional>
#include <memory>
#include <sys/types.h>
#include <unistd.h>

namespace {

constexpr int kLoadTimeoutMs = 30000;
// Tiles from here fail at once: nothing listens on the discard port.
const char* kRefusingTiles = "http://127.0.0.1:9/{z}/{x}/{y}.png";

QString PagePath()
{
    QString bin = qEnvironmentVariable("KESTRAV_BIN_DIR");
    if (bin.isEmpty())
        bin = QCoreApplication::applicationDirPath() + QStringLiteral("/../bin");
    return QDir(bin).filePath(QString::fromLatin1(MapIds::kMapPageFile));
}

// Runs the event loop until `done` holds or `timeoutMs` passed; whether it
// holds. (A real event loop: the web engine's messages flow without the
// sleeps of QTest::qWaitFor, which would make every page load take seconds.)
bool WaitUntil(const std::function<bool()>& done, int timeoutMs = 10000)
{
    if (done())
        return true;
    QEventLoop loop;
    QTimer poll;
    poll.setTimerType(Qt::PreciseTimer);
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done())
            loop.quit();
    });
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
    poll.start(5);
    deadline.start(timeoutMs);
    loop.exec();
    return done();
}

// Runs `js` in the page and returns its value (waits for it).
QVariant Js(CWebBrowser2& browser, const QString& js)
{
    auto result = std::make_shared<std::pair<bool, QVariant>>(false, QVariant());
    browser.View()->page()->runJavaScript(js, [result](const QVariant& v) {
        result->first = true;
        result->second = v;
    });
    if (!WaitUntil([&] { return result->first; }))
        return QStringLiteral("<no answer>");
    return result->second;
}

QString JsText(CWebBrowser2& browser, const QString& js)
{
    return Js(browser, js).toString();
}

QImage Grab(CWebBrowser2& browser)
{
    return browser.View()->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// Whether some pixel of the box around `centre` satisfies `match`.
template <typename F>
bool AnyPixel(const QImage& image, QPoint centre, int radius, F match)
{
    for (int y = centre.y() - radius; y <= centre.y() + radius; ++y)
        for (int x = centre.x() - radius; x <= centre.x() + radius; ++x)
            if (image.rect().contains(x, y) && match(image.pixelColor(x, y)))
                return true;
    return false;
}

} // namespace

class TestMap : public QObject
{
    Q_OBJECT

public:
    // Before the QApplication: what the viewer's main() does.
    static void initMain()
    {
        qunsetenv("QTWEBENGINE_DISABLE_SANDBOX"); // prove that the preparation sets it
        s_cache = new QTemporaryDir;
        qputenv("XDG_CACHE_HOME", s_cache->path().toLocal8Bit());
        PrepareWebEngineEnvironment();
    }

private:
    static inline QTemporaryDir* s_cache = nullptr;
    QTemporaryDir m_pages;
    std::unique_ptr<CWebBrowser2Ex> m_shared; // one loaded map for the table-driven page tests

    CWebBrowser2Ex* SharedMap()
    {
        if (!m_shared || !m_shared->IsReady())
            m_shared = LoadedMap();
        return m_shared.get();
    }

    // A browser on the map page with tiles from `tiles`, shown at 320 x 240 and ready.
    std::unique_ptr<CWebBrowser2Ex> LoadedMap(const QString& tiles = QString::fromLatin1(kRefusingTiles),
                                              const QString& attribution = QStringLiteral("Test tiles"))
    {
        auto browser = std::make_unique<CWebBrowser2Ex>();
        browser->SetTileSource({tiles, attribution});
        browser->resize(320, 240);
        browser->show();
        browser->Navigate(PagePath());
        if (!WaitUntil([&] { return browser->IsReady(); }, kLoadTimeoutMs))
            return nullptr;
        return browser;
    }

    QString WritePage(const QString& name, const QString& html)
    {
        const QString path = m_pages.filePath(name);
        QFile f(path);
        if (f.open(QIODevice::WriteOnly))
            f.write(html.toUtf8());
        return path;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_pages.isValid());
        QVERIFY2(QFile::exists(PagePath()), qPrintable(PagePath()));
        QVERIFY(QFile::exists(QFileInfo(PagePath()).dir().filePath(QStringLiteral("leaflet/leaflet.js"))));
    }

    void cleanupTestCase()
    {
        m_shared.reset();
        delete s_cache;
    }

    // ---- Process preparation -------------------------------------------
    void environmentDecision_data();
    void environmentDecision();
    void preparedProcess();

    // ---- Tile source ---------------------------------------------------
    void tileSourceFromSettings_data();
    void tileSourceFromSettings();
    void pageUrlCarriesTileSource_data();
    void pageUrlCarriesTileSource();
    void profileCachesOnDiskWithKestravAgent();

    // ---- The page --------------------------------------------------------
    void moveToAuto_data();
    void moveToAuto();
    void zeroRecentresAndKeepsEverythingElse();
    void polyLine_data();
    void polyLine();
    void removeTrackAndMarker();
    void extentAfterFittingBox();
    void hiddenMapKeepsWorking();
    void trackAndMarkerDrawnWithoutTiles();
    void tilesAskedFromConfiguredServerWithKestravAgent();
    void tilesKeptInDiskCache();

    // ---- The bridge ------------------------------------------------------
    void noInternetNoEngine();
    void beforeReadyAndEmptyCode();
    void pageThatNeverLoads();
    void pageWithoutMapNeverReady();
    void getValueAnswersAsTheyStand_data();
    void getValueAnswersAsTheyStand();
    void getValueWaitIsBoundedAndExcludesInput();
    void rendererCrashLeavesViewerWorking();
    void recordingDouble();
};

// ---------------------------------------------------------------------------

void TestMap::environmentDecision_data()
{
    QTest::addColumn<bool>("root");
    QTest::addColumn<bool>("headless");
    QTest::addColumn<bool>("sandboxSet");
    QTest::addColumn<QByteArray>("flags");
    QTest::addColumn<bool>("setSandbox");
    QTest::addColumn<bool>("setFlags");
    QTest::addColumn<QByteArray>("newFlags");
    QTest::newRow("root, display") << true << false << false << QByteArray() << true << false << QByteArray();
    QTest::newRow("root, sandbox variable kept") << true << false << true << QByteArray() << false << false << QByteArray();
    QTest::newRow("user, display") << false << false << false << QByteArray() << false << false << QByteArray();
    QTest::newRow("headless") << false << true << false << QByteArray() << false << true << QByteArray("--disable-gpu");
    QTest::newRow("headless, other flags kept") << false << true << false << QByteArray(" --foo  ") << false << true
                                                << QByteArray("--foo --disable-gpu");
    QTest::newRow("headless, flag present") << true << true << false << QByteArray("--x --disable-gpu") << true << false
                                            << QByteArray("--x --disable-gpu");
    QTest::newRow("similar flag is not the flag") << false << true << false << QByteArray("--disable-gpu-compositing")
                                                  << false << true << QByteArray("--disable-gpu-compositing --disable-gpu");
}

void TestMap::environmentDecision()
{
    QFETCH(bool, root);
    QFETCH(bool, headless);
    QFETCH(bool, sandboxSet);
    QFETCH(QByteArray, flags);
    const WebEngineEnvironment env = DecideWebEngineEnvironment(root, headless, sandboxSet, flags);
    QTEST(env.setDisableSandbox, "setSandbox");
    QTEST(env.setChromiumFlags, "setFlags");
    if (env.setChromiumFlags)
        QTEST(env.chromiumFlags, "newFlags");
}

void TestMap::preparedProcess()
{
    QVERIFY(QCoreApplication::testAttribute(Qt::AA_ShareOpenGLContexts));
    QVERIFY(IsHeadlessSession()); // CTest runs us offscreen
    QVERIFY(qgetenv("QTWEBENGINE_CHROMIUM_FLAGS").split(' ').contains("--disable-gpu"));
    if (::geteuid() == 0)
        QCOMPARE(qgetenv("QTWEBENGINE_DISABLE_SANDBOX"), QByteArray("1"));
}

// ---------------------------------------------------------------------------

void TestMap::tileSourceFromSettings_data()
{
    QTest::addColumn<QString>("file"); // kestrav.ini content, "-" for none
    QTest::addColumn<QString>("url");
    QTest::addColumn<QString>("attribution");
    const QString osm = QString::fromLatin1(MapIds::kDefaultTileUrl);
    const QString osmCredit = QString::fromUtf8(MapIds::kDefaultAttribution);
    QTest::newRow("no file") << "-" << osm << osmCredit;
    QTest::newRow("no keys") << "[install]\nunit = mph\n" << osm << osmCredit;
    QTest::newRow("both keys") << "[install]\nmaptileurl = https://tiles.example.org/{z}/{x}/{y}.png?key=a&b=c\n"
                                  "mapattribution = Example & friends\n"
                               << "https://tiles.example.org/{z}/{x}/{y}.png?key=a&b=c" << "Example & friends";
    QTest::newRow("empty value keeps default") << "[install]\nmaptileurl =\nmapattribution = Mine\n" << osm << "Mine";
    QTest::newRow("other section ignored") << "[map]\nmaptileurl = http://x/{z}/{x}/{y}.png\n" << osm << osmCredit;
}

void TestMap::tileSourceFromSettings()
{
    QFETCH(QString, file);
    QTemporaryDir folder;
    if (file != QLatin1String("-")) {
        QFile f(SettingsFilePath(folder.path()));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(file.toUtf8());
    }
    QVERIFY(SettingsLoad(folder.path()));
    const CMapTileSource source = MapTileSourceFromSettings();
    QTEST(source.url, "url");
    QTEST(source.attribution, "attribution");
    // A browser takes the settings file's source when it is made.
    CWebBrowser2Ex browser(nullptr, false);
    QCOMPARE(browser.TileSource().url, source.url);
}

void TestMap::pageUrlCarriesTileSource_data()
{
    QTest::addColumn<QString>("location");
    QTest::addColumn<bool>("withQuery");
    QTest::newRow("path") << "/opt/kestrav/mapView.htm" << true;
    QTest::newRow("file url") << "file:///opt/kestrav/mapView.htm" << true;
    QTest::newRow("own query kept") << "file:///opt/kestrav/mapView.htm?tileurl=x" << false;
    QTest::newRow("web page unchanged") << "http://127.0.0.1:9/mapView.htm" << false;
}

void TestMap::pageUrlCarriesTileSource()
{
    QFETCH(QString, location);
    QFETCH(bool, withQuery);
    const CMapTileSource source{QStringLiteral("http://h/{z}/{x}/{y}.png?a=1&b=2+3"), QStringLiteral("\u00a9 A & B = C")};
    const QUrl url = MapPageUrl(location, source);
    if (!withQuery) {
        QCOMPARE(url, QUrl::fromUserInput(location));
        return;
    }
    QVERIFY(url.isLocalFile());
    QCOMPARE(url.toLocalFile(), QStringLiteral("/opt/kestrav/mapView.htm"));
    const QUrlQuery query(url);
    QCOMPARE(query.queryItemValue(QStringLiteral("tileurl"), QUrl::FullyDecoded), source.url);
    QCOMPARE(query.queryItemValue(QStringLiteral("attribution"), QUrl::FullyDecoded), source.attribution);
}

void TestMap::profileCachesOnDiskWithKestravAgent()
{
    QWebEngineProfile* profile = MapWebProfile();
    QCOMPARE(MapWebProfile(), profile); // one per process
    QVERIFY(!profile->isOffTheRecord());
    QCOMPARE(profile->httpCacheType(), QWebEngineProfile::DiskHttpCache);
    const QString root = s_cache->path() + QStringLiteral("/kestrav/map");
    QCOMPARE(MapCacheFolder(), root);
    QVERIFY2(profile->cachePath().startsWith(root), qPrintable(profile->cachePath()));
    QVERIFY2(profile->persistentStoragePath().startsWith(root), qPrintable(profile->persistentStoragePath()));
    QVERIFY(profile->httpUserAgent().startsWith(QStringLiteral("Kestrav/" KESTRAV_VERSION " ")));
}

// ---------------------------------------------------------------------------

void TestMap::moveToAuto_data()
{
    QTest::addColumn<QString>("call");
    QTest::addColumn<QString>("marker"); // "" = unchanged from 10,20
    QTest::newRow("position") << "MapMoveToAuto('127.500000','37.250000',-1)" << "127.500000,37.250000";
    QTest::newRow("west and south") << "MapMoveToAuto('-58.381600','-34.603700',-1)" << "-58.381600,-34.603700";
    QTest::newRow("numbers, not text") << "MapMoveToAuto(2.5, 48.75, -1)" << "2.500000,48.750000";
    QTest::newRow("zoom given") << "MapMoveToAuto('11','12','5')" << "11.000000,12.000000";
    QTest::newRow("limits") << "MapMoveToAuto('180','-90',-1)" << "180.000000,-90.000000";
    QTest::newRow("latitude beyond 90") << "MapMoveToAuto('10','95',-1)" << "";
    QTest::newRow("longitude beyond 180") << "MapMoveToAuto('200','10',-1)" << "";
    QTest::newRow("not numbers") << "MapMoveToAuto('abc','1x',-1)" << "";
    QTest::newRow("empty texts") << "MapMoveToAuto('','',-1)" << "";
    QTest::newRow("no arguments") << "MapMoveToAuto()" << "";
    QTest::newRow("objects") << "MapMoveToAuto({}, [], null)" << "";
    QTest::newRow("infinity") << "MapMoveToAuto('Infinity','1e400',-1)" << "";
}

void TestMap::moveToAuto()
{
    QFETCH(QString, call);
    QFETCH(QString, marker);
    CWebBrowser2Ex* map = SharedMap();
    QVERIFY(map);
    QCOMPARE(map->ExecScript(QStringLiteral("MapMoveToAuto('10','20',-1)")), 0);
    QCOMPARE(JsText(*map, QStringLiteral("KestravMap.markerText()")), QStringLiteral("10.000000,20.000000"));
    QCOMPARE(map->ExecScript(call), 0);
    const QString expected = marker.isEmpty() ? QStringLiteral("10.000000,20.000000") : marker;
    QCOMPARE(JsText(*map, QStringLiteral("KestravMap.markerText()")), expected);
    // The map is centred on the position (in longitude; a pole cannot be centred).
    const double centreLon = Js(*map, QStringLiteral("KestravMap.map.getCenter().lng")).toDouble();
    QVERIFY2(qAbs(centreLon - expected.section(QLatin1Char(','), 0, 0).toDouble()) < 1e-6, qPrintable(QString::number(centreLon)));
    if (QTest::currentDataTag() == QLatin1String("zoom given"))
        QCOMPARE(Js(*map, QStringLiteral("KestravMap.map.getZoom()")).toInt(), 5);
}

void TestMap::zeroRecentresAndKeepsEverythingElse()
{
    auto map = LoadedMap();
    QVERIFY(map);
    QVERIFY(Js(*map, QStringLiteral("KestravMap.isEmptyView()")).toBool());
    // From the empty view the first position comes at street level.
    QCOMPARE(map->ExecScript(QStringLiteral("MapMoveToAuto('127.005000','37.505000',-1)")), 0);
    QVERIFY(!Js(*map, QStringLiteral("KestravMap.isEmptyView()")).toBool());
    QCOMPARE(Js(*map, QStringLiteral("KestravMap.map.getZoom()")).toInt(), 16);
    // The track fits the map; -1 then keeps whatever zoom that gave.
    QCOMPARE(map->ExecScript(QStringLiteral("addPolyLine('127.0,37.5|127.05,37.55',\"red\",4,0.5)")), 0);
    const QString zoomAfterFit = JsText(*map, QStringLiteral("String(KestravMap.map.getZoom())"));
    QVERIFY(zoomAfterFit != QLatin1String("16"));
    QCOMPARE(map->ExecScript(QStringLiteral("MapMoveToAuto('127.006000','37.506000',-1)")), 0);
    QCOMPARE(JsText(*map, QStringLiteral("String(KestravMap.map.getZoom())")), zoomAfterFit);

    QCOMPARE(map->ExecScript(QStringLiteral("MapMoveToAuto('0','0',-1)")), 0);
    QVERIFY(Js(*map, QStringLiteral("KestravMap.isEmptyView()")).toBool());
    QCOMPARE(Js(*map, QStringLiteral("KestravMap.map.getZoom()")).toInt(), 2);
    // Nothing else removed.
    QCOMPARE(JsText(*map, QStringLiteral("KestravMap.markerText()")), QStringLiteral("127.006000,37.506000"));
    QCOMPARE(JsText(*map, QStringLiteral("KestravMap.trackText()")), QStringLiteral("127.000000,37.500000|127.050000,37.550000"));
    QCOMPARE(map->ExecScript(QStringLiteral("MapMoveToAuto('127.007000','37.507000',-1)")), 0);
    QCOMPARE(Js(*map, QStringLiteral("KestravMap.map.getZoom()")).toInt(), 16);
}

void TestMap::polyLine_data()
{
    QTest::addColumn<QString>("call");
    QTest::addColumn<QString>("track");
    QTest::addColumn<QString>("style");
    QTest::newRow("two points") << "addPolyLine('127.000000,37.500000|127.100000,37.600000',\"red\",4,0.5)"
                                << "127.000000,37.500000|127.100000,37.600000" << "red,4,0.5";
    QTest::newRow("one point") << "addPolyLine('-0.127800,51.507400',\"red\",4,0.5)" << "-0.127800,51.507400" << "red,4,0.5";
    QTest::newRow("garbage pairs skipped")
        << "addPolyLine('127.0,37.5|abc|200,10|127.1,95|1,2,3||127.2,37.7|,|127.3',\"red\",4,0.5)"
        << "127.000000,37.500000|127.200000,37.700000" << "red,4,0.5";
    QTest::newRow("other style") << "addPolyLine('1,2|3,4','#0000ff',2,1)" << "1.000000,2.000000|3.000000,4.000000"
                                 << "#0000ff,2,1";
    QTest::newRow("bad style gives defaults") << "addPolyLine('1,2|3,4','not a colour;x',-3,7)"
                                              << "1.000000,2.000000|3.000000,4.000000" << "red,4,0.5";
    QTest::newRow("empty list") << "addPolyLine('',\"red\",4,0.5)" << "" << "";
    QTest::newRow("not a text") << "addPolyLine(42)" << "" << "";
    QTest::newRow("all out of range") << "addPolyLine('181,0|0,91',\"red\",4,0.5)" << "" << "";
}

void TestMap::polyLine()
{
    QFETCH(QString, call);
    CWebBrowser2Ex* map = SharedMap();
    QVERIFY(map);
    // Each call replaces the track drawn before.
    QCOMPARE(map->ExecScript(QStringLiteral("addPolyLine('5,5|6,6',\"red\",4,0.5)")), 0);
    QCOMPARE(map->ExecScript(call), 0);
    QTEST(JsText(*map, QStringLiteral("KestravMap.trackText()")), "track");
    QTEST(JsText(*map, QStringLiteral("KestravMap.trackStyle()")), "style");
}

void TestMap::removeTrackAndMarker()
{
    auto map = LoadedMap();
    QVERIFY(map);
    // Removing what is not there is harmless.
    QCOMPARE(map->ExecScript(QStringLiteral("removePolyLine()")), 0);
    QCOMPARE(map->ExecScript(QStringLiteral("removePoint()")), 0);
    QCOMPARE(map->ExecScript(QStringLiteral("addPolyLine('127.0,37.5|127.1,37.6',\"red\",4,0.5)")), 0);
    QCOMPARE(map->ExecScript(QStringLiteral("MapMoveToAuto('127.05','37.55',-1)")), 0);
    QCOMPARE(map->ExecScript(QStringLiteral("removePolyLine()")), 0);
    QCOMPARE(JsText(*map, QStringLiteral("KestravMap.trackText()")), QString());
    QCOMPARE(JsText(*map, QStringLiteral("KestravMap.markerText()")), QStringLiteral("127.050000,37.550000"));
    QCOMPARE(map->ExecScript(QStringLiteral("removePoint()")), 0);
    QCOMPARE(JsText(*map, QStringLiteral("KestravMap.markerText()")), QString());
    // The clearing sequence leaves the empty view.
    QCOMPARE(map->ExecScript(QStringLiteral("MapMoveToAuto('0','0',-1)")), 0);
    QVERIFY(Js(*map, QStringLiteral("KestravMap.isEmptyView()")).toBool());
}

void TestMap::extentAfterFittingBox()
{
    auto map = LoadedMap();
    QVERIFY(map);
    const double west = 126.9, north = 37.6, east = 127.1, south = 37.4;
    QVERIFY(Js(*map, QStringLiteral("KestravMap.fitExtent('126.9','37.6','127.1','37.4')")).toBool());
    const QString extent = map->ExecScriptGetValue(QStringLiteral("fnGetExtentWGS84()"));
    const QStringList parts = extent.split(QLatin1Char(','));
    QCOMPARE(parts.size(), 4);
    double v[4];
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        v[i] = parts[i].toDouble(&ok);
        QVERIFY2(ok, qPrintable(extent));
        QCOMPARE(parts[i].section(QLatin1Char('.'), 1).size(), 6); // six decimals
    }
    // West, north, east, south: the box is inside, and the map fits it
    // (one direction at most a zoom step wider than the box).
    QVERIFY2(v[0] <= west + 1e-6 && v[2] >= east - 1e-6 && v[1] >= north - 1e-6 && v[3] <= south + 1e-6, qPrintable(extent));
    QVERIFY2(v[0] < v[2] && v[3] < v[1], qPrintable(extent));
    QVERIFY2((v[2] - v[0]) <= (east - west) * 1.25 || (v[1] - v[3]) <= (north - south) * 1.25, qPrintable(extent));
    // The same numbers as the map's own bounds, and left in the result field.
    const QString bounds = JsText(*map, QStringLiteral(
        "(function(){var b=KestravMap.map.getBounds();return [b.getWest(),b.getNorth(),b.getEast(),b.getSouth()]"
        ".map(function(x){return x.toFixed(6);}).join(',');})()"));
    QCOMPARE(extent, bounds);
    QCOMPARE(JsText(*map, QStringLiteral("document.forms[document.forms.length-1].elements[0].value")), extent);
}

void TestMap::hiddenMapKeepsWorking()
{
    // The main window loads the page into an empty rectangle and hides the
    // map that way whenever it likes; the page works on, and a track drawn
    // while hidden is fitted once the map has a size again.
    CWebBrowser2Ex browser;
    browser.SetTileSource({QString::fromLatin1(kRefusingTiles), QStringLiteral("t")});
    browser.resize(0, 0);
    browser.show();
    QSignalSpy ready(&browser, &CWebBrowser2::PageReady);
    browser.Navigate(PagePath());
    QVERIFY(ready.wait(kLoadTimeoutMs));
    QCOMPARE(browser.ExecScript(QStringLiteral("addPolyLine('127.0,37.5|127.2,37.6',\"red\",4,0.5)")), 0);
    QCOMPARE(JsText(browser, QStringLiteral("KestravMap.trackText()")), QStringLiteral("127.000000,37.500000|127.200000,37.600000"));
    QCOMPARE(browser.ExecScriptGetValue(QStringLiteral("fnGetExtentWGS84()")).split(QLatin1Char(',')).size(), 4);
    browser.resize(320, 240);
    // Fitted to the track once shown.
    QVERIFY(WaitUntil([&] {
        const QStringList e = browser.ExecScriptGetValue(QStringLiteral("fnGetExtentWGS84()")).split(QLatin1Char(','));
        return e.size() == 4 && e[0].toDouble() <= 127.0 && e[2].toDouble() >= 127.2 && e[2].toDouble() - e[0].toDouble() < 1.0;
    }));
    // A position sent while hidden wins over the track's fit.
    browser.resize(0, 0);
    QVERIFY(WaitUntil([&] { return Js(browser, QStringLiteral("window.innerWidth")).toInt() == 0; }));
    QCOMPARE(browser.ExecScript(QStringLiteral("addPolyLine('126.0,37.0|126.5,37.2',\"red\",4,0.5)")), 0);
    QCOMPARE(browser.ExecScript(QStringLiteral("MapMoveToAuto('126.100000','37.050000',-1)")), 0);
    browser.resize(320, 240);
    // The position in the middle of the view (within a pixel).
    const QString offCentre = QStringLiteral(
        "(function(){var p=KestravMap.map.latLngToContainerPoint([37.05,126.1]);"
        "return Math.max(Math.abs(p.x-160),Math.abs(p.y-120));})()");
    QVERIFY(WaitUntil([&] { return Js(browser, offCentre).toDouble() <= 1.0; }));
}

void TestMap::trackAndMarkerDrawnWithoutTiles()
{
    auto map = LoadedMap();
    QVERIFY(map);
    // A track across the middle of the view and the position in its middle.
    QCOMPARE(map->ExecScript(QStringLiteral("addPolyLine('127.000000,37.500000|127.200000,37.500000',\"red\",4,0.5)")), 0);
    QCOMPARE(map->ExecScript(QStringLiteral("MapMoveToAuto('127.100000','37.500000',-1)")), 0);
    const QPoint centre(160, 120);
    const auto marker = [](const QColor& c) { return c.red() > 230 && qAbs(c.green() - 138) < 30 && c.blue() < 110; };
    QVERIFY(WaitUntil([&] { return AnyPixel(Grab(*map), centre, 3, marker); }, 10000));
    // The track: reddish pixels on the centre row well left of the marker.
    const auto track = [](const QColor& c) { return c.red() > c.green() + 60 && c.red() > c.blue() + 60; };
    QVERIFY(WaitUntil([&] { return AnyPixel(Grab(*map), QPoint(60, 120), 3, track); }, 10000));
    // Where the track is not: the plain background, no tile picture.
    const QColor plain = Grab(*map).pixelColor(60, 60);
    QCOMPARE(plain, QColor(0xdc, 0xdf, 0xe3));
    // The attribution is shown.
    QCOMPARE(JsText(*map, QStringLiteral("document.querySelector('.leaflet-control-attribution').textContent")),
             QStringLiteral("Test tiles"));
}

void TestMap::tilesAskedFromConfiguredServerWithKestravAgent()
{
    // A local tile server that answers 404 and keeps what it was asked.
    QTcpServer server;
    QVERIFY(server.listen(QHostAddress::LocalHost));
    QStringList requests;
    connect(&server, &QTcpServer::newConnection, this, [&] {
        while (QTcpSocket* s = server.nextPendingConnection()) {
            connect(s, &QTcpSocket::readyRead, s, [s, &requests] {
                const QByteArray head = s->readAll();
                requests << QString::fromLatin1(head);
                s->write("HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
                s->disconnectFromHost();
            });
            connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
        }
    });
    const QString tiles = QStringLiteral("http://127.0.0.1:%1/osm/{z}/{x}/{y}.png?k=a&b=1").arg(server.serverPort());
    const QString credit = QStringLiteral("\u00a9 Local <b>tiles</b> & co");
    auto map = LoadedMap(tiles, credit);
    QVERIFY(map);
    QCOMPARE(JsText(*map, QStringLiteral("KestravMap.tileUrl")), tiles);
    // Shown as text, not markup.
    QCOMPARE(JsText(*map, QStringLiteral("document.querySelector('.leaflet-control-attribution').textContent")), credit);
    QVERIFY(WaitUntil([&] { return !requests.isEmpty(); }));
    const QString first = requests.first();
    QVERIFY2(first.contains(QRegularExpression(QStringLiteral("^GET /osm/2/\\d+/\\d+\\.png\\?k=a&b=1 HTTP/1\\.1\r\n"))),
             qPrintable(first));
    QVERIFY2(first.contains(QRegularExpression(QStringLiteral("\r\nUser-Agent: Kestrav/" KESTRAV_VERSION " [^\r\n]+\r\n"),
                                               QRegularExpression::CaseInsensitiveOption)),
             qPrintable(first));
    // Tiles that fail leave the page working.
    QCOMPARE(map->ExecScript(QStringLiteral("MapMoveToAuto('1','2',-1)")), 0);
    QCOMPARE(JsText(*map, QStringLiteral("KestravMap.markerText()")), QStringLiteral("1.000000,2.000000"));
}

void TestMap::tilesKeptInDiskCache()
{
    // A tile server whose tiles may be kept a day: a second map in the same
    // profile shows them without asking again, and the cache lies on disk.
    QByteArray png;
    {
        QImage tile(256, 256, QImage::Format_RGB32);
        tile.fill(QColor(120, 200, 120));
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        tile.save(&buffer, "PNG");
    }
    QTcpServer server;
    QVERIFY(server.listen(QHostAddress::LocalHost));
    QStringList asked;
    connect(&server, &QTcpServer::newConnection, this, [&] {
        while (QTcpSocket* s = server.nextPendingConnection()) {
            connect(s, &QTcpSocket::readyRead, s, [s, &asked, &png] {
                const QByteArray head = s->readAll();
                asked << QString::fromLatin1(head.left(head.indexOf("\r\n")));
                s->write("HTTP/1.1 200 OK\r\nContent-Type: image/png\r\nCache-Control: public, max-age=86400\r\n"
                         "Content-Length: " + QByteArray::number(png.size()) + "\r\nConnection: close\r\n\r\n" + png);
                s->disconnectFromHost();
            });
            connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
        }
    });
    const QString tiles = QStringLiteral("http://127.0.0.1:%1/cached/{z}/{x}/{y}.png").arg(server.serverPort());
    const QString loadedTiles = QStringLiteral(
        "(function(){var t=document.querySelectorAll('img.leaflet-tile');var n=0;"
        "for(var i=0;i<t.length;++i) if(t[i].complete&&t[i].naturalWidth===256) ++n;return n+'/'+t.length;})()");
    QString firstLoad;
    {
        auto map = LoadedMap(tiles);
        QVERIFY(map);
        QVERIFY(WaitUntil([&] {
            firstLoad = JsText(*map, loadedTiles);
            return !firstLoad.startsWith(QLatin1String("0/")) && firstLoad.section(QLatin1Char('/'), 0, 0) == firstLoad.section(QLatin1Char('/'), 1, 1);
        }));
    }
    const QStringList firstAsked = asked;
    QVERIFY(!firstAsked.isEmpty());
    auto again = LoadedMap(tiles);
    QVERIFY(again);
    QVERIFY(WaitUntil([&] { return JsText(*again, loadedTiles) == firstLoad; }));
    QCOMPARE(asked, firstAsked); // nothing asked again
    // The tile itself is stored on disk, in the user's cache folder.
    QVERIFY(WaitUntil([&] {
        QDirIterator it(MapWebProfile()->cachePath(), QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            QFile f(it.next());
            if (f.size() < 4 * 1024 * 1024 && f.open(QIODevice::ReadOnly) && f.readAll().contains(png))
                return true;
        }
        return false;
    }));
}

// ---------------------------------------------------------------------------

void TestMap::noInternetNoEngine()
{
    CWebBrowser2Ex browser(nullptr, false);
    browser.resize(320, 240);
    browser.show();
    browser.Navigate(PagePath());
    QVERIFY(!browser.HasView());
    QVERIFY(browser.PageUrl().isEmpty());
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < 50; ++i) {
        QCOMPARE(browser.ExecScript(QStringLiteral("MapMoveToAuto('127.5','37.5',-1)")), -1);
        QCOMPARE(browser.ExecScriptGetValue(QStringLiteral("fnGetExtentWGS84()")), QString());
    }
    QVERIFY2(t.elapsed() < MapIds::kGetValueTimeoutMs, "a call waited"); // none waits for a page
    QVERIFY(!browser.IsReady());
    QVERIFY(!browser.IsBusy());
}

void TestMap::beforeReadyAndEmptyCode()
{
    CWebBrowser2Ex browser;
    browser.SetTileSource({QString::fromLatin1(kRefusingTiles), QStringLiteral("t")});
    browser.resize(320, 240);
    browser.show();
    QSignalSpy ready(&browser, &CWebBrowser2::PageReady);
    browser.Navigate(PagePath());
    QVERIFY(browser.HasView());
    // Loading has only begun: calls fail at once and are not kept.
    QVERIFY(!browser.IsReady());
    QCOMPARE(browser.ExecScript(QStringLiteral("MapMoveToAuto('127.5','37.5',-1)")), -1);
    QElapsedTimer t;
    t.start();
    QCOMPARE(browser.ExecScriptGetValue(QStringLiteral("fnGetExtentWGS84()")), QString());
    QVERIFY(t.elapsed() < MapIds::kGetValueTimeoutMs);
    QVERIFY(WaitUntil([&] { return ready.count() == 1; }, kLoadTimeoutMs));
    QVERIFY(browser.IsReady());
    QCOMPARE(JsText(browser, QStringLiteral("KestravMap.markerText()")), QString()); // the early call was dropped
    QCOMPARE(browser.ExecScript(QString()), -1);
    QCOMPARE(browser.ExecScriptGetValue(QString()), QString());
    QCOMPARE(browser.ExecScript(QStringLiteral("MapMoveToAuto('127.5','37.5',-1)")), 0);
    QCOMPARE(JsText(browser, QStringLiteral("KestravMap.markerText()")), QStringLiteral("127.500000,37.500000"));
    // A page function that does not exist is still "sent".
    QCOMPARE(browser.ExecScript(QStringLiteral("noSuchFunction()")), 0);
}

void TestMap::pageThatNeverLoads()
{
    CWebBrowser2Ex browser;
    browser.resize(320, 240);
    browser.show();
    QSignalSpy failed(&browser, &CWebBrowser2::PageLoadFailed);
    QSignalSpy ready(&browser, &CWebBrowser2::PageReady);
    browser.Navigate(QStringLiteral("http://127.0.0.1:9/mapView.htm"));
    // The event loop keeps running: a timer fires while the load fails.
    int ticks = 0;
    QTimer tick;
    connect(&tick, &QTimer::timeout, this, [&] { ++ticks; });
    tick.start(10);
    QVERIFY(WaitUntil([&] { return failed.count() >= 1 && ticks >= 5; }, kLoadTimeoutMs));
    QCOMPARE(ready.count(), 0);
    QVERIFY(!browser.IsReady());
    QCOMPARE(browser.ExecScript(QStringLiteral("MapMoveToAuto('127.5','37.5',-1)")), -1);
    QElapsedTimer t;
    t.start();
    QCOMPARE(browser.ExecScriptGetValue(QStringLiteral("fnGetExtentWGS84()")), QString());
    QVERIFY(t.elapsed() < MapIds::kGetValueTimeoutMs);
}

void TestMap::pageWithoutMapNeverReady()
{
    // The page loads, but its map does not (here: no Leaflet beside it).
    QTemporaryDir dir;
    QFile::copy(PagePath(), dir.filePath(QStringLiteral("mapView.htm")));
    CWebBrowser2Ex browser;
    browser.SetTileSource({QString::fromLatin1(kRefusingTiles), QStringLiteral("t")});
    browser.resize(320, 240);
    browser.show();
    QSignalSpy failed(&browser, &CWebBrowser2::PageLoadFailed);
    browser.Navigate(dir.filePath(QStringLiteral("mapView.htm")));
    QVERIFY(WaitUntil([&] { return failed.count() == 1; }, kLoadTimeoutMs));
    QVERIFY(!browser.IsReady());
    // The page functions are there and answer false without throwing.
    QCOMPARE(Js(browser, QStringLiteral("[MapMoveToAuto('1','2',-1), addPolyLine('1,2'), removePolyLine(), removePoint(),"
                                        " fnGetExtentWGS84()].join('/')")).toString(),
             QStringLiteral("false/false/true/true/"));
    QCOMPARE(browser.ExecScript(QStringLiteral("removePoint()")), -1);
}

void TestMap::getValueAnswersAsTheyStand_data()
{
    QTest::addColumn<QString>("body");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("value");
    const QString form = QStringLiteral("<form><input name=a value=''></form>");
    const QString set = QStringLiteral("document.forms[0].elements[0].value = ");
    QTest::newRow("extent") << form << set + "'1.5,2.5,3.5,0.5'" << "1.5,2.5,3.5,0.5";
    QTest::newRow("short") << form << set + "'12.3,45'" << "12.3,45";
    QTest::newRow("garbage") << form << set + "'abc,,\\u00e9x;1e999,NaN'" << QStringLiteral("abc,,\u00e9x;1e999,NaN");
    QTest::newRow("blank") << form << set + "'   '" << "   ";
    QTest::newRow("empty") << form << set + "''" << "";
    QTest::newRow("function throws") << form << "throw new Error('x')" << "";
    QTest::newRow("no forms") << QString() << "1" << "";
    QTest::newRow("last form's first field")
        << QStringLiteral("<form><input value=f1></form><form><input value=a><input value=b></form>") << "1" << "a";
    QTest::newRow("last form without fields")
        << QStringLiteral("<form><input value=f1><input value=f2></form><form></form>") << "1" << "f1";
    QTest::newRow("first field without value")
        << QStringLiteral("<form><fieldset></fieldset><input value=b></form>") << "1" << "";
}

void TestMap::getValueAnswersAsTheyStand()
{
    QFETCH(QString, body);
    QFETCH(QString, code);
    const QString page = WritePage(QStringLiteral("forms.htm"),
                                   QStringLiteral("<html><body>%1<script>window.kestravMapReady = true;</script></body></html>")
                                       .arg(body));
    CWebBrowser2Ex browser;
    browser.resize(100, 100);
    browser.show();
    browser.Navigate(page);
    QVERIFY(WaitUntil([&] { return browser.IsReady(); }, kLoadTimeoutMs));
    QTEST(browser.ExecScriptGetValue(code), "value");
}

void TestMap::getValueWaitIsBoundedAndExcludesInput()
{
    auto map = LoadedMap();
    QVERIFY(map);
    QCOMPARE(map->GetValueTimeout(), MapIds::kGetValueTimeoutMs);
    map->SetGetValueTimeout(300);

    // The owner's periodic timer keeps firing during the wait; it sees the
    // bridge busy, and a nested request is refused at once. A key pressed
    // meanwhile arrives only after the wait.
    QWidget keyTarget;
    keyTarget.resize(50, 50);
    keyTarget.show();
    QVERIFY(keyTarget.windowHandle());
    struct KeyLog : QObject {
        QStringList* log;
        explicit KeyLog(QStringList* l) : log(l) {}
        bool eventFilter(QObject*, QEvent* e) override
        {
            if (e->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(e)->key() == Qt::Key_F7)
                *log << QStringLiteral("key");
            return false;
        }
    };
    QStringList log;
    KeyLog filter(&log);
    qApp->installEventFilter(&filter);
    int busyTicks = 0;
    QString nested = QStringLiteral("unset");
    QTimer owner;
    connect(&owner, &QTimer::timeout, this, [&] {
        if (!map->IsBusy())
            return;
        ++busyTicks;
        if (busyTicks == 1) {
            nested = map->ExecScriptGetValue(QStringLiteral("fnGetExtentWGS84()"));
            // A key pressed by the user, queued the way the window system queues it.
            QWindowSystemInterface::handleKeyEvent<QWindowSystemInterface::AsynchronousDelivery>(
                keyTarget.windowHandle(), QEvent::KeyPress, Qt::Key_F7, Qt::NoModifier);
        }
    });
    owner.start(20);

    // The page is stuck for 3 s: its answer comes too late.
    QElapsedTimer t;
    t.start();
    const QString late = map->ExecScriptGetValue(
        QStringLiteral("fnGetExtentWGS84(); var t0 = Date.now(); while (Date.now() - t0 < 3000) {}"));
    const qint64 waited = t.elapsed();
    log << QStringLiteral("returned");
    QCOMPARE(late, QString());
    QVERIFY2(waited >= 290 && waited < 3000, qPrintable(QString::number(waited)));
    QVERIFY(busyTicks >= 1);
    QCOMPARE(nested, QString());
    QVERIFY(!map->IsBusy());
    QVERIFY(WaitUntil([&] { return log.size() >= 2; }));
    qApp->removeEventFilter(&filter);
    QCOMPARE(log.first(), QStringLiteral("returned")); // the key came after the wait
    QVERIFY(log.contains(QStringLiteral("key")));

    // Once the page is free again, the next question gets its own answer,
    // not the late one.
    map->SetGetValueTimeout(MapIds::kGetValueTimeoutMs);
    QCOMPARE(JsText(*map, QStringLiteral("'free'")), QStringLiteral("free"));
    QCOMPARE(map->ExecScriptGetValue(QStringLiteral("document.forms[document.forms.length-1].elements[0].value = 'mine'")),
             QStringLiteral("mine"));
}

void TestMap::rendererCrashLeavesViewerWorking()
{
    auto map = LoadedMap();
    QVERIFY(map);
    CTraceCapture trace;
    QSignalSpy lost(map.get(), &CWebBrowser2::PageLost);
    QSignalSpy ready(map.get(), &CWebBrowser2::PageReady);
    const qint64 pid = map->RenderProcessPid();
    QVERIFY(pid > 0);
    QCOMPARE(::kill(pid_t(pid), SIGKILL), 0);
    QVERIFY(WaitUntil([&] { return lost.count() == 1; }, 10000));
    // Reloaded once: ready again, with a new renderer.
    QVERIFY(WaitUntil([&] { return ready.count() == 1; }, kLoadTimeoutMs));
    QVERIFY(map->IsReady());
    QCOMPARE(map->ExecScript(QStringLiteral("MapMoveToAuto('3','4',-1)")), 0);
    QCOMPARE(map->ExecScriptGetValue(QStringLiteral("document.forms[0].elements[0].value = KestravMap.markerText()")),
             QStringLiteral("3.000000,4.000000"));

    // A second crash is not reloaded: the bridge stays not ready, calls fail at once.
    const qint64 pid2 = map->RenderProcessPid();
    QVERIFY(pid2 > 0 && pid2 != pid);
    QCOMPARE(::kill(pid_t(pid2), SIGKILL), 0);
    QVERIFY(WaitUntil([&] { return lost.count() == 2; }, 10000));
    // The reload is decided where the loss is handled: none this time.
    QCOMPARE(trace.LinesStartingWith(QStringLiteral("Kestrav : map page reloaded")).size(), 1);
    QVERIFY(!map->IsReady());
    QCOMPARE(map->ExecScript(QStringLiteral("MapMoveToAuto('3','4',-1)")), -1);
    QCOMPARE(map->ExecScriptGetValue(QStringLiteral("fnGetExtentWGS84()")), QString());
    // A new navigation brings the map back.
    map->Navigate(PagePath());
    QVERIFY(WaitUntil([&] { return map->IsReady(); }, kLoadTimeoutMs));
}

void TestMap::recordingDouble()
{
    CRecordingMapBridge bridge;
    IMapBridge& b = bridge;
    QCOMPARE(b.ExecScript(QStringLiteral("removePoint()")), 0);
    bridge.SetExecResultFor(QStringLiteral("MapMoveToAuto("), -2147352319);
    QCOMPARE(b.ExecScript(QStringLiteral("MapMoveToAuto('127.500000','37.500000',-1)")), -2147352319);
    bridge.SetValue(QStringLiteral("126.9,37.6,127.1"));
    QCOMPARE(b.ExecScriptGetValue(QStringLiteral("fnGetExtentWGS84()")), QStringLiteral("126.9,37.6,127.1"));
    bridge.SetReady(false);
    QCOMPARE(b.ExecScript(QStringLiteral("removePolyLine()")), -1);
    QCOMPARE(b.ExecScriptGetValue(QStringLiteral("fnGetExtentWGS84()")), QString());
    QVERIFY(!b.IsBusy());
    bridge.SetBusy(true);
    QVERIFY(b.IsBusy());
    QCOMPARE(bridge.Scripts(), QStringList({QStringLiteral("removePoint()"),
                                            QStringLiteral("MapMoveToAuto('127.500000','37.500000',-1)"),
                                            QStringLiteral("fnGetExtentWGS84()"), QStringLiteral("removePolyLine()"),
                                            QStringLiteral("fnGetExtentWGS84()")}));
    QCOMPARE(bridge.ExecScripts().size(), 3);
    QVERIFY(bridge.Calls()[2].kind == CRecordingMapBridge::CallKind::GetValue);
    bridge.ClearCalls();
    QVERIFY(bridge.Scripts().isEmpty());
}

QTEST_MAIN(TestMap)
#include "tst_map.moc"
