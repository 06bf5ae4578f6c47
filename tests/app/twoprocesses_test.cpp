// A table one running program holds open is refused by a second program
// as damaged, and the first program goes on working with it.
#include "tests/app/tablewindow.h"

#include <sys/wait.h>
#include <unistd.h>

namespace zent5 {
namespace {

using testing::ScriptedPrompter;
using testing::TableWindow;

using TwoPrograms = TableWindow;

// The other program: opens the table, says so, waits for the word, then
// posts one more row and closes. Exits 0 when all of that worked.
[[noreturn]] void holdTable(const std::string& folder, int ready, int go)
{
    int code = 0;
    try {
        DbfTable t;
        t.setFilePath(folder);
        t.setTableName("May.db");
        t.Open();
        char c = 'r';
        if (write(ready, &c, 1) != 1)
            _exit(3);
        if (read(go, &c, 1) != 1)
            _exit(4);
        t.Append();
        t.SetFieldValue("N", 6.0);
        t.SetFieldValue("COMMENT", std::string("из другой программы"));
        t.Post();
        t.Close();
    } catch (const std::exception&) {
        code = 5;
    }
    _exit(code);
}

TEST_F(TwoPrograms, TableHeldByAnotherProgramIsRefusedAndLeftAlone)
{
    const std::string file = may();
    for (const bool byMenu : {false, true}) {
        SCOPED_TRACE(byMenu ? "Открыть" : "Open_DB");
        int ready[2], go[2];
        ASSERT_EQ(pipe(ready), 0);
        ASSERT_EQ(pipe(go), 0);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            close(ready[0]);
            close(go[1]);
            holdTable(folder(), ready[1], go[0]);
        }
        close(ready[1]);
        close(go[0]);
        char c = 0;
        ASSERT_EQ(read(ready[0], &c, 1), 1) << "the other program could not open the table";
        std::ifstream before(file, std::ios::binary);
        const std::string bytes{std::istreambuf_iterator<char>(before), {}};

        ScriptedPrompter asked;
        {
            TForm1 w(asked);
            if (byMenu) {
                asked.files.push_back(file);
                w.N3->trigger();
            } else {
                w.Open_DB(file);
            }
            ASSERT_EQ(asked.messages.size(), 1u);
            EXPECT_EQ(asked.messages[0].caption, "Ошибка");
            EXPECT_EQ(asked.messages[0].text, "База данных повреждена !");
            EXPECT_EQ(asked.messages[0].icon, MessageIcon::Error);
            EXPECT_FALSE(w.state().table_open);
            EXPECT_FALSE(w.Dbf1.Active());
            EXPECT_EQ(w.windowTitle().toStdString(), "ЗЕНТ-5");
        }
        std::ifstream after(file, std::ios::binary);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(after), {}), bytes) << "the refusal wrote to the file";

        // The first program still posts a row after the refusal.
        ASSERT_EQ(write(go[1], "g", 1), 1);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        close(ready[0]);
        close(go[1]);
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 0);
        const testing::StoredTable stored = testing::read_table(file);
        ASSERT_EQ(stored.ns.size(), 6u);
        EXPECT_EQ(stored.ns.back(), 6);
        EXPECT_EQ(stored.comments.back(), "из другой программы");
        EXPECT_EQ(stored.records, 6u);
        may(); // five rows again for the next round
    }
    EXPECT_TRUE(errors.prompter.messages.empty());
}

} // namespace
} // namespace zent5
