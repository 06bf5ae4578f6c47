#include "textmeasurer.h"

#include "fontsubstitution.h"

#include <QFont>
#include <QFontMetricsF>
#include <QString>

#include <array>

namespace zent5 {
namespace {

// Fonts are measured at a large pixel size, where hinting no longer bends
// the advances, and scaled down to report units.
constexpr int kMeasurePixels = 2000;
constexpr double kUnitsPerPoint = kReportUnitsPerInch / 72.0;

} // namespace

struct TextMeasurer::FontData {
    FontStyle style;
    QFont font;
    QFontMetricsF qtMetrics;
    double scale; // report units per measuring pixel
    FontMetrics metrics;
    std::array<double, 0x500> advances; // Latin and Cyrillic, filled on first use
    std::array<bool, 0x500> known{};

    explicit FontData(const FontStyle& s)
        : style(s), font(makeFont(s)), qtMetrics(font), scale(s.pointSize * kUnitsPerPoint / kMeasurePixels)
    {
        metrics.ascent = qtMetrics.ascent() * scale;
        metrics.height = (qtMetrics.ascent() + qtMetrics.descent()) * scale;
    }

    static QFont makeFont(const FontStyle& s)
    {
        QFont f(QString::fromStdString(installedFamilyFor(s.family)));
        f.setPixelSize(kMeasurePixels);
        f.setBold(s.bold);
        f.setKerning(false);
        f.setHintingPreference(QFont::PreferNoHinting);
        return f;
    }

    // The advance of the character at `i` (a surrogate pair counts at its first half).
    double advance(const QString& s, qsizetype i)
    {
        const QChar c = s.at(i);
        const char16_t u = c.unicode();
        if (u < advances.size()) {
            if (!known[u]) {
                advances[u] = qtMetrics.horizontalAdvance(c) * scale;
                known[u] = true;
            }
            return advances[u];
        }
        if (c.isLowSurrogate())
            return 0;
        if (c.isHighSurrogate() && i + 1 < s.size())
            return qtMetrics.horizontalAdvance(s.mid(i, 2)) * scale;
        return qtMetrics.horizontalAdvance(c) * scale;
    }
};

TextMeasurer::TextMeasurer() = default;
TextMeasurer::~TextMeasurer() = default;

TextMeasurer::FontData& TextMeasurer::fontFor(const FontStyle& font)
{
    for (auto& f : m_fonts)
        if (f->style == font)
            return *f;
    m_fonts.push_back(std::make_unique<FontData>(font));
    return *m_fonts.back();
}

TextMeasurer::FontMetrics TextMeasurer::metrics(const FontStyle& font) { return fontFor(font).metrics; }

double TextMeasurer::width(const FontStyle& font, std::string_view utf8, double charSpacing)
{
    FontData& f = fontFor(font);
    const QString s = QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
    double w = 0;
    for (qsizetype i = 0; i < s.size(); ++i)
        if (!s.at(i).isLowSurrogate())
            w += f.advance(s, i) + charSpacing;
    return w;
}

std::vector<TextMeasurer::Line> TextMeasurer::wrap(const FontStyle& font, std::string_view utf8, double maxWidth,
                                                   double charSpacing)
{
    FontData& f = fontFor(font);
    const QString s = QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
    std::vector<Line> lines;
    if (s.isEmpty())
        return lines;

    auto pushLine = [&](qsizetype from, qsizetype to) {
        while (to > from && s.at(to - 1) == u' ')
            --to;
        Line line;
        line.text = s.mid(from, to - from).toStdString();
        for (qsizetype i = from; i < to; ++i)
            if (!s.at(i).isLowSurrogate())
                line.width += f.advance(s, i) + charSpacing;
        lines.push_back(std::move(line));
    };

    qsizetype start = 0;      // first character of the current line
    qsizetype lastSpace = -1; // last space on the current line
    double width = 0;         // of s[start, i)
    for (qsizetype i = 0; i < s.size(); ++i) {
        const QChar c = s.at(i);
        if (c == u'\r' || c == u'\n') {
            pushLine(start, i);
            if (c == u'\r' && i + 1 < s.size() && s.at(i + 1) == u'\n')
                ++i;
            start = i + 1;
            lastSpace = -1;
            width = 0;
            continue;
        }
        if (c.isLowSurrogate())
            continue;
        if (c == u' ') {
            lastSpace = i;
            width += f.advance(s, i) + charSpacing;
            continue;
        }
        const double w = f.advance(s, i) + charSpacing;
        if (width + w > maxWidth && i > start) {
            qsizetype next;
            if (lastSpace > start) {
                pushLine(start, lastSpace);
                next = lastSpace + 1;
                while (next < i && s.at(next) == u' ')
                    ++next;
            } else {
                pushLine(start, i);
                next = i;
            }
            start = next;
            lastSpace = -1;
            width = 0;
            for (qsizetype k = start; k < i; ++k)
                if (!s.at(k).isLowSurrogate())
                    width += f.advance(s, k) + charSpacing;
        }
        width += w;
    }
    if (start < s.size() || lines.empty() || s.endsWith(u'\n'))
        pushLine(start, s.size());
    return lines;
}

} // namespace zent5
