// The executable-resource reader that finds the brand picture in the card's
// settings program, over arbitrary bytes: the brand picture's type and name,
// a name that is not there, and the same from a reader failing part-way.

#include "FuzzTarget.h"

#include "skin/PeResource.h"

namespace {
void Look(IByteReader& reader, int64_t size)
{
    const auto picture = ReadPeResource(reader, QStringLiteral("PNG"), QStringLiteral("IDB_BI"));
    // Never an empty resource, never more than the file holds.
    FUZZ_CHECK(!picture || (!picture->isEmpty() && picture->size() <= size));
    ReadPeResource(reader, QStringLiteral("png"), QStringLiteral("idb_bi"));
    ReadPeResource(reader, QStringLiteral("BITMAP"), QStringLiteral("#1"));
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    CMemoryByteReader reader(bytes);
    Look(reader, static_cast<int64_t>(size));
    CFaultyByteReader faulty(bytes, static_cast<int>(size % 11), (size & 1) != 0);
    Look(faulty, static_cast<int64_t>(size));
    return 0;
}
