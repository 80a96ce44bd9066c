// Process start-up: single instance, the image library, splash hand-off, tracing.
#include "base/AutoResetEvent.h"
#include "app/CommandLine.h"
#include "app/MovaraApp.h"
#include "app/InstanceLock.h"
#include "app/SplashThread.h"
#include "support/TraceCapture.h"
#include "base/TraceLog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <thread>
#include <vector>

#include <memory>

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
QString ViewerPath()
{
    return qEnvironmentVariable("KESTRAV_BIN_DIR") + QStringLiteral("/Kestrav_Main");
}

// Starts the viewer with its lock in `lockDir`.
void StartViewer(QProcess& p, const QString& lockDir, const QString& program = ViewerPath())
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("KESTRAV_LOCK_DIR"), lockDir);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("KESTRAV_CARD_ROOTS"), lockDir + QStringLiteral("/nocard"));
    env.insert(QStringLiteral("KESTRAV_NO_SPLASH"), QStringLiteral("1"));
    p.setProcessEnvironment(env);
    p.setProgram(program);
    p.start();
}

// The viewer holds its lock once it is past start-up.
bool WaitForLock(const QString& lockDir, int ms = 10000)
{
    const QString lock = lockDir + QStringLiteral("/MUTEX_MOVARA.lock");
    for (int waited = 0; waited < ms; waited += 50) {
        if (QFile::exists(lock))
            return true;
        QTest::qWait(50);
    }
    return false;
}
// Sets (or, with a null value, unsets) an environment variable while alive.
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
} // namespace

class TestApp : public QObject
{
    Q_OBJECT
private slots:
    void secondViewerEndsAtOnce();
    void crashedViewerDoesNotBlock();
    void missingImageLibraryEndsSilently();
    void inProcessLockRules();
    void fallbackLockFolder_data();
    void fallbackLockFolder();
    void lockFolderOwner();
    void splashHandOff_data();
    void splashHandOff();
    void autoResetEvent();
    void traceFromManyThreads();
    void recordingArguments_data();
    void recordingArguments();
    void helpOrVersionDetected_data();
    void helpOrVersionDetected();
    void helpAndVersionWithoutDisplay_data();
    void helpAndVersionWithoutDisplay();
};

void TestApp::secondViewerEndsAtOnce()
{
    QTemporaryDir dir;
    QProcess first;
    StartViewer(first, dir.path());
    QVERIFY(first.waitForStarted());
    QVERIFY(WaitForLock(dir.path()));

    QProcess second;
    StartViewer(second, dir.path());
    QVERIFY(second.waitForFinished(10000));
    QCOMPARE(second.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.exitCode(), 0);
    QVERIFY(second.readAllStandardOutput().isEmpty());

    // The first keeps running; once it is gone, a new viewer starts normally.
    QCOMPARE(first.state(), QProcess::Running);
    first.terminate();
    QVERIFY(first.waitForFinished(10000));
    QProcess third;
    StartViewer(third, dir.path());
    QVERIFY(third.waitForStarted());
    QVERIFY(!third.waitForFinished(1500));
    third.kill();
    third.waitForFinished();
}

void TestApp::crashedViewerDoesNotBlock()
{
    QTemporaryDir dir;
    QProcess crashed;
    StartViewer(crashed, dir.path());
    QVERIFY(crashed.waitForStarted());
    QVERIFY(WaitForLock(dir.path()));
    ::kill(pid_t(crashed.processId()), SIGKILL);
    QVERIFY(crashed.waitForFinished(10000));
    QVERIFY(QFile::exists(dir.path() + QStringLiteral("/MUTEX_MOVARA.lock"))); // left behind

    QProcess next;
    StartViewer(next, dir.path());
    QVERIFY(next.waitForStarted());
    QVERIFY2(!next.waitForFinished(1500), "a stale lock blocked the next viewer");
    next.kill();
    next.waitForFinished();
}

