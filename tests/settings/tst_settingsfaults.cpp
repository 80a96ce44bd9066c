// The settings file against a failing disk: full, read-only, and the
// process killed while it writes. A save either replaces the file whole or
// reports failure and leaves the earlier file as it was.

#include "settings/IniDocument.h"
#include "settings/Settings.h"

#include "support/FileFaults.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

namespace {
QByteArray ReadFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A document with one long value of `fill` characters.
CIniDocument Document(QChar fill, int length)
{
    CIniDocument doc;
    doc.SetString(QStringLiteral("install"), QStringLiteral("unit"), QStringLiteral("km"));
    doc.SetString(QStringLiteral("install"), QStringLiteral("maptileurl"), QString(length, fill));
    return doc;
}
} // namespace

class TestSettingsFaults : public QObject
{
    Q_OBJECT

private slots:
    void saveOnFullDisk_data();
    void saveOnFullDisk();
    void saveIntoReadOnlyFolder();
    void killedWhileSaving();
};

void TestSettingsFaults::saveOnFullDisk_data()
{
    QTest::addColumn<bool>("existing");
    QTest::newRow("first save") << false;
    QTest::newRow("over an earlier file") << true;
}

void TestSettingsFaults::saveOnFullDisk()
{
    QFETCH(bool, existing);
    QTemporaryDir dir;
    const QString path = SettingsFilePath(dir.path());
    QByteArray before;
    if (existing) {
        QVERIFY(Document(u'a', 10).Save(path));
        before = ReadFile(path);
    }
    const CIniDocument big = Document(u'b', 4000); // about 8 KB in UTF-16
    {
        CFileSizeLimit full(1024);
        QVERIFY(full.IsSet());
        QVERIFY(!big.Save(path));
        // Through the settings table as the viewer saves it.
        QVERIFY(SettingsLoad(dir.path()));
        QVERIFY(SettingsSetText(QStringLiteral("maptileurl"), QString(4000, u'c')));
        QVERIFY(!SettingsSave(dir.path()));
    }
    QCOMPARE(QFile::exists(path), existing);
    QCOMPARE(ReadFile(path), before);
    // No cut temporary file left beside it.
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
             existing ? QStringList{QStringLiteral("kestrav.ini")} : QStringList{});
    // With room again the same save works.
    QVERIFY(big.Save(path));
    CIniDocument back;
    QVERIFY(back.LoadFile(path));
    QCOMPARE(back.GetString(QStringLiteral("install"), QStringLiteral("maptileurl")), QString(4000, u'b'));
}

void TestSettingsFaults::saveIntoReadOnlyFolder()
{
    QTemporaryDir dir;
    const QString path = SettingsFilePath(dir.path());
    QVERIFY(Document(u'a', 10).Save(path));
    const QByteArray before = ReadFile(path);
    {
        CReadOnlyFolder readOnly(dir.path());
        if (!readOnly.IsReadOnly())
            QSKIP("this file system cannot make a folder read-only for this user");
        QVERIFY(!Document(u'b', 10).Save(path));
        QVERIFY(SettingsLoad(dir.path()));
        QVERIFY(SettingsSetText(QStringLiteral("unit"), QStringLiteral("mph")));
        QVERIFY(!SettingsSave(dir.path()));
    }
    QCOMPARE(ReadFile(path), before);
}

void TestSettingsFaults::killedWhileSaving()
{
    // A child saves two large documents in turn; it is killed at once after
    // its first, second or third save, so the kill lands at a different point
    // of a write each round. The file is then always one of the two whole
    // documents, never a cut one.
    QTemporaryDir dir;
    const QString path = SettingsFilePath(dir.path());
    constexpr int kLength = 200000; // 400 KB on disk
    const QString valueA(kLength, u'A');
    const QString valueB(kLength, u'B');
    for (int round = 0; round < 12; ++round) {
        int ready[2];
        QCOMPARE(::pipe(ready), 0);
        const pid_t child = ::fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            ::close(ready[0]);
            const CIniDocument a = Document(u'A', kLength);
            const CIniDocument b = Document(u'B', kLength);
            for (int i = 0;; ++i) {
                if (!(i % 2 ? b : a).Save(path))
                    ::_exit(3);
                if (::write(ready[1], "s", 1) != 1)
                    ::_exit(4);
            }
        }
        ::close(ready[1]);
        char done[3];
        const int saves = round % 3 + 1;
        int got = 0;
        while (got < saves) {
            const ssize_t n = ::read(ready[0], done + got, size_t(saves - got));
            if (n <= 0)
                break;
            got += int(n);
        }
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        ::close(ready[0]);
        QCOMPARE(got, saves); // the child saved before it was killed
        QVERIFY(WIFSIGNALED(status));

        CIniDocument doc;
        QVERIFY(doc.LoadFile(path));
        const QString value = doc.GetString(QStringLiteral("install"), QStringLiteral("maptileurl"));
        QVERIFY2(value == valueA || value == valueB, qPrintable(QStringLiteral("round %1: %2 characters").arg(round).arg(value.size())));
        QCOMPARE(doc.GetString(QStringLiteral("install"), QStringLiteral("unit")), QStringLiteral("km"));
    }
}

QTEST_GUILESS_MAIN(TestSettingsFaults)
#include "tst_settingsfaults.moc"
