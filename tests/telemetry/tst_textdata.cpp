// Decoding of the camera's text records into samples.
#include "telemetry/TextData.h"

#include "support/CommaLocale.h"

#include <QRandomGenerator>
#include <QTest>

#include <cstdlib>

class TestTextData : public QObject
{
    Q_OBJECT
private slots:
    void gsensorRecords_data();
    void gsensorRecords();
    void carRecords_data();
    void carRecords();
    void ignoredRecords_data();
    void ignoredRecords();
    void rmcFullSentence();
    void rmcEmptyFields();
    void rmcShortAndOdd_data();
    void rmcShortAndOdd();
    void rmcLongTextIsCut();
    void gnrmcAndHemispheres();
    void splitRecord();
    void decimalDegrees_data();
    void decimalDegrees();
    void copiesAreDeep();
    void numbersIgnoreTheLocale();
    void bytesDecodeAsWideText_data();
    void bytesDecodeAsWideText();
    void bytesDecodeAsWideTextFuzzed();
};

namespace {
// Every field of every sample, doubles by their bits (a "NaN" fix equals itself).
QByteArray Dump(const CTextData& d)
{
    QByteArray out;
    auto put = [&out](const auto& v) { out.append(reinterpret_cast<const char*>(&v), sizeof v); };
    for (const CGSensorData& g : d.gsensorList) {
        put(g.x), put(g.y), put(g.z);
    }
    out.append('|');
    for (const CGPSData& f : d.gpsList) {
        put(f.year), put(f.month), put(f.day), put(f.hour), put(f.minute), put(f.second), put(f.valid);
        put(f.latitude), put(f.longitude), put(f.speed), put(f.course);
    }
    out.append('|');
    for (const CCarInfoData& c : d.carInfoList) {
        put(c.left), put(c.right), put(c.brake), put(c.active);
    }
    return out;
}

QString UpToZero(const QByteArray& bytes)
{
    const qsizetype zero = bytes.indexOf('\0');
    return QString::fromLocal8Bit(zero < 0 ? bytes : bytes.left(zero));
}

// The 8-bit record decodes as its wide text does; a split record too.
bool SameAsWideText(const QByteArray& record, const QByteArray& second = QByteArray())
{
    CTextData bytes, wide;
    bytes.AddTextRecord(record.constData(), record.size());
    wide.AddTextRecord(UpToZero(record));
    if (!second.isNull()) {
        bytes.AddSplitRecord(record.constData(), record.size(), second.constData(), second.size());
        wide.AddSplitRecord(UpToZero(record), UpToZero(second));
    }
    return Dump(bytes) == Dump(wide);
}
} // namespace

void TestTextData::gsensorRecords_data()
{
    QTest::addColumn<QString>("record");
    QTest::addColumn<int>("x");
    QTest::addColumn<int>("y");
    QTest::addColumn<int>("z");
    QTest::newRow("scaled") << "gsensori,1,256,256,-512,1024" << 128 << -256 << 512;
    QTest::newRow("k zero by division") << "gsensori,2,1,5,5,5" << 0 << 0 << 0;
    QTest::newRow("a zero") << "gsensori,0,256,5,5,5" << 0 << 0 << 0;
    QTest::newRow("clamped high") << "gsensori,1,64,512,0,0" << 512 << 0 << 0;
    QTest::newRow("clamped low") << "gsensori,1,64,0,-9999,0" << 0 << -512 << 0;
    QTest::newRow("truncates toward zero") << "gsensori,1,256,-3,3,1" << -1 << 1 << 0;
    QTest::newRow("negative k") << "gsensori,-1,256,256,0,0" << -128 << 0 << 0;
    QTest::newRow("no overflow on huge values") << "gsensori,1,1,99999999999,-99999999999,7" << 512 << -512 << 512;
    QTest::newRow("fields trimmed") << "gsensori, 1 , 256 , 256 ,\t-512 , 1024 " << 128 << -256 << 512;
    QTest::newRow("missing fields read 0") << "gsensori,1,256,256" << 128 << 0 << 0;
    QTest::newRow("old record unscaled") << "gsensor,10,-20,30" << 10 << -20 << 30;
    QTest::newRow("old record unclamped") << "gsensor,4000,-4000,0" << 4000 << -4000 << 0;
    QTest::newRow("old record non-numeric") << "gsensor,abc,12abc,,7" << 0 << 12 << 0;
    QTest::newRow("old record short") << "gsensor,5" << 5 << 0 << 0;
}

