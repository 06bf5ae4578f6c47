#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zent5 {

// A chart of points over two value axes with horizontal lines at given
// levels, as plain data: the window shows it through its chart widget and the
// printed page paints it, so both show the same points, lines, colours,
// ranges and texts. Colours are 0xRRGGBB.

struct ChartTick {
    double value = 0;
    std::string text;
};

struct ChartAxis {
    std::string title;
    double minimum = 0;
    double maximum = 1;
    std::vector<ChartTick> ticks; // inside the range, ascending
};

struct ChartPoint {
    double x = 0;
    double y = 0;
    bool operator==(const ChartPoint&) const = default;
};

// Points drawn alike, with one entry in the legend.
struct ChartMarks {
    std::string label;
    uint32_t colour = 0;
    std::vector<ChartPoint> points;
};

enum class ChartLineStyle { Solid, Dashed, Dotted };

// A horizontal line across the whole plot at `value`.
struct ChartLevel {
    std::string label;
    double value = 0;
    uint32_t colour = 0;
    ChartLineStyle style = ChartLineStyle::Solid;
};

struct ChartContent {
    std::string title;
    ChartAxis x;
    ChartAxis y;
    std::vector<ChartMarks> marks;
    std::vector<ChartLevel> levels;
};

} // namespace zent5
