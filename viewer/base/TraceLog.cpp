#include "base/TraceLog.h"

#include <cstdarg>

Q_LOGGING_CATEGORY(lcKestravTrace, "kestrav.trace", QtInfoMsg)

void TraceLog(const QString& text)
{
    // qCDebug checks the category first: a disabled trace costs one test.
    qCDebug(lcKestravTrace).noquote() << text;
}

void TraceLogF(const char* format, ...)
{
    if (!lcKestravTrace().isDebugEnabled())
        return;
    va_list ap;
    va_start(ap, format);
    const QString text = QString::vasprintf(format, ap);
    va_end(ap);
    TraceLog(text);
}
