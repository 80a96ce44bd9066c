#pragma once

#include <QLatin1String>

// Names and limits the settings subsystem fixes.
namespace Settings {

// What every read of a table that was never loaded answers.
inline constexpr QLatin1String kErrorLoading("Error Loading");

// The section a caller reaches by naming no section.
inline constexpr QLatin1String kDefaultSection("TEXT");

// Where a table's code page is read at load time (decimal, default 0).
inline constexpr QLatin1String kGeneralSection("GENERAL");
inline constexpr QLatin1String kCodePageKey("CODEPAGE");

// Files above this size are refused by CIniDocument::LoadFile.
inline constexpr qint64 kMaxIniFileBytes = 1000000;

// The viewer's settings file, its section and keys.
inline constexpr QLatin1String kSettingsFileName("kestrav.ini");
inline constexpr QLatin1String kSettingsFolderName("kestrav");
inline constexpr QLatin1String kInstallSection("install");
inline constexpr QLatin1String kUnitKey("unit");
inline constexpr QLatin1String kUnitKmh("km/h");
inline constexpr QLatin1String kUnitMph("mph");
inline constexpr QLatin1String kPlayTypeKey("playtype");
inline constexpr QLatin1String kPlayTypeDual("dual");
inline constexpr QLatin1String kPlayTypeSingle("single");
// The map's tile source: a tile URL template ("https://host/{z}/{x}/{y}.png")
// and the attribution text the map shows for it. Absent or empty: the map's
// defaults (OpenStreetMap's standard tiles). Read, never written, by the viewer.
inline constexpr QLatin1String kMapTileUrlKey("maptileurl");
inline constexpr QLatin1String kMapAttributionKey("mapattribution");

// The machine-wide play-type value ("1" = single picture, anything else = both).
inline constexpr QLatin1String kNorvaneSubKey("SOFTWARE\\NORVANE\\");
inline constexpr QLatin1String kPlayTypeValue("PLAYTYPE");
inline constexpr QLatin1String kPlayTypeValueSingle("1");
inline constexpr QLatin1String kPlayTypeValueDual("0");
// The buffer the viewer reads the play type into, in bytes (UTF-16 units * 2).
inline constexpr qsizetype kRegReadBufferBytes = 260;

// Resource type (folder under ":/") that holds the language tables.
inline constexpr QLatin1String kLanguageResourceType("LANGUAGE");

} // namespace Settings
