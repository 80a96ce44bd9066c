#include "app/CommandLine.h"

#include <QCommandLineParser>
#include <QDir>
#include <QUrl>

#include <cstring>

void DescribeViewerCommandLine(QCommandLineParser& parser)
{
    parser.setApplicationDescription(QStringLiteral("Kestrav, the dash-camera recording viewer."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("files"), QStringLiteral("Recordings to open (.avi, .mp4)."),
                                 QStringLiteral("[FILE...]"));
}

bool AsksHelpOrVersion(int argc, const char* const* argv)
{
    for (int i = 1; i < argc; ++i) {
        const char* a = argv[i];
        if (std::strcmp(a, "--") == 0)
            return false; // the rest are file names
        for (const char* option : {"-h", "-?", "--help", "--help-all", "-v", "--version"})
            if (std::strcmp(a, option) == 0)
                return true;
    }
    return false;
}

QStringList RecordingPathsFromArguments(const QStringList& arguments, const QString& workingFolder)
{
    QStringList paths;
    const QDir base(workingFolder);
    for (const QString& argument : arguments) {
        if (argument.isEmpty())
            continue;
        const QUrl url(argument);
        const QString path = url.isLocalFile() ? url.toLocalFile() : argument;
        if (path.isEmpty())
            continue;
        paths << QDir::cleanPath(base.absoluteFilePath(path));
    }
    return paths;
}
