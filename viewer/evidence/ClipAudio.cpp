#include "evidence/ClipAudio.h"

#include "evidence/EvidenceIds.h"

extern "C" {
#include <libavutil/channel_layout.h>
}

#include <algorithm>
#include <cmath>

namespace Evidence {

namespace {
bool Fail(QString* error, const QString& why)
{
    if (error)
        *error = why;
    return false;
}

// One sample of channel `ch` at index `i`, as a float in -1..1.
float SampleAt(const AVFrame* f, int ch, int i)
{
    const auto fmt = AVSampleFormat(f->format);
    const bool planar = av_sample_fmt_is_planar(fmt);
    const int channels = f->ch_layout.nb_channels;
    const uint8_t* base = planar ? f->extended_data[ch] : f->extended_data[0];
    const int at = planar ? i : i * channels + ch;
    switch (av_get_packed_sample_fmt(fmt)) {
    case AV_SAMPLE_FMT_U8:
        return (float(base[at]) - 128.0f) / 128.0f;
    case AV_SAMPLE_FMT_S16:
        return float(reinterpret_cast<const int16_t*>(base)[at]) / 32768.0f;
    case AV_SAMPLE_FMT_S32:
        return float(double(reinterpret_cast<const int32_t*>(base)[at]) / 2147483648.0);
    case AV_SAMPLE_FMT_FLT:
        return reinterpret_cast<const float*>(base)[at];
    case AV_SAMPLE_FMT_DBL:
        return float(reinterpret_cast<const double*>(base)[at]);
    default:
        return 0.0f;
    }
}
} // namespace

bool CClipAudio::Open(const QString& path, double start, double end, QString* error)
{
    m_start = start;
    m_end = end;
    if (!m_in.Open(path, error))
        return false;
    m_stream = m_in.StreamOf(AVMEDIA_TYPE_AUDIO);
    if (m_stream < 0)
        return false;
    m_in.KeepOnly({m_stream});
    const AVCodecParameters* par = m_in.Ctx()->streams[m_stream]->codecpar;
    m_copy = par->codec_id == AV_CODEC_ID_AAC && par->extradata_size > 0;
    if (!m_copy) {
        const AVCodec* codec = avcodec_find_decoder(par->codec_id);
        if (!codec)
            return Fail(error, QStringLiteral("no decoder for the sound"));
        m_dec.reset(avcodec_alloc_context3(codec));
        avcodec_parameters_to_context(m_dec.get(), par);
        m_dec->pkt_timebase = m_in.Ctx()->streams[m_stream]->time_base;
        const int rc = avcodec_open2(m_dec.get(), codec, nullptr);
        if (rc < 0)
            return Fail(error, QStringLiteral("sound decoder: ") + AvError(rc));
        if (m_dec->sample_rate <= 0 || m_dec->ch_layout.nb_channels <= 0)
            return Fail(error, QStringLiteral("sound without rate or channels"));
    }
    // Back a little: the packets before the span are dropped, and a decoder
    // starts clean a few frames ahead.
    m_in.SeekBefore(std::max(0.0, start - 0.5), m_stream);
    m_pending = MakePacket();
    return true;
}

bool CClipAudio::AddStream(AVFormatContext* out, QString* error)
{
    m_out = out;
    m_ost = avformat_new_stream(out, nullptr);
    if (!m_ost)
        return Fail(error, QStringLiteral("cannot add the sound stream"));
    const AVStream* ist = m_in.Ctx()->streams[m_stream];
    if (m_copy) {
        avcodec_parameters_copy(m_ost->codecpar, ist->codecpar);
        m_ost->codecpar->codec_tag = 0;
        m_ost->time_base = ist->time_base;
        return true;
    }
    const AVCodec* aac = avcodec_find_encoder(AV_CODEC_ID_AAC);
    if (!aac)
        return Fail(error, QStringLiteral("no AAC encoder"));
    m_enc.reset(avcodec_alloc_context3(aac));
    m_channels = std::min(2, m_dec->ch_layout.nb_channels);
    av_channel_layout_default(&m_enc->ch_layout, m_channels);
    m_enc->sample_rate = m_dec->sample_rate;
    m_enc->sample_fmt = AV_SAMPLE_FMT_FLTP;
    m_enc->bit_rate = int64_t(EvidenceIds::kAacBitsPerChannel) * m_channels;
    m_enc->time_base = AVRational{1, m_enc->sample_rate};
    if (out->oformat->flags & AVFMT_GLOBALHEADER)
        m_enc->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    const int rc = avcodec_open2(m_enc.get(), aac, nullptr);
    if (rc < 0)
        return Fail(error, QStringLiteral("AAC encoder: ") + AvError(rc));
    avcodec_parameters_from_context(m_ost->codecpar, m_enc.get());
    m_ost->time_base = m_enc->time_base;
    m_fifo.assign(size_t(m_channels), {});
    return true;
}

bool CClipAudio::Write(AVPacket* pkt, QString* error)
{
    pkt->stream_index = m_ost->index;
    const int rc = av_interleaved_write_frame(m_out, pkt);
    if (rc < 0)
        return Fail(error, QStringLiteral("cannot write the clip (%1)").arg(AvError(rc)));
    return true;
}

bool CClipAudio::Pump(double until, QString* error)
{
    while (!m_done) {
        if (!m_hasPending) {
            if (m_eof)
                break;
            const int rc = av_read_frame(m_in.Ctx(), m_pending.get());
            if (rc < 0) {
                m_eof = true;
                break;
            }
            if (m_pending->stream_index != m_stream) {
                av_packet_unref(m_pending.get());
                continue;
            }
            m_hasPending = true;
        }
        const int64_t ts = m_pending->pts != AV_NOPTS_VALUE ? m_pending->pts : m_pending->dts;
        const double t = ts != AV_NOPTS_VALUE ? m_in.Seconds(ts, m_stream) : m_start;
        if (t >= until && t < m_end)
            return true;
        if (t >= m_end) {
            m_done = true;
            av_packet_unref(m_pending.get());
            m_hasPending = false;
            break;
        }
        m_hasPending = false;
        const bool ok = Handle(m_pending.get(), error);
        av_packet_unref(m_pending.get());
        if (!ok)
            return false;
    }
    return true;
}

bool CClipAudio::Handle(AVPacket* pkt, QString* error)
{
    const AVStream* ist = m_in.Ctx()->streams[m_stream];
    if (m_copy) {
        const int64_t ts = pkt->pts != AV_NOPTS_VALUE ? pkt->pts : pkt->dts;
        if (ts == AV_NOPTS_VALUE || m_in.Seconds(ts, m_stream) < m_start - 1e-6)
            return true; // before the span
        const int64_t offset = m_in.Timestamp(m_start, m_stream);
        if (pkt->pts != AV_NOPTS_VALUE)
            pkt->pts -= offset;
        if (pkt->dts != AV_NOPTS_VALUE)
            pkt->dts -= offset;
        av_packet_rescale_ts(pkt, ist->time_base, m_ost->time_base);
        pkt->pos = -1;
        return Write(pkt, error);
    }
    int rc = avcodec_send_packet(m_dec.get(), pkt);
    if (rc < 0 && rc != AVERROR(EAGAIN))
        return true; // a damaged packet: its sound is lost, the clip goes on
    FramePtr frame = MakeFrame();
    while ((rc = avcodec_receive_frame(m_dec.get(), frame.get())) >= 0) {
        const bool ok = Decoded(frame.get(), error);
        av_frame_unref(frame.get());
        if (!ok)
            return false;
    }
    return true;
}

bool CClipAudio::Decoded(AVFrame* f, QString* error)
{
    const AVStream* ist = m_in.Ctx()->streams[m_stream];
    const int64_t ts = f->best_effort_timestamp;
    const double t = ts != AV_NOPTS_VALUE ? m_in.Seconds(ts, m_stream) : m_start;
    const double rate = f->sample_rate > 0 ? f->sample_rate : m_dec->sample_rate;
    (void)ist;
    // Samples of this frame inside [start, end).
    int first = 0;
    if (t < m_start)
        first = int(std::min<double>(f->nb_samples, std::llround((m_start - t) * rate)));
    int last = f->nb_samples;
    if (t + f->nb_samples / rate > m_end)
        last = int(std::max<double>(first, std::llround((m_end - t) * rate)));
    const int channels = f->ch_layout.nb_channels;
    for (int ch = 0; ch < m_channels; ++ch) {
        const int src = std::min(ch, channels - 1);
        for (int i = first; i < last; ++i)
            m_fifo[size_t(ch)].push_back(SampleAt(f, src, i));
    }
    return EncodeFifo(false, error);
}

bool CClipAudio::EncodeFifo(bool flush, QString* error)
{
    const int frameSize = m_enc->frame_size > 0 ? m_enc->frame_size : 1024;
    PacketPtr pkt = MakePacket();
    auto drain = [&]() -> bool {
        for (;;) {
            const int r = avcodec_receive_packet(m_enc.get(), pkt.get());
            if (r == AVERROR(EAGAIN) || r == AVERROR_EOF)
                return true;
            if (r < 0)
                return Fail(error, QStringLiteral("AAC encoder: ") + AvError(r));
            av_packet_rescale_ts(pkt.get(), m_enc->time_base, m_ost->time_base);
            const bool ok = Write(pkt.get(), error);
            av_packet_unref(pkt.get());
            if (!ok)
                return false;
        }
    };
    while (!m_fifo.empty() && (int(m_fifo[0].size()) >= frameSize || (flush && !m_fifo[0].empty()))) {
        const int n = std::min(frameSize, int(m_fifo[0].size()));
        FramePtr frame = MakeFrame();
        frame->format = AV_SAMPLE_FMT_FLTP;
        frame->sample_rate = m_enc->sample_rate;
        av_channel_layout_copy(&frame->ch_layout, &m_enc->ch_layout);
        frame->nb_samples = n;
        if (av_frame_get_buffer(frame.get(), 0) < 0)
            return Fail(error, QStringLiteral("out of memory"));
        for (int ch = 0; ch < m_channels; ++ch) {
            auto& q = m_fifo[size_t(ch)];
            std::copy(q.begin(), q.begin() + n, reinterpret_cast<float*>(frame->extended_data[ch]));
            q.erase(q.begin(), q.begin() + n);
        }
        frame->pts = m_samplesOut;
        m_samplesOut += n;
        const int rc = avcodec_send_frame(m_enc.get(), frame.get());
        if (rc < 0)
            return Fail(error, QStringLiteral("AAC encoder: ") + AvError(rc));
        if (!drain())
            return false;
    }
    if (flush) {
        avcodec_send_frame(m_enc.get(), nullptr);
        return drain();
    }
    return true;
}

bool CClipAudio::Finish(QString* error)
{
    if (!Pump(m_end, error))
        return false;
    if (m_copy)
        return true;
    // What the decoder still holds.
    avcodec_send_packet(m_dec.get(), nullptr);
    FramePtr frame = MakeFrame();
    while (avcodec_receive_frame(m_dec.get(), frame.get()) >= 0) {
        const bool ok = Decoded(frame.get(), error);
        av_frame_unref(frame.get());
        if (!ok)
            return false;
    }
    return EncodeFifo(true, error);
}

} // namespace Evidence
