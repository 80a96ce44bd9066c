#include "engine/TransportNotifier.h"

#include "engine/EngineIds.h"

CTransportNotifier::CTransportNotifier(QObject* parent)
    : QObject(parent)
{
}

void CTransportNotifier::SetNotifyWindow(QObject* window)
{
    m_notifyWindow = window;
}

void CTransportNotifier::Send(unsigned message, quintptr wParam, qintptr lParam)
{
    if (m_notifyWindow)
        emit NotifyMessage(message, wParam, lParam);
}

void CTransportNotifier::Post(unsigned message, quintptr wParam, qintptr lParam)
{
    QMetaObject::invokeMethod(
        this, [this, message, wParam, lParam] { Send(message, wParam, lParam); }, Qt::QueuedConnection);
}

void CTransportNotifier::PostFrameReady(int target)
{
    if (target < 0 || target >= Engine::kTargetCount)
        return;
    if (!m_framePending[target].exchange(true))
        QMetaObject::invokeMethod(this, [this, target] { DeliverFrameReady(target); }, Qt::QueuedConnection);
}

void CTransportNotifier::DeliverFrameReady(int target)
{
    m_framePending[target].store(false);
    emit FrameReady(target);
}
