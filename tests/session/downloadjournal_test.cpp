// The journal as the table commands keep it: each download from the
// instrument is one entry, a journal that cannot be written costs the
// table nothing, and tables made of an entry are no downloads.
#include "session/downloadjournal.h"

#include "journal/datafolder.h"
#include "journal/journal.h"
#include "journal/verificationdates.h"
#include "session/tablesession.h"
#include "table/fileio.h"
#include "tests/common/scriptedprompter.h"
#include "tests/session/sessiontestsupport.h"
#include "tests/table/tablefixture.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace zent5 {
namespace {

using testing::column;
using testing::InstrumentTest;
using testing::Row;

const std::vector<InstrumentTest> kThreeTests = {
    {0, 0, 9, 5, 3, 14, 100, 1000, 1}, {0, 0, 10, 5, 3, 14, 200, 1000, 1}, {0, 0, 11, 5, 3, 14, 300, 1000, 1}};

class DownloadJournal : public testing::TableFolder {
protected:
    void SetUp() override
    {
        TableFolder::SetUp();
        if (const char* old = std::getenv("XDG_DATA_HOME"))
            m_oldDataHome = old;
        useDataHome(path("data"));
        recordDownloads(session, prompts);
    }
    void TearDown() override
    {
        if (m_oldDataHome)
            ::setenv("XDG_DATA_HOME", m_oldDataHome->c_str(), 1);
        else
            ::unsetenv("XDG_DATA_HOME");
        TableFolder::TearDown();
    }
    static void useDataHome(const std::string& folder) { ::setenv("XDG_DATA_HOME", folder.c_str(), 1); }

    std::vector<journal::EntryInfo> entries() const
    {
        const journal::Listing listing = journal::Journal(journal::journalFolder()).list();
        EXPECT_TRUE(listing.problems.empty());
        return listing.entries;
    }

    testing::ScriptedPrompter prompts;
    testing::RecordingView view;
    TableSession session{prompts, view};

private:
    std::optional<std::string> m_oldDataHome;
};

TEST_F(DownloadJournal, EachDownloadIsOneEntryOfWhatWasDone)
{
    const ArchiveImage first = testing::archiveOf({kThreeTests[0], kThreeTests[1]}, 77);
    session.createFromArchive(path("t.db"), first);
    ArchiveImage second = testing::archiveOf(kThreeTests, 77);
    second.port = "\\\\.\\COM7";
    session.appendFromArchive(second);

    EXPECT_EQ(prompts.messageLines(), std::vector<std::string>{"Дополнение: Добавлено записей: 1"});
    const std::vector<journal::EntryInfo> kept = entries();
    ASSERT_EQ(kept.size(), 2u);
    const struct {
        const ArchiveImage& archive;
        journal::TableAction action;
        uint32_t rowsAdded;
    } expected[] = {{second, journal::TableAction::Append, 1}, {first, journal::TableAction::NewTable, 2}};
    for (size_t i = 0; i < kept.size(); ++i) {
        SCOPED_TRACE(i);
        const journal::EntryInfo& e = kept[i];
        EXPECT_EQ(e.serialNumber, 77);
        EXPECT_EQ(e.model, 25);
        EXPECT_EQ(e.download.portName, expected[i].archive.port);
        EXPECT_EQ(e.download.action, expected[i].action);
        EXPECT_EQ(e.download.tablePath, path("t.db"));
        EXPECT_EQ(e.download.rowsAdded, expected[i].rowsAdded);
        EXPECT_EQ(e.download.verification, journal::Verification::NoDate);
        const journal::Entry entry = journal::Journal(journal::journalFolder()).load(e.id);
        const ArchiveImage& a = expected[i].archive;
        EXPECT_EQ(entry.image, std::vector<uint8_t>(a.bytes.begin(), a.bytes.begin() + a.decodedLength));
    }
}

TEST_F(DownloadJournal, TableNamedFromTheCurrentFolderIsKeptByItsWholePath)
{
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(folder());
    session.createFromArchive("t.db", testing::archiveOf(kThreeTests));
    std::filesystem::current_path(before);
    ASSERT_EQ(entries().size(), 1u);
    EXPECT_EQ(entries()[0].download.tablePath, path("t.db"));
}

TEST_F(DownloadJournal, VerificationIsTheDueDateOnTheDayOfTheDownload)
{
    using namespace std::chrono;
    const sys_days today = sys_days(journal::localDay(journal::now()));
    const struct {
        const char* name;
        std::optional<journal::Day> due;
        journal::Verification kept;
    } cases[] = {
        {"passed yesterday", journal::Day(today - days(1)), journal::Verification::Overdue},
        {"due today", journal::Day(today), journal::Verification::InDate},
        {"no date", std::nullopt, journal::Verification::NoDate},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        journal::VerificationDates dates;
        dates.setDueDate({25, 4321}, c.due);
        dates.setDueDate({25, 4322}, journal::Day(today - days(30))); // another instrument's
        journal::saveVerificationDates(journal::verificationDatesPath(), dates);
        session.createFromArchive(path("t.db"), testing::archiveOf(kThreeTests, 4321));
        EXPECT_EQ(entries().at(0).download.verification, c.kept);
        std::filesystem::remove_all(journal::journalFolder());
    }
    EXPECT_TRUE(prompts.messages.empty());
}

// The data folder lies under a plain file: no journal can be made there,
// whoever runs the test.
TEST_F(DownloadJournal, JournalThatCannotBeWrittenLeavesTheTableAndWarns)
{
    writeFile(path("plain"), "a file");
    useDataHome(path("plain/data"));
    const std::string warning = "Загрузка не записана в журнал. Не удалось создать папку журнала " +
                                path("plain/data/Korvelin/ZT/journal") + ": " + fileio::errorText(ENOTDIR);

    session.createFromArchive(path("t.db"), testing::archiveOf({kThreeTests[0]}));
    EXPECT_TRUE(session.isOpen());
    EXPECT_EQ(column(session.table(), "N"), std::vector<std::string>{"1"});
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].caption, "ЗЕНТ-5");
    EXPECT_EQ(prompts.messages[0].text, warning);
    EXPECT_EQ(prompts.messages[0].icon, MessageIcon::Warning);
    EXPECT_EQ(prompts.messages[0].buttons, MessageButtons::Ok);

    prompts.messages.clear();
    session.appendFromArchive(testing::archiveOf(kThreeTests));
    EXPECT_EQ(prompts.messageLines(),
              (std::vector<std::string>{"Дополнение: Добавлено записей: 2", "ЗЕНТ-5: " + warning}));
    EXPECT_EQ(column(session.table(), "N"), (std::vector<std::string>{"1", "2", "3"}));
    session.close();
    EXPECT_EQ(readFile(path("plain")), "a file");
}

