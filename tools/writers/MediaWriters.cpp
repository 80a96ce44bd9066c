#include "writers/MediaWriters.h"

#include "writers/AviWriter.h"
#include "telemetry/FfmpegLog.h"
#include "writers/TestPicture.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
}

#include <QFile>
#include <QSaveFile>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

namespace {

struct EncodedPacket {
    QByteArray data;
    bool key = false;
};

QString AvError(int code)
{
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return QString::fromLocal8Bit(text);
}

bool Fail(QString* error, const QString& why)
{
    if (error)
        *error = why;
    return false;
}

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

struct VideoDef {
    TestVideoCodec codec = TestVideoCodec::H264;
    QSize size;
    int fps = 30;
    int kbps = 250;
    QByteArray preset = "ultrafast";
    bool globalHeader = false; // avcC in the extradata (MP4) or headers in band (AVI)
    // Picture.
    QDateTime clockStart;
    char channel = 'F';
    int noise = 0;
    quint32 seed = 1;
};

// Encodes `frames` test pictures. Without B-frames the packets come out in
// picture order, one per picture.
bool EncodeVideo(const VideoDef& def, int frames, std::vector<EncodedPacket>& out, QByteArray* extradata,
                 QString* error)
{
    const AVCodec* codec = def.codec == TestVideoCodec::H264 ? avcodec_find_encoder_by_name("libx264")
                                                               : avcodec_find_encoder(AV_CODEC_ID_MPEG4);
    if (!codec)
        return Fail(error, QStringLiteral("no video encoder"));
    if (def.size.width() % 2 || def.size.height() % 2 || def.size.isEmpty())
        return Fail(error, QStringLiteral("picture size must be even"));
    CodecContextPtr ctx(avcodec_alloc_context3(codec));
    ctx->width = def.size.width();
    ctx->height = def.size.height();
    ctx->pix_fmt = AV_PIX_FMT_YUV420P;
    ctx->time_base = AVRational{1, def.fps};
    ctx->framerate = AVRational{def.fps, 1};
    ctx->gop_size = def.fps; // a key frame every second, as the camera does
    ctx->max_b_frames = 0;
    ctx->bit_rate = int64_t(def.kbps) * 1000;
    ctx->thread_count = 2;
    ctx->flags |= AV_CODEC_FLAG_BITEXACT;
    if (def.globalHeader)
        ctx->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    if (def.codec == TestVideoCodec::H264) {
        av_opt_set(ctx->priv_data, "preset", def.preset.constData(), 0);
        av_opt_set(ctx->priv_data, "x264-params", "scenecut=0", 0);
    }
    int rc = avcodec_open2(ctx.get(), codec, nullptr);
    if (rc < 0)
        return Fail(error, QStringLiteral("video encoder: ") + AvError(rc));
    if (extradata)
        *extradata = QByteArray(reinterpret_cast<const char*>(ctx->extradata), ctx->extradata_size);

    FramePtr frame(av_frame_alloc());
    frame->format = ctx->pix_fmt;
    frame->width = ctx->width;
    frame->height = ctx->height;
    if ((rc = av_frame_get_buffer(frame.get(), 0)) < 0)
        return Fail(error, AvError(rc));
    PacketPtr pkt(av_packet_alloc());
    auto drain = [&]() -> bool {
        for (;;) {
            const int r = avcodec_receive_packet(ctx.get(), pkt.get());
            if (r == AVERROR(EAGAIN) || r == AVERROR_EOF)
                return true;
            if (r < 0)
                return Fail(error, AvError(r));
            out.push_back({QByteArray(reinterpret_cast<const char*>(pkt->data), pkt->size),
                           (pkt->flags & AV_PKT_FLAG_KEY) != 0});
            av_packet_unref(pkt.get());
        }
    };
    TestPictureParams picture;
    picture.size = def.size;
    picture.clockStart = def.clockStart;
    picture.channel = def.channel;
    picture.noise = def.noise;
    picture.seed = def.seed;
    for (int i = 0; i < frames; ++i) {
        if ((rc = av_frame_make_writable(frame.get())) < 0)
            return Fail(error, AvError(rc));
        picture.frameNumber = i;
        picture.seconds = double(i) / def.fps;
        DrawTestPicture(picture, frame->data[0], frame->linesize[0], frame->data[1], frame->linesize[1],
                        frame->data[2], frame->linesize[2]);
        frame->pts = i;
        if ((rc = avcodec_send_frame(ctx.get(), frame.get())) < 0)
            return Fail(error, AvError(rc));
        if (!drain())
            return false;
    }
    avcodec_send_frame(ctx.get(), nullptr);
    if (!drain())
        return false;
    if (int(out.size()) != frames)
        return Fail(error, QStringLiteral("encoder returned %1 packets for %2 pictures").arg(out.size()).arg(frames));
    return true;
}

// A short beep (880 Hz) at the start of every second, silence otherwise.
double BeepSample(int64_t n, int rate)
{
    const int64_t inSecond = n % rate;
    if (inSecond >= rate / 10)
        return 0.0;
    return 0.3 * std::sin(2.0 * M_PI * 880.0 * double(n) / rate);
}

struct AudioPacket {
    QByteArray data;
    int64_t pts = 0;
    int64_t duration = 0;
};

bool EncodeAac(double seconds, int rate, std::vector<AudioPacket>& out, QByteArray& extradata,
               AVCodecParameters* params, QString* error)
{
    const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_AAC);
    if (!codec)
        return Fail(error, QStringLiteral("no AAC encoder"));
    CodecContextPtr ctx(avcodec_alloc_context3(codec));
    ctx->sample_rate = rate;
    ctx->sample_fmt = AV_SAMPLE_FMT_FLTP;
    av_channel_layout_default(&ctx->ch_layout, 1);
    ctx->bit_rate = 32000;
    ctx->time_base = AVRational{1, rate};
    ctx->flags |= AV_CODEC_FLAG_GLOBAL_HEADER | AV_CODEC_FLAG_BITEXACT;
    int rc = avcodec_open2(ctx.get(), codec, nullptr);
    if (rc < 0)
        return Fail(error, QStringLiteral("AAC encoder: ") + AvError(rc));
    extradata = QByteArray(reinterpret_cast<const char*>(ctx->extradata), ctx->extradata_size);
    avcodec_parameters_from_context(params, ctx.get());

