#include "toolargs.h"

#include "table/dbfformat.h"

#include <cstdio>

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

CommandArguments splitArguments(const std::vector<std::string>& args)
{
    CommandArguments split;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg.empty() || arg[0] != '-') {
            split.files.push_back(arg);
            continue;
        }
        CommandArguments::Option option{arg, std::nullopt, arg};
        if (const size_t eq = arg.find('='); eq != std::string::npos) {
            option.name = arg.substr(0, eq);
            option.value = arg.substr(eq + 1);
        } else if (i + 1 < args.size()) {
            option.value = args[++i];
        }
        split.options.push_back(std::move(option));
    }
    return split;
}

std::string oneTableProblem(const std::vector<std::string>& files)
{
    if (files.size() == 1)
        return {};
    return files.empty() ? "no table file given" : "only one table file may be given";
}

std::optional<double> parseNumberArgument(const std::string& text)
{
    if (const std::optional<double> v = dbf::parseDecimal(text, '.'))
        return v;
    return dbf::parseDecimal(text, ',');
}

int usageError(const char* command, const std::string& what, const char* usage)
{
    if (!what.empty())
        std::fprintf(stderr, "zent5-tool %s: %s\n", command, what.c_str());
    std::fputs(usage, stderr);
    return 2;
}

} // namespace zent5::tool
