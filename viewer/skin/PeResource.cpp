#include "skin/PeResource.h"

#include <cstdint>
#include <set>
#include <vector>

namespace {
constexpr uint32_t kHighBit = 0x80000000u;
constexpr int kMaxSections = 96;                  // the loader's own limit
constexpr int64_t kMaxResourceBytes = 64ll << 20; // pictures, not payloads

struct Section {
    uint32_t virtualAddress = 0;
    uint32_t virtualSize = 0;
    uint32_t rawSize = 0;
    uint32_t rawPointer = 0;
};

class CPeFile
{
public:
    explicit CPeFile(IByteReader& reader) : m_reader(reader) {}

    std::optional<QByteArray> Find(const QString& type, const QString& name);

private:
    bool Read(int64_t offset, void* out, int64_t length)
    {
        if (offset < 0 || length < 0 || offset > m_reader.Size() || length > m_reader.Size() - offset)
            return false;
        return m_reader.ReadAt(offset, static_cast<char*>(out), length) == length;
    }
    std::optional<uint16_t> U16(int64_t offset)
    {
        char b[2];
        if (!Read(offset, b, 2))
            return std::nullopt;
        return ReadLe16(b);
    }
    std::optional<uint32_t> U32(int64_t offset)
    {
        char b[4];
        if (!Read(offset, b, 4))
            return std::nullopt;
        return ReadLe32(b);
    }
    // File offset of `length` bytes at `rva`, when they lie in one section's raw data.
    std::optional<int64_t> RvaToOffset(uint64_t rva, uint64_t length) const
    {
        for (const Section& s : m_sections) {
            if (rva < s.virtualAddress)
                continue;
            const uint64_t delta = rva - s.virtualAddress;
            if (delta >= s.rawSize || length > s.rawSize - delta)
                continue;
            return static_cast<int64_t>(uint64_t(s.rawPointer) + delta);
        }
        return std::nullopt;
    }
    // Offset inside the resource tree -> file offset of `length` bytes.
    std::optional<int64_t> TreeOffset(uint32_t relative, uint64_t length) const
    {
        if (relative >= m_resourceSize || length > m_resourceSize - relative)
            return std::nullopt;
        return RvaToOffset(uint64_t(m_resourceRva) + relative, length);
    }
    bool LoadHeaders();
    // Finds the named entry of the directory at `dirOffset`; returns its data field.
    std::optional<uint32_t> FindNamed(uint32_t dirOffset, const QString& wanted);
    bool NameEquals(uint32_t nameOffset, const QString& wanted);
    std::optional<uint32_t> Subdirectory(std::optional<uint32_t> entryData);

