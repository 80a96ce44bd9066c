#pragma once

// Faults of the disk for tests: a full disk (the process's file-size limit)
// and a folder nobody may write into (also for root). Header-only; both
// restore what they changed when destroyed. Not thread-safe: the process-wide
// limit and signal disposition change for the scope.

#include <QByteArray>
#include <QFile>
#include <QString>

#include <csignal>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

// Writes that would make a file larger than `bytes` fail with EFBIG, as on a
// full disk. SIGXFSZ is ignored meanwhile, so the failing write returns an
// error instead of ending the process. Child processes inherit both.
class CFileSizeLimit
{
public:
    explicit CFileSizeLimit(rlim_t bytes)
    {
        m_saved = ::getrlimit(RLIMIT_FSIZE, &m_old) == 0;
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit lowered = m_old;
        lowered.rlim_cur = bytes;
        m_set = m_saved && ::setrlimit(RLIMIT_FSIZE, &lowered) == 0;
    }
    ~CFileSizeLimit()
    {
        if (m_saved)
            ::setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    CFileSizeLimit(const CFileSizeLimit&) = delete;
    CFileSizeLimit& operator=(const CFileSizeLimit&) = delete;
    bool IsSet() const { return m_set; }

private:
    rlimit m_old{};
    bool m_saved = false;
    bool m_set = false;
    void (*m_oldHandler)(int) = SIG_DFL;
};

// Makes an existing folder read-only: mode 0555, and for root (whom modes do
// not stop) the file system's immutable flag where it has one. IsReadOnly()
// tells whether creating a file in it now really fails.
class CReadOnlyFolder
{
public:
    explicit CReadOnlyFolder(const QString& folder) : m_path(QFile::encodeName(folder))
    {
        ::chmod(m_path.constData(), 0555);
        if (::geteuid() == 0)
            m_immutable = SetImmutable(true);
    }
    ~CReadOnlyFolder()
    {
        if (m_immutable)
            SetImmutable(false);
        ::chmod(m_path.constData(), 0755);
    }
    CReadOnlyFolder(const CReadOnlyFolder&) = delete;
    CReadOnlyFolder& operator=(const CReadOnlyFolder&) = delete;

    bool IsReadOnly() const
    {
        const QByteArray probe = m_path + "/.write-probe";
        const int fd = ::open(probe.constData(), O_WRONLY | O_CREAT | O_EXCL, 0644);
        if (fd < 0)
            return true;
        ::close(fd);
        ::unlink(probe.constData());
        return false;
    }

private:
    bool SetImmutable(bool on)
    {
        const int fd = ::open(m_path.constData(), O_RDONLY | O_DIRECTORY);
        if (fd < 0)
            return false;
        int flags = 0;
        bool ok = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
        if (ok) {
            flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
            ok = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
        }
        ::close(fd);
        return ok;
    }

    QByteArray m_path;
    bool m_immutable = false;
};
