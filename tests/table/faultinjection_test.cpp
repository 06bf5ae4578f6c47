// Every write and rename an operation makes is failed in turn; whatever
// step fails, the operation raises the one write error and the table opens
// again with every row posted before the fault, whole.
#include "tablefixture.h"

#include "common/faultprobe.h"

#include "records/error.h"

#include <csignal>
#include <functional>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace zent5;
using zent5::testing::TableFolder;

namespace {

constexpr const char* kWriteFailed = "Error while writing occurred. (Disk full?)";

struct Operation {
    const char* name;
    bool sorted;                             // a sort index is active
    std::function<void(DbfTable&)> prepare;  // runs before the fault is armed
    std::function<void(DbfTable&)> run;      // the operation under test
    std::vector<int> before;                 // visible N values when it fails
    std::vector<int> after;                  // visible N values when it succeeds
    uint32_t recordsBefore;                  // stored rows (deleted ones too)
    uint32_t recordsAfter;
};

void postRow(DbfTable& t, double n)
{
    t.Append();
    t.SetFieldValue("N", n);
    t.SetFieldValue("P", n * 10);
    t.SetFieldValue("COMMENT", std::string("строка ") + std::to_string(int(n)));
    t.Post();
}

void goToN(DbfTable& t, int n)
{
    for (t.First(); !t.Eof(); t.Next())
        if (t.FieldNumber("N") == n)
            return;
    FAIL() << "no row " << n;
}

std::vector<Operation> operations()
{
    auto nothing = [](DbfTable&) {};
    return {
        {"append-and-post", false, nothing, [](DbfTable& t) { postRow(t, 5); }, {1, 2, 3, 4}, {1, 2, 3, 4, 5}, 4, 5},
        {"append-and-post sorted", true, nothing, [](DbfTable& t) { postRow(t, 5); }, {1, 2, 3, 4}, {1, 2, 3, 4, 5}, 4,
         5},
        {"edit", false,
         [](DbfTable& t) {
             goToN(t, 2);
             t.Edit();
             t.SetFieldValue("P", 99.0);
             t.SetFieldValue("COMMENT", std::string("правка"));
         },
         [](DbfTable& t) { t.Post(); }, {1, 2, 3, 4}, {1, 2, 3, 4}, 4, 4},
        {"edit sorted", true,
         [](DbfTable& t) {
             goToN(t, 2);
             t.Edit();
             t.SetFieldValue("P", 99.0);
         },
         [](DbfTable& t) { t.Post(); }, {1, 2, 3, 4}, {1, 3, 4, 2}, 4, 4},
        {"delete", false, [](DbfTable& t) { goToN(t, 2); }, [](DbfTable& t) { t.Delete(); }, {1, 2, 3, 4}, {1, 3, 4}, 4,
         4},
        {"pack", false,
         [](DbfTable& t) {
             goToN(t, 2);
             t.Delete();
         },
         [](DbfTable& t) { t.Pack(); }, {1, 3, 4}, {1, 3, 4}, 4, 3},
        {"pack sorted", true,
         [](DbfTable& t) {
             goToN(t, 3);
             t.Delete();
         },
         [](DbfTable& t) { t.Pack(); }, {1, 2, 4}, {1, 2, 4}, 4, 3},
        {"close", false, [](DbfTable& t) { postRow(t, 5); }, [](DbfTable& t) { t.Close(); }, {1, 2, 3, 4, 5},
         {1, 2, 3, 4, 5}, 5, 5},
    };
}

using Step = zent5::testing::FaultStep;

} // namespace

class TableFaultInjection : public TableFolder {
protected:
    bool faultStillArmed(Step step) { return zent5::testing::faultStillArmed(step, folder()); }

    // The visible N values of the table on disk, read by a fresh instance;
    // also checks that every stored row reads whole.
    std::vector<int> reopened(uint32_t& records, bool unchangedValues = true)
    {
        DbfTable t;
        aim(t);
        t.Open();
        records = t.RecordCount();
        EXPECT_EQ(readFile(path("t.db")).size(), 449u + records * 291 + 1);
        std::vector<int> ns;
        for (t.First(); !t.Eof(); t.Next()) {
            const int n = int(t.FieldNumber("N"));
            ns.push_back(n);
            if (unchangedValues) {
                EXPECT_EQ(t.FieldNumber("P"), n * 10.0) << "row " << n;
                EXPECT_EQ(t.FieldText("COMMENT"), "строка " + std::to_string(n));
            }
        }
        t.Close();
        return ns;
    }
};

