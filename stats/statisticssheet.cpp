#include "stats/statisticssheet.h"

#include "stats/figuretext.h"
#include "stats/shownunits.h"

#include <algorithm>
#include <cmath>

namespace zent5::stats {
namespace {

std::string optionalFigure(const std::optional<double>& v, Quantity q, Units dimension, char separator)
{
    return v ? figureText(*v, q, dimension, separator) : std::string();
}

// 1, 2 or 5 times a power of ten, at least `rough`.
double niceStep(double rough)
{
    if (!(rough > 0) || !std::isfinite(rough))
        return 1;
    const double power = std::pow(10.0, std::floor(std::log10(rough)));
    const double f = rough / power;
    return (f <= 1 ? 1 : f <= 2 ? 2 : f <= 5 ? 5 : 10) * power;
}

// The value range of the plot with some room around the values, and ticks
// at round values inside it.
ChartAxis valueAxis(const std::vector<double>& values, Quantity q, Units dimension, char separator)
{
    ChartAxis axis;
    if (values.empty())
        return axis;
    double lo = *std::min_element(values.begin(), values.end());
    double hi = *std::max_element(values.begin(), values.end());
    // Equal values get a range of their own around them.
    const bool spread = hi > lo;
    const double span = spread ? hi - lo : (hi != 0 ? std::fabs(hi) * 0.2 : 2);
    const double room = span * (spread ? 0.08 : 0.5);
    lo -= room;
    hi += room;
    axis.minimum = lo;
    axis.maximum = hi;
    const double step = niceStep((hi - lo) / 10);
    for (double k = std::ceil(lo / step); k * step <= hi; ++k) {
        const double v = k * step == 0 ? 0 : k * step; // no "-0"
        axis.ticks.push_back({v, figureText(v, q, dimension, separator)});
    }
    return axis;
}

ChartAxis placeAxis(size_t rows)
{
    ChartAxis axis;
    axis.title = "Номер испытания в серии";
    const double last = double(std::max<size_t>(rows, 1));
    axis.minimum = 0.5;
    axis.maximum = last + 0.5;
    const double step = std::max(1.0, niceStep(last / 10));
    for (double v = step; v <= last; v += step)
        axis.ticks.push_back({v, std::to_string(static_cast<long long>(v))});
    return axis;
}

} // namespace

std::string sourceLine(size_t rows, bool selection)
{
    return (selection ? "Выделено строк: " : "Все строки: ") + std::to_string(rows);
}

std::string seriesName(const Series& series, char separator)
{
    if (series.allRows)
        return "Все строки";
    std::string name = series.type.empty() ? "без типа" : series.type;
    name += ", ";
    name += series.diameter ? "d " + numberText(*series.diameter, columnFormat("D"), separator) + " мм" : "без d";
    return name;
}

std::string quantityName(Quantity q) { return q == Quantity::Force ? "Усилие" : "Напряжение"; }

std::string quantityTitle(Quantity q, Units dimension)
{
    return std::string(q == Quantity::Force ? "F, " : "σ, ") + std::string(shownUnits(dimension).unit(q));
}

FigureTable figureTable(const std::vector<Series>& series, const std::vector<StatsRow>& rows, Units dimension,
                        char separator)
{
    FigureTable table;
    table.headings = {"Тип арматуры", "d, мм", "Величина", "n",      "Среднее",   "Мин.",          "Макс.",
                      "s",            "V, %",  "Характ. знач.", "Пустых", "Не прошли", "N не прошедших"};
    for (size_t i = 0; i < series.size(); ++i) {
        const Series& s = series[i];
        for (const Quantity q : {Quantity::Force, Quantity::Stress}) {
            const QuantitySummary& f = s.summary(q);
            FigureLine line;
            line.series = i;
            line.quantity = q;
            line.cells = {
                s.allRows ? "Все строки" : s.type,
                !s.allRows && s.diameter ? numberText(*s.diameter, columnFormat("D"), separator) : std::string(),
                quantityTitle(q, dimension),
                std::to_string(f.count),
                optionalFigure(f.mean, q, dimension, separator),
                optionalFigure(f.minimum, q, dimension, separator),
                optionalFigure(f.maximum, q, dimension, separator),
                optionalFigure(f.deviation, q, dimension, separator),
                f.variation ? numberText(*f.variation, GridFormat::Fixed1, separator) : std::string(),
                optionalFigure(f.characteristic, q, dimension, separator),
                std::to_string(f.empty),
                f.checked ? std::to_string(f.failed.size()) : std::string(),
            };
            for (const size_t r : f.failed)
                if (rows[r].number)
                    line.failedNumbers.push_back(numberText(*rows[r].number, columnFormat("N"), separator));
            table.lines.push_back(std::move(line));
        }
    }
    return table;
}

std::string failedNumbersText(const std::vector<std::string>& numbers, size_t shown)
{
    std::string text;
    const size_t n = std::min(shown, numbers.size());
    for (size_t i = 0; i < n; ++i)
        text += (i ? ", " : "") + numbers[i];
    if (n < numbers.size())
        text += (n ? ", … ещё " : "… ещё ") + std::to_string(numbers.size() - n);
    return text;
}

ChartContent statisticsChart(const Series& series, const std::vector<StatsRow>& rows, Quantity q, Units dimension,
                             const std::optional<double>& required, char separator)
{
    const QuantitySummary& f = series.summary(q);
    ChartContent chart;
    chart.title = seriesName(series, separator) + " (n = " + std::to_string(f.count) + ")";
    chart.x = placeAxis(series.rows.size());

    ChartMarks passed{"Испытания", kPassedColour, {}};
    ChartMarks failed{"Ниже требуемого", kFailedColour, {}};
    std::vector<double> values;
    auto nextFailed = f.failed.begin(); // both lists are in row order
    for (size_t place = 0; place < series.rows.size(); ++place) {
        const size_t r = series.rows[place];
        const std::optional<double>& v = rows[r].value(q);
        if (!v)
            continue;
        while (nextFailed != f.failed.end() && *nextFailed < r)
            ++nextFailed;
        const bool isFailed = nextFailed != f.failed.end() && *nextFailed == r;
        (isFailed ? failed : passed).points.push_back({double(place + 1), *v});
        values.push_back(*v);
    }
    chart.marks.push_back(std::move(passed));
    if (f.checked) {
        failed.label += ": " + std::to_string(failed.points.size());
        chart.marks.push_back(std::move(failed));
    }

    auto level = [&](const char* name, const std::optional<double>& v, uint32_t colour, ChartLineStyle style) {
        if (!v)
            return;
        chart.levels.push_back({std::string(name) + " " + figureText(*v, q, dimension, separator), *v, colour, style});
        values.push_back(*v);
    };
    level("Среднее", f.mean, kMeanColour, ChartLineStyle::Solid);
    level("Характ. значение", f.characteristic, kCharacteristicColour, ChartLineStyle::Dashed);
    level("Требуемое", required, kRequiredColour, ChartLineStyle::Dotted);

    chart.y = valueAxis(values, q, dimension, separator);
    chart.y.title = quantityName(q) + " " + quantityTitle(q, dimension);
    return chart;
}

} // namespace zent5::stats
