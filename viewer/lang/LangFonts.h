#pragma once

// Maps the face names the language tables and windows ask for ("dotum",
// "Verdana", "tahoma", "simsun", ...) to fonts the set-up installs
// (fonts-nanum for Hangul, DejaVu for Latin and Cyrillic) through
// QFont::insertSubstitutions. A face that is itself installed is still used
// first. Call once on the GUI thread before the first window font is made.
//
// Not part of kestrav_lang (which uses Qt Core only): programs that draw
// text compile LangFonts.cpp themselves and link Qt Gui.
void InstallLanguageFontSubstitutions();
