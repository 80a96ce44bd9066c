#include "Extract.h"

#include "AviText.h"

namespace Telemetry {

void ExtractText(const QString& path, CTextData& textData)
{
    ExtractAviText(path, textData);
}

} // namespace Telemetry
