#pragma once

#include <QPoint>
#include <QRect>

class QMouseEvent;
class QWidget;

// The main window's mode (0 normal, 1 maximised, 2 expanded) and what the
// left button does on the window's body in each: a press in the grip (the
// 18 x 18 square in the bottom-right corner) resizes the window from that
// corner in every mode; a press anywhere else moves the window, in normal
// mode only. The window system does the move or resize where it can;
// otherwise the window follows the mouse by hand, never below its minimum
// size. Over the grip the cursor is the diagonal sizing arrow.
//
// Thread: GUI thread. Ownership: works on `window`, which it does not own
// and which must outlive it; the window forwards its own mouse events (not
// its children's). Failure: none; a mode outside 0..2 counts as not normal.
class CWindowModes
{
public:
    explicit CWindowModes(QWidget* window);

    int WindowMode() const { return m_windowMode; }
    void SetWindowMode(int mode) { m_windowMode = mode; }

    // The grip, in the window's client coordinates.
    bool InGrip(const QPoint& clientPos) const;

    // ---- What playback asks of the window modes -------------------------------------
    // The front/rear swap with its labels and leaving the expanded mode join
    // with the window modes' commands; until then each traces its call and
    // does nothing.
    void SetReverse(bool swap);
    void ToggleExpand();

    // The window's own mouse events, forwarded as they arrive.
    void MousePress(const QMouseEvent& event);
    void MouseMove(const QMouseEvent& event);
    void MouseRelease(const QMouseEvent& event);

private:
    void UpdateGripCursor(const QPoint& clientPos);

    enum class DragKind { None, Armed, Move, Resize };

    QWidget* m_window;
    int m_windowMode;
    DragKind m_drag = DragKind::None;
    bool m_dragFromGrip = false;
    QPoint m_dragStartGlobal;
    QRect m_dragStartGeometry;
};
