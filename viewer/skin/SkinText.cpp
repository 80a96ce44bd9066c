#include "skin/SkinText.h"

#include "skin/SkinBlit.h"
#include "lang/Lang.h"

#include <QFontMetrics>
#include <QPainter>

namespace {
QString g_faceName = QStringLiteral("DejaVu Sans");

// Half of a spare length: truncated, plus 1 when odd, never negative.
int HalfRoundedUp(int spare)
{
    const int half = spare / 2 + (spare % 2 != 0 ? 1 : 0);
    return half < 0 ? 0 : half;
}
} // namespace

void SetSkinFaceName(const QString& face)
{
    g_faceName = face;
}

QString SkinFaceName()
{
    return g_faceName;
}

QFont MakeSkinFont(int cellHeight, int weight, const QString& face)
{
    QFont font(face.isEmpty() ? g_faceName : face);
    font.setWeight(QFont::Weight(weight));
    font.setStyleStrategy(QFont::StyleStrategy(QFont::PreferAntialias | QFont::NoSubpixelAntialias));
    // The largest pixel size whose line fits in the cell.
    int pixels = qMax(1, cellHeight);
    for (; pixels > 1; --pixels) {
        font.setPixelSize(pixels);
        if (QFontMetrics(font).height() <= cellHeight)
            break;
    }
    font.setPixelSize(pixels);
    return font;
}

QString LanguageFaceName()
{
    return g_langTable.IsLoaded() ? LangFaceName() : g_faceName;
}

QFont MakeLanguageFont(const char* sizeKey, int fallbackHeight, int weight)
{
    int height = g_langTable.IsLoaded() ? LangFontValue(QString::fromLatin1(sizeKey)) : 0;
    if (height <= 0)
        height = fallbackHeight;
    return MakeSkinFont(height, weight, LanguageFaceName());
}

namespace SkinAlphaText {

QImage Render(const QString& text, const QFont& font, const QColor& color, AlphaMode mode)
{
    if (text.isEmpty())
        return QImage();
    const QFontMetrics fm(font);
    const QSize size = fm.size(0, text);
    if (size.width() <= 0 || size.height() <= 0)
        return QImage();
    QImage mask(size, QImage::Format_RGB32);
    mask.fill(Qt::black);
    {
        QPainter p(&mask);
        p.setFont(font);
        p.setPen(Qt::white);
        p.drawText(QRect(QPoint(0, 0), size), Qt::AlignLeft | Qt::AlignTop, text);
    }
    QImage out(size, QImage::Format_ARGB32_Premultiplied);
    const uint r = uint(color.red()), g = uint(color.green()), b = uint(color.blue());
    for (int y = 0; y < size.height(); ++y) {
        const auto* src = reinterpret_cast<const QRgb*>(mask.constScanLine(y));
        auto* dst = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < size.width(); ++x) {
            const uint c = uint(qBlue(src[x])); // coverage
            const uint alpha = mode == AlphaMode::Coverage ? c : 0;
            dst[x] = (alpha << 24) | (((r * c) >> 8) << 16) | (((g * c) >> 8) << 8) | ((b * c) >> 8);
        }
    }
    return out;
}

QPoint Place(const SkinRect& box, QSize size, int align, VerticalRule rule)
{
    const int spareX = box.right - box.left - size.width();
    const int spareY = box.bottom - box.top - size.height();
    const int x = align == 1 ? box.left + HalfRoundedUp(spareX) : box.left;
    int y = box.top;
    switch (rule) {
    case VerticalRule::RoundUpClamp:
        y += HalfRoundedUp(spareY);
        break;
    case VerticalRule::TruncateMinusTwo:
        y += spareY / 2 - 2;
        break;
    case VerticalRule::TruncateClamp:
        y += qMax(0, spareY / 2);
        break;
    }
    return QPoint(x, y);
}

void Draw(QImage& target, const SkinRect& box, const QString& text, const QFont& font, const QColor& color, int align,
          VerticalRule rule, AlphaMode mode, int centreHeight)
{
    const QImage rendered = Render(text, font, color, mode);
    if (rendered.isNull() || target.isNull())
        return;
    const QSize placed(rendered.width(), centreHeight >= 0 ? centreHeight : rendered.height());
    const QPoint at = Place(box, placed, align, rule);
    if (mode == AlphaMode::Zero)
        SkinBlit::Add(target, at.x(), at.y(), rendered);
    else
        SkinBlit::AlphaBlend(target, at.x(), at.y(), rendered.width(), rendered.height(), rendered, 0, 0);
}

} // namespace SkinAlphaText