void TestApp::missingImageLibraryEndsSilently()
{
    QTemporaryDir dir;
    // The viewer alone in a folder without NvImageDll.rcc.
    const QString lonely = dir.filePath(QStringLiteral("Kestrav_Main"));
    QVERIFY(QFile::copy(ViewerPath(), lonely));
    QFile::setPermissions(lonely, QFile::permissions(lonely) | QFile::ExeOwner);
    QProcess p;
    StartViewer(p, dir.path(), lonely);
    QVERIFY(p.waitForFinished(10000));
    QCOMPARE(p.exitCode(), 0);
    QVERIFY(p.readAllStandardOutput().isEmpty());
    // It ended before holding anything: the lock is free again.
    CInstanceLock lock;
    qputenv("KESTRAV_LOCK_DIR", dir.path().toLocal8Bit());
    QVERIFY(lock.Acquire());
    lock.Release();
    qunsetenv("KESTRAV_LOCK_DIR");
}

void TestApp::inProcessLockRules()
{
    QTemporaryDir dir;
    qputenv("KESTRAV_LOCK_DIR", dir.path().toLocal8Bit());
    int ran = 0;
    {
        CMovaraApp::Hooks hooks;
        hooks.runMainWindow = [&] { ++ran; return 1; };
        CMovaraApp app(hooks);
        qputenv("KESTRAV_IMAGE_LIBRARY", dir.filePath(QStringLiteral("none.rcc")).toLocal8Bit());
        QVERIFY(!app.InitInstance()); // no image library: ends before the window
        QCOMPARE(ran, 0);
        QVERIFY(app.GraphicsStarted());
        QCOMPARE(app.ExitInstance(), 0);
        QVERIFY(!app.GraphicsStarted());
        QVERIFY(!app.HoldsInstanceLock());
    }
    {
        // Another holder of the lock: start-up stops at step one and releases nothing else.
        CInstanceLock other;
        QVERIFY(other.Acquire());
        CMovaraApp::Hooks hooks;
        bool language = false;
        hooks.selectLanguage = [&] { language = true; };
        hooks.runMainWindow = [&] { ++ran; return 1; };
        CMovaraApp app(hooks);
        QVERIFY(!app.InitInstance());
        QVERIFY(!app.GraphicsStarted());
        QVERIFY(!language);
        QCOMPARE(ran, 0);
        QCOMPARE(app.ExitInstance(), 0);
        other.Release();
    }
    qunsetenv("KESTRAV_IMAGE_LIBRARY");
    qunsetenv("KESTRAV_LOCK_DIR");
}

void TestApp::fallbackLockFolder_data()
{
    QTest::addColumn<QString>("kind"); // how "<temp>/kestrav-<uid>" is found
    QTest::addColumn<bool>("held");    // whether the viewer then takes its lock there
    QTest::newRow("missing: created 0700") << "missing" << true;
    QTest::newRow("private") << "0700" << true;
    QTest::newRow("readable by others") << "0755" << true;
    QTest::newRow("world-writable") << "0777" << false;
    QTest::newRow("group-writable") << "0770" << false;
    QTest::newRow("symbolic link to a private folder") << "link" << false;
    QTest::newRow("a file") << "file" << false;
}

void TestApp::fallbackLockFolder()
{
    QFETCH(QString, kind);
    QFETCH(bool, held);
    QTemporaryDir temp, elsewhere;
    CEnvOverride tmp("TMPDIR", temp.path().toLocal8Bit());
    CEnvOverride forced("KESTRAV_LOCK_DIR", QByteArray());
    CEnvOverride runtime("XDG_RUNTIME_DIR", QByteArray());
    const QString folder = temp.path() + QStringLiteral("/kestrav-%1").arg(::getuid());
    QCOMPARE(CInstanceLock::LockDirectory(), folder);
    QVERIFY(CInstanceLock::IsFallbackDirectory());
    if (kind == "link") {
        QVERIFY(QFile::link(elsewhere.path(), folder));
    } else if (kind == "file") {
        QFile f(folder);
        QVERIFY(f.open(QIODevice::WriteOnly));
    } else if (kind != "missing") {
        QVERIFY(QDir().mkdir(folder));
        QVERIFY(::chmod(QFile::encodeName(folder).constData(), mode_t(kind.toUInt(nullptr, 8))) == 0);
    }

    // A rival holds a lock in the folder where it can (another user's
    // process, as far as this folder is concerned).
    std::unique_ptr<QLockFile> rival;
    if (kind != "missing" && kind != "file") {
        rival = std::make_unique<QLockFile>(folder + QStringLiteral("/MUTEX_MOVARA.lock"));
        QVERIFY(rival->tryLock(0));
    }
    CTraceCapture trace;
    CInstanceLock lock;
    if (held && rival) {
        QVERIFY(!lock.Acquire()); // a lock in our own folder is a viewer of ours
        rival.reset();
    }
    QVERIFY(lock.Acquire()); // never kept from running by a folder we do not trust
    QCOMPARE(lock.IsHeld(), held);
    QCOMPARE(trace.LinesStartingWith(QStringLiteral("Kestrav : lock folder")).size(), held ? 0 : 1);
    if (kind == "missing") {
        QFileInfo info(folder);
        QVERIFY(info.isDir());
        QCOMPARE(int(info.permissions() & (QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup | QFile::ReadOther
                                          | QFile::WriteOther | QFile::ExeOther)), 0);
    }
    lock.Release();
}

