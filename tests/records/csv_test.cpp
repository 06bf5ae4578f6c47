#include "records/csv.h"

#include <gtest/gtest.h>

namespace {

TEST(CsvField, QuotesOnlyWhatWouldBreakTheLine)
{
    const struct {
        const char* text;
        const char* field;
    } cases[] = {
        {"", ""},
        {"проволока", "проволока"},
        {"d, мм", "\"d, мм\""},
        {"анкер \"А\"", "\"анкер \"\"А\"\"\""},
        {"две\nстроки", "\"две\nстроки\""},
        {"возврат\rкаретки", "\"возврат\rкаретки\""},
        {"; и табуляция\t", "; и табуляция\t"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(zent5::csvField(c.text), c.field);
    }
}

} // namespace
