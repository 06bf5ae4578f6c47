#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace zent5::testing {

// "09 08 10 00" -> bytes; spaces and line breaks are ignored.
inline std::vector<uint8_t> hex(std::string_view text)
{
    std::vector<uint8_t> out;
    int high = -1;
    for (const char c : text) {
        int v;
        if (c >= '0' && c <= '9')
            v = c - '0';
        else if (c >= 'A' && c <= 'F')
            v = c - 'A' + 10;
        else if (c >= 'a' && c <= 'f')
            v = c - 'a' + 10;
        else
            continue;
        if (high < 0) {
            high = v;
        } else {
            out.push_back(uint8_t(high * 16 + v));
            high = -1;
        }
    }
    return out;
}

inline std::string hexOf(const std::vector<uint8_t>& bytes, size_t from = 0, size_t count = 16)
{
    std::string s;
    char buf[4];
    for (size_t i = from; i < bytes.size() && i < from + count; ++i) {
        std::snprintf(buf, sizeof buf, "%02X ", bytes[i]);
        s += buf;
    }
    return s;
}

// Exact comparison that names the first differing offset; a shorter or
// longer side fails as well.
inline ::testing::AssertionResult sameBytes(const std::vector<uint8_t>& actual, const std::vector<uint8_t>& expected)
{
    const size_t n = std::min(actual.size(), expected.size());
    for (size_t i = 0; i < n; ++i)
        if (actual[i] != expected[i])
            return ::testing::AssertionFailure()
                   << "first difference at offset " << i << ": actual " << hexOf(actual, i) << "| expected "
                   << hexOf(expected, i);
    if (actual.size() != expected.size())
        return ::testing::AssertionFailure() << "sizes differ: actual " << actual.size() << ", expected "
                                             << expected.size() << "; first extra bytes at offset " << n << ": "
                                             << hexOf(actual.size() > n ? actual : expected, n);
    return ::testing::AssertionSuccess();
}

inline uint16_t u16At(const std::vector<uint8_t>& b, size_t at) { return uint16_t(b.at(at) | b.at(at + 1) << 8); }
inline uint32_t u32At(const std::vector<uint8_t>& b, size_t at) { return uint32_t(u16At(b, at)) | uint32_t(u16At(b, at + 2)) << 16; }

struct BiffRecord {
    uint16_t id;
    size_t pos; // of the record header in the stream
    std::vector<uint8_t> data;
};

// Splits a stream into its records (CONTINUE records stay separate).
inline std::vector<BiffRecord> biffRecords(const std::vector<uint8_t>& stream)
{
    std::vector<BiffRecord> out;
    size_t at = 0;
    while (at + 4 <= stream.size()) {
        const uint16_t id = u16At(stream, at);
        const uint16_t len = u16At(stream, at + 2);
        if (at + 4 + len > stream.size()) {
            ADD_FAILURE() << "record 0x" << std::hex << id << " at " << std::dec << at << " runs past the stream";
            break;
        }
        out.push_back({id, at, std::vector<uint8_t>(stream.begin() + std::ptrdiff_t(at + 4),
                                                    stream.begin() + std::ptrdiff_t(at + 4 + len))});
        at += 4 + len;
    }
    EXPECT_EQ(at, stream.size()) << "trailing bytes after the last record";
    return out;
}

inline std::vector<uint16_t> recordIds(const std::vector<BiffRecord>& records)
{
    std::vector<uint16_t> ids;
    for (const auto& r : records)
        ids.push_back(r.id);
    return ids;
}

} // namespace zent5::testing
