// Start-up picture, video-window backgrounds, map placeholder, brand and model badges.
#include "skinart/ArtGlyphs.h"
#include "skinart/ArtKit.h"
#include "skinart/SkinArt.h"

#include <QRadialGradient>

#include <cmath>

namespace Art {
namespace {

// The product mark: a lens ring with aperture blades and an accent wing.
void LensMark(QPainter& p, const QPointF& c, double r, double fade = 1.0)
{
    p.save();
    Prepare(p);
    auto a = [fade](int alpha) { return int(alpha * fade); };
    QRadialGradient glow(c, r * 1.6);
    glow.setColorAt(0, WithAlpha(kAccent, a(60)));
    glow.setColorAt(1, WithAlpha(kAccent, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(glow);
    p.drawEllipse(c, r * 1.6, r * 1.6);

    QLinearGradient ring(c + QPointF(-r, -r), c + QPointF(r, r));
    ring.setColorAt(0, WithAlpha(kAccentLight, a(255)));
    ring.setColorAt(1, WithAlpha(kAccentDeep, a(255)));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QBrush(ring), r * 0.18));
    p.drawEllipse(c, r * 0.86, r * 0.86);

    // Aperture: six blades around a dark pupil.
    p.setPen(QPen(WithAlpha(kLabel, a(150)), std::max(1.0, r * 0.055)));
    const double inner = r * 0.30, outer = r * 0.70;
    for (int i = 0; i < 6; ++i) {
        const double t = (i * 60 + 15) * M_PI / 180.0;
        const double u = (i * 60 + 75) * M_PI / 180.0;
        p.drawLine(c + QPointF(inner * std::cos(t), inner * std::sin(t)),
                   c + QPointF(outer * std::cos(u), outer * std::sin(u)));
    }
    p.setPen(Qt::NoPen);
    QRadialGradient pupil(c - QPointF(r * 0.1, r * 0.1), r * 0.34);
    pupil.setColorAt(0, WithAlpha(QColor(40, 70, 100), a(255)));
    pupil.setColorAt(1, WithAlpha(QColor(10, 14, 18), a(255)));
    p.setBrush(pupil);
    p.drawEllipse(c, r * 0.29, r * 0.29);
    p.setBrush(WithAlpha(Qt::white, a(200)));
    p.drawEllipse(c + QPointF(-r * 0.1, -r * 0.1), r * 0.07, r * 0.07);
    p.restore();
}

// "Kestrav" with a soft light-to-grey fill.
void Wordmark(QPainter& p, const QRectF& box, double size, double fade = 1.0, Qt::Alignment align = Qt::AlignLeft)
{
    p.save();
    Prepare(p);
    QFont f = BrandFont(size, QFont::ExtraBold);
    f.setLetterSpacing(QFont::PercentageSpacing, 104);
    const QPainterPath text = TextPath(QStringLiteral("Kestrav"), f, box, align | Qt::AlignVCenter);
    const QRectF b = text.boundingRect();
    QLinearGradient g(b.topLeft(), b.bottomLeft());
    g.setColorAt(0, WithAlpha(QColor(245, 249, 252), int(255 * fade)));
    g.setColorAt(1, WithAlpha(QColor(178, 194, 208), int(255 * fade)));
    p.translate(0, 1);
    Fill(p, text, WithAlpha(Qt::black, int(90 * fade)));
    p.translate(0, -1);
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawPath(text);
    p.restore();
}

// Viewfinder corner marks inside `r`.
void Viewfinder(QPainter& p, const QRectF& r, double len, const QColor& c)
{
    QPainterPath path;
    const double l = r.left(), t = r.top(), rt = r.right(), b = r.bottom();
    path.moveTo(l, t + len); path.lineTo(l, t); path.lineTo(l + len, t);
    path.moveTo(rt - len, t); path.lineTo(rt, t); path.lineTo(rt, t + len);
    path.moveTo(rt, b - len); path.lineTo(rt, b); path.lineTo(rt - len, b);
    path.moveTo(l + len, b); path.lineTo(l, b); path.lineTo(l, b - len);
    Stroke(p, path, c, 1.5, Qt::FlatCap, Qt::MiterJoin);
}

QImage VideoBackground(QSize size, double cornerLen)
{
    QImage img = Canvas(size);
    QPainter p(&img);
    Prepare(p);
    const QRectF r(0, 0, size.width(), size.height());
    QRadialGradient g(r.center(), std::hypot(r.width(), r.height()) * 0.6);
    g.setColorAt(0, QColor(36, 42, 50));
    g.setColorAt(0.7, QColor(22, 25, 30));
    g.setColorAt(1, QColor(15, 17, 20));
    p.fillRect(r, g);
    // Fine horizontal scan lines, barely visible.
    p.setPen(QPen(QColor(255, 255, 255, 5), 1));
    for (int y = 1; y < size.height(); y += 3)
        p.drawLine(QPointF(0, y + 0.5), QPointF(size.width(), y + 0.5));
    Viewfinder(p, r.adjusted(14.5, 14.5, -14.5, -14.5), cornerLen, QColor(255, 255, 255, 38));
    return img;
}

QImage Splash(const SkinPictureDef& def)
{
    QImage img = Canvas(def.size);
    QPainter p(&img);
    Prepare(p);
    const QRectF r(0, 0, def.size.width(), def.size.height());
    p.fillRect(r, Vertical(r, QColor(50, 57, 66), QColor(27, 30, 34)));
    QRadialGradient glow(QPointF(90, 80), 300);
    glow.setColorAt(0, WithAlpha(kAccent, 46));
    glow.setColorAt(1, WithAlpha(kAccent, 0));
    p.fillRect(r, glow);

    // A road running to the horizon, as a dash camera sees it.
    p.save();
    p.setClipRect(QRectF(200, 146, 280, 112));
    const QPointF vanish(384, 150);
    QPainterPath road;
    road.moveTo(214, 258);
    road.lineTo(vanish);
    road.lineTo(560, 258);
    road.closeSubpath();
    QLinearGradient roadFill(vanish, QPointF(384, 258));
    roadFill.setColorAt(0, QColor(255, 255, 255, 0));
    roadFill.setColorAt(1, QColor(255, 255, 255, 20));
    p.setPen(Qt::NoPen);
    p.setBrush(roadFill);
    p.drawPath(road);
    QLinearGradient edge(vanish, QPointF(384, 258));
    edge.setColorAt(0, QColor(255, 255, 255, 10));
    edge.setColorAt(1, QColor(255, 255, 255, 70));
    p.setPen(QPen(QBrush(edge), 1.4));
    p.drawLine(QPointF(214, 258), vanish);
    p.drawLine(QPointF(560, 258), vanish);
    for (double t = 0.10; t < 1.0; t += 0.16) {
        const double a = t * t, b = (t + 0.07) * (t + 0.07);
        auto at = [&](double u) { return vanish + (QPointF(387, 258) - vanish) * u; };
        p.setPen(QPen(WithAlpha(kAccent, int(60 + 150 * t)), 0.6 + 2.4 * t, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(at(a), at(std::min(1.0, b)));
    }
    QLinearGradient horizon(QPointF(200, 0), QPointF(480, 0));
    horizon.setColorAt(0, QColor(255, 255, 255, 0));
    horizon.setColorAt(0.65, QColor(255, 255, 255, 36));
    horizon.setColorAt(1, QColor(255, 255, 255, 6));
    p.setPen(QPen(QBrush(horizon), 1));
    p.drawLine(QPointF(200, 150.5), QPointF(480, 150.5));
    p.restore();

    LensMark(p, QPointF(62, 96), 28);
    Wordmark(p, QRectF(102, 72, 260, 44), 42);
    QFont tag = UiFont(10.5, QFont::DemiBold);
    tag.setLetterSpacing(QFont::AbsoluteSpacing, 2.2);
    Fill(p, TextPath(QStringLiteral("DASH CAMERA RECORDING VIEWER"), tag, QRectF(104, 122, 300, 14), Qt::AlignLeft),
         kTextDim);
    QFont loading = UiFont(10, QFont::Normal);
    Fill(p, TextPath(QStringLiteral("Loading"), loading, QRectF(34, 162, 120, 14), Qt::AlignLeft),
         WithAlpha(kText, 170));
    // Groove around the progress track (the bar itself is drawn by the viewer).
    RoundRect(p, QRectF(32, 180, 184, 7), 2, QColor(0, 0, 0, 70), QColor(255, 255, 255, 22));

    // Footer band for the version and notice lines.
    const QRectF footer(0, 258, r.width(), r.height() - 258);
    p.fillRect(footer, Vertical(footer, QColor(20, 23, 26, 235), QColor(14, 16, 18, 245)));
    p.setPen(QPen(QColor(255, 255, 255, 18), 1));
    p.drawLine(QPointF(0, 258.5), QPointF(r.width(), 258.5));
    p.setPen(QPen(WithAlpha(kAccent, 160), 2));
    p.drawLine(QPointF(30, 259), QPointF(76, 259));
    // Thin frame.
    p.setPen(QPen(QColor(255, 255, 255, 24), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(r.adjusted(0.5, 0.5, -0.5, -0.5));
    return img;
}

QImage ViewFront(const SkinPictureDef& def)
{
    return VideoBackground(def.size, 22);
}

QImage ViewRear(const SkinPictureDef& def)
{
    QImage img = VideoBackground(def.size, 16);
    QPainter p(&img);
    const QRectF r(0, 0, def.size.width(), def.size.height());
    DrawGlyph(p, Glyph::Camera, QRectF(r.center().x() - 26, r.center().y() - 30, 52, 52), QColor(255, 255, 255, 46), 0.8);
    QFont f = UiFont(10, QFont::Bold);
    f.setLetterSpacing(QFont::AbsoluteSpacing, 3);
    Fill(p, TextPath(QStringLiteral("REAR"), f, QRectF(0, r.center().y() + 22, r.width(), 14)), QColor(255, 255, 255, 50));
    return img;
}

QImage ViewTitle(const SkinPictureDef& def)
{
    QImage img = Canvas(def.size);
    QPainter p(&img);
    LensMark(p, QPointF(22, 22), 17, 0.8);
    Wordmark(p, QRectF(46, 6, 124, 32), 26, 0.75);
    return img;
}

QImage MapEmpty(const SkinPictureDef& def)
{
    QImage img = Canvas(def.size);
    QPainter p(&img);
    Prepare(p);
    const QRectF r(0, 0, def.size.width(), def.size.height());
    p.fillRect(r, QColor(29, 33, 39));
    // Blocks, a park and a river, in muted tones.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(35, 40, 47));
    for (int by = -10; by < 250; by += 46)
        for (int bx = -20; bx < 330; bx += 58)
            p.drawRoundedRect(QRectF(bx + ((by / 46) % 2) * 14, by, 48, 36), 3, 3);
    p.setBrush(QColor(33, 48, 42));
    p.drawRoundedRect(QRectF(196, 150, 70, 52), 6, 6);
    QPainterPath river;
    river.moveTo(-10, 40);
    river.cubicTo(80, 70, 110, 20, 190, 50);
    river.cubicTo(260, 76, 280, 40, 340, 60);
    Stroke(p, river, QColor(30, 55, 78), 10, Qt::FlatCap);
    // Streets.
    QPainterPath main;
    main.moveTo(-10, 200);
    main.cubicTo(90, 170, 200, 120, 340, 132);
    Stroke(p, main, QColor(66, 75, 86), 5, Qt::FlatCap);
    Stroke(p, main, QColor(86, 96, 108), 1.5, Qt::FlatCap);
    QPainterPath cross;
    cross.moveTo(120, -10);
    cross.cubicTo(130, 80, 100, 170, 140, 250);
    Stroke(p, cross, QColor(58, 66, 76), 3.5, Qt::FlatCap);
    // Dim the map so the message on top reads as "no position".
    p.fillRect(r, QColor(16, 18, 22, 120));
    // Pin with search rings.
    const QPointF pin(160, 112);
    p.setBrush(Qt::NoBrush);
    for (int i = 0; i < 3; ++i) {
        p.setPen(QPen(WithAlpha(kAccent, 90 - i * 25), 1.4, Qt::DashLine));
        p.drawEllipse(pin + QPointF(0, 22), 20 + i * 16, (20 + i * 16) * 0.42);
    }
    QPainterPath drop;
    drop.moveTo(pin + QPointF(0, 22));
    drop.cubicTo(pin + QPointF(-6, 12), pin + QPointF(-14, 4), pin + QPointF(-14, -6));
    drop.arcTo(QRectF(pin.x() - 14, pin.y() - 20, 28, 28), 180, -180);
    drop.cubicTo(pin + QPointF(14, 4), pin + QPointF(6, 12), pin + QPointF(0, 22));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 80));
    p.drawPath(drop.translated(1.5, 2));
    p.setBrush(Vertical(drop.boundingRect(), QColor(96, 112, 130), QColor(62, 74, 88)));
    p.drawPath(drop);
    p.setBrush(QColor(29, 33, 39));
    p.drawEllipse(pin + QPointF(0, -6), 5.2, 5.2);
    // A slash: no fix yet.
    QPainterPath slash;
    slash.moveTo(pin + QPointF(-16, -22));
    slash.lineTo(pin + QPointF(16, 20));
    Stroke(p, slash, QColor(29, 33, 39), 5);
    Stroke(p, slash, QColor(210, 222, 232, 210), 2);
    QFont f = UiFont(10, QFont::Bold);
    f.setLetterSpacing(QFont::AbsoluteSpacing, 2.5);
    Fill(p, TextPath(QStringLiteral("NO GPS"), f, QRectF(0, 170, r.width(), 16)), WithAlpha(kText, 190));
    p.setPen(QPen(QColor(0, 0, 0, 120), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(r.adjusted(0.5, 0.5, -0.5, -0.5));
    return img;
}

// A model badge: the letters in light grey, the digits and suffix in the accent.
QImage Badge(QSize size, const QString& letters, const QString& digits, const QString& suffix, double px)
{
    QImage img = Canvas(size);
    QPainter p(&img);
    Prepare(p);
    QFont strong = BrandFont(px, QFont::ExtraBold);
    strong.setItalic(true);
    QFont light = BrandFont(px * 0.62, QFont::Bold);
    light.setLetterSpacing(QFont::AbsoluteSpacing, 1);
    QPainterPath a, b, c;
    a.addText(0, 0, strong, letters);
    b.addText(0, 0, strong, digits);
    c.addText(0, 0, light, suffix);
    const double gap = px * 0.08;
    const double wa = a.boundingRect().right(), wb = b.boundingRect().right(), wc = c.boundingRect().width();
    const double total = wa + gap + wb + (suffix.isEmpty() ? 0 : px * 0.2 + wc);
    const double scale = std::min(1.0, (size.width() - 2) / total);
    const double capTop = a.boundingRect().top();
    p.translate(1, (size.height() - (-capTop) * scale) / 2 - capTop * scale);
    p.scale(scale, scale);
    Fill(p, a.translated(0, 1), QColor(0, 0, 0, 110));
    Fill(p, a, QColor(226, 233, 240));
    Fill(p, b.translated(wa + gap, 1), QColor(0, 0, 0, 110));
    Fill(p, b.translated(wa + gap, 0), kAccent);
    if (!suffix.isEmpty())
        Fill(p, c.translated(wa + gap + wb + px * 0.2, 0), kAccentLight);
    return img;
}

QImage Orvia(const SkinPictureDef& def, State s)
{
    QImage img = Canvas(def.size);
    QPainter p(&img);
    Prepare(p);
    const QRectF r(0, 0, def.size.width(), def.size.height());
    if (s == State::Over)
        RoundRect(p, r.adjusted(0, 0, 0, 0), 4, QColor(255, 255, 255, 18), QColor(255, 255, 255, 30));
    if (s == State::Press)
        RoundRect(p, r, 4, QColor(0, 0, 0, 60), WithAlpha(kAccent, 120));
    // Compass needle in a ring.
    const QPointF c(13.5, 13);
    const QColor ringColor = s == State::Over ? kAccentLight : kAccent;
    p.setPen(QPen(ringColor, 1.8));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(c, 8.6, 8.6);
    QPainterPath north = Triangle(c + QPointF(4.6, -4.6), c + QPointF(-1.6, -1.0), c + QPointF(1.0, 1.6));
    QPainterPath south = Triangle(c + QPointF(-4.6, 4.6), c + QPointF(1.6, 1.0), c + QPointF(-1.0, -1.6));
    Fill(p, north, s == State::Press ? kAccent : QColor(255, 255, 255));
    Fill(p, south, ringColor);
    QFont f = BrandFont(14, QFont::ExtraBold);
    f.setLetterSpacing(QFont::AbsoluteSpacing, 1.6);
    const QColor text = s == State::Over ? QColor(255, 255, 255) : s == State::Press ? kAccentLight : kLabel;
    Fill(p, TextPath(QStringLiteral("ORVIA"), f, QRectF(27, 0, 66, 26), Qt::AlignLeft), text);
    return img;
}

QImage BlackBox(const SkinPictureDef& def)
{
    QImage img = Canvas(def.size);
    QPainter p(&img);
    DrawGlyph(p, Glyph::Camera, QRectF(0, 0, def.size.width(), def.size.height()), kLabel, 0.85);
    return img;
}

QImage Grip(const SkinPictureDef& def)
{
    QImage img = Canvas(def.size);
    QPainter p(&img);
    Prepare(p);
    p.setPen(Qt::NoPen);
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col <= row; ++col) {
            const QPointF dot(15.5 - col * 4, 15.5 - (row - col) * 4);
            p.setBrush(QColor(0, 0, 0, 120));
            p.drawEllipse(dot + QPointF(0.6, 0.6), 1.2, 1.2);
            p.setBrush(QColor(255, 255, 255, 90));
            p.drawEllipse(dot, 1.2, 1.2);
        }
    return img;
}
} // namespace
} // namespace Art

void AddBrandArt(SkinArtRegistry& reg)
{
    using namespace Art;
    reg.Add("splash.png", Splash);
    reg.Add("view_front.png", ViewFront);
    reg.Add("view_rear.png", ViewRear);
    reg.Add("view_title.png", ViewTitle);
    reg.Add("map_empty.png", MapEmpty);
    reg.Add("bi_orvia.png", [](const SkinPictureDef& s) { return Orvia(s, State::Normal); });
    reg.Add("bi_orvia_over.png", [](const SkinPictureDef& s) { return Orvia(s, State::Over); });
    reg.Add("bi_orvia_press.png", [](const SkinPictureDef& s) { return Orvia(s, State::Press); });
    reg.Add("bi_arx330.png", [](const SkinPictureDef& s) { return Badge(s.size, "ARX", "330", "", 16); });
    reg.Add("bi_arx550.png", [](const SkinPictureDef& s) { return Badge(s.size, "ARX", "550", "", 20); });
    reg.Add("bi_bt33.png", [](const SkinPictureDef& s) { return Badge(s.size, "BT", "33", "", 16); });
    reg.Add("bi_cmv550view.png", [](const SkinPictureDef& s) { return Badge(s.size, "CMV", "550", "VIEW", 16); });
    reg.Add("ic_blackbox.png", BlackBox);
    reg.Add("ic_expand.png", Grip);
}
