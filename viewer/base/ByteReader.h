#pragma once

#include "base/Endian.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <memory>

// Random-access byte source for the parsers, so that tests can feed bytes,
// truncated files and garbage. ReadAt never reads outside [0, Size()): a read
// that starts at or past the end returns 0 bytes, one that crosses it is short.
class IByteReader
{
public:
    virtual ~IByteReader() = default;
    virtual int64_t Size() const = 0;
    // Copies up to `length` bytes at `offset` into `out`; returns the number
    // copied (0 past the end or for a negative offset), or -1 on an I/O error.
    virtual int64_t ReadAt(int64_t offset, char* out, int64_t length) = 0;
    // Tells the source that these ranges will be read soon, so a file can
    // fetch them in parallel instead of one seek at a time. Optional.
    virtual void WillRead(int64_t /*offset*/, int64_t /*length*/) {}
    // ReadAt that never waits for storage: a file copies the bytes only when
    // all of them are in memory already and otherwise returns -1 at once
    // (possibly starting to fetch them); a short count means the same. A
    // source that never waits reads as ReadAt does.
    virtual int64_t ReadAtIfCached(int64_t offset, char* out, int64_t length) { return ReadAt(offset, out, length); }
    // Tells the source that its reads jump around: a file then fetches only
    // the pages asked for (and announced), no read-ahead around them.
    // Call before the first read. Optional.
    virtual void WillReadRandomly() {}
    // Total bytes handed out so far (for the benchmarks).
    int64_t BytesRead() const { return m_bytesRead; }

protected:
    int64_t m_bytesRead = 0;
};

class CMemoryByteReader : public IByteReader
{
public:
    explicit CMemoryByteReader(QByteArray bytes) : m_bytes(std::move(bytes)) {}
    int64_t Size() const override { return m_bytes.size(); }
    int64_t ReadAt(int64_t offset, char* out, int64_t length) override;

private:
    QByteArray m_bytes;
};

// A file opened read-only for positioned reads (no shared position, so
// one reader must not be used by two threads at once, but several readers
// of one file may). Size() is the size at the time of opening. Each ReadAt
// is one pread (more only when interrupted), each ReadAtIfCached one
// preadv2, each hint one posix_fadvise; opening costs a stat, an open and
// an fstat, destruction a close.
class CFileByteReader : public IByteReader
{
public:
    // Opens read-only; only regular files are opened (anything else fails
    // with EINVAL without being touched). On failure IsOpen() is false and
    // ErrorCause() holds the system error number (errno) of the failed open.
    explicit CFileByteReader(const QString& path);
    ~CFileByteReader() override;
    CFileByteReader(const CFileByteReader&) = delete;
    CFileByteReader& operator=(const CFileByteReader&) = delete;
    bool IsOpen() const { return m_fd >= 0; }
    int ErrorCause() const { return m_errorCause; }
    int64_t Size() const override { return m_size; }
    int64_t ReadAt(int64_t offset, char* out, int64_t length) override;
    // One preadv2 with RWF_NOWAIT; where the system cannot read that way it
    // answers -1 from then on without asking.
    int64_t ReadAtIfCached(int64_t offset, char* out, int64_t length) override;
    void WillRead(int64_t offset, int64_t length) override;
    void WillReadRandomly() override;

private:
    int m_fd = -1;
    bool m_noWaitUnsupported = false;
    int m_errorCause = 0;
    int64_t m_size = 0;
};
