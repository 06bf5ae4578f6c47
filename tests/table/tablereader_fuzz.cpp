// libFuzzer target for the table reader: any bytes as a table file must
// open cleanly or fail with one of the table's errors, and every row of a
// table that opens must read, sort and pack without touching memory it
// does not own. Crashing inputs go into tests/data/table/damaged/.
#include "tests/table/tableexercise.h"

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
