#pragma once

#include "settings/IniTable.h"

#include <QString>

// The viewer's settings file "kestrav.ini" (section "install": "unit",
// "playtype", and the map's "maptileurl" and "mapattribution"). Used from the
// GUI thread only.
//
// The file lives in the user's configuration folder, SettingsFolder(). At
// start-up SettingsLoad() reads it; a file that does not exist yet gives an
// empty, loaded table that the first SettingsSave() creates. A file that
// exists but cannot be read (unreadable, above 1,000,000 bytes, 1 byte) leaves
// the table not loaded: reads answer "Error Loading", writes and saves report
// false, so such a file is never overwritten.
extern CIniTable g_settings;

// $XDG_CONFIG_HOME/kestrav (normally ~/.config/kestrav), without a trailing
// separator.
QString SettingsFolder();
// `folder`/kestrav.ini.
QString SettingsFilePath(const QString& folder);

// Loads `folder`/kestrav.ini into g_settings (see above); true when loaded.
bool SettingsLoad(const QString& folder = SettingsFolder());

// Lookup / Set in section "install" of g_settings.
QString SettingsGetText(const QString& key);
bool SettingsSetText(const QString& key, const QString& value);

// Saves g_settings to `folder`/kestrav.ini, creating the folder if needed.
// False when the table is not loaded or the file cannot be written; a failed
// save leaves any existing file untouched.
bool SettingsSave(const QString& folder = SettingsFolder());
