#pragma once

#include "bytesink.h"

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
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

    size_t size() const { return m_flushed + m_size; }
    // A copy of the bytes not handed on yet (all of them without a sink).
    std::vector<uint8_t> bytes() const { return std::vector<uint8_t>(m_data.get(), m_data.get() + m_size); }
    // The same in place, valid until the next change.
    const uint8_t* data() const { return m_data.get(); }
    size_t held() const { return m_size; }
    std::vector<uint8_t> take()
    {
        std::vector<uint8_t> out = bytes();
        m_size = 0;
        return out;
    }
    void reserve(size_t n)
    {
        if (n > m_capacity)
            grow(n);
    }
    void clear() { m_size = 0; }

    // Hands the bytes gathered so far to the sink.
    void flush()
    {
        if (!m_sink)
            throw std::logic_error("LeBytes::flush without a sink");
        if (m_size > 0)
            m_sink->write(m_data.get(), m_size);
        m_flushed += m_size;
        m_size = 0;
    }
    void flushIfOver(size_t n)
    {
        if (m_size >= n)
            flush();
    }

    // Room for n more bytes at the end, to be filled in by the caller.
    uint8_t* append(size_t n)
    {
        if (n > m_capacity - m_size)
            grow(m_size + n);
        uint8_t* p = m_data.get() + m_size;
        m_size += n;
        return p;
    }
    // On a little-endian host the value's own bytes are already in order.
    template <class T>
    static void putLe(uint8_t* at, T v)
    {
        if constexpr (std::endian::native == std::endian::little) {
            std::memcpy(at, &v, sizeof v);
        } else {
            for (size_t i = 0; i < sizeof v; ++i)
                at[i] = uint8_t(v >> (8 * i));
        }
    }
    static void put16(uint8_t* at, uint16_t v) { putLe(at, v); }
    static void put32(uint8_t* at, uint32_t v) { putLe(at, v); }
    static void put64(uint8_t* at, double v)
    {
        uint64_t bits;
        std::memcpy(&bits, &v, sizeof bits);
        putLe(at, bits);
    }

    void u8(uint8_t v) { *append(1) = v; }
    void u16(uint16_t v) { put16(append(2), v); }
    void u32(uint32_t v) { put32(append(4), v); }
    void f64(double v) { put64(append(8), v); }
    void bytes(const uint8_t* data, size_t n)
    {
        if (n > 0)
            std::memcpy(append(n), data, n);
    }
    void bytes(const std::vector<uint8_t>& data) { bytes(data.data(), data.size()); }
    void fill(uint8_t v, size_t n)
    {
        if (n > 0)
            std::memset(append(n), v, n);
    }
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
            m_data[at + i - m_flushed] = b[i];
    }

private:
    void grow(size_t need)
    {
        const size_t capacity = std::max({need, size_t(256), 2 * m_capacity});
        auto data = std::make_unique_for_overwrite<uint8_t[]>(capacity);
        if (m_size > 0)
            std::memcpy(data.get(), m_data.get(), m_size);
        m_data = std::move(data);
        m_capacity = capacity;
    }

    ByteSink* m_sink = nullptr;
    size_t m_flushed = 0;
    // Not a vector: that would clear every byte before it is written.
    std::unique_ptr<uint8_t[]> m_data;
    size_t m_size = 0;
    size_t m_capacity = 0;
};

} // namespace zent5
