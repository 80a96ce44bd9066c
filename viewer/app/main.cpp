// Kestrav_Main: the viewer's process entry.
#include "MovaraApp.h"
#include "QtPlatform.h"

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
} // namespace

int main(int argc, char* argv[])
{
    QApplication qtApp(argc, argv);
    CQtPlatform platform;
    CPlatform::Install(&platform);

    CMovaraApp::Hooks hooks;
    hooks.runMainWindow = RunPlaceholderWindow;
    CMovaraApp app(std::move(hooks));
    app.InitInstance();
    const int code = app.ExitInstance();
    CPlatform::Install(nullptr);
    return code;
}
