#pragma once

// The moving test picture of the recording writers, and its reader.

#include <QDateTime>
#include <QImage>
#include <QList>
#include <QSize>
#include <QString>

#include <cstdint>

struct TestPictureParams {
    QSize size{320, 180};   // even width and height
    int frameNumber = 0;    // written into the corner code (modulo 65536)
    double seconds = 0.0;   // playing time: moves the pattern, drives the clock
    QDateTime clockStart = QDateTime(QDate(2014, 5, 21), QTime(13, 45, 30), Qt::UTC);
    char channel = 'F';     // shown after the clock ('F', 'R' or ' ')
    int noise = 0;          // 0-255, per-pixel noise over the background
    quint32 seed = 1;       // pattern colours and noise
};

// Draws the picture into 8-bit YUV 4:2:0 planes (BT.601, limited range).
void DrawTestPicture(const TestPictureParams& params, uint8_t* y, int yStride, uint8_t* u, int uStride,
                     uint8_t* v, int vStride);

// The same picture as an RGB32 image (through the YUV drawing).
QImage RenderTestPicture(const TestPictureParams& params);

// Reads the frame number from the corner code of a test picture, as decoded
// (any size, the whole picture without borders). -1 when the picture holds no
// readable code (cells not clearly black or white, or the grey guard missing).
int DecodeFrameNumber(const QImage& picture);

// Decodes up to `maxFrames` pictures (all when < 0) of the `videoIndex`-th
// video stream (0 = first) of a recording with FFmpeg, in presentation order.
// For tests of the writers; an empty list when the file cannot be decoded.
QList<QImage> DecodeVideoFrames(const QString& path, int videoIndex = 0, int maxFrames = -1);