    const int64_t total = int64_t(std::llround(seconds * rate));
    FramePtr frame(av_frame_alloc());
    frame->format = ctx->sample_fmt;
    frame->sample_rate = rate;
    av_channel_layout_copy(&frame->ch_layout, &ctx->ch_layout);
    frame->nb_samples = ctx->frame_size;
    if ((rc = av_frame_get_buffer(frame.get(), 0)) < 0)
        return Fail(error, AvError(rc));
    PacketPtr pkt(av_packet_alloc());
    auto drain = [&]() -> bool {
        for (;;) {
            const int r = avcodec_receive_packet(ctx.get(), pkt.get());
            if (r == AVERROR(EAGAIN) || r == AVERROR_EOF)
                return true;
            if (r < 0)
                return Fail(error, AvError(r));
            out.push_back({QByteArray(reinterpret_cast<const char*>(pkt->data), pkt->size), pkt->pts, pkt->duration});
            av_packet_unref(pkt.get());
        }
    };
    for (int64_t n = 0; n < total; n += ctx->frame_size) {
        av_frame_make_writable(frame.get());
        const int count = int(std::min<int64_t>(ctx->frame_size, total - n));
        frame->nb_samples = count;
        auto* samples = reinterpret_cast<float*>(frame->data[0]);
        for (int i = 0; i < count; ++i)
            samples[i] = float(BeepSample(n + i, rate));
        frame->pts = n;
        if ((rc = avcodec_send_frame(ctx.get(), frame.get())) < 0)
            return Fail(error, AvError(rc));
        if (!drain())
            return false;
    }
    avcodec_send_frame(ctx.get(), nullptr);
    return drain();
}

