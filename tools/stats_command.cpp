#include "commands.h"
#include "guiapplication.h"
#include "toolargs.h"

#include "print/reportrenderer.h"
#include "records/error.h"
#include "records/text.h"
#include "stats/seriesstatistics.h"
#include "stats/shownunits.h"
#include "stats/statisticspage.h"
#include "stats/statscsv.h"
#include "stats/statsrows.h"
#include "tools/tooltables.h"

#include <cstdio>
#include <optional>
#include <string>

namespace zent5::tool {
namespace {

const char kUsage[] = "usage: zent5-tool stats [--units kn|kgf] [--required-force X] [--required-stress Y] "
                      "[--pdf FILE] TABLE.db\n";

struct StatsOptions {
    Units units = Units::KiloNewton;
    stats::RequiredValues required; // in the units chosen
    std::string table;
    std::string pdf; // empty: no page
};

int usageError(const std::string& what) { return tool::usageError("stats", what, kUsage); }

// Empty on success, otherwise what is wrong with the arguments.
std::string parseArguments(const std::vector<std::string>& args, StatsOptions& options)
{
    const CommandArguments split = splitArguments(args);
    for (const CommandArguments::Option& option : split.options) {
        const std::string& name = option.name;
        const std::optional<std::string>& value = option.value;
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
        } else if (name == "--pdf") {
            if (!value || value->empty())
                return "--pdf needs a file name";
            options.pdf = *value;
        } else {
            return "unknown option " + option.given;
        }
    }
    if (const std::string problem = oneTableProblem(split.files); !problem.empty())
        return problem;
    options.table = split.files[0];
    return {};
}

// The page the statistics window prints with its first choice of chart:
// all rows together, the force.
void writeStatisticsPdf(std::vector<stats::StatsRow> rows, const std::vector<stats::Series>& series,
                        const std::string& tableName, const StatsOptions& options)
{
    const auto app = startGui();
    stats::StatisticsInput input{std::move(rows), false, options.units, tableName};
    const stats::StatisticsPage page =
        stats::statisticsPage(input, series, options.required, stats::firstChartSeries(series),
                              stats::Quantity::Force, text::decimalSeparator());
    writeReportPdf(stats::composeStatisticsPage(page), options.pdf);
}

} // namespace

// zent5-tool stats: the figures of the table's visible rows in file order,
// per series of type and diameter and for all rows, as UTF-8 CSV, and with
// --pdf the page the statistics window prints. The required values are in
// the units chosen.
int runStats(const std::vector<std::string>& args)
{
    StatsOptions options;
    if (const std::string wrong = parseArguments(args, options); !wrong.empty())
        return usageError(wrong);
    const stats::ShownUnits units = stats::shownUnits(options.units);
    std::string csv;
    try {
        ToolTables tables;
        tables.session().openForReading(options.table);
        std::vector<stats::StatsRow> rows = stats::readStatsRows(tables.table(), options.units);
        const std::string tableName = tables.table().TableName();
        tables.session().close();
        const std::vector<stats::Series> series = stats::seriesStatistics(rows, options.required);
        csv = stats::statisticsCsv(series, rows, units.forceField, units.stressField);
        if (!options.pdf.empty())
            writeStatisticsPdf(std::move(rows), series, tableName, options);
    } catch (const Error& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    std::fwrite(csv.data(), 1, csv.size(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}

} // namespace zent5::tool
