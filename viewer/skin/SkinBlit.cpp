#include "skin/SkinBlit.h"

#include <QPainter>

#include <algorithm>
#include <cstring>

namespace SkinBlit {
namespace {
bool Usable(const QImage& img)
{
    return !img.isNull() && img.format() == QImage::Format_ARGB32_Premultiplied;
}
// The source in the surfaces' pixel format (shared, not copied, when it is already).
QImage AsPremultiplied(const QImage& src)
{
    return Usable(src) ? src : src.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}
} // namespace

void Copy(QImage& dst, int dx, int dy, int w, int h, const QImage& source, int sx, int sy)
{
    if (w <= 0 || h <= 0 || !Usable(dst) || source.isNull())
        return;
    const QImage src = AsPremultiplied(source);
    // Clip the source block to the source image, shifting the destination with it.
    int x0 = 0, y0 = 0, x1 = w, y1 = h; // offsets inside the block
    x0 = std::max({x0, -sx, -dx});
    y0 = std::max({y0, -sy, -dy});
    x1 = std::min({x1, src.width() - sx, dst.width() - dx});
    y1 = std::min({y1, src.height() - sy, dst.height() - dy});
    if (x1 <= x0 || y1 <= y0)
        return;
    const size_t bytes = size_t(x1 - x0) * 4;
    for (int y = y0; y < y1; ++y) {
        const uchar* s = src.constScanLine(sy + y) + size_t(sx + x0) * 4;
        uchar* d = dst.scanLine(dy + y) + size_t(dx + x0) * 4;
        std::memmove(d, s, bytes);
    }
}

void Stretch(QImage& dst, int dx, int dy, int dw, int dh, const QImage& source, int sx, int sy, int sw, int sh)
{
    if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0 || !Usable(dst) || source.isNull())
        return;
    const QImage src = AsPremultiplied(source);
    const int xBegin = std::max(dx, 0), xEnd = std::min(dx + dw, dst.width());
    const int yBegin = std::max(dy, 0), yEnd = std::min(dy + dh, dst.height());
    for (int y = yBegin; y < yEnd; ++y) {
        const long long srcY = sy + (long long)(y - dy) * sh / dh;
        if (srcY < 0 || srcY >= src.height())
            continue;
        const auto* s = reinterpret_cast<const QRgb*>(src.constScanLine(int(srcY)));
        auto* d = reinterpret_cast<QRgb*>(dst.scanLine(y));
        for (int x = xBegin; x < xEnd; ++x) {
            const long long srcX = sx + (long long)(x - dx) * sw / dw;
            if (srcX >= 0 && srcX < src.width())
                d[x] = s[srcX];
        }
    }
}

void AlphaBlend(QImage& dst, int dx, int dy, int w, int h, const QImage& src, int sx, int sy)
{
    AlphaBlendStretch(dst, QRect(dx, dy, w, h), src, QRect(sx, sy, w, h));
}

void AlphaBlendStretch(QImage& dst, const QRect& dstRect, const QImage& src, const QRect& srcRect)
{
    if (dstRect.width() <= 0 || dstRect.height() <= 0 || srcRect.width() <= 0 || srcRect.height() <= 0
        || dst.isNull() || src.isNull())
        return;
    // Clip the source rectangle to the image, keeping the scale.
    const QRect clipped = srcRect.intersected(src.rect());
    if (clipped.isEmpty())
        return;
    const double scaleX = double(dstRect.width()) / srcRect.width();
    const double scaleY = double(dstRect.height()) / srcRect.height();
    const QRectF target(dstRect.x() + (clipped.x() - srcRect.x()) * scaleX,
                        dstRect.y() + (clipped.y() - srcRect.y()) * scaleY,
                        clipped.width() * scaleX, clipped.height() * scaleY);
    QPainter p(&dst);
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    p.drawImage(target, src, QRectF(clipped));
}

void Add(QImage& dst, int dx, int dy, const QImage& src)
{
    if (dst.isNull() || src.isNull())
        return;
    QPainter p(&dst);
    p.setCompositionMode(QPainter::CompositionMode_Plus);
    p.drawImage(QPoint(dx, dy), src);
}

} // namespace SkinBlit
