#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// A plain full demultiplexing of a recording with FFmpeg's own file access:
// every packet of every stream is read. Reference for what the telemetry
// reader must return, and the baseline of the extraction benchmark.
struct CFullDemuxResult {
    bool opened = false;
    // Whole packets of the first subtitle stream, in read order (one the file
    // ends inside, which FFmpeg marks corrupt, is left out as the telemetry
    // reader leaves it out).
    QList<QByteArray> textPackets;
    QList<QList<QByteArray>> subtitlePackets; // packets of every subtitle stream, in stream order
    QList<QByteArray> codecNames;  // of every stream, in stream order (FFmpeg's names)
    qint64 packetCount = 0;        // packets of all streams
    qint64 packetBytes = 0;        // their payload bytes
};

CFullDemuxResult FullDemux(const QString& path);
