#include "common/scopedlocale.h"
#include "stats/requiredentry.h"
#include "stats/seriesstatistics.h"
#include "stats/statisticssheet.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace zent5;
using namespace zent5::stats;

namespace {

const std::optional<double> none;

// Three forces and four stresses of one series (one force empty), and one
// row of another series; in kN and MPa, and the same tests in kgf.
std::vector<StatsRow> kilonewtonRows()
{
    return {{1, "А500С", 12, 41.2, 525.0},
            {2, "А500С", 12, 38.5, 490.1},
            {3, "А500С", 12, 44.0, 560.3},
            {4, "А240", none, 20.0, 398.0},
            {5, "А500С", 12, none, 600}};
}

std::vector<StatsRow> kgfRows()
{
    return {{1, "А500С", 12, 4201, 5353},
            {2, "А500С", 12, 3926, 4998},
            {3, "А500С", 12, 4487, 5713},
            {4, "А240", none, 2039, 4058},
            {5, "А500С", 12, none, 6118}};
}

// The numbers written with '.' as the decimal separator made to show `separator`.
std::vector<std::string> shown(std::vector<std::string> cells, char separator)
{
    for (std::string& c : cells)
        if (!c.empty() && c[0] >= '0' && c[0] <= '9')
            for (char& ch : c)
                if (ch == '.')
                    ch = separator;
    return cells;
}

struct LocaleCase {
    const char* locale;
    char separator; // the system's, as the window takes it
};
const LocaleCase kLocales[] = {{"C.UTF-8", '.'}, {"ru_RU.UTF-8", ','}, {"de_DE.UTF-8", ','}};

} // namespace

TEST(FigureTable, FiguresAsTheGridShowsTheQuantityInBothSystemsOfUnits)
{
    const struct {
        const char* name;
        Units dimension;
        std::vector<StatsRow> rows;
        RequiredValues required;
        std::vector<std::string> force, stress; // of the first series
    } cases[] = {
        {"kN: two decimals of force, one of stress",
         Units::KiloNewton,
         kilonewtonRows(),
         {40.0, none},
         {"А500С", "12", "F, кН", "3", "41.23", "38.50", "44.00", "2.75", "6.7", "31.97", "1", "1"},
         {"А500С", "12", "σ, МПа", "4", "543.9", "490.1", "600.0", "47.1", "8.7", "419.9", "0", ""}},
        {"kgf: the general form",
         Units::KiloGramForce,
         kgfRows(),
         {none, 5000.0},
         {"А500С", "12", "F, кГс", "3", "4204.66666666667", "3926", "4487", "280.517973280382", "6.7",
          "3259.32109671178", "1", ""},
         {"А500С", "12", "σ, кГс/кв.см", "4", "5545.5", "4998", "6118", "480.49453690963", "8.7",
          "4281.79936792767", "0", "1"}},
    };
    for (const LocaleCase& l : kLocales) {
        const zent5::testing::ScopedLocale locale(l.locale);
        if (!locale.ok())
            continue;
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(l.locale) + ", " + c.name);
            const std::vector<Series> series = seriesStatistics(c.rows, c.required);
            const FigureTable table = figureTable(series, c.rows, c.dimension, l.separator);
            ASSERT_EQ(table.headings.size(), 13u);
            ASSERT_EQ(table.lines.size(), 6u) << "two series and all rows, force and stress each";
            EXPECT_EQ(table.lines[0].cells, shown(c.force, l.separator));
            EXPECT_EQ(table.lines[1].cells, shown(c.stress, l.separator));
            EXPECT_EQ(table.lines[0].failedNumbers, c.required.force ? std::vector<std::string>{"2"}
                                                                     : std::vector<std::string>{});
            EXPECT_EQ(table.lines[1].failedNumbers, c.required.stress ? std::vector<std::string>{"2"}
                                                                      : std::vector<std::string>{});
            // The series without a diameter, then all rows: a name of its own and no diameter.
            EXPECT_EQ(table.lines[2].cells[1], "");
            EXPECT_EQ(table.lines[4].cells[0], "Все строки");
            EXPECT_EQ(table.lines[4].cells[1], "");
            EXPECT_EQ(table.lines[4].cells[3], "4");
            EXPECT_EQ(table.lines[4].series, 2u);
            EXPECT_EQ(table.lines[5].quantity, Quantity::Stress);
        }
    }
}

TEST(FigureTable, FiguresThatNeedMoreRowsStayEmpty)
{
    const std::vector<StatsRow> rows = {{7, "канат", 15, 50, none}, {8, "канат", 15, 50, none}};
    const FigureTable table = figureTable(seriesStatistics(rows, {}), rows, Units::KiloNewton, ',');
    // n = 2: a deviation of 0 and a variation of 0, but no characteristic value; no stress at all.
    EXPECT_EQ(table.lines[0].cells, (std::vector<std::string>{"канат", "15", "F, кН", "2", "50,00", "50,00", "50,00",
                                                               "0,00", "0,0", "", "0", ""}));
    EXPECT_EQ(table.lines[1].cells,
              (std::vector<std::string>{"канат", "15", "σ, МПа", "0", "", "", "", "", "", "", "2", ""}));
}

TEST(StatisticsTexts, NamesOfTheRowsAndTheSeries)
{
    EXPECT_EQ(sourceLine(24, false), "Все строки: 24");
    EXPECT_EQ(sourceLine(7, true), "Выделено строк: 7");
    const std::vector<StatsRow> rows = {{1, "А500С", 12.5, 1, 1}, {2, "", none, 1, 1}};
    const std::vector<Series> series = seriesStatistics(rows, {});
    EXPECT_EQ(seriesName(series[0], ','), "А500С, d 12,5 мм");
    EXPECT_EQ(seriesName(series[1], '.'), "без типа, без d");
    EXPECT_EQ(seriesName(series[2], ','), "Все строки");
    EXPECT_EQ(quantityTitle(Quantity::Stress, Units::KiloGramForce), "σ, кГс/кв.см");
}

TEST(StatisticsTexts, FailedNumbersAreCutAfterTheShownOnes)
{
    const std::vector<std::string> three = {"4", "9", "12"};
    const struct {
        std::vector<std::string> numbers;
        size_t shown;
        std::string text;
    } cases[] = {
        {{}, 5, ""},
        {three, 5, "4, 9, 12"},
        {three, 3, "4, 9, 12"},
        {three, 2, "4, 9, … ещё 1"},
        {three, 0, "… ещё 3"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(failedNumbersText(c.numbers, c.shown), c.text);
    }
}

TEST(RequiredEntry, BlankNumbersWithEitherPointAndWhatIsNoRequiredValue)
{
    const struct {
        const char* typed;
        bool valid;
        std::optional<double> value;
    } cases[] = {
        {"", true, none},        {"   ", true, none},     {"12,5", true, 12.5}, {"12.5", true, 12.5},
        {" 30 ", true, 30.0},    {"0", true, 0.0},        {"1e3", true, 1000.0}, {"-1", false, none},
        {"abc", false, none},    {"12,5,1", false, none}, {"1.5,2", false, none}, {"12 кН", false, none},
    };
    for (const char* locale : zent5::testing::kTestLocales) {
        const zent5::testing::ScopedLocale scoped(locale);
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(locale) + " [" + c.typed + "]");
            const RequiredEntry e = readRequiredEntry(c.typed);
            EXPECT_EQ(e.valid, c.valid);
            EXPECT_EQ(e.value, c.value);
        }
    }
}
