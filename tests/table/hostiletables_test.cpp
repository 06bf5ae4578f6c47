// Table files made to cost an open far more than their size: columns of no
// width, and index files naming tags the table cannot build. The fixtures
// and the script that wrote them are in tests/data/table/hostile/.
#include "tablefixture.h"

#include "records/error.h"

#include <filesystem>

using namespace zent5;
using zent5::testing::TableFolder;

namespace {

std::string fixture(const std::string& name)
{
    return (std::filesystem::path(ZENT5_TEST_DATA_DIR) / "table" / "hostile" / name).string();
}

class HostileTables : public TableFolder {
protected:
    // Copies a fixture (and the index beside it, if any) into the folder as t.db.
    void place(const std::string& base)
    {
        writeFile(path("t.db"), readFile(fixture(base + ".db")));
        if (exists(fixture(base + ".mdx")))
            writeFile(path("t.mdx"), readFile(fixture(base + ".mdx")));
    }
    std::string openError(DbfTable& t)
    {
        try {
            t.Open();
        } catch (const Error& e) {
            return e.what();
        }
        return "(opened)";
    }
};

TEST_F(HostileTables, AMeasurementColumnTooNarrowForItsTypeMakesTheTableUnreadable)
{
    for (const char* base : {"comment_width_zero", "number_narrower_than_its_decimals", "one_byte_records"}) {
        SCOPED_TRACE(base);
        place(base);
        DbfTable t;
        aim(t);
        EXPECT_EQ(openError(t), "Invalid DBF file.");
        EXPECT_FALSE(t.Active());
    }
}

TEST_F(HostileTables, AColumnOutsideTheThirteenMayHaveNoWidth)
{
    place("unusable_tags");
    DbfTable t;
    aim(t);
    EXPECT_EQ(openError(t), "(opened)");
    EXPECT_EQ(viewNs(t), (std::vector<int>{3, 1, 2}));
}

TEST_F(HostileTables, OnlyTagsOnUsableKeysAreBuiltAtOpen)
{
    struct Case {
        const char* base;
        const char* tag;
        std::string indexName; // after the open
        std::vector<int> ns;
    };
    const Case cases[] = {
        {"unusable_tags", "tab1", "tab1", {1, 2, 3}},
        {"unusable_tags", "tab2", "", {3, 1, 2}}, // its column has no width
        {"unusable_tags", "tab3", "", {3, 1, 2}}, // its column is missing
        {"too_many_tags", "tag0", "", {3, 1, 2}},
        {"too_many_tags", "tag4", "", {3, 1, 2}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.base) + " " + c.tag);
        place(c.base);
        DbfTable t;
        aim(t);
        t.setIndexName(c.tag);
        ASSERT_EQ(openError(t), "(opened)");
        EXPECT_EQ(t.IndexName(), c.indexName);
        EXPECT_EQ(viewNs(t), c.ns);
        t.Close();
    }
}

TEST_F(HostileTables, AddIndexKeepsNoMoreTagsThanAnOpenReads)
{
    DbfTable t;
    createOpen(t);
    for (int n : {3, 1, 2})
        appendRow(t, n, n);
    for (const char* name : {"a", "b", "c", "d"})
        t.AddIndex(name, "P", false);
    t.AddIndex("e", "P", false); // one too many: absorbed like a tag that cannot be built
    t.setIndexName("e");
    EXPECT_EQ(t.IndexName(), "");
    t.AddIndex("d", "P", true); // a tag of a name it has is replaced
    t.setIndexName("d");
    EXPECT_EQ(viewNs(t), (std::vector<int>{3, 2, 1}));
    t.Close();
    t.setIndexName("d");
    t.Open();
    EXPECT_EQ(t.IndexName(), "d");
    EXPECT_EQ(viewNs(t), (std::vector<int>{3, 2, 1}));
}

} // namespace
