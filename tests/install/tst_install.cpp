// The installation as a user gets it: `cmake --install` into a temporary
// prefix, the installed launcher and viewer run from there (not from the build
// folder), the desktop entry and the AppStream metadata, the map page with the
// system's Leaflet, and the Debian package's files against the installation's.
#include "map/WebBrowser2.h"
#include "map/WebEnvironment.h"
#include "writers/DemoCard.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QDomDocument>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <memory>

#include <climits>
#include <unistd.h>

namespace {

const QString kAppId = QStringLiteral(KESTRAV_APP_ID);
const QString kPrivateDir = QStringLiteral(KESTRAV_INSTALL_PRIVATEDIR);
const QString kBuildDir = QStringLiteral(KESTRAV_BUILD_DIR);
const QString kSourceDir = QStringLiteral(KESTRAV_SOURCE_DIR_PATH);
const QString kLeafletDir = QStringLiteral(KESTRAV_LEAFLET_DIR);

// Runs a program to its end; false when it did not start or end in time.
bool Run(QProcess& p, const QString& program, const QStringList& args, int timeoutMs = 60000)
{
    p.start(program, args);
    return p.waitForStarted() && p.waitForFinished(timeoutMs);
}

// Every file and link below `root` (real folders left out), relative, sorted.
QStringList Entries(const QString& root)
{
    QStringList out;
    QDirIterator it(root, QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        if (info.isSymLink() || !info.isDir())
            out << QDir(root).relativeFilePath(info.filePath());
    }
    out.sort();
    return out;
}

// Path, size, time and content digest of every entry: what a run must not change.
QStringList Snapshot(const QString& root)
{
    QStringList out;
    QDirIterator it(root, QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        QString line = QDir(root).relativeFilePath(info.filePath()) + QLatin1Char(' ')
            + QString::number(info.size()) + QLatin1Char(' ')
            + QString::number(info.lastModified().toMSecsSinceEpoch());
        if (info.isFile() && !info.isSymLink()) {
            QFile f(info.filePath());
            if (f.open(QIODevice::ReadOnly))
                line += QLatin1Char(' ') + QString::fromLatin1(QCryptographicHash::hash(f.readAll(),
                                                               QCryptographicHash::Sha1).toHex());
        }
        out << line;
    }
    out.sort();
    return out;
}

QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The value of `key` in the [Desktop Entry] group, or a null string.
QString DesktopValue(const QByteArray& entry, const QString& key)
{
    bool inMain = false;
    for (const QString& line : QString::fromUtf8(entry).split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1Char('[')))
            inMain = line == QLatin1String("[Desktop Entry]");
        else if (inMain && line.startsWith(key + QLatin1Char('=')))
            return line.mid(key.size() + 1);
    }
    return QString();
}

// The target a symbolic link holds, as written (not resolved).
QString ReadLink(const QString& path)
{
    char buf[PATH_MAX];
    const ssize_t n = ::readlink(QFile::encodeName(path).constData(), buf, sizeof buf);
    return n < 0 ? QString() : QFile::decodeName(QByteArray(buf, int(n)));
}

// A process's state letter from /proc (empty once it is gone).
QString ProcessState(qint64 pid)
{
    const QByteArray stat = ReadAll(QStringLiteral("/proc/%1/stat").arg(pid));
    const int close = stat.lastIndexOf(')');
    return close < 0 ? QString() : QString::fromLatin1(stat.mid(close + 2, 1));
}

bool ProcessGone(qint64 pid)
{
    const QString s = ProcessState(pid);
    return s.isEmpty() || s == QLatin1String("Z") || s == QLatin1String("X");
}

} // namespace

class TestInstall : public QObject
{
    Q_OBJECT

public:
    // Before the QApplication, as the viewer prepares itself for the web
    // engine; the map's cache goes into a folder of the test.
    static void initMain()
    {
        s_cache = new QTemporaryDir;
        qputenv("XDG_CACHE_HOME", s_cache->path().toLocal8Bit());
        PrepareWebEngineEnvironment();
    }

private:
    static inline QTemporaryDir* s_cache = nullptr;
    QTemporaryDir m_prefixDir;
    QTemporaryDir m_cardDir;
    QString m_prefix;
    QStringList m_manifest;