void TestApp::lockFolderOwner()
{
    struct stat st {};
    st.st_mode = S_IFDIR | 0700;
    st.st_uid = ::getuid();
    QCOMPARE(CInstanceLock::JudgeFolder(st, ::getuid()), CInstanceLock::EFolder::Private);
    QCOMPARE(CInstanceLock::JudgeFolder(st, ::getuid() + 1), CInstanceLock::EFolder::WrongOwner);
    st.st_mode = S_IFDIR | 0702;
    QCOMPARE(CInstanceLock::JudgeFolder(st, ::getuid()), CInstanceLock::EFolder::OpenToOthers);
    st.st_mode = S_IFLNK | 0777;
    QCOMPARE(CInstanceLock::JudgeFolder(st, ::getuid()), CInstanceLock::EFolder::NotADirectory);
}

void TestApp::splashHandOff_data()
{
    QTest::addColumn<int>("result");
    QTest::addColumn<bool>("signalled");
    QTest::newRow("ok") << 1 << true;
    QTest::newRow("cancel") << 2 << false;
    QTest::newRow("failed") << -1 << false;
}

void TestApp::splashHandOff()
{
    QFETCH(int, result);
    QFETCH(bool, signalled);
    CAutoResetEvent showMainDlg;
    CTraceCapture trace;
    int threadResult = 0;
    std::thread t([&] { threadResult = SplashThreadBody([result] { return result; }, showMainDlg); });
    QCOMPARE(showMainDlg.Wait(signalled ? 5000 : 200), signalled);
    t.join();
    QCOMPARE(threadResult, 1);
    QCOMPARE(trace.Contains(QStringLiteral("Kestrav----->Splash disappeard event set")), signalled);
}

void TestApp::autoResetEvent()
{
    CAutoResetEvent ev;
    QVERIFY(!ev.Wait(0));
    ev.Set();
    QVERIFY(ev.IsSignalled());
    QVERIFY(ev.Wait(0));
    QVERIFY(!ev.Wait(0)); // consumed: auto-reset
    ev.Set();
    ev.Reset();
    QVERIFY(!ev.Wait(10));

    // One Set releases exactly one of two waiters.
    std::atomic<int> released{0};
    std::thread a([&] { if (ev.Wait(400)) ++released; });
    std::thread b([&] { if (ev.Wait(400)) ++released; });
    QTest::qWait(50);
    ev.Set();
    a.join();
    b.join();
    QCOMPARE(released.load(), 1);
}

void TestApp::traceFromManyThreads()
{
    CTraceCapture trace;
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([t] {
            for (int i = 0; i < 250; ++i)
                TraceLogF("Kestrav : thread %d line %d", t, i);
        });
    for (auto& th : threads)
        th.join();
    QCOMPARE(trace.Lines().size(), 1000);
    QVERIFY(trace.Contains(QStringLiteral("Kestrav : thread 3 line 249")));
}

