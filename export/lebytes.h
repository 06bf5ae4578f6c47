#pragma once

#include "bytesink.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string_view>
#include <vector>

namespace zent5 {

// Builds a little-endian byte sequence field by field. Values are stored byte
// by byte, so the result does not depend on the host's byte order or on
// struct layout; earlier fields can be patched in place once a later value
// (a length, a stream position) is known.
//
// Given a sink, the bytes can be handed on in pieces (flush) so that a long
// stream is never held whole; size() and the patch positions then still count
// from the start of the stream, and a patch of bytes already handed on goes
// to the sink.
class LeBytes {
public:
    LeBytes() = default;
    explicit LeBytes(ByteSink& sink) : m_sink(&sink) {}

    size_t size() const { return m_flushed + m_bytes.size(); }
    // The bytes not handed on yet (all of them without a sink).
    const std::vector<uint8_t>& bytes() const { return m_bytes; }
    std::vector<uint8_t> take() { return std::move(m_bytes); }
    void reserve(size_t n) { m_bytes.reserve(n); }
    void clear() { m_bytes.clear(); }

    // Hands the bytes gathered so far to the sink.
    void flush()
    {
        if (!m_sink)
            throw std::logic_error("LeBytes::flush without a sink");
        if (!m_bytes.empty())
            m_sink->write(m_bytes.data(), m_bytes.size());
        m_flushed += m_bytes.size();
        m_bytes.clear();
    }
    void flushIfOver(size_t n)
    {
        if (m_bytes.size() >= n)
            flush();
    }

    // Room for n more bytes at the end, to be filled in by the caller.
    uint8_t* append(size_t n)
    {
        const size_t at = m_bytes.size();
        m_bytes.resize(at + n);
        return m_bytes.data() + at;
    }
    static void put16(uint8_t* at, uint16_t v)
    {
        at[0] = uint8_t(v);
        at[1] = uint8_t(v >> 8);
    }
    static void put32(uint8_t* at, uint32_t v)
    {
        for (int i = 0; i < 4; ++i)
            at[i] = uint8_t(v >> (8 * i));
    }
    static void put64(uint8_t* at, double v)
    {
        uint64_t bits;
        std::memcpy(&bits, &v, sizeof bits);
        for (int i = 0; i < 8; ++i)
            at[i] = uint8_t(bits >> (8 * i));
    }

    void u8(uint8_t v) { m_bytes.push_back(v); }
    void u16(uint16_t v) { put16(append(2), v); }
    void u32(uint32_t v) { put32(append(4), v); }
    void f64(double v) { put64(append(8), v); }
    void bytes(const uint8_t* data, size_t n) { m_bytes.insert(m_bytes.end(), data, data + n); }
    void bytes(const std::vector<uint8_t>& data) { bytes(data.data(), data.size()); }
    void fill(uint8_t v, size_t n) { m_bytes.insert(m_bytes.end(), n, v); }
    // UTF-16LE code units.
    void utf16(std::u16string_view s)
    {
        uint8_t* p = append(2 * s.size());
        for (const char16_t c : s) {
            put16(p, uint16_t(c));
            p += 2;
        }
    }

    void patchU16(size_t at, uint16_t v)
    {
        uint8_t b[2];
        put16(b, v);
        patchBytes(at, b, 2);
    }
    void patchU32(size_t at, uint32_t v)
    {
        uint8_t b[4];
        put32(b, v);
        patchBytes(at, b, 4);
    }

    void patchBytes(size_t at, const uint8_t* b, size_t n)
    {
        if (at + n > size())
            throw std::out_of_range("LeBytes: patch past the end");
        const size_t handedOn = at < m_flushed ? std::min(n, m_flushed - at) : 0;
        if (handedOn > 0)
            m_sink->overwrite(at, b, handedOn);
        for (size_t i = handedOn; i < n; ++i)
            m_bytes[at + i - m_flushed] = b[i];
    }

private:
    ByteSink* m_sink = nullptr;
    size_t m_flushed = 0;
    std::vector<uint8_t> m_bytes;
};

} // namespace zent5
