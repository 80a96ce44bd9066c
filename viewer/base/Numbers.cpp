#include "base/Numbers.h"

#include <charconv>
#include <cstdlib>
#include <cstring>
#include <locale.h>
#include <stdlib.h>

namespace {

// The "C" locale object, made once for the process and never freed.
locale_t CLocale()
{
    static const locale_t c = ::newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return c;
}

bool IsAsciiSpace(char ch)
{
    return ch == ' ' || ch == '\t' || ch == '\n' || ch == '\v' || ch == '\f' || ch == '\r';
}

} // namespace

double CStringToDouble(const char* text, const char** end)
{
    if (!text) {
        if (end)
            *end = text;
        return 0.0;
    }
    if (const locale_t c = CLocale()) {
        char* stop = nullptr;
        const double v = ::strtod_l(text, &stop, c);
        if (end)
            *end = stop;
        return v;
    }
    // No locale object (out of memory): decimal text through from_chars,
    // which never looks at the locale either.
    const char* p = text;
    while (IsAsciiSpace(*p))
        ++p;
    const bool plus = *p == '+';
    if (plus)
        ++p;
    double v = 0.0;
    const auto r = std::from_chars(p, p + std::strlen(p), v);
    const bool converted = r.ec == std::errc() || r.ec == std::errc::result_out_of_range;
    if (end)
        *end = converted ? r.ptr : text;
    return r.ec == std::errc() ? v : 0.0;
}

long long CStringToLongLong(const char* text, int radix, const char** end)
{
    if (!text) {
        if (end)
            *end = text;
        return 0;
    }
    char* stop = nullptr;
    const locale_t c = CLocale();
    const long long v = c ? ::strtoll_l(text, &stop, radix, c) : std::strtoll(text, &stop, radix);
    if (end)
        *end = stop;
    return v;
}
