// Kestrav_Main: the viewer's process entry.
#include "Lang.h"
#include "LangConstants.h"
#include "LangFonts.h"
#include "MovaraApp.h"
#include "QtPlatform.h"
#include "Settings.h"
#include "TraceLog.h"

#include <QApplication>
#include <QLabel>

namespace {
// Stands where the main window will be: a window titled "Kestrav".
int RunPlaceholderWindow()
{
    QLabel window(QStringLiteral("Kestrav"));
    window.setWindowTitle(QStringLiteral("Kestrav"));
    window.setAlignment(Qt::AlignCenter);
    window.resize(965, 711);
    window.show();
    return QApplication::exec();
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
    hooks.runMainWindow = RunPlaceholderWindow;
    CMovaraApp app(std::move(hooks));
    app.InitInstance();
    const int code = app.ExitInstance();
    CPlatform::Install(nullptr);
    return code;
}
