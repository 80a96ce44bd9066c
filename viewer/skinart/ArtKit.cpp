#include "skinart/ArtKit.h"

#include <QFontDatabase>
#include <QFontMetricsF>

#include <algorithm>
#include <cmath>

namespace Art {

QColor WithAlpha(QColor c, int alpha)
{
    c.setAlpha(alpha);
    return c;
}

QColor Mix(const QColor& a, const QColor& b, double t)
{
    auto m = [t](int x, int y) { return int(std::lround(x + (y - x) * t)); };
    return QColor(m(a.red(), b.red()), m(a.green(), b.green()), m(a.blue(), b.blue()), m(a.alpha(), b.alpha()));
}

QImage Canvas(QSize size)
{
    QImage img(size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    return img;
}

void Prepare(QPainter& p)
{
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    p.setRenderHint(QPainter::SmoothPixmapTransform, true);
}

namespace {
const QRgb kBorderBlank = 0x00FFFFFFu; // transparent white: neither marker nor content
const QRgb kMarker = 0xFF000000u;

// The content as stored (not premultiplied), so that fully transparent pixels
// never read as black markers.
QImage Unpremultiplied(const QImage& content)
{
    QImage out = content.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < out.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x)
            if (qAlpha(line[x]) == 0)
                line[x] = kBorderBlank;
    }
    return out;
}

QImage Framed(const QImage& content, int extraW, int extraH, int offset)
{
    QImage pic(content.width() + extraW, content.height() + extraH, QImage::Format_ARGB32);
    pic.fill(kBorderBlank);
    const QImage body = Unpremultiplied(content);
    for (int y = 0; y < body.height(); ++y)
        for (int x = 0; x < body.width(); ++x)
            pic.setPixel(x + offset, y + offset, body.pixel(x, y));
    return pic;
}
} // namespace

QImage NinePatch(const QImage& content, const QList<int>& stretchX, const QList<int>& stretchY, const QRect& textBox)
{
    QImage pic = Framed(content, 2, 2, 1);
    const int w = pic.width(), h = pic.height();
    for (int x : stretchX)
        pic.setPixel(x + 1, 0, kMarker);
    for (int y : stretchY)
        pic.setPixel(0, y + 1, kMarker);
    if (!textBox.isNull()) {
        // A run must start after the first pixel and end before the last one.
        const int top = std::clamp(textBox.top(), 1, h - 2), bottom = std::clamp(textBox.bottom(), top, h - 2);
        const int left = std::clamp(textBox.left(), 1, w - 2), right = std::clamp(textBox.right(), left, w - 2);
        for (int y = top; y <= bottom; ++y)
            pic.setPixel(w - 1, y, kMarker);
        for (int x = left; x <= right; ++x)
            pic.setPixel(x, h - 1, kMarker);
    }
    return pic;
}

QImage ThreeSliceV(const QImage& content, int stretchRow)
{
    QImage pic = Framed(content, 2, 2, 1);
    pic.setPixel(0, stretchRow + 1, kMarker);
    return pic;
}

QImage ThreeSliceH(const QImage& content, int stretchColumn)
{
    QImage pic = Framed(content, 2, 2, 1);
    pic.setPixel(stretchColumn + 1, 0, kMarker);
    return pic;
}

QImage PlainInNinePatch(const QImage& content)
{
    return Framed(content, 1, 1, 1);
}

QLinearGradient Vertical(const QRectF& r, const QColor& top, const QColor& bottom)
{
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    return g;
}

void RoundRect(QPainter& p, const QRectF& r, double radius, const QBrush& fill, const QColor& border, double borderWidth)
{
    p.save();
    if (border.alpha() > 0)
        p.setPen(QPen(border, borderWidth));
    else
        p.setPen(Qt::NoPen);
    p.setBrush(fill);
    const double inset = border.alpha() > 0 ? borderWidth / 2 : 0;
    p.drawRoundedRect(r.adjusted(inset, inset, -inset, -inset), radius, radius);
    p.restore();
}

