#include "app/InstanceLock.h"
#include "LauncherConstants.h"
#include "Movara_LauncherDlg.h"
#include "OrviaDownloadDlg.h"
#include "ViewerProbe.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QLockFile>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// Sets an environment variable for one scope (empty value = unset).
class CEnvOverride
{
public:
    CEnvOverride(const char* name, const QByteArray& value)
        : m_name(name), m_had(qEnvironmentVariableIsSet(name)), m_old(qgetenv(name))
    {
        if (value.isNull())
            qunsetenv(name);
        else
            qputenv(name, value);
    }
    ~CEnvOverride()
    {
        if (m_had)
            qputenv(m_name, m_old);
        else
            qunsetenv(m_name);
    }

private:
    const char* m_name;
    bool m_had;
    QByteArray m_old;
};

void Touch(const QString& path)
{
    QFile f(path);
    QVERIFY2(f.open(QIODevice::WriteOnly), qPrintable(path));
    f.write("x");
}

bool AnyTopLevelVisible()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible())
            return true;
    return false;
}

// A lock file as QLockFile writes it, naming a process that has ended.
void WriteDeadOwnerLock(const QString& lockPath)
{
    QProcess gone;
    gone.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), QStringLiteral("exit 0")});
    QVERIFY(gone.waitForStarted());
    const qint64 pid = gone.processId();
    QVERIFY(gone.waitForFinished());
    QFile f(lockPath);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(QByteArray::number(pid) + "\nKestrav_Main\n" + QSysInfo::machineHostName().toUtf8() + '\n'
            + QSysInfo::machineUniqueId() + '\n' + QSysInfo::bootUniqueId() + '\n');
}

} // namespace

class TestLauncher : public QObject
{
    Q_OBJECT
private slots:
    void lockPathFollowsViewerRule_data();
    void lockPathFollowsViewerRule();
    void lockLiveness();
    void fallbackFolderMustBePrivate();
    void decision_data();
    void decision();
    void launcherProgram_data();
    void launcherProgram();
    void commandLine_data();
    void commandLine();
    void downloadDialogTexts();
    void downloadDialogDotCycle();
};

void TestLauncher::lockPathFollowsViewerRule_data()
{
    QTest::addColumn<int>("which"); // 0 forced folder, 1 runtime folder, 2 runtime folder missing, 3 neither
    QTest::newRow("KESTRAV_LOCK_DIR") << 0;
    QTest::newRow("XDG_RUNTIME_DIR") << 1;
    QTest::newRow("runtime folder missing") << 2;
    QTest::newRow("neither set") << 3;
}

void TestLauncher::lockPathFollowsViewerRule()
{
    QFETCH(int, which);
    QTemporaryDir forced, runtime;
    QVERIFY(forced.isValid() && runtime.isValid());
    const QString missing = runtime.path() + QStringLiteral("/not-there");
    const QString tempRule = QDir::tempPath() + QStringLiteral("/kestrav-%1").arg(::getuid());

    QByteArray forcedValue, runtimeValue;
    QString expectedDir;
    switch (which) {
    case 0: forcedValue = forced.path().toUtf8(); runtimeValue = runtime.path().toUtf8(); expectedDir = forced.path(); break;
    case 1: runtimeValue = runtime.path().toUtf8(); expectedDir = runtime.path(); break;
    case 2: runtimeValue = missing.toUtf8(); expectedDir = tempRule; break;
    default: expectedDir = tempRule; break;
    }
    CEnvOverride f("KESTRAV_LOCK_DIR", forcedValue);
    CEnvOverride r("XDG_RUNTIME_DIR", runtimeValue);

    QCOMPARE(CViewerProbe::LockPath(), expectedDir + QStringLiteral("/MUTEX_MOVARA.lock"));
    // The viewer must agree, or the launcher would start a second viewer.
    QCOMPARE(CViewerProbe::LockPath(), CInstanceLock::LockPath());
}

