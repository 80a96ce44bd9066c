#include "Movara_LauncherDlg.h"

#include "LauncherConstants.h"
#include "ViewerProbe.h"

#include <QFile>
#include <QProcess>

#include <unistd.h>

CMovara_LauncherDlg::CMovara_LauncherDlg(const QString& folder, Starter starterFn, Probe probeFn)
    : appFolder(folder), starter(std::move(starterFn)), probe(std::move(probeFn))
{
    if (!appFolder.endsWith(QLatin1Char('/')))
        appFolder += QLatin1Char('/');
    if (!starter)
        starter = [](const QString& program, const QStringList& arguments) {
            QProcess::startDetached(program, arguments);
        };
    if (!probe)
        probe = [] { return CViewerProbe::IsViewerRunning(); };
}

bool CMovara_LauncherDlg::OnInitDialog()
{
    if (probe())
        return false;

    // Fire and forget: a file that is not there, or cannot go, is no error.
    // A folder the user may not write to (an installed copy) holds no update
    // of theirs: it is left alone.
    if (::access(QFile::encodeName(appFolder).constData(), W_OK) == 0) {
        QFile::remove(appFolder + QLatin1String(Launcher::kSetupFile));
        QFile::remove(appFolder + QLatin1String(Launcher::kTempUpdateFile));
    }

    starter(appFolder + QLatin1String(Launcher::kViewerProgram), viewerArguments);
    return true;
}
