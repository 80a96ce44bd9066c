#include "ReferenceDemux.h"

#include "FfmpegLog.h"

extern "C" {
#include <libavformat/avformat.h>
}

#include <QFile>

CFullDemuxResult FullDemux(const QString& path)
{
    Telemetry::RouteFfmpegLogToTrace();
    CFullDemuxResult result;
    AVFormatContext* fmt = nullptr;
    const QByteArray url = "file:" + QFile::encodeName(path);
    if (avformat_open_input(&fmt, url.constData(), nullptr, nullptr) < 0)
        return result;
    result.opened = true;
    int text = -1;
    for (unsigned i = 0; i < fmt->nb_streams; ++i) {
        if (fmt->streams[i]->codecpar->codec_type == AVMEDIA_TYPE_SUBTITLE) {
            text = int(i);
            break;
        }
    }
    AVPacket* pkt = av_packet_alloc();
    while (av_read_frame(fmt, pkt) >= 0) {
        ++result.packetCount;
        result.packetBytes += pkt->size;
        if (pkt->stream_index == text)
            result.textPackets.append(QByteArray(reinterpret_cast<const char*>(pkt->data), pkt->size));
        av_packet_unref(pkt);
    }
    av_packet_free(&pkt);
    avformat_close_input(&fmt);
    return result;
}
