// Times the series statistics of a large table in its steps, as
// `zent5-tool stats` and the statistics window take them: open the table
// and read the visible rows, compute the series, write the CSV. Not a test:
// run it by hand, preferably from an optimised build, on a table made by
// `zent5_bench_jobs create 100000 FILE.db`:
//
//   zent5_stats_bench FILE.db [REPEAT]
//
// Prints the best time of each step over REPEAT runs (default 5).
#include "records/error.h"
#include "stats/seriesstatistics.h"
#include "stats/statscsv.h"
#include "stats/statsrows.h"
#include "table/dbftable.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

using namespace zent5;

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point t) { return std::chrono::duration<double>(Clock::now() - t).count(); }

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fputs("usage: zent5_stats_bench FILE.db [REPEAT]\n", stderr);
        return 2;
    }
    const std::filesystem::path file = argv[1];
    const int repeat = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    double read = 1e9, compute = 1e9, csv = 1e9;
    size_t rows = 0, series = 0, bytes = 0;
    try {
        for (int i = 0; i < repeat; ++i) {
            auto start = Clock::now();
            DbfTable t;
            t.setFilePath(file.parent_path().empty() ? "." : file.parent_path().string());
            t.setTableName(file.filename().string());
            t.setExclusive(false);
            t.Open();
            const std::vector<stats::StatsRow> r = stats::readStatsRows(t, Units::KiloNewton);
            t.Close();
            read = std::min(read, secondsSince(start));

            start = Clock::now();
            const std::vector<stats::Series> s = stats::seriesStatistics(r, {20.0, 1000.0});
            compute = std::min(compute, secondsSince(start));

            start = Clock::now();
            const std::string text = stats::statisticsCsv(s, r, "P", "S");
            csv = std::min(csv, secondsSince(start));
            rows = r.size();
            series = s.size();
            bytes = text.size();
        }
    } catch (const Error& e) {
        std::fprintf(stderr, "zent5_stats_bench: %s\n", e.what());
        return 1;
    }
    std::printf("%zu rows, %zu series lines, %zu bytes of CSV; best of %d runs\n", rows, series, bytes, repeat);
    std::printf("%-40s %7.3f s\n", "open the table and read the rows", read);
    std::printf("%-40s %7.3f s\n", "series statistics and acceptance", compute);
    std::printf("%-40s %7.3f s\n", "CSV", csv);
    std::printf("%-40s %7.3f s (aim: under 0.3 s)\n", "together", read + compute + csv);
    return 0;
}
