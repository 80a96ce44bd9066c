// Kestrav_Main: the viewer's process entry.
//
// Command line: Kestrav_Main [--help | --version] [FILE...]. The recordings
// named are handed to the main window (CMovaraDlgOptions::openFiles), to be
// opened once it is up; a second viewer (one already runs) ends at once and
// drops them.
#include "app/AppIdentity.h"
#include "app/CommandLine.h"
#include "lang/Lang.h"
#include "lang/LangConstants.h"
#include "lang/LangFonts.h"
#include "app/MovaraApp.h"
#include "mainwindow/MovaraDlg.h"
#include "app/QtPlatform.h"
#include "settings/Registry.h"
#include "settings/Settings.h"
#include "map/WebEnvironment.h"
#include "base/TraceLog.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QDirIterator>
#include <QIcon>
#include <QScreen>
#include <QTimer>

#include <cstdlib>

namespace {
// Start-up step 9: the main window, run modally.
//
// Diagnostics (not for users): KESTRAV_NO_SPLASH=1 skips the splash;
// KESTRAV_SCREENSHOT=<file.png> saves a picture of the screen after
// KESTRAV_SCREENSHOT_DELAY seconds (default 8, fractions allowed) and then
// closes the window once it is up.
int RunMainWindow(const QStringList& openFiles)
{
    CMovaraDlgOptions options;
    options.showSplash = qEnvironmentVariableIntValue("KESTRAV_NO_SPLASH") == 0;
    options.openFiles = openFiles;
    for (const QString& file : openFiles)
        TraceLog(QStringLiteral("Kestrav : to open after start-up: %1").arg(file));
    options.readPlayType = [] { return ReadPlayType(); };
    CMovaraDlg dlg(options);
    const QString shot = qEnvironmentVariable("KESTRAV_SCREENSHOT");
    if (!shot.isEmpty()) {
        bool ok = false;
        const double seconds = qEnvironmentVariable("KESTRAV_SCREENSHOT_DELAY").toDouble(&ok);
        QTimer::singleShot(int((ok ? seconds : 8.0) * 1000), &dlg, [&dlg, shot] {
            // The screen as shown: the window's part once it is up, else all of it.
            if (QScreen* screen = QGuiApplication::primaryScreen()) {
                const QRect r = dlg.isVisible() ? dlg.frameGeometry() : screen->geometry();
                screen->grabWindow(0, r.x(), r.y(), r.width(), r.height()).save(shot);
            }
            auto* closer = new QTimer(&dlg);
            QObject::connect(closer, &QTimer::timeout, &dlg, [&dlg] {
                if (dlg.initDone && dlg.isVisible())
                    dlg.close();
            });
            closer->start(100);
        });
    }
    return dlg.RunModal();
}

// Start-up step 8: the language "korean" with English as the fallback (and
// English alone if the Korean table cannot be loaded); then the settings file
// from the user's configuration folder, so that the main window finds the
// speed unit chosen in an earlier run.
void SelectLanguageAndLoadSettings()
{
    if (!SelectLanguage(QString(Lang::kKorean)))
        SelectLanguage(QString(Lang::kEnglish));
    TraceLog(QStringLiteral("Kestrav----> language %1: %2")
                 .arg(CurrentLanguage(), LangText(QStringLiteral("IDS_STRING_K_001"))));
    const bool loaded = SettingsLoad();
    TraceLog(QStringLiteral("Kestrav----> settings %1 %2")
                 .arg(SettingsFilePath(SettingsFolder()),
                      loaded ? QStringLiteral("loaded") : QStringLiteral("not loaded")));
}

// The window icon: the application icon embedded at every size drawn.
QIcon ApplicationIcon()
{
    QIcon icon;
    QDirIterator sizes(QString::fromLatin1(App::kIconResourceFolder), {QStringLiteral("*.png")}, QDir::Files);
    while (sizes.hasNext())
        icon.addFile(sizes.next());
    return icon;
}

// --help and --version, answered without a display connection; ends the process.
[[noreturn]] void AnswerHelpOrVersion(int argc, char* argv[])
{
    QCoreApplication core(argc, argv);
    QCoreApplication::setApplicationVersion(QString::fromLatin1(KESTRAV_VERSION));
    QCommandLineParser parser;
    DescribeViewerCommandLine(parser);
    parser.process(core);
    std::exit(0); // process() has answered and ended already
}
} // namespace

int main(int argc, char* argv[])
{
    if (AsksHelpOrVersion(argc, argv))
        AnswerHelpOrVersion(argc, argv);

    // The map's web engine reads its settings once, before the application exists.
    PrepareWebEngineEnvironment();
    QApplication qtApp(argc, argv);
    QCoreApplication::setApplicationVersion(QString::fromLatin1(KESTRAV_VERSION));
    // The desktop entry's id, which the window system gets as the
    // application id (Wayland) and desktop-file hint, so the desktop groups
    // the windows under the entry (on X11 it matches StartupWMClass with the
    // window class, the application name "Kestrav" set at start-up); and the
    // icon of every window.
    QGuiApplication::setDesktopFileName(QString::fromLatin1(App::kDesktopFileId));
    QApplication::setWindowIcon(ApplicationIcon());
    QCommandLineParser parser;
    DescribeViewerCommandLine(parser);
    parser.process(qtApp); // Qt's own options are gone already; an unknown one ends with status 1
    const QStringList openFiles = RecordingPathsFromArguments(parser.positionalArguments(), QDir::currentPath());
    InstallLanguageFontSubstitutions();
    CQtPlatform platform;
    CPlatform::Install(&platform);

    CMovaraApp::Hooks hooks;
    hooks.selectLanguage = SelectLanguageAndLoadSettings;
    hooks.runMainWindow = [openFiles] { return RunMainWindow(openFiles); };
    CMovaraApp app(std::move(hooks));
    app.InitInstance();
    const int code = app.ExitInstance();
    CPlatform::Install(nullptr);
    return code;
}
