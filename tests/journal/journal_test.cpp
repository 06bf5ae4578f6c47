#include "journaltestsupport.h"

#include "journal/entryformat.h"
#include "records/error.h"

#include <cerrno>
#include <filesystem>
#include <unistd.h>

using namespace zent5;
using namespace zent5::journal;
using zent5::testing::errorOf;
using zent5::testing::kMarch5;
using zent5::testing::sampleEntry;

namespace {

// The file of sampleEntry(): 36 bytes of fixed fields, the version text
// (8), the port (8) and the table path (36 bytes of UTF-8), each after its
// length, then the image of three 16-byte records after its length, and the
// checksum.
constexpr uint64_t kSampleFileSize = 36 + (2 + 8) + (2 + 8) + (2 + 36) + (4 + 52) + 4;

std::vector<std::string> idsOf(const Listing& listing)
{
    std::vector<std::string> ids;
    for (const EntryInfo& e : listing.entries)
        ids.push_back(e.id);
    return ids;
}

} // namespace

class JournalTest : public zent5::testing::JournalFolder {};

TEST_F(JournalTest, AnEntryIsWrittenWholeInAFolderMadeOnTheFirstWrite)
{
    ASSERT_FALSE(std::filesystem::exists(journalDir()));
    Journal journal(journalDir());
    Entry entry = sampleEntry();
    const std::string id = journal.add(entry);

    EXPECT_EQ(id, "20240305-100000-00321-01");
    EXPECT_EQ(entry.info.id, id);
    EXPECT_EQ(names(), std::set<std::string>{id + ".zje"});
    EXPECT_EQ(std::filesystem::file_size(entryFile(id)), kSampleFileSize);

    const Listing listing = journal.list();
    EXPECT_TRUE(listing.problems.empty());
    ASSERT_EQ(listing.entries.size(), 1u);
    const EntryInfo& info = listing.entries[0];
    EXPECT_EQ(info.id, id);
    EXPECT_EQ(info.serialNumber, 321);
    EXPECT_EQ(info.model, 25);
    EXPECT_EQ(info.kind, 1);
    EXPECT_EQ(info.versionText, "10.10.14");
    EXPECT_EQ(info.recordCount, 3);
    EXPECT_EQ(info.imageLength, 52u);
    EXPECT_EQ(info.download.moment, (Moment{kMarch5, zent5::testing::kMoscow}));
    EXPECT_EQ(info.download.portName, "\\\\.\\COM1");
    EXPECT_EQ(info.download.tablePath, "/home/инженер/анкеры.db");
    EXPECT_EQ(info.download.action, TableAction::NewTable);
    EXPECT_EQ(info.download.rowsAdded, 3u);

    const Entry loaded = journal.load(id);
    EXPECT_EQ(loaded.info.id, id);
    EXPECT_TRUE(loaded.image == entry.image);
}

TEST_F(JournalTest, IdsAreUniqueAndTheListIsNewestFirst)
{
    Journal journal(journalDir());
    const struct {
        uint16_t serial;
        int64_t at;
        const char* id;
    } adds[] = {
        {321, kMarch5, "20240305-100000-00321-01"},
        {321, kMarch5, "20240305-100000-00321-02"}, // the same instrument within one second
        {7, kMarch5, "20240305-100000-00007-01"},
        {321, kMarch5 + 50399, "20240305-235959-00321-01"},
        {321, kMarch5 - 36000, "20240305-000000-00321-01"}, // a clock put back
    };
    for (const auto& a : adds) {
        Entry e = sampleEntry(a.serial, a.at);
        EXPECT_EQ(journal.add(e), a.id);
    }
    EXPECT_EQ(idsOf(journal.list()),
              (std::vector<std::string>{"20240305-235959-00321-01", "20240305-100000-00321-02",
                                        "20240305-100000-00321-01", "20240305-100000-00007-01",
                                        "20240305-000000-00321-01"}));
}

