// CVideoMgr: where each renderer draws inside its window.
#include "engine/VideoMgr.h"

#include "base/TraceLog.h"
#include "engine/VideoRenderer.h"

#include <QWidget>

using namespace Engine;

namespace {
QSize ClientSize(const QWidget* window)
{
    return window ? window->size() : QSize(0, 0);
}
} // namespace

CVideoRenderer* CVideoMgr::FrontWindowRenderer() const
{
    return m_swap ? m_rearRenderer.get() : m_frontRenderer.get();
}

CVideoRenderer* CVideoMgr::RearWindowRenderer() const
{
    return m_swap ? m_frontRenderer.get() : m_rearRenderer.get();
}

void CVideoMgr::ResetSize(bool keepAspect)
{
    TraceLog(QStringLiteral("Kestrav-----> CVideoMgr::ResetSize START"));
    if (m_zoom != 1.0f) {
        SetVideoViewSize(m_zoom);
        return;
    }
    m_frontRect = CViewRect::FromSize(ClientSize(m_frontWindow));
    m_rearRect = CViewRect::FromSize(ClientSize(m_rearWindow));
    m_keepAspect = keepAspect;
    const int mode = keepAspect ? VMR_ARMODE_LETTER_BOX : VMR_ARMODE_NONE;
    if (CVideoRenderer* r = FrontWindowRenderer()) {
        r->SetAspectRatioMode(mode);
        r->SetVideoPosition(m_frontRect.ToQRect());
    }
    if (CVideoRenderer* r = RearWindowRenderer()) {
        r->SetAspectRatioMode(mode);
        r->SetVideoPosition(m_rearRect.ToQRect());
    }
    TraceLog(QStringLiteral("Kestrav-----> CVideoMgr::ResetSize END"));
}

void CVideoMgr::SetVideoViewSize(float zoom)
{
    TraceLogF("Kestrav----->CVideoMgr::SetVideoViewSize START(%f)", double(zoom));
    m_frontRect = VideoGeometry::ZoomedRect(ClientSize(m_frontWindow), zoom);
    if (CVideoRenderer* r = FrontWindowRenderer()) {
        r->SetVideoPosition(m_frontRect.ToQRect());
        if (zoom < 1.0f) {
            // The window's skin fills the margins around the smaller picture.
            if (m_frontWindow)
                m_frontWindow->update();
        } else {
            r->RepaintVideo(m_frontWindow);
        }
        m_zoom = zoom;
    }
    PostMessage(kMsgViewSizeChanged);
    TraceLog(QStringLiteral("Kestrav----->CVideoMgr::SetVideoViewSize END"));
}

void CVideoMgr::MoveVideoPosByPercent(int panX, int panY)
{
    TraceLog(QStringLiteral("Kestrav----->CVideoMgr::MoveVideoPosByPercent START"));
    // Always measured from the rectangle SetVideoViewSize placed, which stays as it is.
    const CViewRect r = VideoGeometry::PannedRect(m_frontRect, ClientSize(m_frontWindow), panX, panY);
    if (CVideoRenderer* renderer = FrontWindowRenderer()) {
        renderer->SetVideoPosition(r.ToQRect());
        renderer->RepaintVideo(m_frontWindow);
    }
    TraceLog(QStringLiteral("Kestrav----->CVideoMgr::MoveVideoPosByPercent END"));
}

void CVideoMgr::ReDrawVideo()
{
    TraceLog(QStringLiteral("Kestrav----->CVideoMgr::ReDrawVideo Start"));
    if (CVideoRenderer* r = FrontWindowRenderer())
        r->RepaintVideo(m_frontWindow);
    if (CVideoRenderer* r = RearWindowRenderer())
        r->RepaintVideo(m_rearWindow);
    TraceLog(QStringLiteral("Kestrav----->CVideoMgr::ReDrawVideo End"));
}
