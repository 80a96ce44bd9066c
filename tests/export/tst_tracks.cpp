// Tracks for mapping programs (KML, GeoJSON) and the summary of a drive.
#include "writers/AviWriter.h"
#include "TelemetryExport.h"
#include "TrackSummary.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

#include <cmath>

namespace {
constexpr double kLat0 = 37.5;
constexpr double kLon0 = 127.0;
// Metres per degree of latitude on the haversine's sphere.
const double kMetresPerDegree = Export::kEarthRadiusM * M_PI / 180.0;

double ToNmea(double degrees)
{
    const double sign = degrees < 0 ? -1.0 : 1.0;
    const double a = std::fabs(degrees);
    const double d = std::floor(a);
    return sign * (d * 100.0 + (a - d) * 60.0);
}

// A fix `metresNorth` north of the start, at second `t` after 10:00:00 UTC.
CGPSData Fix(int t, double metresNorth, double kmh, int valid = 1, double metresEast = 0.0)
{
    CGPSData g;
    g.year = 24;
    g.month = 5;
    g.day = 10;
    g.hour = 10 + t / 3600;
    g.minute = t / 60 % 60;
    g.second = t % 60;
    g.valid = valid;
    g.latitude = ToNmea(kLat0 + metresNorth / kMetresPerDegree);
    g.longitude = ToNmea(kLon0 + metresEast / (kMetresPerDegree * std::cos(kLat0 * M_PI / 180.0)));
    g.speed = kmh;
    return g;
}

// 1 km north at 36 km/h (10 m/s, one fix a second), then a hard stop
// (36 -> 18 -> 0 km/h in two seconds, 10 m), then five seconds standing.
// One G sample a second, at rest (0, 0, 128) but for a jolt during the stop.
CTextData KnownDrive(bool glitch)
{
    CTextData d;
    for (int t = 0; t <= 100; ++t) {
        d.gpsList.push_back(Fix(t, t * 10.0, 36.0));
        if (glitch && t == 50)
            d.gpsList.back() = Fix(t, 50000.0, 36.0); // 50 km away for one second
    }
    d.gpsList.push_back(Fix(101, 1007.5, 18.0));
    d.gpsList.push_back(Fix(102, 1010.0, 0.0));
    for (int t = 103; t <= 107; ++t)
        d.gpsList.push_back(Fix(t, 1010.0, 0.0));
    d.gpsList.push_back(Fix(108, 0.0, 0.0, 0)); // no fix: not counted
    for (int t = 0; t <= 108; ++t)
        d.gsensorList.push_back(t == 101 ? CGSensorData(-80, 10, 120) : CGSensorData(1, -1, 128));
    return d;
}

QByteArray Avi(const QList<QByteArray>& records)
{
    CAviWriter w;
    w.AddStream(CAviWriter::VideoStream("H264", 16, 16, 30, 1));
    w.AddStream(CAviWriter::TextStream());
    w.AddChunk("00dc", QByteArray(10, 'v'));
    for (const QByteArray& r : records)
        w.AddChunk("01tx", CAviWriter::TextPayload(r));
    return w.Build();
}

QByteArray Sentence(const CGPSData& g)
{
    const auto nmea = [](double v, int degreeDigits, char pos, char neg) {
        const double a = std::fabs(v);
        return QByteArray::number(a, 'f', 4).rightJustified(degreeDigits + 7, '0') + ',' + (v < 0 ? neg : pos);
    };
    return QByteArray("GPRMC,") + QString::asprintf("%02d%02d%02d", g.hour, g.minute, g.second).toLatin1() + ','
        + (g.valid ? 'A' : 'V') + ',' + nmea(g.latitude, 2, 'N', 'S') + ',' + nmea(g.longitude, 3, 'E', 'W') + ','
        + QByteArray::number(g.speed / 1.852, 'f', 3) + ",0.0," + QString::asprintf("%02d%02d%02d", g.day, g.month, g.year).toLatin1();
}
} // namespace

