#include "settings/IniTable.h"

#include "settings/SettingsConstants.h"

#include <QDir>
#include <QFile>

bool CIniTable::LoadFiles(const QString& primaryPath, const QString& fallbackPath)
{
    m_loaded.store(false, std::memory_order_release);
    m_primary.Clear();
    m_fallback.Clear();
    bool any = false;
    if (!primaryPath.isEmpty())
        any = m_primary.LoadFile(primaryPath) || any;
    if (!fallbackPath.isEmpty())
        any = m_fallback.LoadFile(fallbackPath) || any;
    if (!any)
        return false;
    FinishLoad();
    return true;
}

bool CIniTable::LoadResources(const QString& primaryName, const QString& fallbackName)
{
    m_loaded.store(false, std::memory_order_release);
    m_primary.Clear();
    m_fallback.Clear();
    const QString type(Settings::kLanguageResourceType);
    bool any = false;
    const std::pair<const QString*, CIniDocument*> steps[] = {
        {&primaryName, &m_primary},
        {&fallbackName, &m_fallback},
    };
    for (const auto& [name, document] : steps) {
        if (name->isEmpty())
            continue;
        QByteArray bytes;
        if (!FindResource(type, *name, bytes))
            return false;
        any = document->LoadBuffer(bytes) || any;
    }
    if (!any)
        return false;
    FinishLoad();
    return true;
}

void CIniTable::LoadEmpty()
{
    m_primary.Clear();
    m_fallback.Clear();
    FinishLoad();
}

void CIniTable::FinishLoad()
{
    m_codePage = int(m_primary.GetInt(QString(Settings::kGeneralSection),
                                      QString(Settings::kCodePageKey), 0, 10));
    m_loaded.store(true, std::memory_order_release);
}

QString CIniTable::Lookup(const QString& section, const QString& key) const
{
    if (!IsLoaded())
        return QString(Settings::kErrorLoading);
    QString value;
    if (!m_primary.GetString(section, key, value) || value.isEmpty())
        m_fallback.GetString(section, key, value, QStringLiteral(""));
    value.replace(QStringLiteral("\\n"), QStringLiteral("\n"));
    value.replace(QStringLiteral("\\r"), QStringLiteral("\r"));
    return value;
}

bool CIniTable::Set(const QString& section, const QString& key, const QString& value)
{
    if (!IsLoaded())
        return false;
    return m_primary.SetString(section, key, value);
}

bool CIniTable::Save(const QString& path) const
{
    if (!IsLoaded())
        return false;
    if (m_primary.Save(path))
        return true;
    // An empty fallback (the settings file has none) holds nothing worth
    // writing: saved instead, it would replace the file with an empty one
    // whenever the primary does not fit (a full disk) and report success.
    return !m_fallback.IsEmpty() && m_fallback.Save(path);
}

bool CIniTable::FindResource(const QString& type, const QString& name, QByteArray& bytes)
{
    if (type.isEmpty() || name.isEmpty())
        return false;
    const QDir folder(QStringLiteral(":/") + type);
    const QStringList entries = folder.entryList(QDir::Files);
    for (const QString& entry : entries) {
        if (entry.compare(name, Qt::CaseInsensitive) != 0)
            continue;
        QFile file(folder.filePath(entry));
        if (!file.open(QIODevice::ReadOnly))
            return false;
        bytes = file.readAll();
        return true;
    }
    return false;
}
