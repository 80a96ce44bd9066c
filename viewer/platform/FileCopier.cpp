#include "platform/FileCopier.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QMetaObject>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The process's file-creation mask, read without changing it.
mode_t CurrentUmask()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly)) {
        const QList<QByteArray> lines = status.readAll().split('\n');
        for (const QByteArray& line : lines) {
            if (line.startsWith("Umask:")) {
                bool ok = false;
                const uint mask = line.mid(6).trimmed().toUInt(&ok, 8);
                if (ok)
                    return mode_t(mask);
            }
        }
    }
    return 022;
}

// The copying thread's nice value.
constexpr int kCopyNice = 10;

// A file descriptor closed when it goes out of scope.
struct Fd {
    int fd = -1;
    ~Fd()
    {
        if (fd >= 0)
            ::close(fd);
    }
    int Release()
    {
        const int f = fd;
        fd = -1;
        return f;
    }
};

bool WriteAll(int fd, const char* data, size_t size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (n == 0) {
            errno = EIO;
            return false;
        }
        data += n;
        size -= size_t(n);
    }
    return true;
}

// copy_file_range errors that mean "not between these two files": the
// copy goes on with read/write.
bool KernelCopyUnsupported(int error)
{
    return error == EXDEV || error == EINVAL || error == ENOSYS || error == EOPNOTSUPP || error == EBADF ||
           error == ETXTBSY || error == EPERM;
}

} // namespace

QString CCopyResult::Reason() const
{
    return error ? QString::fromLocal8Bit(std::strerror(error)) : QString();
}

// ---- CFileCopier -----------------------------------------------------------------------

CFileCopier::CFileCopier() = default;
CFileCopier::~CFileCopier() = default;

void CFileCopier::SetBufferSize(size_t bytes)
{
    m_bufferSize = bytes < 4096 ? 4096 : bytes;
    m_buffer.reset();
}

