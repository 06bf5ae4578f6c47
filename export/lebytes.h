#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

namespace zent5 {

// Builds a little-endian byte sequence field by field. Values are stored byte
// by byte, so the result does not depend on the host's byte order or on
// struct layout; earlier fields can be patched in place once a later value
// (a length, a stream position) is known.
class LeBytes {
public:
    size_t size() const { return m_bytes.size(); }
    const std::vector<uint8_t>& bytes() const { return m_bytes; }
    std::vector<uint8_t> take() { return std::move(m_bytes); }
    void reserve(size_t n) { m_bytes.reserve(n); }
    void clear() { m_bytes.clear(); }

    void u8(uint8_t v) { m_bytes.push_back(v); }
    void u16(uint16_t v)
    {
        const uint8_t b[2] = {uint8_t(v), uint8_t(v >> 8)};
        m_bytes.insert(m_bytes.end(), b, b + 2);
    }
    void u32(uint32_t v)
    {
        const uint8_t b[4] = {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
        m_bytes.insert(m_bytes.end(), b, b + 4);
    }
    void f64(double v)
    {
        uint64_t bits;
        std::memcpy(&bits, &v, sizeof bits);
        u32(uint32_t(bits));
        u32(uint32_t(bits >> 32));
    }
    void bytes(const uint8_t* data, size_t n) { m_bytes.insert(m_bytes.end(), data, data + n); }
    void bytes(const std::vector<uint8_t>& data) { bytes(data.data(), data.size()); }
    void fill(uint8_t v, size_t n) { m_bytes.insert(m_bytes.end(), n, v); }
    // UTF-16LE code units.
    void utf16(std::u16string_view s)
    {
        for (const char16_t c : s)
            u16(uint16_t(c));
    }

    void patchU16(size_t at, uint16_t v)
    {
        m_bytes.at(at + 1);
        m_bytes[at] = uint8_t(v);
        m_bytes[at + 1] = uint8_t(v >> 8);
    }
    void patchU32(size_t at, uint32_t v)
    {
        m_bytes.at(at + 3);
        for (int i = 0; i < 4; ++i)
            m_bytes[at + size_t(i)] = uint8_t(v >> (8 * i));
    }

private:
    std::vector<uint8_t> m_bytes;
};

} // namespace zent5
