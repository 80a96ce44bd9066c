// The launcher `Kestrav`: starts the viewer unless it already runs, clearing
// what a previous update left beside it. It never shows a window (it does not
// even connect to the display) and always ends with status 0.
#include "LauncherConstants.h"
#include "Movara_LauncherDlg.h"

#include <QCoreApplication>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QString::fromLatin1(Launcher::kOrganisation));

    CMovara_LauncherDlg launcher(QCoreApplication::applicationDirPath());
    launcher.OnInitDialog();
    return 0;
}