void TestTextData::gsensorRecords()
{
    QFETCH(QString, record);
    CTextData data;
    data.AddTextRecord(record);
    QCOMPARE(data.gsensorList.size(), size_t(1));
    QVERIFY(data.gpsList.empty() && data.carInfoList.empty());
    QFETCH(int, x);
    QFETCH(int, y);
    QFETCH(int, z);
    const CGSensorData& g = data.gsensorList[0];
    QCOMPARE(g.x, x);
    QCOMPARE(g.y, y);
    QCOMPARE(g.z, z);
}

void TestTextData::carRecords_data()
{
    QTest::addColumn<QString>("record");
    QTest::addColumn<int>("brake");
    QTest::addColumn<int>("left");
    QTest::addColumn<int>("right");
    QTest::addColumn<int>("active");
    QTest::newRow("mixed") << "CAR,1,0,2" << 1 << 0 << 2 << 1;
    QTest::newRow("all off") << "CAR,0,0,0" << 0 << 0 << 0 << 0;
    QTest::newRow("left only") << "CAR,0,1,0" << 0 << 1 << 0 << 1;
    QTest::newRow("short record") << "CAR,1" << 1 << 0 << 0 << 1;
    QTest::newRow("leading blanks") << "CAR, 1, 1,x" << 1 << 1 << 0 << 1;
}

void TestTextData::carRecords()
{
    QFETCH(QString, record);
    CTextData data;
    data.AddTextRecord(record);
    QCOMPARE(data.carInfoList.size(), size_t(1));
    QFETCH(int, brake);
    QFETCH(int, left);
    QFETCH(int, right);
    QFETCH(int, active);
    const CCarInfoData& c = data.carInfoList[0];
    QCOMPARE(c.brake, brake);
    QCOMPARE(c.left, left);
    QCOMPARE(c.right, right);
    QCOMPARE(c.active, active);
}

void TestTextData::ignoredRecords_data()
{
    QTest::addColumn<QString>("record");
    QTest::newRow("no comma") << "gsensori";
    QTest::newRow("empty") << "";
    QTest::newRow("dollar prefix") << "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394";
    QTest::newRow("kind case differs") << "GSENSOR,1,2,3";
    QTest::newRow("kind with blank") << " CAR,1,1,1";
    QTest::newRow("unknown kind") << "GPGGA,123519,4807.038,N";
}

void TestTextData::ignoredRecords()
{
    QFETCH(QString, record);
    CTextData data;
    data.AddTextRecord(record);
    QVERIFY(data.IsEmpty());
}

void TestTextData::rmcFullSentence()
{
    CTextData data;
    data.AddTextRecord(QStringLiteral("GPRMC,123519.000,A,4807.038,N,01131.000,E,022.4,084.4,230394"));
    QCOMPARE(data.gpsList.size(), size_t(1));
    const CGPSData& g = data.gpsList[0];
    QCOMPARE(g.hour, 12);
    QCOMPARE(g.minute, 35);
    QCOMPARE(g.second, 19);
    QCOMPARE(g.valid, 1);
    QCOMPARE(g.latitude, 4807.038);
    QCOMPARE(g.longitude, 1131.0);
    // Knots times 1.852 in single precision, stored as a double.
    QCOMPARE(g.speed, double(22.4f * 1.852f));
    QVERIFY(g.speed != 22.4 * 1.852);
    QVERIFY(qAbs(g.speed - 41.4848) < 1e-4);
    QCOMPARE(g.course, double(84.4f));
    QCOMPARE(g.day, 23);
    QCOMPARE(g.month, 3);
    QCOMPARE(g.year, 94);
}

void TestTextData::rmcEmptyFields()
{
    const CGPSData g("GPRMC,123519,V,,,,,,,230394");
    QCOMPARE(g.valid, 0);
    QCOMPARE(g.latitude, 0.0);
    QCOMPARE(g.longitude, 0.0);
    QCOMPARE(g.speed, 0.0);
    QCOMPARE(g.course, 0.0);
    QCOMPARE(g.hour, 12);
    QCOMPARE(g.day, 23);
    QCOMPARE(g.month, 3);
    QCOMPARE(g.year, 94);
}

