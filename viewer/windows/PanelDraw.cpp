#include "windows/PanelDraw.h"

#include <cstdlib>

namespace PanelDraw {

void Line(QImage& image, QPoint from, QPoint to, QRgb colour)
{
    if (image.format() != QImage::Format_ARGB32_Premultiplied && image.format() != QImage::Format_ARGB32
        && image.format() != QImage::Format_RGB32)
        return;
    const QRgb pixel = colour | 0xFF000000u;
    int x = from.x(), y = from.y();
    const int dx = std::abs(to.x() - x), dy = -std::abs(to.y() - y);
    const int sx = x < to.x() ? 1 : -1, sy = y < to.y() ? 1 : -1;
    int err = dx + dy;
    const int w = image.width(), h = image.height();
    while (x != to.x() || y != to.y()) {
        if (x >= 0 && y >= 0 && x < w && y < h)
            reinterpret_cast<QRgb*>(image.scanLine(y))[x] = pixel;
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
}

void Polyline(QImage& image, const QPolygon& points, QRgb colour)
{
    for (int i = 1; i < points.size(); ++i)
        Line(image, points[i - 1], points[i], colour);
}

} // namespace PanelDraw