void TestLauncher::lockLiveness()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("MUTEX_MOVARA.lock"));

    // No file: not running, and the probe leaves no file behind.
    QVERIFY(!CViewerProbe::IsLockHeld(path));
    QVERIFY(!QFile::exists(path));

    // A live holder: running, and its lock is untouched by the probe.
    {
        QLockFile held(path);
        QVERIFY(held.tryLock(0));
        QVERIFY(CViewerProbe::IsLockHeld(path));
        QVERIFY(CViewerProbe::IsLockHeld(path));
        QVERIFY(held.isLocked());
        QVERIFY(QFile::exists(path));
    }
    QVERIFY(!QFile::exists(path));
    QVERIFY(!CViewerProbe::IsLockHeld(path));

    // A lock left by a viewer that died does not count as a running viewer.
    WriteDeadOwnerLock(path);
    QVERIFY(QFile::exists(path));
    QVERIFY(!CViewerProbe::IsLockHeld(path));

    // The viewer's own lock, held through its own class, is seen.
    CEnvOverride env("KESTRAV_LOCK_DIR", dir.path().toUtf8());
    CInstanceLock viewerLock;
    QVERIFY(viewerLock.Acquire());
    QVERIFY(CViewerProbe::IsViewerRunning());
    viewerLock.Release();
    QVERIFY(!CViewerProbe::IsViewerRunning());
}

void TestLauncher::fallbackFolderMustBePrivate()
{
    // A lock in a fallback folder that others may write into is not the
    // viewer's (the viewer refuses such a folder and runs without the rule).
    QTemporaryDir temp;
    CEnvOverride tmp("TMPDIR", temp.path().toUtf8());
    CEnvOverride forced("KESTRAV_LOCK_DIR", QByteArray());
    CEnvOverride runtime("XDG_RUNTIME_DIR", QByteArray());
    QVERIFY(CViewerProbe::IsFallbackDirectory());
    const QString folder = CViewerProbe::LockDirectory();
    QCOMPARE(folder, temp.path() + QStringLiteral("/kestrav-%1").arg(::getuid()));
    QVERIFY(!CViewerProbe::IsViewerRunning()); // no folder at all
    QVERIFY(QDir().mkdir(folder));
    QVERIFY(::chmod(QFile::encodeName(folder).constData(), 0777) == 0);
    QLockFile held(CViewerProbe::LockPath());
    QVERIFY(held.tryLock(0));
    QVERIFY(!CViewerProbe::IsPrivateFolder(folder, ::getuid()));
    QVERIFY(!CViewerProbe::IsViewerRunning());
    QVERIFY(::chmod(QFile::encodeName(folder).constData(), 0700) == 0);
    QVERIFY(CViewerProbe::IsPrivateFolder(folder, ::getuid()));
    QVERIFY(!CViewerProbe::IsPrivateFolder(folder, ::getuid() + 1));
    QVERIFY(CViewerProbe::IsViewerRunning());
    // The viewer and the launcher agree on both verdicts.
    CInstanceLock viewer;
    QVERIFY(!viewer.Acquire());
    held.unlock();
    QVERIFY(viewer.Acquire());
    QVERIFY(viewer.IsHeld());
    QVERIFY(CViewerProbe::IsViewerRunning());
    viewer.Release();
}

void TestLauncher::decision_data()
{
    QTest::addColumn<bool>("viewerRunning");
    QTest::addColumn<bool>("leftovers");
    QTest::addColumn<bool>("tempUpdateIsFolder");
    QTest::newRow("viewer running, leftovers stay") << true << true << false;
    QTest::newRow("no viewer, leftovers removed") << false << true << false;
    QTest::newRow("no viewer, nothing to remove") << false << false << false;
    QTest::newRow("no viewer, __TempUpdate is a folder") << false << true << true;
}

