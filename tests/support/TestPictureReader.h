#pragma once

// The writers' test picture as images (Qt Gui), and its frame-number reader.

#include "writers/TestPicture.h"

#include <QImage>
#include <QList>
#include <QString>

// The test picture as an RGB32 image (through the YUV drawing).
QImage RenderTestPicture(const TestPictureParams& params);

// Reads the frame number from the corner code of a test picture, as decoded
// (any size, the whole picture without borders). -1 when the picture holds no
// readable code (cells not clearly black or white, or the grey guard missing).
int DecodeFrameNumber(const QImage& picture);

// Decodes up to `maxFrames` pictures (all when < 0) of the `videoIndex`-th
// video stream (0 = first) of a recording with FFmpeg, in presentation order.
// For tests of the writers; an empty list when the file cannot be decoded.
QList<QImage> DecodeVideoFrames(const QString& path, int videoIndex = 0, int maxFrames = -1);
