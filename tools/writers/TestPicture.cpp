#include "writers/TestPicture.h"

#include <algorithm>
#include <array>
#include <cmath>

using namespace TestPictureCode;

namespace {

struct Yuv {
    uint8_t y, u, v;
};

Yuv FromRgb(int r, int g, int b)
{
    const double y = 16 + (65.738 * r + 129.057 * g + 25.064 * b) / 256.0;
    const double u = 128 + (-37.945 * r - 74.494 * g + 112.439 * b) / 256.0;
    const double v = 128 + (112.439 * r - 94.154 * g - 18.285 * b) / 256.0;
    auto clip = [](double d) { return uint8_t(std::clamp(int(std::lround(d)), 0, 255)); };
    return {clip(y), clip(u), clip(v)};
}

constexpr uint8_t kBlack = 16;
constexpr uint8_t kWhite = 235;
constexpr uint8_t kGuardGrey = 126;

// Seven-segment masks, bit 0 = a (top) ... bit 6 = g (middle).
constexpr std::array<uint8_t, 10> kDigitSegments = {0x3F, 0x06, 0x5B, 0x4F, 0x66, 0x6D, 0x7D, 0x07, 0x7F, 0x6F};
constexpr uint8_t kSegmentsF = 0x71;
constexpr uint8_t kSegmentsR = 0x50;

class CPlanes
{
public:
    CPlanes(QSize size, uint8_t* y, int ys, uint8_t* u, int us, uint8_t* v, int vs)
        : w(size.width()), h(size.height()), Y(y), U(u), V(v), yStride(ys), uStride(us), vStride(vs)
    {
    }

    // Fills [x0, x1) x [y0, y1), clipped to the picture.
    void Fill(int x0, int y0, int x1, int y1, Yuv c)
    {
        x0 = std::max(x0, 0);
        y0 = std::max(y0, 0);
        x1 = std::min(x1, w);
        y1 = std::min(y1, h);
        if (x0 >= x1 || y0 >= y1)
            return;
        for (int yy = y0; yy < y1; ++yy)
            std::fill(Y + yy * yStride + x0, Y + yy * yStride + x1, c.y);
        for (int yy = y0 / 2; yy < (y1 + 1) / 2; ++yy) {
            std::fill(U + yy * uStride + x0 / 2, U + yy * uStride + (x1 + 1) / 2, c.u);
            std::fill(V + yy * vStride + x0 / 2, V + yy * vStride + (x1 + 1) / 2, c.v);
        }
    }

    const int w, h;
    uint8_t* const Y;
    uint8_t* const U;
    uint8_t* const V;
    const int yStride, uStride, vStride;
};

void DrawSegments(CPlanes& p, uint8_t mask, int x, int y, int w, int h, int t, Yuv on)
{
    const int mid = y + h / 2;
    if (mask & 0x01) p.Fill(x, y, x + w, y + t, on);
    if (mask & 0x02) p.Fill(x + w - t, y, x + w, mid, on);
    if (mask & 0x04) p.Fill(x + w - t, mid, x + w, y + h, on);
    if (mask & 0x08) p.Fill(x, y + h - t, x + w, y + h, on);
    if (mask & 0x10) p.Fill(x, mid, x + t, y + h, on);
    if (mask & 0x20) p.Fill(x, y, x + t, mid, on);
    if (mask & 0x40) p.Fill(x, mid - t / 2, x + w, mid - t / 2 + t, on);
}

double Triangle(double phase)
{
    const double f = phase - std::floor(phase);
    return 1.0 - std::fabs(2.0 * f - 1.0);
}

quint32 XorShift(quint32& s)
{
    s ^= s << 13;
    s ^= s >> 17;
    s ^= s << 5;
    return s;
}

int Px(double fraction, int extent)
{
    return int(std::lround(fraction * extent));
}

} // namespace