bool CFileCopier::IsSameFile(const QString& a, const QString& b)
{
    struct stat sa {}, sb {};
    if (::stat(QFile::encodeName(a).constData(), &sa) != 0 || ::stat(QFile::encodeName(b).constData(), &sb) != 0)
        return false;
    return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

CCopyResult CFileCopier::Copy(const QString& source, const QString& target)
{
    // A cancel asked for before the copy began counts; once the copy is
    // over the request is spent.
    CCopyResult result = CopyOnce(source, target);
    m_cancel.store(false);
    return result;
}

CCopyResult CFileCopier::CopyOnce(const QString& source, const QString& target)
{
    CCopyResult result;
    auto fail = [&result](ECopyStep step, int error) {
        result.status = CCopyResult::Status::Failed;
        result.step = step;
        result.error = error ? error : EIO;
        return result;
    };

    // The source.
    if (const int e = Fault(ECopyStep::OpenSource, 0))
        return fail(ECopyStep::OpenSource, e);
    Fd src;
    src.fd = ::open(QFile::encodeName(source).constData(), O_RDONLY | O_CLOEXEC);
    if (src.fd < 0)
        return fail(ECopyStep::OpenSource, errno);
    struct stat st {};
    if (::fstat(src.fd, &st) != 0)
        return fail(ECopyStep::OpenSource, errno);
    if (!S_ISREG(st.st_mode))
        return fail(ECopyStep::OpenSource, S_ISDIR(st.st_mode) ? EISDIR : EINVAL);
    result.total = qint64(st.st_size);

    // Never onto itself: replacing the source by a copy of itself gains
    // nothing and a failure half-way would lose it.
    const QByteArray targetName = QFile::encodeName(target);
    struct stat tst {};
    if (::stat(targetName.constData(), &tst) == 0 && tst.st_dev == st.st_dev && tst.st_ino == st.st_ino) {
        result.status = CCopyResult::Status::SameFile;
        result.step = ECopyStep::OpenSource;
        return result;
    }

    // The temporary file beside the target.
    const QFileInfo targetInfo(target);
    QByteArray pattern = QFile::encodeName(targetInfo.absolutePath()) + "/." +
                         QFile::encodeName(targetInfo.fileName()) + ".XXXXXX.part";
    if (const int e = Fault(ECopyStep::CreateTemp, 0))
        return fail(ECopyStep::CreateTemp, e);
    Fd dst;
    dst.fd = ::mkostemps(pattern.data(), 5, O_CLOEXEC);
    if (dst.fd < 0)
        return fail(ECopyStep::CreateTemp, errno);
    const QByteArray tempName = pattern;
    auto failAndRemove = [&](ECopyStep step, int error) {
        ::close(dst.Release());
        ::unlink(tempName.constData());
        return fail(step, error);
    };

    ::posix_fadvise(src.fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    bool kernel = m_kernelCopy;
    qint64 done = 0;
    for (;;) {
        if (m_cancel.load()) {
            ::close(dst.Release());
            ::unlink(tempName.constData());
            result.status = CCopyResult::Status::Cancelled;
            result.step = ECopyStep::Write;
            result.bytes = done;
            return result;
        }
        qint64 moved = 0;
        if (kernel) {
            // The kernel's copy reads and writes in one call.
            if (const int e = Fault(ECopyStep::Read, done)) {
                result.bytes = done;
                return failAndRemove(ECopyStep::Read, e);
            }
            if (const int e = Fault(ECopyStep::Write, done)) {
                result.bytes = done;
                return failAndRemove(ECopyStep::Write, e);
            }
            const ssize_t n = ::copy_file_range(src.fd, nullptr, dst.fd, nullptr, m_bufferSize, 0);
            if (n < 0) {
                const int e = errno;
                if (e == EINTR)
                    continue;
                if (done == 0 && KernelCopyUnsupported(e)) {
                    kernel = false; // nothing moved: the offsets are still at 0
                    continue;
                }
                result.bytes = done;
                return failAndRemove(ECopyStep::Write, e);
            }
            if (n == 0 && done < result.total) {
                kernel = false; // the kernel gives up early here: read the rest
                continue;
            }
            moved = n;
        } else {
            if (!m_buffer)
                m_buffer = std::make_unique<char[]>(m_bufferSize);
            if (const int e = Fault(ECopyStep::Read, done)) {
                result.bytes = done;
                return failAndRemove(ECopyStep::Read, e);
            }
            ssize_t n;
            do
                n = ::read(src.fd, m_buffer.get(), m_bufferSize);
            while (n < 0 && errno == EINTR);
            if (n < 0) {
                result.bytes = done;
                return failAndRemove(ECopyStep::Read, errno);
            }
            if (n > 0) {
                if (const int e = Fault(ECopyStep::Write, done)) {
                    result.bytes = done;
                    return failAndRemove(ECopyStep::Write, e);
                }
                if (!WriteAll(dst.fd, m_buffer.get(), size_t(n))) {
                    result.bytes = done;
                    return failAndRemove(ECopyStep::Write, errno);
                }
            }
            moved = n;
        }
        if (moved == 0)
            break;
        // Start writing the chunk to the disk now, so the flush before the
        // rename has little left to do (best effort; the fsync below decides).
        if (m_writeBehind)
            ::sync_file_range(dst.fd, done, moved, SYNC_FILE_RANGE_WRITE);
        done += moved;
        if (m_progress)
            m_progress(done, result.total);
    }
    result.bytes = done;
    // A source that ended before its size (a card pulled, a file cut short)
    // gives no copy.
    if (done < result.total)
        return failAndRemove(ECopyStep::Read, EIO);

    ::fchmod(dst.fd, (st.st_mode & 0777) & ~CurrentUmask());
    if (const int e = Fault(ECopyStep::SetTimes, done))
        return failAndRemove(ECopyStep::SetTimes, e);
    const struct timespec times[2] = {st.st_atim, st.st_mtim};
    if (::futimens(dst.fd, times) != 0)
        return failAndRemove(ECopyStep::SetTimes, errno);
    if (const int e = Fault(ECopyStep::Sync, done))
        return failAndRemove(ECopyStep::Sync, e);
    if (::fsync(dst.fd) != 0)
        return failAndRemove(ECopyStep::Sync, errno);
    if (::close(dst.Release()) != 0) {
        const int e = errno;
        ::unlink(tempName.constData());
        return fail(ECopyStep::Sync, e);
    }
    if (const int e = Fault(ECopyStep::Rename, done)) {
        ::unlink(tempName.constData());
        return fail(ECopyStep::Rename, e);
    }
    if (::rename(tempName.constData(), targetName.constData()) != 0) {
        const int e = errno;
        ::unlink(tempName.constData());
        return fail(ECopyStep::Rename, e);
    }
    // The new name itself on the disk (best effort: some file systems
    // cannot sync a folder).
    Fd folder;
    folder.fd = ::open(QFile::encodeName(targetInfo.absolutePath()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder.fd >= 0)
        ::fsync(folder.fd);
    result.status = CCopyResult::Status::Done;
    result.step = ECopyStep::Done;
    return result;
}

// ---- CBackgroundCopy ---------------------------------------------------------------------

CBackgroundCopy::CBackgroundCopy(QObject* parent)
    : QObject(parent)
{
}

CBackgroundCopy::~CBackgroundCopy()
{
    if (m_copier)
        m_copier->Cancel();
    if (m_thread.joinable())
        m_thread.join();
}

bool CBackgroundCopy::Start(const QString& source, const QString& target)
{
    if (m_running)
        return false;
    if (m_thread.joinable())
        m_thread.join();
    m_running = true;
    const unsigned generation = ++m_generation;
    auto copier = std::make_shared<CFileCopier>();
    copier->SetBufferSize(m_bufferSize);
    copier->SetFaultHook(m_fault);
    auto lastReport = std::make_shared<std::chrono::steady_clock::time_point>();
    copier->SetProgress([this, lastReport](qint64 done, qint64 total) {
        const auto now = std::chrono::steady_clock::now();
        if (done < total && now - *lastReport < std::chrono::milliseconds(50))
            return;
        *lastReport = now;
        QMetaObject::invokeMethod(this, [this, done, total] { emit Progress(done, total); }, Qt::QueuedConnection);
    });
    m_copier = copier;
    m_result = std::make_shared<CCopyResult>();
    auto result = m_result;
    m_thread = std::thread([this, copier, result, source, target, generation] {
        // The copy yields the processor to the GUI thread when both want it
        // (Linux: the nice value is per thread); it waits on the disk anyway.
        ::setpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()), kCopyNice);
        *result = copier->Copy(source, target);
        const CCopyResult copy = *result;
        QMetaObject::invokeMethod(this, [this, copy, generation] { Deliver(copy, generation); },
                                  Qt::QueuedConnection);
    });
    return true;
}

void CBackgroundCopy::Cancel()
{
    if (m_running && m_copier)
        m_copier->Cancel();
}

void CBackgroundCopy::Wait()
{
    if (m_thread.joinable())
        m_thread.join();
    if (m_running && m_result)
        Deliver(*m_result, m_generation);
}

void CBackgroundCopy::Deliver(const CCopyResult& result, unsigned generation)
{
    // A report of a copy already delivered by Wait (or of an older copy) is dropped.
    if (!m_running || generation != m_generation)
        return;
    m_running = false;
    if (m_thread.joinable())
        m_thread.join();
    emit Finished(result);
}
