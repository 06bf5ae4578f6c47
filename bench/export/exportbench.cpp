// Export of a full sheet (65,535 measurement rows x 9 columns), timed beside
// Gnumeric's ssconvert writing the same data from CSV in the same run.
//
//   zent5_export_bench [ROWS] [FOLDER]
//
// Build it optimised (CMAKE_BUILD_TYPE=Release, no sanitizers) for figures.

#include "export/excelexport.h"
#include "export/xlsworkbook.h"
#include "export/xlswriter.h"
#include "records/csv.h"
#include "records/rowcursor.h"
#include "table/dbftable.h"

#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using namespace zent5;
namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;

double seconds(Clock::time_point from) { return std::chrono::duration<double>(Clock::now() - from).count(); }

struct Row {
    double n, d, p, pKg, s, sKg, f, fMm;
    std::string date, time, type, comment;
};

std::vector<Row> makeRows(int count)
{
    static const char* types[] = {"анкер", "канат К7", "проволока", "арматура А500"};
    std::vector<Row> rows;
    rows.reserve(size_t(count));
    char date[16], time[16];
    for (int i = 0; i < count; ++i) {
        Row r;
        r.n = i + 1;
        std::snprintf(date, sizeof date, "%02d.%02d.20%02d", 1 + i % 28, 1 + i / 28 % 12, 20 + i / 336 % 10);
        std::snprintf(time, sizeof time, "%02d:%02d:%02d", i / 3600 % 24, i / 60 % 60, i % 60);
        r.date = date;
        r.time = time;
        r.type = types[i % 4];
        r.d = 5 + (i % 40) * 0.5;
        r.p = 10 + (i % 997) * 0.25;
        r.pKg = r.p * 101.97162;
        r.f = 3.14159265 * r.d * r.d / 4;
        r.fMm = r.f / 100;
        r.s = r.p * 1000 / r.f;
        r.sKg = r.pKg / r.fMm;
        r.comment = i % 7 == 0 ? "" : "проба " + std::to_string(i % 100);
        rows.push_back(std::move(r));
    }
    return rows;
}

// The rows as the table component would give them.
class MemoryCursor : public RowCursor {
public:
    explicit MemoryCursor(const std::vector<Row>& rows) : m_rows(rows) {}
    bool Active() const override { return true; }
    void Refresh() override {}
    void First() override { m_at = 0; }
    void Last() override { m_at = m_rows.empty() ? 0 : m_rows.size() - 1; }
    void Next() override { ++m_at; }
    bool Eof() const override { return m_at >= m_rows.size(); }
    int VisibleCount() override { return int(m_rows.size()); }
    std::string FieldText(std::string_view c) override
    {
        const Row& r = m_rows[m_at];
        return c == "DATE" ? r.date : c == "TIME" ? r.time : c == "TYPE" ? r.type : r.comment;
    }
    double FieldNumber(std::string_view c) override
    {
        const Row& r = m_rows[m_at];
        if (c == "N") return r.n;
        if (c == "D") return r.d;
        if (c == "P") return r.p;
        if (c == "P_KG") return r.pKg;
        if (c == "S") return r.s;
        if (c == "S_KG") return r.sKg;
        if (c == "F") return r.f;
        return r.fMm;
    }
    FieldValue FieldValueOf(std::string_view) override { return {}; }
    void Append() override {}
    void SetFieldValue(std::string_view, const FieldValue&) override {}
    void Post() override {}

private:
    const std::vector<Row>& m_rows;
    size_t m_at = 0;
};

void writeCsv(const std::vector<Row>& rows, const fs::path& file)
{
    std::ofstream out(file, std::ios::binary);
    out << "N,Дата,Время,Тип анкера,\"d, мм\",\"F, кН\",\"б, МПа\",\"S, кв.мм\",Примечание\n";
    char num[64];
    auto number = [&](double v) { return std::string(num, std::to_chars(num, num + sizeof num, v).ptr); };
    for (const Row& r : rows)
        out << number(r.n) << ',' << r.date << ',' << r.time << ',' << csvField(r.type) << ',' << number(r.d) << ','
            << number(r.p) << ',' << number(r.s) << ',' << number(r.f) << ',' << csvField(r.comment) << '\n';
}

// User + system CPU seconds of this process; steadier than wall time when
// other work shares the machine.
double cpuSeconds()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// VmHWM of this process; unlike ru_maxrss it starts afresh in a new program.
long peakRssKb()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0)
            return std::atol(line.c_str() + 6);
    return 0;
}

// Runs a program; its wall time and peak RSS. -1 when it could not run.
struct ChildRun {
    double seconds = -1;
    double cpu = 0;
    long peakKb = 0;
    int status = -1;
};

