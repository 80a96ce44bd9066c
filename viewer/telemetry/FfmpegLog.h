#pragma once

namespace Telemetry {

// Sends FFmpeg's log messages (up to its "info" level) to the trace log as
// "FFmpeg: <line>" and nothing to the terminal. Idempotent and thread-safe;
// everything in the viewer that calls FFmpeg calls this first, every time
// (another library in the process may have installed its own callback).
void RouteFfmpegLogToTrace();

} // namespace Telemetry
