#pragma once

#include <QRect>
#include <QSize>

#include <cstdint>
#include <optional>

// A destination rectangle as the engine keeps it: left, top, right and bottom
// edges in the client coordinates of a video window, right and bottom
// exclusive (width = right - left).
struct CViewRect
{
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool IsEmpty() const { return Width() <= 0 || Height() <= 0; }
    QRect ToQRect() const { return QRect(left, top, Width(), Height()); }
    static CViewRect FromSize(const QSize& size) { return {0, 0, size.width(), size.height()}; }
    friend bool operator==(const CViewRect&, const CViewRect&) = default;
};

// The pure computations behind the engine's picture geometry and the
// renderer's painting. No state, callable from any thread.
namespace VideoGeometry {

// The front picture at `zoom` in a window of `client` size: the window's size
// scaled (each product truncated toward zero), centred when zoom < 1.0 and
// anchored at the top-left corner otherwise.
CViewRect ZoomedRect(const QSize& client, float zoom);

// `rect` shifted by pan per-cents (px in -100..0, py in 0..100): right by
// (width - client width) * px / 100, up by (height - client height) * py / 100,
// integer arithmetic truncating toward zero.
CViewRect PannedRect(const CViewRect& rect, const QSize& client, int px, int py);

// The largest rectangle with the picture's proportions centred in `dst`;
// `dst` itself when the picture has no size.
QRect LetterBox(const QSize& picture, const QRect& dst);

// Ten-second skips and per-cent positions, in 100 ns units.
// SeekForwards: nothing at position 0; 10 s on; past the duration, 0.1 s before it.
std::optional<int64_t> SeekForwardsTarget(int64_t current, int64_t duration);
// SeekBackwards: 10 s back, not below 0.
int64_t SeekBackwardsTarget(int64_t current);
// SetPosition: duration * percent / 100, truncated.
int64_t PercentTarget(int64_t duration, int percent);

// Volume level 0..100 to the attenuation in hundredths of a decibel:
// 100 -> 0, 50 -> -301, 10 -> -999, 0 -> -9999.
int VolumeToAttenuation(int level);
// The linear amplitude factor of an attenuation in hundredths of a decibel.
double AttenuationToAmplitude(int attenuation);

} // namespace VideoGeometry
