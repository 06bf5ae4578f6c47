#include "statsrows.h"

namespace zent5::stats {
namespace {

std::optional<double> number(const FieldValue& v)
{
    if (const double* d = std::get_if<double>(&v))
        return *d;
    return std::nullopt;
}

} // namespace

std::vector<StatsRow> readStatsRows(RowCursor& cursor, std::string_view forceField, std::string_view stressField)
{
    std::vector<StatsRow> rows;
    for (cursor.First(); !cursor.Eof(); cursor.Next()) {
        StatsRow& row = rows.emplace_back();
        row.number = number(cursor.FieldValueOf("N"));
        if (FieldValue type = cursor.FieldValueOf("TYPE"); std::holds_alternative<std::string>(type))
            row.type = std::move(std::get<std::string>(type));
        row.diameter = number(cursor.FieldValueOf("D"));
        row.force = number(cursor.FieldValueOf(forceField));
        row.stress = number(cursor.FieldValueOf(stressField));
    }
    return rows;
}

} // namespace zent5::stats
