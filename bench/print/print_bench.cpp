// Times a long report: a table of many rows composed (two passes) and
// written as a PDF, as `zent5-tool report` does. Prints the times and the
// peak resident memory.
//
//   zent5_print_bench [ROWS] [--units kn|kgf] [--keep OUT.pdf]
#include "print/reportcomposer.h"
#include "print/reportlayout.h"
#include "print/reportrenderer.h"
#include "records/error.h"
#include "table/dbftable.h"

#include <QGuiApplication>

#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point t) { return std::chrono::duration<double>(Clock::now() - t).count(); }

rusage usageNow()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u;
}

double cpuSeconds(const rusage& u)
{
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

void fillTable(zent5::DbfTable& t, int rows)
{
    t.CreateNew();
    t.Open();
    for (int i = 1; i <= rows; ++i) {
        t.Append();
        t.SetFieldValue("N", double(i));
        t.SetFieldValue("DATE", std::string("07.03.2014"));
        t.SetFieldValue("TIME", std::string("09:05:07"));
        t.SetFieldValue("SERIAL", 1234.0);
        t.SetFieldValue("P", 12.34 + i % 100);
        t.SetFieldValue("P_KG", 1258.0 + i % 1000);
        t.SetFieldValue("S", 436.0 + i % 10);
        t.SetFieldValue("S_KG", 4446.0);
        t.SetFieldValue("F", 28.3);
        t.SetFieldValue("D", 6.0);
        t.SetFieldValue("TYPE", std::string(i % 3 ? "проволока" : "канат"));
        if (i % 4 == 0)
            t.SetFieldValue("COMMENT", std::string("анкер у западной стены, повторное испытание после монтажа, ряд ") +
                                           std::to_string(i));
        t.SetFieldValue("F_MM", 0.283);
        t.Post();
    }
    t.Close();
}

} // namespace

int main(int argc, char** argv)
{
    int rows = 10000;
    zent5::Units units = zent5::Units::KiloNewton;
    std::string keep;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--units" && i + 1 < argc)
            units = std::string(argv[++i]) == "kgf" ? zent5::Units::KiloGramForce : zent5::Units::KiloNewton;
        else if (a == "--keep" && i + 1 < argc)
            keep = argv[++i];
        else
            rows = std::atoi(argv[i]);
    }
    if (!std::getenv("QT_QPA_PLATFORM") && !std::getenv("DISPLAY"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QGuiApplication app(argc, argv);

    const auto dir = std::filesystem::temp_directory_path() / ("zent5-print-bench-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    const std::string pdf = keep.empty() ? (dir / "report.pdf").string() : keep;
    try {
        zent5::DbfTable table;
        table.setFilePath(dir.string() + "/");
        table.setTableName("bench.db");
        fillTable(table, rows);

        const rusage before = usageNow();
        const auto start = Clock::now();
        table.setExclusive(false);
        table.Open();
        const zent5::ComposedReport report = zent5::ReportComposer(zent5::reportLayoutFor(units)).compose(table);
        table.Close();
        const double composeSeconds = secondsSince(start);
        const auto paintStart = Clock::now();
        zent5::writeReportPdf(report, pdf);
        const double pdfSeconds = secondsSince(paintStart);

        const rusage usage = usageNow();
        std::printf("rows %d, pages %zu, PDF %.1f MB\n", rows, report.pages.size(),
                    double(std::filesystem::file_size(pdf)) / 1e6);
        std::printf("compose %.3f s, PDF %.3f s, total %.3f s, peak RSS %.1f MB\n", composeSeconds, pdfSeconds,
                    composeSeconds + pdfSeconds, double(usage.ru_maxrss) / 1024.0);
        // CPU time and page faults do not depend on what else the machine runs.
        std::printf("CPU %.3f s, minor page faults %ld\n", cpuSeconds(usage) - cpuSeconds(before),
                    usage.ru_minflt - before.ru_minflt);
    } catch (const zent5::Error& e) {
        std::fprintf(stderr, "%s\n", e.what());
        std::filesystem::remove_all(dir);
        return 1;
    }
    std::filesystem::remove_all(dir);
    return 0;
}
