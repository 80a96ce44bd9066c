#pragma once

#include "base/ByteReader.h"
#include "telemetry/TextData.h"

#include <QString>

namespace Telemetry {

// Largest valid text-chunk payload.
constexpr uint32_t kMaxTextChunk = 120;
// Size of a split record (GPS text, then G-sensor text at byte 92).
constexpr uint32_t kSplitRecordSize = 112;

// Walks an AVI recording as the camera writes it (header list, media list,
// idx1 index, nothing between them) and decodes every text chunk the index
// names into `textData`. Never fails: problems are traced and the data
// decoded so far is kept. `path` only names the file in the traces.
void ExtractAviText(IByteReader& file, const QString& path, CTextData& textData);
void ExtractAviText(const QString& path, CTextData& textData);

// 1 when the first stream header of the AVI names the handler "H264" or
// "AVC1" (upper case, exactly), else 0.
int CheckH264(IByteReader& file);
int CheckH264(const QString& path);

} // namespace Telemetry
