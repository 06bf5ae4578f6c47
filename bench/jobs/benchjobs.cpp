// One table job per process, so that bench/run can time each one and read
// its peak memory beside the tool a user would otherwise reach for:
//
//   zent5_bench_jobs csv ROWS FILE.csv      the rows as CSV (+ FILE.csvt types)
//   zent5_bench_jobs create ROWS FILE.db    Append/SetFieldValue/Post per row
//   zent5_bench_jobs walk FILE.db           open and read every field of every row
//   zent5_bench_jobs sort FILE.db COLUMN    open and sort by COLUMN (ascending)
//   zent5_bench_jobs delete FILE.db         mark every tenth row deleted
//   zent5_bench_jobs pack FILE.db           open and Pack
//
// Prints the seconds of the job itself (without process start) on stdout.
#include "bench/common/samplecomments.h"
#include "table/dbftable.h"

#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

using namespace zent5;
namespace fs = std::filesystem;

namespace {

std::string comment(uint32_t i) { return bench::sampleComment(i); }

// Row i (from 1) in table column order; numbers as FieldValue doubles.
template <typename Sink>
void makeRow(uint32_t i, Sink&& set)
{
    const uint32_t x = i * 2654435761u;
    const double p = double(x % 500000) / 100.0;
    set("N", FieldValue(double(i)));
    set("DATE", FieldValue(std::string("07.03.2014")));
    set("TIME", FieldValue(std::string("09:05:07")));
    set("SERIAL", FieldValue(4242.0));
    set("P", FieldValue(p));
    set("P_KG", FieldValue(double(int(p / 0.00980665 + 0.5))));
    set("S", FieldValue(double(x % 20000) / 10.0));
    set("S_KG", FieldValue(double(x % 20000)));
    set("F", FieldValue(28.3));
    set("D", FieldValue(5.0));
    set("TYPE", FieldValue(std::string(i % 3 ? "проволока" : "канат")));
    set("COMMENT", FieldValue(comment(i)));
    set("F_MM", FieldValue(0.283));
}

void openTable(DbfTable& t, const fs::path& file)
{
    t.setFilePath(file.parent_path().empty() ? "." : file.parent_path().string());
    t.setTableName(file.filename().string());
}

std::string numberText(double v, int decimals)
{
    char buf[400];
    return std::string(buf, std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, decimals).ptr);
}

// The column layout the program creates, read from a new empty table.
std::vector<DbfTable::Column> layout(const fs::path& folder)
{
    const fs::path probe = folder / "zent5-layout-probe.db";
    DbfTable t;
    openTable(t, probe);
    t.CreateNew();
    t.Open();
    auto columns = t.Columns();
    t.Close();
    fs::remove(probe);
    fs::remove(fs::path(probe).replace_extension(".mdx"));
    return columns;
}

int writeCsv(uint32_t rows, const fs::path& file)
{
    const auto columns = layout(file.parent_path().empty() ? fs::path(".") : file.parent_path());
    std::ofstream types(fs::path(file).replace_extension(".csvt"));
    std::ofstream out(file);
    for (size_t c = 0; c < columns.size(); ++c) {
        const auto& col = columns[c];
        out << (c ? "," : "") << col.name;
        types << (c ? "," : "");
        if (col.isText)
            types << "String(" << col.width << ")";
        else if (col.decimals == 0)
            types << "Integer(" << col.width << ")";
        else
            types << "Real(" << col.width << "." << col.decimals << ")";
    }
    out << '\n';
    types << '\n';
    std::vector<std::string> cells(columns.size());
    for (uint32_t i = 1; i <= rows; ++i) {
        makeRow(i, [&](const char* name, const FieldValue& v) {
            for (size_t c = 0; c < columns.size(); ++c)
                if (columns[c].name == name)
                    cells[c] = std::holds_alternative<double>(v) ? numberText(std::get<double>(v), columns[c].decimals)
                                                                : std::get<std::string>(v);
        });
        for (size_t c = 0; c < cells.size(); ++c)
            out << (c ? "," : "") << cells[c];
        out << '\n';
    }
    return out ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fputs("usage: zent5_bench_jobs csv|create ROWS FILE | walk|delete|pack FILE.db | sort FILE.db COLUMN\n",
                   stderr);
        return 2;
    }
    const std::string job = argv[1];
    const auto start = std::chrono::steady_clock::now();
    try {
        DbfTable t;
        if (job == "csv" && argc == 4) {
            if (writeCsv(uint32_t(std::strtoul(argv[2], nullptr, 10)), argv[3]))
                return 1;
        } else if (job == "create" && argc == 4) {
            const uint32_t rows = uint32_t(std::strtoul(argv[2], nullptr, 10));
            const fs::path file = argv[3];
            fs::remove(file);
            fs::remove(fs::path(file).replace_extension(".mdx"));
            openTable(t, file);
            t.CreateNew();
            t.Open();
            for (uint32_t i = 1; i <= rows; ++i) {
                t.Append();
                makeRow(i, [&](const char* name, const FieldValue& v) { t.SetFieldValue(name, v); });
                t.Post();
            }
            t.Close();
        } else if (job == "walk" && argc == 3) {
            openTable(t, argv[2]);
            t.Open();
            size_t bytes = 0;
            const auto& columns = t.Columns();
            for (t.First(); !t.Eof(); t.Next())
                for (const auto& c : columns)
                    bytes += t.FieldText(c.name).size();
            t.Close();
            std::fprintf(stderr, "(%zu bytes of text)\n", bytes);
        } else if (job == "sort" && argc == 4) {
            openTable(t, argv[2]);
            t.Open();
            t.AddIndex("bench", argv[3], false);
            t.setIndexName("bench");
            t.Refresh();
            t.First();
            t.setIndexName("");
            t.DeleteIndex("bench");
            t.Close();
        } else if (job == "delete" && argc == 3) {
            openTable(t, argv[2]);
            t.Open();
            // The delete command goes from the last selected row to the first.
            const uint32_t rows = t.RecordCount();
            for (uint32_t r = (rows / 10) * 10; r >= 10; r -= 10) {
                t.GoTo(r);
                t.Delete();
            }
            t.Close();
        } else if (job == "pack" && argc == 3) {
            openTable(t, argv[2]);
            t.Open();
            t.Pack();
            t.Close();
        } else {
            std::fprintf(stderr, "zent5_bench_jobs: unknown job or arguments\n");
            return 2;
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "zent5_bench_jobs: %s\n", e.what());
        return 1;
    }
    std::printf("%.4f\n", std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    return 0;
}
