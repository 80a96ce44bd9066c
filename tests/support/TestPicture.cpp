#include "TestPicture.h"

#include "telemetry/FfmpegLog.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}

#include <QFile>

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>

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

// Geometry of the frame-number code, as fractions of the picture, so that
// a scaled picture reads the same: a 4 x 4 grid of cells of W/28 x H/16 in
// the bottom-right corner, framed by a grey guard half a cell wide.
constexpr double kCellW = 1.0 / 28.0;
constexpr double kCellH = 1.0 / 16.0;
constexpr double kGridLeft = 1.0 - 4.5 * kCellW;
constexpr double kGridTop = 1.0 - 4.5 * kCellH;

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

QImage RenderTestPicture(const TestPictureParams& params)
{
    const int w = params.size.width();
    const int h = params.size.height();
    std::vector<uint8_t> y(size_t(w * h)), u(size_t(w * h / 4)), v(size_t(w * h / 4));
    DrawTestPicture(params, y.data(), w, u.data(), w / 2, v.data(), w / 2);
    QImage image(w, h, QImage::Format_RGB32);
    SwsContext* sws = sws_getContext(w, h, AV_PIX_FMT_YUV420P, w, h, AV_PIX_FMT_RGB32, SWS_BILINEAR, nullptr, nullptr,
                                     nullptr);
    const uint8_t* src[3] = {y.data(), u.data(), v.data()};
    const int srcStride[3] = {w, w / 2, w / 2};
    uint8_t* dst[1] = {image.bits()};
    const int dstStride[1] = {int(image.bytesPerLine())};
    sws_scale(sws, src, srcStride, 0, h, dst, dstStride);
    sws_freeContext(sws);
    return image;
}

namespace {
// Mean full-range luma over the fractional rectangle, or -1 when empty.
double MeanLuma(const QImage& img, double fx0, double fy0, double fx1, double fy1)
{
    const int x0 = std::clamp(int(std::floor(fx0 * img.width())), 0, img.width());
    const int x1 = std::clamp(int(std::ceil(fx1 * img.width())), 0, img.width());
    const int y0 = std::clamp(int(std::floor(fy0 * img.height())), 0, img.height());
    const int y1 = std::clamp(int(std::ceil(fy1 * img.height())), 0, img.height());
    if (x0 >= x1 || y0 >= y1)
        return -1.0;
    double sum = 0.0;
    for (int yy = y0; yy < y1; ++yy) {
        const auto* line = reinterpret_cast<const QRgb*>(img.constScanLine(yy));
        for (int xx = x0; xx < x1; ++xx)
            sum += (qRed(line[xx]) * 77 + qGreen(line[xx]) * 150 + qBlue(line[xx]) * 29) / 256.0;
    }
    return sum / double((x1 - x0) * (y1 - y0));
}
} // namespace

int DecodeFrameNumber(const QImage& picture)
{
    if (picture.isNull() || picture.width() < 28 || picture.height() < 16)
        return -1;
    const QImage img = picture.format() == QImage::Format_RGB32 || picture.format() == QImage::Format_ARGB32
                           ? picture
                           : picture.convertToFormat(QImage::Format_RGB32);
    // The guard strips left of and above the grid must be mid grey.
    const double guardLeft = MeanLuma(img, kGridLeft - 0.4 * kCellW, kGridTop + kCellH, kGridLeft - 0.1 * kCellW,
                                      kGridTop + 3 * kCellH);
    const double guardTop = MeanLuma(img, kGridLeft + kCellW, kGridTop - 0.4 * kCellH, kGridLeft + 3 * kCellW,
                                     kGridTop - 0.1 * kCellH);
    for (double g : {guardLeft, guardTop})
        if (g < 80.0 || g > 176.0)
            return -1;
    unsigned code = 0;
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            const double m = MeanLuma(img, kGridLeft + (c + 0.3) * kCellW, kGridTop + (r + 0.3) * kCellH,
                                      kGridLeft + (c + 0.7) * kCellW, kGridTop + (r + 0.7) * kCellH);
            if (m < 0.0 || (m > 80.0 && m < 176.0))
                return -1;
            code = (code << 1) | (m >= 128.0 ? 1u : 0u);
        }
    }
    return int(code);
}

QList<QImage> DecodeVideoFrames(const QString& path, int videoIndex, int maxFrames)
{
    Telemetry::RouteFfmpegLogToTrace();
    QList<QImage> frames;
    AVFormatContext* fmt = nullptr;
    const QByteArray url = "file:" + QFile::encodeName(path);
    if (avformat_open_input(&fmt, url.constData(), nullptr, nullptr) < 0)
        return frames;
    std::unique_ptr<AVFormatContext*, void (*)(AVFormatContext**)> fmtGuard(&fmt, avformat_close_input);
    if (avformat_find_stream_info(fmt, nullptr) < 0)
        return frames;
    int stream = -1;
    for (unsigned i = 0, n = 0; i < fmt->nb_streams; ++i) {
        if (fmt->streams[i]->codecpar->codec_type == AVMEDIA_TYPE_VIDEO && int(n++) == videoIndex) {
            stream = int(i);
            break;
        }
    }
    if (stream < 0)
        return frames;
    const AVCodec* codec = avcodec_find_decoder(fmt->streams[stream]->codecpar->codec_id);
    if (!codec)
        return frames;
    AVCodecContext* dec = avcodec_alloc_context3(codec);
    std::unique_ptr<AVCodecContext*, void (*)(AVCodecContext**)> decGuard(&dec, avcodec_free_context);
    avcodec_parameters_to_context(dec, fmt->streams[stream]->codecpar);
    dec->thread_count = 1;
    if (avcodec_open2(dec, codec, nullptr) < 0)
        return frames;
    AVPacket* pkt = av_packet_alloc();
    AVFrame* frame = av_frame_alloc();
    SwsContext* sws = nullptr;
    auto drain = [&]() {
        while (avcodec_receive_frame(dec, frame) == 0) {
            if (maxFrames < 0 || frames.size() < maxFrames) {
                QImage img(frame->width, frame->height, QImage::Format_RGB32);
                sws = sws_getCachedContext(sws, frame->width, frame->height, AVPixelFormat(frame->format), frame->width,
                                           frame->height, AV_PIX_FMT_RGB32, SWS_BILINEAR, nullptr, nullptr, nullptr);
                uint8_t* dst[1] = {img.bits()};
                const int dstStride[1] = {int(img.bytesPerLine())};
                sws_scale(sws, frame->data, frame->linesize, 0, frame->height, dst, dstStride);
                frames.append(img);
            }
            av_frame_unref(frame);
        }
    };
    while ((maxFrames < 0 || frames.size() < maxFrames) && av_read_frame(fmt, pkt) >= 0) {
        if (pkt->stream_index == stream && avcodec_send_packet(dec, pkt) >= 0)
            drain();
        av_packet_unref(pkt);
    }
    avcodec_send_packet(dec, nullptr);
    drain();
    sws_freeContext(sws);
    av_frame_free(&frame);
    av_packet_free(&pkt);
    return frames;
}
