#include "evidence/FfmpegSupport.h"

#include "telemetry/FfmpegLog.h"

#include <cmath>

namespace Evidence {

QString AvError(int code)
{
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return QString::fromLocal8Bit(text);
}

CInputFile::~CInputFile()
{
    if (m_fmt)
        avformat_close_input(&m_fmt);
}

bool CInputFile::Open(const QString& path, QString* error)
{
    Telemetry::RouteFfmpegLogToTrace();
    m_path = path;
    const QByteArray name = path.toLocal8Bit();
    int rc = avformat_open_input(&m_fmt, name.constData(), nullptr, nullptr);
    if (rc < 0) {
        m_fmt = nullptr;
        if (error)
            *error = QStringLiteral("cannot open %1 (%2)").arg(path, AvError(rc));
        return false;
    }
    rc = avformat_find_stream_info(m_fmt, nullptr);
    if (rc < 0) {
        if (error)
            *error = QStringLiteral("cannot read %1 (%2)").arg(path, AvError(rc));
        return false;
    }
    m_start = m_fmt->start_time != AV_NOPTS_VALUE ? double(m_fmt->start_time) / AV_TIME_BASE : 0.0;
    return true;
}

int CInputFile::StreamOf(AVMediaType type, int nth) const
{
    if (!m_fmt)
        return -1;
    for (unsigned i = 0; i < m_fmt->nb_streams; ++i) {
        const AVStream* st = m_fmt->streams[i];
        if (st->codecpar->codec_type != type)
            continue;
        if (type == AVMEDIA_TYPE_VIDEO && (st->disposition & AV_DISPOSITION_ATTACHED_PIC))
            continue;
        if (nth-- == 0)
            return int(i);
    }
    return -1;
}

void CInputFile::KeepOnly(std::initializer_list<int> keep)
{
    for (unsigned i = 0; i < m_fmt->nb_streams; ++i) {
        bool kept = false;
        for (int k : keep)
            kept = kept || k == int(i);
        m_fmt->streams[i]->discard = kept ? AVDISCARD_DEFAULT : AVDISCARD_ALL;
    }
}

double CInputFile::Seconds(int64_t ts, int stream) const
{
    return double(ts) * av_q2d(m_fmt->streams[stream]->time_base) - m_start;
}

int64_t CInputFile::Timestamp(double seconds, int stream) const
{
    return int64_t(std::llround((seconds + m_start) / av_q2d(m_fmt->streams[stream]->time_base)));
}

double CInputFile::DurationSeconds() const
{
    if (!m_fmt || m_fmt->duration == AV_NOPTS_VALUE || m_fmt->duration <= 0)
        return 0.0;
    return double(m_fmt->duration) / AV_TIME_BASE;
}

bool CInputFile::SeekBefore(double seconds, int stream)
{
    // A little past the time, so that a key frame exactly there is found
    // despite rounding; the caller drops what comes before the span anyway.
    const int64_t ts = Timestamp(seconds + 0.0005, stream);
    if (av_seek_frame(m_fmt, stream, ts, AVSEEK_FLAG_BACKWARD) >= 0)
        return true;
    return av_seek_frame(m_fmt, stream, m_fmt->streams[stream]->start_time != AV_NOPTS_VALUE
                                            ? m_fmt->streams[stream]->start_time : 0,
                         AVSEEK_FLAG_BACKWARD) >= 0;
}

} // namespace Evidence
