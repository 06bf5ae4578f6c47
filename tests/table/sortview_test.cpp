#include "tablefixture.h"

#include "records/error.h"

using namespace zent5;
using zent5::testing::TableFolder;

namespace {

uint8_t indexFlag(const std::string& bytes) { return uint8_t(bytes.at(28)); }

} // namespace

class SortView : public TableFolder {
protected:
    // The program's sort sequence; `up` is the first click on a title
    // (largest first).
    static void sortBy(DbfTable& t, const std::string& column, bool up)
    {
        t.setIndexName("");
        try {
            t.DeleteIndex("tab1");
            t.Refresh();
        } catch (const Error&) {
        }
        t.AddIndex("tab1", column, up);
        t.setIndexName("tab1");
        t.RebuildIndexes();
        t.Refresh();
    }
    static void clearSort(DbfTable& t)
    {
        t.setIndexName("");
        t.DeleteIndex("tab1");
        t.CloseIndex("tab1");
        t.Refresh();
    }
    void fill(DbfTable& t, const std::vector<std::pair<double, std::string>>& rows)
    {
        int n = 0;
        for (const auto& [p, comment] : rows)
            appendRow(t, ++n, p, comment);
    }
};

TEST_F(SortView, NumberDirectionsAndTies)
{
    DbfTable t;
    createOpen(t);
    fill(t, {{5, ""}, {12.5, ""}, {5, ""}, {0.01, ""}, {100, ""}, {5, ""}});
    t.GoTo(1);
    t.Edit();
    t.SetFieldValue("P", FieldValue()); // an empty number sorts as 0
    t.Post();
    sortBy(t, "P", true);
    EXPECT_EQ(viewNs(t), (std::vector<int>{5, 2, 3, 6, 4, 1}));
    sortBy(t, "P", false);
    EXPECT_EQ(viewNs(t), (std::vector<int>{1, 4, 3, 6, 2, 5}));
    t.First();
    std::vector<int> walked;
    while (!t.Eof()) {
        walked.push_back(int(t.FieldNumber("N")));
        t.Next();
    }
    EXPECT_EQ(walked, viewNs(t));
    clearSort(t);
    EXPECT_EQ(viewNs(t), (std::vector<int>{1, 2, 3, 4, 5, 6}));
}

TEST_F(SortView, NumbersEqualToFifteenDigitsAreTies)
{
    DbfTable t;
    createOpen(t);
    // Stored as 12345678.123456790 and 12345678.123456780: equal in their
    // first 15 digits, so they tie and keep file order in both directions.
    fill(t, {{12345678.12345679, ""}, {12345678.12345678, ""}, {12345678.12345, ""}, {-0.5, ""}});
    sortBy(t, "P", false);
    EXPECT_EQ(viewNs(t), (std::vector<int>{4, 3, 1, 2}));
    sortBy(t, "P", true);
    EXPECT_EQ(viewNs(t), (std::vector<int>{1, 2, 3, 4}));
}

TEST_F(SortView, TextOrders)
{
    DbfTable t;
    createOpen(t);
    const char* dates[] = {"10.12.2014", "02.01.2015", "01.01.2015"};
    for (int i = 0; i < 3; ++i) {
        t.Append();
        t.SetFieldValue("N", double(i + 1));
        t.SetFieldValue("DATE", std::string(dates[i]));
        t.Post();
    }
    sortBy(t, "DATE", false);
    EXPECT_EQ(viewNs(t), (std::vector<int>{3, 2, 1})); // day first, as text
    t.Close();
    std::filesystem::remove(path("t.db"));

    DbfTable c;
    createOpen(c);
    fill(c, {{1, "яма"}, {1, "Ель"}, {1, "ёж"}, {1, "ель"}, {1, ""}});
    sortBy(c, "COMMENT", false);
    // Russian order: ё with е, lower case first; the empty comment (all
    // spaces) first. Byte order would put ё (0xB8) first and я last.
    EXPECT_EQ(viewNs(c), (std::vector<int>{5, 3, 4, 2, 1}));
    sortBy(c, "COMMENT", true);
    EXPECT_EQ(viewNs(c), (std::vector<int>{1, 2, 4, 3, 5}));
}