    QString Installed(const QString& relative) const { return m_prefix + QLatin1Char('/') + relative; }

    // What the installation holds, relative to its prefix.
    QStringList ExpectedEntries() const
    {
        QStringList e{
            QStringLiteral("bin/kestrav"),
            QStringLiteral("bin/kestrav-export"),
            kPrivateDir + QStringLiteral("/Kestrav"),
            kPrivateDir + QStringLiteral("/Kestrav_Main"),
            kPrivateDir + QStringLiteral("/NvImageDll.rcc"),
            kPrivateDir + QStringLiteral("/mapView.htm"),
            kPrivateDir + QStringLiteral("/leaflet"),
            QStringLiteral("share/applications/") + kAppId + QStringLiteral(".desktop"),
            QStringLiteral("share/metainfo/") + kAppId + QStringLiteral(".metainfo.xml"),
            QStringLiteral("share/icons/hicolor/scalable/apps/") + kAppId + QStringLiteral(".svg"),
            QStringLiteral("share/man/man1/kestrav.1.gz"),
            QStringLiteral("share/man/man1/kestrav-export.1.gz"),
            QStringLiteral("share/doc/kestrav/copyright"),
            QStringLiteral("share/doc/kestrav/changelog.Debian.gz"),
            QStringLiteral("share/lintian/overrides/kestrav"),
        };
        for (int size : {16, 24, 32, 48, 64, 128, 256})
            e << QStringLiteral("share/icons/hicolor/%1x%1/apps/").arg(size) + kAppId + QStringLiteral(".png");
        e.sort();
        return e;
    }