// The default text sample description of a "tx3g" track: display flags,
// justification, background colour, text box, default style (font 1, size
// 18, white) and a font table naming one font.
QByteArray Tx3gSampleDescription()
{
    static const unsigned char bytes[] = {
        0x00, 0x00, 0x00, 0x00,                         // display flags
        0x01, 0xFF,                                     // horizontal, vertical justification
        0x00, 0x00, 0x00, 0x00,                         // background colour
        0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, // text box
        0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x12, // style: chars, font id, face, size
        0xFF, 0xFF, 0xFF, 0xFF,                         // text colour
        0x00, 0x00, 0x00, 0x12, 'f', 't', 'a', 'b',     // font table box
        0x00, 0x01, 0x00, 0x01, 0x05, 'S', 'e', 'r', 'i', 'f'};
    return QByteArray(reinterpret_cast<const char*>(bytes), int(sizeof bytes));
}

void SetExtradata(AVCodecParameters* par, const QByteArray& data)
{
    av_freep(&par->extradata);
    par->extradata_size = 0;
    if (data.isEmpty())
        return;
    par->extradata = static_cast<uint8_t*>(av_mallocz(size_t(data.size()) + AV_INPUT_BUFFER_PADDING_SIZE));
    memcpy(par->extradata, data.constData(), size_t(data.size()));
    par->extradata_size = int(data.size());
}

uint32_t Be32(const QByteArray& b, qsizetype at)
{
    const auto* u = reinterpret_cast<const unsigned char*>(b.constData() + at);
    return (uint32_t(u[0]) << 24) | (uint32_t(u[1]) << 16) | (uint32_t(u[2]) << 8) | uint32_t(u[3]);
}

void PutBe32(QByteArray& b, qsizetype at, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = char((v >> (24 - 8 * i)) & 0xFF);
}

void AddBe32(QByteArray& b, qsizetype at, int64_t delta)
{
    PutBe32(b, at, uint32_t(int64_t(Be32(b, at)) + delta));
}

// Finds the nth child box `type` inside [begin, end); returns its start or -1.
qsizetype FindBox(const QByteArray& file, qsizetype begin, qsizetype end, const char* type, int nth = 0)
{
    qsizetype at = begin;
    while (at + 8 <= end) {
        const qsizetype size = qsizetype(Be32(file, at));
        if (size < 8 || at + size > end)
            return -1;
        if (memcmp(file.constData() + at + 4, type, 4) == 0 && nth-- == 0)
            return at;
        at += size;
    }
    return -1;
}

qsizetype BoxEnd(const QByteArray& file, qsizetype box)
{
    return box + qsizetype(Be32(file, box));
}

// The path moov/trak[track]/mdia/minf/stbl: starts of the boxes, outermost first.
QList<qsizetype> SampleTablePath(const QByteArray& file, int track)
{
    QList<qsizetype> path;
    qsizetype box = FindBox(file, 0, file.size(), "moov");
    if (box < 0)
        return {};
    path << box;
    box = FindBox(file, box + 8, BoxEnd(file, box), "trak", track);
    for (const char* type : {"mdia", "minf", "stbl"}) {
        if (box < 0)
            return {};
        path << box;
        box = FindBox(file, box + 8, BoxEnd(file, box), type);
    }
    if (box < 0)
        return {};
    path << box;
    return path;
}

// Replaces the body of a table box (after its 8-byte header) and fixes the
// sizes of the enclosing boxes. Only for a moov at the end of the file.
void ReplaceTable(QByteArray& file, const QList<qsizetype>& path, qsizetype table, const QByteArray& body)
{
    const qsizetype oldSize = qsizetype(Be32(file, table));
    const int64_t delta = int64_t(body.size() + 8) - int64_t(oldSize);
    file.replace(table + 8, oldSize - 8, body);
    AddBe32(file, table, delta);
    for (qsizetype box : path)
        AddBe32(file, box, delta);
}

QByteArray TableBody(const QByteArray& file, qsizetype table)
{
    return file.mid(table + 8, qsizetype(Be32(file, table)) - 8);
}