// A tab weighs less than the space that pads a comment: "а" and a tab sort
// before "а" alone, whether the tab was there when the sort was made or
// came in with a row appended while sorted.
TEST_F(SortView, ATabSortsBeforeThePadding)
{
    DbfTable t;
    createOpen(t);
    fill(t, {{1, "аб"}, {1, "а"}, {1, "а\tб"}});
    sortBy(t, "COMMENT", false);
    EXPECT_EQ(viewNs(t), (std::vector<int>{3, 2, 1}));
    appendRow(t, 4, 1, "а\t");
    EXPECT_EQ(viewNs(t), (std::vector<int>{4, 3, 2, 1}));
    t.Close();
    std::filesystem::remove(path("t.db"));
    std::filesystem::remove(path("t.mdx"));

    DbfTable later;
    createOpen(later);
    fill(later, {{1, "аб"}, {1, "а"}});
    sortBy(later, "COMMENT", false);
    EXPECT_EQ(viewNs(later), (std::vector<int>{2, 1}));
    appendRow(later, 3, 1, "а\t");
    EXPECT_EQ(viewNs(later), (std::vector<int>{3, 2, 1}));
    later.GoTo(1);
    later.Edit();
    later.SetFieldValue("COMMENT", std::string("а\tа"));
    later.Post();
    EXPECT_EQ(viewNs(later), (std::vector<int>{3, 1, 2}));
}

TEST_F(SortView, ByteOrderForLanguageZero)
{
    DbfTable t;
    createOpen(t);
    fill(t, {{1, "яма"}, {1, "ёж"}, {1, "Б"}, {1, "a"}});
    t.Close();
    std::string bytes = readFile(path("t.db"));
    bytes[29] = 0;
    writeFile(path("t.db"), bytes);
    t.Open();
    sortBy(t, "COMMENT", false);
    // Code page 1251 bytes: 'a' 0x61, Ё-lower 0xB8, Б 0xC1, я 0xFF.
    EXPECT_EQ(viewNs(t), (std::vector<int>{4, 2, 3, 1}));
}

TEST_F(SortView, EditMovesTheRowAndKeepsItCurrent)
{
    DbfTable t;
    createOpen(t);
    fill(t, {{1, "в"}, {1, "б"}, {1, "г"}, {1, "а"}});
    sortBy(t, "COMMENT", false);
    EXPECT_EQ(viewNs(t), (std::vector<int>{4, 2, 1, 3}));
    t.GoTo(4);
    t.Edit();
    t.SetFieldValue("COMMENT", std::string("д"));
    t.Post();
    EXPECT_EQ(viewNs(t), (std::vector<int>{2, 1, 3, 4}));
    EXPECT_EQ(t.RecNo(), 4u);
    // A comment made equal to another row's goes after that row.
    t.GoTo(2);
    t.Edit();
    t.SetFieldValue("COMMENT", std::string("г"));
    t.Post();
    EXPECT_EQ(viewNs(t), (std::vector<int>{1, 3, 2, 4}));
    EXPECT_EQ(t.RecNo(), 2u);
    // An edit that keeps the key keeps the place.
    t.GoTo(3);
    t.Edit();
    t.SetFieldValue("P", 99.0);
    t.Post();
    EXPECT_EQ(viewNs(t), (std::vector<int>{1, 3, 2, 4}));
    // Appending while sorted puts the row at its key's place.
    appendRow(t, 5, 1, "б");
    EXPECT_EQ(viewNs(t), (std::vector<int>{5, 1, 3, 2, 4}));
    // Deleting skips the row but keeps the order of the others.
    t.GoTo(3);
    t.Delete();
    EXPECT_EQ(viewNs(t), (std::vector<int>{5, 1, 2, 4}));
    EXPECT_EQ(t.RecNo(), 2u);
    t.GoTo(5);
    EXPECT_EQ(t.RecNo(), 5u);
    t.Next();
    EXPECT_EQ(t.RecNo(), 1u);
    t.GoTo(3); // deleted: the cursor stays
    EXPECT_EQ(t.RecNo(), 1u);
    t.RebuildIndexes();
    EXPECT_EQ(viewNs(t), (std::vector<int>{5, 1, 2, 4}));
}

