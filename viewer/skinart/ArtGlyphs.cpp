#include "skinart/ArtGlyphs.h"

#include "skinart/ArtKit.h"

#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace Art {
namespace {

// Arrow head at `tip` pointing along `angleDeg` (0 = right, 90 = down).
QPainterPath ArrowHead(QPointF tip, double angleDeg, double size)
{
    const double a = angleDeg * M_PI / 180.0;
    const QPointF dir(std::cos(a), std::sin(a));
    const QPointF normal(-dir.y(), dir.x());
    const QPointF base = tip - dir * size;
    return Triangle(tip, base + normal * size * 0.72, base - normal * size * 0.72);
}

QPainterPath Arc(QPointF centre, double r, double startDeg, double spanDeg)
{
    QPainterPath path;
    const QRectF box(centre.x() - r, centre.y() - r, 2 * r, 2 * r);
    path.arcMoveTo(box, startDeg);
    path.arcTo(box, startDeg, spanDeg);
    return path;
}

// Circular arrow with "10" inside; `forward` turns clockwise.
void SkipTen(QPainter& p, bool forward, const QColor& c, double w)
{
    const QPointF centre(12, 12.6);
    const double r = 8.2;
    // Open at the top, on the side the arrow points to.
    const double start = forward ? 120 : 60;
    const double span = forward ? 280 : -280;
    QPainterPath ring = Arc(centre, r, start, span);
    Stroke(p, ring, c, w, Qt::RoundCap);
    const double endAngle = (start + span) * M_PI / 180.0;
    const QPointF end(centre.x() + r * std::cos(endAngle), centre.y() - r * std::sin(endAngle));
    // Tangent at the end of the arc (counter-clockwise positive in math angles).
    const double tangent = forward ? -(start + span) - 90 : -(start + span) + 90;
    Fill(p, ArrowHead(end + QPointF(std::cos(tangent * M_PI / 180) * 2.2, std::sin(tangent * M_PI / 180) * 2.2),
                      tangent, 4.2),
         c);
    Fill(p, TextPath(QStringLiteral("10"), UiFont(8.2, QFont::Bold), QRectF(5, 8.4, 14, 8.6)), c);
}

void Corners(QPainter& p, const QColor& c, double w, bool inward)
{
    // Four L-shaped corner marks, pointing out (expand) or in (reduce).
    const double a = 5, b = 19, len = 5;
    auto corner = [&](QPointF tip, double dx, double dy) {
        QPainterPath path;
        if (!inward) {
            path.moveTo(tip.x() + dx * len, tip.y());
            path.lineTo(tip);
            path.lineTo(tip.x(), tip.y() + dy * len);
            QPainterPath diag;
            diag.moveTo(tip);
            diag.lineTo(tip.x() + dx * 4.2, tip.y() + dy * 4.2);
            Stroke(p, diag, c, w);
        } else {
            const QPointF inner(tip.x() + dx * len, tip.y() + dy * len);
            path.moveTo(inner.x() - dx * len * 0.9, inner.y());
            path.lineTo(inner);
            path.lineTo(inner.x(), inner.y() - dy * len * 0.9);
            QPainterPath diag;
            diag.moveTo(tip);
            diag.lineTo(inner);
            Stroke(p, diag, c, w);
        }
        Stroke(p, path, c, w, Qt::RoundCap, Qt::MiterJoin);
    };
    corner(QPointF(a, a), 1, 1);
    corner(QPointF(b, a), -1, 1);
    corner(QPointF(a, b), 1, -1);
    corner(QPointF(b, b), -1, -1);
}
} // namespace

