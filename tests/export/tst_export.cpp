// Telemetry export: GPX and CSV contents, inputs, exit status.
#include "writers/AviWriter.h"
#include "support/CommaLocale.h"
#include "TelemetryExport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include "support/FileFaults.h"
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

namespace {
const QList<QByteArray> kRecords = {
    "gsensori,1,256,256,-512,1024",
    "GPRMC,101010,A,3733.1234,N,12658.5,E,022.4,084.4,230394",
    "CAR,1,0,1",
    "GPRMC,101011,V,,,,,,,230394",
    "gsensor,-5,6,7",
    "GPRMC,101012.500,A,3733.2,S,12658.6,W,0.0,359.9,230394",
};

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

CTextData Decoded()
{
    CTextData d;
    for (const QByteArray& r : kRecords)
        d.AddTextRecord(QString::fromLatin1(r));
    return d;
}

void Write(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

int RunExport(const QStringList& args, QByteArray* err = nullptr,
              const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment())
{
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(qEnvironmentVariable("KESTRAV_BIN_DIR") + "/kestrav-export", args);
    if (!p.waitForFinished(60000))
        return -1;
    if (err)
        *err = p.readAllStandardError();
    return p.exitCode();
}
} // namespace

class TestExport : public QObject
{
    Q_OBJECT
private slots:
    void gpxTrack();
    void csvRoundTrips();
    void shortestDoubles_data();
    void shortestDoubles();
    void toolOnFilesFoldersAndCards();
    void toolExitStatus_data();
    void toolExitStatus();
    void toolUnderCommaLocale();
    void outputNames_data();
    void outputNames();
    void sameNamesInOtherFolders();
    void fullDiskKeepsTheOldOutput();
};

void TestExport::gpxTrack()
{
    const QByteArray gpx = Export::ToGpx("REC.AVI", Decoded());
    QXmlStreamReader xml(gpx);
    QList<QStringList> points; // lat, lon, time, speed, course
    QString version;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        if (xml.name() == QLatin1String("gpx"))
            version = xml.attributes().value("version").toString();
        if (xml.name() == QLatin1String("trkpt"))
            points << QStringList{xml.attributes().value("lat").toString(), xml.attributes().value("lon").toString()};
        if (xml.name() == QLatin1String("time") || xml.name() == QLatin1String("speed") || xml.name() == QLatin1String("course"))
            points.last() << xml.readElementText();
    }
    QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
    QCOMPARE(version, QStringLiteral("1.1"));
    QCOMPARE(points.size(), 2); // the 'V' fix has no position
    QCOMPARE(points[0][0].toDouble(), 37 + 33.1234 / 60);
    QCOMPARE(points[0][1].toDouble(), 126 + 58.5 / 60);
    QCOMPARE(points[0][2], QStringLiteral("2094-03-23T10:10:10Z"));
    QCOMPARE(points[0][3].toDouble(), double(22.4f * 1.852f) / 3.6);
    QCOMPARE(points[0][4].toDouble(), double(84.4f));
    QCOMPARE(points[1][0].toDouble(), -(37 + 33.2 / 60));
    QCOMPARE(points[1][1].toDouble(), -(126 + 58.6 / 60));
    QCOMPARE(points[1][2], QStringLiteral("2094-03-23T10:10:12Z"));
}