QTEST_GUILESS_MAIN(TestApp)
// Recordings on the command line reach the main window as absolute paths.
void TestApp::recordingArguments_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QStringList>("expected");
    const QString w = QStringLiteral("/home/u/work");
    QTest::newRow("none") << QStringList{} << QStringList{};
    QTest::newRow("relative") << QStringList{QStringLiteral("a.avi"), QStringLiteral("../card/b c.MP4")}
                              << QStringList{w + QStringLiteral("/a.avi"), QStringLiteral("/home/u/card/b c.MP4")};
    QTest::newRow("absolute kept, order kept")
        << QStringList{QStringLiteral("/z/2.avi"), QStringLiteral("/a/1.avi")}
        << QStringList{QStringLiteral("/z/2.avi"), QStringLiteral("/a/1.avi")};
    QTest::newRow("file URL") << QStringList{QStringLiteral("file:///media/u/CARD/DRIVING/%ED%95%9C.AVI")}
                              << QStringList{QStringLiteral("/media/u/CARD/DRIVING/\uD55C.AVI")};
    QTest::newRow("empty dropped") << QStringList{QString(), QStringLiteral("x.avi")}
                                   << QStringList{w + QStringLiteral("/x.avi")};
    QTest::newRow("percent in a plain path is a character")
        << QStringList{QStringLiteral("/tmp/100%25.avi")} << QStringList{QStringLiteral("/tmp/100%25.avi")};
}

void TestApp::recordingArguments()
{
    QFETCH(QStringList, arguments);
    QFETCH(QStringList, expected);
    QCOMPARE(RecordingPathsFromArguments(arguments, QStringLiteral("/home/u/work")), expected);
}

void TestApp::helpOrVersionDetected_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("asks");
    QTest::newRow("nothing") << QStringList{} << false;
    QTest::newRow("files") << QStringList{QStringLiteral("a.avi"), QStringLiteral("b.mp4")} << false;
    QTest::newRow("--help") << QStringList{QStringLiteral("a.avi"), QStringLiteral("--help")} << true;
    QTest::newRow("-h") << QStringList{QStringLiteral("-h")} << true;
    QTest::newRow("--help-all") << QStringList{QStringLiteral("--help-all")} << true;
    QTest::newRow("--version") << QStringList{QStringLiteral("--version")} << true;
    QTest::newRow("-v") << QStringList{QStringLiteral("-v")} << true;
    QTest::newRow("a file named --help after --") << QStringList{QStringLiteral("--"), QStringLiteral("--help")} << false;
    QTest::newRow("--helpful is no help") << QStringList{QStringLiteral("--helpful")} << false;
}

void TestApp::helpOrVersionDetected()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, asks);
    std::vector<QByteArray> storage{QByteArray("Kestrav_Main")};
    for (const QString& a : arguments)
        storage.push_back(a.toLocal8Bit());
    std::vector<const char*> argv;
    for (const QByteArray& a : storage)
        argv.push_back(a.constData());
    QCOMPARE(AsksHelpOrVersion(int(argv.size()), argv.data()), asks);
}

void TestApp::helpAndVersionWithoutDisplay_data()
{
    QTest::addColumn<QString>("option");
    QTest::addColumn<QString>("expectedStart");
    QTest::newRow("--version") << QStringLiteral("--version") << QStringLiteral("Kestrav_Main " KESTRAV_VERSION "\n");
    QTest::newRow("--help") << QStringLiteral("--help") << QStringLiteral("Usage: ");
}

// The viewer answers --help and --version in a terminal without a display
// (the X11 platform with no DISPLAY would end a GUI start-up) and starts nothing.
void TestApp::helpAndVersionWithoutDisplay()
{
    QFETCH(QString, option);
    QFETCH(QString, expectedStart);
    QTemporaryDir dir;
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.insert(QStringLiteral("KESTRAV_LOCK_DIR"), dir.path());
    p.setProcessEnvironment(env);
    p.start(ViewerPath(), {option});
    QVERIFY(p.waitForFinished(10000));
    QCOMPARE(p.exitStatus(), QProcess::NormalExit);
    QCOMPARE(p.exitCode(), 0);
    const QString out = QString::fromUtf8(p.readAllStandardOutput());
    QVERIFY2(out.startsWith(expectedStart), qPrintable(out));
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("MUTEX_MOVARA.lock"))));
}

#include "tst_app.moc"