ChildRun runChild(const std::vector<std::string>& argv, bool quiet = true)
{
    ChildRun r;
    std::fflush(nullptr);
    const auto start = Clock::now();
    const pid_t pid = fork();
    if (pid < 0)
        return r;
    if (pid == 0) {
        std::vector<char*> a;
        for (const auto& s : argv)
            a.push_back(const_cast<char*>(s.c_str()));
        a.push_back(nullptr);
        if (quiet)
            std::freopen("/dev/null", "w", stdout);
        std::freopen("/dev/null", "w", stderr);
        execvp(a[0], a.data());
        _exit(127);
    }
    int status = 0;
    rusage u{};
    wait4(pid, &status, 0, &u);
    r.seconds = seconds(start);
    r.peakKb = u.ru_maxrss;
    r.cpu = double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

// One export of `count` rows in this fresh process, phase by phase.
int exportOnce(int count, const fs::path& folder)
{
    const std::vector<Row> rows = makeRows(count);
    const long withData = peakRssKb();
    MemoryCursor cursor(rows);
    const double cpuStart = cpuSeconds();
    const auto start = Clock::now();
    XlsWorkbook book;
    XlsWorksheet& sheet = book.AddSheet();
    sheet.SetName("ЗЕНТ-5");
    fillMeasurementSheet(sheet, cursor, Units::KiloNewton);
    const double fill = seconds(start);
    const long withModel = peakRssKb();
    const auto saveStart = Clock::now();
    XlsWriter writer;
    writer.Save(book, (folder / "once.xls").string());
    const double save = seconds(saveStart);
    std::printf("  %6d rows: model %.3f s + stream and file %.3f s = %.3f s (CPU %.3f s); file %.1f MB; "
                "peak RSS %.1f MB: rows %.1f, model +%.1f, writer +%.1f\n",
                count, fill, save, fill + save, cpuSeconds() - cpuStart, double(fs::file_size(folder / "once.xls")) / 1e6,
                double(peakRssKb()) / 1024, double(withData) / 1024, double(withModel - withData) / 1024,
                double(peakRssKb() - withModel) / 1024);
    return 0;
}

} // namespace

// The export from memory and from a .db file, in this fresh process; leaves
// the data as CSV for ssconvert and the first time in ours.time.
static int exportFull(int rowCount, const fs::path& folder)
{
    const std::vector<Row> rows = makeRows(rowCount);
    MemoryCursor cursor(rows);
    const double cpuStart = cpuSeconds();
    const auto start = Clock::now();
    writeMeasurementWorkbook(cursor, Units::KiloNewton, (folder / "ours.xls").string());
    const double ours = seconds(start);
    const double oursCpu = cpuSeconds() - cpuStart;
    std::printf("ours, rows from memory:        %.3f s, CPU %.3f s  (%.1f MB file), peak RSS %.1f MB\n", ours,
                oursCpu, double(fs::file_size(folder / "ours.xls")) / 1e6, double(peakRssKb()) / 1024);
    std::ofstream(folder / "ours.time") << ours << ' ' << oursCpu;

    DbfTable t;
    t.setFilePath(folder.string());
    t.setTableName("bench.db");
    t.CreateNew();
    t.Open();
    for (const Row& r : rows) {
        t.Append();
        t.SetFieldValue("N", r.n);
        t.SetFieldValue("DATE", r.date);
        t.SetFieldValue("TIME", r.time);
        t.SetFieldValue("TYPE", r.type);
        t.SetFieldValue("D", r.d);
        t.SetFieldValue("P", r.p);
        t.SetFieldValue("P_KG", r.pKg);
        t.SetFieldValue("S", r.s);
        t.SetFieldValue("S_KG", r.sKg);
        t.SetFieldValue("F", r.f);
        t.SetFieldValue("F_MM", r.fMm);
        t.SetFieldValue("COMMENT", r.comment);
        t.Post();
    }
    t.Close();
    DbfTable table;
    table.setFilePath(folder.string());
    table.setTableName("bench.db");
    table.setExclusive(false);
    const double tCpu = cpuSeconds();
    const auto tStart = Clock::now();
    table.Open();
    writeMeasurementWorkbook(table, Units::KiloNewton, (folder / "ours-db.xls").string());
    table.Close();
    std::printf("ours, rows from a .db file:    %.3f s, CPU %.3f s\n", seconds(tStart), cpuSeconds() - tCpu);
    writeCsv(rows, folder / "data.csv");
    return 0;
}

// The driver stays small and runs every measurement in a process of its own,
// so that one's memory does not show in another's peak RSS.
int main(int argc, char** argv)
{
    if (argc == 4 && std::string(argv[1]) == "--one")
        return exportOnce(std::atoi(argv[2]), argv[3]);
    if (argc == 4 && std::string(argv[1]) == "--full")
        return exportFull(std::atoi(argv[2]), argv[3]);
    const int rowCount = argc > 1 ? std::atoi(argv[1]) : 65535;
    const fs::path folder = argc > 2 ? fs::path(argv[2]) : fs::temp_directory_path() / "zent5-export-bench";
    fs::create_directories(folder);

    std::printf("zent5 export benchmark: %d rows x 9 cells\n", rowCount);
    std::fflush(stdout);
    runChild({"/proc/self/exe", "--full", std::to_string(rowCount), folder.string()}, false);
    double ours = 0, oursCpu = 0;
    std::ifstream(folder / "ours.time") >> ours >> oursCpu;

    const ChildRun g = runChild({"ssconvert", "--export-type=Gnumeric_Excel:excel_biff8", (folder / "data.csv").string(),
                                 (folder / "ssconvert.xls").string()});
    if (g.status == 0)
        std::printf("ssconvert CSV -> xls:          %.3f s, CPU %.3f s, peak RSS %.1f MB  "
                    "(ours %.1fx faster in wall time, %.1fx in CPU time)\n",
                    g.seconds, g.cpu, double(g.peakKb) / 1024, ours > 0 ? g.seconds / ours : 0.0,
                    oursCpu > 0 ? g.cpu / oursCpu : 0.0);
    else
        std::printf("ssconvert CSV -> xls:          not run (status %d)\n", g.status);

    std::printf("memory by sheet size (each in its own process):\n");
    std::fflush(stdout);
    for (const int n : {rowCount / 8, rowCount / 2, rowCount})
        runChild({"/proc/self/exe", "--one", std::to_string(n), folder.string()}, false);

    fs::remove_all(folder);
    return 0;
}
