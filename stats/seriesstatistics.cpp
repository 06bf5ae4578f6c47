#include "seriesstatistics.h"

#include "fractilefactor.h"

#include <cmath>
#include <map>
#include <string_view>

namespace zent5::stats {
namespace {

// Welford's running mean and sum of squared deviations: one pass, and no
// cancellation between a large sum of squares and a large squared mean.
class Accumulator {
public:
    void add(double x)
    {
        ++m_count;
        const double delta = x - m_mean;
        m_mean += delta / double(m_count);
        m_squares += delta * (x - m_mean);
        if (m_count == 1 || x < m_min)
            m_min = x;
        if (m_count == 1 || x > m_max)
            m_max = x;
    }

    void fill(QuantitySummary& s) const
    {
        s.count = m_count;
        if (m_count == 0)
            return;
        s.mean = m_mean;
        s.minimum = m_min;
        s.maximum = m_max;
        if (m_count < 2)
            return;
        const double deviation = std::sqrt(m_squares / double(m_count - 1));
        s.deviation = deviation;
        if (m_mean != 0)
            s.variation = 100 * deviation / std::fabs(m_mean);
        if (const std::optional<double> k = fractileFactor(m_count))
            s.characteristic = m_mean - *k * deviation;
    }

private:
    size_t m_count = 0;
    double m_mean = 0;
    double m_squares = 0;
    double m_min = 0;
    double m_max = 0;
};

struct Working {
    Series series;
    Accumulator force;
    Accumulator stress;
};

void addRow(Working& w, const StatsRow& row, size_t index, const RequiredValues& required)
{
    w.series.rows.push_back(index);
    for (const Quantity q : {Quantity::Force, Quantity::Stress}) {
        QuantitySummary& s = q == Quantity::Force ? w.series.force : w.series.stress;
        const std::optional<double>& v = row.value(q);
        if (!v) {
            ++s.empty;
            continue;
        }
        (q == Quantity::Force ? w.force : w.stress).add(*v);
        if (const std::optional<double>& r = required.value(q); r && *v < *r)
            s.failed.push_back(index);
    }
}

Series finish(Working& w, const RequiredValues& required)
{
    w.force.fill(w.series.force);
    w.stress.fill(w.series.stress);
    w.series.force.checked = required.force.has_value();
    w.series.stress.checked = required.stress.has_value();
    return std::move(w.series);
}

// The key views the type of the series' first row, which outlives the map.
struct SeriesKey {
    std::string_view type;
    std::optional<double> diameter;
    bool operator<(const SeriesKey& o) const
    {
        if (type != o.type)
            return type < o.type;
        return diameter < o.diameter;
    }
};

} // namespace

std::vector<Series> seriesStatistics(const std::vector<StatsRow>& rows, const RequiredValues& required)
{
    std::vector<Working> bySeries;
    std::map<SeriesKey, size_t> index;
    Working all;
    all.series.allRows = true;
    all.series.rows.reserve(rows.size());
    size_t last = 0; // rows of one series mostly come together
    for (size_t i = 0; i < rows.size(); ++i) {
        const StatsRow& row = rows[i];
        size_t at = last;
        if (bySeries.empty() || bySeries[at].series.type != row.type || bySeries[at].series.diameter != row.diameter) {
            const auto [it, added] = index.try_emplace(SeriesKey{row.type, row.diameter}, bySeries.size());
            if (added) {
                bySeries.emplace_back();
                bySeries.back().series.type = row.type;
                bySeries.back().series.diameter = row.diameter;
            }
            at = it->second;
        }
        last = at;
        addRow(bySeries[at], row, i, required);
        addRow(all, row, i, required);
    }
    std::vector<Series> out;
    out.reserve(bySeries.size() + 1);
    for (Working& w : bySeries)
        out.push_back(finish(w, required));
    out.push_back(finish(all, required));
    return out;
}

} // namespace zent5::stats