class TestTracks : public QObject
{
    Q_OBJECT
private slots:
    void kmlCarriesEveryValidFix();
    void geoJsonCarriesEveryValidFix();
    void summaryOfAKnownDrive();
    void glitches_data();
    void glitches();
    void summaryTool();
};

void TestTracks::kmlCarriesEveryValidFix()
{
    const CTextData d = KnownDrive(false);
    const QByteArray kml = Export::ToKml(QStringLiteral("REC & <1>"), d);
    QXmlStreamReader xml(kml);
    QStringList whens, coords, speeds, names;
    QString arrayName, ns;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        if (xml.name() == QLatin1String("kml"))
            ns = xml.namespaceUri().toString();
        else if (xml.name() == QLatin1String("when"))
            whens << xml.readElementText();
        else if (xml.name() == QLatin1String("coord") && xml.namespaceUri() == QLatin1String("http://www.google.com/kml/ext/2.2"))
            coords << xml.readElementText();
        else if (xml.name() == QLatin1String("SimpleArrayData"))
            arrayName = xml.attributes().value("name").toString();
        else if (xml.name() == QLatin1String("value") && arrayName == QLatin1String("speed_kmh"))
            speeds << xml.readElementText();
        else if (xml.name() == QLatin1String("name"))
            names << xml.readElementText();
    }
    QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
    QCOMPARE(ns, QStringLiteral("http://www.opengis.net/kml/2.2"));
    QCOMPARE(names.value(0), QStringLiteral("REC & <1>"));
    const int valid = int(d.gpsList.size()) - 1;
    QCOMPARE(whens.size(), valid);
    QCOMPARE(coords.size(), valid);
    QCOMPARE(speeds.size(), valid);
    QCOMPARE(whens.first(), QStringLiteral("2024-05-10T10:00:00Z"));
    QCOMPARE(whens.last(), QStringLiteral("2024-05-10T10:01:47Z"));
    const QStringList first = coords.first().split(' ');
    QCOMPARE(first.size(), 3);
    QVERIFY(std::fabs(first[0].toDouble() - kLon0) < 1e-9);
    QVERIFY(std::fabs(first[1].toDouble() - kLat0) < 1e-9);
    QCOMPARE(speeds[101].toDouble(), 18.0);
}

void TestTracks::geoJsonCarriesEveryValidFix()
{
    const CTextData d = KnownDrive(false);
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(Export::ToGeoJson(QStringLiteral("REC"), d), &error);
    QCOMPARE(error.error, QJsonParseError::NoError);
    QCOMPARE(doc.object()["type"].toString(), QStringLiteral("FeatureCollection"));
    const QJsonObject feature = doc.object()["features"].toArray().at(0).toObject();
    const QJsonObject geometry = feature["geometry"].toObject();
    QCOMPARE(geometry["type"].toString(), QStringLiteral("LineString"));
    const QJsonArray coords = geometry["coordinates"].toArray();
    const QJsonObject props = feature["properties"].toObject();
    const int valid = int(d.gpsList.size()) - 1;
    QCOMPARE(coords.size(), valid);
    QCOMPARE(props["coordTimes"].toArray().size(), valid);
    QCOMPARE(props["speeds_kmh"].toArray().size(), valid);
    // [longitude, latitude] in decimal degrees.
    QVERIFY(std::fabs(coords[0].toArray()[0].toDouble() - kLon0) < 1e-9);
    QVERIFY(std::fabs(coords[0].toArray()[1].toDouble() - kLat0) < 1e-9);
    QVERIFY(std::fabs(coords[100].toArray()[1].toDouble() - (kLat0 + 1000.0 / kMetresPerDegree)) < 1e-9);
    QCOMPARE(props["coordTimes"].toArray()[102].toString(), QStringLiteral("2024-05-10T10:01:42Z"));

    // A single fix is a Point; none gives an empty collection.
    CTextData one;
    one.gpsList.push_back(Fix(0, 0, 0));
    const QJsonObject point = QJsonDocument::fromJson(Export::ToGeoJson("x", one)).object()["features"].toArray()[0].toObject();
    QCOMPARE(point["geometry"].toObject()["type"].toString(), QStringLiteral("Point"));
    CTextData none;
    QCOMPARE(QJsonDocument::fromJson(Export::ToGeoJson("x", none)).object()["features"].toArray().size(), 0);
}