// The launcher's pass in this process, with its real lock probe: what it
// removes, whether it starts the viewer, and that no widget ever appears.
void TestLauncher::decision()
{
    QFETCH(bool, viewerRunning);
    QFETCH(bool, leftovers);
    QFETCH(bool, tempUpdateIsFolder);

    QTemporaryDir app, lockDir;
    QVERIFY(app.isValid() && lockDir.isValid());
    CEnvOverride env("KESTRAV_LOCK_DIR", lockDir.path().toUtf8());
    QLockFile viewerLock(lockDir.filePath(QStringLiteral("MUTEX_MOVARA.lock")));
    if (viewerRunning)
        QVERIFY(viewerLock.tryLock(0));

    const QString setup = app.filePath(QStringLiteral("setup.exe"));
    const QString temp = app.filePath(QStringLiteral("__TempUpdate"));
    if (leftovers) {
        Touch(setup);
        if (tempUpdateIsFolder)
            QVERIFY(QDir().mkpath(temp + QStringLiteral("/inner")));
        else
            Touch(temp);
    }

    QStringList started;
    QList<QStringList> startedWith;
    bool setupAtStart = true, tempAtStart = true;
    CMovara_LauncherDlg launcher(app.path(), [&](const QString& program, const QStringList& arguments) {
        started << program;
        startedWith << arguments;
        setupAtStart = QFile::exists(setup);
        tempAtStart = QFile::exists(temp);
    });
    QCOMPARE(launcher.AppFolder(), app.path() + QLatin1Char('/'));
    const QStringList recordings{QStringLiteral("/card/DRIVING/A.AVI"), QStringLiteral("/home/u/b c.mp4")};
    launcher.SetViewerArguments(recordings);

    QVERIFY(!AnyTopLevelVisible());
    const bool result = launcher.OnInitDialog();
    QVERIFY(QApplication::topLevelWidgets().isEmpty());

    QCOMPARE(result, !viewerRunning);
    if (viewerRunning) {
        QVERIFY(started.isEmpty());
        QCOMPARE(QFile::exists(setup), leftovers);
        QCOMPARE(QFile::exists(temp), leftovers);
        QVERIFY(viewerLock.isLocked());
        return;
    }
    QCOMPARE(started, QStringList{app.filePath(QStringLiteral("Kestrav_Main"))});
    QCOMPARE(startedWith, QList<QStringList>{recordings});
    QVERIFY(!setupAtStart);
    // Only files are deleted; a folder of that name is left as it is.
    QCOMPARE(tempAtStart, tempUpdateIsFolder);
    QVERIFY(!QFile::exists(setup));
    QCOMPARE(QFileInfo(temp).isDir(), tempUpdateIsFolder);
}

void TestLauncher::launcherProgram_data()
{
    QTest::addColumn<bool>("viewerRunning");
    QTest::addColumn<bool>("viewerPresent");
    QTest::addColumn<bool>("folderWritable");
    QTest::newRow("viewer running") << true << true << true;
    QTest::newRow("viewer not running") << false << true << true;
    QTest::newRow("viewer program missing") << false << false << true;
    QTest::newRow("folder not writable") << false << true << false;
}

