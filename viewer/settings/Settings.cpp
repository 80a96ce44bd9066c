#include "settings/Settings.h"

#include "settings/SettingsConstants.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

CIniTable g_settings;

QString SettingsFolder()
{
    // The generic configuration folder, not the application one: the name
    // must not depend on the organisation and application names the process
    // happens to set before the first call.
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return QDir(base).filePath(QString(Settings::kSettingsFolderName));
}

QString SettingsFilePath(const QString& folder)
{
    return QDir(folder).filePath(QString(Settings::kSettingsFileName));
}

bool SettingsLoad(const QString& folder)
{
    const QString path = SettingsFilePath(folder);
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink()) {
        g_settings.LoadEmpty();
        return true;
    }
    return g_settings.LoadFiles(path, QString());
}

QString SettingsGetText(const QString& key)
{
    return g_settings.Lookup(QString(Settings::kInstallSection), key);
}

bool SettingsSetText(const QString& key, const QString& value)
{
    return g_settings.Set(QString(Settings::kInstallSection), key, value);
}

bool SettingsSave(const QString& folder)
{
    if (!g_settings.IsLoaded() || folder.isEmpty())
        return false;
    if (!QDir().mkpath(folder))
        return false;
    return g_settings.Save(SettingsFilePath(folder));
}
