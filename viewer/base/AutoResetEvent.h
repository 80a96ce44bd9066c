#pragma once

#include <condition_variable>
#include <mutex>

// An in-process auto-reset event: Set() releases exactly one waiter (or the
// next one to wait) and the event returns to the non-signalled state.
// Safe to use from any thread.
class CAutoResetEvent
{
public:
    explicit CAutoResetEvent(bool initiallySignalled = false);
    CAutoResetEvent(const CAutoResetEvent&) = delete;
    CAutoResetEvent& operator=(const CAutoResetEvent&) = delete;

    void Set();
    void Reset();
    // Waits until signalled; timeoutMs < 0 waits without limit.
    // Returns true when the event was signalled (and consumes the signal).
    bool Wait(int timeoutMs = -1);
    // True when signalled, without consuming it (for tests and diagnostics).
    bool IsSignalled() const;

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_cond;
    bool m_signalled;
};
