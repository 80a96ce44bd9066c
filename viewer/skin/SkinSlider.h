#pragma once

#include "skin/SkinRect.h"
#include "skin/SkinSurface.h"

#include <QString>
#include <QWidget>

#include <vector>

// What the child slider CRSliderCtrl and the layered popup slider
// CTSliderCtrl share: a value between 0 and a maximum, a track picture, a
// filled-part picture and a handle in three states (normal, pointer over the
// handle, pressed), and the reports to the parent:
//
//   0x590 (wParam = slider id, lParam = reported value) on a click on the
//         track and on every pointer move during a drag;
//   0x591 (wParam = slider id, lParam 0), sent when the left button is released.
//
// The reported value is floor(value + 0.5) for a horizontal slider and
// maximum - floor(value + 0.5) for a vertical one (its top end is the
// maximum). Along the slider (x, or y when vertical) the track runs from
// `margin` to length - `margin`; its length T is the slider's length minus
// twice the margin. The margin is half the normal handle's length along the
// slider (0 without handle pictures), so the handle's centre sits on the
// track position of the value.
//
// A press on the handle starts a drag that lasts until the release; the
// slider keeps receiving the pointer's moves while the button is held. A
// press elsewhere sets the value under the pointer and reports it; the value
// then stays until the release. Lock mode other than 0 ignores the mouse.
// A disabled slider receives no mouse input. GUI thread only.
class CSkinSlider : public QWidget
{
    Q_OBJECT

public:
    enum ThumbState { ThumbNormal = 0, ThumbOver = 1, ThumbPressed = 2 };

    // The maximum; the minimum stays 0. A maximum of 0 or less is a slider
    // with one position: it draws no filled part and reports 0.
    void SetRange(float maximum);
    // Clamped to [minimum, maximum]; repaints.
    void SetValue(float value);
    float GetValue() const { return m_value; }
    float GetMaximum() const { return m_maxValue; }
    void SetSliderId(int id) { m_sliderId = id; }
    int SliderId() const { return m_sliderId; }
    // Handle pictures (pressed, hovered, normal) at their natural size; track
    // and filled-part pictures drawn at the slider's size, stretched when the
    // name ends in ".9.png", else plain. Empty names draw nothing (a slider
    // without handle pictures has no handle).
    void SetPictures(const QString& pressed, const QString& hovered, const QString& normal, const QString& track,
                     const QString& filled);
    // 0: active; anything else ignores the mouse.
    virtual void SetLockMode(int mode);
    int LockMode() const { return m_lockMode; }
    // Horizontal (the default) or vertical.
    void SetHorizontal(bool horizontal);
    bool IsHorizontal() const { return m_horizontal; }
    int Margin() const { return m_margin; }
    int GetThumbState() const { return m_thumbState; }
    bool IsDragging() const { return m_dragging; }
    // The handle's rectangle as last painted (also where a press grabs it).
    SkinRect ThumbRect() const { return m_thumbRect; }
    // floor(value + 0.5), or maximum - that for a vertical slider.
    int ReportedValue() const { return ReportedValue(m_value, m_maxValue, m_horizontal); }
    // The slider as painted.
    QImage ComposedImage();

    // The value a press at `pos` (along the slider) stands for, before
    // clamping: (pos - margin + 1) * maximum / trackLength; 0 when the track
    // has no length.
    static float ClickValue(int pos, int margin, int trackLength, float maximum);
    // The change a drag by `delta` pixels makes: delta * maximum / trackLength.
    static float DragDelta(int delta, int trackLength, float maximum);
    static int ReportedValue(float value, float maximum, bool horizontal);
    // Pixels of the track filled: floor(value + 0.5) * trackLength / maximum
    // (0 for a maximum of 0 or less).
    static int FilledLength(float value, int trackLength, float maximum);

signals:
    // A message to the parent: its number (SkinConst::kMsgSlider...) and parameters.
    void NotifyMessage(unsigned message, quintptr wParam, qintptr lParam);

protected:
    CSkinSlider(QWidget* parent, Qt::WindowFlags flags);

    // How the value of a click on the track reaches the parent (posted or sent).
    virtual void ReportClick(int reported) = 0;
    // Whether the handle is drawn (CRSliderCtrl hides it in lock mode 2).
    virtual bool ShowsHandle() const { return true; }
    // Called after every change of hover or drag state and of the value.
    virtual void PointerStateChanged() {}

    // Posted messages are emitted from the event loop, in order; the
    // release's message comes after every value posted before it.
    void Post(unsigned message, qintptr lParam);
    void Send(unsigned message, qintptr lParam);
    void FlushPosted();
    bool OverHandle() const;

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

    int Length() const { return m_horizontal ? width() : height(); }
    int Along(QPoint p) const { return m_horizontal ? p.x() : p.y(); }
    int TrackLength() const { return Length() - 2 * m_margin; }

    CSkinSurface m_handle[3]; // normal, over, press
    CSkinSurface m_trackSurface;
    CSkinSurface m_filledSurface;
    CSkinSurface m_composeSurface;
    QImage m_cached;
    bool m_rebuild = true;
    int m_dragOrigin = 0;
    int m_thumbState = ThumbNormal;
    int m_lockMode = 0;
    bool m_horizontal = true;
    int m_margin = 0;
    int m_sliderId = 0;
    bool m_hovering = false;
    bool m_dragging = false;
    SkinRect m_thumbRect;
    float m_minValue = 0.0f;
    float m_maxValue;
    float m_value = 0.0f;
    float m_lastDrawnValue;
    QPoint m_lastMousePos;

private:
    void LoadBarPictures();
    void UpdateThumbRect();
    void SetThumbState(int state);
    void Invalidate();

    struct Posted {
        unsigned message;
        quintptr wParam;
        qintptr lParam;
    };
    std::vector<Posted> m_posted;
    bool m_flushScheduled = false;
    QString m_trackName;
    QString m_filledName;
};

// The skinned slider as a child window (the position slider and the speed
// gauge of the main window). A click on the track sends (direct) its 0x590;
// drag moves post (queued) theirs. The pointer is a hand over it. Lock mode 2
// also hides the handle. Wheel turns are left to the parent.
class CRSliderCtrl : public CSkinSlider
{
    Q_OBJECT

public:
    explicit CRSliderCtrl(QWidget* parent);

protected:
    void ReportClick(int reported) override;
    bool ShowsHandle() const override { return m_lockMode != 2; }
    void wheelEvent(QWheelEvent* event) override;
};