    // The environment of an installed program: nothing of the build tree
    // (no build or source folder in any variable, PATH with the prefix and
    // the system only), the user's folders inside `home`.
    QProcessEnvironment UserEnvironment(const QString& home) const
    {
        QProcessEnvironment env;
        const QProcessEnvironment system = QProcessEnvironment::systemEnvironment();
        for (const QString& key : system.keys()) {
            const QString value = system.value(key);
            if (key.startsWith(QLatin1String("KESTRAV_")) || value.contains(kBuildDir) || value.contains(kSourceDir))
                continue;
            env.insert(key, value);
        }
        env.insert(QStringLiteral("PATH"), Installed(QStringLiteral("bin")) + QStringLiteral(":/usr/bin:/bin"));
        env.insert(QStringLiteral("HOME"), home);
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/.config"));
        env.insert(QStringLiteral("XDG_CACHE_HOME"), home + QStringLiteral("/.cache"));
        env.insert(QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/.local/share"));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), home + QStringLiteral("/run"));
        QDir().mkpath(home + QStringLiteral("/run"));
        QFile::setPermissions(home + QStringLiteral("/run"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        return env;
    }

private slots:
    void initTestCase();
    void layout();
    void programFolderLinks();
    void desktopEntry();
    void appStreamMetadata();
    void icons();
    void commandLine_data();
    void commandLine();
    void installedViewerRuns();
    void mapPageUsesSystemLeaflet();
    void packageHoldsTheInstallation();
};

void TestInstall::initTestCase()
{
    QVERIFY(m_prefixDir.isValid() && m_cardDir.isValid());
    m_prefix = m_prefixDir.path() + QStringLiteral("/prefix");
    QProcess install;
    QVERIFY(Run(install, QStringLiteral(KESTRAV_CMAKE_COMMAND),
                {QStringLiteral("--install"), kBuildDir, QStringLiteral("--prefix"), m_prefix}));
    QVERIFY2(install.exitCode() == 0, install.readAllStandardError().constData());
    // The manifest of this installation, as `cmake --install` records it.
    for (const QString& line : QString::fromUtf8(ReadAll(kBuildDir + QStringLiteral("/install_manifest.txt")))
                                   .split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        m_manifest << QDir(m_prefix).relativeFilePath(line);
    m_manifest.sort();

    // A small card: short recordings are enough to start the viewer on.
    CDemoCardOptions options;
    options.maxSeconds = 2.0;
    QString error;
    QVERIFY2(WriteDemoCard(m_cardDir.path(), options, nullptr, &error), qPrintable(error));
}

// Exactly the programs, the viewer's program folder and the desktop files;
// no development tool; the manifest lists all of it.
void TestInstall::layout()
{
    QCOMPARE(Entries(m_prefix), ExpectedEntries());
    QCOMPARE(m_manifest, ExpectedEntries());
    for (const QString& program : {QStringLiteral("bin/kestrav-export"), kPrivateDir + QStringLiteral("/Kestrav"),
                                   kPrivateDir + QStringLiteral("/Kestrav_Main")}) {
        const QFileInfo info(Installed(program));
        QVERIFY2(info.isFile() && info.isExecutable() && !info.isSymLink(), qPrintable(program));
    }
    // The image library is the one the build drew; the map page is ours.
    QCOMPARE(ReadAll(Installed(kPrivateDir + QStringLiteral("/NvImageDll.rcc"))),
             ReadAll(kBuildDir + QStringLiteral("/bin/NvImageDll.rcc")));
    QCOMPARE(ReadAll(Installed(kPrivateDir + QStringLiteral("/mapView.htm"))),
             ReadAll(kSourceDir + QStringLiteral("/viewer/map/mapView.htm")));
    // Text files name nothing of the build or source tree.
    for (const QString& text : ExpectedEntries()) {
        if (!text.startsWith(QLatin1String("share/")) || text.endsWith(QLatin1String(".png"))
            || text.endsWith(QLatin1String(".gz")))
            continue;
        const QByteArray bytes = ReadAll(Installed(text));
        QVERIFY2(!bytes.isEmpty(), qPrintable(text));
        QVERIFY2(!bytes.contains(kBuildDir.toUtf8()) && !bytes.contains(kSourceDir.toUtf8()), qPrintable(text));
    }
    // Manual pages and the changelog are gzip files.
    for (const QString& gz : ExpectedEntries())
        if (gz.endsWith(QLatin1String(".gz")))
            QVERIFY2(ReadAll(Installed(gz)).startsWith("\x1f\x8b"), qPrintable(gz));
}

// bin/kestrav is the launcher; the map page's "leaflet/" is the system's
// Leaflet (absolute here: the temporary prefix does not hold it).
void TestInstall::programFolderLinks()
{
    const QFileInfo command(Installed(QStringLiteral("bin/kestrav")));
    QVERIFY(command.isSymLink());
    QCOMPARE(QFile::symLinkTarget(command.filePath()), Installed(kPrivateDir + QStringLiteral("/Kestrav")));
    QCOMPARE(ReadLink(command.filePath()), QStringLiteral("../") + kPrivateDir + QStringLiteral("/Kestrav"));

    const QFileInfo leaflet(Installed(kPrivateDir + QStringLiteral("/leaflet")));
    QVERIFY(leaflet.isSymLink());
    QCOMPARE(ReadLink(leaflet.filePath()), kLeafletDir);
    for (const char* file : {"leaflet.js", "leaflet.css", "images/marker-icon.png"})
        QVERIFY2(QFileInfo(leaflet.filePath() + QLatin1Char('/') + QLatin1String(file)).isReadable(), file);
}

void TestInstall::desktopEntry()
{
    const QString path = Installed(QStringLiteral("share/applications/") + kAppId + QStringLiteral(".desktop"));
    QProcess validate;
    QVERIFY2(Run(validate, QStringLiteral("desktop-file-validate"), {path}),
             "desktop-file-validate is missing: run scripts/setup-deps.sh");
    QCOMPARE(validate.exitCode(), 0);
    QCOMPARE(validate.readAllStandardOutput() + validate.readAllStandardError(), QByteArray());

    const QByteArray entry = ReadAll(path);
    QCOMPARE(DesktopValue(entry, QStringLiteral("Exec")), QStringLiteral("kestrav %F"));
    QCOMPARE(DesktopValue(entry, QStringLiteral("TryExec")), QStringLiteral("kestrav"));
    QCOMPARE(DesktopValue(entry, QStringLiteral("Icon")), kAppId);
    // The viewer's window class is its application name, "Kestrav".
    QCOMPARE(DesktopValue(entry, QStringLiteral("StartupWMClass")), QStringLiteral("Kestrav"));
    const QStringList types = DesktopValue(entry, QStringLiteral("MimeType")).split(QLatin1Char(';'), Qt::SkipEmptyParts);
    QVERIFY(types.contains(QStringLiteral("video/x-msvideo")));
    QVERIFY(types.contains(QStringLiteral("video/mp4")));
}

void TestInstall::appStreamMetadata()
{
    const QString path = Installed(QStringLiteral("share/metainfo/") + kAppId + QStringLiteral(".metainfo.xml"));
    QProcess validate;
    QVERIFY2(Run(validate, QStringLiteral("appstreamcli"), {QStringLiteral("validate"), QStringLiteral("--no-net"),
                                                            QStringLiteral("--no-color"), path}),
             "appstreamcli is missing: run scripts/setup-deps.sh");
    QVERIFY2(validate.exitCode() == 0, validate.readAllStandardOutput().constData());

    QDomDocument doc;
    QVERIFY(doc.setContent(ReadAll(path)));
    const QDomElement component = doc.documentElement();
    QCOMPARE(component.attribute(QStringLiteral("type")), QStringLiteral("desktop-application"));
    QCOMPARE(component.firstChildElement(QStringLiteral("id")).text(), kAppId);
    QCOMPARE(component.firstChildElement(QStringLiteral("launchable")).text(), kAppId + QStringLiteral(".desktop"));
    const QDomElement release = component.firstChildElement(QStringLiteral("releases")).firstChildElement(QStringLiteral("release"));
    QCOMPARE(release.attribute(QStringLiteral("version")), QStringLiteral(KESTRAV_VERSION));
}

// Each PNG has its folder's size and shows the mark (opaque centre,
// transparent corner); the scalable one is an SVG picture of 256 units.
void TestInstall::icons()
{
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        const QImage icon(Installed(QStringLiteral("share/icons/hicolor/%1x%1/apps/").arg(size) + kAppId + QStringLiteral(".png")));
        QCOMPARE(icon.size(), QSize(size, size));
        QCOMPARE(qAlpha(icon.pixel(size / 2, size / 2)), 255);
        QCOMPARE(qAlpha(icon.pixel(0, 0)), 0);
    }
    QDomDocument svg;
    QVERIFY(svg.setContent(ReadAll(Installed(QStringLiteral("share/icons/hicolor/scalable/apps/") + kAppId + QStringLiteral(".svg")))));
    QCOMPARE(svg.documentElement().tagName(), QStringLiteral("svg"));
    QCOMPARE(svg.documentElement().attribute(QStringLiteral("viewBox")), QStringLiteral("0 0 256 256"));
    int shapes = 0;
    for (const char* tag : {"path", "circle", "ellipse", "polyline", "rect"})
        shapes += svg.documentElement().elementsByTagName(QLatin1String(tag)).count();
    QVERIFY(shapes > 5);
}

void TestInstall::commandLine_data()
{
    QTest::addColumn<QString>("program"); // relative to the prefix, or "build:" for a development tool
    QTest::addColumn<QString>("name");
    QTest::newRow("kestrav") << QStringLiteral("bin/kestrav") << QStringLiteral("kestrav");
    QTest::newRow("Kestrav_Main") << kPrivateDir + QStringLiteral("/Kestrav_Main") << QStringLiteral("Kestrav_Main");
    QTest::newRow("kestrav-export") << QStringLiteral("bin/kestrav-export") << QStringLiteral("kestrav-export");
    QTest::newRow("kestrav-democard") << QStringLiteral("build:kestrav-democard") << QStringLiteral("kestrav-democard");
}

// --version prints the name and the project's version, --help a usage text;
// neither needs a display.
void TestInstall::commandLine()
{
    QFETCH(QString, program);
    QFETCH(QString, name);
    const QString path = program.startsWith(QLatin1String("build:"))
        ? kBuildDir + QStringLiteral("/bin/") + program.mid(6) : Installed(program);
    QTemporaryDir home;
    QProcessEnvironment env = UserEnvironment(home.path());
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));

    QProcess version;
    version.setProcessEnvironment(env);
    QVERIFY(Run(version, path, {QStringLiteral("--version")}, 15000));
    QCOMPARE(version.exitCode(), 0);
    QCOMPARE(QString::fromUtf8(version.readAllStandardOutput()), name + QStringLiteral(" " KESTRAV_VERSION "\n"));

    QProcess help;
    help.setProcessEnvironment(env);
    QVERIFY(Run(help, path, {QStringLiteral("--help")}, 15000));
    QCOMPARE(help.exitCode(), 0);
    const QString text = QString::fromUtf8(help.readAllStandardOutput() + help.readAllStandardError());
    QVERIFY2(text.contains(QStringLiteral("--version")) && text.contains(QStringLiteral("usage"), Qt::CaseInsensitive),
             qPrintable(text));
}

// `kestrav FILE` from the prefix, in a working folder outside the build
// tree: the launcher starts the installed viewer, which takes its image
// library from its own folder, gets the recording, shows its window (the
// screenshot) and writes nothing into the installation.
void TestInstall::installedViewerRuns()
{
    QTemporaryDir home, work;
    QVERIFY(home.isValid() && work.isValid());
    const QString lockDir = home.filePath(QStringLiteral("lock"));
    QVERIFY(QDir().mkpath(lockDir));
    const QString shot = work.filePath(QStringLiteral("shot.png"));
    const QString trace = work.filePath(QStringLiteral("trace.log"));
    QDirIterator avis(m_cardDir.path(), {QStringLiteral("*.AVI"), QStringLiteral("*.avi")}, QDir::Files,
                      QDirIterator::Subdirectories);
    QVERIFY(avis.hasNext());
    QVERIFY(QFile::copy(avis.next(), work.filePath(QStringLiteral("here.avi"))));
    const QStringList before = Snapshot(m_prefix);

    QProcessEnvironment env = UserEnvironment(home.path());
    env.insert(QStringLiteral("KESTRAV_LOCK_DIR"), lockDir);
    env.insert(QStringLiteral("KESTRAV_CARD_ROOTS"), m_cardDir.path());
    env.insert(QStringLiteral("KESTRAV_NO_SPLASH"), QStringLiteral("1"));
    env.insert(QStringLiteral("KESTRAV_SCREENSHOT"), shot);
    env.insert(QStringLiteral("KESTRAV_SCREENSHOT_DELAY"), QStringLiteral("3"));
    env.insert(QStringLiteral("KESTRAV_CONNECTIVITY_HOST"), QStringLiteral("127.0.0.1:9"));
    env.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("kestrav.trace.debug=true"));
    QProcess launcher;
    launcher.setProcessEnvironment(env);
    launcher.setWorkingDirectory(work.path());
    // The viewer inherits the launcher's output: the trace lands in the file.
    launcher.setStandardOutputFile(work.filePath(QStringLiteral("out.log")));
    launcher.setStandardErrorFile(trace);
    // By name, through PATH, with the recording relative to the working folder.
    QVERIFY(Run(launcher, QStringLiteral("/bin/sh"), {QStringLiteral("-c"), QStringLiteral("exec kestrav here.avi")}, 15000));
    QCOMPARE(launcher.exitCode(), 0);

