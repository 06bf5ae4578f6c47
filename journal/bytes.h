#pragma once

#include "records/error.h"
#include "table/le.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Little-endian fields of the journal's files, written and read in order.
// The reader never looks past its end: a field that does not fit raises
// the damage text it was given.
namespace zent5::journal {

class ByteWriter {
public:
    void u8(uint8_t v) { m_bytes.push_back(v); }
    void u16(uint16_t v) { put(v, 2); }
    void u32(uint32_t v) { put(v, 4); }
    void i32(int32_t v) { put(uint32_t(v), 4); }
    void i64(int64_t v) { put(uint64_t(v), 8); }
    void raw(const void* data, size_t size)
    {
        const auto* p = static_cast<const uint8_t*>(data);
        m_bytes.insert(m_bytes.end(), p, p + size);
    }
    // u16 length, then the bytes.
    void text(std::string_view s)
    {
        if (s.size() > 0xFFFF)
            throw Error("Текст длиннее 65535 байт не помещается в запись журнала");
        u16(uint16_t(s.size()));
        raw(s.data(), s.size());
    }
    // Writes a u32 over the four bytes at `offset`, for fields known only at the end.
    void patch32(size_t offset, uint32_t v) { le::put32(m_bytes.data() + offset, v); }

    size_t size() const { return m_bytes.size(); }
    const std::vector<uint8_t>& bytes() const { return m_bytes; }
    std::vector<uint8_t> take() { return std::move(m_bytes); }

private:
    void put(uint64_t v, int width)
    {
        for (int i = 0; i < width; ++i)
            m_bytes.push_back(uint8_t(v >> (8 * i)));
    }

    std::vector<uint8_t> m_bytes;
};

class ByteReader {
public:
    ByteReader(const uint8_t* data, size_t size, std::string damagedText)
        : m_data(data), m_size(size), m_damaged(std::move(damagedText))
    {
    }

    uint8_t u8() { return need(1)[0]; }
    uint16_t u16() { return le::get16(need(2)); }
    uint32_t u32() { return le::get32(need(4)); }
    int32_t i32() { return int32_t(u32()); }
    int64_t i64()
    {
        const uint8_t* p = need(8);
        return int64_t(uint64_t(le::get32(p)) | (uint64_t(le::get32(p + 4)) << 32));
    }
    const uint8_t* raw(size_t size) { return need(size); }
    std::string text()
    {
        const size_t n = u16();
        const uint8_t* p = need(n);
        return std::string(reinterpret_cast<const char*>(p), n);
    }

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

} // namespace zent5::journal
