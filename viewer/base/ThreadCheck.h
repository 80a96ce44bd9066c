#pragma once

// Hand-overs between threads that pass through locks a thread checker cannot
// see: GStreamer starts its streaming threads from a pool and posts to the bus
// under GLib's own futex locks, which ThreadSanitizer does not follow outside
// an instrumented GLib. Publish(token) on the thread that prepared the data,
// before it starts the work that reads it; Receive(token) on the reading
// thread before it reads. Both do nothing in a build without the checker.

#if defined(__SANITIZE_THREAD__)
#define KESTRAV_THREAD_CHECK 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define KESTRAV_THREAD_CHECK 1
#endif
#endif

#ifdef KESTRAV_THREAD_CHECK
extern "C" void __tsan_acquire(void* addr);
extern "C" void __tsan_release(void* addr);
#endif

namespace ThreadCheck {

inline void Publish([[maybe_unused]] const void* token)
{
#ifdef KESTRAV_THREAD_CHECK
    __tsan_release(const_cast<void*>(token));
#endif
}

inline void Receive([[maybe_unused]] const void* token)
{
#ifdef KESTRAV_THREAD_CHECK
    __tsan_acquire(const_cast<void*>(token));
#endif
}

} // namespace ThreadCheck
