// The table commands without a window: what each does to the file, what it
// asks and what it tells the view.
#include "session/tablesession.h"

#include "tests/common/faultprobe.h"
#include "tests/common/scriptedprompter.h"
#include "tests/session/sessiontestsupport.h"
#include "tests/table/tablefixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace zent5 {
namespace {

using testing::column;
using testing::InstrumentTest;
using testing::Row;

const std::string kWriteFailed = "Error while writing occurred. (Disk full?)";

// Five rows in file order: N 1..5 with forces 30, 50, 10, 50, 20.
const std::vector<Row> kMay = {
    {1, 30, "первый"}, {2, 50, "второй"}, {3, 10, "третий"}, {4, 50, "четвёртый"}, {5, 20, "пятый"}};

class Session : public testing::TableFolder {
protected:
    std::string may()
    {
        testing::writeTable(folder(), "May.db", kMay);
        return path("May.db");
    }

    // The names in the folder, sorted.
    std::vector<std::string> files() const
    {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(folder()))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    testing::ScriptedPrompter prompts;
    testing::RecordingView view;
    TableSession session{prompts, view};
};

TEST_F(Session, OpenShowsTheTableFromItsFirstRowWithItsCaption)
{
    const std::string file = may();
    session.open(file);
    EXPECT_TRUE(session.isOpen());
    EXPECT_FALSE(session.flags().table_changed);
    EXPECT_EQ(session.table().RecNo(), 1u);
    EXPECT_EQ(view.calls, (std::vector<std::string>{"showTable", "caption " + file}));
    EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(Session, ATableThatDoesNotOpenLeavesNoTable)
{
    writeFile(path("bad.db"), "this is no table");
    struct Case {
        std::string file;
        std::string error;
    };
    const Case cases[] = {
        {path("none.db"), "Open: file not found: \"" + path("none.db") + "\"."},
        {path("bad.db"), "Invalid DBF file."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        view.calls.clear();
        try {
            session.open(c.file);
            ADD_FAILURE() << "opened";
        } catch (const TableOpenError& e) {
            EXPECT_EQ(e.what(), c.error);
        }
        EXPECT_FALSE(session.isOpen());
        EXPECT_FALSE(session.table().Active());
        EXPECT_TRUE(view.calls.empty());
    }
    EXPECT_EQ(readFile(path("bad.db")), "this is no table");
}

// Closing asks only after an edit; Yes writes the edit, No drops only what
// was never posted. Either way the layout is stored and the sort index goes.
TEST_F(Session, CloseAsksOnlyAfterAnEditAndDropsTheSortIndex)
{
    struct Case {
        const char* name;
        bool edited;
        std::optional<MessageAnswer> answer;
        const char* comment; // of the first row once closed
    };
    const Case cases[] = {
        {"not edited", false, std::nullopt, "первый"},
        {"edited, saved", true, MessageAnswer::Yes, "новый"},
        {"edited, not saved", true, MessageAnswer::No, "первый"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string file = may();
        session.open(file);
        session.sortBy("P", SortOrder::Descending);
        ASSERT_TRUE(exists(path("May.mdx")));
        if (c.edited) {
            ASSERT_TRUE(session.editField(session.table().ViewOrder()[2], "COMMENT", std::string("новый")));
        }
        if (c.answer)
            prompts.answers.push_back(*c.answer);
        prompts.messages.clear();
        view.calls.clear();

        session.close();

        if (c.answer) {
            ASSERT_EQ(prompts.messages.size(), 1u);
            EXPECT_EQ(prompts.messages[0].caption, "ЗЕНТ-5");
            EXPECT_EQ(prompts.messages[0].text, "Сохранить изменения в таблицах ?");
            EXPECT_EQ(prompts.messages[0].icon, MessageIcon::Question);
            EXPECT_EQ(prompts.messages[0].buttons, MessageButtons::YesNo);
        } else {
            EXPECT_TRUE(prompts.messages.empty());
        }
        EXPECT_FALSE(session.isOpen());
        EXPECT_FALSE(session.flags().table_changed);
        EXPECT_FALSE(exists(path("May.mdx")));
        EXPECT_TRUE(view.called("saveLayout"));
        EXPECT_TRUE(view.called("hideTable"));
        EXPECT_TRUE(view.called("caption "));
        // The next opening shows file order.
        session.open(file);
        EXPECT_EQ(column(session.table(), "N"), (std::vector<std::string>{"1", "2", "3", "4", "5"}));
        EXPECT_EQ(column(session.table(), "COMMENT")[0], c.comment);
        session.close();
    }
}

TEST_F(Session, SaveWritesTheEditAndKeepsTheSort)
{
    session.open(may());
    session.sortBy("P", SortOrder::Ascending);
    ASSERT_TRUE(session.editField(session.table().ViewOrder()[0], "COMMENT", std::string("меньше всех")));
    EXPECT_TRUE(session.flags().table_changed);
    view.calls.clear();

    EXPECT_TRUE(session.save());

    EXPECT_FALSE(session.flags().table_changed);
    EXPECT_EQ(view.calls.front(), "commitPendingEdit");
    EXPECT_EQ(session.table().IndexName(), "tab1");
    EXPECT_TRUE(exists(path("May.mdx")));
    EXPECT_EQ(column(session.table(), "N"), (std::vector<std::string>{"3", "5", "1", "2", "4"}));
    // Read from the file opened again.
    EXPECT_EQ(column(session.table(), "COMMENT")[0], "меньше всех");
}

// The file goes bad while the table is open: saving cannot open it again,
// says why through the view and leaves no table open.
TEST_F(Session, SaveThatCannotOpenTheTableAgainTellsWhyAndClosesIt)
{
    session.open(may());
    session.markEdited();
    writeFile(path("May.db"), "overwritten");
    view.calls.clear();

    EXPECT_FALSE(session.save());

    EXPECT_EQ(view.errors, std::vector<std::string>{"Invalid DBF file."});
    EXPECT_FALSE(session.isOpen());
    EXPECT_FALSE(session.table().Active());
    EXPECT_TRUE(view.called("hideTable"));
    EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(Session, SortOrdersTiesInFileOrderAndTextsTheRussianWay)
{
    testing::writeTable(folder(), "t.db",
                        {{1, 30, "яблоко"}, {2, 50, "Ель"}, {3, 10, "арбуз"}, {4, 50, "ёж"}, {5, 20, "ель"}});
    session.open(path("t.db"));
    struct Case {
        const char* field;
        std::optional<SortOrder> order;
        std::vector<std::string> ns;
    };
    const Case cases[] = {
        {"P", SortOrder::Descending, {"2", "4", "1", "5", "3"}},
        {"P", SortOrder::Ascending, {"3", "5", "1", "2", "4"}},
        // а, ё before е of "ель" (the second letter decides), lower case first, я.
        {"COMMENT", SortOrder::Ascending, {"3", "4", "5", "2", "1"}},
        {"COMMENT", SortOrder::Descending, {"1", "2", "5", "4", "3"}},
        {"P", std::nullopt, {"1", "2", "3", "4", "5"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.field) + (c.order ? *c.order == SortOrder::Ascending ? " up" : " down" : " none"));
        session.sortBy(c.field, c.order);
        EXPECT_EQ(column(session.table(), "N"), c.ns);
        EXPECT_EQ(exists(path("t.mdx")), c.order.has_value());
    }
}

TEST_F(Session, ResetSortGivesFileOrderAndClearsTheMarks)
{
    session.open(may());
    session.sortBy("P", SortOrder::Descending);
    view.calls.clear();
    session.resetSort();
    EXPECT_EQ(view.calls, (std::vector<std::string>{"commitPendingEdit", "clearSortMarks", "refreshRows"}));
    EXPECT_EQ(session.table().IndexName(), "");
    EXPECT_FALSE(exists(path("May.mdx")));
    EXPECT_EQ(column(session.table(), "N"), (std::vector<std::string>{"1", "2", "3", "4", "5"}));
}

TEST_F(Session, DeleteRemovesTheRowsFromTheFileInFileOrder)
{
    struct Case {
        const char* name;
        std::vector<uint32_t> recNos;
        std::vector<std::string> left;
    };
    const Case cases[] = {
        {"the rows given", {4, 2}, {"1", "3", "5"}},
        {"no rows given: the current one", {}, {"2", "3", "4", "5"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        session.open(may());
        session.sortBy("P", SortOrder::Descending);
        session.markEdited();
        view.calls.clear();

        session.deleteRows(c.recNos);

        EXPECT_EQ(column(session.table(), "N"), c.left);
        EXPECT_EQ(session.table().RecordCount(), c.left.size()) << "the file is packed";
        EXPECT_EQ(session.table().IndexName(), "");
        EXPECT_FALSE(session.flags().table_changed);
        EXPECT_TRUE(view.called("clearSortMarks"));
        EXPECT_TRUE(view.called("clearSelection"));
        EXPECT_TRUE(prompts.messages.empty());
        session.close();
        EXPECT_EQ(files(), std::vector<std::string>{"May.db"});
    }
}

TEST_F(Session, RowsAreFoundByTheirNumbers)
{
    testing::writeTable(folder(), "t.db", {{7, 1, ""}, {3, 2, ""}, {7, 3, ""}, {9, 4, ""}});
    session.open(path("t.db"));
    std::vector<int64_t> unknown;
    EXPECT_EQ(session.rowsNumbered({7, 9}, unknown), (std::vector<uint32_t>{1, 3, 4}));
    EXPECT_TRUE(unknown.empty());
    EXPECT_EQ(session.rowsNumbered({3, 4, 0}, unknown), (std::vector<uint32_t>{2}));
    EXPECT_EQ(unknown, (std::vector<int64_t>{4, 0}));
}

TEST_F(Session, RenumberGivesThePositionsShownAndKeepsTheSort)
{
    struct Case {
        const char* field;
        SortOrder order;
        std::vector<std::string> shown;     // N in the order shown afterwards
        std::vector<std::string> fileOrder; // N in file order afterwards
    };
    const Case cases[] = {
        {"P", SortOrder::Descending, {"1", "2", "3", "4", "5"}, {"3", "1", "5", "2", "4"}},
        // Sorted by N itself: every row is numbered once, as it was shown.
        {"N", SortOrder::Descending, {"5", "4", "3", "2", "1"}, {"5", "4", "3", "2", "1"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.field);
        session.open(may());
        session.sortBy(c.field, c.order);
        session.renumber();
        EXPECT_EQ(column(session.table(), "N"), c.shown);
        EXPECT_EQ(session.table().IndexName(), "tab1");
        EXPECT_FALSE(session.flags().table_changed);
        session.close();
        session.open(path("May.db"));
        EXPECT_EQ(column(session.table(), "N"), c.fileOrder);
        session.close();
    }
}

const std::vector<InstrumentTest> kThreeTests = {
    {0, 0, 9, 5, 3, 14, 100, 1000, 1}, {0, 0, 10, 5, 3, 14, 200, 1000, 1}, {0, 0, 11, 5, 3, 14, 300, 1000, 1}};

TEST_F(Session, CreateMakesATableOfTheWholeArchiveAndTellsTheDownload)
{
    const ArchiveImage archive = testing::archiveOf(kThreeTests, 77);
    std::vector<std::string> told;
    session.onDownloadStored([&](const StoredDownload& d) {
        told.push_back(d.table + " " + std::to_string(d.rowsAdded) + " " + d.archive.port + " " +
                       std::to_string(d.archive.serialNumber) + (d.target == DownloadTarget::NewTable ? " new" : " open"));
    });

    session.createFromArchive(path("t.db"), archive);

    EXPECT_TRUE(session.isOpen());
    EXPECT_FALSE(session.flags().table_changed);
    EXPECT_EQ(column(session.table(), "N"), (std::vector<std::string>{"1", "2", "3"}));
    EXPECT_EQ(column(session.table(), "SERIAL"), (std::vector<std::string>{"77", "77", "77"}));
    // The caption stays the program's own.
    EXPECT_EQ(view.calls, std::vector<std::string>{"showTable"});
    EXPECT_EQ(told, std::vector<std::string>{path("t.db") + " 3 \\\\.\\COM1 77 new"});
    EXPECT_TRUE(prompts.messages.empty());
    EXPECT_EQ(files(), std::vector<std::string>{"t.db"});
}

TEST_F(Session, CreateOfAnEmptyArchiveTellsSoOnceTheEmptyTableShows)
{
    session.createFromArchive(path("t.db"), testing::archiveOf({}));
    EXPECT_EQ(prompts.messageLines(), std::vector<std::string>{"Ошибка: Архив пуст !"});
    EXPECT_EQ(session.table().VisibleCount(), 0);
    EXPECT_TRUE(session.isOpen());
}

TEST_F(Session, CreateOfADamagedArchiveTouchesNoFile)
{
    testing::writeTable(folder(), "t.db", kMay);
    const std::string before = readFile(path("t.db"));
    ArchiveImage archive = testing::archiveOf(kThreeTests);
    archive.decodedLength = 10;
    try {
        session.createFromArchive(path("t.db"), archive);
        ADD_FAILURE() << "created";
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "Архив поврежден: 3 записи по 11 байт не умещаются в 10 принятых байт !");
    }
    EXPECT_FALSE(session.isOpen());
    EXPECT_EQ(readFile(path("t.db")), before);
    EXPECT_EQ(files(), std::vector<std::string>{"t.db"});
}

// "Создать" over a table, as the window runs it (the file is reserved after
// the download) and as the tool does (reserved before): whichever write or
// rename fails, the old table is as it was, byte for byte, nothing is left
// beside it, no table is open and nothing was told. Once nothing fails the
// new table takes its place.
TEST_F(Session, CreateThatFailsAtAnyWriteOrRenameLeavesTheOldTableWhole)
{
    using testing::FaultStep;
    std::vector<Row> rows;
    for (int n = 1; n <= 200; ++n)
        rows.push_back({double(n), 1, "старая"});
    testing::writeTable(folder(), "t.db", rows);
    const std::string before = readFile(path("t.db"));
    const ArchiveImage archive = testing::archiveOf(kThreeTests);
    for (const bool reservedBeforeTheDownload : {false, true}) {
        for (const FaultStep step : {FaultStep::Write, FaultStep::Rename}) {
            int failures = 0;
            for (int n = 1;; ++n) {
                SCOPED_TRACE(std::string(reservedBeforeTheDownload ? "tool, " : "window, ") +
                             (step == FaultStep::Write ? "write " : "rename ") + std::to_string(n));
                ASSERT_LT(n, 40) << "the command never stops reaching new steps";
                prompts.messages.clear();
                int told = 0;
                session.onDownloadStored([&](const StoredDownload&) { ++told; });
                std::string error;
                try {
                    if (reservedBeforeTheDownload)
                        session.reserveNewTable(path("t.db"));
                    testing::armFault(step, n);
                    session.createFromArchive(path("t.db"), archive);
                } catch (const Error& e) {
                    error = e.what();
                }
                if (testing::faultStillArmed(step, folder())) {
                    EXPECT_EQ(error, "");
                    EXPECT_TRUE(session.isOpen());
                    EXPECT_EQ(column(session.table(), "N"), (std::vector<std::string>{"1", "2", "3"}));
                    EXPECT_EQ(told, 1);
                    break;
                }
                ++failures;
                EXPECT_EQ(error, kWriteFailed);
                EXPECT_FALSE(session.isOpen());
                EXPECT_FALSE(session.table().Active());
                EXPECT_EQ(told, 0);
                EXPECT_TRUE(prompts.messages.empty());
                EXPECT_TRUE(readFile(path("t.db")) == before) << "the old table changed";
                EXPECT_EQ(files(), std::vector<std::string>{"t.db"});
                if (HasFailure())
                    return;
            }
            EXPECT_GE(failures, step == FaultStep::Write ? 5 : 1);
            session.close();
            writeFile(path("t.db"), before);
        }
    }
}

TEST_F(Session, AppendAddsTheNewerRecordsAfterTheSortIsResetAndTellsTheCount)
{
    // The last row in file order is 10:00; sorted by N downwards the view
    // would end on 09:00.
    testing::writeTable(folder(), "t.db", {{1, 1, "", "05.03.2014", "09:00:00"}, {2, 2, "", "05.03.2014", "10:00:00"}});
    session.open(path("t.db"));
    session.sortBy("N", SortOrder::Descending);
    std::vector<std::string> told;
    session.onDownloadStored([&](const StoredDownload& d) {
        told.push_back(d.table + " " + std::to_string(d.rowsAdded) + (d.target == DownloadTarget::OpenTable ? " open" : " new"));
    });
    view.calls.clear();

    session.appendFromArchive(testing::archiveOf(kThreeTests));

    EXPECT_EQ(prompts.messageLines(), std::vector<std::string>{"Дополнение: Добавлено записей: 1"});
    EXPECT_EQ(prompts.messages[0].icon, MessageIcon::Information);
    EXPECT_EQ(column(session.table(), "N"), (std::vector<std::string>{"1", "2", "3"}));
    EXPECT_EQ(column(session.table(), "TIME"), (std::vector<std::string>{"09:00:00", "10:00:00", "11:00:00"}));
    EXPECT_EQ(session.table().IndexName(), "");
    EXPECT_TRUE(session.isOpen());
    EXPECT_TRUE(session.table().Active());
    EXPECT_EQ(view.calls.back(), "showRows");
    EXPECT_EQ(told, std::vector<std::string>{path("t.db") + " 1 open"});
    EXPECT_EQ(files(), std::vector<std::string>{"t.db"});
}

// A write or rename failing anywhere in "Дополнить": the file stays as it
// was, the table shows it again, and no count of added rows is told.
TEST_F(Session, AppendThatFailsAtAnyWriteOrRenameLeavesTheTableAsItWas)
{
    using testing::FaultStep;
    testing::writeTable(folder(), "t.db", {{1, 1, "", "05.03.2014", "08:00:00"}});
    const ArchiveImage archive = testing::archiveOf(kThreeTests);
    for (const FaultStep step : {FaultStep::Write, FaultStep::Rename}) {
        int failures = 0;
        for (int n = 1;; ++n) {
            SCOPED_TRACE((step == FaultStep::Write ? "write " : "rename ") + std::to_string(n));
            ASSERT_LT(n, 40) << "the command never stops reaching new steps";
            session.open(path("t.db"));
            session.close(); // the header as the table component writes it
            const std::string before = readFile(path("t.db"));
            session.open(path("t.db"));
            prompts.messages.clear();
            std::string error;
            try {
                testing::armFault(step, n);
                session.appendFromArchive(archive);
            } catch (const Error& e) {
                error = e.what();
            }
            const bool reached = !testing::faultStillArmed(step, folder());
            EXPECT_TRUE(session.isOpen());
            EXPECT_TRUE(session.table().Active());
            if (!reached) {
                EXPECT_EQ(column(session.table(), "TIME"),
                          (std::vector<std::string>{"08:00:00", "09:00:00", "10:00:00", "11:00:00"}));
                EXPECT_EQ(prompts.messageLines(), std::vector<std::string>{"Дополнение: Добавлено записей: 3"});
                session.close();
                break;
            }
            ++failures;
            EXPECT_EQ(error, kWriteFailed);
            EXPECT_TRUE(prompts.messages.empty());
            EXPECT_EQ(column(session.table(), "N"), std::vector<std::string>{"1"});
            session.close();
            EXPECT_TRUE(readFile(path("t.db")) == before) << "the table changed";
            EXPECT_EQ(files(), std::vector<std::string>{"t.db"});
            if (HasFailure())
                return;
        }
        EXPECT_GE(failures, step == FaultStep::Write ? 6 : 1);
        testing::writeTable(folder(), "t.db", {{1, 1, "", "05.03.2014", "08:00:00"}});
    }
}

TEST_F(Session, AppendAfterALastRowThatIsNoRealMomentChangesNothing)
{
    testing::writeTable(folder(), "t.db", {{1, 1, "", "31.02.2014", "10:00:00"}});
    session.open(path("t.db"));
    session.close();
    const std::string before = readFile(path("t.db"));
    session.open(path("t.db"));
    try {
        session.appendFromArchive(testing::archiveOf(kThreeTests));
        ADD_FAILURE() << "appended";
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "'31.02.2014 10:00:00' is not a valid date and time");
    }
    EXPECT_TRUE(session.table().Active());
    session.close();
    EXPECT_EQ(readFile(path("t.db")), before);
}

// A sorted copy for reading: the sort index and the header's index flag
// live on the copy, the file itself is left as it was.
TEST_F(Session, ACopyIsSortedWithoutTouchingTheFile)
{
    const std::string before = readFile(may());
    session.openCopy(path("May.db"));
    const std::string copy = session.table().TablePath();
    EXPECT_NE(copy, path("May.db"));
    session.sortBy("P", SortOrder::Descending);
    EXPECT_EQ(column(session.table(), "N"), (std::vector<std::string>{"2", "4", "1", "5", "3"}));
    session.close();
    EXPECT_FALSE(exists(copy));
    EXPECT_FALSE(exists(std::filesystem::path(copy).parent_path().string()));
    EXPECT_EQ(readFile(path("May.db")), before);
    EXPECT_EQ(files(), std::vector<std::string>{"May.db"});

    // A table another program holds open is not read.
    DbfTable held;
    aim(held, "May.db");
    held.Open();
    try {
        session.openCopy(path("May.db"));
        ADD_FAILURE() << "copied";
    } catch (const TableOpenError& e) {
        EXPECT_EQ(std::string(e.what()).rfind("Cannot open file \"" + path("May.db") + "\". ", 0), 0u) << e.what();
    }
    EXPECT_FALSE(session.isOpen());
}

} // namespace
} // namespace zent5