void TestTextData::rmcShortAndOdd_data()
{
    QTest::addColumn<QByteArray>("sentence");
    QTest::addColumn<int>("hour");
    QTest::addColumn<int>("minute");
    QTest::addColumn<int>("second");
    QTest::addColumn<int>("valid");
    QTest::addColumn<double>("latitude");
    QTest::addColumn<int>("day");
    QTest::newRow("stops after status") << QByteArray("GPRMC,081500,A") << 8 << 15 << 0 << 1 << 0.0 << 0;
    QTest::newRow("short time") << QByteArray("GPRMC,0815,A,3730.5,S") << 8 << 15 << 0 << 1 << -3730.5 << 0;
    QTest::newRow("odd time") << QByteArray("GPRMC,08151,A") << 8 << 15 << 1 << 1 << 0.0 << 0;
    QTest::newRow("leading commas skipped") << QByteArray(",,GPRMC,101010,A") << 10 << 10 << 10 << 1 << 0.0 << 0;
    QTest::newRow("status lower case") << QByteArray("GPRMC,101010,a,1.5,N") << 10 << 10 << 10 << 0 << 1.5 << 0;
    QTest::newRow("empty hemisphere negates") << QByteArray("GPRMC,101010,A,1.5,,2,E") << 10 << 10 << 10 << 1 << -1.5 << 0;
    QTest::newRow("trailing comma") << QByteArray("GPRMC,101010,A,1.5,N,2,E,1,2,010203,") << 10 << 10 << 10 << 1 << 1.5 << 1;
    QTest::newRow("only kind") << QByteArray("GPRMC") << 0 << 0 << 0 << 0 << 0.0 << 0;
    QTest::newRow("garbage") << QByteArray("x,zz,?,abc,N") << 0 << 0 << 0 << 0 << 0.0 << 0;
    QTest::newRow("empty") << QByteArray("") << 0 << 0 << 0 << 0 << 0.0 << 0;
}

void TestTextData::rmcShortAndOdd()
{
    QFETCH(QByteArray, sentence);
    QFETCH(int, hour);
    QFETCH(int, minute);
    QFETCH(int, second);
    QFETCH(int, valid);
    QFETCH(double, latitude);
    QFETCH(int, day);
    const CGPSData g(sentence);
    QCOMPARE(g.hour, hour);
    QCOMPARE(g.minute, minute);
    QCOMPARE(g.second, second);
    QCOMPARE(g.valid, valid);
    QCOMPARE(g.latitude, latitude);
    QCOMPARE(g.day, day);
    const CGPSData none(static_cast<const char*>(nullptr));
    QCOMPARE(none, CGPSData());
}

void TestTextData::rmcLongTextIsCut()
{
    // A text beyond the 1023-byte working buffer is cut, never overrun.
    QByteArray s("GPRMC,101010,A,");
    s.append(QByteArray(3000, '1'));
    const CGPSData g(s);
    QCOMPARE(g.hour, 10);
    QCOMPARE(g.valid, 1);
    QVERIFY(g.latitude > 1e300 || qIsInf(g.latitude));
}

void TestTextData::gnrmcAndHemispheres()
{
    CTextData data;
    data.AddTextRecord(QStringLiteral("GNRMC,000001,A,3730.5,S,12200.25,W,0,0,311299"));
    QCOMPARE(data.gpsList.size(), size_t(1));
    QCOMPARE(data.gpsList[0].latitude, -3730.5);
    QCOMPARE(data.gpsList[0].longitude, -12200.25);
    QCOMPARE(data.gpsList[0].year, 99);
}

void TestTextData::splitRecord()
{
    CTextData data;
    data.AddSplitRecord(QStringLiteral("GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394"),
                        QStringLiteral(" 12, -3 ,130"));
    QCOMPARE(data.gsensorList.size(), size_t(1));
    QCOMPARE(data.gsensorList[0], CGSensorData(12, -3, 130));
    QCOMPARE(data.gpsList.size(), size_t(1));
    QCOMPARE(data.gpsList[0].latitude, 4807.038);
    QVERIFY(data.carInfoList.empty());

    // Split halves are stored as written: no scaling, no clamp.
    data.AddSplitRecord(QString(), QStringLiteral("9000,-9000"));
    QCOMPARE(data.gsensorList[1], CGSensorData(9000, -9000, 0));
    QCOMPARE(data.gpsList[1], CGPSData());
}

