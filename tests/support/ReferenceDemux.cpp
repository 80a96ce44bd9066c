#include "support/ReferenceDemux.h"

#include "telemetry/FfmpegLog.h"

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
    QList<int> subtitleSlot(int(fmt->nb_streams), -1);
    for (unsigned i = 0; i < fmt->nb_streams; ++i) {
        result.codecNames << QByteArray(avcodec_get_name(fmt->streams[i]->codecpar->codec_id));
        if (fmt->streams[i]->codecpar->codec_type == AVMEDIA_TYPE_SUBTITLE) {
            if (text < 0)
                text = int(i);
            subtitleSlot[int(i)] = int(result.subtitlePackets.size());
            result.subtitlePackets.append(QList<QByteArray>());
        }
    }
    AVPacket* pkt = av_packet_alloc();
    while (av_read_frame(fmt, pkt) >= 0) {
        ++result.packetCount;
        result.packetBytes += pkt->size;
        if (pkt->stream_index >= 0 && pkt->stream_index < int(subtitleSlot.size()) && subtitleSlot[pkt->stream_index] >= 0) {
            const QByteArray data(reinterpret_cast<const char*>(pkt->data), pkt->size);
            if (pkt->stream_index == text && !(pkt->flags & AV_PKT_FLAG_CORRUPT))
                result.textPackets.append(data);
            result.subtitlePackets[subtitleSlot[pkt->stream_index]].append(data);
        }
        av_packet_unref(pkt);
    }
    av_packet_free(&pkt);
    avformat_close_input(&fmt);
    return result;
}
