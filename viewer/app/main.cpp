// Kestrav_Main: the viewer's process entry.
#include "lang/Lang.h"
#include "lang/LangConstants.h"
#include "lang/LangFonts.h"
#include "app/MovaraApp.h"
#include "mainwindow/MovaraDlg.h"
#include "app/QtPlatform.h"
#include "settings/Registry.h"
#include "settings/Settings.h"
#include "base/TraceLog.h"

#include <QApplication>
#include <QScreen>
#include <QTimer>

namespace {
// Start-up step 9: the main window, run modally.
//
// Diagnostics (not for users): KESTRAV_NO_SPLASH=1 skips the splash;
// KESTRAV_SCREENSHOT=<file.png> saves a picture of the screen after
// KESTRAV_SCREENSHOT_DELAY seconds (default 8, fractions allowed) and then
// closes the window once it is up.
int RunMainWindow()
{
    CMovaraDlgOptions options;
    options.showSplash = qEnvironmentVariableIntValue("KESTRAV_NO_SPLASH") == 0;
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
} // namespace

int main(int argc, char* argv[])
{
    QApplication qtApp(argc, argv);
    InstallLanguageFontSubstitutions();
    CQtPlatform platform;
    CPlatform::Install(&platform);

    CMovaraApp::Hooks hooks;
    hooks.selectLanguage = SelectLanguageAndLoadSettings;
    hooks.runMainWindow = RunMainWindow;
    CMovaraApp app(std::move(hooks));
    app.InitInstance();
    const int code = app.ExitInstance();
    CPlatform::Install(nullptr);
    return code;
}
