// Times the statistics window's opening on a large table in its steps, as
// "Сервис > Статистика" takes them with the table open in the grid: the
// rows from the grid, the series and their figures, the texts of the table
// of figures and the chart, the window made with its chart filled, and the
// window shown and painted once. Not a test: run it by hand, preferably from
// an optimised build, on a table made by `zent5_bench_jobs create 100000 FILE.db`:
//
//   zent5_statswindow_bench FILE.db [REPEAT]
//
// Prints the best time of each step over REPEAT runs (default 5).
#include "records/gridcolumns.h"
#include "app/gridstatistics.h"
#include "app/tablerows.h"
#include "records/error.h"
#include "records/text.h"
#include "stats/statisticssheet.h"
#include "app/statisticswindow.h"
#include "table/dbftable.h"

#include <QApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <numeric>
#include <string>
#include <vector>

using namespace zent5;

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point t) { return std::chrono::duration<double>(Clock::now() - t).count(); }

struct Step {
    const char* name;
    double best = 1e9;
    void take(Clock::time_point start) { best = std::min(best, secondsSince(start)); }
};

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fputs("usage: zent5_statswindow_bench FILE.db [REPEAT]\n", stderr);
        return 2;
    }
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    const std::filesystem::path file = argv[1];
    const int repeat = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    Step open{"open the table as the grid shows it"}, gridRows{"rows from the grid"},
        series{"series statistics and acceptance"}, texts{"table of figures and chart content"},
        window{"window made, chart filled"}, painted{"window shown and painted"};
    size_t rows = 0, lines = 0;
    try {
        DbfTable table;
        table.setFilePath(file.parent_path().empty() ? "." : file.parent_path().string());
        table.setTableName(file.filename().string());
        table.setExclusive(false);
        std::vector<std::string> fields;
        for (const GridColumn& c : GridColumns::measurement())
            fields.push_back(c.field);
        for (int i = 0; i < repeat; ++i) {
            auto start = Clock::now();
            table.Close();
            table.Open();
            TableRows source(table, fields);
            source.reload();
            open.take(start);

            start = Clock::now();
            std::vector<int> all(size_t(source.rowCount()));
            std::iota(all.begin(), all.end(), 0);
            stats::StatisticsInput input{grid_stats_rows(source, all, Units::KiloNewton), false, Units::KiloNewton,
                                          file.filename().string()};
            gridRows.take(start);

            const stats::RequiredValues required{20.0, 1000.0};
            start = Clock::now();
            const std::vector<stats::Series> s = stats::seriesStatistics(input.rows, required);
            series.take(start);

            start = Clock::now();
            const stats::FigureTable figures = stats::figureTable(s, input.rows, Units::KiloNewton, text::decimalSeparator());
            const ChartContent chart = stats::statisticsChart(s.back(), input.rows, stats::Quantity::Force,
                                                              Units::KiloNewton, required.force, text::decimalSeparator());
            texts.take(start);
            rows = input.rows.size();
            lines = figures.lines.size();

            start = Clock::now();
            stats::StatisticsWindow w(std::move(input), required, {});
            window.take(start);

            start = Clock::now();
            w.show();
            QApplication::processEvents();
            (void)w.grab();
            painted.take(start);
        }
    } catch (const Error& e) {
        std::fprintf(stderr, "zent5_statswindow_bench: %s\n", e.what());
        return 1;
    }
    std::printf("%zu rows, %zu lines of figures; best of %d runs\n", rows, lines, repeat);
    for (const Step* s : {&open, &gridRows, &series, &texts, &window, &painted})
        std::printf("%-40s %7.3f s\n", s->name, s->best);
    std::printf("%-40s %7.3f s (aim: under 0.3 s)\n", "the command, from the grid's rows to the window",
                gridRows.best + window.best + painted.best);
    return 0;
}
