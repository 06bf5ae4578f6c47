#pragma once

#include "stats/quantity.h"
#include "stats/requiredvalues.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace zent5::stats {

// One row as the statistics see it. Force and stress are in the system of
// units shown (kN and MPa, or kgf and kgf/cm²); the caller picks the fields.
struct StatsRow {
    std::optional<double> number;   // N
    std::string type;               // TYPE, UTF-8, empty for null
    std::optional<double> diameter; // D, mm
    std::optional<double> force;
    std::optional<double> stress;

    const std::optional<double>& value(Quantity q) const { return q == Quantity::Force ? force : stress; }
};

// The figures of one quantity over the rows of one series. Rows without a
// value are left out of every figure and counted in `empty`.
struct QuantitySummary {
    size_t count = 0; // n
    size_t empty = 0;
    std::optional<double> mean;           // n ≥ 1
    std::optional<double> minimum;        // n ≥ 1
    std::optional<double> maximum;        // n ≥ 1
    std::optional<double> deviation;      // sample standard deviation (n − 1), n ≥ 2
    std::optional<double> variation;      // coefficient of variation in %, s / |mean|; not for mean 0
    std::optional<double> characteristic; // mean − kₙ·s, n ≥ 3
    bool checked = false;                 // a required value was given
    std::vector<size_t> failed;           // rows below it: indexes into the rows, in their order
};

// Rows of one reinforcement type and diameter, or all rows together.
struct Series {
    bool allRows = false;
    std::string type;                // for a series of one type
    std::optional<double> diameter;  // for a series of one type; empty D is a diameter of its own
    std::vector<size_t> rows;        // indexes into the rows, in their order
    QuantitySummary force;
    QuantitySummary stress;

    const QuantitySummary& summary(Quantity q) const { return q == Quantity::Force ? force : stress; }
};

// The series by type and diameter in the order each first appears, then the
// line of all rows together (also for no rows at all).
// `required` is in the units of the rows.
std::vector<Series> seriesStatistics(const std::vector<StatsRow>& rows, const RequiredValues& required);

} // namespace zent5::stats