TEST_F(JournalTest, TheOldestGoBeyondTheLimits)
{
    const struct {
        const char* name;
        Limits limits;
        int adds;
        std::vector<std::string> kept; // seconds after 10:00:00 of the kept entries, newest first
    } cases[] = {
        {"by count", {3, 1 << 30}, 5, {"04", "03", "02"}},
        {"by size", {100, 3 * kSampleFileSize - 1}, 5, {"04", "03"}},
        {"size exactly at the limit", {100, 3 * kSampleFileSize}, 5, {"04", "03", "02"}},
        {"count first", {2, 3 * kSampleFileSize}, 4, {"03", "02"}},
        {"the newest alone above the size", {100, kSampleFileSize - 1}, 3, {"02"}},
        {"within both", {500, 200ull << 20}, 4, {"03", "02", "01", "00"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove_all(journalDir());
        Journal journal(journalDir(), c.limits);
        for (int i = 0; i < c.adds; ++i) {
            Entry e = sampleEntry(321, kMarch5 + i);
            journal.add(e);
        }
        std::vector<std::string> expected;
        for (const std::string& s : c.kept)
            expected.push_back("20240305-1000" + s + "-00321-01");
        EXPECT_EQ(idsOf(journal.list()), expected);
        EXPECT_EQ(names().size(), expected.size());
    }
}

TEST_F(JournalTest, TheEntryJustWrittenStaysWhenTheClockWasPutBack)
{
    Journal journal(journalDir(), {2, 1 << 30});
    for (int i = 1; i <= 2; ++i) {
        Entry e = sampleEntry(321, kMarch5 + i);
        journal.add(e);
    }
    Entry back = sampleEntry(321, kMarch5 - 60);
    journal.add(back);
    EXPECT_EQ(idsOf(journal.list()),
              (std::vector<std::string>{"20240305-100002-00321-01", "20240305-095900-00321-01"}));
}

TEST_F(JournalTest, DamagedAndForeignFilesAreSkippedAndReported)
{
    Journal journal(journalDir());
    Entry first = sampleEntry(321, kMarch5);
    Entry second = sampleEntry(322, kMarch5 + 1);
    journal.add(first);
    journal.add(second);
    const std::vector<uint8_t> good = readBytes(entryFile(first.info.id));

    std::vector<uint8_t> cut(good.begin(), good.begin() + 100);
    writeBytes(entryFile("20240101-000000-00001-01"), cut);
    std::vector<uint8_t> flipped = good;
    flipped[120] ^= 0x04;
    writeBytes(entryFile("20240101-000000-00002-01"), flipped);
    writeBytes(entryFile("20240101-000000-00003-01"), {'Z', 'E', 'N', 'T', '-', '5'});
    writeBytes(journalDir() + "/заметки.txt", {'x'});
    writeBytes(journalDir() + "/20240101-000000-00004-01.zje.bak", good);
    writeBytes(journalDir() + "/сохранить.tmp", good);
    std::filesystem::create_directory(entryFile("20240101-000000-00005-01"));
    // Left by writes that never finished: one a moment ago, one from long ago.
    writeBytes(journalDir() + "/20240306-000000-00321-01.tmp", cut);
    writeBytes(journalDir() + "/20240101-000000-00321-01.tmp", cut);
    std::filesystem::last_write_time(journalDir() + "/20240101-000000-00321-01.tmp",
                                     std::filesystem::file_time_type::clock::now() - std::chrono::hours(2));

    const Listing listing = journal.list();
    EXPECT_EQ(idsOf(listing), (std::vector<std::string>{second.info.id, first.info.id}));
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"20240101-000000-00001-01.zje", "Запись журнала обрезана: 100 байт из 154"},
        {"20240101-000000-00002-01.zje", "Запись журнала повреждена: контрольная сумма не сходится"},
        {"20240101-000000-00003-01.zje", "Не запись журнала: файл другого вида"},
        {"20240101-000000-00004-01.zje.bak", "Не запись журнала: имя файла не по образцу"},
        {"20240101-000000-00005-01.zje", "Не запись журнала: папка"},
        {"заметки.txt", "Не запись журнала: имя файла не по образцу"},
        {"сохранить.tmp", "Не запись журнала: имя файла не по образцу"},
    };
    std::vector<std::pair<std::string, std::string>> problems;
    for (const Problem& p : listing.problems)
        problems.emplace_back(p.fileName, p.text);
    EXPECT_EQ(problems, expected);

    EXPECT_EQ(errorOf([&] { journal.load("20240101-000000-00002-01"); }),
              "20240101-000000-00002-01: Запись журнала повреждена: контрольная сумма не сходится");

    // The next write tidies the old leftover only; what it cannot read it leaves for the user to see.
    Entry third = sampleEntry(321, kMarch5 + 2);
    journal.add(third);
    EXPECT_FALSE(names().count("20240101-000000-00321-01.tmp"));
    EXPECT_TRUE(names().count("20240306-000000-00321-01.tmp"));
    EXPECT_EQ(journal.list().problems.size(), expected.size());
}

