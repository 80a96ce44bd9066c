#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <cstdint>

// Lays out an AVI file as the dash camera writes it:
//   RIFF 'AVI ' { LIST 'hdrl' { avih, LIST 'strl' { strh, strf }... }
//                 LIST 'movi' { chunks... } idx1 }
// Chunk ids follow the camera: "00dc"/"01dc" video, "0Nwb" audio, "0Ntx" text.
// idx1 offsets are relative to the 'movi' list type, as the camera writes them.
class CAviWriter
{
public:
    struct Stream {
        QByteArray type;    // "vids", "auds", "txts"
        QByteArray handler; // e.g. "H264" (4 bytes; padded with zeros)
        QByteArray format;  // strf body (BITMAPINFOHEADER, WAVEFORMATEX, ...)
        uint32_t scale = 1;
        uint32_t rate = 30;
        uint32_t length = 0;
        uint32_t sampleSize = 0;
        uint32_t suggestedBufferSize = 0;
        int16_t width = 0;
        int16_t height = 0;
    };
    struct Chunk {
        QByteArray id;       // four characters
        QByteArray payload;
        bool keyFrame = true;
        bool inIndex = true; // false: written to the media list but not indexed
        // When set, the chunk header claims this size instead of the payload's.
        int64_t declaredSize = -1;
        // When set, the index entry names this offset instead of the real one.
        int64_t indexOffsetOverride = -1;
    };

    // Frame rate, picture size and frame count for the main header.
    uint32_t microSecPerFrame = 33333;
    uint32_t totalFrames = 0;
    uint32_t width = 0;
    uint32_t height = 0;
    // Lays a "JUNK" chunk between the header list and the media list.
    bool junkBetweenLists = false;
    // Leaves the idx1 index out.
    bool writeIndex = true;
    // When not empty, the index lists the chunks in this order (chunk numbers).
    QList<int> indexOrder;

    int AddStream(const Stream& stream); // returns the stream number
    void AddChunk(const Chunk& chunk);
    void AddChunk(const QByteArray& id, const QByteArray& payload);

    // A video stream header of the given handler (e.g. "H264", "h264", "MJPG").
    static Stream VideoStream(const QByteArray& handler, int width, int height, int fps, int frames);
    static Stream AudioStreamPcm(int sampleRate, int channels);
    static Stream TextStream();

    // Four-character chunk id for stream `n` with the two-letter suffix ("dc", "wb", "tx").
    static QByteArray ChunkId(int stream, const char* suffix);

    // Text payloads as the camera writes them.
    static QByteArray TextPayload(const QByteArray& record, int padTo = 0);
    // A 112-byte split record: RMC sentence at 0, G-sensor "x,y,z" at 92.
    static QByteArray SplitPayload(const QByteArray& rmc, const QByteArray& gsensor);

    QByteArray Build() const;
    bool WriteTo(const QString& path) const;

private:
    QList<Stream> m_streams;
    QList<Chunk> m_chunks;
};

// Little-endian appenders shared by the writers.
void AppendLe16(QByteArray& out, uint16_t v);
void AppendLe32(QByteArray& out, uint32_t v);
void PutLe32(QByteArray& out, qsizetype at, uint32_t v);
