#pragma once

#include <QImage>
#include <QRect>

// Block transfers onto ARGB32 premultiplied images (sources of another
// format are converted first), in the manner of the classic raster
// operations the skin is defined in. Every transfer is clipped
// to both images: destination pixels whose source lies outside the source
// image are left unchanged, and nothing is ever read or written out of
// bounds. Negative or zero sizes transfer nothing.
namespace SkinBlit {

// 1:1 copy that replaces the destination pixels, alpha included.
void Copy(QImage& dst, int dx, int dy, int w, int h, const QImage& src, int sx, int sy);

// Nearest-neighbour stretch of the source block (sx, sy, sw, sh) onto the
// destination block (dx, dy, dw, dh), replacing the destination pixels.
void Stretch(QImage& dst, int dx, int dy, int dw, int dh, const QImage& src, int sx, int sy, int sw, int sh);

// Source-over composition of a premultiplied block at 1:1 (per-pixel alpha,
// constant alpha 255).
void AlphaBlend(QImage& dst, int dx, int dy, int w, int h, const QImage& src, int sx, int sy);

// Source-over composition with scaling (nearest neighbour).
void AlphaBlendStretch(QImage& dst, const QRect& dstRect, const QImage& src, const QRect& srcRect);

// Saturating per-channel addition of the source onto the destination: what a
// source-over blend gives for premultiplied pixels whose alpha is 0.
void Add(QImage& dst, int dx, int dy, const QImage& src);

} // namespace SkinBlit
