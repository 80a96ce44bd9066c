// The demo memory card: its layout, its recordings play and carry exactly the
// telemetry written into them, the drive is what the demo promises, and the
// same seed gives the same card.
#include "telemetry/AviText.h"
#include "writers/DemoCard.h"
#include "telemetry/Extract.h"
#include "telemetry/Mp4Text.h"
#ifdef KESTRAV_HAVE_TEST_PICTURES
#include "support/TestPictureReader.h" // Qt Gui: not in the core-only configuration
#endif

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <cstring>

namespace {

QString TextOf(const QByteArray& bytes)
{
    const qsizetype zero = bytes.indexOf('\0');
    return QString::fromLocal8Bit(zero >= 0 ? bytes.left(zero) : bytes);
}

// What the written texts decode to, independently of the extractors.
CTextData Expected(const CDemoRecording& rec)
{
    CTextData data;
    for (const QByteArray& t : rec.text) {
        if (rec.avi && t.size() == 112 && t[93] != 0)
            data.AddSplitRecord(TextOf(t.left(90)), TextOf(t.mid(92, 20)));
        else
            data.AddTextRecord(TextOf(t));
    }
    return data;
}

QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

CDemoCardOptions SmallCard(quint32 seed)
{
    CDemoCardOptions o;
    o.seed = seed;
    o.maxSeconds = 2.0;
    return o;
}

} // namespace

class TestDemoCard : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void layout();
    void telemetryReadsBackAsWritten();
#ifdef KESTRAV_HAVE_TEST_PICTURES
    void recordingsPlay();
#endif
    void theDrive();
    void sameSeedSameCard();

private:
    QTemporaryDir m_dir;
    QString m_root;
    CDemoCardManifest m_manifest;
};

void TestDemoCard::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_root = m_dir.filePath(QStringLiteral("card"));
    QString error;
    QVERIFY2(WriteDemoCard(m_root, SmallCard(3), &m_manifest, &error), qPrintable(error));
}

