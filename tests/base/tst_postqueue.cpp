// The queue that hands functions from any thread to the GUI thread: every
// function runs there, once, in the order its thread handed it in; what is
// still queued when the queue goes never runs.

#include "base/PostQueue.h"

#include <QTest>
#include <QThread>

#include <map>
#include <thread>
#include <vector>

class TestPostQueue : public QObject
{
    Q_OBJECT

private slots:
    void runsOnItsThreadInOrder();
    void queuedFunctionsDieWithTheQueue();
};

void TestPostQueue::runsOnItsThreadInOrder()
{
    CPostQueue queue;
    constexpr int kThreads = 4;
    constexpr int kEach = 500;
    std::map<int, std::vector<int>> seen; // touched on this thread only
    int offThread = 0;
    QThread* const gui = QThread::currentThread();
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([&, t] {
            for (int i = 0; i < kEach; ++i)
                queue.Post([&, t, i] {
                    if (QThread::currentThread() != gui)
                        ++offThread;
                    seen[t].push_back(i);
                });
        });
    for (std::thread& t : threads)
        t.join();
    QTRY_COMPARE(int(seen.size()), kThreads);
    for (int t = 0; t < kThreads; ++t)
        QTRY_COMPARE(int(seen[t].size()), kEach);
    QCoreApplication::processEvents(); // nothing runs twice
    QCOMPARE(offThread, 0);
    for (auto& [t, order] : seen) {
        QCOMPARE(int(order.size()), kEach);
        for (int i = 0; i < kEach; ++i)
            QCOMPARE(order[size_t(i)], i);
    }
}

void TestPostQueue::queuedFunctionsDieWithTheQueue()
{
    int runs = 0;
    {
        CPostQueue queue;
        std::thread([&] { queue.Post([&] { ++runs; }); }).join();
    }
    QCoreApplication::processEvents();
    QCOMPARE(runs, 0);
}

QTEST_GUILESS_MAIN(TestPostQueue)
#include "tst_postqueue.moc"