// Due dates that cannot be read must not cost the download its entry.
TEST_F(DownloadJournal, UnreadableDueDatesKeepTheEntryWithoutVerification)
{
    const std::string dates = journal::verificationDatesPath();
    std::filesystem::create_directories(std::filesystem::path(dates).parent_path());
    writeFile(dates, "x");
    session.createFromArchive(path("t.db"), testing::archiveOf(kThreeTests));
    ASSERT_EQ(entries().size(), 1u);
    EXPECT_EQ(entries()[0].download.verification, journal::Verification::NoDate);
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].text, "Загрузка записана в журнал без отметки о поверке прибора. Файл сроков поверки " +
                                            dates + " поврежден: файл другого вида");
    EXPECT_EQ(prompts.messages[0].icon, MessageIcon::Warning);
}

TEST_F(DownloadJournal, TablesMadeOfAnEntryAreNoDownloads)
{
    journal::Download download;
    download.portName = "\\\\.\\COM3";
    const journal::Entry entry = journal::makeEntry(testing::archiveOf(kThreeTests, 55), download);

    createTableFromEntry(session, entry, path("u.db"));
    EXPECT_TRUE(session.isOpen());
    EXPECT_EQ(column(session.table(), "N"), (std::vector<std::string>{"1", "2", "3"}));
    EXPECT_EQ(column(session.table(), "SERIAL"), (std::vector<std::string>{"55", "55", "55"}));
    session.close();

    testing::writeTable(folder(), "t.db", {{1, 1, "", "05.03.2014", "09:30:00"}});
    session.open(path("t.db"));
    appendFromEntry(session, entry);
    EXPECT_EQ(column(session.table(), "TIME"), (std::vector<std::string>{"09:30:00", "10:00:00", "11:00:00"}));
    EXPECT_EQ(prompts.messageLines(), std::vector<std::string>{"Дополнение: Добавлено записей: 2"});
    session.close();

    EXPECT_FALSE(exists(journal::journalFolder()));
}

} // namespace
} // namespace zent5