// The muxer closes every text track with an empty 2-byte sample; removes
// that last sample from the track's sample tables (the bytes stay in mdat,
// unreferenced).
bool RemoveTrailingEndSample(QByteArray& file, int track, QString* error)
{
    const QList<qsizetype> path = SampleTablePath(file, track);
    if (path.isEmpty())
        return Fail(error, QStringLiteral("no sample table"));
    if (BoxEnd(file, path.first()) != file.size())
        return Fail(error, QStringLiteral("moov is not at the end"));
    const qsizetype stbl = path.last();
    auto table = [&](const char* type) { return FindBox(file, stbl + 8, BoxEnd(file, stbl), type); };

    // Sizes.
    qsizetype box = table("stsz");
    if (box < 0)
        return Fail(error, QStringLiteral("no stsz"));
    QByteArray body = TableBody(file, box);
    const uint32_t constant = Be32(body, 4);
    const uint32_t count = Be32(body, 8);
    if (count == 0 || (constant ? constant : Be32(body, 12 + 4 * qsizetype(count - 1))) != 2)
        return Fail(error, QStringLiteral("the text track does not end with an end sample"));
    PutBe32(body, 8, count - 1);
    if (!constant)
        body.chop(4);
    ReplaceTable(file, path, box, body);

    // Durations.
    box = table("stts");
    body = TableBody(file, box);
    uint32_t entries = Be32(body, 4);
    if (entries == 0)
        return Fail(error, QStringLiteral("empty stts"));
    const qsizetype last = 8 + 8 * qsizetype(entries - 1);
    if (Be32(body, last) > 1) {
        AddBe32(body, last, -1);
    } else {
        body.chop(8);
        PutBe32(body, 4, entries - 1);
    }
    ReplaceTable(file, path, box, body);

    // Chunks.
    box = table("stco");
    const bool wide = box < 0;
    if (wide)
        box = table("co64");
    QByteArray offsets = TableBody(file, box);
    const uint32_t chunks = Be32(offsets, 4);
    box = table("stsc");
    body = TableBody(file, box);
    entries = Be32(body, 4);
    if (entries == 0 || chunks == 0)
        return Fail(error, QStringLiteral("empty stsc"));
    const qsizetype lastEntry = 8 + 12 * qsizetype(entries - 1);
    const uint32_t firstChunk = Be32(body, lastEntry);
    const uint32_t perChunk = Be32(body, lastEntry + 4);
    bool dropChunk = false;
    if (perChunk == 1) {
        dropChunk = true;
        if (firstChunk == chunks) {
            body.chop(12);
            PutBe32(body, 4, entries - 1);
        }
    } else if (firstChunk == chunks) {
        PutBe32(body, lastEntry + 4, perChunk - 1);
    } else {
        QByteArray e;
        e.resize(12);
        PutBe32(e, 0, chunks);
        PutBe32(e, 4, perChunk - 1);
        PutBe32(e, 8, Be32(body, lastEntry + 8));
        body.append(e);
        PutBe32(body, 4, entries + 1);
    }
    ReplaceTable(file, path, box, body);
    if (dropChunk) {
        box = table(wide ? "co64" : "stco");
        offsets.chop(wide ? 8 : 4);
        PutBe32(offsets, 4, chunks - 1);
        ReplaceTable(file, path, box, offsets);
    }
    return true;
}

// Sets the stored size of the given samples of track `track` to 0.
bool ZeroSampleSizes(QByteArray& file, int track, const QList<int>& samples, QString* error)
{
    const QList<qsizetype> path = SampleTablePath(file, track);
    const qsizetype box = path.isEmpty() ? -1 : FindBox(file, path.last() + 8, BoxEnd(file, path.last()), "stsz");
    if (box < 0)
        return Fail(error, QStringLiteral("no stsz"));
    const uint32_t constantSize = Be32(file, box + 12);
    const uint32_t count = Be32(file, box + 16);
    if (constantSize != 0)
        return Fail(error, QStringLiteral("text samples all of one size: cannot empty single ones"));
    for (int n : samples) {
        if (n < 0 || uint32_t(n) >= count)
            return Fail(error, QStringLiteral("no text sample %1").arg(n));
        PutBe32(file, box + 20 + 4 * qsizetype(n), 0);
    }
    return true;
}

