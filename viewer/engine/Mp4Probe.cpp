#include "Mp4Probe.h"

extern "C" {
#include <libavformat/avformat.h>
}

#include <cstring>

bool IsMp4Recording(const QString& path)
{
    if (path.right(4).compare(QLatin1String(".avi"), Qt::CaseInsensitive) == 0)
        return false;
    AVFormatContext* context = nullptr;
    if (avformat_open_input(&context, path.toLocal8Bit().constData(), nullptr, nullptr) < 0)
        return false;
    bool mp4 = context->iformat && context->iformat->name && std::strncmp(context->iformat->name, "mov", 3) == 0;
    if (mp4) {
        avformat_find_stream_info(context, nullptr);
        for (unsigned i = 0; i < context->nb_streams && mp4; ++i) {
            const AVCodecParameters* par = context->streams[i]->codecpar;
            if (!par)
                mp4 = false;
            else if (par->codec_type == AVMEDIA_TYPE_VIDEO && par->codec_id != AV_CODEC_ID_H264)
                mp4 = false;
        }
    }
    avformat_close_input(&context);
    return mp4;
}
