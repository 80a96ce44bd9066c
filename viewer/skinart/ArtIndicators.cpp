// Speed digits and gauge, sliders, volume levels, vehicle signals, small icons.
#include "skinart/ArtGlyphs.h"
#include "skinart/ArtKit.h"
#include "skinart/SkinArt.h"

#include <QRadialGradient>
#include <QTransform>

#include <cmath>

namespace Art {
namespace {

// ---- seven-segment digits ----

QPainterPath HSegment(double x1, double x2, double y, double t)
{
    QPainterPath path;
    path.moveTo(x1, y);
    path.lineTo(x1 + t / 2, y - t / 2);
    path.lineTo(x2 - t / 2, y - t / 2);
    path.lineTo(x2, y);
    path.lineTo(x2 - t / 2, y + t / 2);
    path.lineTo(x1 + t / 2, y + t / 2);
    path.closeSubpath();
    return path;
}

QPainterPath VSegment(double x, double y1, double y2, double t)
{
    QPainterPath path;
    path.moveTo(x, y1);
    path.lineTo(x + t / 2, y1 + t / 2);
    path.lineTo(x + t / 2, y2 - t / 2);
    path.lineTo(x, y2);
    path.lineTo(x - t / 2, y2 - t / 2);
    path.lineTo(x - t / 2, y1 + t / 2);
    path.closeSubpath();
    return path;
}

// Segments a..g of a digit cell of 24 x 43, leaning slightly forward.
QPainterPath Segment(int index)
{
    const double t = 4.0, gap = 0.7;
    const double l = 4.4, r = 19.2, top = 4.0, mid = 21.5, bottom = 39.0;
    QPainterPath s;
    switch (index) {
    case 0: s = HSegment(l + gap, r - gap, top, t); break;      // a
    case 1: s = VSegment(r, top + gap, mid - gap, t); break;    // b
    case 2: s = VSegment(r, mid + gap, bottom - gap, t); break; // c
    case 3: s = HSegment(l + gap, r - gap, bottom, t); break;   // d
    case 4: s = VSegment(l, mid + gap, bottom - gap, t); break; // e
    case 5: s = VSegment(l, top + gap, mid - gap, t); break;    // f
    case 6: s = HSegment(l + gap, r - gap, mid, t); break;      // g
    }
    QTransform lean;
    lean.translate(mid * 0.07, 0);
    lean.shear(-0.07, 0);
    return lean.map(s);
}

QImage Digit(const SkinPictureDef& def, int digit)
{
    // Segment masks a..g for 0-9; -1 is the disabled reading (a dash).
    static const char* const kSegments[10] = {"abcdef", "bc", "abdeg", "abcdg", "bcfg",
                                              "acdfg", "acdefg", "abc", "abcdefg", "abcdfg"};
    const QString lit = digit < 0 ? QStringLiteral("g") : QLatin1String(kSegments[digit]);
    QImage img = Canvas(def.size);
    QPainter p(&img);
    Prepare(p);
    QPainterPath on, off;
    for (int i = 0; i < 7; ++i)
        (lit.contains(QChar('a' + i)) ? on : off).addPath(Segment(i));
    Fill(p, off, QColor(255, 255, 255, 15));
    if (digit < 0) {
        Fill(p, on, QColor(120, 132, 146, 170));
        return img;
    }
    // Glow, then the lit segments with a light core.
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(WithAlpha(kAccent, 40), 3.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(on);
    QLinearGradient g(QPointF(0, 2), QPointF(0, 41));
    g.setColorAt(0, QColor(168, 222, 255));
    g.setColorAt(1, QColor(92, 186, 246));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawPath(on);
    return img;
}

QImage SpeedUnit(const SkinPictureDef& def, const QString& text, bool disabled)
{
    QImage img = Canvas(def.size);
    QPainter p(&img);
    Prepare(p);
    const QRectF r(0, 0, def.size.width(), def.size.height());
    RoundRect(p, r.adjusted(0.5, 0.5, -0.5, -0.5), 3, QColor(0, 0, 0, disabled ? 30 : 60),
              QColor(255, 255, 255, disabled ? 10 : 24));
    Fill(p, TextPath(text, UiFont(10.5, QFont::Bold), r), disabled ? QColor(150, 160, 170, 90) : kText);
    return img;
}

QImage Gauge(const SkinPictureDef& def, bool full)
{
    QImage img = Canvas(def.size);
    QPainter p(&img);
    const int segments = def.size.width() / 5;
    for (int i = 0; i < segments; ++i) {
        const QRectF seg(i * 5, 1, 4, def.size.height() - 2);
        if (!full) {
            p.fillRect(seg, QColor(56, 63, 73));
            p.fillRect(QRectF(seg.left(), seg.top(), 4, 1), QColor(255, 255, 255, 10));
            continue;
        }
        const double t = double(i) / (segments - 1);
        const QColor c = t < 0.55 ? Mix(kGreen, kAmber, t / 0.55) : Mix(kAmber, kRed, (t - 0.55) / 0.45);
        p.fillRect(seg, c);
        p.fillRect(QRectF(seg.left(), seg.top(), 4, 2), QColor(255, 255, 255, 70));
        p.fillRect(QRectF(seg.left(), seg.bottom() - 1, 4, 1), QColor(0, 0, 0, 50));
    }
    return img;
}

QImage ProgressTrack(const SkinPictureDef& def, bool filled)
{
    const int w = def.size.width(), h = def.size.height();
    QImage img = Canvas(def.size);
    QPainter p(&img);
    Prepare(p);
    const QRectF groove(0.5, 1.5, w - 1, h - 3);
    if (!filled) {
        RoundRect(p, groove, 2, Vertical(groove, QColor(10, 12, 14), QColor(20, 23, 27)), QColor(0, 0, 0, 90));
        p.fillRect(QRectF(2, h - 1, w - 4, 1), QColor(255, 255, 255, 16));
    } else {
        RoundRect(p, groove.adjusted(-0.5, -1, 0.5, 1), 3, WithAlpha(kAccent, 60));
        RoundRect(p, groove, 2, Vertical(groove, kAccentLight, kAccentDeep));
        p.fillRect(QRectF(2, 2, w - 4, 1), QColor(255, 255, 255, 80));
    }
    p.end();
    return NinePatch(img, {w / 2}, {});
}

QImage ProgressKnob(const SkinPictureDef& def)
{
    QImage img = Canvas(def.size);
    QPainter p(&img);
    Prepare(p);
    const QRectF r(0.5, 0.5, def.size.width() - 1, def.size.height() - 1);
    RoundRect(p, r, 3, Vertical(r, QColor(250, 252, 254), QColor(186, 202, 218)), QColor(18, 60, 96));
    return img;
}

QImage VolumeTrack(const SkinPictureDef& def, bool filled)
{
    const int w = def.size.width(), h = def.size.height();
    QImage img = Canvas(def.size);
    QPainter p(&img);
    Prepare(p);
    const QRectF groove(3, 3, 5, 5);
    if (filled)
        RoundRect(p, groove, 2.5, Vertical(groove, kAccentLight, kAccent));
    else
        RoundRect(p, groove, 2.5, QColor(12, 14, 17), QColor(255, 255, 255, 24));
    p.end();
    return NinePatch(img, {w / 2}, {h / 2});
}

QImage VolumeKnob(const SkinPictureDef& def, State s)
{
    QImage img = Canvas(def.size);
    QPainter p(&img);
    Prepare(p);
    const QRectF r(0.5, 0.5, def.size.width() - 1, def.size.height() - 1);
    p.setPen(QPen(s == State::Normal ? QColor(0, 0, 0, 150) : kAccentLight, 1));
    if (s == State::Press)
        p.setBrush(Vertical(r, kAccentLight, kAccent));
    else
        p.setBrush(Vertical(r, QColor(248, 250, 252), QColor(184, 198, 212)));
    p.drawEllipse(r);
    return img;
}

QImage VolumeLevel(const SkinPictureDef& def, int level)
{
    QImage img = Canvas(def.size);
    QPainter p(&img);
    Prepare(p);
    if (level < 0) {
        QPainterPath cross;
        cross.moveTo(3, 5);
        cross.lineTo(10, 12);
        cross.moveTo(10, 5);
        cross.lineTo(3, 12);
        Stroke(p, cross, QColor(240, 120, 108), 1.8);
        return img;
    }
    for (int i = 0; i < 5; ++i) {
        const double height = 4 + 3 * i;
        const QRectF bar(i * 3, 16 - height, 2, height);
        p.fillRect(bar, i < level ? kAccentLight : QColor(255, 255, 255, 38));
    }
    return img;
}

QImage Brake(const SkinPictureDef& def, bool on)
{
    QImage img = Canvas(def.size);
    QPainter p(&img);
    Prepare(p);
    const QPointF c(def.size.width() / 2.0, def.size.height() / 2.0);
    const QColor color = on ? kRed : QColor(74, 83, 95);
    if (on) {
        QRadialGradient glow(c, 22);
        glow.setColorAt(0, WithAlpha(kRed, 90));
        glow.setColorAt(1, WithAlpha(kRed, 0));
        p.setPen(Qt::NoPen);
        p.setBrush(glow);
        p.drawEllipse(c, 22, 22);
    }
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(color, 2.6));
    p.drawEllipse(c, 10.5, 10.5);
    p.setPen(QPen(color, 2.6, Qt::SolidLine, Qt::RoundCap));
    const QRectF arc(c.x() - 16, c.y() - 16, 32, 32);
    p.drawArc(arc, 135 * 16, 90 * 16);
    p.drawArc(arc, -45 * 16, 90 * 16);
    QPainterPath bang;
    bang.addRoundedRect(QRectF(c.x() - 1.4, c.y() - 6.5, 2.8, 8.5), 1.2, 1.2);
    bang.addEllipse(QPointF(c.x(), c.y() + 5.2), 1.6, 1.6);
    Fill(p, bang, on ? QColor(255, 236, 232) : color);
    return img;
}

QImage TurnSignal(const SkinPictureDef& def, bool left, bool on)
{
    QImage img = Canvas(def.size);
    QPainter p(&img);
    Prepare(p);
    if (!left) {
        p.translate(def.size.width(), 0);
        p.scale(-1, 1);
    }
    const double cy = def.size.height() / 2.0;
    QPainterPath arrow;
    arrow.moveTo(4, cy);
    arrow.lineTo(16, cy - 11);
    arrow.lineTo(16, cy - 5);
    arrow.lineTo(30, cy - 5);
    arrow.lineTo(30, cy + 5);
    arrow.lineTo(16, cy + 5);
    arrow.lineTo(16, cy + 11);
    arrow.closeSubpath();
    if (on) {
        p.setPen(QPen(WithAlpha(kGreen, 70), 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        p.drawPath(arrow);
        p.setPen(Qt::NoPen);
        p.setBrush(Vertical(arrow.boundingRect(), QColor(170, 250, 130), kGreen));
        p.drawPath(arrow);
    } else {
        p.setPen(QPen(QColor(82, 92, 105), 1.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(QColor(255, 255, 255, 10));
        p.drawPath(arrow);
    }
    return img;
}

QImage SpeedIcon(const SkinPictureDef& def)
{
    QImage img = Canvas(def.size);
    QPainter p(&img);
    DrawGlyph(p, Glyph::Speed, QRectF(0, 0, def.size.width(), def.size.height()), kAccentLight, 0.9);
    return img;
}
} // namespace
} // namespace Art

void AddIndicatorArt(SkinArtRegistry& reg)
{
    using namespace Art;
    for (int d = 0; d <= 9; ++d)
        reg.Add(QStringLiteral("num_speed_%1.png").arg(d, 2, 10, QLatin1Char('0')),
                [d](const SkinPictureDef& s) { return Digit(s, d); });
    reg.Add("num_speed_dis.png", [](const SkinPictureDef& s) { return Digit(s, -1); });
    reg.Add("speed_km.png", [](const SkinPictureDef& s) { return SpeedUnit(s, "km/h", false); });
    reg.Add("speed_km_dis.png", [](const SkinPictureDef& s) { return SpeedUnit(s, "km/h", true); });
    reg.Add("speed_mile.png", [](const SkinPictureDef& s) { return SpeedUnit(s, "mph", false); });
    reg.Add("speed_mile_dis.png", [](const SkinPictureDef& s) { return SpeedUnit(s, "mph", true); });
    reg.Add("speed_gauge_no.png", [](const SkinPictureDef& s) { return Gauge(s, false); });
    reg.Add("speed_gauge_full.png", [](const SkinPictureDef& s) { return Gauge(s, true); });
    reg.Add("progress_bg.9.png", [](const SkinPictureDef& s) { return ProgressTrack(s, false); });
    reg.Add("progress_bar.9.png", [](const SkinPictureDef& s) { return ProgressTrack(s, true); });
    reg.Add("progress_point.png", ProgressKnob);
    reg.Add("volume_scroll_bg.9.png", [](const SkinPictureDef& s) { return VolumeTrack(s, false); });
    reg.Add("volume_scroll.9.png", [](const SkinPictureDef& s) { return VolumeTrack(s, true); });
    reg.Add("volume_handler_nor.png", [](const SkinPictureDef& s) { return VolumeKnob(s, State::Normal); });
    reg.Add("volume_handler_over.png", [](const SkinPictureDef& s) { return VolumeKnob(s, State::Over); });
    reg.Add("volume_handler_press.png", [](const SkinPictureDef& s) { return VolumeKnob(s, State::Press); });
    reg.Add("ic_volume_mute.png", [](const SkinPictureDef& s) { return VolumeLevel(s, -1); });
    for (int level = 1; level <= 5; ++level)
        reg.Add(QStringLiteral("ic_volume_0%1.png").arg(level), [level](const SkinPictureDef& s) { return VolumeLevel(s, level); });
    reg.Add("ic_brake_on.png", [](const SkinPictureDef& s) { return Brake(s, true); });
    reg.Add("ic_brake_off.png", [](const SkinPictureDef& s) { return Brake(s, false); });
    reg.Add("ic_turnsignal_left_on.png", [](const SkinPictureDef& s) { return TurnSignal(s, true, true); });
    reg.Add("ic_turnsignal_left_off.png", [](const SkinPictureDef& s) { return TurnSignal(s, true, false); });
    reg.Add("ic_turnsignal_right_on.png", [](const SkinPictureDef& s) { return TurnSignal(s, false, true); });
    reg.Add("ic_turnsignal_right_off.png", [](const SkinPictureDef& s) { return TurnSignal(s, false, false); });
    reg.Add("ic_speed.png", SpeedIcon);
}
