#include "statscsv.h"

#include "records/csv.h"

#include <charconv>

namespace zent5::stats {
namespace {

std::string optionalNumber(const std::optional<double>& v)
{
    return v ? fileNumber(*v) : std::string();
}

void appendLine(std::string& out, const Series& s, Quantity q, std::string_view name,
                const std::vector<StatsRow>& rows)
{
    const QuantitySummary& f = s.summary(q);
    out += s.allRows ? std::string(kAllRowsType) : csvField(s.type);
    out += ',' + (s.allRows ? std::string() : optionalNumber(s.diameter));
    out += ',' + csvField(name);
    out += ',' + std::to_string(f.count);
    for (const std::optional<double>* v :
         {&f.mean, &f.minimum, &f.maximum, &f.deviation, &f.variation, &f.characteristic})
        out += ',' + optionalNumber(*v);
    out += ',';
    if (f.checked)
        out += std::to_string(f.failed.size());
    out += ',';
    bool first = true;
    for (const size_t i : f.failed) {
        if (!rows[i].number)
            continue;
        out += (first ? "" : " ") + fileNumber(*rows[i].number);
        first = false;
    }
    out += ',' + std::to_string(f.empty) + '\n';
}

} // namespace

std::string fileNumber(double value)
{
    if (value == 0)
        return "0"; // also for -0
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 15);
    return std::string(buf, r.ptr);
}

std::string statisticsCsv(const std::vector<Series>& series, const std::vector<StatsRow>& rows,
                          std::string_view forceName, std::string_view stressName)
{
    std::string out(kStatsCsvHeading);
    for (const Series& s : series) {
        appendLine(out, s, Quantity::Force, forceName, rows);
        appendLine(out, s, Quantity::Stress, stressName, rows);
    }
    return out;
}

} // namespace zent5::stats
