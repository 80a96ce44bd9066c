#pragma once

#include <QLatin1String>

// Names the language tables fix.
namespace Lang {

// Language names as SelectLanguage takes them (resource names, any case).
inline constexpr QLatin1String kKorean("korean");
inline constexpr QLatin1String kEnglish("english");
inline constexpr QLatin1String kSpanish("spanish");
inline constexpr QLatin1String kChineseSimplified("chinesesimplified");

// The language every table falls back to, key by key.
inline constexpr QLatin1String kFallbackLanguage("english");

// Sections of a table; "text" is its default section.
inline constexpr QLatin1String kFontSection("font");
inline constexpr QLatin1String kMenuSection("menu");

// [font] keys every window reads.
inline constexpr QLatin1String kFaceNameKey("DEFAULT_UI_FACENAME");
inline constexpr QLatin1String kCharsetKey("DEFAULT_UI_CHARSET");

} // namespace Lang
