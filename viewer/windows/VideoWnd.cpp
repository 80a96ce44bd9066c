#include "windows/VideoWnd.h"

#include "engine/ITransport.h"
#include "engine/TransportNotifier.h"
#include "windows/WindowsIds.h"

#include <QPainter>

using namespace WindowsIds;

CVideoWnd::CVideoWnd(QWidget* parent, int redrawParam)
    : QWidget(parent)
    , m_redrawParam(redrawParam)
{
    // Every paint covers the whole client area: no background erasing.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
}

void CVideoWnd::SetSource(ITransport* transport, int target)
{
    if (m_frameConnection)
        disconnect(m_frameConnection);
    m_transport = transport;
    m_target = target;
    m_notifier = transport ? transport->Notifier() : nullptr;
    if (m_notifier)
        m_frameConnection = connect(m_notifier, &CTransportNotifier::FrameReady, this, &CVideoWnd::OnFrameReady);
    if (m_transport && m_target >= 0)
        m_transport->SetTargetSize(m_target, size());
    update();
}

void CVideoWnd::SetNoCardLook(bool noCard)
{
    if (m_noCard == noCard)
        return;
    m_noCard = noCard;
    update();
}

bool CVideoWnd::ShowsVideo() const
{
    if (!m_transport || m_noCard)
        return false;
    const int state = m_transport->GetState();
    return m_transport->GetVideoTrackCount() > 1 && (state == STATE_PLAY || state == STATE_PAUSE);
}

void CVideoWnd::OnFrameReady(int target)
{
    if (target == m_target)
        update();
}

void CVideoWnd::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (m_transport && m_target >= 0)
        m_transport->SetTargetSize(m_target, size());
}

void CVideoWnd::paintEvent(QPaintEvent*)
{
    ++m_paintCount;
    {
        QPainter painter(this);
        if (ShowsVideo())
            painter.fillRect(rect(), Qt::black);
        else
            PaintSkin(painter);
        m_lastPainted = CVideoFrame();
        if (m_transport && !m_noCard && m_target >= 0) {
            const int state = m_transport->GetState();
            if (state == STATE_PLAY || state == STATE_PAUSE) {
                CVideoFrame frame = m_transport->LatestFrame(m_target);
                if (PaintVideoFrame(painter, frame))
                    m_lastPainted = std::move(frame);
            }
        }
    }
    emit NotifyMessage(kMsgPictureRedraw, quintptr(m_redrawParam), 0);
}
