#include "base/PostQueue.h"

CPostQueue::CPostQueue(QObject* parent)
    : QObject(parent)
{
}

void CPostQueue::Post(std::function<void()> function)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_queue.push_back(std::move(function));
    }
    QMetaObject::invokeMethod(this, "RunNext", Qt::QueuedConnection);
}

void CPostQueue::RunNext()
{
    std::function<void()> next;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_queue.empty())
            return;
        next = std::move(m_queue.front());
        m_queue.pop_front();
    }
    next();
}