    // The viewer holds its lock: the lock file names its process.
    const QString lock = lockDir + QStringLiteral("/MUTEX_MOVARA.lock");
    QTRY_VERIFY_WITH_TIMEOUT(ReadAll(lock).contains('\n'), 20000);
    const qint64 pid = ReadAll(lock).split('\n').first().toLongLong();
    QVERIFY(pid > 0);
    const QString exe = QFile::symLinkTarget(QStringLiteral("/proc/%1/exe").arg(pid));
    QCOMPARE(exe, QFileInfo(Installed(kPrivateDir + QStringLiteral("/Kestrav_Main"))).canonicalFilePath());
    QCOMPARE(QFile::symLinkTarget(QStringLiteral("/proc/%1/cwd").arg(pid)), QFileInfo(work.path()).canonicalFilePath());
    const QList<QByteArray> cmdline = ReadAll(QStringLiteral("/proc/%1/cmdline").arg(pid)).split('\0');
    QVERIFY2(cmdline.contains(work.filePath(QStringLiteral("here.avi")).toLocal8Bit()), cmdline.join(' ').constData());
    // The image library mapped is the installed one, and nothing of the
    // build or source tree is mapped at all.
    const QString rcc = QFileInfo(Installed(kPrivateDir + QStringLiteral("/NvImageDll.rcc"))).canonicalFilePath();
    QByteArray maps;
    QTRY_VERIFY_WITH_TIMEOUT((maps = ReadAll(QStringLiteral("/proc/%1/maps").arg(pid))).contains(rcc.toLocal8Bit())
                                 || ProcessGone(pid), 20000);
    QVERIFY2(maps.contains(rcc.toLocal8Bit()), "the viewer ended before it mapped its image library");
    QVERIFY(!maps.contains(kBuildDir.toLocal8Bit()));
    QVERIFY(!maps.contains(kSourceDir.toLocal8Bit()));