void TestExport::csvRoundTrips()
{
    const CTextData d = Decoded();
    const QList<QByteArray> gps = Export::GpsCsv(d).split('\n');
    QCOMPARE(gps[0], QByteArray("index,year,month,day,hour,minute,second,valid,latitude,longitude,speed,course"));
    QCOMPARE(gps.size(), 1 + 3 + 1); // header, three fixes, final newline
    for (int i = 0; i < 3; ++i) {
        const QList<QByteArray> f = gps[i + 1].split(',');
        QCOMPARE(f.size(), 12);
        const CGPSData& g = d.gpsList[size_t(i)];
        QCOMPARE(f[0].toInt(), i);
        QCOMPARE(f[1].toInt(), g.year);
        QCOMPARE(f[6].toInt(), g.second);
        QCOMPARE(f[7].toInt(), g.valid);
        QCOMPARE(f[8].toDouble(), g.latitude);
        QCOMPARE(f[9].toDouble(), g.longitude);
        QCOMPARE(f[10].toDouble(), g.speed); // exact: shortest form reads back
        QCOMPARE(f[11].toDouble(), g.course);
    }
    QCOMPARE(gps[1], QByteArray("0,94,3,23,10,10,10,1,3733.1234,12658.5,") + Export::ShortestDouble(d.gpsList[0].speed)
                         + "," + Export::ShortestDouble(d.gpsList[0].course));
    QCOMPARE(Export::GSensorCsv(d), QByteArray("index,x,y,z\n0,128,-256,512\n1,-5,6,7\n"));
    QCOMPARE(Export::CarCsv(d), QByteArray("index,brake,left,right,active\n0,1,0,1,1\n"));
}

void TestExport::shortestDoubles_data()
{
    QTest::addColumn<double>("value");
    QTest::newRow("float speed") << double(22.4f * 1.852f);
    QTest::newRow("tenth") << 0.1;
    QTest::newRow("negative") << -3730.5;
    QTest::newRow("zero") << 0.0;
    QTest::newRow("tiny") << 5e-324;
}

void TestExport::shortestDoubles()
{
    QFETCH(double, value);
    const QByteArray text = Export::ShortestDouble(value);
    QCOMPARE(text.toDouble(), value);
    QVERIFY(text.size() <= QByteArray::number(value, 'g', 17).size());
}

void TestExport::toolOnFilesFoldersAndCards()
{
    QTemporaryDir dir;
    const QString card = dir.filePath("card");
    Write(card + "/SETTING/setup.cfg", QByteArray(8, '\0') + "DZ55(X)");
    Write(card + "/상시녹화/REC_2024_01_01_10_00_00_F.AVI", Avi(kRecords));
    Write(card + "/주차충격/PKI_2024_01_01_11_00_00_F.AVI", Avi({"gsensor,1,1,1"}));
    Write(card + "/elsewhere/IGNORED.AVI", Avi({"gsensor,1,1,1"})); // not a category folder
    Write(dir.filePath("loose/deep/ONE.AVI"), Avi({"gsensor,2,2,2"}));
    Write(dir.filePath("single.avi"), Avi({"CAR,0,1,0"}));
    const QString out = dir.filePath("out");
    QByteArray err;
    QCOMPARE(RunExport({"--csv", "--gpx", "-o", out, card, dir.filePath("loose"), dir.filePath("single.avi")}, &err), 0);
    QStringList files = QDir(out).entryList(QDir::Files, QDir::Name);
    QCOMPARE(files.size(), 4 * 4);
    QVERIFY(files.contains("REC_2024_01_01_10_00_00_F.AVI.gpx"));
    QVERIFY(files.contains("ONE.AVI.gsensor.csv"));
    QVERIFY(files.contains("single.avi.car.csv"));
    QVERIFY(!files.contains("IGNORED.AVI.gpx"));
    QFile gsensor(out + "/REC_2024_01_01_10_00_00_F.AVI.gsensor.csv");
    QVERIFY(gsensor.open(QIODevice::ReadOnly));
    QCOMPARE(gsensor.readAll(), Export::GSensorCsv(Decoded()));

    // GPX alone by default.
    const QString gpxOnly = dir.filePath("gpx");
    QCOMPARE(RunExport({"-o", gpxOnly, dir.filePath("single.avi")}), 0);
    QCOMPARE(QDir(gpxOnly).entryList(QDir::Files), QStringList{"single.avi.gpx"});
}

