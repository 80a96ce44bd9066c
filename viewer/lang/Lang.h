#pragma once

#include "settings/IniTable.h"

#include <QString>

// The process-wide language table: the selected language as the primary
// document, English as the fallback. Tables are built into the program as
// resources ":/LANGUAGE/ENGLISH", "KOREAN", "SPANISH", "CHINESESIMPLIFIED".
//
// SelectLanguage runs on the GUI thread at start-up; afterwards the look-ups
// may be called from any thread (nothing selects a language again while
// other threads read).
extern CIniTable g_langTable;
extern QString g_currentLanguage;

// Registers the built-in language resources (needed once because they live in
// a static library). SelectLanguage calls it; safe to call again.
void InitLanguageResources();

// Loads language `name` (resource name, any case) with English as fallback.
// A missing resource fails and leaves the table not loaded; the current
// language changes only on success.
bool SelectLanguage(const QString& name);

// The name last passed successfully to SelectLanguage; empty until then.
QString CurrentLanguage();

// The text under `key` in the "text" section; "Error Loading" while no table
// is loaded, "" for a key neither language has.
QString LangText(const QString& key);

// The [font] / [menu] value as a decimal integer (leading digits as the C
// library's strtol reads them); 0 when empty or not a number.
int LangFontValue(const QString& key);
int LangMenuValue(const QString& key);

// The [font] value DEFAULT_UI_FACENAME.
QString LangFaceName();
