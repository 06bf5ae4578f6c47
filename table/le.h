#pragma once

#include <cstddef>
#include <cstdint>

// Little-endian fields of the table file, built and read byte by byte so the
// layout never depends on the host or on struct packing. Callers check that
// the bytes exist before reading them.
namespace zent5::le {

inline uint16_t get16(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }

inline uint32_t get32(const uint8_t* p)
{
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

inline void put16(uint8_t* p, uint16_t v)
{
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}

inline void put32(uint8_t* p, uint32_t v)
{
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
    p[2] = uint8_t(v >> 16);
    p[3] = uint8_t(v >> 24);
}

} // namespace zent5::le