void TestExport::toolExitStatus_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("named");
    QTest::newRow("no output folder") << QStringList{"x.avi"} << 2 << "";
    QTest::newRow("no input") << QStringList{"-o", "OUT"} << 2 << "";
    QTest::newRow("unknown option") << QStringList{"--kmz", "-o", "OUT", "GOOD"} << 2 << "";
    QTest::newRow("-o without folder") << QStringList{"GOOD", "-o"} << 2 << "";
    QTest::newRow("missing input") << QStringList{"-o", "OUT", "GOOD", "MISSING"} << 1 << "MISSING";
    QTest::newRow("garbage input") << QStringList{"-o", "OUT", "GARBAGE", "GOOD"} << 1 << "GARBAGE";
    QTest::newRow("all good") << QStringList{"-o", "OUT", "GOOD"} << 0 << "";
}

void TestExport::toolExitStatus()
{
    QFETCH(QStringList, args);
    QFETCH(int, status);
    QFETCH(QString, named);
    QTemporaryDir dir;
    Write(dir.filePath("good.avi"), Avi(kRecords));
    Write(dir.filePath("garbage.avi"), QByteArray(500, '\x7f'));
    const QMap<QString, QString> names{{"OUT", dir.filePath("out")}, {"GOOD", dir.filePath("good.avi")},
                                       {"MISSING", dir.filePath("missing.avi")}, {"GARBAGE", dir.filePath("garbage.avi")}};
    for (QString& a : args)
        a = names.value(a, a);
    QByteArray err;
    QCOMPARE(RunExport(args, &err), status);
    if (!named.isEmpty())
        QVERIFY2(err.contains(names[named].toLocal8Bit()), err.constData());
    if (status != 2 && args.contains(names["GOOD"]))
        QVERIFY(QFile::exists(dir.filePath("out/good.avi.gpx")));
}

void TestExport::toolUnderCommaLocale()
{
    // A user whose locale writes decimals with a comma exports the same files.
    const QByteArray expectedCsv = Export::GpsCsv(Decoded());
    const QByteArray expectedGpx = Export::ToGpx(QStringLiteral("rec.avi"), Decoded());
    QVERIFY(expectedCsv.contains(",3733.1234,12658.5,"));
    CCommaDecimalLocale comma;
    QVERIFY2(comma.IsActive(), qPrintable(comma.Reason()));
    QTemporaryDir dir;
    Write(dir.filePath("rec.avi"), Avi(kRecords));
    const QString out = dir.filePath("out");
    QByteArray err;
    const int status = RunExport({"--csv", "--gpx", "-o", out, dir.filePath("rec.avi")}, &err, comma.ChildEnvironment());
    QVERIFY2(status == 0, err.constData());
    QFile gps(out + "/rec.avi.gps.csv");
    QVERIFY(gps.open(QIODevice::ReadOnly));
    QCOMPARE(gps.readAll(), expectedCsv);
    QFile gpx(out + "/rec.avi.gpx");
    QVERIFY(gpx.open(QIODevice::ReadOnly));
    QCOMPARE(gpx.readAll(), expectedGpx);

    // In this process too, with the application object's locale replaced.
    CTextData data;
    for (const QByteArray& r : kRecords)
        data.AddTextRecord(QString::fromLatin1(r));
    QCOMPARE(data.gpsList.at(0).latitude, 3733.1234);
    QCOMPARE(Export::GpsCsv(data), expectedCsv);
}

void TestExport::outputNames_data()
{
    QTest::addColumn<QStringList>("paths");
    QTest::addColumn<QStringList>("names");
    QTest::newRow("distinct") << QStringList{"/c/a/A.AVI", "/c/b/B.AVI"} << QStringList{"A.AVI", "B.AVI"};
    QTest::newRow("same name") << QStringList{"/c/a/A.AVI", "/c/b/A.AVI"} << QStringList{"A.AVI", "A.AVI~b"};
    QTest::newRow("case only") << QStringList{"/c/a/A.AVI", "/c/b/a.avi"} << QStringList{"A.AVI", "a.avi~b"};
    QTest::newRow("same folder names") << QStringList{"/c/x/s/A.AVI", "/c/y/s/A.AVI", "/c/z/s/A.AVI", "/c/s/A.AVI~s"}
                                       << QStringList{"A.AVI", "A.AVI~s", "A.AVI~s~2", "A.AVI~s~s"};
}

