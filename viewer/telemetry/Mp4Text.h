#pragma once

#include "base/ByteReader.h"
#include "telemetry/TextData.h"

#include <QByteArray>
#include <QList>
#include <QString>

// The camera's MP4 recordings carry their telemetry as a subtitle (timed
// text) track, one packet per text record: a big-endian 16-bit length, then
// the record's 8-bit text, possibly followed by a zero byte.
//
// Every operation opens its own FFmpeg input over an IByteReader (a custom
// I/O context), so calls share no state and may run on any thread. The
// reader is told its reads are random (WillReadRandomly) before the first
// one: a file then fetches the pages asked for and announced, with no
// read-ahead around them. Each open
// is bounded: reads stop after a byte budget proportional to the file's size
// and after a deadline, so a damaged file cannot make a call hang. FFmpeg's
// log goes to the trace log only.
namespace Telemetry {

// Bounds of one FFmpeg open: reading stops (as at the end of the file) once
// either is exceeded.
struct CMp4ReadLimits {
    // Bytes; -1: 16 MiB plus four times the file's size.
    int64_t maxBytes = -1;
    qint64 maxMilliseconds = 30000;
};

// Smallest and largest valid MP4 text packet, in bytes.
constexpr int kMinMp4TextPacket = 3;
constexpr int kMaxMp4TextPacket = 120;

// True when the file is an MP4 recording the viewer plays: the name does not
// end in ".avi" (any case; such a file is not opened), FFmpeg opens it with a
// demultiplexer of the "mov" family, and every video stream is H.264 (audio
// and other streams do not matter). False when FFmpeg cannot open it.
bool IsMp4Recording(const QString& path);
// The same on already opened bytes; `path` only supplies the name.
bool IsMp4Recording(IByteReader& file, const QString& path, const CMp4ReadLimits& limits = {});

// Appends to `packets`, in read order, a copy of every packet of the file's
// first subtitle stream (in stream order) and returns how many it appended:
// 0 when FFmpeg cannot open the file, there is no subtitle stream, or the
// read hit its limits (then nothing is appended). Only that stream's data is
// read: every other stream is discarded before reading.
int ReadTextPackets(const QString& path, QList<QByteArray>& packets);
int ReadTextPackets(IByteReader& file, QList<QByteArray>& packets, const CMp4ReadLimits& limits = {});

// Decodes collected packets in order: a packet smaller than 3 or larger than
// 120 bytes is traced ("ExtractText: [%d] invalid chunk size = %d") and
// skipped; otherwise its text from byte 2 up to the first zero byte (or the
// end) goes to CTextData::AddTextRecord.
void DecodeTextPackets(const QList<QByteArray>& packets, CTextData& textData);

// What the MP4 branch of ExtractText did.
enum class EMp4Extract {
    NotMp4,     // not an MP4 recording (IsMp4Recording would say false): nothing touched
    Complete,   // the whole text track was read and decoded into textData
    Incomplete, // the read hit its byte budget or deadline: nothing touched, so
                // the recording still counts as not analysed and is read again
                // by the next analysis or play (traced "ExtractText: MP4 read
                // incomplete, telemetry left empty [path]")
};

// The MP4 branch of ExtractText: when the file is an MP4 recording its text
// packets are read and decoded into `textData`. The caller walks the file as
// AVI only for NotMp4. One FFmpeg open serves both the test and the reading.
EMp4Extract ExtractMp4Text(const QString& path, CTextData& textData);
EMp4Extract ExtractMp4Text(IByteReader& file, const QString& path, CTextData& textData,
                           const CMp4ReadLimits& limits = {});

} // namespace Telemetry
