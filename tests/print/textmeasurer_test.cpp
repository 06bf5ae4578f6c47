#include "print/textmeasurer.h"

#include "print/fontsubstitution.h"

#include <gtest/gtest.h>

namespace zent5 {
namespace {

const FontStyle kArial10{"Arial", 10, false, 204};
const FontStyle kArial12Bold{"Arial", 12, true, 204};

std::vector<std::string> texts(const std::vector<TextMeasurer::Line>& lines)
{
    std::vector<std::string> out;
    for (const auto& l : lines)
        out.push_back(l.text);
    return out;
}

TEST(FontSubstitution, TemplateFontsHaveStandIns)
{
    // fonts-liberation is part of the set-up; without it the mapping keeps the name.
    const std::string arial = installedFamilyFor("Arial");
    EXPECT_TRUE(arial == "Liberation Sans" || arial == "Arimo" || arial == "Arial") << arial;
    EXPECT_NE(installedFamilyFor("Symbol"), "");
    EXPECT_EQ(installedFamilyFor("Courier New"), "Courier New");

    EXPECT_EQ(textForFont("Symbol", "s"), "σ");
    EXPECT_EQ(textForFont("Symbol", "abS1"), "αβΣ1");
    EXPECT_EQ(textForFont("Arial", "s"), "s");
}

TEST(TextMeasurer, WidthsScaleWithTheFontAndAddCharacterSpacing)
{
    TextMeasurer m;
    const double w10 = m.width(kArial10, "Примечание");
    const double w20 = m.width(FontStyle{"Arial", 20, false, 204}, "Примечание");
    EXPECT_GT(w10, 0);
    EXPECT_NEAR(w20, 2 * w10, 1e-6 * w10);
    EXPECT_NEAR(m.width(kArial10, "abc", -2), m.width(kArial10, "abc") - 6, 1e-9);
    EXPECT_GT(m.width(kArial12Bold, "Примечание"), m.width(FontStyle{"Arial", 12, false, 204}, "Примечание"));
    // Liberation Sans is as wide as Arial: "0" is 0.556 em, 10 pt is 12.73 units.
    EXPECT_NEAR(m.width(kArial10, "0"), 0.556 * 10 * kReportUnitsPerInch / 72, 0.05);
    const auto fm = m.metrics(kArial10);
    EXPECT_GT(fm.height, fm.ascent);
    EXPECT_GT(fm.ascent, 0);
}

TEST(TextMeasurer, WrapsAtSpacesAndInsideWordsTooLongForALine)
{
    TextMeasurer m;
    const double word = m.width(kArial10, "слово");
    const double space = m.width(kArial10, " ");
    struct Case {
        const char* name;
        std::string text;
        double maxWidth;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"fits", "слово слово", 2 * word + space + 0.01, {"слово слово"}},
        {"breaks at the space", "слово слово", 2 * word + space - 0.01, {"слово", "слово"}},
        {"spaces at a break are dropped", "слово   слово", word + 2 * space, {"слово", "слово"}},
        {"inner spaces stay", "ЗЕНТ-5  № 1234", 1000, {"ЗЕНТ-5  № 1234"}},
        {"line breaks always break", "один\r\nдва\nтри", 1000, {"один", "два", "три"}},
        {"a long word breaks inside", "словословослово", word + 0.01, {"слово", "слово", "слово"}},
        {"each line keeps at least one character", "аб", 0.1, {"а", "б"}},
        {"empty text has no lines", "", 100, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto lines = m.wrap(kArial10, c.text, c.maxWidth);
        EXPECT_EQ(texts(lines), c.lines);
        for (const auto& l : lines) {
            EXPECT_NEAR(l.width, m.width(kArial10, l.text), 1e-9);
            if (l.text.size() > 2) { // more than one character
                EXPECT_LE(l.width, c.maxWidth);
            }
        }
    }
}

} // namespace
} // namespace zent5
