#include "ByteReader.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

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
    if (!m_file.seek(offset))
        return -1;
    const int64_t n = m_file.read(out, std::min<int64_t>(length, m_size - offset));
    if (n > 0)
        m_bytesRead += n;
    return n;
}