void TestTextData::decimalDegrees_data()
{
    QTest::addColumn<double>("nmea");
    QTest::addColumn<double>("degrees");
    QTest::newRow("south") << -3730.5 << -37.508333;
    QTest::newRow("north") << 4807.038 << 48.1173;
    QTest::newRow("east 3 digits") << 12658.5 << 126.975;
    QTest::newRow("zero") << 0.0 << 0.0;
}

void TestTextData::decimalDegrees()
{
    QFETCH(double, nmea);
    QFETCH(double, degrees);
    QVERIFY2(qAbs(CGPSData::ToDecimalDegrees(nmea) - degrees) < 1e-5,
             qPrintable(QString::number(CGPSData::ToDecimalDegrees(nmea), 'f', 8)));
}

void TestTextData::copiesAreDeep()
{
    CTextData a;
    a.AddTextRecord(QStringLiteral("gsensor,1,2,3"));
    a.AddTextRecord(QStringLiteral("CAR,1,0,0"));
    CTextData b = a;
    b.AddTextRecord(QStringLiteral("gsensor,4,5,6"));
    QCOMPARE(a.gsensorList.size(), size_t(1));
    QCOMPARE(b.gsensorList.size(), size_t(2));
    QCOMPARE(b.carInfoList.size(), size_t(1));
}

void TestTextData::numbersIgnoreTheLocale()
{
    // The application object has applied the environment's locale by now; a
    // user with a comma-decimal locale must get the same numbers.
    CCommaDecimalLocale comma;
    QVERIFY2(comma.IsActive(), qPrintable(comma.Reason()));
    QCOMPARE(std::strtod("1.5", nullptr), 1.0); // the locale really reads '.' as the end

    CTextData data;
    data.AddTextRecord(QStringLiteral("GPRMC,123519.000,A,4807.038,N,01131.000,E,022.4,084.4,230394"));
    data.AddSplitRecord(QStringLiteral("GPRMC,101010,A,3733.1234,S,12658.5,W,3.5,1.25,230394"), QStringLiteral("1,-2,3"));
    data.AddTextRecord(QStringLiteral("gsensori,1,256,256,-512,1024"));
    QCOMPARE(data.gpsList.size(), size_t(2));
    QCOMPARE(data.gpsList[0].latitude, 4807.038);
    QCOMPARE(data.gpsList[0].longitude, 1131.0);
    QCOMPARE(data.gpsList[0].speed, double(22.4f * 1.852f));
    QCOMPARE(data.gpsList[0].course, double(84.4f));
    QCOMPARE(data.gpsList[1].latitude, -3733.1234);
    QCOMPARE(data.gpsList[1].longitude, -12658.5);
    QCOMPARE(data.gpsList[1].speed, double(3.5f * 1.852f));
    QCOMPARE(data.gpsList[1].course, 1.25);
    QCOMPARE(CGPSData("GPRMC,1,A,1e2,N,0x10,E").latitude, 100.0);
    QCOMPARE(data.gsensorList[0], CGSensorData(1, -2, 3));
    QCOMPARE(data.gsensorList[1], CGSensorData(128, -256, 512));
}

