#pragma once

#include "telemetry/TextData.h"

#include <QString>

namespace Telemetry {

// The one entry point for extraction: appends the recording's telemetry to
// `textData`, whatever its container. Callers hold the analysis lock.
void ExtractText(const QString& path, CTextData& textData);

} // namespace Telemetry
