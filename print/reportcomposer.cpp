#include "reportcomposer.h"

#include "celltext.h"
#include "fontsubstitution.h"
#include "records/rowcursor.h"
#include "records/text.h"
#include "textmeasurer.h"
#include "valueformat.h"

#include <algorithm>
#include <limits>
#include <string>

namespace zent5 {
namespace {

// Positions are fractions of units; a band that ends this close to the
// footer still fits.
constexpr double kEpsilon = 1e-6;

struct CompiledCell {
    const CellTemplate* cell;
    std::vector<CellTextPart> parts;
    int style;
};

struct CompiledBand {
    const BandTemplate* band;
    std::vector<CompiledCell> cells;
};

class Composition {
public:
    Composition(const ReportLayout& layout, RowCursor& table, TextMeasurer& measurer, char separator,
                const ReportComposer::PageSink* sink)
        : m_layout(layout), m_table(table), m_measurer(measurer), m_separator(separator), m_sink(sink)
    {
        m_report.layoutName = layout.name;
        m_report.page = layout.page;
        m_title = compile(layout.title);
        m_header = compile(layout.header);
        m_data = compile(layout.data);
        m_footer = compile(layout.footer);
        m_footerTop = layout.page.height() - layout.page.marginBottom - layout.footer.height;
    }

    ComposedReport run()
    {
        m_producing = false;
        walk();
        m_totalPages = m_pageCount;
        m_producing = true;
        walk();
        return std::move(m_report);
    }

private:
    CompiledBand compile(const BandTemplate& band)
    {
        CompiledBand out{&band, {}};
        for (const CellTemplate& cell : band.cells) {
            CellStyle style;
            style.name = cell.name;
            style.font = cell.font;
            style.fontFamily = installedFamilyFor(cell.font.family);
            style.frame = cell.frame;
            style.halign = cell.halign;
            style.valign = cell.valign;
            style.charSpacing = cell.charSpacing;
            style.ascent = m_measurer.metrics(cell.font).ascent;
            m_report.styles.push_back(std::move(style));
            out.cells.push_back({&cell, parseCellText(cell.text), int(m_report.styles.size()) - 1});
        }
        return out;
    }

    void walk()
    {
        m_pageCount = 0;
        m_table.First();
        startPage(true);
        while (!m_table.Eof()) {
            if (m_y + m_layout.data.height > m_footerTop + kEpsilon && m_rowsOnPage > 0) {
                finishPage();
                startPage(false);
            }
            place(m_data);
            ++m_rowsOnPage;
            m_table.Next();
        }
        finishPage();
    }

    void startPage(bool first)
    {
        ++m_pageCount;
        m_rowsOnPage = 0;
        m_y = m_layout.page.marginTop;
        if (m_producing) {
            m_page = Page{};
            m_page.number = m_pageCount;
        }
        if (first)
            place(m_title);
        place(m_header);
    }

    void finishPage()
    {
        m_y = m_footerTop;
        place(m_footer);
        if (!m_producing)
            return;
        if (m_sink) {
            (*m_sink)(m_report, m_page);
        } else {
            // Kept pages stay for the report's life: no room for bands that never come.
            m_page.bands.shrink_to_fit();
            m_report.pages.push_back(std::move(m_page));
        }
    }

    void place(const CompiledBand& band)
    {
        const double top = m_y;
        m_y += band.band->height;
        if (!m_producing)
            return;
        PlacedBand placed;
        placed.kind = band.band->kind;
        placed.top = top;
        placed.height = band.band->height;
        placed.cells.reserve(band.cells.size());
        for (const CompiledCell& cell : band.cells)
            placed.cells.push_back(placeCell(cell, top, band.band->height));
        m_page.bands.push_back(std::move(placed));
    }