// The built launcher copied into a folder of its own, next to a stand-in
// viewer script that records what it finds beside it and the arguments it
// gets. The launcher runs from another working folder and is given one
// recording by a relative path and one by a file: URL.
//
// "Folder not writable" is an installed copy: the folder belongs to someone
// else. As root (CI) the launcher then runs as the user nobody; otherwise the
// folder is made read-only.
void TestLauncher::launcherProgram()
{
    QFETCH(bool, viewerRunning);
    QFETCH(bool, viewerPresent);
    QFETCH(bool, folderWritable);

    const QString binDir = qEnvironmentVariable("KESTRAV_BIN_DIR",
        QCoreApplication::applicationDirPath() + QStringLiteral("/../bin"));
    const QString built = binDir + QStringLiteral("/Kestrav");
    QVERIFY2(QFile::exists(built), qPrintable(built));

    QTemporaryDir app, lockDir, markerDir, work;
    QVERIFY(app.isValid() && lockDir.isValid() && markerDir.isValid() && work.isValid());
    const auto everyone = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup
        | QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther;
    const bool asNobody = !folderWritable && ::getuid() == 0;
    if (asNobody) {
        // nobody must reach the programs and write its marker.
        QVERIFY(QFile::setPermissions(app.path(), everyone));
        QVERIFY(QFile::setPermissions(work.path(), everyone));
        QVERIFY(::chmod(QFile::encodeName(markerDir.path()).constData(), 0777) == 0);
    }
    const QString launcherPath = app.filePath(QStringLiteral("Kestrav"));
    QVERIFY(QFile::copy(built, launcherPath));
    QVERIFY(QFile::setPermissions(launcherPath, everyone));

    const QString marker = markerDir.filePath(QStringLiteral("marker"));
    if (viewerPresent) {
        const QString viewer = app.filePath(QStringLiteral("Kestrav_Main"));
        QFile script(viewer);
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\n"
                     "d=$(dirname \"$0\")\n"
                     "{ [ -e \"$d/setup.exe\" ] && echo setup || echo nosetup\n"
                     "  [ -e \"$d/__TempUpdate\" ] && echo temp || echo notemp\n"
                     "  for a in \"$@\"; do echo \"$a\"; done\n"
                     "} > \"$KESTRAV_TEST_MARKER.part\" && mv \"$KESTRAV_TEST_MARKER.part\" \"$KESTRAV_TEST_MARKER\"\n");
        script.close();
        QVERIFY(QFile::setPermissions(viewer, everyone));
    }
    const QString setup = app.filePath(QStringLiteral("setup.exe"));
    const QString temp = app.filePath(QStringLiteral("__TempUpdate"));
    Touch(setup);
    Touch(temp);
    if (!folderWritable && !asNobody)
        QVERIFY(QFile::setPermissions(app.path(), QFile::ReadOwner | QFile::ExeOwner));

    QLockFile viewerLock(lockDir.filePath(QStringLiteral("MUTEX_MOVARA.lock")));
    if (viewerRunning)
        QVERIFY(viewerLock.tryLock(0));

    QProcess launcher;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("KESTRAV_LOCK_DIR"), lockDir.path());
    env.insert(QStringLiteral("KESTRAV_TEST_MARKER"), marker);
    if (asNobody)
        env.remove(QStringLiteral("XDG_RUNTIME_DIR"));
    launcher.setProcessEnvironment(env);
    launcher.setWorkingDirectory(work.path()); // the launcher must find its folder itself
    const QStringList arguments{QStringLiteral("a b.avi"), QStringLiteral("file:///card/EVENT/C.MP4")};
    if (asNobody)
        launcher.start(QStringLiteral("setpriv"), QStringList{QStringLiteral("--reuid=65534"),
            QStringLiteral("--regid=65534"), QStringLiteral("--clear-groups"), launcherPath} + arguments);
    else
        launcher.start(launcherPath, arguments);
    QVERIFY(launcher.waitForFinished(30000));
    if (!folderWritable && !asNobody)
        QVERIFY(QFile::setPermissions(app.path(), everyone));
    QCOMPARE(launcher.exitStatus(), QProcess::NormalExit);
    QCOMPARE(launcher.exitCode(), 0);
    // No message of any kind, whatever happened.
    QCOMPARE(launcher.readAllStandardOutput(), QByteArray());
    QCOMPARE(launcher.readAllStandardError(), QByteArray());

    if (viewerRunning) {
        // A started viewer would have written its marker well within this.
        QTest::qWait(1500);
        QVERIFY(!QFile::exists(marker));
        QVERIFY(QFile::exists(setup));
        QVERIFY(QFile::exists(temp));
        QVERIFY(viewerLock.isLocked());
        return;
    }
    // The leftovers go only where the launcher's user may write.
    QCOMPARE(QFile::exists(setup), !folderWritable);
    QCOMPARE(QFile::exists(temp), !folderWritable);
    if (viewerPresent) {
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(marker), 15000);
        QFile m(marker);
        QVERIFY(m.open(QIODevice::ReadOnly));
        const QByteArray found = folderWritable ? "nosetup\nnotemp\n" : "setup\ntemp\n";
        QCOMPARE(QString::fromUtf8(m.readAll()),
                 QString::fromUtf8(found) + work.filePath(QStringLiteral("a b.avi")) + QStringLiteral("\n/card/EVENT/C.MP4\n"));
    }
}

void TestLauncher::commandLine_data()
{
    QTest::addColumn<QString>("option");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("expectedOut");
    QTest::newRow("--version") << QStringLiteral("--version") << 0 << QStringLiteral("kestrav " KESTRAV_VERSION "\n");
    QTest::newRow("--help") << QStringLiteral("--help") << 0 << QStringLiteral("Usage: ");
    QTest::newRow("unknown option") << QStringLiteral("--no-such-option") << 1 << QString();
}

