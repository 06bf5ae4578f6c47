#include "export/xlsworkbook.h"
#include "export/xlstext.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
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
    // A range on the lowest row, right of everything there, goes at the end;
    // one to the left of a range ending on that row must be checked.
    {"TallRangeEndsOnTheLowestRow",
     {{0, 0, 3, 2}, {5, 2, 5, 2}, {2, 2, 2, 2}},
     {{5, 2, 5, 2}, {2, 2, 2, 2}},
     {0, 0, 5, 2},
     1},
    {"LowerStartAfterTallRangeGoesBeforeIt",
     {{0, 0, 0, 0}, {1, 1, 1, 4}, {3, 0, 3, 0}},
     {{0, 0, 0, 0}, {3, 0, 3, 0}, {1, 1, 1, 4}},
     {0, 0, 3, 4},
     4},
    {"RightOfTheLowestRowButInsideATallerRange",
     {{0, 0, 0, 0}, {2, 1, 2, 1}, {4, 0, 4, 3}, {3, 1, 3, 1}, {4, 1, 4, 1}},
     {{0, 0, 0, 0}, {2, 1, 2, 1}, {3, 1, 3, 1}, {4, 1, 4, 1}},
     {0, 0, 4, 3},
     1},
    {"AfterRemovalTheLowestRowIsCountedAgain",
     {{0, 0, 0, 5}, {3, 1, 3, 1}, {0, 2, 0, 2}, {1, 2, 1, 2}},
     {{3, 1, 3, 1}, {0, 2, 0, 2}, {1, 2, 1, 2}},
     {0, 0, 3, 5},
     1},
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

// The sheet's list against a plain one that is searched whole every time:
// same ranges in the same order after every request of a long random run.
TEST(Worksheet, RandomRequestsMatchAPlainList)
{
    for (const unsigned seed : {1u, 2u, 3u, 4u}) {
        SCOPED_TRACE(seed);
        XlsWorkbook book;
        XlsWorksheet& sheet = book.AddSheet();
        std::vector<Bounds> plain;
        unsigned x = seed;
        auto next = [&](int n) {
            x = x * 1103515245u + 12345u;
            return int((x >> 16) % unsigned(n));
        };
        int row = 0, column = 0;
        for (int k = 0; k < 3000; ++k) {
            Bounds b;
            // Mostly the next cell of a sheet filled row by row, sometimes a
            // jump back, a merged area or a tall range.
            const int kind = next(10);
            if (kind < 6) {
                b = {column, row, column, row};
                if (++column == 6) {
                    column = 0;
                    ++row;
                }
            } else {
                const int top = std::max(0, row - next(4));
                const int left = next(8);
                b = {left, top, left + (kind == 9 ? next(3) : 0), top + (kind >= 8 ? next(4) : 0)};
            }
            sheet.Range(b.left, b.top, b.right, b.bottom);

            bool same = false;
            std::vector<Bounds> kept;
            for (const Bounds& r : plain) {
                if (r == b) {
                    same = true;
                    kept.push_back(r);
                } else if (!(r.left <= b.right && b.left <= r.right && r.top <= b.bottom && b.top <= r.bottom))
                    kept.push_back(r);
            }
            if (!same) {
                auto at = std::find_if(kept.begin(), kept.end(), [&](const Bounds& r) { return r.top > b.top; });
                kept.insert(at, b);
            }
            plain = kept;
            ASSERT_EQ(rangesOf(sheet), plain) << "after request " << k << " " << b;
        }
    }
}

