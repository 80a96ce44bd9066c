#pragma once

#include <QHash>
#include <QString>

#include <cstdint>
#include <vector>

// One INI document: sections of key = value pairs, as the viewer writes its
// settings file and its language tables.
//
// Section names and keys compare without regard to case; a name keeps the
// spelling it was first created with. A section argument that is null or
// empty means the default section: the section named "TEXT" (any case).
//
// Reading accepts UTF-16LE text behind the byte-order mark FF FE, and the
// local 8-bit encoding otherwise. Saving always writes FF FE and UTF-16LE,
// sections and keys in the order they were first created. Values are written
// raw (quotes and semicolons are not escaped).
//
// Not thread-safe for writing; concurrent const use is safe.
class CIniDocument
{
public:
    CIniDocument() = default;

    // Clears the document, then reads the whole file and parses it.
    // Fails (leaving the document empty) when the file cannot be opened, is
    // larger than 1,000,000 bytes, cannot be read completely, or holds 1 byte.
    // An empty file succeeds with an empty document.
    bool LoadFile(const QString& path);

    // Parses `length` bytes into the document without clearing it first.
    // Fails only for fewer than 2 bytes (or a null pointer). Parsing stops at
    // the first zero character; an odd trailing byte of UTF-16 text is ignored.
    bool LoadBuffer(const char* bytes, qsizetype length);
    bool LoadBuffer(const QByteArray& bytes) { return LoadBuffer(bytes.constData(), bytes.size()); }

    // True when the key exists; `out` receives its value, or `defaultValue`.
    bool GetString(const QString& section, const QString& key, QString& out,
                   const QString& defaultValue = QString()) const;
    QString GetString(const QString& section, const QString& key,
                      const QString& defaultValue = QString()) const;
    // The value converted as the C library's unsigned conversion does in
    // `radix` (leading blanks, optional sign, 0x prefix for radix 16 or 0,
    // stops at the first non-digit, saturates at 0xFFFFFFFF), or
    // `defaultValue` when the key is missing.
    uint32_t GetInt(const QString& section, const QString& key, uint32_t defaultValue, int radix) const;

    // Creates the section and the key as needed; always true.
    bool SetString(const QString& section, const QString& key, const QString& value);
    void SetInt(const QString& section, const QString& key, int value);

    // Writes the document to `path` through a temporary file that replaces
    // the target only when complete. False when it cannot be written; the
    // target is then left as it was.
    bool Save(const QString& path) const;

    // The document as Save() writes it (FF FE and UTF-16LE).
    QByteArray Serialize() const;

    void Clear();

    bool IsEmpty() const { return m_sections.empty(); }
    // Section names in creation order, and one section's keys in creation order.
    QStringList SectionNames() const;
    QStringList Keys(const QString& section) const;
    // The name of the default section, or a null string when there is none.
    QString DefaultSectionName() const;
    // Code page for text without a byte-order mark; always 0 (local 8-bit).
    int CodePage() const { return m_codePage; }

private:
    struct Entry {
        QString key;
        QString value;
    };
    struct Section {
        QString name;
        std::vector<Entry> entries;
        QHash<QString, size_t> index; // folded key -> entries position
    };

    static QString Fold(const QString& name) { return name.toCaseFolded(); }
    const Section* FindSection(const QString& section) const;
    Section* FindOrCreateSection(const QString& section);
    static void SetInSection(Section& section, const QString& key, const QString& value);
    void Parse(const QString& text);

    std::vector<Section> m_sections;
    QHash<QString, size_t> m_sectionIndex; // folded name -> m_sections position
    // Position of the default section in m_sections, or -1.
    qsizetype m_defaultSection = -1;
    // Code page for text without a byte-order mark: 0, the local 8-bit encoding.
    int m_codePage = 0;
};
