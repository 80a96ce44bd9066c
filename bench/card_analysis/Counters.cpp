#include "Counters.h"

#include <QFile>

#include <cstring>
#include <ctime>

#include <fcntl.h>
#include <linux/perf_event.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

CCounters CCounters::operator-(const CCounters& o) const
{
    CCounters d;
    d.wallMs = wallMs - o.wallMs;
    d.cpuMs = cpuMs - o.cpuMs;
    d.syscalls = (syscalls >= 0 && o.syscalls >= 0) ? syscalls - o.syscalls : -1;
    d.readCalls = readCalls - o.readCalls;
    d.rchar = rchar - o.rchar;
    d.storage = storage - o.storage;
    return d;
}

namespace {

int64_t TracepointId()
{
    for (const char* dir : {"/sys/kernel/tracing", "/sys/kernel/debug/tracing"}) {
        QFile f(QString::fromLatin1(dir) + QStringLiteral("/events/raw_syscalls/sys_enter/id"));
        if (f.open(QIODevice::ReadOnly))
            return f.readAll().trimmed().toLongLong();
    }
    return -1;
}

int64_t StatusField(const char* name)
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith(name))
            return line.mid(int(std::strlen(name))).trimmed().split(' ').value(0).toLongLong() * 1024;
    return -1;
}

} // namespace

CSyscallCounter::CSyscallCounter(bool on)
{
    if (!on) {
        m_why = QStringLiteral("off");
        return;
    }
    const int64_t id = TracepointId();
    if (id < 0) {
        m_why = QStringLiteral("no raw_syscalls tracepoint (tracefs not mounted)");
        return;
    }
    perf_event_attr attr {};
    attr.size = sizeof attr;
    attr.type = PERF_TYPE_TRACEPOINT;
    attr.config = uint64_t(id);
    attr.inherit = 1; // threads started later count too
    attr.sample_period = 0;
    m_fd = int(::syscall(SYS_perf_event_open, &attr, 0, -1, -1, PERF_FLAG_FD_CLOEXEC));
    if (m_fd < 0)
        m_why = QStringLiteral("perf_event_open: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
}

CSyscallCounter::~CSyscallCounter()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

int64_t CSyscallCounter::Count() const
{
    uint64_t value = 0;
    if (m_fd < 0 || ::read(m_fd, &value, sizeof value) != sizeof value)
        return -1;
    return int64_t(value);
}

int64_t NowNs()
{
    timespec ts {};
    ::clock_gettime(CLOCK_MONOTONIC, &ts);
    return int64_t(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

CCounters Snapshot(const CSyscallCounter& counter, int64_t wallStartNs)
{
    CCounters c;
    // The counter first: the reads below are system calls too.
    c.syscalls = counter.Count();
    c.wallMs = double(NowNs() - wallStartNs) / 1e6;
    rusage ru {};
    ::getrusage(RUSAGE_SELF, &ru);
    c.cpuMs = double(ru.ru_utime.tv_sec + ru.ru_stime.tv_sec) * 1e3
        + double(ru.ru_utime.tv_usec + ru.ru_stime.tv_usec) / 1e3;
    char buffer[512];
    const int fd = ::open("/proc/self/io", O_RDONLY | O_CLOEXEC);
    const ssize_t n = fd >= 0 ? ::read(fd, buffer, sizeof buffer - 1) : -1;
    if (fd >= 0)
        ::close(fd);
    if (n > 0) {
        buffer[n] = '\0';
        for (const QByteArray& line : QByteArray(buffer).split('\n')) {
            const QList<QByteArray> kv = line.split(':');
            if (kv.size() != 2)
                continue;
            const int64_t v = kv[1].trimmed().toLongLong();
            if (kv[0] == "rchar")
                c.rchar = v;
            else if (kv[0] == "syscr")
                c.readCalls = v;
            else if (kv[0] == "read_bytes")
                c.storage = v;
        }
    }
    return c;
}

int64_t PeakRss()
{
    return StatusField("VmHWM:");
}

int64_t CurrentRss()
{
    return StatusField("VmRSS:");
}

bool CanDropCaches()
{
    return ::access("/proc/sys/vm/drop_caches", W_OK) == 0;
}

bool MakeCold(EColdMethod method, const QStringList& files)
{
    if (method == EColdMethod::DropCaches) {
        ::sync();
        const int fd = ::open("/proc/sys/vm/drop_caches", O_WRONLY | O_CLOEXEC);
        const bool ok = fd >= 0 && ::write(fd, "1", 1) == 1;
        if (fd >= 0)
            ::close(fd);
        return ok;
    }
    for (const QString& f : files) {
        const int fd = ::open(QFile::encodeName(f).constData(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            continue;
        ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
        ::close(fd);
    }
    return true;
}
