#include "base/ByteReader.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
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
    : m_file(path)
{
    // Only regular files: a FIFO or a device node would block the open or
    // the reads of whoever asked (often the GUI thread).
    struct stat st {};
    const QByteArray native = QFile::encodeName(path);
    if (::stat(native.constData(), &st) == 0 && !S_ISREG(st.st_mode)) {
        m_errorCause = EINVAL;
        return;
    }
    errno = 0;
    m_open = m_file.open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    if (!m_open) {
        m_errorCause = errno != 0 ? errno : static_cast<int>(m_file.error());
        return;
    }
    m_size = m_file.size();
}

int64_t CFileByteReader::ReadAt(int64_t offset, char* out, int64_t length)
{
    if (!m_open || offset < 0 || length <= 0 || offset >= m_size)
        return 0;
    // One positioned read: no shared file position, one system call.
    const size_t want = static_cast<size_t>(std::min<int64_t>(length, m_size - offset));
    size_t done = 0;
    while (done < want) {
        const ssize_t n = ::pread(m_file.handle(), out + done, want - done, static_cast<off_t>(offset) + static_cast<off_t>(done));
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

void CFileByteReader::WillRead(int64_t offset, int64_t length)
{
    if (m_open && offset >= 0 && offset < m_size && length > 0)
        ::posix_fadvise(m_file.handle(), offset, length, POSIX_FADV_WILLNEED);
}