void ToolFace(QPainter& p, const QRectF& r, State s, double radius)
{
    const QRectF face = r.adjusted(1, 1, -1, -1);
    switch (s) {
    case State::Normal:
        RoundRect(p, face, radius, Vertical(face, QColor(255, 255, 255, 20), QColor(255, 255, 255, 8)),
                  QColor(255, 255, 255, 26));
        break;
    case State::Over:
        RoundRect(p, face, radius, Vertical(face, QColor(255, 255, 255, 44), QColor(255, 255, 255, 22)),
                  QColor(255, 255, 255, 62));
        break;
    case State::Press:
        RoundRect(p, face, radius, Vertical(face, QColor(0, 0, 0, 90), QColor(0, 0, 0, 50)), WithAlpha(kAccent, 170));
        break;
    case State::Selected:
        RoundRect(p, face, radius, Vertical(face, WithAlpha(kAccent, 110), WithAlpha(kAccentDeep, 90)),
                  WithAlpha(kAccentLight, 190));
        break;
    case State::Disabled:
        RoundRect(p, face, radius, QColor(255, 255, 255, 6), QColor(255, 255, 255, 14));
        break;
    }
}

QColor GlyphColor(State s)
{
    switch (s) {
    case State::Normal:
        return QColor(206, 218, 228);
    case State::Over:
        return QColor(255, 255, 255);
    case State::Press:
        return kAccentLight;
    case State::Selected:
        return QColor(255, 255, 255);
    case State::Disabled:
        return QColor(206, 218, 228, 70);
    }
    return kLabel;
}

void RoundFace(QPainter& p, const QRectF& r, State s, bool primary)
{
    p.save();
    p.setPen(Qt::NoPen);
    // Shadow under the button.
    for (int i = 3; i >= 1; --i) {
        p.setBrush(QColor(0, 0, 0, 26));
        p.drawEllipse(r.adjusted(2 - i * 0.5, 3 - i * 0.2, -(2 - i * 0.5), -(1 - i * 0.6)));
    }
    const QRectF rim = r.adjusted(2, 1.5, -2, -2.5);
    // Rim: a bevelled ring, light on top.
    p.setBrush(Vertical(rim, QColor(92, 103, 117), QColor(20, 23, 27)));
    p.drawEllipse(rim);
    const double ring = std::max(2.0, rim.width() * 0.05);
    const QRectF face = rim.adjusted(ring, ring, -ring, -ring);
    QColor top, bottom;
    if (primary) {
        switch (s) {
        case State::Normal: top = QColor(92, 188, 246); bottom = QColor(30, 118, 190); break;
        case State::Over: top = QColor(122, 205, 252); bottom = QColor(44, 140, 212); break;
        case State::Press: top = QColor(26, 100, 162); bottom = QColor(50, 140, 206); break;
        case State::Selected: top = QColor(92, 188, 246); bottom = QColor(30, 118, 190); break;
        case State::Disabled: top = QColor(66, 76, 88); bottom = QColor(48, 55, 64); break;
        }
    } else {
        switch (s) {
        case State::Normal: top = QColor(70, 79, 91); bottom = QColor(36, 41, 47); break;
        case State::Over: top = QColor(86, 97, 111); bottom = QColor(46, 53, 61); break;
        case State::Press: top = QColor(28, 32, 37); bottom = QColor(50, 57, 66); break;
        case State::Selected: top = QColor(70, 79, 91); bottom = QColor(36, 41, 47); break;
        case State::Disabled: top = QColor(52, 57, 64); bottom = QColor(38, 42, 47); break;
        }
    }
    p.setBrush(Vertical(face, top, bottom));
    p.drawEllipse(face);
    // Inner edge and gloss.
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0, 0, 0, s == State::Press ? 110 : 60), 1.0));
    p.drawEllipse(face.adjusted(0.5, 0.5, -0.5, -0.5));
    if (s != State::Press && s != State::Disabled) {
        QRectF gloss = face.adjusted(face.width() * 0.12, face.height() * 0.04, -face.width() * 0.12,
                                     -face.height() * 0.5);
        QLinearGradient g(gloss.topLeft(), gloss.bottomLeft());
        g.setColorAt(0, QColor(255, 255, 255, primary ? 70 : 46));
        g.setColorAt(1, QColor(255, 255, 255, 0));
        p.setPen(Qt::NoPen);
        p.setBrush(g);
        p.drawEllipse(gloss);
    }
    if (s == State::Over) {
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(WithAlpha(kAccentLight, primary ? 150 : 120), 1.2));
        p.drawEllipse(rim.adjusted(0.6, 0.6, -0.6, -0.6));
    }
    p.restore();
}

