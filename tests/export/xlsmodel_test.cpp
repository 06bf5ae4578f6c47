#include "export/xlsworkbook.h"
#include "export/xlstext.h"

#include <gtest/gtest.h>

#include <stdexcept>

using namespace zent5;

namespace {

struct Bounds {
    int left, top, right, bottom;
    bool operator==(const Bounds&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Bounds& b)
{
    return os << "(" << b.left << "," << b.top << "," << b.right << "," << b.bottom << ")";
}

std::vector<Bounds> rangesOf(const XlsWorksheet& sheet)
{
    std::vector<Bounds> out;
    for (int i = 0; i < sheet.RangeCount(); ++i) {
        const XlsRange& r = sheet.RangeAt(i);
        out.push_back({r.Left(), r.Top(), r.Right(), r.Bottom()});
    }
    return out;
}

Bounds used(const XlsWorksheet& sheet)
{
    const XlsArea& a = sheet.UsedArea();
    return {a.Left, a.Top, a.Right, a.Bottom};
}

// Requests in order, then the list, UsedArea and TallestRange that result.
struct RangeCase {
    const char* name;
    std::vector<Bounds> requests;
    std::vector<Bounds> ranges;
    Bounds usedArea;
    int tallest;
};

void PrintTo(const RangeCase& c, std::ostream* os) { *os << c.name; }

class RangeRequests : public ::testing::TestWithParam<RangeCase> {};

TEST_P(RangeRequests, ListAreaAndTallest)
{
    XlsWorkbook book;
    XlsWorksheet& sheet = book.AddSheet();
    for (const Bounds& b : GetParam().requests)
        sheet.Range(b.left, b.top, b.right, b.bottom);
    EXPECT_EQ(rangesOf(sheet), GetParam().ranges);
    EXPECT_EQ(used(sheet), GetParam().usedArea);
    EXPECT_EQ(sheet.TallestRange(), GetParam().tallest);
}

const RangeCase kRangeCases[] = {
    {"FirstCell", {{2, 5, 2, 5}}, {{2, 5, 2, 5}}, {2, 5, 2, 5}, 1},
    {"RowByRowLeftToRight",
     {{0, 0, 0, 0}, {1, 0, 1, 0}, {2, 0, 2, 0}, {0, 1, 0, 1}, {1, 1, 1, 1}, {2, 1, 2, 1}},
     {{0, 0, 0, 0}, {1, 0, 1, 0}, {2, 0, 2, 0}, {0, 1, 0, 1}, {1, 1, 1, 1}, {2, 1, 2, 1}},
     {0, 0, 2, 1},
     1},
    {"MergedAreaSwallowsCells",
     {{1, 0, 1, 0}, {1, 1, 1, 1}, {0, 0, 2, 1}},
     {{0, 0, 2, 1}},
     {0, 0, 2, 1},
     2},
    {"UsedAreaNeverShrinks", {{3, 9, 3, 9}, {0, 5, 0, 5}}, {{0, 5, 0, 5}, {3, 9, 3, 9}}, {0, 5, 3, 9}, 1},
    {"SameTopKeepsCreationOrder", {{5, 2, 5, 2}, {1, 2, 1, 2}, {3, 2, 3, 2}}, {{5, 2, 5, 2}, {1, 2, 1, 2}, {3, 2, 3, 2}}, {1, 2, 5, 2}, 1},
    {"EarlierRowInsertedBefore", {{0, 4, 0, 4}, {0, 1, 0, 1}, {0, 3, 0, 3}}, {{0, 1, 0, 1}, {0, 3, 0, 3}, {0, 4, 0, 4}}, {0, 1, 0, 4}, 1},
    // A tall range reaches rows far below its top; a cell inside it replaces it.
    {"CellInsideTallRange",
     {{0, 0, 0, 0}, {1, 1, 1, 10}, {4, 5, 4, 5}, {1, 7, 1, 7}},
     {{0, 0, 0, 0}, {4, 5, 4, 5}, {1, 7, 1, 7}},
     {0, 0, 4, 10},
     1},
    {"RemovalKeepsTallestOfTheRest",
     {{0, 0, 0, 3}, {2, 0, 2, 5}, {0, 1, 0, 1}},
     {{2, 0, 2, 5}, {0, 1, 0, 1}},
     {0, 0, 2, 5},
     6},
    {"OverlapOnTheRightEdge", {{0, 0, 2, 0}, {2, 0, 3, 0}}, {{2, 0, 3, 0}}, {0, 0, 3, 0}, 1},
};

INSTANTIATE_TEST_SUITE_P(Worksheet, RangeRequests, ::testing::ValuesIn(kRangeCases),
                         [](const ::testing::TestParamInfo<RangeCase>& i) { return std::string(i.param.name); });

TEST(Worksheet, SameBoundsGiveSameRangeWithItsValue)
{
    XlsWorkbook book;
    XlsWorksheet& sheet = book.AddSheet();
    XlsRange& a = sheet.Range(1, 2, 3, 4);
    a.SetValue(7.5);
    a.Format().Font.Bold = true;
    XlsRange& b = sheet.Range(1, 2, 3, 4);
    EXPECT_EQ(&a, &b);
    EXPECT_EQ(std::get<double>(b.Value()), 7.5);
    EXPECT_TRUE(b.Format().Font.Bold);
    EXPECT_EQ(sheet.RangeCount(), 1);
    EXPECT_EQ(&b.Worksheet(), &sheet);
}

TEST(Worksheet, BadBoundsAreRefused)
{
    XlsWorkbook book;
    XlsWorksheet& sheet = book.AddSheet();
    EXPECT_THROW(sheet.Range(-1, 0, 0, 0), std::invalid_argument);
    EXPECT_THROW(sheet.Range(2, 0, 1, 0), std::invalid_argument);
    EXPECT_THROW(sheet.Range(0, 3, 0, 2), std::invalid_argument);
    EXPECT_EQ(sheet.RangeCount(), 0);
    EXPECT_TRUE(sheet.UsedArea().IsEmpty());
}

TEST(Worksheet, ManyCellsRowByRowStayInOrder)
{
    XlsWorkbook book;
    XlsWorksheet& sheet = book.AddSheet();
    for (int r = 0; r < 200; ++r)
        for (int c = 0; c < 9; ++c)
            sheet.Range(c, r, c, r);
    ASSERT_EQ(sheet.RangeCount(), 1800);
    for (int i = 0; i < sheet.RangeCount(); ++i) {
        EXPECT_EQ(sheet.RangeAt(i).Top(), i / 9);
        EXPECT_EQ(sheet.RangeAt(i).Left(), i % 9);
    }
}

TEST(Worksheet, RowAndColumnInfoFirstEntryCounts)
{
    XlsWorkbook book;
    XlsWorksheet& sheet = book.AddSheet();
    sheet.ColumnInfos = {{2, 1000}, {2, 3000}};
    sheet.RowInfos = {{4, 400}, {4, 500}};
    ASSERT_NE(sheet.ColumnInfo(2), nullptr);
    EXPECT_EQ(sheet.ColumnInfo(2)->Width, 1000);
    EXPECT_EQ(sheet.ColumnInfo(3), nullptr);
    ASSERT_NE(sheet.RowInfo(4), nullptr);
    EXPECT_EQ(sheet.RowInfo(4)->Height, 400);
}

TEST(RangeValue, TextIsNormalisedNumbersAreNot)
{
    struct Case {
        const char* in;
        std::u16string stored;
    };
    const Case cases[] = {
        {"a\r\nb", u"a\nb"},
        {"\r\n\r\n", u"\n\n"},
        {"a\rb\n", u"a\rb\n"},        // lone breaks stay
        {"канат 12,5", u"канат 12,5"}, // code page 1251 letters
        {"σ=日本", u"?=??"},           // characters that code page has not
        {"😀", u"?"},                  // one character outside the plane, one '?'
        {"", u""},
    };
    XlsWorkbook book;
    XlsRange& cell = book.AddSheet().Range(0, 0, 0, 0);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.in);
        cell.SetValue(c.in);
        ASSERT_TRUE(std::holds_alternative<std::u16string>(cell.Value()));
        EXPECT_EQ(cell.TextForm(), c.stored);
        EXPECT_FALSE(cell.IsNumber());
    }
    cell.SetValue(0.1 + 0.2);
    EXPECT_TRUE(cell.IsNumber());
    EXPECT_EQ(std::get<double>(cell.Value()), 0.1 + 0.2);
    EXPECT_TRUE(cell.TextForm().empty());
}

