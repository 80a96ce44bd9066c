#pragma once

#include <QLoggingCategory>
#include <QString>

// The viewer's one trace operation. The text is finished by the caller
// (printf-style, see TraceLogF); the log adds nothing to it. The category
// "kestrav.trace" is silent unless enabled, e.g. with
// QT_LOGGING_RULES="kestrav.trace.debug=true". Callable from any thread at any
// time; never blocks for long, never fails.
Q_DECLARE_LOGGING_CATEGORY(lcKestravTrace)

void TraceLog(const QString& text);

// Whether traces are written at all: callers whose arguments cost something
// to build (paths converted for %s) test this first.
inline bool TraceEnabled()
{
    return lcKestravTrace().isDebugEnabled();
}

// printf-style convenience: TraceLogF("ExtractText: Wrong File Open[%s]", qUtf8Printable(path)).
void TraceLogF(const char* format, ...) Q_ATTRIBUTE_FORMAT_PRINTF(1, 2);
