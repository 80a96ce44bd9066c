#pragma once

#include "skin/SkinSurface.h"
#include "telemetry/TextData.h"

#include <QImage>
#include <QWidget>

#include <vector>

// The acceleration graph panel of the main window (control 1161): the whole
// acceleration series of the playing recording as three lines, X green,
// Y red, Z blue, over a ruled copy of the main window's skin, and a vertical
// orange line at the playing position. The main window draws the series when
// a recording starts, moves the position line as it presents telemetry and
// clears the panel on stop. GUI thread only.
//
// The panel keeps one composed picture (background, rules, curves) and
// rebuilds it only when told to (Redraw(true), DrawGraph, ClearGraph, a size
// change); the position line is drawn over that picture when the panel
// paints, never into it, so each SetPositionLine replaces the line before and
// every Redraw removes it.
//
// Curves: the panel's half height stands for 512 (4 g); sample k of n lies at
// x = k * width / (n - 1), y = height / 2 - value * (height / 2) / 512, both
// truncated toward zero, positive values up; each curve starts at the left
// end of the middle line. A series of one sample is held across the whole
// width (its line runs from x 0 to the right edge at its value); a series
// without samples draws no curve.
//
// Mouse moves, presses and releases are passed on to the parent unchanged
// (in the panel's own coordinates) before the panel's own handling.
class CGPSViewer : public QWidget
{
    Q_OBJECT

public:
    explicit CGPSViewer(QWidget* parent);

    // Copies the part of `parentSkin` - the main window's background picture
    // in the main window's client coordinates - that lies under the panel
    // (its geometry in the parent), then draws the remembered series over it
    // (Redraw(true) when there is none). Call once the panel has its place;
    // again after the main window recomposes its skin.
    void CaptureBackground(const QImage& parentSkin);
    void CaptureBackground(const CSkinSurface& parentSkin) { CaptureBackground(parentSkin.GetImage()); }

    // Rebuilds the picture with the curves of `series`' acceleration list and
    // keeps a copy of the samples (so a later size change redraws them, and
    // the caller's data may go away). Returns true.
    bool DrawGraph(const CTextData& series);
    bool DrawGraph(const std::vector<CGSensorData>& samples);
    // Shows the picture with the position line at x = width * percent / 100
    // (truncated). Returns true.
    bool SetPositionLine(int percent);
    // Forgets the series; background and rules only.
    void ClearGraph();
    // Marks the picture for rebuilding when `rebuild` is set, removes the
    // position line and paints now.
    void Redraw(bool rebuild);

    bool HasSeries() const { return m_hasSeries; }
    // x of the position line, -1 while none is shown.
    int PositionLineX() const { return m_lineX; }
    // The composed picture (background, rules, curves; no position line).
    QImage ComposedImage();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void EnsureComposed();
    void DrawCurves();
    void PassToParent(QMouseEvent* event);
    void PaintNow();

    std::vector<CGSensorData> m_series; // copy of the series last drawn
    bool m_hasSeries = false;
    CSkinSurface m_composed;   // background, rules and curves at client size
    CSkinSurface m_background; // the main window's skin under the panel
    QRect m_clientRect;
    bool m_dirty = true;
    bool m_painted = false;
    int m_lineX = -1;
};