TEST(Workbook, DefaultSheetNames)
{
    struct Case {
        std::vector<std::string> before; // names of the sheets already there
        const char* added;
    };
    const Case cases[] = {
        {{}, "Sheet1"},
        {{"Sheet2"}, "Sheet3"},
        {{"Data"}, "Sheet2"},
        {{"sheet2"}, "Sheet3"}, // letter case does not matter
        {{"Sheet3", "SHEET4"}, "Sheet5"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.added);
        XlsWorkbook book;
        for (const auto& n : c.before)
            book.AddSheet().SetName(n);
        XlsWorksheet& added = book.AddSheet();
        EXPECT_EQ(added.Name(), c.added);
        EXPECT_EQ(added.Index(), int(c.before.size()));
        EXPECT_EQ(&book.Sheet(added.Index()), &added);
    }
}

std::string repeat(const std::string& s, int n)
{
    std::string out;
    for (int i = 0; i < n; ++i)
        out += s;
    return out;
}

TEST(Workbook, NamesAreCutThenTrimmed)
{
    struct Case {
        std::string in;
        size_t limit;
        std::string out;
    };
    const Case cases[] = {
        {std::string(40, 'x'), 31, std::string(31, 'x')},
        {"  ЗЕНТ-5  ", 31, "ЗЕНТ-5"},
        {std::string(30, 'x') + "  y", 31, std::string(30, 'x')},
        {"Лист" + repeat("ы", 30), 31, "Лист" + repeat("ы", 27)},
        {"  " + std::string(70, 'u'), 66, std::string(64, 'u')},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.in);
        XlsWorkbook book;
        if (c.limit == 31) {
            XlsWorksheet& s = book.AddSheet();
            s.SetName(c.in);
            EXPECT_EQ(s.Name(), c.out);
        } else {
            book.SetUserName(c.in);
            EXPECT_EQ(book.UserName(), c.out);
        }
    }
    EXPECT_EQ(XlsWorkbook().UserName(), "DUvazuv");
}

TEST(Text, CaseInsensitiveComparison)
{
    EXPECT_TRUE(xlstext::equalIgnoringCase(u"#,##0\"Р.\"", u"#,##0\"р.\""));
    EXPECT_TRUE(xlstext::equalIgnoringCase(u"ЁЖИК general", u"ёжик GENERAL"));
    EXPECT_FALSE(xlstext::equalIgnoringCase(u"Е", u"Ё"));
    EXPECT_FALSE(xlstext::equalIgnoringCase(u"ab", u"abc"));
}

} // namespace
