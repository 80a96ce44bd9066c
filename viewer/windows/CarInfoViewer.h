#pragma once

#include "skin/SkinSurface.h"

#include <QImage>
#include <QWidget>

// The vehicle signal panel of the main window (control 1166): left turn
// signal, right turn signal and brake, each as an "on" or "off" picture over
// a copy of the main window's skin, with two separator lines after the turn
// signals. The main window sets the signals whenever it presents telemetry
// and switches them off when playback starts or stops. GUI thread only.
//
// Background: the skin under the panel is copied at the panel's width by
// its height less 33 rows and stretched over the whole panel; each picture's
// place keeps its own copy of the skin under it, restored before every new
// picture is drawn (so pictures with transparent parts never pile up).
//
// Mouse moves, presses and releases are passed on to the parent unchanged
// (in the panel's own coordinates) before the panel's own handling.
class CCarInfoViewer : public QWidget
{
    Q_OBJECT

public:
    explicit CCarInfoViewer(QWidget* parent);

    // Copies the skin under the panel and under each picture's place from
    // `parentSkin` - the main window's background picture in its client
    // coordinates, the panel at its geometry in the parent - then sets all
    // three signals off and repaints. Once after the panel has its place.
    void CaptureBackground(const QImage& parentSkin);
    void CaptureBackground(const CSkinSurface& parentSkin) { CaptureBackground(parentSkin.GetImage()); }

    // Each signal shows "on" when its value is exactly 1, "off" otherwise;
    // `active` is taken and not used. Repaints with rebuilding.
    void SetStatus(int brake, int left, int right, int active = 0);
    // Repaints with rebuilding.
    void Refresh();

    bool BrakeOn() const { return m_brakeOn; }
    bool LeftOn() const { return m_leftOn; }
    bool RightOn() const { return m_rightOn; }
    // The composed picture as painted.
    QImage ComposedImage();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    struct Signal {
        CSkinSurface surface; // picture over its background
        QImage background;    // the skin under the picture's place
    };
    void CaptureSignal(Signal& signal, const QImage& skin, const QRect& place);
    static void ShowPicture(Signal& signal, const char* picture);
    void EnsureComposed();
    void PassToParent(QMouseEvent* event);

    CSkinSurface m_composed;
    QRect m_clientRect;
    CSkinSurface m_background;
    Signal m_left;
    Signal m_right;
    Signal m_brake;
    bool m_dirty = true;
    bool m_painted = false;
    bool m_brakeOn = false;
    bool m_leftOn = false;
    bool m_rightOn = false;
};