TEST_F(SortView, SwitchingTheViewKeepsTheCurrentRow)
{
    DbfTable t;
    createOpen(t);
    fill(t, {{3, ""}, {1, ""}, {2, ""}});
    t.AddIndex("tab1", "P", false);
    t.GoTo(3);
    t.setIndexName("TAB1"); // names compare without case
    EXPECT_EQ(t.RecNo(), 3u);
    EXPECT_EQ(viewNs(t), (std::vector<int>{2, 3, 1}));
    t.Next();
    EXPECT_EQ(t.RecNo(), 1u);
    t.setIndexName("");
    EXPECT_EQ(t.RecNo(), 1u);
    t.setIndexName("nope");
    EXPECT_EQ(t.IndexName(), "");
    EXPECT_EQ(viewNs(t), (std::vector<int>{1, 2, 3}));
}

TEST_F(SortView, IndexFileAndFlagLifecycle)
{
    DbfTable t;
    createOpen(t);
    fill(t, {{2, ""}, {1, ""}});
    const std::string mdx = path("t.mdx");
    EXPECT_FALSE(exists(mdx));
    EXPECT_EQ(indexFlag(readFile(path("t.db"))), 0);

    sortBy(t, "P", false);
    EXPECT_TRUE(exists(mdx));
    EXPECT_EQ(indexFlag(readFile(path("t.db"))), 1);
    clearSort(t);
    EXPECT_FALSE(exists(mdx));
    EXPECT_EQ(indexFlag(readFile(path("t.db"))), 0);

    // Save while sorted (Close, Open) keeps the sort and the index file.
    sortBy(t, "P", false);
    t.Close();
    EXPECT_TRUE(exists(mdx));
    EXPECT_EQ(indexFlag(readFile(path("t.db"))), 1);
    t.Open();
    EXPECT_EQ(t.IndexName(), "tab1");
    EXPECT_EQ(viewNs(t), (std::vector<int>{2, 1}));

    // Close a table: Close, then the main window deletes the index file.
    t.Close();
    std::filesystem::remove(mdx);
    EXPECT_EQ(indexFlag(readFile(path("t.db"))), 1);
    t.Open();
    EXPECT_EQ(t.IndexName(), "");
    EXPECT_EQ(viewNs(t), (std::vector<int>{1, 2}));
    t.Close();
    EXPECT_EQ(indexFlag(readFile(path("t.db"))), 0);
}

TEST_F(SortView, UnusableKeyMakesNoIndex)
{
    DbfTable t;
    createOpen(t);
    fill(t, {{2, ""}, {1, ""}});
    t.AddIndex("tab1", "NO_SUCH", false); // not reported
    EXPECT_FALSE(exists(path("t.mdx")));
    EXPECT_EQ(indexFlag(readFile(path("t.db"))), 0);
    t.setIndexName("tab1");
    EXPECT_EQ(t.IndexName(), "");
    t.DeleteIndex("tab1"); // unknown: nothing happens
}

TEST_F(SortView, IndexFileThatCannotBeCreatedIsReported)
{
    DbfTable t;
    createOpen(t);
    std::filesystem::create_directory(path("t.mdx"));
    EXPECT_THROW(t.AddIndex("tab1", "P", false), Error);
    EXPECT_EQ(indexFlag(readFile(path("t.db"))), 0);
}

TEST_F(SortView, PackKeepsTheSort)
{
    DbfTable t;
    createOpen(t);
    fill(t, {{3, ""}, {1, ""}, {2, ""}, {0, ""}});
    sortBy(t, "P", true);
    t.GoTo(2);
    t.Delete();
    t.Pack();
    EXPECT_EQ(t.IndexName(), "tab1");
    EXPECT_EQ(viewNs(t), (std::vector<int>{1, 3, 4}));
}
