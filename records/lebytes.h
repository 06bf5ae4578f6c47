#pragma once

#include "records/bytesink.h"
#include "records/error.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

// Little-endian fields of every binary format the program reads or writes
// (the table file, the workbook stream, the journal's files, the archive
// image): built and read byte by byte, so the layout never depends on the
// host's byte order or on struct packing.
namespace zent5 {

namespace le {

inline uint16_t get16(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }

inline uint32_t get32(const uint8_t* p)
{
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

inline uint64_t get64(const uint8_t* p) { return uint64_t(get32(p)) | (uint64_t(get32(p + 4)) << 32); }

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

inline void put64(uint8_t* p, uint64_t v)
{
    put32(p, uint32_t(v));
    put32(p + 4, uint32_t(v >> 32));
}

} // namespace le

// Reads fields in order from bytes it never looks past: a field that does
// not fit raises the damage text it was given.
class LeReader {
public:
    LeReader(const uint8_t* data, size_t size, std::string damagedText)
        : m_data(data), m_size(size), m_damaged(std::move(damagedText))
    {
    }

    uint8_t u8() { return need(1)[0]; }
    uint16_t u16() { return le::get16(need(2)); }
    uint32_t u32() { return le::get32(need(4)); }
    uint64_t u64() { return le::get64(need(8)); }
    int32_t i32() { return int32_t(u32()); }
    int64_t i64() { return int64_t(u64()); }
    double f64()
    {
        const uint64_t bits = u64();
        double v;
        std::memcpy(&v, &bits, sizeof v);
        return v;
    }
    // `size` bytes, valid as long as the bytes read are.
    const uint8_t* raw(size_t size) { return need(size); }
    // Goes to a field's offset from the start.
    void seek(size_t offset)
    {
        if (offset > m_size)
            damaged();
        m_at = offset;
    }

    size_t position() const { return m_at; }
    size_t remaining() const { return m_size - m_at; }
    [[noreturn]] void damaged() const { throw Error(m_damaged); }

private:
    const uint8_t* need(size_t n)
    {
        if (n > m_size - m_at)
            damaged();
        const uint8_t* p = m_data + m_at;
        m_at += n;
        return p;
    }

    const uint8_t* m_data;
    size_t m_size;
    size_t m_at = 0;
    std::string m_damaged;
};

// Builds a little-endian byte sequence field by field, mirroring LeReader;
// earlier fields can be patched in place once a later value (a length, a
// stream position) is known.
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
    static void put16(uint8_t* at, uint16_t v) { le::put16(at, v); }
    static void put32(uint8_t* at, uint32_t v) { le::put32(at, v); }
    static void put64(uint8_t* at, double v)
    {
        uint64_t bits;
        std::memcpy(&bits, &v, sizeof bits);
        le::put64(at, bits);
    }

    void u8(uint8_t v) { *append(1) = v; }
    void u16(uint16_t v) { put16(append(2), v); }
    void u32(uint32_t v) { put32(append(4), v); }
    void u64(uint64_t v) { le::put64(append(8), v); }
    void i32(int32_t v) { u32(uint32_t(v)); }
    void i64(int64_t v) { u64(uint64_t(v)); }
    void f64(double v) { put64(append(8), v); }
    void bytes(const void* data, size_t n)
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