void TestDemoCard::layout()
{
    const QByteArray record = ReadAll(m_root + QStringLiteral("/SETTING/setup.cfg"));
    QCOMPARE(record.size(), kDemoDeviceRecordSize);
    QCOMPARE(record, m_manifest.deviceRecord);
    QCOMPARE(QByteArray(record.constData() + 8), QByteArray("CMV550View(V2)"));
    QCOMPARE(QByteArray(record.constData() + 40), QByteArray("2.03.11"));
    QCOMPARE(QByteArray(record.constData() + 228), QByteArray("SETTING/CMV550View_Setup.exe"));
    QCOMPARE(QByteArray(record.constData() + 356), QByteArray("MCU 1.0.7"));
    QVERIFY(record[224] || record[225] || record[226] || record[227]);

    // Every recording sits in one of the five category folders, each folder
    // holds at least one, and every file on the card is in the manifest.
    const QStringList folders = DemoCategoryFolders();
    QCOMPARE(folders, QStringList({QStringLiteral("상시녹화"), QStringLiteral("상시충격"), QStringLiteral("수동녹화"),
                                   QStringLiteral("주차모션"), QStringLiteral("주차충격")}));
    QStringList onCard;
    QDirIterator it(m_root, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        onCard << QFileInfo(it.next()).absoluteFilePath();
    QStringList listed{QFileInfo(m_root + QStringLiteral("/SETTING/setup.cfg")).absoluteFilePath()};
    for (const CDemoRecording& r : m_manifest.recordings)
        listed << QFileInfo(r.path).absoluteFilePath();
    onCard.sort();
    listed.sort();
    QCOMPARE(onCard, listed);
    for (const QString& f : folders)
        QVERIFY2(!QDir(m_root + QLatin1Char('/') + f).entryList(QDir::Files).isEmpty(), qPrintable(f));

    // The camera's names; every MP4 has its partner of the other channel.
    const QRegularExpression name(QStringLiteral("^REC_\\d{4}_\\d{2}_\\d{2}_\\d{2}_\\d{2}_\\d{2}_([FR])\\.(MP4|AVI)$"));
    int avi = 0, twoStreamAvi = 0, mp4 = 0;
    for (const CDemoRecording& r : m_manifest.recordings) {
        const QFileInfo info(r.path);
        const auto m = name.match(info.fileName());
        QVERIFY2(m.hasMatch(), qPrintable(info.fileName()));
        QVERIFY(info.size() > 0);
        QCOMPARE(info.dir().dirName(), r.category);
        QCOMPARE(m.captured(2) == QLatin1String("AVI"), r.avi);
        QCOMPARE(info.fileName().mid(4, 19), r.start.toString(QStringLiteral("yyyy_MM_dd_HH_mm_ss")));
        if (r.avi) {
            ++avi;
            twoStreamAvi += r.videoStreams == 2 ? 1 : 0;
        } else {
            ++mp4;
            QString partner = info.fileName();
            partner[24] = partner[24] == QLatin1Char('F') ? QLatin1Char('R') : QLatin1Char('F');
            QVERIFY2(info.dir().exists(partner), qPrintable(partner));
        }
    }
    QVERIFY(mp4 >= 4 && avi >= 2 && twoStreamAvi >= 1 && avi > twoStreamAvi);
}

void TestDemoCard::telemetryReadsBackAsWritten()
{
    for (const CDemoRecording& r : m_manifest.recordings) {
        const CTextData expected = Expected(r);
        QVERIFY(!expected.gsensorList.empty() && !expected.gpsList.empty() && !expected.carInfoList.empty());
        CTextData data;
        Telemetry::ExtractText(r.path, data);
        QVERIFY2(data.gsensorList == expected.gsensorList, qPrintable(r.path));
        QVERIFY2(data.gpsList == expected.gpsList, qPrintable(r.path));
        QVERIFY2(data.carInfoList == expected.carInfoList, qPrintable(r.path));
        QCOMPARE(Telemetry::IsMp4Recording(r.path), !r.avi);
        if (r.avi)
            QCOMPARE(Telemetry::CheckH264(r.path), 1);
    }
}

#ifdef KESTRAV_HAVE_TEST_PICTURES
void TestDemoCard::recordingsPlay()
{
    // Every picture of every video stream decodes and shows its own number.
    for (const CDemoRecording& r : m_manifest.recordings) {
        for (int stream = 0; stream < r.videoStreams; ++stream) {
            const QList<QImage> frames = DecodeVideoFrames(r.path, stream);
            QCOMPARE(frames.size(), qsizetype(std::lround(r.seconds * 30)));
            for (qsizetype i = 0; i < frames.size(); ++i)
                QCOMPARE(DecodeFrameNumber(frames[i]), int(i));
        }
        QCOMPARE(DecodeVideoFrames(r.path, r.videoStreams).size(), qsizetype(0));
    }
}
#endif

void TestDemoCard::theDrive()
{
    // The full card, planned without writing.
    const CDemoCardManifest card = PlanDemoCard(m_dir.filePath(QStringLiteral("plan")), CDemoCardOptions());
    QVERIFY(card.recordings.size() >= 6 && card.recordings.size() <= 12);
    double maxSpeed = 0, minSpeed = 1e9;
    int invalid = 0, brake = 0, turn = 0;
    QStringList impacts;
    for (const CDemoRecording& r : card.recordings) {
        QVERIFY(r.seconds >= 20 && r.seconds <= 60);
        const CTextData d = Expected(r);
        QCOMPARE(d.gsensorList.size(), size_t(10 * std::lround(r.seconds)));
        QCOMPARE(d.gpsList.size(), size_t(std::lround(r.seconds)));
        QCOMPARE(d.carInfoList.size(), d.gpsList.size());
        for (const CGPSData& g : d.gpsList) {
            if (!g.valid) {
                ++invalid;
                continue;
            }
            // Central Seoul, in the NMEA degrees-and-minutes form.
            QVERIFY2(g.latitude > 3729 && g.latitude < 3736 && g.longitude > 12653 && g.longitude < 12700,
                     qPrintable(QStringLiteral("%1 %2").arg(g.latitude).arg(g.longitude)));
            maxSpeed = std::max(maxSpeed, g.speed);
            minSpeed = std::min(minSpeed, g.speed);
        }
        for (const CCarInfoData& c : d.carInfoList) {
            brake += c.brake;
            turn += c.left + c.right;
        }
        bool spike = false;
        for (const CGSensorData& s : d.gsensorList)
            spike = spike || std::abs(s.x) > 256 || std::abs(s.y) > 256 || std::abs(s.z - 128) > 256;
        if (spike)
            impacts << r.category;
    }
    QCOMPARE(minSpeed, 0.0);
    QVERIFY2(maxSpeed > 115 && maxSpeed < 120.1, qPrintable(QString::number(maxSpeed)));
    QVERIFY(invalid >= 4);
    QVERIFY(brake > 0 && turn > 0);
    // One collision while driving (front and rear file), one knock while parked.
    QCOMPARE(impacts, QStringList({QStringLiteral("상시충격"), QStringLiteral("상시충격"), QStringLiteral("주차충격")}));
}

void TestDemoCard::sameSeedSameCard()
{
    const QString again = m_dir.filePath(QStringLiteral("again"));
    CDemoCardManifest second;
    QString error;
    QVERIFY2(WriteDemoCard(again, SmallCard(3), &second, &error), qPrintable(error));
    QCOMPARE(second.recordings.size(), m_manifest.recordings.size());
    for (qsizetype i = 0; i < second.recordings.size(); ++i) {
        QCOMPARE(QFileInfo(second.recordings[i].path).fileName(), QFileInfo(m_manifest.recordings[i].path).fileName());
        QVERIFY2(ReadAll(second.recordings[i].path) == ReadAll(m_manifest.recordings[i].path),
                 qPrintable(second.recordings[i].path));
    }
    // Another seed, another drive.
    const CDemoCardManifest other = PlanDemoCard(again, SmallCard(4));
    QVERIFY(other.recordings[0].text != m_manifest.recordings[0].text);
}

QTEST_GUILESS_MAIN(TestDemoCard)
#include "tst_democard.moc"