void DrawGlyph(QPainter& p, Glyph g, const QRectF& box, const QColor& c, double weight)
{
    const double side = std::min(box.width(), box.height());
    p.save();
    Prepare(p);
    p.translate(box.center().x() - side / 2, box.center().y() - side / 2);
    p.scale(side / 24.0, side / 24.0);
    const double w = 2.0 * weight;

    switch (g) {
    case Glyph::Play:
        Fill(p, RoundedTriangleRight(QRectF(7.5, 4.8, 12.5, 14.4), 1.0), c);
        break;
    case Glyph::Pause: {
        QPainterPath path;
        path.addRoundedRect(QRectF(6.3, 5, 4.2, 14), 1.2, 1.2);
        path.addRoundedRect(QRectF(13.5, 5, 4.2, 14), 1.2, 1.2);
        Fill(p, path, c);
        break;
    }
    case Glyph::Stop: {
        QPainterPath path;
        path.addRoundedRect(QRectF(6, 6, 12, 12), 2.2, 2.2);
        Fill(p, path, c);
        break;
    }
    case Glyph::Previous:
    case Glyph::Next: {
        p.save();
        if (g == Glyph::Next) {
            p.translate(24, 0);
            p.scale(-1, 1);
        }
        QPainterPath bar;
        bar.addRoundedRect(QRectF(5.2, 6, 2.8, 12), 1, 1);
        Fill(p, bar, c);
        p.translate(19.4, 0);
        p.scale(-1, 1);
        Fill(p, RoundedTriangleRight(QRectF(0, 6, 10.6, 12), 0.8), c);
        p.restore();
        break;
    }
    case Glyph::Back10:
        SkipTen(p, false, c, w * 0.9);
        break;
    case Glyph::Forward10:
        SkipTen(p, true, c, w * 0.9);
        break;
    case Glyph::Close: {
        QPainterPath path;
        path.moveTo(7, 7);
        path.lineTo(17, 17);
        path.moveTo(17, 7);
        path.lineTo(7, 17);
        Stroke(p, path, c, w * 0.8);
        break;
    }
    case Glyph::Minimize: {
        QPainterPath path;
        path.moveTo(6.5, 12.5);
        path.lineTo(17.5, 12.5);
        Stroke(p, path, c, w * 0.8, Qt::SquareCap);
        break;
    }
    case Glyph::Maximize: {
        QPainterPath path;
        path.addRoundedRect(QRectF(6.5, 6.5, 11, 11), 1, 1);
        Stroke(p, path, c, w * 0.8);
        break;
    }
    case Glyph::Restore: {
        QPainterPath back;
        back.moveTo(9, 6.5);
        back.lineTo(17.5, 6.5);
        back.lineTo(17.5, 15);
        Stroke(p, back, c, w * 0.8, Qt::SquareCap, Qt::MiterJoin);
        QPainterPath front;
        front.addRoundedRect(QRectF(6.5, 9, 8.5, 8.5), 1, 1);
        Stroke(p, front, c, w * 0.8);
        break;
    }
    case Glyph::Reduce:
        Corners(p, c, w * 0.85, true);
        break;
    case Glyph::Expand:
        Corners(p, c, w * 0.85, false);
        break;
    case Glyph::FoldUp:
    case Glyph::FoldDown: {
        p.save();
        if (g == Glyph::FoldDown) {
            p.translate(0, 24);
            p.scale(1, -1);
        }
        QPainterPath chevron;
        chevron.moveTo(6.5, 16);
        chevron.lineTo(12, 10.5);
        chevron.lineTo(17.5, 16);
        Stroke(p, chevron, c, w);
        QPainterPath bar;
        bar.moveTo(6.5, 6.5);
        bar.lineTo(17.5, 6.5);
        Stroke(p, bar, c, w * 0.85);
        p.restore();
        break;
    }
    case Glyph::Swap: {
        QPainterPath top;
        top.moveTo(5, 8.5);
        top.lineTo(17, 8.5);
        Stroke(p, top, c, w * 0.9, Qt::FlatCap);
        Fill(p, ArrowHead(QPointF(20, 8.5), 0, 4.4), c);
        QPainterPath bottom;
        bottom.moveTo(19, 15.5);
        bottom.lineTo(7, 15.5);
        Stroke(p, bottom, c, w * 0.9, Qt::FlatCap);
        Fill(p, ArrowHead(QPointF(4, 15.5), 180, 4.4), c);
        break;
    }
    case Glyph::MapSearch: {
        // Folded map with a magnifier over it.
        QPainterPath map;
        map.moveTo(3.5, 6.5);
        map.lineTo(8.5, 4.5);
        map.lineTo(13.5, 6.5);
        map.lineTo(18.5, 4.5);
        map.lineTo(18.5, 10);
        map.moveTo(11.5, 19.5);
        map.lineTo(8.5, 18.5);
        map.lineTo(3.5, 20.5);
        map.lineTo(3.5, 6.5);
        map.moveTo(8.5, 4.5);
        map.lineTo(8.5, 18.5);
        Stroke(p, map, WithAlpha(c, c.alpha() * 3 / 4), w * 0.7);
        QPainterPath lens;
        lens.addEllipse(QPointF(15.2, 14.8), 4.1, 4.1);
        Stroke(p, lens, c, w * 0.9);
        QPainterPath handle;
        handle.moveTo(18.2, 17.8);
        handle.lineTo(21, 20.6);
        Stroke(p, handle, c, w * 1.2);
        break;
    }
    case Glyph::Fit: {
        QPainterPath path;
        const double a = 4.5, b = 19.5, l = 5.5;
        path.moveTo(a, a + l); path.lineTo(a, a); path.lineTo(a + l, a);
        path.moveTo(b - l, a); path.lineTo(b, a); path.lineTo(b, a + l);
        path.moveTo(b, b - l); path.lineTo(b, b); path.lineTo(b - l, b);
        path.moveTo(a + l, b); path.lineTo(a, b); path.lineTo(a, b - l);
        Stroke(p, path, c, w * 1.3, Qt::SquareCap, Qt::MiterJoin);
        QPainterPath dot;
        dot.addRoundedRect(QRectF(9, 9, 6, 6), 1, 1);
        Fill(p, dot, c);
        break;
    }
    case Glyph::Repeat: {
        QPainterPath top;
        top.moveTo(5, 12);
        top.lineTo(5, 10);
        top.quadTo(5, 7, 8, 7);
        top.lineTo(16, 7);
        Stroke(p, top, c, w * 0.9, Qt::FlatCap);
        Fill(p, ArrowHead(QPointF(19.5, 7), 0, 4.0), c);
        QPainterPath bottom;
        bottom.moveTo(19, 12);
        bottom.lineTo(19, 14);
        bottom.quadTo(19, 17, 16, 17);
        bottom.lineTo(8, 17);
        Stroke(p, bottom, c, w * 0.9, Qt::FlatCap);
        Fill(p, ArrowHead(QPointF(4.5, 17), 180, 4.0), c);
        break;
    }
    case Glyph::Zoom: {
        QPainterPath lens;
        lens.addEllipse(QPointF(10.5, 10.5), 5.6, 5.6);
        Stroke(p, lens, c, w * 0.9);
        QPainterPath handle;
        handle.moveTo(14.7, 14.7);
        handle.lineTo(19.5, 19.5);
        Stroke(p, handle, c, w * 1.25);
        QPainterPath plus;
        plus.moveTo(8, 10.5);
        plus.lineTo(13, 10.5);
        plus.moveTo(10.5, 8);
        plus.lineTo(10.5, 13);
        Stroke(p, plus, c, w * 0.75, Qt::FlatCap);
        break;
    }
    case Glyph::Speed: {
        Stroke(p, Arc(QPointF(12, 14), 8, 205, -230), c, w * 0.9);
        QPainterPath ticks;
        for (int i = 0; i <= 4; ++i) {
            const double a = (205 - i * 57.5) * M_PI / 180.0;
            ticks.moveTo(12 + 5.2 * std::cos(a), 14 - 5.2 * std::sin(a));
            ticks.lineTo(12 + 6.4 * std::cos(a), 14 - 6.4 * std::sin(a));
        }
        Stroke(p, ticks, WithAlpha(c, c.alpha() * 2 / 3), w * 0.5, Qt::FlatCap);
        QPainterPath needle;
        needle.moveTo(12, 14);
        needle.lineTo(16.2, 9.2);
        Stroke(p, needle, c, w * 0.9);
        QPainterPath hub;
        hub.addEllipse(QPointF(12, 14), 1.9, 1.9);
        Fill(p, hub, c);
        break;
    }
    case Glyph::Save: {
        QPainterPath stem;
        stem.moveTo(12, 4.5);
        stem.lineTo(12, 12.5);
        Stroke(p, stem, c, w * 0.9, Qt::FlatCap);
        Fill(p, ArrowHead(QPointF(12, 15.5), 90, 4.6), c);
        QPainterPath tray;
        tray.moveTo(5, 14.5);
        tray.lineTo(5, 19);
        tray.lineTo(19, 19);
        tray.lineTo(19, 14.5);
        Stroke(p, tray, c, w * 0.85, Qt::RoundCap, Qt::MiterJoin);
        break;
    }
    case Glyph::Speaker: {
        QPainterPath body;
        body.moveTo(4.5, 9.5);
        body.lineTo(8, 9.5);
        body.lineTo(12.5, 5.5);
        body.lineTo(12.5, 18.5);
        body.lineTo(8, 14.5);
        body.lineTo(4.5, 14.5);
        body.closeSubpath();
        Fill(p, body, c);
        Stroke(p, body, c, 1.0);
        break;
    }
    case Glyph::Check: {
        QPainterPath path;
        path.moveTo(5.5, 12.5);
        path.lineTo(10, 17);
        path.lineTo(18.5, 7.5);
        Stroke(p, path, c, w * 1.1);
        break;
    }
    case Glyph::Camera: {
        QPainterPath body;
        body.addRoundedRect(QRectF(3, 7.5, 18, 11), 2.4, 2.4);
        Stroke(p, body, c, w * 0.8);
        QPainterPath mount;
        mount.moveTo(9, 7.5);
        mount.lineTo(10, 4.5);
        mount.lineTo(14, 4.5);
        mount.lineTo(15, 7.5);
        Stroke(p, mount, c, w * 0.8);
        QPainterPath lens;
        lens.addEllipse(QPointF(12, 13), 3.3, 3.3);
        Stroke(p, lens, c, w * 0.8);
        QPainterPath dot;
        dot.addEllipse(QPointF(17.6, 10.3), 0.9, 0.9);
        Fill(p, dot, kRed);
        break;
    }
    }
    p.restore();
}

} // namespace Art
