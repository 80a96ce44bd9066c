#pragma once

#include <QString>

// The span of a clip in a recording's own time (seconds from its start), its
// text forms and the clip's file name. Pure functions, any thread.
namespace ClipSpan {

// "90", "90.5", "1:30", "01:30.5", "1:02:03": seconds, mm:ss or hh:mm:ss
// (minutes and seconds below 60 after a colon; a fraction only on the
// seconds). False for anything else (negative, empty, extra fields).
bool ParseTime(const QString& text, double* seconds);
// "FROM-TO" with FROM < TO, each in a form ParseTime takes.
bool ParseSpan(const QString& text, double* from, double* to);

// "mm:ss" or "h:mm:ss" with a fraction of up to three decimals when it has one.
QString FormatTime(double seconds);
// The time as a file name part: "01m30s", "1h02m03s", "01m30.5s".
QString FileTimePart(double seconds);

// Characters that are safe in file names on every file system a clip may be
// copied to: letters and digits of any script, '-', '_' and '.'; everything
// else becomes '_', and leading dots are dropped. Never empty ("clip").
QString SanitiseName(const QString& name);

// NAME_FROM-TO.mp4 for a recording: NAME is its base name without the
// extension, sanitised.
QString OutputName(const QString& recordingPath, double from, double to);

// The span the dialog proposes: `length` seconds centred on `position`,
// moved (never shortened) to lie within [0, duration], and cut to the
// recording when it is shorter.
void DefaultSpan(double position, double duration, double length, double* from, double* to);

} // namespace ClipSpan
