// Times the table component on the jobs a large archive asks of it and
// prints the times and the peak memory. Not a test: run it by hand,
// preferably from an optimised build:
//   zent5_table_bench [ROWS] [FOLDER]
#include "bench/common/samplecomments.h"
#include "table/dbftable.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/resource.h>

using namespace zent5;

namespace {

using Clock = std::chrono::steady_clock;

// Wall time of a job, and the processor time it used (user + system, all
// threads), which a busy machine disturbs less.
struct Mark {
    Clock::time_point wall;
    double cpu;
};

double cpuSeconds()
{
    rusage u {};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

Mark now() { return Mark{Clock::now(), cpuSeconds()}; }

long peakRssKiB()
{
    rusage u {};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

void report(const char* job, const Mark& start)
{
    const double wall = std::chrono::duration<double>(Clock::now() - start.wall).count();
    std::printf("%-46s %7.3f s wall %7.3f s cpu   peak RSS %6.1f MiB\n", job, wall, cpuSeconds() - start.cpu,
                double(peakRssKiB()) / 1024.0);
}

std::string comment(uint32_t i) { return bench::sampleComment(i); }

} // namespace

int main(int argc, char** argv)
{
    const uint32_t rows = argc > 1 ? uint32_t(std::strtoul(argv[1], nullptr, 10)) : 100000;
    const std::filesystem::path folder =
        argc > 2 ? std::filesystem::path(argv[2]) : std::filesystem::temp_directory_path() / "zent5-table-bench";
    std::filesystem::create_directories(folder);
    std::filesystem::remove(folder / "bench.db");
    std::filesystem::remove(folder / "bench.mdx");

    DbfTable t;
    t.setFilePath(folder.string());
    t.setTableName("bench.db");

    auto start = now();
    t.CreateNew();
    t.Open();
    for (uint32_t i = 1; i <= rows; ++i) {
        const uint32_t x = i * 2654435761u;
        t.Append();
        t.SetFieldValue("N", double(i));
        t.SetFieldValue("DATE", std::string("07.03.2014"));
        t.SetFieldValue("TIME", std::string("09:05:07"));
        t.SetFieldValue("SERIAL", 4242.0);
        const double p = double(x % 500000) / 100.0;
        t.SetFieldValue("P", p);
        t.SetFieldValue("P_KG", double(int(p / 0.00980665 + 0.5)));
        t.SetFieldValue("S", double(x % 20000) / 10.0);
        t.SetFieldValue("S_KG", double(x % 20000));
        t.SetFieldValue("F", 28.3);
        t.SetFieldValue("D", 5.0);
        t.SetFieldValue("TYPE", std::string(i % 3 ? "проволока" : "канат"));
        t.SetFieldValue("COMMENT", comment(i));
        t.SetFieldValue("F_MM", 0.283);
        t.Post();
    }
    t.Close();
    report("create rows (Append/SetFieldValue/Post)", start);
    const auto fileSize = std::filesystem::file_size(folder / "bench.db");
    std::printf("%-44s %8.1f MiB (%u rows)\n", "file size", double(fileSize) / 1048576.0, rows);

    start = now();
    t.Open();
    const int visible = t.VisibleCount();
    report("open + VisibleCount", start);
    if (uint32_t(visible) != rows)
        std::printf("unexpected VisibleCount %d\n", visible);

    auto sortBy = [&](const char* column, bool up) {
        t.setIndexName("");
        t.DeleteIndex("tab1");
        t.Refresh();
        t.AddIndex("tab1", column, up);
        t.setIndexName("tab1");
        t.RebuildIndexes();
        t.Refresh();
    };
    start = now();
    t.AddIndex("tab1", "P", false);
    report("AddIndex by P (one build)", start);
    start = now();
    sortBy("P", true);
    report("sort sequence by P (AddIndex + Rebuild)", start);
    start = now();
    t.AddIndex("tab1", "COMMENT", false);
    report("AddIndex by COMMENT (one build)", start);
    start = now();
    sortBy("COMMENT", false);
    report("sort sequence by COMMENT (AddIndex + Rebuild)", start);

    start = now();
    double sum = 0;
    for (uint32_t r : t.ViewOrder())
        sum += std::get<double>(t.ReadField(r, "P"));
    report("read P of every row in sorted order", start);

    t.setIndexName("");
    t.DeleteIndex("tab1");
    start = now();
    // The delete command goes from the last selected row to the first.
    for (uint32_t r = (rows / 10) * 10; r >= 10; r -= 10) {
        t.GoTo(r);
        t.Delete();
    }
    report("delete every tenth row", start);
    start = now();
    t.Pack();
    report("Pack", start);
    std::printf("%-44s %8d\n", "rows after Pack", t.VisibleCount());
    t.Close();
    std::filesystem::remove(folder / "bench.db");
    std::filesystem::remove(folder / "bench.mdx");
    std::printf("(checksum %.2f)\n", sum);
    return 0;
}
