#include "stats/requiredentry.h"

#include "records/cellformat.h"

namespace zent5::stats {

RequiredEntry readRequiredEntry(std::string_view typed)
{
    // The grid's reading of typed numbers takes "." and the separator given.
    const std::optional<FieldValue> number = typed_number(typed, ',');
    if (!number)
        return {false, std::nullopt};
    const double* value = std::get_if<double>(&*number);
    if (!value)
        return {};
    if (*value < 0)
        return {false, std::nullopt};
    return {true, *value};
}

} // namespace zent5::stats
