#include "stats/statscsv.h"

#include "common/scopedlocale.h"

#include <gtest/gtest.h>

#include <string>

using namespace zent5::stats;

namespace {

// Every case runs under each of the test locales.
class UnderLocale : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override
    {
        if (!m_locale.ok())
            GTEST_SKIP() << GetParam() << " is not installed";
    }

private:
    zent5::testing::ScopedLocale m_locale{GetParam()};
};

} // namespace

class FileNumber : public UnderLocale {};

TEST_P(FileNumber, PointAndUpTo15SignificantDigits)
{
    const struct {
        double value;
        const char* text;
    } cases[] = {
        {436, "436"},
        {12.34, "12.34"},
        {0.1 + 0.2, "0.3"},
        {1.0 / 3, "0.333333333333333"},
        {2.0 / 3, "0.666666666666667"},
        {-2.5, "-2.5"},
        {-0.0, "0"},
        {1234567.891, "1234567.891"},
        {123456789012345.0, "123456789012345"},
        {1234567890123456.0, "1.23456789012346e+15"},
        {1e-5, "1e-05"},
        {1.5e20, "1.5e+20"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(fileNumber(c.value), c.text);
    }
}

class StatsCsv : public UnderLocale {};

TEST_P(StatsCsv, OneLinePerSeriesAndQuantity)
{
    const std::optional<double> none;
    const std::vector<StatsRow> rows = {
        {1, "проволока", 7.5, 12.34, 436},  {2, "проволока", 7.5, 11.5, 400.5}, {3, "канат", none, 20, none},
        {4, "проволока", 7.5, 13.01, 460.1}, {none, "a,\"b\"", 16.0, 1, 2},
    };
    const auto series = seriesStatistics(rows, {12.0, none});
    const std::string csv = statisticsCsv(series, rows, "P", "S");
    EXPECT_EQ(csv,
              "type,diameter,quantity,n,mean,min,max,s,cv,characteristic,failed,failed_n,empty\n"
              "проволока,7.5,P,3,12.2833333333333,11.5,13.01,0.756593241665119,6.15951078696162,"
              "9.73361410892188,1,2,0\n"
              "проволока,7.5,S,3,432.2,400.5,460.1,29.9811607513785,6.93687199245223,331.163488267854,,,0\n"
              "канат,,P,1,20,20,20,,,,0,,0\n"
              "канат,,S,0,,,,,,,,,1\n"
              // A failed row without N is counted but has no number to list.
              "\"a,\"\"b\"\"\",16,P,1,1,1,1,,,,1,,0\n"
              "\"a,\"\"b\"\"\",16,S,1,2,2,2,,,,,,0\n"
              "Всего,,P,5,11.57,1,20,6.80920700228742,58.8522644968662,-4.29545231532969,2,2,0\n"
              "Всего,,S,4,324.65,2,460.1,216.488467745205,66.6836493901756,-244.714670169889,,,1\n");
}

INSTANTIATE_TEST_SUITE_P(Locales, FileNumber, ::testing::ValuesIn(zent5::testing::kTestLocales));
INSTANTIATE_TEST_SUITE_P(Locales, StatsCsv, ::testing::ValuesIn(zent5::testing::kTestLocales));
