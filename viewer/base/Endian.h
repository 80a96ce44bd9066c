#pragma once

#include <cstdint>

// Fixed-width integers from a byte buffer, in the two byte orders the file
// formats use (AVI and executable resources: little-endian; MP4: big-endian).
// The caller guarantees that the bytes lie inside its buffer.

inline uint16_t ReadLe16(const char* p)
{
    const auto* u = reinterpret_cast<const unsigned char*>(p);
    return uint16_t(u[0] | (u[1] << 8));
}

inline uint32_t ReadLe32(const char* p)
{
    const auto* u = reinterpret_cast<const unsigned char*>(p);
    return uint32_t(u[0]) | (uint32_t(u[1]) << 8) | (uint32_t(u[2]) << 16) | (uint32_t(u[3]) << 24);
}

inline uint64_t ReadLe64(const char* p)
{
    return uint64_t(ReadLe32(p)) | (uint64_t(ReadLe32(p + 4)) << 32);
}

inline uint32_t ReadBe32(const char* p)
{
    const auto* u = reinterpret_cast<const unsigned char*>(p);
    return (uint32_t(u[0]) << 24) | (uint32_t(u[1]) << 16) | (uint32_t(u[2]) << 8) | uint32_t(u[3]);
}

inline uint64_t ReadBe64(const char* p)
{
    return (uint64_t(ReadBe32(p)) << 32) | ReadBe32(p + 4);
}
