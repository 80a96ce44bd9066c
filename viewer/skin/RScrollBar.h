#pragma once

#include "skin/SkinRect.h"
#include "skin/SkinSurface.h"

#include <QPointer>
#include <QWidget>

class CRButton;

// What the vertical and the horizontal skinned scroll bar share: a track
// picture stretched over the bar, an arrow button at each end and a thumb cut
// from three-slice pictures. The bar shows what its owner tells it through
// SetInfo and reports line steps and dragged thumb positions (per cent) to a
// notify window, which need not be its parent, as NotifyMessage emitted
// directly (the owner handles it before the emitting call returns).
//
// Geometry along the bar (the vertical bar's y, the horizontal bar's x), for
// a bar of length N: arrows take 13 pixels at each end, the track between
// them is N - 26; the thumb runs across the bar from 2 to 13.
//
// The thumb: state 0 normal, 1 pointer over it, 2 pressed. A press on the
// thumb starts a drag that lasts until the release; the bar keeps receiving
// the pointer's moves while the button is held (wherever the pointer goes).
// Presses on the track outside the thumb do nothing. Wheel turns are left to
// the parent. GUI thread only.
class CSkinScrollBar : public QWidget
{
    Q_OBJECT

public:
    enum ThumbState { ThumbNormal = 0, ThumbOver = 1, ThumbPressed = 2 };

    ~CSkinScrollBar() override;

    // Receiver of the bar's messages; none are emitted while it is null.
    void SetNotifyWindow(QObject* window) { m_notifyWindow = window; }
    QObject* NotifyWindow() const { return m_notifyWindow; }
    // Stores the content length, the visible length and the position in per
    // cent, and places the thumb. The caller repaints. A content length of 0
    // or less makes the thumb fill the track; owners pass (1, 1, 0) when
    // there is nothing to scroll: a view size of 1 disables both arrows and
    // paints no thumb, any other enables them.
    void SetInfo(int contentSize, int viewSize, int percent);
    // Repaints the track area (between the arrows) without erasing.
    void RedrawTrack();

    SkinRect ThumbRect() const { return m_thumbRect; }
    int GetThumbState() const { return m_thumbState; }
    bool IsDragging() const { return m_dragging; }
    int ContentSize() const { return m_contentSize; }
    int ViewSize() const { return m_viewSize; }
    int Percent() const { return m_percent; }
    CRButton* NearButton() const { return m_nearButton; }
    CRButton* FarButton() const { return m_farButton; }
    // The bar as painted.
    QImage ComposedImage();

    // The thumb along a bar of `length` pixels: {start, end} (end exclusive).
    // Thumb length = (length - 26) * view / content; start = (track - thumb
    // length) * percent / 100 + 13, pulled back so that the thumb ends 13
    // pixels before the bar's end at most.
    static QPair<int, int> ThumbSpan(int length, int contentSize, int viewSize, int percent);
    // The per cent a thumb starting at `start` stands for (0 when the thumb
    // fills the track).
    static int PercentAt(int length, int thumbLength, int start);

signals:
    // A message to the notify window: its number (SkinConst::kMsgScroll...)
    // and parameters.
    void NotifyMessage(unsigned message, quintptr wParam, qintptr lParam);

protected:
    struct Config {
        bool vertical;
        unsigned msgNear, msgFar, msgPercent;
        int nearId, farId;
        const char* track;
        const char* const* nearPictures;
        const char* const* farPictures;
        const char* const* thumbPictures;
    };
    CSkinScrollBar(QWidget* parent, Qt::WindowFlags flags, const Config& config);

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    struct ThumbSlices {
        CSkinSurface first, middle, last;
    };
    int Length() const { return m_config.vertical ? height() : width(); }
    int Along(QPoint p) const { return m_config.vertical ? p.y() : p.x(); }
    int ThumbStart() const { return m_config.vertical ? m_thumbRect.top : m_thumbRect.left; }
    int ThumbEnd() const { return m_config.vertical ? m_thumbRect.bottom : m_thumbRect.right; }
    void SetThumbSpan(int start, int end);
    void PlaceButtons();
    void OnArrow(int id);
    void Emit(unsigned message, quintptr wParam);
    void DrawThumb(QImage& img);

    Config m_config;
    CRButton* m_nearButton = nullptr; // up / left
    CRButton* m_farButton = nullptr;  // down / right
    SkinRect m_thumbRect;
    CSkinSurface m_composeSurface;
    CSkinSurface m_trackSurface;
    ThumbSlices m_thumb[3]; // normal, over, press
    int m_thumbState = ThumbNormal;
    int m_contentSize = 1;
    int m_viewSize = 1;
    int m_percent = 0;
    QPointer<QObject> m_notifyWindow;
    bool m_dragging = false;
    int m_lastDragPos = 0;
    int m_lastSentPercent = -1;
};

// The vertical scroll bar: up arrow (button 1261) -> 0x402, down arrow
// (button 1262) -> 0x403, dragged thumb -> 0x404 with the per cent.
class CRScrollBar : public CSkinScrollBar
{
    Q_OBJECT

public:
    explicit CRScrollBar(QWidget* parent, Qt::WindowFlags flags = Qt::WindowFlags());
};

// The horizontal scroll bar: left arrow (button 1263) -> 0x40A, right arrow
// (button 1264) -> 0x40B, dragged thumb -> 0x40C with the per cent.
class CRScrollBar_Hor : public CSkinScrollBar
{
    Q_OBJECT

public:
    explicit CRScrollBar_Hor(QWidget* parent, Qt::WindowFlags flags = Qt::WindowFlags());
};