void DrawTestPicture(const TestPictureParams& params, uint8_t* y, int yStride, uint8_t* u, int uStride, uint8_t* v,
                     int vStride)
{
    CPlanes p(params.size, y, yStride, u, uStride, v, vStride);
    const int w = p.w;
    const int h = p.h;

    // Background: diagonal colour stripes scrolling to the left.
    static const std::array<std::array<int, 3>, 8> kPalette = {{{200, 60, 60},
                                                                 {60, 160, 60},
                                                                 {60, 90, 200},
                                                                 {200, 170, 40},
                                                                 {40, 170, 170},
                                                                 {170, 60, 170},
                                                                 {120, 120, 120},
                                                                 {230, 120, 40}}};
    std::array<Yuv, 6> colours;
    for (size_t i = 0; i < colours.size(); ++i) {
        const auto& c = kPalette[(i + params.seed) % kPalette.size()];
        colours[i] = FromRgb(c[0], c[1], c[2]);
    }
    const int stripe = std::max(8, w / 8);
    const int shift = int(params.seconds * w / 4.0);
    for (int row = 0; row < h; ++row) {
        uint8_t* yl = y + row * yStride;
        for (int x = 0; x < w; ++x) {
            const int k = ((x + row / 2 + shift) / stripe) % int(colours.size());
            yl[x] = colours[size_t(k)].y;
        }
    }
    for (int row = 0; row < h / 2; ++row) {
        uint8_t* ul = u + row * uStride;
        uint8_t* vl = v + row * vStride;
        for (int x = 0; x < w / 2; ++x) {
            const int k = ((2 * x + 1 + row + shift) / stripe) % int(colours.size());
            ul[x] = colours[size_t(k)].u;
            vl[x] = colours[size_t(k)].v;
        }
    }
    if (params.noise > 0) {
        quint32 state = (params.seed * 2654435761u) ^ (quint32(params.frameNumber) * 40503u) ^ 0x9E3779B9u;
        if (state == 0)
            state = 1;
        const int span = 2 * params.noise + 1;
        for (int row = 0; row < h; ++row) {
            uint8_t* yl = y + row * yStride;
            for (int x = 0; x < w; ++x)
                yl[x] = uint8_t(std::clamp(int(yl[x]) + int(XorShift(state) % quint32(span)) - params.noise, 0, 255));
        }
        for (int row = 0; row < h / 2; ++row) {
            uint8_t* ul = u + row * uStride;
            for (int x = 0; x < w / 2; ++x)
                ul[x] = uint8_t(std::clamp(int(ul[x]) + int(XorShift(state) % quint32(span)) - params.noise, 0, 255));
        }
    }

    // A bouncing box.
    const int box = std::max(4, h / 5);
    const int bx = int(Triangle(params.seconds * 0.37) * (w - box));
    const int by = int(Triangle(params.seconds * 0.23 + 0.25) * (h - box));
    p.Fill(bx, by, bx + box, by + box, FromRgb(250, 240, 200));

    // The clock: "HH:MM:SS" and the channel letter in seven-segment digits.
    const Yuv black{kBlack, 128, 128};
    const Yuv white{kWhite, 128, 128};
    const int dh = std::max(10, h / 8);
    const int dw = std::max(6, h / 14);
    const int t = std::max(2, h / 60);
    const int gap = std::max(2, dw / 3);
    const int x0 = std::max(4, h / 30);
    const int y0 = std::max(4, h / 30);
    const QDateTime now = params.clockStart.addMSecs(qint64(std::floor(params.seconds * 1000.0)));
    const QByteArray clock = now.time().toString(QStringLiteral("HH:mm:ss")).toLatin1();
    const int colonW = t + gap;
    int textW = 0;
    for (char c : clock)
        textW += (c == ':' ? colonW : dw + gap);
    if (params.channel != ' ')
        textW += dw + 2 * gap;
    p.Fill(x0 - gap, y0 - gap, x0 + textW + gap, y0 + dh + gap, black);
    int x = x0;
    for (char c : clock) {
        if (c == ':') {
            p.Fill(x, y0 + dh / 3 - t / 2, x + t, y0 + dh / 3 - t / 2 + t, white);
            p.Fill(x, y0 + 2 * dh / 3 - t / 2, x + t, y0 + 2 * dh / 3 - t / 2 + t, white);
            x += colonW;
        } else {
            DrawSegments(p, kDigitSegments[size_t(c - '0')], x, y0, dw, dh, t, white);
            x += dw + gap;
        }
    }
    if (params.channel != ' ') {
        x += gap;
        const uint8_t mask = params.channel == 'F' ? kSegmentsF : params.channel == 'R' ? kSegmentsR : 0x40;
        DrawSegments(p, mask, x, y0, dw, dh, t, FromRgb(255, 200, 0));
    }
    // A sweep under the clock: one full width per second.
    const double frac = params.seconds - std::floor(params.seconds);
    p.Fill(x0 - gap, y0 + dh + gap, x0 - gap + int(frac * (textW + 2 * gap)), y0 + dh + gap + t, white);

    // The frame number: guard, then 16 cells, most significant bit first.
    const unsigned code = unsigned(params.frameNumber) & 0xFFFFu;
    p.Fill(Px(kGridLeft - 0.5 * kCellW, w), Px(kGridTop - 0.5 * kCellH, h), w, h, Yuv{kGuardGrey, 128, 128});
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            const bool bit = (code >> (15 - (r * 4 + c))) & 1u;
            p.Fill(Px(kGridLeft + c * kCellW, w), Px(kGridTop + r * kCellH, h), Px(kGridLeft + (c + 1) * kCellW, w),
                   Px(kGridTop + (r + 1) * kCellH, h), bit ? white : black);
        }
    }
}
