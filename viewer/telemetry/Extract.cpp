#include "telemetry/Extract.h"

#include "telemetry/AviText.h"
#include "telemetry/Mp4Text.h"

namespace Telemetry {

void ExtractText(const QString& path, CTextData& textData)
{
    // MP4 first (when IsMp4Recording holds); anything else is walked as AVI.
    if (ExtractMp4Text(path, textData))
        return;
    ExtractAviText(path, textData);
}

} // namespace Telemetry
