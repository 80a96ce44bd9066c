#include "support/TestPictureReader.h"

#include "telemetry/FfmpegLog.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}

#include <QFile>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

using namespace TestPictureCode;

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
