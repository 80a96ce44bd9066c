// The AVI walk (ExtractAviText, CheckH264) over arbitrary bytes, read through
// the byte-reader interface: once as they are, once from a reader that
// fails part-way (a card pulled out) and hands out short reads.

#include "FuzzTarget.h"

#include "telemetry/AviText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    {
        CMemoryByteReader reader(bytes);
        CTextData text;
        Telemetry::ExtractAviText(reader, QStringLiteral("fuzz.avi"), text);
        const int h264 = Telemetry::CheckH264(reader);
        FUZZ_CHECK(h264 == 0 || h264 == 1);
        // No sample without a text chunk of at most 120 bytes behind it.
        FUZZ_CHECK(text.gsensorList.size() + text.gpsList.size() + text.carInfoList.size()
                   <= size / 8 + 1);
    }
    {
        CFaultyByteReader reader(bytes, static_cast<int>(size % 5), (size & 1) != 0);
        CTextData text;
        Telemetry::ExtractAviText(reader, QStringLiteral("fuzz.avi"), text);
        Telemetry::CheckH264(reader);
    }
    return 0;
}
