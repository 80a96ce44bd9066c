// The launcher `Kestrav`: starts the viewer unless it already runs, clearing
// what a previous update left beside it, and hands it the recordings named on
// the command line. It never shows a window (it does not even connect to the
// display) and ends with status 0; --help and --version print and end, and an
// unknown option is a usage error (status 1).
#include "LauncherConstants.h"
#include "Movara_LauncherDlg.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>
#include <QUrl>

namespace {
// A recording as the viewer gets it: an absolute local path (the viewer runs
// in the launcher's working folder, but need not rely on that). A file: URL,
// as some file managers pass, becomes its local path.
QString ViewerPath(const QString& argument)
{
    const QUrl url(argument);
    const QString path = url.isLocalFile() ? url.toLocalFile() : argument;
    return QFileInfo(path).absoluteFilePath();
}
} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QString::fromLatin1(Launcher::kOrganisation));
    QCoreApplication::setApplicationName(QString::fromLatin1(Launcher::kProgramName));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(KESTRAV_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromLatin1(Launcher::kCommandLineDescription));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("files"), QStringLiteral("Recordings to open (.avi, .mp4)."),
                                 QStringLiteral("[FILE...]"));
    parser.process(app);

    QStringList recordings;
    for (const QString& argument : parser.positionalArguments())
        recordings << ViewerPath(argument);

    CMovara_LauncherDlg launcher(QCoreApplication::applicationDirPath());
    launcher.SetViewerArguments(recordings);
    launcher.OnInitDialog();
    return 0;
}
