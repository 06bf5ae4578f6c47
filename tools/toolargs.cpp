#include "toolargs.h"

#include "table/dbfformat.h"

namespace zent5::tool {

std::optional<UnitsAndFiles> parseUnitsAndFiles(const std::vector<std::string>& args)
{
    UnitsAndFiles parsed;
    std::vector<std::string> files;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--units") {
            if (i + 1 >= args.size())
                return std::nullopt;
            const std::optional<Units> units = parseUnitsName(args[++i]);
            if (!units)
                return std::nullopt;
            parsed.units = *units;
        } else if (args[i].empty() || args[i][0] == '-') {
            return std::nullopt;
        } else {
            files.push_back(args[i]);
        }
    }
    if (files.size() != 2)
        return std::nullopt;
    parsed.table = files[0];
    parsed.output = files[1];
    return parsed;
}

std::optional<Units> parseUnitsName(const std::string& name)
{
    if (name == "kn")
        return Units::KiloNewton;
    if (name == "kgf")
        return Units::KiloGramForce;
    return std::nullopt;
}

std::optional<double> parseNumberArgument(const std::string& text)
{
    if (const std::optional<double> v = dbf::parseDecimal(text, '.'))
        return v;
    return dbf::parseDecimal(text, ',');
}

} // namespace zent5::tool
