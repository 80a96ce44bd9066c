#pragma once

#include <QImage>
#include <QPoint>
#include <QPolygon>
#include <QRect>

// Solid one-pixel lines for the panels, pixel-exact in the classic manner:
// a line covers its first point and every pixel on the way to its last
// point, but not the last point itself (so joined segments set each joint
// once). Pixels outside the image are skipped. Opaque colour; the image is
// ARGB32 premultiplied.
namespace PanelDraw {

// Bresenham from `from` toward `to`, `to` excluded.
void Line(QImage& image, QPoint from, QPoint to, QRgb colour);
// Segments between consecutive points (the last point excluded).
void Polyline(QImage& image, const QPolygon& points, QRgb colour);

} // namespace PanelDraw
