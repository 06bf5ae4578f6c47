// A new table written in place of an old one: the old file stays byte for
// byte what it was until the new one is complete, whatever step fails, and
// nothing else is ever left in the folder.
#include "tablefixture.h"

#include "records/error.h"
#include "table/tablereplacement.h"

#include <csignal>
#include <filesystem>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace zent5;
using zent5::testing::TableFolder;

namespace {

constexpr const char* kWriteFailed = "Error while writing occurred. (Disk full?)";

class TableReplacementTest : public TableFolder {
protected:
    // The old table: two rows.
    void SetUp() override
    {
        TableFolder::SetUp();
        DbfTable t;
        createOpen(t);
        appendRow(t, 1, 10, "старая");
        appendRow(t, 2, 20, "старая");
        t.Close();
        old = readFile(path("t.db"));
    }

    std::vector<std::string> files() const
    {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(m_dir))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    // Writes a new table of `rows` rows in place of t.db.
    void replace(int rows, bool copy = false)
    {
        DbfTable t;
        TableReplacement replacement(path("t.db"));
        replacement.lockTarget();
        if (copy)
            replacement.openCopy(t);
        else
            replacement.openEmpty(t);
        for (int n = 1; n <= rows; ++n)
            appendRow(t, 100 + n, n, "новая");
        replacement.commit(t);
        EXPECT_EQ(t.TablePath(), path("t.db"));
        EXPECT_FALSE(t.Active());
    }

    std::vector<int> storedNs()
    {
        DbfTable t;
        aim(t);
        t.Open();
        return viewNs(t);
    }

    std::string old;
};

TEST_F(TableReplacementTest, TheNewTableTakesTheNameOnlyWhenComplete)
{
    DbfTable t;
    TableReplacement replacement(path("t.db"));
    replacement.lockTarget();
    replacement.openEmpty(t);
    appendRow(t, 101, 1);
    // Meanwhile the folder shows the old table alone.
    EXPECT_EQ(readFile(path("t.db")), old);
    EXPECT_EQ(files(), std::vector<std::string>{"t.db"});
    replacement.commit(t);
    EXPECT_EQ(files(), std::vector<std::string>{"t.db"});
    EXPECT_EQ(storedNs(), std::vector<int>{101});
}

TEST_F(TableReplacementTest, ACopyOfTheTargetGetsTheNewRows)
{
    replace(2, true);
    EXPECT_EQ(storedNs(), (std::vector<int>{1, 2, 101, 102}));
    EXPECT_EQ(files(), std::vector<std::string>{"t.db"});
}

TEST_F(TableReplacementTest, EveryFailingWriteOrRenameLeavesTheOldFileAndNothingElse)
{
    for (const bool copy : {false, true}) {
        for (const bool rename : {false, true}) {
            int reached = 0;
            for (int n = 1;; ++n) {
                SCOPED_TRACE(std::string(copy ? "copy" : "empty") + (rename ? " rename " : " write ") +
                             std::to_string(n));
                ASSERT_LT(n, 40);
                if (rename)
                    fileio::testhook::failNthRename(n);
                else
                    fileio::testhook::failNthWrite(n);
                std::string error = "(none)";
                try {
                    replace(3, copy);
                } catch (const Error& e) {
                    error = e.what();
                }
                fileio::testhook::reset();
                EXPECT_EQ(files(), std::vector<std::string>{"t.db"});
                if (error == "(none)") {
                    EXPECT_EQ(storedNs().size(), copy ? 5u : 3u);
                    break;
                }
                ++reached;
                EXPECT_EQ(error, kWriteFailed);
                EXPECT_EQ(readFile(path("t.db")), old);
                if (::testing::Test::HasFailure())
                    return;
            }
            // Creating, three rows and closing write several times; the commit renames once.
            EXPECT_GE(reached, rename ? 1 : 5);
            writeFile(path("t.db"), old);
        }
    }
}

TEST_F(TableReplacementTest, AProgramKilledHalfWayLeavesTheOldFileAndNothingElse)
{
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        DbfTable t;
        TableReplacement replacement(path("t.db"));
        replacement.lockTarget();
        replacement.openEmpty(t);
        for (int n = 1; n <= 50; ++n)
            appendRow(t, n, n);
        ::raise(SIGKILL);
        _exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(readFile(path("t.db")), old);
    EXPECT_EQ(files(), std::vector<std::string>{"t.db"});
}

TEST_F(TableReplacementTest, TheReplacedFileKeepsItsPermissionsAndALinkKeepsPointingAtIt)
{
    std::filesystem::rename(path("t.db"), path("real.db"));
    ASSERT_EQ(::chmod(path("real.db").c_str(), 0640), 0);
    std::filesystem::create_symlink("real.db", path("t.db"));
    replace(1);
    EXPECT_TRUE(std::filesystem::is_symlink(path("t.db")));
    EXPECT_EQ(storedNs(), std::vector<int>{101});
    struct stat st {};
    ASSERT_EQ(::stat(path("real.db").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(files(), (std::vector<std::string>{"real.db", "t.db"}));
}

TEST_F(TableReplacementTest, RefusedBeforeAnythingIsWritten)
{
    {
        // Another program holds the table open.
        DbfTable held;
        aim(held);
        held.Open();
        TableReplacement replacement(path("t.db"));
        try {
            replacement.lockTarget();
            ADD_FAILURE() << "not refused";
        } catch (const Error& e) {
            EXPECT_EQ(std::string(e.what()).rfind("Cannot open file \"" + path("t.db") + "\". ", 0), 0u) << e.what();
        }
    }
    TableReplacement nowhere(path("missing/t.db"));
    try {
        nowhere.reserve();
        ADD_FAILURE() << "not refused";
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()).rfind("Cannot create file \"" + path("missing/t.db") + "\". ", 0), 0u)
            << e.what();
    }
    EXPECT_EQ(readFile(path("t.db")), old);
    EXPECT_EQ(files(), std::vector<std::string>{"t.db"});
}

} // namespace