// Moves the moov box (at the end) in front of everything but ftyp and shifts
// every chunk offset by its size.
bool MoveMoovToFront(QByteArray& file, QString* error)
{
    const qsizetype moov = FindBox(file, 0, file.size(), "moov");
    const qsizetype ftyp = FindBox(file, 0, file.size(), "ftyp");
    if (moov < 0 || ftyp != 0 || BoxEnd(file, moov) != file.size())
        return Fail(error, QStringLiteral("unexpected box layout"));
    QByteArray box = file.mid(moov);
    const qsizetype shift = box.size();
    for (int t = 0;; ++t) {
        const qsizetype trak = FindBox(box, 8, box.size(), "trak", t);
        if (trak < 0)
            break;
        QList<qsizetype> path = SampleTablePath(box, t);
        if (path.isEmpty())
            return Fail(error, QStringLiteral("no sample table"));
        const qsizetype stbl = path.last();
        qsizetype co = FindBox(box, stbl + 8, BoxEnd(box, stbl), "stco");
        if (co >= 0) {
            const uint32_t n = Be32(box, co + 12);
            for (uint32_t i = 0; i < n; ++i)
                AddBe32(box, co + 16 + 4 * qsizetype(i), shift);
        } else if ((co = FindBox(box, stbl + 8, BoxEnd(box, stbl), "co64")) >= 0) {
            const uint32_t n = Be32(box, co + 12);
            for (uint32_t i = 0; i < n; ++i) {
                const qsizetype at = co + 16 + 8 * qsizetype(i);
                const uint64_t v = (uint64_t(Be32(box, at)) << 32 | Be32(box, at + 4)) + uint64_t(shift);
                PutBe32(box, at, uint32_t(v >> 32));
                PutBe32(box, at + 4, uint32_t(v));
            }
        }
    }
    const qsizetype ftypEnd = BoxEnd(file, 0);
    file = file.left(ftypEnd) + box + file.mid(ftypEnd, moov - ftypEnd);
    return true;
}

struct TimedPacket {
    int64_t timeUs = 0; // for the interleaving order
    int stream = 0;
    int order = 0; // keeps the writing order of equal times stable
    QByteArray data;
    int64_t pts = 0;
    int64_t duration = 0;
    AVRational timeBase{1, 1};
    bool key = true;
};

} // namespace

QByteArray Mp4TextPacket(const QByteArray& record, bool trailingZero)
{
    QByteArray p;
    p.append(char((record.size() >> 8) & 0xFF));
    p.append(char(record.size() & 0xFF));
    p.append(record);
    if (trailingZero)
        p.append('\0');
    return p;
}

