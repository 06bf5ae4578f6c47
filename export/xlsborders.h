#pragma once

#include "xlscolor.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace zent5 {

// LineStyle codes are those of the cell format record: 0 none, 1 thin,
// 2 medium, 3 dashed, 4 dotted, 5 thick, 6 double, 7 hair, 8 medium dashed,
// 9 dash-dot, 10 medium dash-dot, 11 dash-dot-dot, 12 medium dash-dot-dot,
// 13 slanted dash-dot.
struct XlsBorder {
    XlsColor Color = 0;
    uint8_t LineStyle = 0;
    uint8_t Weight = 0; // kept for the model's users, not written

    bool operator==(const XlsBorder&) const = default;
};

enum class XlsBorderIndex { DiagonalDown, DiagonalUp, Bottom, Left, Right, Top };

struct XlsBorders {
    std::array<XlsBorder, 6> items{};

    XlsBorder& operator[](XlsBorderIndex i) { return items[std::size_t(i)]; }
    const XlsBorder& operator[](XlsBorderIndex i) const { return items[std::size_t(i)]; }

    bool operator==(const XlsBorders&) const = default;
};

} // namespace zent5