    std::string evaluate(const CompiledCell& cell)
    {
        std::string text;
        for (const CellTextPart& part : cell.parts) {
            switch (part.kind) {
            case CellTextPart::Literal:
                text += part.text;
                break;
            case CellTextPart::PageNumber:
                text += std::to_string(m_pageCount);
                break;
            case CellTextPart::TotalPages:
                text += std::to_string(m_totalPages);
                break;
            case CellTextPart::Column:
                // Past the end (an empty table) every column is null.
                if (!m_table.Eof())
                    text += displayValue(m_table.FieldValueOf(part.text), cell.cell->format, m_separator);
                break;
            }
        }
        return textForFont(cell.cell->font.family, text);
    }

    PlacedCell placeCell(const CompiledCell& compiled, double top, double height)
    {
        const CellTemplate& t = *compiled.cell;
        PlacedCell pc;
        pc.style = compiled.style;
        pc.text = evaluate(compiled);
        pc.x = t.x;
        pc.y = top;
        pc.width = t.width;
        pc.height = height;
        if (pc.text.empty())
            return pc;

        if (t.autoWidth)
            pc.width = m_measurer.width(t.font, pc.text, t.charSpacing) + 2 * t.insetX;
        if (t.anchorRight)
            pc.x = m_layout.page.width() - m_layout.page.marginRight - pc.width;

        const double maxWidth = t.wordWrap && !t.autoWidth ? pc.width - 2 * t.insetX
                                                            : std::numeric_limits<double>::infinity();
        auto lines = m_measurer.wrap(t.font, pc.text, maxWidth, t.charSpacing);
        const TextMeasurer::FontMetrics fm = m_measurer.metrics(t.font);

        // The row never grows: keep the lines that fit, but always the first.
        const double room = height - 2 * t.insetY;
        size_t fit = 1;
        while (fit < lines.size() && (fit + 1) * fm.height + fit * t.lineSpacing <= room + kEpsilon)
            ++fit;
        if (fit < lines.size()) {
            lines.resize(fit);
            pc.clipped = true;
        }

        const double block = double(lines.size()) * fm.height + double(lines.size() - 1) * t.lineSpacing;
        double y;
        switch (t.valign) {
        case VAlign::Top: y = top + t.insetY; break;
        case VAlign::Bottom: y = top + height - t.insetY - block; break;
        default: y = top + (height - block) / 2; break;
        }
        pc.lines.reserve(lines.size());
        for (auto& line : lines) {
            PlacedLine pl;
            pl.width = line.width;
            pl.height = fm.height;
            pl.top = y;
            switch (t.halign) {
            case HAlign::Left: pl.x = pc.x + t.insetX; break;
            case HAlign::Right: pl.x = pc.x + pc.width - t.insetX - line.width; break;
            default: pl.x = pc.x + (pc.width - line.width) / 2; break;
            }
            pl.text = std::move(line.text);
            pc.lines.push_back(std::move(pl));
            y += fm.height + t.lineSpacing;
        }
        return pc;
    }

    const ReportLayout& m_layout;
    RowCursor& m_table;
    TextMeasurer& m_measurer;
    const char m_separator;
    const ReportComposer::PageSink* m_sink;
    ComposedReport m_report;
    Page m_page; // the page being composed
    CompiledBand m_title, m_header, m_data, m_footer;
    double m_footerTop = 0;
    bool m_producing = false;
    int m_pageCount = 0;
    int m_totalPages = 0;
    int m_rowsOnPage = 0;
    double m_y = 0;
};

} // namespace

ReportComposer::ReportComposer(const ReportLayout& layout) : m_layout(layout) {}

ComposedReport ReportComposer::compose(RowCursor& table)
{
    TextMeasurer measurer;
    return compose(table, measurer);
}

ComposedReport ReportComposer::compose(RowCursor& table, TextMeasurer& measurer)
{
    const char separator = m_separator ? m_separator : text::decimalSeparator();
    return Composition(m_layout, table, measurer, separator, nullptr).run();
}

ComposedReport ReportComposer::compose(RowCursor& table, TextMeasurer& measurer, const PageSink& sink)
{
    const char separator = m_separator ? m_separator : text::decimalSeparator();
    return Composition(m_layout, table, measurer, separator, &sink).run();
}

} // namespace zent5