// --help and --version answer and end without looking for or starting a
// viewer; an unknown option is a usage error. Nothing is removed either way.
void TestLauncher::commandLine()
{
    QFETCH(QString, option);
    QFETCH(int, exitCode);
    QFETCH(QString, expectedOut);

    const QString binDir = qEnvironmentVariable("KESTRAV_BIN_DIR",
        QCoreApplication::applicationDirPath() + QStringLiteral("/../bin"));
    QTemporaryDir app;
    QVERIFY(app.isValid());
    const QString launcherPath = app.filePath(QStringLiteral("Kestrav"));
    QVERIFY(QFile::copy(binDir + QStringLiteral("/Kestrav"), launcherPath));
    QVERIFY(QFile::setPermissions(launcherPath, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    const QString marker = app.filePath(QStringLiteral("started"));
    QFile script(app.filePath(QStringLiteral("Kestrav_Main")));
    QVERIFY(script.open(QIODevice::WriteOnly));
    script.write("#!/bin/sh\ntouch \"$(dirname \"$0\")/started\"\n");
    script.close();
    QVERIFY(QFile::setPermissions(script.fileName(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    Touch(app.filePath(QStringLiteral("setup.exe")));

    QProcess launcher;
    launcher.start(launcherPath, {option});
    QVERIFY(launcher.waitForFinished(30000));
    QCOMPARE(launcher.exitCode(), exitCode);
    const QString out = QString::fromUtf8(launcher.readAllStandardOutput());
    if (exitCode == 0) {
        QVERIFY2(out.startsWith(expectedOut), qPrintable(out));
    } else {
        QVERIFY(out.isEmpty());
        QVERIFY(launcher.readAllStandardError().contains("no-such-option"));
    }
    QTest::qWait(500); // a viewer started by mistake would have left its mark by now
    QVERIFY(!QFile::exists(marker));
    QVERIFY(QFile::exists(app.filePath(QStringLiteral("setup.exe"))));
}

void TestLauncher::downloadDialogTexts()
{
    COrviaDownloadDlg dlg;
    QVERIFY(!dlg.isVisible());
    QCOMPARE(dlg.windowTitle(), QStringLiteral("Kestrav"));
    QCOMPARE(dlg.MessageEdit()->text(), QStringLiteral("설치 파일을 다운로드 중 입니다."));
    QCOMPARE(dlg.HintEdit()->text(), QStringLiteral("네트워크 접속 상태에 따라 지연 될 수 있습니다."));
    QCOMPARE(dlg.CancelButton()->text(), QStringLiteral("Cancel"));
    for (QLineEdit* e : {dlg.MessageEdit(), dlg.HintEdit()}) {
        QVERIFY(e->isReadOnly());
        QCOMPARE(e->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    }
    QCOMPARE(dlg.DotCount(), 0);

    // The edits sit inside the dialog, one above the other, the button below.
    const QRect area = dlg.rect();
    QVERIFY(area.contains(dlg.MessageEdit()->geometry()));
    QVERIFY(area.contains(dlg.HintEdit()->geometry()));
    QVERIFY(area.contains(dlg.CancelButton()->geometry()));
    QVERIFY(dlg.MessageEdit()->geometry().bottom() < dlg.HintEdit()->geometry().top());
    QVERIFY(dlg.HintEdit()->geometry().bottom() < dlg.CancelButton()->geometry().top());

    QSignalSpy rejected(&dlg, &QDialog::rejected);
    dlg.CancelButton()->click();
    QCOMPARE(rejected.count(), 1);
}

void TestLauncher::downloadDialogDotCycle()
{
    COrviaDownloadDlg dlg;
    const QString message = QStringLiteral("설치 파일을 다운로드 중 입니다.");
    const QList<int> expected{1, 2, 3, 4, 5, 6, 7, 8, 0, 1, 2};
    for (int i = 0; i < expected.size(); ++i) {
        dlg.OnTimer(Launcher::kDotTimerId);
        QCOMPARE(dlg.MessageEdit()->text(), message + QString(expected[i], QLatin1Char('.')));
    }
    // Other timers leave the text and the count alone.
    const int count = dlg.DotCount();
    dlg.OnTimer(Launcher::kDotTimerId + 1);
    QCOMPARE(dlg.DotCount(), count);
    QCOMPARE(dlg.MessageEdit()->text(), message + QStringLiteral(".."));

    // Ending the dialog starts the run afresh.
    dlg.reject();
    QCOMPARE(dlg.DotCount(), 0);
    dlg.OnTimer(Launcher::kDotTimerId);
    QCOMPARE(dlg.MessageEdit()->text(), message + QStringLiteral("."));

    // Timer 1 drives the same slot once started.
    dlg.StartDotTimer(5);
    QTRY_COMPARE(dlg.MessageEdit()->text(), message + QStringLiteral("..."));
    dlg.StopDotTimer();
}

QTEST_MAIN(TestLauncher)
#include "tst_launcher.moc"
