#include "telemetry/Extract.h"

#include "telemetry/AviText.h"
#include "telemetry/Mp4Text.h"

namespace Telemetry {

void ExtractText(const QString& path, CTextData& textData)
{
    // MP4 first (when IsMp4Recording holds); anything else is walked as AVI.
    // An MP4 read cut short by its limits leaves textData as it was.
    if (ExtractMp4Text(path, textData) != EMp4Extract::NotMp4)
        return;
    ExtractAviText(path, textData);
}

} // namespace Telemetry
