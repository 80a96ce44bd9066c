#pragma once

#include "base/ByteReader.h"
#include "telemetry/TextData.h"

#include <QString>

namespace Telemetry {

// Largest valid text-chunk payload.
constexpr uint32_t kMaxTextChunk = 120;
// Size of a split record (GPS text, then G-sensor text at byte 92).
constexpr uint32_t kSplitRecordSize = 112;

// Largest read of neighbouring text chunks together, and of the index
// together with its header.
constexpr int64_t kMaxGroupRead = 64 * 1024;
constexpr int64_t kMaxIndexRead = 64 * 1024;

// Walks an AVI recording as the camera writes it (header list, media list,
// idx1 index, nothing between them) and decodes every text chunk the index
// names into `textData`, in index order. Never fails: problems are traced
// and the data decoded so far is kept. `path` only names the file in the
// traces.
//
// Reads: the file's first page, the index with its header, and the text
// chunks in groups: chunks that follow each other in the index and lie
// close together are read with one ReadAt of at most kMaxGroupRead bytes,
// and all groups together read at most twice what the chunks would cost
// read one by one (header and 120 bytes each). Groups are read without
// waiting (ReadAtIfCached) while they are in memory; at the first that is
// not, every group from there on is announced once (WillRead) and read
// waiting (ReadAt). The result is what reading each
// chunk on its own gives, whatever the reader returns: where a read falls
// short or fails, the chunks it did not deliver are read on their own.
void ExtractAviText(IByteReader& file, const QString& path, CTextData& textData);
void ExtractAviText(const QString& path, CTextData& textData);

// 1 when the first stream header of the AVI names the handler "H264" or
// "AVC1" (upper case, exactly), else 0.
int CheckH264(IByteReader& file);
int CheckH264(const QString& path);

} // namespace Telemetry