void Stroke(QPainter& p, const QPainterPath& path, const QColor& c, double width, Qt::PenCapStyle cap,
            Qt::PenJoinStyle join)
{
    p.save();
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(c, width, Qt::SolidLine, cap, join));
    p.drawPath(path);
    p.restore();
}

void Fill(QPainter& p, const QPainterPath& path, const QColor& c)
{
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawPath(path);
    p.restore();
}

QPainterPath Triangle(const QPointF& a, const QPointF& b, const QPointF& c)
{
    QPainterPath path;
    path.moveTo(a);
    path.lineTo(b);
    path.lineTo(c);
    path.closeSubpath();
    return path;
}

QPainterPath RoundedTriangleRight(const QRectF& box, double radius)
{
    // A play triangle pointing right with softened corners.
    QPainterPath sharp = Triangle(box.topLeft(), QPointF(box.right(), box.center().y()), box.bottomLeft());
    QPainterPathStroker stroker;
    stroker.setWidth(radius * 2);
    stroker.setJoinStyle(Qt::RoundJoin);
    QPainterPath shrunk = Triangle(box.topLeft() + QPointF(radius * 1.2, radius * 1.6),
                                   QPointF(box.right() - radius * 1.8, box.center().y()),
                                   box.bottomLeft() + QPointF(radius * 1.2, -radius * 1.6));
    return shrunk.united(stroker.createStroke(shrunk)).simplified();
}

QFont Font(const QString& family, double pixelSize, int weight, bool italic)
{
    QFont f(family);
    f.setPixelSize(std::max(1, int(std::lround(pixelSize))));
    f.setWeight(QFont::Weight(weight));
    f.setItalic(italic);
    f.setHintingPreference(QFont::PreferNoHinting);
    f.setStyleStrategy(QFont::StyleStrategy(QFont::PreferAntialias | QFont::NoSubpixelAntialias));
    return f;
}

QFont UiFont(double pixelSize, int weight)
{
    return Font(QStringLiteral("DejaVu Sans"), pixelSize, weight);
}

QFont BrandFont(double pixelSize, int weight)
{
    static const bool hasCondensed = QFontDatabase::families().contains(QStringLiteral("DejaVu Sans Condensed"));
    return Font(hasCondensed ? QStringLiteral("DejaVu Sans Condensed") : QStringLiteral("DejaVu Sans"), pixelSize,
                std::min(weight, int(QFont::Bold)));
}

QPainterPath TextPath(const QString& text, const QFont& font, const QRectF& box, Qt::Alignment align)
{
    QPainterPath path;
    path.addText(0, 0, font, text);
    const QRectF b = path.boundingRect();
    QFontMetricsF fm(font);
    // Centre the ink box vertically; place horizontally by the alignment.
    double x = box.left() - b.left();
    if (align & Qt::AlignHCenter)
        x = box.center().x() - b.center().x();
    else if (align & Qt::AlignRight)
        x = box.right() - b.right();
    const double y = box.center().y() - b.center().y();
    path.translate(std::round(x * 2) / 2, std::round(y * 2) / 2);
    return path;
}

void SoftShadow(QPainter& p, const QPainterPath& path, int spread, int alpha)
{
    p.save();
    p.setBrush(Qt::NoBrush);
    for (int i = spread; i >= 1; --i) {
        p.setPen(QPen(QColor(0, 0, 0, alpha / spread), i * 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPath(path);
    }
    p.restore();
}

} // namespace Art
