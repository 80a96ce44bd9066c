#pragma once

#include <cstdint>

// Number conversions of the C library for text read from files (telemetry
// records, version strings), fixed to the "C" locale: the decimal point is
// always '.', white space is the ASCII set, whatever locale the process runs
// under. A Qt application applies the user's locale (setlocale(LC_ALL, ""))
// when it starts, after which plain strtod reads "3733.1234" as 3733 under a
// comma-decimal locale; these never do. Thread-safe, no state.

// strtod: leading white space, an optional sign, decimal (or hexadecimal,
// "inf", "nan") text; stops at the first character that does not fit. 0 when
// nothing converts. `end` (optional) receives where the conversion stopped.
double CStringToDouble(const char* text, const char** end = nullptr);

// strtoll in the given radix (2..36, or 0 for C prefixes), saturating at the
// 64-bit range. 0 when nothing converts.
long long CStringToLongLong(const char* text, int radix = 10, const char** end = nullptr);
