#pragma once

#include "skin/SkinSurface.h"

#include <QImage>
#include <QWidget>

// What the layered popups share (balloon, drop-down box, speed and volume
// panels): a frameless, translucent, topmost tool window owned by the window
// given as `owner`, whose whole look is one composed picture with per-pixel
// alpha. The picture is composed into a client-sized surface when the
// `rebuild` flag is set (a state change, a resize, Redraw) and kept until
// then; every paint copies it to the window unchanged (no background erase).
// GUI thread only.
class CSkinLayeredWindow : public QWidget
{
    Q_OBJECT

public:
    // The picture as shown, composing it first when it is out of date. Null
    // while the window has no size.
    QImage LayeredImage();
    // Recomposes and repaints at once.
    void Redraw();
    // Marks the picture out of date and schedules a repaint.
    void Invalidate();

protected:
    // `extra` is added to Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint
    // (Qt::Tool for panels and boxes, Qt::ToolTip for balloons).
    CSkinLayeredWindow(QWidget* owner, Qt::WindowFlags extra);

    // Draws the window's picture into `picture` (client-sized, fully
    // transparent on entry).
    virtual void Compose(QImage& picture) = 0;

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    CSkinSurface m_composeSurface;
    QImage m_cached;
    bool m_rebuild = true;
};