    // The screenshot diagnostic saves the window and closes it.
    QTRY_VERIFY_WITH_TIMEOUT(ProcessGone(pid), 60000);
    const QImage picture(shot);
    QVERIFY2(!picture.isNull(), "no screenshot");
    QVERIFY(picture.width() >= 900 && picture.height() >= 650);
    QSet<QRgb> colours;
    for (int y = 0; y < picture.height(); y += 7)
        for (int x = 0; x < picture.width(); x += 7)
            colours.insert(picture.pixel(x, y));
    QVERIFY2(colours.size() > 40, "the screenshot shows no skinned window");

    const QString log = QString::fromUtf8(ReadAll(trace));
    QVERIFY2(log.contains(QStringLiteral("to open after start-up: ") + work.filePath(QStringLiteral("here.avi"))),
             qPrintable(log.left(3000)));
    // Settings come from the user's configuration folder.
    QVERIFY(log.contains(QStringLiteral("settings ") + home.path() + QStringLiteral("/.config/kestrav/kestrav.ini")));
    // A map page, when the main window loads one, is the installed one.
    const QRegularExpression mapPage(QStringLiteral("map page (file:\\S+)"));
    for (const QRegularExpressionMatch& m : mapPage.globalMatch(log))
        QCOMPARE(QUrl(m.captured(1)).toLocalFile(), Installed(kPrivateDir + QStringLiteral("/mapView.htm")));
    QVERIFY(!log.contains(kBuildDir));
    QVERIFY(!log.contains(kSourceDir));

