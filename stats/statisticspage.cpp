#include "stats/statisticspage.h"

#include "print/reportcomposer.h"
#include "print/reportlayout.h"
#include "print/textmeasurer.h"
#include "records/rowcursor.h"
#include "stats/figuretext.h"
#include "stats/shownunits.h"

#include <algorithm>
#include <charconv>
#include <stdexcept>

namespace zent5::stats {
namespace {

constexpr double u(double mm) { return mmToReportUnits(mm); }

constexpr double kTopMm = 98; // the title, the lines and the chart
constexpr double kTextMm = 90; // the title and the lines, left of the chart
constexpr double kLeastNumbersMm = 40; // for the N of the failed rows

std::string fieldName(size_t column) { return "C" + std::to_string(column); }

// The lines of figures as a table the report composer walks.
class FigureRows : public RowCursor {
public:
    explicit FigureRows(std::vector<std::vector<std::string>> rows) : m_rows(std::move(rows)) {}

    bool Active() const override { return true; }
    void Refresh() override {}
    void First() override { m_at = 0; }
    void Last() override { m_at = m_rows.empty() ? 0 : m_rows.size() - 1; }
    void Next() override { m_at += m_at < m_rows.size(); }
    bool Eof() const override { return m_at >= m_rows.size(); }
    int VisibleCount() override { return int(m_rows.size()); }
    std::string FieldText(std::string_view column) override
    {
        const FieldValue v = FieldValueOf(column);
        return std::holds_alternative<std::string>(v) ? std::get<std::string>(v) : std::string();
    }
    double FieldNumber(std::string_view) override { return 0; }
    FieldValue FieldValueOf(std::string_view column) override
    {
        size_t i = 0;
        if (Eof() || column.size() < 2 || column[0] != 'C' ||
            std::from_chars(column.data() + 1, column.data() + column.size(), i).ptr != column.data() + column.size())
            return {};
        const std::vector<std::string>& row = m_rows[m_at];
        return i < row.size() && !row[i].empty() ? FieldValue(row[i]) : FieldValue();
    }
    void Append() override { throw std::logic_error("the figures are read only"); }
    void SetFieldValue(std::string_view, const FieldValue&) override { Append(); }
    void Post() override { Append(); }

private:
    std::vector<std::vector<std::string>> m_rows;
    size_t m_at = 0;
};

CellTemplate cell(const char* name, double x, double width, std::string text, double points, bool bold, HAlign h,
                  VAlign v)
{
    CellTemplate c;
    c.name = name;
    c.x = x;
    c.width = width;
    c.text = std::move(text);
    c.font = {"Arial", points, bold};
    c.halign = h;
    c.valign = v;
    return c;
}

// Texts to the left, counts and names of quantities centred, figures to the
// right, so that a count never runs into the numbers beside it.
HAlign figureAlignment(size_t column, size_t columns)
{
    if (column == 0 || column + 1 == columns)
        return HAlign::Left;
    if (column == 2 || column == 3 || column + 2 == columns || column + 3 == columns)
        return HAlign::Center;
    return HAlign::Right;
}

// The figures are as long as their numbers are (up to 15 digits in kgf):
// every column but the last is as wide as its longest text and the longest
// word of its heading; the last, the N of the failed rows, takes the rest.
// A smaller font is taken while that leaves it too little room.
struct TableLook {
    double points = 9;
    std::vector<double> widths; // report units
};

TableLook tableLook(const FigureTable& figures, TextMeasurer& measurer, double usable)
{
    constexpr double kInsets = 2 * 2 + 4; // the cells' text insets, and a millimetre of air
    const FontStyle heading{"Arial", 9, true};
    TableLook look;
    for (const double points : {9.0, 8.0, 7.0}) {
        look.points = points;
        look.widths.clear();
        const FontStyle data{"Arial", points, false};
        double total = 0;
        for (size_t i = 0; i + 1 < figures.headings.size(); ++i) {
            double widest = 0;
            const std::string& h = figures.headings[i];
            for (size_t from = 0; from < h.size();) {
                const size_t space = std::min(h.find(' ', from), h.size());
                widest = std::max(widest, measurer.width(heading, std::string_view(h).substr(from, space - from)));
                from = space + 1;
            }
            for (const FigureLine& line : figures.lines)
                widest = std::max(widest, measurer.width(data, line.cells[i]));
            look.widths.push_back(widest + kInsets);
            total += widest + kInsets;
        }
        if (usable - total >= u(kLeastNumbersMm))
            break;
    }
    return look;
}

ReportLayout layoutFor(const StatisticsPage& page, const TableLook& look)
{
    ReportLayout layout;
    layout.name = "Статистика";
    const double left = layout.page.marginLeft;
    const double usable = layout.page.width() - left - layout.page.marginRight;

    layout.title = {"StatsTitle", BandKind::ReportTitle, u(kTopMm), {}};
    layout.title.cells.push_back(
        cell("TitleText", left, u(kTextMm), "Статистика испытаний", 14, true, HAlign::Left, VAlign::Top));
    std::string info;
    for (const std::string& line : page.infoLines)
        info += (info.empty() ? "" : "\n") + line;
    CellTemplate lines = cell("InfoText", left, u(kTextMm), info, 10, false, HAlign::Left, VAlign::Top);
    lines.insetY = u(9); // below the title
    layout.title.cells.push_back(lines);

    layout.header = {"StatsHeader", BandKind::PageHeader, u(10), {}};
    layout.data = {"StatsData", BandKind::MasterData, u(6), {}};
    const size_t columns = page.figures.headings.size();
    double x = left;
    for (size_t i = 0; i < columns; ++i) {
        const double width = i < look.widths.size() ? look.widths[i] : std::max(left + usable - x, 0.0);
        CellTemplate head = cell("Heading", x, width, page.figures.headings[i], 9, true, HAlign::Center, VAlign::Middle);
        head.frame = {true, true, true, true, 1};
        layout.header.cells.push_back(head);
        CellTemplate value = cell("Figure", x, width, "[Dbf1.\"" + fieldName(i) + "\"]", look.points, false,
                                  figureAlignment(i, columns), VAlign::Middle);
        value.frame = head.frame;
        value.wordWrap = false;
        layout.data.cells.push_back(value);
        x += width;
    }

    layout.footer = {"StatsFooter", BandKind::PageFooter, u(5.5), {}};
    CellTemplate number =
        cell("PageNumberText", 0, u(56), "Стр. [PAGE#] из [TOTALPAGES]", 10, false, HAlign::Right, VAlign::Middle);
    number.anchorRight = true;
    number.autoWidth = true;
    layout.footer.cells.push_back(number);
    return layout;
}

// As many of the numbers as fit the width, then "… ещё K".
std::string fittedNumbers(TextMeasurer& measurer, const FontStyle& font, const std::vector<std::string>& numbers,
                          double width)
{
    std::string fitting = failedNumbersText(numbers, 0);
    for (size_t shown = 1; shown <= numbers.size(); ++shown) {
        std::string text = failedNumbersText(numbers, shown);
        if (measurer.width(font, text) > width)
            break;
        fitting = std::move(text);
    }
    return numbers.empty() ? std::string() : fitting;
}

std::string requiredLine(const char* name, const std::optional<double>& v, Quantity q, Units dimension,
                         char separator)
{
    std::string line = std::string(name) + ": ";
    if (!v)
        return line + "не задано";
    return line + figureText(*v, q, dimension, separator) + " " + std::string(shownUnits(dimension).unit(q));
}

} // namespace

StatisticsPage statisticsPage(const StatisticsInput& input, const std::vector<Series>& series,
                              const RequiredValues& required, size_t chartSeries, Quantity chartQuantity,
                              char separator)
{
    StatisticsPage page;
    if (!input.tableName.empty())
        page.infoLines.push_back("Таблица: " + input.tableName);
    page.infoLines.push_back(sourceLine(input.rows.size(), input.selection));
    page.infoLines.push_back(
        requiredLine("Требуемое усилие", required.force, Quantity::Force, input.dimension, separator));
    page.infoLines.push_back(
        requiredLine("Требуемое напряжение", required.stress, Quantity::Stress, input.dimension, separator));
    page.figures = figureTable(series, input.rows, input.dimension, separator);
    if (chartSeries < series.size()) {
        const Series& shown = series[chartSeries];
        page.infoLines.push_back("График: " + quantityName(chartQuantity) + ", " + seriesName(shown, separator));
        page.chart = statisticsChart(shown, input.rows, chartQuantity, input.dimension, required.value(chartQuantity),
                                     separator);
    }
    return page;
}

ComposedReport composeStatisticsPage(const StatisticsPage& page)
{
    TextMeasurer measurer;
    const PageSetup paper;
    const ReportLayout layout =
        layoutFor(page, tableLook(page.figures, measurer, paper.width() - paper.marginLeft - paper.marginRight));
    const CellTemplate& numbersCell = layout.data.cells.back();
    std::vector<std::vector<std::string>> rows;
    for (const FigureLine& line : page.figures.lines) {
        std::vector<std::string>& row = rows.emplace_back(line.cells);
        row.push_back(fittedNumbers(measurer, numbersCell.font, line.failedNumbers,
                                    numbersCell.width - 2 * numbersCell.insetX));
    }
    FigureRows figures(std::move(rows));
    ComposedReport report = ReportComposer(layout).compose(figures, measurer);

    PlacedChart chart;
    chart.x = layout.page.marginLeft + u(kTextMm + 2);
    chart.y = layout.page.marginTop;
    chart.width = layout.page.width() - layout.page.marginRight - chart.x;
    chart.height = u(kTopMm - 2);
    chart.content = page.chart;
    report.pages.front().charts.push_back(std::move(chart));
    return report;
}

} // namespace zent5::stats
