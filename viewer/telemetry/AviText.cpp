#include "telemetry/AviText.h"

#include "base/TraceLog.h"

#include <QElapsedTimer>

#include <algorithm>
#include <array>
#include <cstring>

namespace Telemetry {
namespace {

constexpr int64_t kListHeaderSize = 12; // code, size, list type
constexpr int64_t kChunkHeaderSize = 8; // code, size
constexpr int64_t kIndexEntrySize = 16;
constexpr int64_t kFirstListOffset = 12;
constexpr uint32_t kTextIdHigh = 0x7874; // "tx" as the high half of the id

// Text of a byte range up to its first zero byte, through the local 8-bit code page.
QString TextOf(const char* bytes, size_t length)
{
    const void* zero = std::memchr(bytes, 0, length);
    const size_t n = zero ? static_cast<size_t>(static_cast<const char*>(zero) - bytes) : length;
    return QString::fromLocal8Bit(bytes, static_cast<qsizetype>(n));
}

bool ReadExact(IByteReader& file, int64_t offset, char* out, int64_t length)
{
    return file.ReadAt(offset, out, length) == length;
}

void DecodePayload(const char* payload, uint32_t size, CTextData& textData)
{
    if (size == kSplitRecordSize && payload[93] != 0) {
        textData.AddSplitRecord(TextOf(payload, 90), TextOf(payload + 92, 20));
        return;
    }
    textData.AddTextRecord(TextOf(payload, size));
}

} // namespace

void ExtractAviText(IByteReader& file, const QString& path, CTextData& textData)
{
    QElapsedTimer clock;
    clock.start();
    const QByteArray name = path.toLocal8Bit();

    char header[kListHeaderSize];
    if (!ReadExact(file, kFirstListOffset, header, kListHeaderSize)) {
        TraceLogF("ExtractText: Wrong File Open[%s]", name.constData());
        return;
    }
    const uint32_t s1 = ReadLe32(header + 4);
    const int64_t secondList = kFirstListOffset + kListHeaderSize + int64_t(s1) - 4;

    // A short read here leaves zeros, and the index test below fails.
    char second[kListHeaderSize] = {};
    if (secondList >= 0)
        file.ReadAt(secondList, second, kListHeaderSize);
    const uint32_t s2 = ReadLe32(second + 4);
    const int64_t base = secondList + 8; // position of the media list's type
    const int64_t indexChunk = base + int64_t(s2);

    char indexHeader[kChunkHeaderSize];
    if (secondList < 0 || !ReadExact(file, indexChunk, indexHeader, kChunkHeaderSize)
        || std::memcmp(indexHeader, "idx1", 4) != 0) {
        TraceLogF("ExtractText: Wrong File Open_T2[%s]", name.constData());
        return;
    }

    // Never trust N beyond what the file holds.
    const int64_t available = std::max<int64_t>(0, file.Size() - (indexChunk + kChunkHeaderSize));
    const int64_t entryCount = std::min<int64_t>(int64_t(ReadLe32(indexHeader + 4)), available) / kIndexEntrySize;
    QByteArray index(static_cast<qsizetype>(entryCount * kIndexEntrySize), '\0');
    const int64_t got = entryCount > 0 ? file.ReadAt(indexChunk + kChunkHeaderSize, index.data(), index.size()) : 0;
    const int64_t entriesRead = std::max<int64_t>(0, got) / kIndexEntrySize;

    std::vector<uint32_t> textOffsets;
    for (int64_t i = 0; i < entriesRead; ++i) {
        const char* entry = index.constData() + i * kIndexEntrySize;
        if ((ReadLe32(entry) >> 16) == kTextIdHigh)
            textOffsets.push_back(ReadLe32(entry + 8));
    }

    // Text chunks lie scattered between the pictures: ask for all of them at
    // once, so a cold file is fetched in parallel rather than seek by seek.
    for (uint32_t offset : textOffsets)
        file.WillRead(base + int64_t(offset), kChunkHeaderSize + kMaxTextChunk);

    const int total = static_cast<int>(std::min<size_t>(textOffsets.size(), INT32_MAX));
    // Header and the largest valid payload in one read; a shorter read near
    // the end of the file still holds whatever it holds.
    std::array<char, kChunkHeaderSize + kMaxTextChunk> chunkBytes{};
    for (int n = 0; n < total; ++n) {
        const int64_t chunk = base + int64_t(textOffsets[static_cast<size_t>(n)]);
        const int64_t got = file.ReadAt(chunk, chunkBytes.data(), int64_t(chunkBytes.size()));
        if (got < kChunkHeaderSize)
            continue; // past the end of the file: nothing to decode
        const uint32_t size = ReadLe32(chunkBytes.data() + 4);
        if (size > kMaxTextChunk) {
            TraceLogF("ExtractText:  [%d/%d] * invalid chunk size = %u", n + 1, total, size);
            continue;
        }
        if (got < kChunkHeaderSize + int64_t(size))
            continue; // the file ends inside the payload
        DecodePayload(chunkBytes.data() + kChunkHeaderSize, size, textData);
    }

    TraceLogF("ExtractText: Elapsed Time: <%d ms> GSensor=%d, GPS=%d", static_cast<int>(clock.elapsed()),
              static_cast<int>(textData.gsensorList.size()), static_cast<int>(textData.gpsList.size()));
}

void ExtractAviText(const QString& path, CTextData& textData)
{
    CFileByteReader file(path);
    if (!file.IsOpen()) {
        TraceLogF("ExtractText: File Open Error cause (%d) %s", file.ErrorCause(), path.toLocal8Bit().constData());
        return;
    }
    ExtractAviText(file, path, textData);
}

int CheckH264(IByteReader& file)
{
    // First list header at 12, the main header chunk's code and size, its
    // 56-byte body, the stream list header and stream header chunk header,
    // then the stream header body whose bytes 4-7 are the handler code.
    constexpr int64_t kStreamHeaderBody = kFirstListOffset + kListHeaderSize + 8 + 56 + 20;
    char firstList[kListHeaderSize];
    if (!ReadExact(file, kFirstListOffset, firstList, kListHeaderSize))
        return 0;
    char handler[4];
    if (!ReadExact(file, kStreamHeaderBody + 4, handler, 4))
        return 0;
    return (std::memcmp(handler, "H264", 4) == 0 || std::memcmp(handler, "AVC1", 4) == 0) ? 1 : 0;
}

int CheckH264(const QString& path)
{
    CFileByteReader file(path);
    if (!file.IsOpen()) {
        TraceLogF("File Open Error[CheckH264] cause (%d) %s", file.ErrorCause(), path.toLocal8Bit().constData());
        return 0;
    }
    return CheckH264(file);
}

} // namespace Telemetry
