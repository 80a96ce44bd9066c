#pragma once

#include <QObject>

#include <deque>
#include <functional>
#include <mutex>

// Runs functions handed in on any thread on the thread this object lives in
// (its event loop), one per event, in the order they were handed in.
//
// The functions wait in a queue of our own behind a mutex, and the event that
// runs one carries nothing; so what a function captured passes between the
// threads under that mutex, where thread checkers see the hand-over (a
// function object carried inside a Qt event crosses through Qt's own locks,
// which they cannot see). Functions still queued when the object is
// destroyed do not run.
class CPostQueue : public QObject
{
    Q_OBJECT

public:
    explicit CPostQueue(QObject* parent = nullptr);

    void Post(std::function<void()> function);

private slots:
    void RunNext();

private:
    std::mutex m_mutex;
    std::deque<std::function<void()>> m_queue;
};
