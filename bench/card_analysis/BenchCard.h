#pragma once

// The benchmark's memory card: AVI recordings laid out as the camera writes
// them (two video streams, PCM audio, a text stream of twelve records a
// second: ten G-sensor samples, one RMC fix, one vehicle-signal record),
// written sparsely: only the bytes that are not media payload (list and
// chunk headers, text chunks, the index) are stored, the pictures and the
// sound are holes. So 10,000 recordings of realistic layout fit on a small
// disk and are written in seconds.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

struct CSparseFile {
    qint64 size = 0;
    // Stored pieces (offset, bytes) in file order; everything else is zero.
    QList<QPair<qint64, QByteArray>> pieces;
};

// Recording number `n` of `seconds` seconds.
CSparseFile BenchRecording(int n, int seconds);

// The same recording built by the test writer (all bytes, payloads as
// zeros): the layout above must equal it byte for byte.
QByteArray BenchRecordingByWriter(int n, int seconds);
QByteArray Materialize(const CSparseFile& file);

bool WriteSparseFile(const QString& path, const CSparseFile& file);

struct CBenchCard {
    QString root;       // ends in '/'
    QStringList files;  // every recording, in the order written
    qint64 logicalBytes = 0;
    qint64 storedBytes = 0; // allocated on disk
    bool reused = false;
};

// Writes (or reuses, when a card of the same shape is there) `count`
// recordings lasting from `minSeconds` to `maxSeconds` seconds, spread over
// the five category folders, and "SETTING/setup.cfg" for `model`.
bool WriteBenchCard(const QString& root, int count, int minSeconds, int maxSeconds, const QByteArray& model,
                    CBenchCard& card, QString* error);
