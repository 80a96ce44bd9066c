// The MP4 text-track reader over arbitrary bytes, through its custom FFmpeg
// I/O on the byte-reader interface: the recording test, the packet read and
// the whole MP4 branch, once from a sound reader and once from one that fails
// part-way. The read limits are small so that a slow input shows as a limit
// reached, not as a fuzzer timeout.

#include "FuzzTarget.h"

#include "base/TraceLog.h"
#include "telemetry/Mp4Text.h"

#include <QLoggingCategory>

#include <cstdlib>

namespace {
void Silence()
{
    // FFmpeg's complaints about broken files go to the trace log, which is off.
    static const bool once = [] {
        QLoggingCategory::setFilterRules(QStringLiteral("kestrav.trace.debug=false"));
        return true;
    }();
    (void)once;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Silence();
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    Telemetry::CMp4ReadLimits limits;
    limits.maxBytes = 4 * static_cast<int64_t>(size) + (1 << 16);
    limits.maxMilliseconds = 2000;
    {
        CMemoryByteReader reader(bytes);
        Telemetry::IsMp4Recording(reader, QStringLiteral("fuzz.mp4"), limits);
        QList<QByteArray> packets;
        const int n = Telemetry::ReadTextPackets(reader, packets, limits);
        FUZZ_CHECK(n >= 0 && n == packets.size());
        CTextData text;
        const Telemetry::EMp4Extract result = Telemetry::ExtractMp4Text(reader, QStringLiteral("fuzz.mp4"), text, limits);
        FUZZ_CHECK(result != Telemetry::EMp4Extract::NotMp4 || text.IsEmpty());
        FUZZ_CHECK(result != Telemetry::EMp4Extract::Incomplete || text.IsEmpty());
    }
    {
        CFaultyByteReader reader(bytes, static_cast<int>(size % 13), (size & 1) != 0);
        CTextData text;
        Telemetry::ExtractMp4Text(reader, QStringLiteral("fuzz.mp4"), text, limits);
    }
    return 0;
}
