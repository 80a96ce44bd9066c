// CVideoMgr: which renderer feeds which target, and where its picture lands in it.
#include "engine/VideoMgr.h"

#include "base/TraceLog.h"
#include "engine/VideoRenderer.h"

using namespace Engine;

CVideoRenderer* CVideoMgr::FrontWindowRenderer() const
{
    return m_swap ? m_rearRenderer.get() : m_frontRenderer.get();
}

CVideoRenderer* CVideoMgr::RearWindowRenderer() const
{
    return m_swap ? m_frontRenderer.get() : m_rearRenderer.get();
}

void CVideoMgr::BindRenderers()
{
    // First the renderer for the front target, then the other.
    if (CVideoRenderer* r = FrontWindowRenderer())
        r->SetTarget(kFrontTarget);
    if (CVideoRenderer* r = RearWindowRenderer())
        r->SetTarget(kRearTarget);
    m_notifier.PostFrameReady(kFrontTarget);
    m_notifier.PostFrameReady(kRearTarget);
}

void CVideoMgr::ResetSize(bool keepAspect)
{
    TraceLog(QStringLiteral("Kestrav-----> CVideoMgr::ResetSize START"));
    if (m_zoom != 1.0f) {
        SetVideoViewSize(m_zoom);
        return;
    }
    m_frontRect = CViewRect::FromSize(m_targetSize[kFrontTarget]);
    m_rearRect = CViewRect::FromSize(m_targetSize[kRearTarget]);
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
    m_notifier.PostFrameReady(kFrontTarget);
    m_notifier.PostFrameReady(kRearTarget);
    TraceLog(QStringLiteral("Kestrav-----> CVideoMgr::ResetSize END"));
}

void CVideoMgr::SetVideoViewSize(float zoom)
{
    TraceLogF("Kestrav----->CVideoMgr::SetVideoViewSize START(%f)", double(zoom));
    m_frontRect = VideoGeometry::ZoomedRect(m_targetSize[kFrontTarget], zoom);
    if (CVideoRenderer* r = FrontWindowRenderer()) {
        r->SetVideoPosition(m_frontRect.ToQRect());
        // The whole target repaints: for a smaller picture its skin fills the margins.
        m_notifier.PostFrameReady(kFrontTarget);
        m_zoom = zoom;
    }
    m_notifier.Post(kMsgViewSizeChanged);
    TraceLog(QStringLiteral("Kestrav----->CVideoMgr::SetVideoViewSize END"));
}

void CVideoMgr::MoveVideoPosByPercent(int panX, int panY)
{
    TraceLog(QStringLiteral("Kestrav----->CVideoMgr::MoveVideoPosByPercent START"));
    // Always measured from the rectangle SetVideoViewSize placed, which stays as it is.
    const CViewRect r = VideoGeometry::PannedRect(m_frontRect, m_targetSize[kFrontTarget], panX, panY);
    if (CVideoRenderer* renderer = FrontWindowRenderer()) {
        renderer->SetVideoPosition(r.ToQRect());
        m_notifier.PostFrameReady(kFrontTarget);
    }
    TraceLog(QStringLiteral("Kestrav----->CVideoMgr::MoveVideoPosByPercent END"));
}

void CVideoMgr::ReDrawVideo()
{
    TraceLog(QStringLiteral("Kestrav----->CVideoMgr::ReDrawVideo Start"));
    TraceLog(QStringLiteral("Kestrav----->CVideoMgr::ReDrawVideo End"));
}
