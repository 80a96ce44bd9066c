// kestrav-export on a demo memory card: the GPX track is the route the card's
// recordings carry, fix for fix.
#include "writers/DemoCard.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

namespace {
// Decimal degrees from an NMEA ddmm.mmmm field and its hemisphere letter.
double Degrees(const QByteArray& field, const QByteArray& hemisphere)
{
    const double v = field.toDouble();
    const int d = int(v / 100);
    const double deg = d + (v - d * 100) / 60.0;
    return (hemisphere == "N" || hemisphere == "E") ? deg : -deg;
}

struct Point {
    double lat, lon;
    QString time;
};

// The valid fixes the card wrote into a recording, in order.
QList<Point> WrittenRoute(const CDemoRecording& rec)
{
    QList<Point> points;
    for (QByteArray t : rec.text) {
        t = t.left(t.indexOf('\0') < 0 ? t.size() : t.indexOf('\0'));
        if (!t.startsWith("GPRMC,") && !t.startsWith("GNRMC,"))
            continue;
        const QList<QByteArray> f = t.split(',');
        if (f.size() < 10 || f[2] != "A")
            continue;
        const QByteArray hms = f[1], dmy = f[9];
        points << Point{Degrees(f[3], f[4]), Degrees(f[5], f[6]),
                        QStringLiteral("20%1-%2-%3T%4:%5:%6Z")
                            .arg(QString::fromLatin1(dmy.mid(4, 2)), QString::fromLatin1(dmy.mid(2, 2)),
                                 QString::fromLatin1(dmy.mid(0, 2)), QString::fromLatin1(hms.mid(0, 2)),
                                 QString::fromLatin1(hms.mid(2, 2)), QString::fromLatin1(hms.mid(4, 2)))};
    }
    return points;
}

QList<Point> GpxRoute(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QXmlStreamReader xml(&f);
    QList<Point> points;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        if (xml.name() == QLatin1String("trkpt"))
            points << Point{xml.attributes().value("lat").toDouble(), xml.attributes().value("lon").toDouble(), {}};
        else if (xml.name() == QLatin1String("time") && !points.isEmpty())
            points.last().time = xml.readElementText();
    }
    return points;
}
} // namespace

class TestExportDemoCard : public QObject
{
    Q_OBJECT
private slots:
    void gpxFollowsTheWrittenRoute();
};

void TestExportDemoCard::gpxFollowsTheWrittenRoute()
{
    QTemporaryDir dir;
    CDemoCardOptions options;
    options.maxSeconds = 6.0;
    CDemoCardManifest manifest;
    QString error;
    QVERIFY2(WriteDemoCard(dir.filePath("card"), options, &manifest, &error), qPrintable(error));
    QVERIFY(manifest.recordings.size() >= 2);

    QProcess p;
    p.start(qEnvironmentVariable("KESTRAV_BIN_DIR") + "/kestrav-export", {"-o", dir.filePath("out"), dir.filePath("card")});
    QVERIFY(p.waitForFinished(120000));
    QCOMPARE(p.exitCode(), 0);

    int checkedPoints = 0;
    for (const CDemoRecording& rec : manifest.recordings) {
        const QList<Point> written = WrittenRoute(rec);
        const QList<Point> exported = GpxRoute(dir.filePath("out/") + QFileInfo(rec.path).fileName() + ".gpx");
        QVERIFY2(exported.size() == written.size(), qPrintable(rec.path));
        for (int i = 0; i < written.size(); ++i) {
            QVERIFY(qAbs(exported[i].lat - written[i].lat) < 1e-9);
            QVERIFY(qAbs(exported[i].lon - written[i].lon) < 1e-9);
            QCOMPARE(exported[i].time, written[i].time);
            // Central Seoul.
            QVERIFY(exported[i].lat > 37.4 && exported[i].lat < 37.7);
            QVERIFY(exported[i].lon > 126.8 && exported[i].lon < 127.2);
        }
        checkedPoints += written.size();
    }
    QVERIFY(checkedPoints > 0);
}

QTEST_GUILESS_MAIN(TestExportDemoCard)
#include "tst_export_democard.moc"
