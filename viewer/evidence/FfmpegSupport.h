#pragma once

// Small owners and helpers over FFmpeg for the clip exporter (internal).

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/avutil.h>
}

#include <QString>

#include <memory>

namespace Evidence {

struct CodecContextDeleter {
    void operator()(AVCodecContext* c) const { avcodec_free_context(&c); }
};
struct FrameDeleter {
    void operator()(AVFrame* f) const { av_frame_free(&f); }
};
struct PacketDeleter {
    void operator()(AVPacket* p) const { av_packet_free(&p); }
};
using CodecContextPtr = std::unique_ptr<AVCodecContext, CodecContextDeleter>;
using FramePtr = std::unique_ptr<AVFrame, FrameDeleter>;
using PacketPtr = std::unique_ptr<AVPacket, PacketDeleter>;

inline FramePtr MakeFrame() { return FramePtr(av_frame_alloc()); }
inline PacketPtr MakePacket() { return PacketPtr(av_packet_alloc()); }

QString AvError(int code);

// One demultiplexed input file. Times are "recording time": seconds from the
// file's start time.
class CInputFile
{
public:
    CInputFile() = default;
    ~CInputFile();
    CInputFile(const CInputFile&) = delete;
    CInputFile& operator=(const CInputFile&) = delete;

    bool Open(const QString& path, QString* error);
    AVFormatContext* Ctx() const { return m_fmt; }
    // Absolute index of the `nth` stream of `type`, or -1.
    int StreamOf(AVMediaType type, int nth = 0) const;
    // Every stream but those in `keep` is skipped by the demultiplexer.
    void KeepOnly(std::initializer_list<int> keep);
    double Seconds(int64_t ts, int stream) const;
    int64_t Timestamp(double seconds, int stream) const;
    // The container's duration in seconds (0 when unknown).
    double DurationSeconds() const;
    // Positions the file at the last key frame of `stream` at or before
    // `seconds` (or its start).
    bool SeekBefore(double seconds, int stream);
    QString Path() const { return m_path; }

private:
    AVFormatContext* m_fmt = nullptr;
    QString m_path;
    double m_start = 0.0;
};

} // namespace Evidence
