#include "tablefixture.h"

#include "records/error.h"
#include "records/measurementfields.h"
#include "table/le.h"

#include <ctime>

using namespace zent5;
using zent5::testing::TableFolder;

namespace {

// The 416 descriptor bytes a new measurement table holds, column by column.
std::string expectedDescriptors()
{
    struct D {
        const char* name;
        char type;
        int width;
        int decimals;
    } cols[] = {
        {"N", 'N', 18, 9},      {"DATE", 'C', 10, 0}, {"TIME", 'C', 8, 0},  {"SERIAL", 'N', 18, 9}, {"P", 'N', 18, 9},
        {"P_KG", 'N', 18, 9},   {"S", 'N', 18, 9},    {"S_KG", 'N', 18, 9}, {"F", 'N', 18, 9},      {"D", 'N', 18, 9},
        {"TYPE", 'C', 10, 0},   {"COMMENT", 'C', 100, 0}, {"F_MM", 'N', 18, 9},
    };
    std::string out;
    for (const D& d : cols) {
        std::string desc(32, '\0');
        desc.replace(0, std::string(d.name).size(), d.name);
        desc[11] = d.type;
        desc[16] = char(d.width);
        desc[17] = char(d.decimals);
        out += desc;
    }
    return out;
}

std::string hexAt(const std::string& a, const std::string& b)
{
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i)
        if (a[i] != b[i])
            return "first difference at offset " + std::to_string(i);
    return a.size() == b.size() ? "equal" : "sizes differ: " + std::to_string(a.size()) + " vs " + std::to_string(b.size());
}

template <typename F> std::string errorOf(F&& f)
{
    try {
        f();
    } catch (const Error& e) {
        return e.what();
    }
    return "(no error)";
}

} // namespace

class DbfTableFile : public TableFolder {};

TEST_F(DbfTableFile, NewTableIsTheExact450Bytes)
{
    DbfTable t;
    aim(t);
    t.CreateNew();
    EXPECT_FALSE(t.Active());
    const std::string bytes = readFile(path("t.db"));
    ASSERT_EQ(bytes.size(), 450u);

    std::string expected(32, '\0');
    expected[0] = 0x03;
    // date bytes 1..3 are checked apart
    expected[8] = char(0xC1);
    expected[9] = 0x01;
    expected[10] = 0x23;
    expected[11] = 0x01;
    expected[29] = char(0xC9);
    expected += expectedDescriptors();
    expected += '\x0D';
    expected += '\x1A';
    std::string got = bytes;
    got.replace(1, 3, std::string(3, '\0'));
    EXPECT_EQ(got, expected) << hexAt(got, expected);

    const std::time_t now = std::time(nullptr);
    std::tm local {};
    localtime_r(&now, &local);
    EXPECT_EQ(uint8_t(bytes[1]), local.tm_year);
    EXPECT_EQ(uint8_t(bytes[2]), local.tm_mon + 1);
    EXPECT_EQ(uint8_t(bytes[3]), local.tm_mday);
}

TEST_F(DbfTableFile, ThreeRowsAndCloseGive1323Bytes)
{
    DbfTable t;
    createOpen(t);
    for (int i = 1; i <= 3; ++i)
        appendRow(t, i, i * 1.5);
    t.Close();
    const std::string bytes = readFile(path("t.db"));
    ASSERT_EQ(bytes.size(), 1323u);
    EXPECT_EQ(le::get32(reinterpret_cast<const uint8_t*>(bytes.data()) + 4), 3u);
    EXPECT_EQ(bytes.back(), '\x1A');
    // Record 2: live flag, N = 2, DATE empty.
    const std::string rec2 = bytes.substr(449 + 291, 291);
    EXPECT_EQ(rec2.substr(0, 19), "        2.000000000");
    EXPECT_EQ(rec2.substr(19, 10), std::string(10, ' '));
    EXPECT_EQ(rec2.substr(55, 18), "       3.000000000");
}

TEST_F(DbfTableFile, RowRoundTripKeepsEveryColumn)
{
    DbfTable t;
    createOpen(t);
    t.Append();
    t.SetFieldValue("n", 7.0);
    t.SetFieldValue("DATE", std::string("07.03.2014"));
    t.SetFieldValue("TIME", std::string("09:05:07"));
    t.SetFieldValue("SERIAL", 65535.0);
    t.SetFieldValue("P", 12.34);
    t.SetFieldValue("P_KG", 1258.0);
    t.SetFieldValue("S", 436.0);
    t.SetFieldValue("S_KG", 4446.0);
    t.SetFieldValue("F", 28.3);
    t.SetFieldValue("D", 7.5);
    t.SetFieldValue("TYPE", std::string("проволока"));
    t.SetFieldValue("COMMENT", std::string(" Образец №1, ёж"));
    t.SetFieldValue("F_MM", 0.283);
    t.Post();
    t.Close();

    DbfTable r;
    aim(r);
    r.Open();
    r.First();
    EXPECT_EQ(r.VisibleCount(), 1);
    EXPECT_EQ(r.FieldNumber("N"), 7);
    EXPECT_EQ(r.FieldText("DATE"), "07.03.2014");
    EXPECT_EQ(r.FieldText("TIME"), "09:05:07");
    EXPECT_EQ(r.FieldNumber("SERIAL"), 65535);
    EXPECT_EQ(r.FieldNumber("P"), 12.34);
    EXPECT_EQ(r.FieldNumber("P_KG"), 1258);
    EXPECT_EQ(r.FieldNumber("S"), 436.0);
    EXPECT_EQ(r.FieldNumber("S_KG"), 4446);
    EXPECT_EQ(r.FieldNumber("F"), 28.3);
    EXPECT_EQ(r.FieldNumber("D"), 7.5);
    EXPECT_EQ(r.FieldText("TYPE"), "проволока");
    EXPECT_EQ(r.FieldText("COMMENT"), " Образец №1, ёж"); // leading space kept
    EXPECT_EQ(r.FieldNumber("F_MM"), 0.283);
    EXPECT_EQ(std::get<std::string>(r.ReadField(1, "type")), "проволока");

    // The file holds code page 1251.
    const std::string bytes = readFile(path("t.db"));
    EXPECT_EQ(bytes.substr(449 + 163, 10), "\xEF\xF0\xEE\xE2\xEE\xEB\xEE\xEA\xE0 ");
}
