#include "base/ByteReader.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

int64_t CMemoryByteReader::ReadAt(int64_t offset, char* out, int64_t length)
{
    if (offset < 0 || length <= 0 || offset >= m_bytes.size())
        return 0;
    const int64_t n = std::min<int64_t>(length, m_bytes.size() - offset);
    std::memcpy(out, m_bytes.constData() + offset, static_cast<size_t>(n));
    m_bytesRead += n;
    return n;
}

CFileByteReader::CFileByteReader(const QString& path)
{
    // Only regular files: a FIFO or a device node would block the open or
    // the reads of whoever asked (often the GUI thread), so it is never
    // opened. O_NONBLOCK covers a file swapped for a FIFO after the stat; it
    // changes nothing for reads of a regular file.
    const QByteArray native = QFile::encodeName(path);
    struct stat st {};
    if (::stat(native.constData(), &st) == 0 && !S_ISREG(st.st_mode)) {
        m_errorCause = EINVAL;
        return;
    }
    const int fd = ::open(native.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        m_errorCause = errno;
        return;
    }
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        m_errorCause = EINVAL;
        ::close(fd);
        return;
    }
    m_fd = fd;
    m_size = int64_t(st.st_size);
}

CFileByteReader::~CFileByteReader()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

int64_t CFileByteReader::ReadAt(int64_t offset, char* out, int64_t length)
{
    if (m_fd < 0 || offset < 0 || length <= 0 || offset >= m_size)
        return 0;
    // One positioned read: no shared file position, one system call.
    const size_t want = static_cast<size_t>(std::min<int64_t>(length, m_size - offset));
    size_t done = 0;
    while (done < want) {
        const ssize_t n = ::pread(m_fd, out + done, want - done, static_cast<off_t>(offset) + static_cast<off_t>(done));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return done > 0 ? static_cast<int64_t>(done) : -1;
        }
        if (n == 0)
            break;
        done += static_cast<size_t>(n);
    }
    m_bytesRead += static_cast<int64_t>(done);
    return static_cast<int64_t>(done);
}

int64_t CFileByteReader::ReadAtIfCached(int64_t offset, char* out, int64_t length)
{
    if (m_fd < 0 || offset < 0 || length <= 0 || offset >= m_size)
        return 0;
    if (m_noWaitUnsupported)
        return -1;
    const size_t want = static_cast<size_t>(std::min<int64_t>(length, m_size - offset));
    iovec io{out, want};
    ssize_t n;
    do
        n = ::preadv2(m_fd, &io, 1, static_cast<off_t>(offset), RWF_NOWAIT);
    while (n < 0 && errno == EINTR);
    if (n < 0) {
        if (errno == EOPNOTSUPP || errno == EINVAL || errno == ENOSYS)
            m_noWaitUnsupported = true;
        return -1;
    }
    m_bytesRead += static_cast<int64_t>(n);
    return static_cast<int64_t>(n);
}

void CFileByteReader::WillRead(int64_t offset, int64_t length)
{
    if (m_fd >= 0 && offset >= 0 && offset < m_size && length > 0)
        ::posix_fadvise(m_fd, offset, length, POSIX_FADV_WILLNEED);
}

void CFileByteReader::WillReadRandomly()
{
    if (m_fd >= 0)
        ::posix_fadvise(m_fd, 0, 0, POSIX_FADV_RANDOM);
}
