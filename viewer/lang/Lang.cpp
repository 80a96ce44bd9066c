#include "lang/Lang.h"

#include "lang/LangConstants.h"

#include <climits>
#include <mutex>

CIniTable g_langTable;
QString g_currentLanguage;

// Q_INIT_RESOURCE must be used outside any namespace.
static void RegisterLanguageResources()
{
    Q_INIT_RESOURCE(kestrav_language);
}

void InitLanguageResources()
{
    static std::once_flag once;
    std::call_once(once, RegisterLanguageResources);
}

namespace {

// Decimal conversion in the manner of strtol for a 32-bit long: leading white
// space, optional sign, digits up to the first non-digit; saturates.
int ToLong32(const QString& text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && text.at(i).isSpace())
        ++i;
    bool negative = false;
    if (i < n && (text.at(i) == u'+' || text.at(i) == u'-')) {
        negative = text.at(i) == u'-';
        ++i;
    }
    long long value = 0;
    for (; i < n; ++i) {
        const char16_t c = text.at(i).unicode();
        if (c < u'0' || c > u'9')
            break;
        value = value * 10 + (c - u'0');
        if (value > (long long)INT_MAX + 1)
            value = (long long)INT_MAX + 1;
    }
    if (negative)
        return value > INT_MAX ? INT_MIN : -int(value);
    return value > INT_MAX ? INT_MAX : int(value);
}

int NumberIn(const QLatin1String& section, const QString& key)
{
    const QString text = g_langTable.Lookup(QString(section), key);
    return text.isEmpty() ? 0 : ToLong32(text);
}

} // namespace

bool SelectLanguage(const QString& name)
{
    InitLanguageResources();
    if (!g_langTable.LoadResources(name, QString(Lang::kFallbackLanguage)))
        return false;
    g_currentLanguage = name;
    return true;
}

QString CurrentLanguage()
{
    return g_currentLanguage;
}

QString LangText(const QString& key)
{
    return g_langTable.Lookup(QString(), key);
}

int LangFontValue(const QString& key)
{
    return NumberIn(Lang::kFontSection, key);
}

int LangMenuValue(const QString& key)
{
    return NumberIn(Lang::kMenuSection, key);
}

QString LangFaceName()
{
    return g_langTable.Lookup(QString(Lang::kFontSection), QString(Lang::kFaceNameKey));
}
