#include "statsrows.h"

namespace zent5::stats {
namespace {

std::optional<double> numberOf(const FieldValue& v)
{
    if (const double* d = std::get_if<double>(&v))
        return *d;
    return std::nullopt;
}

} // namespace

StatsRow statsRow(const FieldValue& number, FieldValue type, const FieldValue& diameter, const FieldValue& force,
                  const FieldValue& stress)
{
    StatsRow row;
    row.number = numberOf(number);
    if (std::holds_alternative<std::string>(type))
        row.type = std::move(std::get<std::string>(type));
    row.diameter = numberOf(diameter);
    row.force = numberOf(force);
    row.stress = numberOf(stress);
    return row;
}

StatsRow statsRowOf(Units units, const std::function<FieldValue(std::string_view field)>& field)
{
    const UnitFields fields = unitFields(units);
    return statsRow(field("N"), field("TYPE"), field("D"), field(fields.force), field(fields.stress));
}

std::vector<StatsRow> readStatsRows(RowCursor& cursor, Units units)
{
    std::vector<StatsRow> rows;
    const auto field = [&cursor](std::string_view name) { return cursor.FieldValueOf(name); };
    for (cursor.First(); !cursor.Eof(); cursor.Next())
        rows.push_back(statsRowOf(units, field));
    return rows;
}

} // namespace zent5::stats
