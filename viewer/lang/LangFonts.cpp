#include "lang/LangFonts.h"

#include <QFont>
#include <QStringList>

void InstallLanguageFontSubstitutions()
{
    // Hangul faces: Nanum Gothic is a gothic (sans) face like Dotum and Gulim.
    const QStringList hangul = {
        QStringLiteral("NanumGothic"), QStringLiteral("NanumBarunGothic"),
        QStringLiteral("DejaVu Sans"),
    };
    // Latin faces: DejaVu Sans comes from Bitstream Vera, drawn in the manner
    // of Verdana; Hangul in English texts falls through to Nanum Gothic.
    const QStringList latin = {
        QStringLiteral("DejaVu Sans"), QStringLiteral("NanumGothic"),
    };
    // Chinese faces: whichever CJK face is installed; otherwise Latin text and
    // Hangul still draw.
    const QStringList chinese = {
        QStringLiteral("Noto Serif CJK SC"), QStringLiteral("Noto Sans CJK SC"),
        QStringLiteral("AR PL UMing CN"), QStringLiteral("WenQuanYi Zen Hei"),
        QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Droid Sans Fallback"),
        QStringLiteral("DejaVu Sans"), QStringLiteral("NanumGothic"),
    };

    const struct {
        const char16_t* face;
        const QStringList& substitutes;
    } table[] = {
        {u"dotum", hangul},
        {u"dotumche", hangul},
        {u"돋움", hangul},
        {u"gulim", hangul},
        {u"gulimche", hangul},
        {u"굴림", hangul},
        {u"malgun gothic", hangul},
        {u"맑은 고딕", hangul},
        {u"verdana", latin},
        {u"tahoma", latin},
        {u"arial", latin},
        {u"segoe ui", latin},
        {u"ms shell dlg", latin},
        {u"ms shell dlg 2", latin},
        {u"simsun", chinese},
        {u"nsimsun", chinese},
        {u"宋体", chinese},
        {u"microsoft yahei", chinese},
    };
    for (const auto& entry : table)
        QFont::insertSubstitutions(QString::fromUtf16(entry.face), entry.substitutes);
}