// Ranges find their sheet from where they are stored: every range of two
// sheets filled in turn, over many storage blocks, names its own sheet.
TEST(Worksheet, RangesKnowTheirSheet)
{
    XlsWorkbook book;
    XlsWorksheet& a = book.AddSheet();
    XlsWorksheet& b = book.AddSheet();
    for (int r = 0; r < 1500; ++r)
        for (int c = 0; c < 9; ++c) {
            a.Range(c, r, c, r);
            b.Range(c, r, c, r);
        }
    for (const XlsWorksheet* sheet : {&a, &b})
        for (int i = 0; i < sheet->RangeCount(); ++i)
            ASSERT_EQ(&sheet->RangeAt(i).Worksheet(), sheet) << i;
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

// A cell's value set again and again: texts shorter and longer than the one
// before, numbers and no value in between, texts of every length.
TEST(RangeValue, ChangesKeepTheLastValue)
{
    XlsWorkbook book;
    XlsWorksheet& sheet = book.AddSheet();
    XlsRange& cell = sheet.Range(0, 0, 0, 0);
    XlsRange& other = sheet.Range(1, 0, 1, 0);
    other.SetValue("сосед");
    std::string longText;
    for (int i = 0; i < 300000; ++i)
        longText += "ж"; // longer than a block of the text store
    struct Step {
        std::function<void()> set;
        const char16_t* expected; // null: a number
    };
    const Step steps[] = {
        {[&] { cell.SetValue("длинный текст"); }, u"длинный текст"},
        {[&] { cell.SetValue("ёж"); }, u"ёж"},
        {[&] { cell.SetValue("опять длиннее, чем было"); }, u"опять длиннее, чем было"},
        {[&] { cell.SetValue(2.5); }, nullptr},
        {[&] { cell.SetValue("после числа"); }, u"после числа"},
        {[&] { cell.ClearValue(); }, u""},
        {[&] { cell.SetValue(""); }, u""},
        {[&] { cell.SetValue("a\r\nb"); }, u"a\nb"},
    };
    for (size_t i = 0; i < std::size(steps); ++i) {
        SCOPED_TRACE(i);
        steps[i].set();
        if (steps[i].expected) {
            EXPECT_FALSE(cell.IsNumber());
            EXPECT_EQ(cell.TextForm(), steps[i].expected);
            EXPECT_EQ(cell.HasText(), *steps[i].expected != 0);
        } else {
            EXPECT_TRUE(cell.IsNumber());
            EXPECT_EQ(cell.Number(), 2.5);
        }
        EXPECT_EQ(other.TextForm(), u"сосед");
    }
    cell.SetValue(longText);
    EXPECT_TRUE(cell.TextForm() == std::u16string(300000, u'ж'));
    EXPECT_TRUE(cell.SingleByteText() == std::string(300000, '\xE6')); // ж in code page 1251
    other.SetValue("после длинного");
    EXPECT_EQ(other.TextForm(), u"после длинного");
    EXPECT_TRUE(cell.TextForm() == std::u16string(300000, u'ж'));
}

// Many cells with texts fill several blocks of the sheet's text store; each
// keeps its own text.
TEST(RangeValue, ManyTextsEachKeepTheirOwn)
{
    XlsWorkbook book;
    XlsWorksheet& sheet = book.AddSheet();
    auto textOf = [](int i) { return "строка " + std::to_string(i) + std::string(size_t(i % 50), 'x'); };
    for (int i = 0; i < 20000; ++i)
        sheet.Range(0, i, 0, i).SetValue(textOf(i));
    for (int i = 0; i < 20000; i += 997)
        EXPECT_EQ(xlstext::toUtf8(sheet.RangeAt(i).TextForm()), textOf(i)) << i;
}

// A cell's own format lives as long as the cell: a cell that replaces it
// starts from the defaults, and the other cells keep theirs.
TEST(RangeFormat, ReplacedCellStartsFromTheDefaults)
{
    XlsWorkbook book;
    XlsWorksheet& sheet = book.AddSheet();
    sheet.Range(0, 0, 0, 0).Format().Font.Bold = true;
    sheet.Range(1, 0, 1, 0).Format().Font.Italic = true;
    EXPECT_FALSE(sheet.Range(2, 0, 2, 0).HasOwnFormat());
    XlsRange& merged = sheet.Range(0, 0, 0, 1); // replaces the bold cell
    EXPECT_FALSE(merged.HasOwnFormat());
    EXPECT_FALSE(merged.Format().Font.Bold);
    merged.Format().WrapText = true;
    EXPECT_FALSE(merged.Format().Font.Bold);
    EXPECT_TRUE(sheet.Range(1, 0, 1, 0).Format().Font.Italic);
    EXPECT_TRUE(sheet.Range(0, 0, 0, 1).Format().WrapText);
    EXPECT_FALSE(sheet.Range(0, 5, 0, 5).Format().WrapText);
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

// The model's single-byte texts say the same as the UTF-16 conversion, for
// well-formed and malformed UTF-8 alike.
TEST(Text, SingleByteFormAgreesWithUtf16)
{
    const std::string cases[] = {
        "",
        "plain ASCII \x01\x7F",
        "Испытание №12, ёлка Ёж",
        "ЂЃѓ‚„…†‡€‰Љ‹ЊЌЋЏ ґҐ",
        "σ=日本 ä é ß",
        "😀 и 😀😀",
        "\xEF\xBB\xBFметка порядка",
        "\xFF\xFE плохой байт",
        "обрезано \xD0",
        "\xE2\x82 неполный",
        "\xC0\xAF лишне длинный",
        "\xED\xA0\x80 половина пары",
        "\xF4\x90\x80\x80 за пределом",
        "\x80 одинокий хвост",
        "\xEF\xBF\xBF \xEF\xBF\xBE не символы",
    };
    for (const std::string& c : cases) {
        SCOPED_TRACE(c);
        EXPECT_EQ(xlstext::widen(xlstext::toSingleByte(c)), xlstext::fromUtf8(c));
    }
    // Every byte of the code page that stands for a character comes back as itself.
    for (int b = 0; b < 256; ++b) {
        const char16_t wide = xlstext::widen(uint8_t(b));
        if (wide == u'?' && b != '?')
            continue; // a byte the code page leaves undefined
        SCOPED_TRACE(b);
        EXPECT_EQ(xlstext::toSingleByte(xlstext::toUtf8(std::u16string(1, wide))), std::string(1, char(b)));
    }
}

TEST(Text, CaseInsensitiveComparison)
{
    EXPECT_TRUE(xlstext::equalIgnoringCase(u"#,##0\"Р.\"", u"#,##0\"р.\""));
    EXPECT_TRUE(xlstext::equalIgnoringCase(u"ЁЖИК general", u"ёжик GENERAL"));
    EXPECT_FALSE(xlstext::equalIgnoringCase(u"Е", u"Ё"));
    EXPECT_FALSE(xlstext::equalIgnoringCase(u"ab", u"abc"));
}

} // namespace
