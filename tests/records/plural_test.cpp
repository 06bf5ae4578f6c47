#include "records/plural.h"

#include <gtest/gtest.h>

namespace zent5 {
namespace {

TEST(Plural, TheFormFollowsTheLastDigitsOfTheCount)
{
    const struct {
        uint64_t count;
        PluralForm form;
    } cases[] = {
        {0, PluralForm::Many},   {1, PluralForm::One},     {2, PluralForm::Few},     {4, PluralForm::Few},
        {5, PluralForm::Many},   {10, PluralForm::Many},   {11, PluralForm::Many},   {12, PluralForm::Many},
        {14, PluralForm::Many},  {19, PluralForm::Many},   {20, PluralForm::Many},   {21, PluralForm::One},
        {22, PluralForm::Few},   {25, PluralForm::Many},   {101, PluralForm::One},   {111, PluralForm::Many},
        {112, PluralForm::Many}, {114, PluralForm::Many},  {122, PluralForm::Few},   {1001, PluralForm::One},
        {1011, PluralForm::Many}, {65535, PluralForm::Many}, {65531, PluralForm::One}, {65532, PluralForm::Few},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.count);
        EXPECT_EQ(plural_form(c.count), c.form);
    }
}

TEST(Plural, CountedTextsReadAsRussian)
{
    EXPECT_EQ("принято " + counted(3, "байт", "байта", "байт"), "принято 3 байта");
    EXPECT_EQ(counted(2, "запись", "записи", "записей"), "2 записи");
    EXPECT_EQ(counted(1, "запись", "записи", "записей"), "1 запись");
    EXPECT_EQ(counted(11, "запись", "записи", "записей"), "11 записей");
    EXPECT_EQ("по " + counted(21, "байту", "байта", "байт"), "по 21 байту");
}

} // namespace
} // namespace zent5
