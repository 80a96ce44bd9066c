#pragma once

// The moving test picture of the recording writers, drawn into YUV planes.
// Readers of the picture (tests/support) find the frame-number code by the
// geometry below.

#include <QDateTime>
#include <QSize>

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

// Geometry of the frame-number code, as fractions of the picture, so that a
// scaled picture reads the same: a 4 x 4 grid of cells of W/28 x H/16 in the
// bottom-right corner, framed by a grey guard half a cell wide. Cells are
// black (0) or white (1), most significant bit first, row by row.
namespace TestPictureCode {
constexpr double kCellW = 1.0 / 28.0;
constexpr double kCellH = 1.0 / 16.0;
constexpr double kGridLeft = 1.0 - 4.5 * kCellW;
constexpr double kGridTop = 1.0 - 4.5 * kCellH;
} // namespace TestPictureCode
