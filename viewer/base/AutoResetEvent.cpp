#include "base/AutoResetEvent.h"

#include <chrono>

CAutoResetEvent::CAutoResetEvent(bool initiallySignalled)
    : m_signalled(initiallySignalled)
{
}

void CAutoResetEvent::Set()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_signalled = true;
    }
    m_cond.notify_one();
}

void CAutoResetEvent::Reset()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_signalled = false;
}

bool CAutoResetEvent::Wait(int timeoutMs)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    if (timeoutMs < 0) {
        m_cond.wait(lock, [this] { return m_signalled; });
    } else if (!m_cond.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return m_signalled; })) {
        return false;
    }
    m_signalled = false;
    return true;
}

bool CAutoResetEvent::IsSignalled() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_signalled;
}