void TestTextData::bytesDecodeAsWideText_data()
{
    QTest::addColumn<QByteArray>("record");
    QTest::addColumn<QByteArray>("gsensorHalf"); // when not null: also as a split record
    const QByteArray none;
    const QByteArray rmc("GPRMC,123519.000,A,4807.038,N,01131.000,E,022.4,084.4,230394");
    QTest::newRow("scaled") << QByteArray("gsensori,1,256,256,-512,1024") << QByteArray("12,-3,130");
    QTest::newRow("white space everywhere") << QByteArray("gsensori, 1 ,\t256,\v5\r,\f-7 , 9\n") << QByteArray(" 12 ,\t-3\r,130 ");
    QTest::newRow("signs and junk") << QByteArray("gsensor,+5,-0,--3") << QByteArray("+1,-,x9");
    QTest::newRow("not decimal") << QByteArray("gsensor,0x10,1e3, 12 34") << QByteArray("0x1,1e1");
    QTest::newRow("saturating") << QByteArray("CAR,99999999999,-99999999999,1") << QByteArray("99999999999,-99999999999,5");
    QTest::newRow("empty fields") << QByteArray("gsensori,,,,,") << QByteArray(",,");
    QTest::newRow("missing fields") << QByteArray("gsensori,1") << QByteArray("7");
    QTest::newRow("car with spaces") << QByteArray("CAR, 1,\t0,2 ") << none;
    QTest::newRow("fix") << rmc << QByteArray("1,2,3");
    QTest::newRow("fix GNRMC, west and south") << QByteArray("GNRMC,010203,V,3730.5,S,12658.5,W,1,2,010124") << none;
    QTest::newRow("fix NaN and infinity") << QByteArray("GPRMC,1,A,NAN,N,INF,E,nan,-inf,1") << none;
    QTest::newRow("kind with a space") << QByteArray(" gsensor,1,2,3") << none;
    QTest::newRow("kind before a space") << QByteArray("gsensor ,1,2,3") << none;
    QTest::newRow("kind in other case") << QByteArray("GSENSOR,1,2,3") << none;
    QTest::newRow("no comma") << QByteArray("GPRMC") << none;
    QTest::newRow("comma first") << QByteArray(",gsensor,1") << none;
    QTest::newRow("empty") << QByteArray("") << QByteArray("");
    QTest::newRow("zero byte ends the record") << QByteArray("gsensor,1,2,3\0CAR,1,1,1", 24) << QByteArray("4,5\0,6", 6);
    QTest::newRow("zero byte first") << QByteArray("\0gsensor,1,2,3", 14) << QByteArray("\0" "1,2", 4);
    QTest::newRow("UTF-8 no-break space") << QByteArray("gsensor,\xC2\xA0" "1,2,3") << QByteArray("\xC2\xA0" "1,2,3");
    QTest::newRow("invalid UTF-8") << QByteArray("gsensor,\xA0" "5,1,1") << QByteArray("\xFF" "5,1,1");
    QTest::newRow("Hangul in a fix") << QByteArray("GPRMC,1,A,\xEC\x84\x9C" "3730,N,1,E,1,1,1") << none;
    QTest::newRow("control bytes") << QByteArray("CAR,\x01" "1,\x1F" "2,\x7F" "3") << QByteArray("\x01" "1,\x1F" "2,\x7F");
    QTest::newRow("record of 300 bytes") << QByteArray("gsensor,1,2,3," + QByteArray(286, '9')) << QByteArray(300, '7');
    QTest::newRow("fix of 1100 bytes") << QByteArray(rmc + "," + QByteArray(1040, '5')) << none;
}

void TestTextData::bytesDecodeAsWideText()
{
    QFETCH(QByteArray, record);
    QFETCH(QByteArray, gsensorHalf);
    QVERIFY(SameAsWideText(record));
    if (!gsensorHalf.isNull())
        QVERIFY(SameAsWideText(record, gsensorHalf));
}

void TestTextData::bytesDecodeAsWideTextFuzzed()
{
    QRandomGenerator rng(2024);
    const QList<QByteArray> kinds = {"gsensor,", "gsensori,", "GPRMC,", "GNRMC,", "CAR,", "gsensor", "GPRMC ", ""};
    const QByteArray alphabet(",,,,0123456789+-. \t\r\n\v\fNSEWAVnax");
    auto randomText = [&rng, &kinds, &alphabet](int max) {
        QByteArray t = kinds[rng.bounded(int(kinds.size()))];
        const int n = rng.bounded(max);
        for (int i = 0; i < n; ++i) {
            const int pick = rng.bounded(100);
            if (pick < 2)
                t.append(char(0x80 + rng.bounded(128)));
            else if (pick < 3)
                t.append('\0');
            else
                t.append(alphabet[rng.bounded(int(alphabet.size()))]);
        }
        return t;
    };
    for (int round = 0; round < 4000; ++round) {
        const QByteArray record = randomText(130);
        QVERIFY2(SameAsWideText(record), record.toPercentEncoding().constData());
        const QByteArray half = randomText(20);
        QVERIFY2(SameAsWideText(record, half), (record + " / " + half).toPercentEncoding().constData());
    }
}

QTEST_GUILESS_MAIN(TestTextData)
#include "tst_textdata.moc"
