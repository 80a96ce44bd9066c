#include "mainwindow/WindowModes.h"

#include "mainwindow/MainWindowIds.h"
#include "base/TraceLog.h"

#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

#include <algorithm>

using namespace MainWnd;

CWindowModes::CWindowModes(QWidget* window)
    : m_window(window)
    , m_windowMode(kModeNormal)
{
}

bool CWindowModes::InGrip(const QPoint& clientPos) const
{
    const int w = m_window->width();
    const int h = m_window->height();
    return clientPos.x() >= w - kGripSize && clientPos.y() >= h - kGripSize && clientPos.x() < w && clientPos.y() < h;
}

void CWindowModes::UpdateGripCursor(const QPoint& clientPos)
{
    if (InGrip(clientPos))
        m_window->setCursor(Qt::SizeFDiagCursor);
    else
        m_window->unsetCursor();
}

void CWindowModes::MousePress(const QMouseEvent& event)
{
    UpdateGripCursor(event.position().toPoint());
    if (event.button() != Qt::LeftButton)
        return;
    m_drag = DragKind::Armed;
    m_dragStartGlobal = event.globalPosition().toPoint();
    m_dragStartGeometry = m_window->geometry();
    m_dragFromGrip = InGrip(event.position().toPoint());
}

void CWindowModes::MouseMove(const QMouseEvent& event)
{
    UpdateGripCursor(event.position().toPoint());
    if (!(event.buttons() & Qt::LeftButton)) {
        m_drag = DragKind::None;
        return;
    }
    QWindow* handle = m_window->windowHandle();
    if (m_drag == DragKind::Armed) {
        if (m_dragFromGrip) {
            if (handle && handle->startSystemResize(Qt::RightEdge | Qt::BottomEdge))
                m_drag = DragKind::None;
            else
                m_drag = DragKind::Resize;
        } else if (m_windowMode == kModeNormal) {
            if (handle && handle->startSystemMove())
                m_drag = DragKind::None;
            else
                m_drag = DragKind::Move;
        } else {
            m_drag = DragKind::None;
        }
    }
    const QPoint delta = event.globalPosition().toPoint() - m_dragStartGlobal;
    if (m_drag == DragKind::Move) {
        m_window->move(m_dragStartGeometry.topLeft() + delta);
    } else if (m_drag == DragKind::Resize) {
        m_window->resize(std::max(m_window->minimumWidth(), m_dragStartGeometry.width() + delta.x()),
                         std::max(m_window->minimumHeight(), m_dragStartGeometry.height() + delta.y()));
    }
}

void CWindowModes::MouseRelease(const QMouseEvent&)
{
    m_drag = DragKind::None;
}

// ---- What playback asks (joins with the window modes' commands) ------------------------

void CWindowModes::SetReverse(bool swap)
{
    TraceLogF("Kestrav : SetReverse(%d) joins with the picture swap", swap ? 1 : 0);
}

void CWindowModes::ToggleExpand()
{
    TraceLog(QStringLiteral("Kestrav : ToggleExpand joins with the expanded view"));
}
