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

std::vector<StatsRow> readStatsRows(RowCursor& cursor, std::string_view forceField, std::string_view stressField)
{
    std::vector<StatsRow> rows;
    for (cursor.First(); !cursor.Eof(); cursor.Next())
        rows.push_back(statsRow(cursor.FieldValueOf("N"), cursor.FieldValueOf("TYPE"), cursor.FieldValueOf("D"),
                                cursor.FieldValueOf(forceField), cursor.FieldValueOf(stressField)));
    return rows;
}

} // namespace zent5::stats
