// Names read from the card's folders: a recording's file name (the
// front/rear partner is derived from it) and a category folder's name.
// Each input line is one name; a partner is never the name itself.

#include "FuzzTarget.h"

#include "catalogue/CatalogueIds.h"
#include "catalogue/RecordingAnalyzer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    for (const QByteArray& line : bytes.split('\n')) {
        const QString name = QString::fromLocal8Bit(line);
        bool front = false;
        const QString partner = CRecordingAnalyzer::PartnerFileName(name, &front);
        if (!partner.isEmpty()) {
            FUZZ_CHECK(partner != name);
            CRecordingAnalyzer::PartnerFileName(partner);
        }
        Catalogue::CategoryOfFolder(name);
    }
    return 0;
}