void TestTracks::summaryOfAKnownDrive()
{
    const Export::CTrackSummary s = Export::Summarise(QStringLiteral("REC"), KnownDrive(false), 109.0);
    QVERIFY2(std::fabs(s.distanceM - 1010.0) < 0.5, qPrintable(QString::number(s.distanceM)));
    QCOMPARE(s.durationSec, 109.0);
    QCOMPARE(s.movingSec, 102.0); // 100 s north, 2 s braking; standing time is not moving
    QCOMPARE(s.maxSpeedKmh, 36.0);
    QVERIFY(std::fabs(s.AverageMovingKmh() - 1010.0 / 102.0 * 3.6) < 0.05);
    QCOMPARE(s.validFixes, 108);
    QCOMPARE(s.glitches, 0);
    QCOMPARE(s.hardBraking.size(), 1);
    const Export::CBrakeEvent& e = s.hardBraking.first();
    QCOMPARE(e.offsetSec, 100);
    QCOMPARE(e.utc, QDateTime(QDate(2024, 5, 10), QTime(10, 1, 40), Qt::UTC));
    QCOMPARE(e.fromKmh, 36.0);
    QCOMPARE(e.toKmh, 0.0);
    QCOMPARE(e.durationSec, 2);
    QVERIFY(std::fabs(e.peakG - 18.0 / 3.6 / 9.80665) < 1e-9);
    QVERIFY(s.strongestG.present);
    QCOMPARE(s.strongestG.offsetSec, 101); // sample 101 of 109 over 109 s
    QCOMPARE(s.strongestG.x, -80);
    QCOMPARE(s.strongestG.utc, QDateTime(QDate(2024, 5, 10), QTime(10, 1, 41), Qt::UTC));

    // Gentle braking (5 km/h per second) is no event.
    CTextData gentle;
    for (int t = 0; t < 8; ++t)
        gentle.gpsList.push_back(Fix(t, t * 5.0, 36.0 - 5 * t));
    QCOMPARE(Export::Summarise("g", gentle, 8).hardBraking.size(), 0);

    // Totals add up; the table and JSON carry them.
    Export::CTrackSummary total;
    total.Add(s);
    total.Add(s);
    QCOMPARE(total.recordings, 2);
    QVERIFY(std::fabs(total.distanceM - 2 * s.distanceM) < 1e-6);
    QCOMPARE(total.hardBraking.size(), 2);
    const QByteArray table = Export::SummaryTable({s, s}, total, false);
    QVERIFY2(table.contains("1.01") && table.contains("TOTAL") && table.contains("36 -> 0 km/h"), table.constData());
    const QByteArray mph = Export::SummaryTable({s}, s, true);
    QVERIFY2(mph.contains("22 -> 0 mph"), mph.constData());
    const QJsonObject json = QJsonDocument::fromJson(Export::SummaryJson({s, s}, total, true)).object();
    QCOMPARE(json["unit"].toString(), QStringLiteral("mph"));
    QCOMPARE(json["recordings"].toArray().size(), 2);
    QVERIFY(std::fabs(json["total"].toObject()["distance_m"].toDouble() - 2 * s.distanceM) < 1e-6);
    QVERIFY(std::fabs(json["total"].toObject()["max_speed"].toDouble() - 36.0 * 0.621371192) < 1e-9);
}

void TestTracks::glitches_data()
{
    QTest::addColumn<int>("odd");          // which fix of the straight drive is moved away (-1: none)
    QTest::addColumn<double>("distance");  // expected metres
    QTest::addColumn<int>("glitches");
    QTest::newRow("none") << -1 << 1010.0 << 0;
    QTest::newRow("one in the middle") << 50 << 1010.0 << 1;
    QTest::newRow("the first fix") << 0 << 1000.0 << 0; // the track restarts at the second fix
}

