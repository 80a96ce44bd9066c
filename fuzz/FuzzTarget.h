#pragma once

// Shared by every fuzz target: the entry point libFuzzer calls (or the smoke
// runner, in builds without libFuzzer), a byte reader that fails on purpose,
// and the check that turns a broken promise of a parser into a crash the
// fuzzer keeps.

#include "base/ByteReader.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

// Aborts with the failed condition: the fuzzer saves the input that broke it.
#define FUZZ_CHECK(cond)                                                                   \
    do {                                                                                   \
        if (!(cond)) {                                                                     \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #cond); \
            std::abort();                                                                  \
        }                                                                                  \
    } while (0)

// Bytes in memory that behave like a failing card: after `failAfter` reads
// every read is an I/O error (-1), and when `shortReads` each read hands out
// at most half of what was asked (at least 1 byte). The first reads are
// served as CMemoryByteReader would.
class CFaultyByteReader : public IByteReader
{
public:
    CFaultyByteReader(const QByteArray& bytes, int failAfter, bool shortReads)
        : m_inner(bytes), m_failAfter(failAfter), m_shortReads(shortReads)
    {
    }
    int64_t Size() const override { return m_inner.Size(); }
    int64_t ReadAt(int64_t offset, char* out, int64_t length) override
    {
        if (m_reads++ >= m_failAfter)
            return -1;
        if (m_shortReads && length > 1)
            length /= 2;
        const int64_t n = m_inner.ReadAt(offset, out, length);
        m_bytesRead += n;
        return n;
    }

private:
    CMemoryByteReader m_inner;
    int m_failAfter;
    bool m_shortReads;
    int m_reads = 0;
};