    IByteReader& m_reader;
    std::vector<Section> m_sections;
    uint32_t m_resourceRva = 0;
    uint32_t m_resourceSize = 0;
    std::set<uint32_t> m_visited;
};

bool CPeFile::LoadHeaders()
{
    unsigned char mz[2];
    if (!Read(0, mz, 2) || mz[0] != 'M' || mz[1] != 'Z')
        return false;
    const auto peOffset = U32(0x3C);
    if (!peOffset)
        return false;
    const int64_t pe = *peOffset;
    unsigned char sig[4];
    if (!Read(pe, sig, 4) || sig[0] != 'P' || sig[1] != 'E' || sig[2] != 0 || sig[3] != 0)
        return false;
    const int64_t coff = pe + 4;
    const auto sectionCount = U16(coff + 2);
    const auto optionalSize = U16(coff + 16);
    if (!sectionCount || !optionalSize || *sectionCount == 0 || *sectionCount > kMaxSections)
        return false;
    const int64_t optional = coff + 20;
    const auto magic = U16(optional);
    if (!magic)
        return false;
    int64_t countField = 0;
    int64_t directories = 0;
    if (*magic == 0x10B) {
        countField = optional + 92;
        directories = optional + 96;
    } else if (*magic == 0x20B) {
        countField = optional + 108;
        directories = optional + 112;
    } else {
        return false;
    }
    const auto directoryCount = U32(countField);
    // The resource table is data directory 2; it must lie inside the optional header.
    if (!directoryCount || *directoryCount < 3 || directories + 3 * 8 > optional + *optionalSize)
        return false;
    const auto rva = U32(directories + 2 * 8);
    const auto size = U32(directories + 2 * 8 + 4);
    if (!rva || !size || *rva == 0 || *size < 16)
        return false;
    m_resourceRva = *rva;
    m_resourceSize = *size;

    const int64_t table = optional + *optionalSize;
    for (int i = 0; i < *sectionCount; ++i) {
        const int64_t at = table + int64_t(i) * 40;
        Section s;
        const auto vsize = U32(at + 8), va = U32(at + 12), rawSize = U32(at + 16), rawPtr = U32(at + 20);
        if (!vsize || !va || !rawSize || !rawPtr)
            return false;
        s.virtualSize = *vsize;
        s.virtualAddress = *va;
        s.rawSize = *rawSize;
        s.rawPointer = *rawPtr;
        m_sections.push_back(s);
    }
    return true;
}

bool CPeFile::NameEquals(uint32_t nameOffset, const QString& wanted)
{
    const auto at = TreeOffset(nameOffset, 2);
    if (!at)
        return false;
    const auto length = U16(*at);
    if (!length || *length != wanted.size())
        return false;
    const uint64_t bytes = uint64_t(*length) * 2;
    const auto chars = TreeOffset(nameOffset, 2 + bytes);
    if (!chars)
        return false;
    QByteArray raw(static_cast<qsizetype>(bytes), Qt::Uninitialized);
    if (!Read(*at + 2, raw.data(), static_cast<int64_t>(bytes)))
        return false;
    QString text(static_cast<qsizetype>(*length), Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const auto lo = static_cast<unsigned char>(raw[2 * i]);
        const auto hi = static_cast<unsigned char>(raw[2 * i + 1]);
        text[i] = QChar(static_cast<char16_t>(lo | (hi << 8)));
    }
    return text.compare(wanted, Qt::CaseInsensitive) == 0;
}

std::optional<uint32_t> CPeFile::FindNamed(uint32_t dirOffset, const QString& wanted)
{
    const auto header = TreeOffset(dirOffset, 16);
    if (!header)
        return std::nullopt;
    const auto named = U16(*header + 12);
    if (!named)
        return std::nullopt;
    for (uint32_t i = 0; i < *named; ++i) {
        const uint64_t entry = uint64_t(dirOffset) + 16 + uint64_t(i) * 8;
        if (entry > UINT32_MAX)
            return std::nullopt;
        const auto at = TreeOffset(static_cast<uint32_t>(entry), 8);
        if (!at)
            return std::nullopt;
        const auto nameField = U32(*at);
        const auto dataField = U32(*at + 4);
        if (!nameField || !dataField)
            return std::nullopt;
        if ((*nameField & kHighBit) && NameEquals(*nameField & ~kHighBit, wanted))
            return *dataField;
    }
    return std::nullopt;
}

std::optional<uint32_t> CPeFile::Subdirectory(std::optional<uint32_t> entryData)
{
    if (!entryData || !(*entryData & kHighBit))
        return std::nullopt;
    const uint32_t dir = *entryData & ~kHighBit;
    if (!m_visited.insert(dir).second)
        return std::nullopt; // a directory that leads back to one already seen
    return dir;
}

std::optional<QByteArray> CPeFile::Find(const QString& type, const QString& name)
{
    if (!LoadHeaders())
        return std::nullopt;
    m_visited.insert(0);
    const auto typeDir = Subdirectory(FindNamed(0, type));
    if (!typeDir)
        return std::nullopt;
    const auto nameDir = Subdirectory(FindNamed(*typeDir, name));
    if (!nameDir)
        return std::nullopt;
    // Language level: the first entry that is a data entry.
    const auto header = TreeOffset(*nameDir, 16);
    if (!header)
        return std::nullopt;
    const auto named = U16(*header + 12), ids = U16(*header + 14);
    if (!named || !ids)
        return std::nullopt;
    const uint32_t count = uint32_t(*named) + *ids;
    for (uint32_t i = 0; i < count; ++i) {
        const uint64_t entry = uint64_t(*nameDir) + 16 + uint64_t(i) * 8;
        if (entry > UINT32_MAX)
            return std::nullopt;
        const auto at = TreeOffset(static_cast<uint32_t>(entry), 8);
        if (!at)
            return std::nullopt;
        const auto dataField = U32(*at + 4);
        if (!dataField)
            return std::nullopt;
        if (*dataField & kHighBit)
            continue;
        const auto dataEntry = TreeOffset(*dataField, 16);
        if (!dataEntry)
            return std::nullopt;
        const auto dataRva = U32(*dataEntry), dataSize = U32(*dataEntry + 4);
        if (!dataRva || !dataSize || *dataSize == 0 || *dataSize > kMaxResourceBytes)
            return std::nullopt;
        const auto offset = RvaToOffset(*dataRva, *dataSize);
        if (!offset)
            return std::nullopt;
        QByteArray bytes(static_cast<qsizetype>(*dataSize), Qt::Uninitialized);
        if (!Read(*offset, bytes.data(), *dataSize))
            return std::nullopt;
        return bytes;
    }
    return std::nullopt;
}
} // namespace

std::optional<QByteArray> ReadPeResource(IByteReader& reader, const QString& type, const QString& name)
{
    CPeFile file(reader);
    return file.Find(type, name);
}