TEST_F(TableFaultInjection, EveryFailingStepKeepsThePostedRows)
{
    for (const Operation& op : operations()) {
        for (Step step : {Step::Write, Step::Rename}) {
            // A new table of four rows, sorted when the case asks, ready for the operation.
            auto startFresh = [&](DbfTable& t) {
                std::filesystem::remove(path("t.db"));
                std::filesystem::remove(path("t.mdx"));
                createOpen(t);
                for (int i = 1; i <= 4; ++i)
                    postRow(t, i);
                if (op.sorted) {
                    t.AddIndex("tab1", "P", false);
                    t.setIndexName("tab1");
                }
                op.prepare(t);
            };
            int reached = 0;
            for (int n = 1;; ++n) {
                SCOPED_TRACE(std::string(op.name) + (step == Step::Write ? " write " : " rename ") +
                             std::to_string(n));
                ASSERT_LT(n, 50) << "the operation never stops reaching new steps";
                std::vector<std::string> errors;
                {
                    DbfTable t;
                    startFresh(t);
                    if (step == Step::Write)
                        fileio::testhook::failNthWrite(n);
                    else
                        fileio::testhook::failNthRename(n);
                    try {
                        op.run(t);
                    } catch (const Error& e) {
                        errors.push_back(e.what());
                    }
                    const bool armed = faultStillArmed(step);
                    if (armed) {
                        EXPECT_TRUE(errors.empty()) << errors.front();
                        break; // the operation has fewer steps than n
                    }
                    ++reached;
                    // A step that failed is always reported, with the one text.
                    ASSERT_EQ(errors.size(), 1u);
                    EXPECT_EQ(errors.front(), kWriteFailed);
                    try {
                        t.Close();
                    } catch (const Error& e) {
                        ADD_FAILURE() << "close after the fault: " << e.what();
                    }
                }
                uint32_t records = 0;
                EXPECT_EQ(reopened(records), op.before);
                EXPECT_EQ(records, op.recordsBefore);
                EXPECT_FALSE(exists(path("t_1.db")));
            }
            SCOPED_TRACE(op.name);
            if (step == Step::Write) {
                EXPECT_GT(reached, 0);
            }
            // With no fault the operation gives the table it promises.
            {
                DbfTable t;
                startFresh(t);
                op.run(t);
                std::vector<int> seen;
                for (uint32_t r : t.ViewOrder())
                    seen.push_back(int(std::get<double>(t.ReadField(r, "N"))));
                if (std::string(op.name) != "close") {
                    EXPECT_EQ(seen, op.after);
                }
                t.Close();
            }
            uint32_t records = 0;
            const std::vector<int> ns = reopened(records, false);
            EXPECT_EQ(records, op.recordsAfter);
            EXPECT_EQ(ns.size(), op.after.size());
        }
    }
}

// A real size limit instead of the hook: the record goes out in part or
// not at all, and the table is put back to its two rows with their count.
TEST_F(TableFaultInjection, DiskFullDuringAppendPutsTheCountBack)
{
    const size_t twoRows = 449 + 2 * 291 + 1;
    struct Case {
        rlim_t room; // bytes the file may grow by
        bool fits;
    };
    const Case cases[] = {{0, false}, {1, false}, {100, false}, {290, false}, {291, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.room);
        std::filesystem::remove(path("t.db"));
        {
            DbfTable t;
            createOpen(t);
            postRow(t, 1);
            postRow(t, 2);
            t.Close();
        }
        ASSERT_EQ(readFile(path("t.db")).size(), twoRows);
        const std::string result = path("result");
        std::filesystem::remove(result);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            // Only in the child, so the limit never reaches the other tests.
            std::signal(SIGXFSZ, SIG_IGN);
            std::string outcome = "(no error)";
            try {
                DbfTable t;
                aim(t);
                t.Open();
                struct rlimit limit {};
                getrlimit(RLIMIT_FSIZE, &limit);
                limit.rlim_cur = twoRows + c.room;
                setrlimit(RLIMIT_FSIZE, &limit);
                t.Append();
                t.SetFieldValue("N", 3.0);
                t.SetFieldValue("P", 30.0);
                t.SetFieldValue("COMMENT", std::string("строка 3"));
                try {
                    t.Post();
                } catch (const Error& e) {
                    outcome = e.what();
                }
                t.Close();
            } catch (const Error& e) {
                outcome = std::string("unexpected: ") + e.what();
            }
            writeFile(result, outcome);
            _exit(0);
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        const std::string bytes = readFile(path("t.db"));
        uint32_t records = 0;
        if (c.fits) {
            EXPECT_EQ(readFile(result), "(no error)");
            EXPECT_EQ(uint8_t(bytes[4]), 3);
            EXPECT_EQ(reopened(records), (std::vector<int>{1, 2, 3}));
        } else {
            EXPECT_EQ(readFile(result), kWriteFailed);
            EXPECT_EQ(uint8_t(bytes[4]), 2);
            EXPECT_EQ(bytes.size(), twoRows);
            EXPECT_EQ(reopened(records), (std::vector<int>{1, 2}));
        }
    }
}
