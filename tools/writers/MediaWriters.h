#pragma once

// Writers of real, playable recordings for tests, benchmarks and the demo
// memory card: H.264 video (libx264) with a moving test picture, optional
// audio, and the camera's text track. Both writers are deterministic: the same
// options give the same bytes.
//
// Test picture (see TestPicture.h): scrolling colour stripes, a bouncing box,
// a seven-segment clock "HH:MM:SS" (clockStart + playing time), the channel
// letter, and the frame number as a 4 x 4 grid of black/white cells in the
// bottom-right corner, which DecodeFrameNumber() reads back from a decoded
// picture.

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QSize>
#include <QString>

enum class TestVideoCodec {
    H264,      // libx264, the camera's codec
    Mpeg4Part2 // FFmpeg's native MPEG-4 Part 2 encoder (a video the viewer refuses)
};

struct Mp4Options {
    double durationSec = 4.0;
    int fps = 30;
    QSize size{320, 180};
    bool video = true;
    TestVideoCodec codec = TestVideoCodec::H264;
    // Average video bit rate; the picture is simple, so small files stay small.
    int videoKbps = 250;
    QByteArray x264Preset = "ultrafast";
    // AAC, mono, 16 kHz: a short beep at the start of every second.
    bool audio = false;
    // Text tracks (mov_text, "tx3g"), each a list of packets stored exactly as
    // given, in order, spread evenly over the duration. Use Mp4TextPacket() for
    // the camera's layout; raw bytes make odd packets.
    QList<QList<QByteArray>> textTracks;
    // Text tracks come before the video and audio streams in the file.
    bool textTracksFirst = false;
    // Packets of the first text track (by number) whose stored size is forced
    // to 0 after writing (the muxer itself drops empty packets).
    QList<int> emptyTextPackets;
    // moov in front of mdat (written in a second pass).
    bool faststart = false;

    // Picture content.
    QDateTime clockStart = QDateTime(QDate(2014, 5, 21), QTime(13, 45, 30), Qt::UTC);
    char channel = 'F';
    // Amplitude (0-255) of per-pixel noise over the background; raises the bit
    // rate the encoder needs (benchmarks).
    int noise = 0;
    // When > 0, only this many seconds of video are encoded and their packets
    // repeated to fill the duration (fast large files; frame numbers repeat).
    int uniqueSeconds = 0;
    // Seeds the noise and the picture's pattern colours.
    quint32 seed = 1;
};

struct AviOptions {
    double durationSec = 4.0;
    int fps = 30;
    QSize size{320, 180};
    int videoKbps = 250;
    QByteArray x264Preset = "ultrafast";
    // Handler code written in the video stream headers and bitmap headers.
    QByteArray handler = "H264";
    // A second (rear) H.264 video stream, stream 1.
    bool secondVideo = false;
    QSize secondSize{320, 180};
    int secondVideoKbps = 120;
    // 16-bit PCM mono audio at 8 kHz (a beep at the start of every second).
    bool audio = false;
    // Text-chunk payloads, stored exactly as given ("0Ntx"), in index order,
    // spread evenly over the duration. Use CAviWriter::TextPayload/SplitPayload.
    QList<QByteArray> textPayloads;
    // Stream type of a header for the text stream; empty: no header (the
    // chunks still carry the next stream number). Players like that best:
    // GStreamer's avidemux hands "txts" chunks to its GAB2 subtitle parser,
    // which fails on them, and trips over a "dats" stream it keeps no pad for.
    QByteArray textStreamType;

    QDateTime clockStart = QDateTime(QDate(2014, 5, 21), QTime(13, 45, 30), Qt::UTC);
    char channel = 'F';       // letter on the first picture ('R' on the second)
    quint32 seed = 1;
};

// Writes an MP4 recording. Returns false (and a reason in `error`) when the
// encoder or the file fails. Stream order: video, audio, text tracks (or the
// text tracks first when asked).
bool WriteTestMp4(const QString& path, const Mp4Options& options, QString* error = nullptr);

// Writes an AVI recording as the camera lays it out (header list, media list
// with interleaved chunks, idx1), built on CAviWriter. Stream order: front
// video (00dc), rear video (01dc) when asked, audio ("wb"), text ("tx").
bool WriteTestAvi(const QString& path, const AviOptions& options, QString* error = nullptr);

// A text packet as the camera stores it in MP4: the text's length as a
// big-endian 16-bit number, the text, and a zero byte when asked.
QByteArray Mp4TextPacket(const QByteArray& record, bool trailingZero = false);
