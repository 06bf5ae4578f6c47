// libFuzzer target for the table reader: any bytes as a table file must
// open cleanly or fail with one of the table's errors, and every row of a
// table that opens must read, sort and pack without touching memory it
// does not own. Crashing inputs go into tests/data/table/damaged/.
#include "records/error.h"
#include "table/dbftable.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

#ifndef ZENT5_NO_FUZZ_ENTRY
namespace {

std::string folder()
{
    static const std::string dir = [] {
        std::string pattern = "/tmp/zent5-fuzz-XXXXXX";
        if (!mkdtemp(pattern.data()))
            std::abort();
        return pattern;
    }();
    return dir;
}

} // namespace
#endif

// Also used by the regression test over the kept inputs.
void exerciseTable(const std::string& dir, const std::string& name);

void exerciseTable(const std::string& dir, const std::string& name)
{
    zent5::DbfTable t;
    t.setFilePath(dir);
    t.setTableName(name);
    try {
        t.Open();
        const auto columns = t.Columns();
        for (uint32_t r : t.ViewOrder())
            for (const auto& c : columns)
                (void)t.ReadField(r, c.name);
        t.First();
        while (!t.Eof()) {
            (void)t.FieldText("COMMENT");
            (void)t.FieldNumber("P");
            t.Next();
        }
        t.AddIndex("tab1", "COMMENT", false);
        t.setIndexName("tab1");
        t.AddIndex("tab1", "P", true);
        t.First();
        if (!t.ReadOnly() && t.VisibleCount() > 0) {
            t.Delete();
            t.Append();
            t.SetFieldValue("COMMENT", std::string("новая"));
            t.Post();
            t.Pack();
        }
        t.Close();
    } catch (const zent5::Error&) {
    }
}

#ifndef ZENT5_NO_FUZZ_ENTRY
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string path = folder() + "/t.db";
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return 0;
    std::fwrite(data, 1, size, f);
    std::fclose(f);
    exerciseTable(folder(), "t.db");
    unlink((folder() + "/t.mdx").c_str());
    return 0;
}
#endif