void TestTracks::glitches()
{
    QFETCH(int, odd);
    QFETCH(double, distance);
    QFETCH(int, glitches);
    CTextData d = KnownDrive(false);
    if (odd >= 0)
        d.gpsList[size_t(odd)] = Fix(odd, odd * 10.0 + 40000.0, 36.0, 1, 20000.0);
    const Export::CTrackSummary s = Export::Summarise("g", d, 0);
    QVERIFY2(std::fabs(s.distanceM - distance) < 0.5, qPrintable(QString::number(s.distanceM)));
    QCOMPARE(s.glitches, glitches);
    QCOMPARE(s.durationSec, 107.0); // no media length: the span of the fixes
}

void TestTracks::summaryTool()
{
    // Two AVI recordings of the known drive, cut in halves, on a folder.
    QTemporaryDir dir;
    const CTextData d = KnownDrive(false);
    QList<QByteArray> first, second;
    for (size_t i = 0; i < d.gpsList.size(); ++i)
        (i <= 60 ? first : second) << Sentence(d.gpsList[i]) << "gsensor,1,-1,128";
    QDir().mkpath(dir.filePath("in"));
    for (auto [name, records] : {std::pair{"A.AVI", first}, std::pair{"B.AVI", second}}) {
        QFile f(dir.filePath(QStringLiteral("in/") + name));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(Avi(records));
    }
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_CONFIG_HOME", dir.filePath("config")); // no settings file: km/h
    p.setProcessEnvironment(env);
    p.start(qEnvironmentVariable("KESTRAV_BIN_DIR") + "/kestrav-export", {"--summary", "--json", dir.filePath("in")});
    QVERIFY(p.waitForFinished(60000));
    QCOMPARE(p.exitCode(), 0);
    const QJsonObject json = QJsonDocument::fromJson(p.readAllStandardOutput()).object();
    QCOMPARE(json["unit"].toString(), QStringLiteral("km/h"));
    QCOMPARE(json["recordings"].toArray().size(), 2);
    const QJsonObject total = json["total"].toObject();
    // The step between the two recordings (60 -> 61) is not counted.
    QVERIFY2(std::fabs(total["distance_m"].toDouble() - 1000.0) < 1.0, qPrintable(QString::number(total["distance_m"].toDouble())));
    QCOMPARE(total["hard_braking"].toArray().size(), 1);
    QVERIFY(std::fabs(total["max_speed_kmh"].toDouble() - 36.0) < 0.01);

    // The table, in mph as asked; a usage error without inputs.
    p.start(qEnvironmentVariable("KESTRAV_BIN_DIR") + "/kestrav-export", {"--summary", "--unit", "mph", dir.filePath("in")});
    QVERIFY(p.waitForFinished(60000));
    QCOMPARE(p.exitCode(), 0);
    const QByteArray table = p.readAllStandardOutput();
    QVERIFY2(table.contains("A.AVI") && table.contains("B.AVI") && table.contains("mph"), table.constData());
    p.start(qEnvironmentVariable("KESTRAV_BIN_DIR") + "/kestrav-export", {"--summary", "--json"});
    QVERIFY(p.waitForFinished(60000));
    QCOMPARE(p.exitCode(), 2);
    p.start(qEnvironmentVariable("KESTRAV_BIN_DIR") + "/kestrav-export", {"--kml", "--geojson", "-o", dir.filePath("out"), dir.filePath("in/A.AVI")});
    QVERIFY(p.waitForFinished(60000));
    QCOMPARE(p.exitCode(), 0);
    QVERIFY(QFile::exists(dir.filePath("out/A.AVI.kml")));
    QVERIFY(QFile::exists(dir.filePath("out/A.AVI.geojson")));
}

QTEST_GUILESS_MAIN(TestTracks)
#include "tst_tracks.moc"