TEST_F(JournalTest, AFileLongerThanAnyEntryIsNotRead)
{
    Journal journal(journalDir());
    Entry e = sampleEntry();
    journal.add(e);
    std::filesystem::resize_file(entryFile(e.info.id), kMaxEntrySize + 1);
    const Listing listing = journal.list();
    EXPECT_TRUE(listing.entries.empty());
    ASSERT_EQ(listing.problems.size(), 1u);
    EXPECT_EQ(listing.problems[0].text, "Не запись журнала: файл длиннее любой записи");
}

TEST_F(JournalTest, UnknownIdsAreRefused)
{
    Journal journal(journalDir());
    Entry e = sampleEntry();
    journal.add(e);
    for (const std::string id : {"20240305-100000-00321-02", "../journal/20240305-100000-00321-01", "", "*"}) {
        SCOPED_TRACE(id);
        EXPECT_EQ(errorOf([&] { journal.load(id); }), "В журнале нет записи " + id);
        EXPECT_EQ(errorOf([&] { journal.remove(id); }), "В журнале нет записи " + id);
    }
    EXPECT_EQ(names().size(), 1u);
    journal.remove(e.info.id);
    EXPECT_TRUE(names().empty());
    EXPECT_TRUE(journal.list().entries.empty());
}

TEST_F(JournalTest, AJournalThatCannotBeWrittenSaysWhereAndWhy)
{
    writeBytes(path("file"), {'x'});
    const struct {
        const char* name;
        std::string folder;
        std::string error;
        bool needsNonRoot;
    } cases[] = {
        {"below a regular file", path("file") + "/journal",
         "Не удалось создать папку журнала " + path("file") + "/journal: " + fileio::errorText(ENOTDIR), false},
        {"a regular file", path("file"),
         "Не удалось создать папку журнала " + path("file") + ": " + fileio::errorText(ENOTDIR), false},
        {"no data folder", "", "Не удалось записать журнал: не найдена папка данных пользователя", false},
        {"read-only folder", path("ro"),
         "Не удалось записать файл журнала " + path("ro") + "/20240305-100000-00321-01.zje: " +
             fileio::errorText(EACCES),
         true},
    };
    std::filesystem::create_directory(path("ro"));
    std::filesystem::permissions(path("ro"), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.needsNonRoot && ::geteuid() == 0)
            continue; // permissions do not stop root; the cases above stand for it
        Journal journal(c.folder);
        Entry e = sampleEntry();
        EXPECT_EQ(errorOf([&] { journal.add(e); }), c.error);
        EXPECT_EQ(e.info.id, "");
    }
    std::filesystem::permissions(path("ro"), std::filesystem::perms::owner_all);
    EXPECT_TRUE(std::filesystem::is_empty(path("ro")));
}

TEST_F(JournalTest, AFolderNotMadeYetIsAnEmptyJournalAndAnUnreadableOneAnError)
{
    EXPECT_TRUE(Journal(journalDir()).list().entries.empty());
    EXPECT_TRUE(Journal(journalDir()).list().problems.empty());
    writeBytes(path("file"), {'x'});
    EXPECT_EQ(errorOf([&] { Journal(path("file")).list(); }),
              "Не удалось прочитать папку журнала " + path("file") + ": " + fileio::errorText(ENOTDIR));
}