void TestExport::outputNames()
{
    QFETCH(QStringList, paths);
    QFETCH(QStringList, names);
    QCOMPARE(Export::OutputNames(paths), names);
}

void TestExport::sameNamesInOtherFolders()
{
    // A card whose continuous folder holds the same name in two subfolders,
    // and a plain folder doing the same: every recording gets its files.
    QTemporaryDir dir;
    const QString card = dir.filePath("card");
    Write(card + "/SETTING/setup.cfg", QByteArray(8, '\0') + "BT33");
    Write(card + "/상시녹화/a/REC_2024_01_01_10_00_00_F.AVI", Avi({"gsensor,1,1,1"}));
    Write(card + "/상시녹화/b/REC_2024_01_01_10_00_00_F.AVI", Avi({"gsensor,2,2,2"}));
    Write(card + "/상시충격/REC_2024_01_01_10_00_00_F.AVI", Avi({"gsensor,3,3,3"}));
    Write(dir.filePath("loose/x/ONE.AVI"), Avi({"gsensor,4,4,4"}));
    Write(dir.filePath("loose/y/ONE.AVI"), Avi({"gsensor,5,5,5"}));
    const QString out = dir.filePath("out");
    QByteArray err;
    // The loose folder twice and one of its files again: each file once.
    const int status = RunExport({"--csv", "-o", out, card, dir.filePath("loose"), dir.filePath("loose"),
                                  dir.filePath("loose/y/ONE.AVI")}, &err);
    QVERIFY2(status == 0, err.constData());
    QVERIFY2(err.contains("5 of 5 recordings written"), err.constData());
    QSet<QByteArray> samples;
    const QStringList files = QDir(out).entryList({"*.gsensor.csv"}, QDir::Files);
    QCOMPARE(files.size(), 5);
    for (const QString& f : files) {
        QFile csv(out + "/" + f);
        QVERIFY(csv.open(QIODevice::ReadOnly));
        samples.insert(csv.readAll().split('\n').value(1));
    }
    QCOMPARE(samples, (QSet<QByteArray>{"0,1,1,1", "0,2,2,2", "0,3,3,3", "0,4,4,4", "0,5,5,5"}));
    QVERIFY(files.contains("ONE.AVI.gsensor.csv"));
    QVERIFY(files.contains("ONE.AVI~x.gsensor.csv") || files.contains("ONE.AVI~y.gsensor.csv"));
    QVERIFY2(err.contains("written as REC_2024_01_01_10_00_00_F.AVI~"), err.constData());
}

void TestExport::fullDiskKeepsTheOldOutput()
{
    // A disk that fills while the track is written: the tool says it failed
    // and the output of an earlier run stays whole.
    QTemporaryDir dir;
    Write(dir.filePath("good.avi"), Avi(kRecords));
    const QString old = dir.filePath("out/good.avi.gpx");
    Write(old, "earlier run");
    QByteArray err;
    int status = -1;
    {
        CFileSizeLimit full(64);
        QVERIFY(full.IsSet());
        status = RunExport({"--gpx", "-o", dir.filePath("out"), dir.filePath("good.avi")}, &err);
    }
    QCOMPARE(status, 1);
    QFile f(old);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("earlier run"));
    QCOMPARE(QDir(dir.filePath("out")).entryList(QDir::Files), QStringList{"good.avi.gpx"});
}

QTEST_GUILESS_MAIN(TestExport)
#include "tst_export.moc"
