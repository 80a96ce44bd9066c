// The application icon.
#include "skinart/AppIcon.h"

#include "skinart/ArtKit.h"

#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>

namespace {
using namespace Art;

// The drawing in a 256-unit square; `small` for 24 px and below.
void PaintIcon256(QPainter& p, bool small)
{
    // Tile: rounded square with the chrome's dark gradient and a fine edge.
    const double inset = small ? 8 : 16;
    const QRectF tile(inset, inset, 256 - 2 * inset, 256 - 2 * inset);
    const double radius = small ? 40 : 48;
    QPainterPath tilePath;
    tilePath.addRoundedRect(tile, radius, radius);
    p.setPen(Qt::NoPen);
    p.setBrush(Vertical(tile, QColor(62, 70, 81), kDeep));
    p.drawPath(tilePath);
    if (!small) {
        // A light rim along the top half, the dark edge all round.
        QPainterPath inner;
        inner.addRoundedRect(tile.adjusted(4, 4, -4, -4), radius - 4, radius - 4);
        QLinearGradient rim(tile.topLeft(), tile.bottomLeft());
        rim.setColorAt(0, QColor(255, 255, 255, 40));
        rim.setColorAt(0.5, QColor(255, 255, 255, 0));
        p.setBrush(rim);
        p.drawPath(tilePath.subtracted(inner));
    }

    const QPointF c(128, 134);
    const double r = small ? 86 : 74;
    if (!small) {
        QRadialGradient glow(c, r * 1.45);
        glow.setColorAt(0, WithAlpha(kAccent, 70));
        glow.setColorAt(1, WithAlpha(kAccent, 0));
        p.setBrush(glow);
        p.drawEllipse(c, r * 1.45, r * 1.45);
    }

    // Lens ring: a filled annulus with the accent gradient.
    const double ringOuter = r, ringInner = r * (small ? 0.66 : 0.76);
    QPainterPath ring;
    ring.addEllipse(c, ringOuter, ringOuter);
    QPainterPath hole;
    hole.addEllipse(c, ringInner, ringInner);
    QLinearGradient ringFill(c + QPointF(-r, -r), c + QPointF(r, r));
    ringFill.setColorAt(0, kAccentLight);
    ringFill.setColorAt(1, kAccentDeep);
    p.setBrush(ringFill);
    p.drawPath(ring.subtracted(hole));

    // Inside the ring: dark glass; six aperture blades on larger sizes.
    QRadialGradient glass(c - QPointF(r * 0.2, r * 0.2), ringInner * 1.2);
    glass.setColorAt(0, QColor(40, 70, 100));
    glass.setColorAt(1, QColor(10, 14, 18));
    p.setBrush(glass);
    p.drawEllipse(c, ringInner, ringInner);
    if (!small) {
        p.setPen(QPen(WithAlpha(kLabel, 150), 4.5, Qt::SolidLine, Qt::RoundCap));
        const double inner = r * 0.30, outer = r * 0.70;
        for (int i = 0; i < 6; ++i) {
            const double t = (i * 60 + 15) * M_PI / 180.0;
            const double u = (i * 60 + 75) * M_PI / 180.0;
            p.drawLine(c + QPointF(inner * std::cos(t), inner * std::sin(t)),
                       c + QPointF(outer * std::cos(u), outer * std::sin(u)));
        }
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(8, 11, 14));
        p.drawEllipse(c, r * 0.27, r * 0.27);
    }
    // Reflection on the glass.
    p.setBrush(WithAlpha(Qt::white, small ? 170 : 200));
    const double spot = small ? r * 0.16 : r * 0.09;
    p.drawEllipse(c + QPointF(-r * 0.26, -r * 0.26), spot, spot);

    // The recording light, top right of the tile.
    const QPointF rec = small ? QPointF(206, 50) : QPointF(198, 58);
    const double recR = small ? 26 : 15;
    if (!small) {
        QRadialGradient halo(rec, recR * 2.2);
        halo.setColorAt(0, WithAlpha(kRed, 110));
        halo.setColorAt(1, WithAlpha(kRed, 0));
        p.setBrush(halo);
        p.drawEllipse(rec, recR * 2.2, recR * 2.2);
    }
    p.setBrush(kRed);
    p.drawEllipse(rec, recR, recR);
}
} // namespace

QList<int> AppIconSizes()
{
    return {16, 24, 32, 48, 64, 128, 256};
}

void PaintAppIcon(QPainter& p, int size)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 256.0, size / 256.0);
    PaintIcon256(p, size <= 24);
    p.restore();
}

QImage AppIconImage(int size)
{
    QImage img = Art::Canvas(QSize(size, size));
    QPainter p(&img);
    PaintAppIcon(p, size);
    return img;
}
