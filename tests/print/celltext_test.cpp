#include "print/celltext.h"

#include <gtest/gtest.h>

namespace zent5 {
namespace {

std::string describe(const std::vector<CellTextPart>& parts)
{
    std::string out;
    for (const auto& p : parts) {
        switch (p.kind) {
        case CellTextPart::Literal: out += "'" + p.text + "'"; break;
        case CellTextPart::Column: out += "{" + p.text + "}"; break;
        case CellTextPart::PageNumber: out += "{page}"; break;
        case CellTextPart::TotalPages: out += "{total}"; break;
        }
    }
    return out;
}

TEST(CellText, SplitsFixedTextAndExpressions)
{
    struct Case {
        const char* text;
        const char* expected;
    };
    const Case cases[] = {
        {"ЗЕНТ-5  № [Dbf1.\"SERIAL\"]", "'ЗЕНТ-5  № '{SERIAL}"},
        {"Стр. [PAGE#] из [TOTALPAGES]", "'Стр. '{page}' из '{total}"},
        {"[Dbf1.\"F_mm\"]", "{F_MM}"}, // column names match without regard to case
        {"Примечание", "'Примечание'"},
        {"", ""},
        {"[Unknown] x", "'[Unknown] x'"},
        {"[Dbf1.\"\"]", "'[Dbf1.\"\"]'"},
        {"open [PAGE#", "'open [PAGE#'"},
        {"[[PAGE#]", "'[[PAGE#]'"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(describe(parseCellText(c.text)), c.expected);
    }
}

} // namespace
} // namespace zent5
