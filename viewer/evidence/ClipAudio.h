#pragma once

#include "evidence/FfmpegSupport.h"

#include <vector>

namespace Evidence {

// The sound of a clip: AAC copied packet for packet, anything else decoded
// and encoded to AAC (at most two channels, sample-exact at the span's
// start). Reads its own handle of the source file, so the caller can pull it
// along with the pictures: Pump() up to the time written so far, Finish() at
// the end. Times are recording time; the clip's time 0 is `start`.
class CClipAudio
{
public:
    // False (and nothing added) when the file has no sound stream; `error`
    // says why when the stream exists but cannot be handled.
    bool Open(const QString& path, double start, double end, QString* error);
    // Adds the clip's sound stream to `out`; call before its header.
    bool AddStream(AVFormatContext* out, QString* error);
    // Writes the sound up to recording time `until`.
    bool Pump(double until, QString* error);
    bool Finish(QString* error);
    bool Copying() const { return m_copy; }

private:
    bool Handle(AVPacket* pkt, QString* error);
    bool Decoded(AVFrame* frame, QString* error);
    bool EncodeFifo(bool flush, QString* error);
    bool Write(AVPacket* pkt, QString* error);

    CInputFile m_in;
    int m_stream = -1;
    double m_start = 0.0, m_end = 0.0;
    bool m_copy = false;
    bool m_eof = false;
    bool m_done = false;
    AVFormatContext* m_out = nullptr;
    AVStream* m_ost = nullptr;
    CodecContextPtr m_dec, m_enc;
    PacketPtr m_pending; // read, beyond the last Pump()
    bool m_hasPending = false;
    std::vector<std::vector<float>> m_fifo; // per channel
    int64_t m_samplesOut = 0;
    int m_channels = 0;
};

} // namespace Evidence