bool WriteTestMp4(const QString& path, const Mp4Options& o, QString* error)
{
    Telemetry::RouteFfmpegLogToTrace();
    const int frames = o.video ? std::max(1, int(std::lround(o.durationSec * o.fps))) : 0;
    const int64_t durationMs = std::max<int64_t>(1, std::llround(o.durationSec * 1000.0));

    // Video packets (once, then repeated when asked).
    std::vector<EncodedPacket> video;
    QByteArray videoExtradata;
    if (o.video) {
        VideoDef def;
        def.codec = o.codec;
        def.size = o.size;
        def.fps = o.fps;
        def.kbps = o.videoKbps;
        def.preset = o.x264Preset;
        def.globalHeader = true;
        def.clockStart = o.clockStart;
        def.channel = o.channel;
        def.noise = o.noise;
        def.seed = o.seed;
        const int unique = o.uniqueSeconds > 0 ? std::min(frames, o.uniqueSeconds * o.fps) : frames;
        if (!EncodeVideo(def, unique, video, &videoExtradata, error))
            return false;
    }
    std::vector<AudioPacket> audio;
    QByteArray audioExtradata;
    std::unique_ptr<AVCodecParameters, void (*)(AVCodecParameters*)> audioParams(
        avcodec_parameters_alloc(), [](AVCodecParameters* p) { avcodec_parameters_free(&p); });
    // One time scale for every track: the muxer compares the text tracks'
    // end times with other tracks' time stamps, and with one scale the text
    // samples follow each other without the empty samples it adds for gaps.
    constexpr int kTimeScale = 48000;
    constexpr int kAudioRate = kTimeScale;
    if (kTimeScale % o.fps)
        return Fail(error, QStringLiteral("the frame rate must divide 48000"));
    if (o.audio && !EncodeAac(o.durationSec, kAudioRate, audio, audioExtradata, audioParams.get(), error))
        return false;

    AVFormatContext* oc = nullptr;
    int rc = avformat_alloc_output_context2(&oc, nullptr, "mp4", nullptr);
    if (rc < 0 || !oc)
        return Fail(error, QStringLiteral("mp4 muxer: ") + AvError(rc));
    std::unique_ptr<AVFormatContext, void (*)(AVFormatContext*)> ocGuard(oc, [](AVFormatContext* c) {
        if (c->pb)
            avio_closep(&c->pb);
        avformat_free_context(c);
    });
    oc->flags |= AVFMT_FLAG_BITEXACT;

    int videoStream = -1;
    int audioStream = -1;
    QList<int> textStreams;
    auto addText = [&]() {
        for (qsizetype t = 0; t < o.textTracks.size(); ++t) {
            AVStream* st = avformat_new_stream(oc, nullptr);
            st->codecpar->codec_type = AVMEDIA_TYPE_SUBTITLE;
            st->codecpar->codec_id = AV_CODEC_ID_MOV_TEXT;
            SetExtradata(st->codecpar, Tx3gSampleDescription());
            st->time_base = AVRational{1, kTimeScale};
            textStreams.append(st->index);
        }
    };
    if (o.textTracksFirst)
        addText();
    if (o.video) {
        AVStream* st = avformat_new_stream(oc, nullptr);
        st->codecpar->codec_type = AVMEDIA_TYPE_VIDEO;
        st->codecpar->codec_id = o.codec == TestVideoCodec::H264 ? AV_CODEC_ID_H264 : AV_CODEC_ID_MPEG4;
        st->codecpar->width = o.size.width();
        st->codecpar->height = o.size.height();
        st->codecpar->format = AV_PIX_FMT_YUV420P;
        SetExtradata(st->codecpar, videoExtradata);
        st->time_base = AVRational{1, o.fps};
        st->avg_frame_rate = AVRational{o.fps, 1};
        videoStream = st->index;
    }
    if (o.audio) {
        AVStream* st = avformat_new_stream(oc, nullptr);
        avcodec_parameters_copy(st->codecpar, audioParams.get());
        st->time_base = AVRational{1, kAudioRate};
        audioStream = st->index;
    }
    if (!o.textTracksFirst)
        addText();

    const QByteArray url = "file:" + QFile::encodeName(path);
    oc->url = av_strdup(url.constData()); // the second pass of "faststart" reopens it
    if ((rc = avio_open(&oc->pb, url.constData(), AVIO_FLAG_WRITE)) < 0)
        return Fail(error, QStringLiteral("cannot write %1: %2").arg(path, AvError(rc)));
    AVDictionary* opts = nullptr;
    av_dict_set_int(&opts, "video_track_timescale", kTimeScale, 0);
    rc = avformat_write_header(oc, &opts);
    av_dict_free(&opts);
    if (rc < 0)
        return Fail(error, QStringLiteral("mp4 header: ") + AvError(rc));

    // Every packet with its time, then written in time order.
    std::vector<TimedPacket> all;
    int order = 0;
    for (int i = 0; i < frames; ++i) {
        const EncodedPacket& p = video[size_t(i) % video.size()];
        all.push_back({int64_t(i) * 1000000 / o.fps, videoStream, order++, p.data, i, 1, AVRational{1, o.fps}, p.key});
    }
    // Audio starts at 0: negative (priming) time stamps would make the muxer
    // shift every track.
    // The last packet ends with the picture (its padding is not played).
    const int64_t audioStart = audio.empty() ? 0 : audio.front().pts;
    const int64_t audioEnd = std::llround(o.durationSec * kAudioRate);
    for (const AudioPacket& p : audio) {
        const int64_t pts = p.pts - audioStart;
        if (pts >= audioEnd)
            break;
        all.push_back({pts * 1000000 / kAudioRate, audioStream, order++, p.data, pts,
                       std::min(p.duration, audioEnd - pts), AVRational{1, kAudioRate}, true});
    }
    for (qsizetype t = 0; t < o.textTracks.size(); ++t) {
        const QList<QByteArray>& packets = o.textTracks[t];
        const int64_t n = packets.size();
        for (int64_t k = 0; k < n; ++k) {
            // Each packet lasts until the next one, so the muxer adds no
            // empty samples for gaps.
            const int64_t pts = k * durationMs / n;
            const int64_t next = (k + 1) * durationMs / n;
            all.push_back({pts * 1000, textStreams[t], order++, packets[qsizetype(k)], pts,
                           std::max<int64_t>(1, next - pts), AVRational{1, 1000}, true});
            if (packets[qsizetype(k)].isEmpty())
                return Fail(error, QStringLiteral("empty text packets are made with emptyTextPackets"));
        }
    }
    std::stable_sort(all.begin(), all.end(), [](const TimedPacket& a, const TimedPacket& b) {
        return a.timeUs != b.timeUs ? a.timeUs < b.timeUs : a.order < b.order;
    });

    PacketPtr pkt(av_packet_alloc());
    for (const TimedPacket& p : all) {
        if ((rc = av_new_packet(pkt.get(), int(p.data.size()))) < 0)
            return Fail(error, AvError(rc));
        if (!p.data.isEmpty())
            memcpy(pkt->data, p.data.constData(), size_t(p.data.size()));
        AVStream* st = oc->streams[p.stream];
        pkt->stream_index = p.stream;
        pkt->pts = av_rescale_q(p.pts, p.timeBase, st->time_base);
        pkt->dts = pkt->pts;
        pkt->duration = av_rescale_q(p.duration, p.timeBase, st->time_base);
        pkt->flags = p.key ? AV_PKT_FLAG_KEY : 0;
        if ((rc = av_interleaved_write_frame(oc, pkt.get())) < 0)
            return Fail(error, QStringLiteral("writing a packet: ") + AvError(rc));
    }
    if ((rc = av_write_trailer(oc)) < 0)
        return Fail(error, QStringLiteral("mp4 trailer: ") + AvError(rc));
    avio_closep(&oc->pb);
    ocGuard.reset();

    // Tidy the tables: drop the muxer's closing empty text samples, empty
    // the samples asked for, put moov in front when asked.
    if (o.textTracks.isEmpty() && o.emptyTextPackets.isEmpty() && !o.faststart)
        return true;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return Fail(error, f.errorString());
    QByteArray file = f.readAll();
    f.close();
    for (qsizetype t = 0; t < textStreams.size(); ++t)
        if (!o.textTracks[t].isEmpty() && !RemoveTrailingEndSample(file, textStreams[t], error))
            return false;
    if (!o.emptyTextPackets.isEmpty()) {
        if (textStreams.isEmpty())
            return Fail(error, QStringLiteral("no text track to empty packets in"));
        if (!ZeroSampleSizes(file, textStreams.first(), o.emptyTextPackets, error))
            return false;
    }
    if (o.faststart && !MoveMoovToFront(file, error))
        return false;
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly) || out.write(file) != file.size() || !out.commit())
        return Fail(error, QStringLiteral("cannot write %1").arg(path));
    return true;
}

