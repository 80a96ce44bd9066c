// Finding the memory card, its device record, the card scan, connectivity.
#include "catalogue/Connectivity.h"
#include "catalogue/MemoryCard.h"
#include "platform/RemovableMedia.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

namespace {
QByteArray Record(const QByteArray& model, const QByteArray& program = QByteArray())
{
    QByteArray r(700, '\0');
    r.replace(kDeviceModelOffset, model.size(), model);
    r.replace(kDeviceFirmwareOffset, 8, "FW 1.2.3");
    r[kDeviceVersionOffset] = 1;
    r[kDeviceVersionOffset + 3] = 9;
    r.replace(kDeviceProgramOffset, program.size(), program);
    r[690] = 'Z'; // past the record: never read
    return r;
}

void Write(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

struct RootsGuard {
    explicit RootsGuard(const QStringList& roots) { qputenv("KESTRAV_CARD_ROOTS", roots.join(':').toLocal8Bit()); }
    ~RootsGuard() { qunsetenv("KESTRAV_CARD_ROOTS"); }
};
} // namespace

class TestMemoryCard : public QObject
{
    Q_OBJECT
private slots:
    void firstReadableRootWins();
    void setupFileSizes_data();
    void setupFileSizes();
    void noCardKeepsTheRecord();
    void deviceRecordAndModels();
    void settingsProgramStaysOnTheCard_data();
    void settingsProgramStaysOnTheCard();
    void cardScanOrder();
    void cardMountPoints();
    void connectivity();
};

void TestMemoryCard::firstReadableRootWins()
{
    QTemporaryDir a, b, c;
    QDir().mkpath(a.filePath("SETTING/setup.cfg")); // a folder, not a file
    Write(b.filePath("SETTING/setup.cfg"), Record("CMV550View(K)"));
    Write(c.filePath("SETTING/setup.cfg"), Record("ARX550"));
    RootsGuard roots({a.path(), QDir(b.path()).absolutePath() + "/", c.path()});
    QString cardRoot;
    QCOMPARE(FindBlackBoxDrive(cardRoot), 1);
    QCOMPARE(g_cardFound, 1);
    QCOMPARE(cardRoot, b.path() + "/");
    QCOMPARE(g_cardRoot, cardRoot);
    QCOMPARE(g_deviceRecord.size(), kDeviceRecordSize);
    QCOMPARE(DeviceModelName(g_deviceRecord), QStringLiteral("CMV550View"));
    QCOMPARE(g_deviceRecord.at(kDeviceModelOffset + 10), '\0'); // the "(" became the end
    QCOMPARE(DeviceRecordText(g_deviceRecord, kDeviceFirmwareOffset), QStringLiteral("FW 1.2.3"));
    QCOMPARE(int(g_deviceRecord.at(kDeviceVersionOffset + 3)), 9);
    const quint64 mb = FileSystemTotalBytes(b.path()) / 1048576u;
    if (mb > 1000)
        QCOMPARE(g_cardSizeGB, float(double(mb) / 1024.0));
}

void TestMemoryCard::setupFileSizes_data()
{
    QTest::addColumn<int>("size");
    QTest::newRow("empty") << 0;
    QTest::newRow("short") << 20;
    QTest::newRow("10 MB") << 10 * 1024 * 1024;
}

void TestMemoryCard::setupFileSizes()
{
    QFETCH(int, size);
    QTemporaryDir card;
    QByteArray bytes = Record("BT33").left(qMin(size, 700));
    if (size > bytes.size())
        bytes.append(QByteArray(size - bytes.size(), 'q'));
    Write(card.filePath("SETTING/setup.cfg"), bytes);
    RootsGuard roots({card.path()});
    QString cardRoot;
    QCOMPARE(FindBlackBoxDrive(cardRoot), 1);
    QCOMPARE(g_deviceRecord.size(), kDeviceRecordSize);
    QCOMPARE(DeviceModelName(g_deviceRecord), size >= 12 ? QStringLiteral("BT33") : QString());
    QCOMPARE(g_deviceRecord.count('q'), qMax(0, qMin(size, kDeviceRecordSize) - 700));
}

void TestMemoryCard::noCardKeepsTheRecord()
{
    QTemporaryDir card, empty;
    Write(card.filePath("SETTING/setup.cfg"), Record("DZ55"));
    QString cardRoot;
    {
        RootsGuard roots({card.path()});
        QCOMPARE(FindBlackBoxDrive(cardRoot), 1);
    }
    RootsGuard roots({empty.path(), "/nonexistent/card"});
    QCOMPARE(FindBlackBoxDrive(cardRoot), 0);
    QCOMPARE(g_cardFound, 0);
    QCOMPARE(cardRoot, card.path() + "/");
    QCOMPARE(DeviceModelName(g_deviceRecord), QStringLiteral("DZ55"));
}

void TestMemoryCard::deviceRecordAndModels()
{
    QTemporaryDir card, folder, empty;
    const QString root = card.path() + "/";
    Write(root + "SETTING/setup.cfg", Record("ARX550(V2)"));
    const QByteArray record = ReadDeviceRecord(root);
    QCOMPARE(record.size(), kDeviceRecordSize);
    QCOMPARE(DeviceModelName(record), QStringLiteral("ARX550"));
    QCOMPARE(record, [] { QByteArray r = Record("ARX550(V2)").left(kDeviceRecordSize); r[8 + 6] = '\0'; return r; }());
    QDir().mkpath(folder.filePath("SETTING/setup.cfg")); // a folder of that name
    QVERIFY(ReadDeviceRecord(folder.path() + "/").isEmpty());
    QVERIFY(ReadDeviceRecord(empty.path() + "/").isEmpty());
    QDir().mkpath(empty.filePath("SETTING"));
    QVERIFY(QFile::link("/dev/zero", empty.filePath("SETTING/setup.cfg"))); // never read from a device
    QVERIFY(ReadDeviceRecord(empty.path() + "/").isEmpty());

    QVERIFY(IsDualStreamModel("CMV550View"));
    QVERIFY(IsDualStreamModel("DZ55"));
    for (const char* model : {"ARX550", "ARX330", "BT33", "cmv550view", "DZ55 ", ""})
        QVERIFY2(!IsDualStreamModel(QString::fromLatin1(model)), model);
}

void TestMemoryCard::settingsProgramStaysOnTheCard_data()
{
    QTest::addColumn<QByteArray>("program");
    QTest::addColumn<QString>("expected"); // relative to the card, or empty
    QTest::newRow("plain") << QByteArray("SETTING/Setup.exe") << "SETTING/Setup.exe";
    QTest::newRow("backslashes") << QByteArray("SETTING\\Tool\\Setup.exe") << "SETTING/Tool/Setup.exe";
    QTest::newRow("dot segment") << QByteArray("./SETTING/Setup.exe") << "SETTING/Setup.exe";
    QTest::newRow("none") << QByteArray() << "";
    QTest::newRow("parent") << QByteArray("../evil.exe") << "";
    QTest::newRow("parent inside") << QByteArray("SETTING/../../evil.exe") << "";
    QTest::newRow("absolute") << QByteArray("/usr/bin/evil") << "";
    QTest::newRow("drive letter") << QByteArray("C:/Windows/evil.exe") << "";
    QTest::newRow("link off the card") << QByteArray("SETTING/out/evil") << "";
}

void TestMemoryCard::settingsProgramStaysOnTheCard()
{
    QFETCH(QByteArray, program);
    QFETCH(QString, expected);
    QTemporaryDir card, elsewhere;
    QDir().mkpath(card.filePath("SETTING"));
    QVERIFY(QFile::link(elsewhere.path(), card.filePath("SETTING/out")));
    Write(elsewhere.filePath("evil"), "x");
    const QString root = card.path() + "/";
    const QString path = SettingsProgramPath(root, Record("DZ55", program).left(kDeviceRecordSize));
    QCOMPARE(path, expected.isEmpty() ? QString() : card.path() + "/" + expected);
}

void TestMemoryCard::cardScanOrder()
{
    QTemporaryDir card;
    const QString root = card.path() + "/";
    Write(root + "상시녹화/REC_2024_01_01_10_00_00_F.AVI", "x");
    Write(root + "보조저장/AUX_2024_01_01_10_00_00_F.AVI", "x");
    Write(root + "상시충격/EVT_2024_01_01_10_00_00_F.AVI", "x");
    Write(root + "수동녹화/MAN_2024_01_01_10_00_00_F.AVI", "x");
    Write(root + "주차모션/PKM_2024_01_01_10_00_00_F.AVI", "x");
    Write(root + "주차충격/PKI_2024_01_01_10_00_00_F.AVI", "x");
    CCatalogue catalogue;
    catalogue[5]["OLD"] = RecordingEntry();
    ScanCard(root, "BT33", catalogue);
    QCOMPARE(catalogue[0].size(), size_t(1));
    QCOMPARE(catalogue[1].size(), size_t(1)); // no auxiliary folder for this model
    QCOMPARE(catalogue[2].size(), size_t(1));
    QCOMPARE(catalogue[3].size(), size_t(1));
    QCOMPARE(catalogue[4].size(), size_t(1));
    QVERIFY(catalogue[5].empty());
    ScanCard(root, "ARX550", catalogue);
    QCOMPARE(catalogue[1].size(), size_t(2));
    QVERIFY(catalogue[1].count("AUX_2024_01_01_10_00_00_F.AVI"));
}

void TestMemoryCard::cardMountPoints()
{
    // A fake /sys: sdb is a removable USB stick, sda a fixed disk, mmcblk0 a
    // card in a built-in reader (never marked removable), nvme a fixed disk.
    QTemporaryDir sys;
    auto disk = [&](const QString& name, const QString& removable, const QStringList& partitions,
                    const QString& diskNumber, const QStringList& partitionNumbers) {
        const QString folder = sys.filePath("devices/pci0000:00/block/" + name);
        Write(folder + "/removable", removable.toLatin1() + "\n");
        QDir().mkpath(sys.filePath("dev/block"));
        QVERIFY(QFile::link(folder, sys.filePath("dev/block/" + diskNumber)));
        for (int i = 0; i < partitions.size(); ++i) {
            Write(folder + "/" + partitions[i] + "/partition", "1\n");
            QVERIFY(QFile::link(folder + "/" + partitions[i], sys.filePath("dev/block/" + partitionNumbers[i])));
        }
    };
    disk("sda", "0", {"sda1", "sda2"}, "8:0", {"8:1", "8:2"});
    disk("sdb", "1", {"sdb1"}, "8:16", {"8:17"});
    disk("mmcblk0", "0", {"mmcblk0p1"}, "179:0", {"179:1"});
    disk("nvme0n1", "0", {"nvme0n1p1"}, "259:0", {"259:1"});

    const QByteArray info =
        "22 1 0:21 / /proc rw - proc proc rw\n"
        "30 1 8:1 / / rw - ext4 /dev/sda1 rw\n"
        "31 30 8:2 / /home rw - ext4 /dev/sda2 rw\n"
        "32 30 259:1 / /data rw - ext4 /dev/nvme0n1p1 rw\n"
        "41 30 8:17 / /mnt/stick\\040one rw,nosuid shared:5 - vfat /dev/sdb1 rw\n"
        "42 30 179:1 / /mnt/sd rw - exfat /dev/mmcblk0p1 rw\n"
        "43 30 179:9 / /mnt/sd2 rw - vfat /dev/mmcblk1p1 rw\n"            // no sysfs entry: by its source
        "44 30 259:1 / /media/user/BACKUP rw - ext4 /dev/nvme0n1p1 rw\n"  // fixed, but mounted as media
        "45 30 0:55 / /run/media/user/CARD rw - fuse.exfat /dev/sdc1 rw\n" // FUSE under the media folder
        "46 30 0:56 / /media rw - tmpfs tmpfs rw\n"                        // the media folder itself
        "47 30 8:17 / /mnt/stick\\040one rw - vfat /dev/sdb1 rw\n"         // mounted twice: listed once
        "garbage line\n\n";
    const QStringList roots = CardMountPoints(info, sys.path());
    QCOMPARE(roots, (QStringList{"/mnt/stick one/", "/mnt/sd/", "/mnt/sd2/", "/media/user/BACKUP/",
                                 "/run/media/user/CARD/"}));
    QVERIFY(CardMountPoints(info, sys.filePath("missing")).contains("/mnt/sd2/"));
    CMountWatcher watcher;
    QVERIFY(watcher.IsWatching());
}

void TestMemoryCard::connectivity()
{
    QTcpServer server;
    QVERIFY(server.listen(QHostAddress::LocalHost));
    QVERIFY(ProbeConnectivity(QStringLiteral("127.0.0.1"), server.serverPort(), 2000));
    const quint16 port = server.serverPort();
    server.close();
    QElapsedTimer clock;
    clock.start();
    QVERIFY(!ProbeConnectivity(QStringLiteral("127.0.0.1"), port, 2000));
    QVERIFY(!ProbeConnectivity(QStringLiteral("host.invalid"), 443, 1000));
    QVERIFY(clock.elapsed() < 8000);
}

QTEST_GUILESS_MAIN(TestMemoryCard)
#include "tst_memorycard.moc"