    // Nothing was written into the installation.
    QCOMPARE(Snapshot(m_prefix), before);
    QVERIFY(!QFile::exists(lock));
}

// The installed map page finds Leaflet through the program folder's link to
// the system's copy and reports its map ready; the same page without Leaflet
// beside it does not.
void TestInstall::mapPageUsesSystemLeaflet()
{
    const CMapTileSource noTiles{QStringLiteral("http://127.0.0.1:9/{z}/{x}/{y}.png"), QStringLiteral("test")};
    {
        CWebBrowser2 browser(nullptr, true);
        browser.SetTileSource(noTiles);
        browser.resize(320, 240);
        browser.show();
        QSignalSpy failed(&browser, &CWebBrowser2::PageLoadFailed);
        browser.Navigate(Installed(kPrivateDir + QStringLiteral("/mapView.htm")));
        QTRY_VERIFY_WITH_TIMEOUT(browser.IsPageReady() || !failed.isEmpty(), 60000);
        QVERIFY(browser.IsPageReady());
    }
    QTemporaryDir lonely;
    const QString page = lonely.filePath(QStringLiteral("mapView.htm"));
    QVERIFY(QFile::copy(Installed(kPrivateDir + QStringLiteral("/mapView.htm")), page));
    CWebBrowser2 browser(nullptr, true);
    browser.SetTileSource(noTiles);
    browser.resize(320, 240);
    browser.show();
    QSignalSpy failed(&browser, &CWebBrowser2::PageLoadFailed);
    browser.Navigate(page);
    QTRY_VERIFY_WITH_TIMEOUT(!failed.isEmpty() || browser.IsPageReady(), 60000);
    QVERIFY(!browser.IsPageReady());
}

