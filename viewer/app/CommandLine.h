#pragma once

#include <QString>
#include <QStringList>

class QCommandLineParser;

// The viewer's command line: --help, --version and the recordings to open
// (what the desktop's "Open with" and the launcher pass). Main thread only.

// Adds the viewer's description, options and positional arguments.
void DescribeViewerCommandLine(QCommandLineParser& parser);

// True when the arguments ask for --help, --help-all or --version. These are
// answered from a plain core application, before any display connection is
// made, so that they work in a terminal without a display.
bool AsksHelpOrVersion(int argc, const char* const* argv);

// The recordings named, as absolute local paths: relative paths are taken
// from `workingFolder`, file: URLs become their local path, empty arguments
// are dropped; the order is kept. Whether a file exists is not looked at here.
QStringList RecordingPathsFromArguments(const QStringList& arguments, const QString& workingFolder);
