#pragma once

#include <QString>

// The program's own version, as a version resource would give it: the
// FileVersion text, four dot-separated numbers built from the CMake project
// version (missing parts are 0, so "1.0.0" reads "1.0.0.0").
QString ProgramFileVersion();

// The viewer's display form of a FileVersion text: its first four
// dot-separated pieces, blanks trimmed, read as numbers (a piece that is not
// a number reads 0, pieces after the fourth are ignored, missing ones are 0)
// and formatted "%d.%d.%d.%02d". "1.2.3.2" gives "1.2.3.02".
QString FormatFileVersion(const QString& fileVersion);
