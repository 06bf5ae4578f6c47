#include "records/lebytes.h"
#include "export/xlsrecords.h"
#include "tests/export/biffbytes.h"

#include <gtest/gtest.h>

using namespace zent5;
using zent5::testing::biffRecords;
using zent5::testing::hex;
using zent5::testing::sameBytes;

namespace {

std::u16string letters(size_t n)
{
    std::u16string s;
    for (size_t i = 0; i < n; ++i)
        s.push_back(char16_t(i % 3 == 0 ? u'Ж' : u'a' + i % 26));
    return s;
}

std::vector<uint8_t> utf16le(std::u16string_view s)
{
    LeBytes b;
    b.utf16(s);
    return b.bytes();
}

std::vector<uint8_t> slice(const std::vector<uint8_t>& b, size_t from, size_t n)
{
    return std::vector<uint8_t>(b.begin() + std::ptrdiff_t(from), b.begin() + std::ptrdiff_t(from + n));
}

TEST(SharedStrings, LongStringSplitsAt4106Characters)
{
    const std::u16string text = letters(5000);
    LeBytes out;
    out.fill(0xEE, 100); // the table starts at stream position 100
    biff::SstBuilder sst(out);
    EXPECT_EQ(sst.add(text), 0u);
    sst.finish();
    const auto all = out.bytes();

    // SST: 8 + 3 + 8212 data bytes, counts 1 and 1, then 4106 characters.
    EXPECT_TRUE(sameBytes(slice(all, 100, 15), hex("FC 00 1F 20  01 00 00 00 01 00 00 00 88 13 01")));
    const std::vector<uint8_t> chars = utf16le(text);
    EXPECT_TRUE(sameBytes(slice(all, 115, 8212), slice(chars, 0, 8212)));
    // CONTINUE: the 16-bit flag, then the other 894 characters.
    const size_t cont = 100 + 4 + 8223;
    EXPECT_TRUE(sameBytes(slice(all, cont, 5), hex("3C 00 FD 06 01")));
    EXPECT_TRUE(sameBytes(slice(all, cont + 5, 1788), slice(chars, 8212, 1788)));
    // EXTSST: 8 per bucket; the first string at position 112, offset 12.
    const size_t ext = cont + 5 + 1788;
    EXPECT_TRUE(sameBytes(slice(all, ext, all.size() - ext), hex("FF 00 0A 00  08 00 70 00 00 00 0C 00 00 00")));
}

TEST(SharedStrings, IndexEntriesForStrings0_8_16)
{
    LeBytes out;
    biff::SstBuilder sst(out);
    for (uint32_t i = 0; i < 17; ++i)
        EXPECT_EQ(sst.add(u"ab"), i);
    sst.finish();
    const auto recs = biffRecords(out.bytes());
    ASSERT_EQ(recs.size(), 2u);
    EXPECT_EQ(recs[0].id, 0x00FC);
    ASSERT_EQ(recs[0].data.size(), 8u + 17 * 7);
    EXPECT_TRUE(sameBytes(slice(recs[0].data, 0, 15), hex("11 00 00 00 11 00 00 00  02 00 01 61 00 62 00")));
    EXPECT_TRUE(sameBytes(out.bytes(), [&] {
        std::vector<uint8_t> all = slice(out.bytes(), 0, 4 + 8 + 17 * 7);
        const auto ext = hex("FF 00 1A 00  08 00"
                             " 0C 00 00 00 0C 00 00 00" // string 0
                             " 44 00 00 00 44 00 00 00" // string 8
                             " 7C 00 00 00 7C 00 00 00"); // string 16
        all.insert(all.end(), ext.begin(), ext.end());
        return all;
    }()));
}

// A string that would start with fewer than five bytes left in the record
// starts in a CONTINUE record of its own, without the character flag.
TEST(SharedStrings, HeaderNeverSplitFromFirstCharacter)
{
    struct Case {
        size_t firstLength;   // characters of the string before
        const char* expected; // the records after the first one
    };
    const Case cases[] = {
        // 3 bytes left: the next string begins in a fresh CONTINUE.
        {4105, "3C 00 07 00  02 00 01 78 00 79 00"},
        // 5 bytes left: header and one character fit, the rest continues.
        {4104, "3C 00 05 00  01 79 00 7A 00"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.firstLength);
        LeBytes out;
        biff::SstBuilder sst(out);
        sst.add(letters(c.firstLength));
        sst.add(c.firstLength == 4105 ? u"xy" : u"xyz");
        sst.finish();
        const auto recs = biffRecords(out.bytes());
        ASSERT_EQ(recs.size(), 3u);
        EXPECT_LE(recs[0].data.size(), 8224u);
        const auto& first = recs[0].data;
        if (c.firstLength == 4104)
            EXPECT_TRUE(sameBytes(slice(first, first.size() - 5, 5), hex("03 00 01 78 00")));
        else
            EXPECT_EQ(first.size(), 8u + 3 + 2 * 4105);
        EXPECT_TRUE(sameBytes(slice(out.bytes(), recs[1].pos, recs[2].pos - recs[1].pos), hex(c.expected)));
    }
}

TEST(SharedStrings, NothingWithoutStrings)
{
    LeBytes out;
    out.u8(1);
    biff::SstBuilder sst(out);
    sst.finish();
    EXPECT_EQ(out.size(), 1u);
}

TEST(SharedStrings, ManyStringsKeepEveryRecordWithinLimit)
{
    LeBytes out;
    biff::SstBuilder sst(out);
    const uint32_t n = 5000;
    for (uint32_t i = 0; i < n; ++i)
        sst.add(letters(1 + i % 40));
    sst.finish();
    const auto recs = biffRecords(out.bytes());
    size_t buckets = 0;
    for (const auto& r : recs) {
        EXPECT_LE(r.data.size(), 8224u);
        if (r.id == 0x00FF)
            buckets = (r.data.size() - 2) / 8;
    }
    EXPECT_EQ(recs.front().id, 0x00FC);
    EXPECT_EQ(zent5::testing::u32At(recs.front().data, 0), n);
    EXPECT_EQ(buckets, (n + 7) / 8);

    // Every bucket entry points at its string's header: count and flag.
    const auto& all = out.bytes();
    const auto ext = std::find_if(recs.begin(), recs.end(), [](const auto& r) { return r.id == 0x00FF; });
    ASSERT_NE(ext, recs.end());
    for (size_t b = 0; b < buckets; ++b) {
        const uint32_t pos = zent5::testing::u32At(ext->data, 2 + 8 * b);
        const uint16_t inRecord = zent5::testing::u16At(ext->data, 2 + 8 * b + 4);
        const size_t string = 8 * b;
        SCOPED_TRACE(string);
        EXPECT_EQ(zent5::testing::u16At(all, pos), 1 + string % 40);
        EXPECT_EQ(all.at(pos + 2), 0x01);
        const auto rec = std::prev(std::upper_bound(recs.begin(), recs.end(), pos,
                                                    [](size_t p, const auto& r) { return p < r.pos; }));
        EXPECT_EQ(pos - rec->pos, inRecord);
    }
}

} // namespace
