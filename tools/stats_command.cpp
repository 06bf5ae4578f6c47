#include "commands.h"
#include "toolargs.h"

#include "records/error.h"
#include "stats/seriesstatistics.h"
#include "stats/statscsv.h"
#include "stats/statsrows.h"
#include "table/dbftable.h"

#include <cstdio>
#include <optional>
#include <string>

namespace zent5::tool {
namespace {

const char kUsage[] =
    "usage: zent5-tool stats [--units kn|kgf] [--required-force X] [--required-stress Y] TABLE.db\n";

struct StatsOptions {
    Units units = Units::KiloNewton;
    stats::RequiredValues required; // in the units chosen
    std::string table;
};

int usageError(const std::string& what)
{
    std::fprintf(stderr, "zent5-tool stats: %s\n", what.c_str());
    std::fputs(kUsage, stderr);
    return 2;
}

// Empty on success, otherwise what is wrong with the arguments.
std::string parseArguments(const std::vector<std::string>& args, StatsOptions& options)
{
    std::vector<std::string> tables;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg.empty() || arg[0] != '-') {
            tables.push_back(arg);
            continue;
        }
        std::string name = arg;
        std::optional<std::string> value;
        if (const size_t eq = arg.find('='); eq != std::string::npos) {
            name = arg.substr(0, eq);
            value = arg.substr(eq + 1);
        } else if (i + 1 < args.size()) {
            value = args[++i];
        }
        if (name == "--units") {
            const std::optional<Units> units = value ? parseUnitsName(*value) : std::nullopt;
            if (!units)
                return "--units needs kn or kgf";
            options.units = *units;
        } else if (name == "--required-force" || name == "--required-stress") {
            const std::optional<double> v = value ? parseNumberArgument(*value) : std::nullopt;
            if (!v || *v < 0)
                return name + " needs a number of 0 or more";
            (name == "--required-force" ? options.required.force : options.required.stress) = *v;
        } else {
            return "unknown option " + arg;
        }
    }
    if (tables.size() != 1)
        return tables.empty() ? "no table file given" : "only one table file may be given";
    options.table = tables[0];
    return {};
}

} // namespace

// zent5-tool stats: the figures of the table's visible rows in file order,
// per series of type and diameter and for all rows, as UTF-8 CSV. The
// required values are in the units chosen.
int runStats(const std::vector<std::string>& args)
{
    StatsOptions options;
    if (const std::string wrong = parseArguments(args, options); !wrong.empty())
        return usageError(wrong);
    const UnitFields fields = unitFields(options.units);
    const std::string forceField(fields.force);
    const std::string stressField(fields.stress);
    DbfTable table;
    pointAtFileForReading(table, options.table);
    std::string csv;
    try {
        table.Open();
        const std::vector<stats::StatsRow> rows = stats::readStatsRows(table, forceField, stressField);
        table.Close();
        csv = stats::statisticsCsv(stats::seriesStatistics(rows, options.required), rows, forceField, stressField);
    } catch (const Error& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    std::fwrite(csv.data(), 1, csv.size(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}

} // namespace zent5::tool
