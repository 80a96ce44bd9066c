#include "engine/VideoGeometry.h"

#include "engine/EngineIds.h"

#include <algorithm>
#include <cmath>

namespace VideoGeometry {

CViewRect ZoomedRect(const QSize& client, float zoom)
{
    const int w = static_cast<int>(static_cast<float>(client.width()) * zoom);
    const int h = static_cast<int>(static_cast<float>(client.height()) * zoom);
    CViewRect r{0, 0, w, h};
    if (zoom < 1.0f) {
        const int x = (client.width() - w) / 2;
        const int y = (client.height() - h) / 2;
        r = {x, y, x + w, y + h};
    }
    return r;
}

CViewRect PannedRect(const CViewRect& rect, const QSize& client, int px, int py)
{
    const int dx = (rect.Width() - client.width()) * px / 100;
    const int dy = (rect.Height() - client.height()) * py / 100;
    return {rect.left + dx, rect.top - dy, rect.right + dx, rect.bottom - dy};
}

QRect LetterBox(const QSize& picture, const QRect& dst)
{
    if (picture.width() <= 0 || picture.height() <= 0 || dst.width() <= 0 || dst.height() <= 0)
        return dst;
    qint64 w = dst.width();
    qint64 h = w * picture.height() / picture.width();
    if (h > dst.height()) {
        h = dst.height();
        w = h * picture.width() / picture.height();
    }
    const qint64 x = dst.left() + (dst.width() - w) / 2;
    const qint64 y = dst.top() + (dst.height() - h) / 2;
    return QRect(int(x), int(y), int(w), int(h));
}

std::optional<int64_t> SeekForwardsTarget(int64_t current, int64_t duration)
{
    if (current == 0)
        return std::nullopt;
    int64_t target = current + Engine::kSkipUnits;
    if (target > duration)
        target = duration - Engine::kEndMarginUnits;
    return target;
}

int64_t SeekBackwardsTarget(int64_t current)
{
    return std::max<int64_t>(current - Engine::kSkipUnits, 0);
}

int64_t PercentTarget(int64_t duration, int percent)
{
    return duration * percent / 100;
}

int VolumeToAttenuation(int level)
{
    // Single-precision level and floor, double-precision logarithm: this is
    // what makes 0 give -9999 and 10 give -999 rather than round figures.
    const float f = std::clamp(static_cast<float>(level) / 100.0f, 0.0f, 1.0f);
    const float m = std::pow(10.0f, -10.0f);
    const double attenuation = std::log10(static_cast<double>(m + (1.0f - m) * f)) * 10.0 * 100.0;
    return static_cast<int>(attenuation);
}

double AttenuationToAmplitude(int attenuation)
{
    // Hundredths of a decibel of amplitude: 20 dB per decade.
    return std::pow(10.0, attenuation / 2000.0);
}

} // namespace VideoGeometry
