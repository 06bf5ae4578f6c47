#include "tablefixture.h"

#include "records/error.h"
#include "tests/table/tableexercise.h"

#include <filesystem>

using namespace zent5;
using zent5::testing::TableFolder;

class DamagedFiles : public TableFolder {};

// Inputs the fuzzer and hand checks found troublesome: each must open
// cleanly or fail with an error, never crash or read outside the file.
TEST_F(DamagedFiles, OpenOrFailCleanly)
{
    const std::filesystem::path dir = std::filesystem::path(ZENT5_TEST_DATA_DIR) / "table" / "damaged";
    int seen = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        if (entry.path().extension() != ".db")
            continue;
        SCOPED_TRACE(entry.path().filename().string());
        writeFile(path("t.db"), readFile(entry.path().string()));
        exerciseTable(folder(), "t.db");
        std::filesystem::remove(path("t.mdx"));
        ++seen;
    }
    EXPECT_GT(seen, 0);
}

TEST_F(DamagedFiles, ForeignIndexFileHoldsNoTag)
{
    DbfTable t;
    createOpen(t);
    appendRow(t, 2, 2);
    appendRow(t, 1, 1);
    t.AddIndex("tab1", "P", false);
    t.Close();
    for (const std::string& mdx : {std::string("garbage"), std::string("ZENT5MDX\x01\x05\x04tab1", 14),
                                   std::string("ZENT5MDX\x01\x01\x04tab1\x02PX\x00", 18),
                                   std::string("ZENT5MDX\x01\x01\x04tab1\xFFP\x00", 17)}) {
        SCOPED_TRACE(mdx);
        writeFile(path("t.mdx"), mdx);
        t.setIndexName("tab1");
        t.Open();
        EXPECT_EQ(t.IndexName(), "");
        EXPECT_EQ(viewNs(t), (std::vector<int>{2, 1}));
        t.Close();
    }
}
