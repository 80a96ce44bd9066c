#pragma once

#include "settings/IniDocument.h"

#include <QByteArray>
#include <QString>

#include <atomic>

// Two INI documents read as one: a primary document and a fallback that
// answers for keys the primary lacks or leaves empty.
//
// Until a load succeeds the table is "not loaded": every Lookup answers
// "Error Loading", and Set and Save do nothing and report false.
//
// Loading and writing belong to one thread; once loaded, Lookup may be called
// from any thread as long as nobody loads or writes at the same time.
class CIniTable
{
public:
    CIniTable() = default;
    CIniTable(const CIniTable&) = delete;
    CIniTable& operator=(const CIniTable&) = delete;

    // Clears the loaded flag and both documents, loads the primary document
    // from its path and the fallback from its path (an empty path leaves that
    // document empty). Loaded
    // when either file was read; the code page is then read from
    // "GENERAL"/"CODEPAGE" of the primary (decimal, default 0).
    bool LoadFiles(const QString& primaryPath, const QString& fallbackPath);

    // As LoadFiles, from resources of type "LANGUAGE" (":/LANGUAGE/<name>",
    // the name matched without regard to case). A named resource that does not
    // exist ends the load: the table is then not loaded, whatever was read
    // before. Both documents are cleared first, so nothing of an earlier load
    // survives a reload.
    bool LoadResources(const QString& primaryName, const QString& fallbackName);

    // Clears both documents and marks the table loaded: a table whose file
    // does not exist yet and is created by the first Save.
    void LoadEmpty();

    // The value of `key` in `section` (null or empty: the default section) of
    // the primary document, else of the fallback when missing or empty in
    // the primary; "" when neither has it. The two-character sequences
    // backslash-n and backslash-r become a line feed and a carriage return.
    QString Lookup(const QString& section, const QString& key) const;

    // Writes into the primary document (creating section and key).
    bool Set(const QString& section, const QString& key, const QString& value);

    // Saves the primary document to `path`; only when that fails is the
    // fallback document saved to the same path, and only when it holds
    // something (an empty one would only wipe the file). False when nothing
    // was saved; the file is then as it was.
    bool Save(const QString& path) const;

    bool IsLoaded() const { return m_loaded.load(std::memory_order_acquire); }
    int CodePage() const { return m_codePage; }
    const CIniDocument& Primary() const { return m_primary; }
    const CIniDocument& Fallback() const { return m_fallback; }

    // The bytes of resource `name` of `type` (":/<type>/<name>", the name
    // matched without regard to case). False when there is none.
    static bool FindResource(const QString& type, const QString& name, QByteArray& bytes);

private:
    void FinishLoad();

    CIniDocument m_primary;
    CIniDocument m_fallback;
    std::atomic<bool> m_loaded{false};
    int m_codePage = 0;
};