bool WriteTestAvi(const QString& path, const AviOptions& o, QString* error)
{
    Telemetry::RouteFfmpegLogToTrace();
    const int frames = std::max(1, int(std::lround(o.durationSec * o.fps)));

    VideoDef front;
    front.size = o.size;
    front.fps = o.fps;
    front.kbps = o.videoKbps;
    front.preset = o.x264Preset;
    front.clockStart = o.clockStart;
    front.channel = o.channel;
    front.seed = o.seed;
    std::vector<EncodedPacket> frontPackets;
    if (!EncodeVideo(front, frames, frontPackets, nullptr, error))
        return false;
    std::vector<EncodedPacket> rearPackets;
    if (o.secondVideo) {
        VideoDef rear = front;
        rear.size = o.secondSize;
        rear.kbps = o.secondVideoKbps;
        rear.channel = 'R';
        rear.seed = o.seed + 3;
        if (!EncodeVideo(rear, frames, rearPackets, nullptr, error))
            return false;
    }

    CAviWriter avi;
    avi.microSecPerFrame = uint32_t(1000000 / o.fps);
    avi.totalFrames = uint32_t(frames);
    avi.width = uint32_t(o.size.width());
    avi.height = uint32_t(o.size.height());
    avi.AddStream(CAviWriter::VideoStream(o.handler, o.size.width(), o.size.height(), o.fps, frames));
    if (o.secondVideo)
        avi.AddStream(CAviWriter::VideoStream(o.handler, o.secondSize.width(), o.secondSize.height(), o.fps, frames));
    constexpr int kPcmRate = 8000;
    const int64_t totalSamples = int64_t(frames) * kPcmRate / o.fps;
    int audioStream = -1;
    if (o.audio) {
        CAviWriter::Stream s = CAviWriter::AudioStreamPcm(kPcmRate, 1);
        s.length = uint32_t(totalSamples);
        s.suggestedBufferSize = uint32_t(2 * kPcmRate / o.fps + 2);
        audioStream = avi.AddStream(s);
    }
    // Text chunks name the stream after the others, declared or not.
    const int textStream = 1 + (o.secondVideo ? 1 : 0) + (o.audio ? 1 : 0);
    if (!o.textPayloads.isEmpty() && !o.textStreamType.isEmpty()) {
        CAviWriter::Stream s = CAviWriter::TextStream();
        s.type = o.textStreamType;
        s.length = uint32_t(o.textPayloads.size());
        avi.AddStream(s);
    }

    const QByteArray frontId = CAviWriter::ChunkId(0, "dc");
    const QByteArray rearId = CAviWriter::ChunkId(1, "dc");
    const QByteArray audioId = audioStream >= 0 ? CAviWriter::ChunkId(audioStream, "wb") : QByteArray();
    const QByteArray textId = CAviWriter::ChunkId(textStream, "tx");
    const int64_t textCount = o.textPayloads.size();
    int64_t nextText = 0;
    for (int i = 0; i < frames; ++i) {
        // Text records due by this picture's time (k * frames / count <= i).
        while (nextText < textCount && nextText * frames / textCount <= i)
            avi.AddChunk(textId, o.textPayloads[qsizetype(nextText++)]);
        if (o.audio) {
            const int64_t s0 = int64_t(i) * kPcmRate / o.fps;
            const int64_t s1 = int64_t(i + 1) * kPcmRate / o.fps;
            QByteArray pcm;
            for (int64_t n = s0; n < s1; ++n)
                AppendLe16(pcm, uint16_t(int16_t(std::lround(BeepSample(n, kPcmRate) * 32767.0))));
            avi.AddChunk(audioId, pcm);
        }
        CAviWriter::Chunk v;
        v.id = frontId;
        v.payload = frontPackets[size_t(i)].data;
        v.keyFrame = frontPackets[size_t(i)].key;
        avi.AddChunk(v);
        if (o.secondVideo) {
            v.id = rearId;
            v.payload = rearPackets[size_t(i)].data;
            v.keyFrame = rearPackets[size_t(i)].key;
            avi.AddChunk(v);
        }
    }
    while (nextText < textCount)
        avi.AddChunk(textId, o.textPayloads[qsizetype(nextText++)]);
    if (!avi.WriteTo(path))
        return Fail(error, QStringLiteral("cannot write %1").arg(path));
    return true;
}
