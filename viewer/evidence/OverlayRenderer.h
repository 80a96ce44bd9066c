#pragma once

#include "evidence/TelemetryMoment.h"

#include <QImage>
#include <QRect>
#include <QString>

#include <cstdint>
#include <vector>

// What the evidence overlay shows for one second of a recording.
struct COverlayValues {
    QString time;       // "2014-05-21 13:45:40 UTC"; empty: "--"
    QString position;   // "37.55206, 126.97500"; empty: "no GPS fix"
    int speed = -1;     // in the unit below; -1: "---"
    bool mph = false;
    bool hasG = false;
    int gx = 0, gy = 0, gz = 0; // raw, 1/128 g
    bool hasSignals = false;
    bool brake = false, left = false, right = false; // on only for the value 1

    static COverlayValues From(const CTelemetryMoment& moment, bool mph);
    bool operator==(const COverlayValues& o) const;
};

// Where the parts of the band lie, in band coordinates.
struct COverlayLayout {
    QSize size;
    QRect timeRow, positionRow; // left block, two rows
    QRect speedDigits, speedUnit;
    QRect gRow, gLabelRow;
    QRect leftSignal, brakeSignal, rightSignal;
    int smallPixels = 0, bigPixels = 0;
};

// Draws the evidence overlay: a translucent band across the bottom of the
// picture with the date and time of the GPS fix (UTC, as recorded), the
// position in decimal degrees, the speed, the three G values and the brake
// and turn signals - the signals as the viewer's own pictures from the image
// library, or as drawn shapes when the library is missing. Everything is
// drawn at the output's own resolution.
//
// Thread: any one thread at a time (the exporter's worker). Text needs a
// QGuiApplication (any platform plugin, "offscreen" will do).
class COverlayRenderer
{
public:
    COverlayRenderer();

    // Loads the six signal pictures from the image library at `rccPath`
    // (registered once per process under a root of its own), or from the
    // library the viewer registered already (":/PNG/"). False, and drawn
    // shapes from then on, when a picture is missing.
    bool LoadImageLibrary(const QString& rccPath);
    bool UsesLibraryPictures() const { return m_pictures; }
    // NvImageDll.rcc beside the running executable, else in the viewer's
    // installed program folder next to its bin/ (../lib/kestrav/).
    static QString DefaultImageLibraryPath();

    // The band's height for a picture `frameHeight` pixels high (even).
    static int BandHeight(int frameHeight);
    static COverlayLayout Layout(int frameWidth, int frameHeight);
    // The band, frameWidth x BandHeight(frameHeight), premultiplied ARGB.
    QImage RenderBand(int frameWidth, int frameHeight, const COverlayValues& values) const;

private:
    void DrawSignal(class QPainter& p, const QRect& box, int which, bool on) const;
    bool m_pictures = false;
    QImage m_signal[3][2]; // left, brake, right x off, on
};

// The band converted once to the picture's planes, then blended into every
// frame: premultiplied luma and chroma with their remaining weights.
// BT.709 coefficients for pictures 720 lines high or more, BT.601 below
// (what players assume for untagged video), limited range.
class CYuvOverlay
{
public:
    void Build(const QImage& band, bool bt709);
    // Blends into 8-bit 4:2:0 planes with the band's top row at `top` (even).
    void Blend(uint8_t* y, int yStride, uint8_t* u, int uStride, uint8_t* v, int vStride, int top) const;
    int Width() const { return m_w; }
    int Height() const { return m_h; }

private:
    int m_w = 0, m_h = 0;
    std::vector<uint16_t> m_y, m_yKeep, m_u, m_v, m_cKeep;
};
