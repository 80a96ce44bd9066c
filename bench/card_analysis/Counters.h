#pragma once

// What one measured stretch of the process cost: wall and CPU time, system
// calls, bytes handed out by read calls and bytes fetched from storage.

#include <QString>
#include <QStringList>

#include <cstdint>

struct CCounters {
    double wallMs = 0;
    double cpuMs = 0;        // user + system, all threads of the process
    int64_t syscalls = -1;   // every system call (-1: not countable here)
    int64_t readCalls = 0;   // read-type calls (/proc/self/io syscr)
    int64_t rchar = 0;       // bytes returned by read calls
    int64_t storage = 0;     // bytes fetched from storage (read_bytes)
    CCounters operator-(const CCounters& o) const;
};

// Counts every system call of this process and of the threads it starts
// after construction (a perf tracepoint counter on raw_syscalls:sys_enter;
// needs root or a permissive perf_event_paranoid and a mounted tracefs).
// The counter costs every system call a little: timed runs go without it
// (`on` false: Count() is -1) and the calls are counted in a run of their own.
class CSyscallCounter
{
public:
    explicit CSyscallCounter(bool on = true);
    ~CSyscallCounter();
    bool IsCounting() const { return m_fd >= 0; }
    int64_t Count() const;
    QString Why() const { return m_why; }

private:
    int m_fd = -1;
    QString m_why;
};

// Snapshot of the process's counters now (syscalls from `counter` when it counts).
CCounters Snapshot(const CSyscallCounter& counter, int64_t wallStartNs);
int64_t NowNs();

// Peak and current resident set of this process, in bytes (VmHWM, VmRSS).
int64_t PeakRss();
int64_t CurrentRss();

// How a cold page cache is made: the whole page cache dropped
// (/proc/sys/vm/drop_caches, root) or each file's pages (POSIX_FADV_DONTNEED).
enum class EColdMethod { DropCaches, FadviseDontNeed };
// Drops; false when the chosen method is not possible here.
bool MakeCold(EColdMethod method, const QStringList& files);
bool CanDropCaches();
