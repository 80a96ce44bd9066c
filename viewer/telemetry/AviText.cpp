#include "telemetry/AviText.h"

#include "base/TraceLog.h"

#include <QElapsedTimer>

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

namespace Telemetry {
namespace {

constexpr int64_t kListHeaderSize = 12; // code, size, list type
constexpr int64_t kChunkHeaderSize = 8; // code, size
constexpr int64_t kIndexEntrySize = 16;
constexpr int64_t kFirstListOffset = 12;
constexpr uint32_t kTextIdHigh = 0x7874; // "tx" as the high half of the id
// What one text chunk costs read on its own: its header and the largest
// valid payload (less where the file ends).
constexpr int64_t kChunkWindow = kChunkHeaderSize + kMaxTextChunk;
// The first read takes this much of the file's head: both list headers of
// a camera file lie in it.
constexpr int64_t kHeadRead = 4096;

bool ReadExact(IByteReader& file, int64_t offset, char* out, int64_t length)
{
    return file.ReadAt(offset, out, length) == length;
}

// Each text runs to its first zero byte or the end of its range.
void DecodePayload(const char* payload, uint32_t size, CTextData& textData)
{
    if (size == kSplitRecordSize && payload[93] != 0) {
        textData.AddSplitRecord(payload, 90, payload + 92, 20);
        return;
    }
    textData.AddTextRecord(payload, qsizetype(size));
}

// One range of the file read with one call. ReadAt answers exactly what
// the file's ReadAt would: from the buffer when it holds the whole answer
// (the range lies inside what was read, or runs to the file's end and was
// read up to it), otherwise by asking the file. So a short or failed fill
// changes how many calls are made, never what is read.
class CReadRange
{
public:
    // One read of [offset, offset + length).
    void Fill(IByteReader& file, int64_t offset, int64_t length)
    {
        m_start = offset;
        m_bytes.resize(static_cast<size_t>(std::max<int64_t>(length, 0)));
        m_got = length > 0 ? std::max<int64_t>(0, file.ReadAt(offset, m_bytes.data(), length)) : 0;
    }
    // The same without waiting for storage: true when the whole range (up
    // to the file's end) was in memory; otherwise the range holds nothing.
    bool FillIfCached(IByteReader& file, int64_t offset, int64_t length)
    {
        m_start = offset;
        m_bytes.resize(static_cast<size_t>(std::max<int64_t>(length, 0)));
        const int64_t want = std::min(length, file.Size() - offset);
        m_got = want > 0 ? file.ReadAtIfCached(offset, m_bytes.data(), length) : 0;
        if (m_got == want)
            return true;
        m_got = 0;
        return false;
    }
    // Bytes of [offset, offset + length) when the buffer holds all that the
    // file holds of it, else null; `available` is how many that is.
    const char* Find(const IByteReader& file, int64_t offset, int64_t length, int64_t* available) const
    {
        const int64_t end = m_start + m_got;
        if (offset < m_start || offset >= end)
            return nullptr;
        const int64_t want = std::min(length, file.Size() - offset);
        if (offset + want > end)
            return nullptr;
        *available = want;
        return m_bytes.data() + (offset - m_start);
    }
    int64_t ReadAt(IByteReader& file, int64_t offset, char* out, int64_t length) const
    {
        int64_t available = 0;
        if (const char* at = Find(file, offset, length, &available)) {
            std::memcpy(out, at, static_cast<size_t>(available));
            return available;
        }
        return file.ReadAt(offset, out, length);
    }

private:
    int64_t m_start = 0;
    int64_t m_got = 0;
    std::vector<char> m_bytes;
};

// Text chunks read together: the chunks [first, end) of the index's text
// entries, whose windows lie in [from, to) (empty: none lies in the file).
struct CChunkGroup {
    size_t first = 0;
    size_t end = 0;
    int64_t from = 0;
    int64_t to = 0;
};

// Groups neighbouring text chunks, in index order, into reads of at most
// kMaxGroupRead bytes; a chunk joins the group before it only while all
// reads together stay within twice the bytes the chunks would cost read one
// by one, so what lies between chunks is read only where it is little.
std::vector<CChunkGroup> GroupChunks(const std::vector<int64_t>& chunks, int64_t fileSize)
{
    std::vector<CChunkGroup> groups;
    int64_t alone = 0;   // the windows of all chunks so far
    int64_t grouped = 0; // the spans of the groups before the last
    for (size_t n = 0; n < chunks.size(); ++n) {
        const int64_t at = chunks[n];
        const int64_t window = at < fileSize ? std::min(kChunkWindow, fileSize - at) : 0;
        alone += window;
        if (!groups.empty()) {
            CChunkGroup& g = groups.back();
            if (window == 0) { // past the end: nothing to read
                g.end = n + 1;
                continue;
            }
            const bool empty = g.to == g.from;
            const int64_t from = empty ? at : std::min(g.from, at);
            const int64_t to = empty ? at + window : std::max(g.to, at + window);
            if (to - from <= kMaxGroupRead && grouped + (to - from) <= 2 * alone) {
                g.from = from;
                g.to = to;
                g.end = n + 1;
                continue;
            }
            grouped += g.to - g.from;
        }
        groups.push_back({n, n + 1, window ? at : 0, window ? at + window : 0});
    }
    return groups;
}

} // namespace

void ExtractAviText(IByteReader& file, const QString& path, CTextData& textData)
{
    QElapsedTimer clock;
    clock.start();
    auto name = [&path] { return path.toLocal8Bit(); };

    // Both list headers of a camera file lie in its first page.
    CReadRange head;
    head.Fill(file, 0, std::min(kHeadRead, file.Size()));

    char header[kListHeaderSize];
    if (head.ReadAt(file, kFirstListOffset, header, kListHeaderSize) != kListHeaderSize) {
        TraceLogF("ExtractText: Wrong File Open[%s]", TraceEnabled() ? name().constData() : "");
        return;
    }
    const uint32_t s1 = ReadLe32(header + 4);
    const int64_t secondList = kFirstListOffset + kListHeaderSize + int64_t(s1) - 4;

    // A short read here leaves zeros, and the index test below fails.
    char second[kListHeaderSize] = {};
    if (secondList >= 0)
        head.ReadAt(file, secondList, second, kListHeaderSize);
    const uint32_t s2 = ReadLe32(second + 4);
    const int64_t base = secondList + 8; // position of the media list's type
    const int64_t indexChunk = base + int64_t(s2);

    // The camera writes the index last: its header and entries in one read
    // (bounded; a longer index is read on in a second one).
    CReadRange tail;
    if (secondList >= 0 && indexChunk < file.Size())
        tail.Fill(file, indexChunk, std::min(kMaxIndexRead, file.Size() - indexChunk));
    char indexHeader[kChunkHeaderSize];
    if (secondList < 0 || tail.ReadAt(file, indexChunk, indexHeader, kChunkHeaderSize) != kChunkHeaderSize
        || std::memcmp(indexHeader, "idx1", 4) != 0) {
        TraceLogF("ExtractText: Wrong File Open_T2[%s]", TraceEnabled() ? name().constData() : "");
        return;
    }

    // Never trust N beyond what the file holds.
    const int64_t entriesAt = indexChunk + kChunkHeaderSize;
    const int64_t available = std::max<int64_t>(0, file.Size() - entriesAt);
    const int64_t entryCount = std::min<int64_t>(int64_t(ReadLe32(indexHeader + 4)), available) / kIndexEntrySize;
    const int64_t indexBytes = entryCount * kIndexEntrySize;
    int64_t got = 0;
    std::vector<char> ownIndex;
    const char* index = entryCount > 0 ? tail.Find(file, entriesAt, indexBytes, &got) : nullptr;
    if (entryCount > 0 && !index) {
        ownIndex.resize(static_cast<size_t>(indexBytes));
        got = file.ReadAt(entriesAt, ownIndex.data(), indexBytes);
        index = ownIndex.data();
    }
    const int64_t entriesRead = std::max<int64_t>(0, got) / kIndexEntrySize;

    std::vector<int64_t> chunks; // file positions of the text chunks, in index order
    for (int64_t i = 0; i < entriesRead; ++i) {
        const char* entry = index + i * kIndexEntrySize;
        if ((ReadLe32(entry) >> 16) == kTextIdHigh)
            chunks.push_back(base + int64_t(ReadLe32(entry + 8)));
    }
    const std::vector<CChunkGroup> groups = GroupChunks(chunks, file.Size());

    const int total = static_cast<int>(std::min<size_t>(chunks.size(), INT32_MAX));
    CReadRange range;
    std::array<char, kChunkWindow> own{};
    bool announced = false;
    for (size_t i = 0; i < groups.size(); ++i) {
        const CChunkGroup& g = groups[i];
        // While the groups are in memory (a recording read before) they are
        // simply copied. At the first that is not, all the rest are
        // announced at once, so that a cold file is fetched in parallel
        // rather than seek by seek, and read waiting.
        if (announced || !range.FillIfCached(file, g.from, g.to - g.from)) {
            if (!announced) {
                for (size_t j = i; j < groups.size(); ++j)
                    if (groups[j].to > groups[j].from)
                        file.WillRead(groups[j].from, groups[j].to - groups[j].from);
                announced = true;
            }
            range.Fill(file, g.from, g.to - g.from);
        }
        for (size_t n = g.first; n < g.end && n < size_t(total); ++n) {
            // Header and the largest valid payload; a shorter read near the
            // end of the file still holds whatever it holds. From the
            // group's bytes unless its read fell short of this chunk.
            const int64_t at = chunks[n];
            if (at >= file.Size())
                continue; // past the end of the file: nothing to read
            int64_t got = 0;
            const char* bytes = range.Find(file, at, kChunkWindow, &got);
            if (!bytes) {
                got = file.ReadAt(at, own.data(), kChunkWindow);
                bytes = own.data();
            }
            if (got < kChunkHeaderSize)
                continue; // past the end of the file: nothing to decode
            const uint32_t size = ReadLe32(bytes + 4);
            if (size > kMaxTextChunk) {
                TraceLogF("ExtractText:  [%d/%d] * invalid chunk size = %u", int(n) + 1, total, size);
                continue;
            }
            if (got < kChunkHeaderSize + int64_t(size))
                continue; // the file ends inside the payload
            DecodePayload(bytes + kChunkHeaderSize, size, textData);
        }
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