// CPack's Debian package holds what `cmake --install` installs (under /usr,
// where the Leaflet link is relative) and depends on what the viewer loads
// by name.
void TestInstall::packageHoldsTheInstallation()
{
    QTemporaryDir out;
    QVERIFY(out.isValid());
    QProcess cpack;
    QVERIFY(Run(cpack, QStringLiteral(KESTRAV_CPACK_COMMAND),
                {QStringLiteral("--config"), kBuildDir + QStringLiteral("/CPackConfig.cmake"), QStringLiteral("-G"),
                 QStringLiteral("DEB"), QStringLiteral("-B"), out.path()},
                120000));
    QVERIFY2(cpack.exitCode() == 0, (cpack.readAllStandardOutput() + cpack.readAllStandardError()).constData());
    const QStringList debs = QDir(out.path()).entryList({QStringLiteral("kestrav_*.deb")}, QDir::Files);
    QCOMPARE(debs.size(), 1);
    const QString deb = out.filePath(debs.first());
    QVERIFY2(debs.first().startsWith(QStringLiteral("kestrav_" KESTRAV_VERSION "-")), qPrintable(debs.first()));

    QProcess contents;
    QVERIFY(Run(contents, QStringLiteral("dpkg-deb"), {QStringLiteral("--contents"), deb}));
    QCOMPARE(contents.exitCode(), 0);
    QStringList files;
    QString leafletTarget;
    for (const QString& line : QString::fromUtf8(contents.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        if (line.startsWith(QLatin1Char('d')))
            continue;
        // "-rw-r--r-- root/root 123 2024-01-01 00:00 ./usr/x" or "... ./usr/link -> target"
        const QStringList parts = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        QVERIFY2(parts.size() >= 6 && parts[5].startsWith(QLatin1String("./usr/")), qPrintable(line));
        QCOMPARE(parts[1], QStringLiteral("root/root"));
        const QString path = parts[5].mid(6);
        files << path;
        if (path == kPrivateDir + QStringLiteral("/leaflet"))
            leafletTarget = parts.value(7);
    }
    files.sort();
    QCOMPARE(files, ExpectedEntries());
    // Relative inside /usr, and it reaches the system's Leaflet from /usr/<private dir>.
    QVERIFY(QDir::isRelativePath(leafletTarget));
    QCOMPARE(QDir::cleanPath(QStringLiteral("/usr/") + kPrivateDir + QLatin1Char('/') + leafletTarget), kLeafletDir);

    QProcess depends;
    QVERIFY(Run(depends, QStringLiteral("dpkg-deb"), {QStringLiteral("--field"), deb, QStringLiteral("Depends")}));
    const QString field = QString::fromUtf8(depends.readAllStandardOutput());
    for (const char* runtime : {"gstreamer1.0-plugins-base", "gstreamer1.0-plugins-good", "gstreamer1.0-plugins-bad",
                                "gstreamer1.0-libav", "libqt6webenginecore6-bin", "qt6-qpa-plugins", "fonts-nanum",
                                "libjs-leaflet", "libqt6core6"})
        QVERIFY2(field.contains(QLatin1String(runtime)), runtime);
}

QTEST_MAIN(TestInstall)
#include "tst_install.moc"
