#pragma once

#include "reportlayout.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace zent5 {

// Measures text in report units for the fonts of the templates (through
// their installed stand-ins) and breaks it into lines. Widths are the sum of
// the characters' advances plus the character spacing after each one; the
// renderer draws without kerning so that what is painted matches.
// Needs a running QGuiApplication.
class TextMeasurer {
public:
    struct FontMetrics {
        double height = 0; // ascent + descent
        double ascent = 0;
    };
    struct Line {
        std::string text;
        double width = 0;
    };

    TextMeasurer();
    ~TextMeasurer();
    TextMeasurer(const TextMeasurer&) = delete;
    TextMeasurer& operator=(const TextMeasurer&) = delete;

    FontMetrics metrics(const FontStyle& font);
    double width(const FontStyle& font, std::string_view utf8, double charSpacing = 0);

    // Breaks at spaces where it can and inside a word where a word alone is
    // wider than `maxWidth`; a line break in the text always breaks. Spaces
    // at a break are dropped, other spaces stay as they are.
    std::vector<Line> wrap(const FontStyle& font, std::string_view utf8, double maxWidth, double charSpacing = 0);

private:
    struct FontData;
    FontData& fontFor(const FontStyle& font);

    std::vector<std::unique_ptr<FontData>> m_fonts;
};

} // namespace zent5
