#include "telemetry/FfmpegLog.h"

#include "base/TraceLog.h"

extern "C" {
#include <libavutil/log.h>
}

#include <QByteArray>

#include <cstdarg>
#include <mutex>

namespace Telemetry {
namespace {

void LogCallback(void* avcl, int level, const char* format, va_list args)
{
    if (level > AV_LOG_INFO || !lcKestravTrace().isDebugEnabled())
        return;
    // FFmpeg may build one line from several calls; each thread keeps its own
    // unfinished line and its own prefix state.
    thread_local int printPrefix = 1;
    thread_local QByteArray pending;
    char line[1024];
    av_log_format_line2(avcl, level, format, args, line, int(sizeof line), &printPrefix);
    pending.append(line);
    qsizetype end;
    while ((end = pending.indexOf('\n')) >= 0) {
        const QByteArray text = pending.left(end);
        pending.remove(0, end + 1);
        if (!text.trimmed().isEmpty())
            TraceLog(QStringLiteral("FFmpeg: ") + QString::fromLocal8Bit(text));
    }
    if (pending.size() > 4096) { // a runaway line without an end
        TraceLog(QStringLiteral("FFmpeg: ") + QString::fromLocal8Bit(pending));
        pending.clear();
    }
}

} // namespace

void RouteFfmpegLogToTrace()
{
    // Set again on every call: GStreamer's libav plugin installs its own
    // callback when it loads, and our reads should keep tracing after that.
    static std::mutex mutex;
    std::lock_guard<std::mutex> lock(mutex);
    av_log_set_callback(LogCallback);
}

} // namespace Telemetry
