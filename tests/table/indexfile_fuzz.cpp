// libFuzzer target for the table's index file: a table file and the .mdx
// file beside it, both from the input, opened as the program opens a table
// that was closed while sorted, then read, sorted, edited and packed. The
// input is a 16-bit length (little-endian), that many bytes of the .mdx
// file, then the table file; a table file of fewer than 32 bytes is
// replaced by a sound table of three rows, and the index flag of every
// table is set. Crashing inputs go into tests/data/table/index/.
#include "table/dbftable.h"
#include "tests/table/tableexercise.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

// Also used by the regression test over the kept inputs.
void exerciseIndexFile(const std::string& dir, const uint8_t* data, size_t size);

namespace {

void writeBytes(const std::string& path, const std::string& bytes)
{
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
}

// A sound measurement table of three rows, sorted once so its index flag
// is set, as its bytes.
std::string soundTable(const std::string& dir)
{
    static const std::string bytes = [&] {
        zent5::DbfTable t;
        t.setFilePath(dir);
        t.setTableName("sound.db");
        t.CreateNew();
        t.Open();
        for (double n : {3.0, 1.0, 2.0}) {
            t.Append();
            t.SetFieldValue("N", n);
            t.SetFieldValue("P", n * 10);
            t.SetFieldValue("COMMENT", std::string("строка"));
            t.Post();
        }
        t.Close();
        std::string out;
        if (FILE* f = std::fopen((dir + "/sound.db").c_str(), "rb")) {
            char buf[4096];
            size_t n;
            while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
                out.append(buf, n);
            std::fclose(f);
        }
        unlink((dir + "/sound.db").c_str());
        return out;
    }();
    return bytes;
}

} // namespace

void exerciseIndexFile(const std::string& dir, const uint8_t* data, size_t size)
{
    if (size < 2)
        return;
    const size_t mdxLength = std::min<size_t>(size - 2, size_t(data[0] | (data[1] << 8)));
    const std::string mdx(reinterpret_cast<const char*>(data) + 2, mdxLength);
    std::string table(reinterpret_cast<const char*>(data) + 2 + mdxLength, size - 2 - mdxLength);
    if (table.size() < 32)
        table = soundTable(dir);
    table[28] = 1;
    writeBytes(dir + "/t.db", table);
    writeBytes(dir + "/t.mdx", mdx);
    exerciseTable(dir, "t.db");
    unlink((dir + "/t.mdx").c_str());
}

#ifndef ZENT5_NO_FUZZ_ENTRY
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const std::string dir = [] {
        std::string pattern = "/tmp/zent5-fuzz-index-XXXXXX";
        if (!mkdtemp(pattern.data()))
            std::abort();
        return pattern;
    }();
    exerciseIndexFile(dir, data, size);
    return 0;
}
#endif
