// The INI document loader over arbitrary bytes in both encodings: the input
// as it is (UTF-16LE when it starts with FF FE, the local 8-bit encoding
// otherwise) and the input behind FF FE. Whatever loads must read back:
// every section and key it lists answers, and the saved form loads again.

#include "FuzzTarget.h"

#include "settings/IniDocument.h"

namespace {
void LoadAndCheck(const QByteArray& bytes)
{
    CIniDocument doc;
    const bool ok = doc.LoadBuffer(bytes);
    FUZZ_CHECK(ok == (bytes.size() >= 2));
    const QStringList sections = doc.SectionNames();
    for (const QString& section : sections) {
        for (const QString& key : doc.Keys(section)) {
            QString value;
            FUZZ_CHECK(doc.GetString(section, key, value));
            doc.GetInt(section, key, 0, 10);
            doc.GetInt(section, key, 0, 16);
            doc.GetInt(section, key, 0, 0);
        }
    }
    doc.DefaultSectionName();
    doc.GetString(QString(), QStringLiteral("x"));

    CIniDocument again;
    FUZZ_CHECK(again.LoadBuffer(doc.Serialize()));
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    LoadAndCheck(bytes);
    LoadAndCheck(QByteArray("\xFF\xFE", 2) + bytes);
    return 0;
}
