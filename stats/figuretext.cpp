#include "stats/figuretext.h"

#include "records/cellformat.h"
#include "records/gridcolumns.h"
#include "stats/shownunits.h"

namespace zent5::stats {

std::string numberText(double value, GridFormat format, char separator)
{
    return cell_text(FieldValue(value), format, separator);
}

GridFormat columnFormat(std::string_view field)
{
    static const GridColumns columns = GridColumns::measurement();
    const int at = columns.indexOf(field);
    return at < 0 ? GridFormat::General : columns[at].format;
}

GridFormat quantityFormat(Quantity q, Units dimension) { return columnFormat(shownUnits(dimension).field(q)); }

std::string figureText(double value, Quantity q, Units dimension, char separator)
{
    return numberText(value, quantityFormat(q, dimension), separator);
}

} // namespace zent5::stats
