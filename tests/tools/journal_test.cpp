// The journal of downloads from the command line: every download the tool
// makes is kept, and the tables made of an entry are the ones the download
// made, without becoming downloads of their own.
#include "tests/common/archivebytes.h"
#include "tests/tools/tooltestsupport.h"

#include "journal/datafolder.h"
#include "journal/moment.h"
#include "journal/verificationdates.h"
#include "table/dbftable.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace zent5 {
namespace {

using testing::ProgramRun;
using testing::SimulatorProcess;
using testing::ToolFolder;

const std::string kJournalHeading =
    "id,time_local,time_utc,serial,kind,model,version,records,image_bytes,port,action,table,rows_added,verification";
const std::string kInstrumentsHeading =
    "serial,model,kind,version,first_download,last_download,downloads,verification_due,verification_passed";
const std::string kUnknownId = "20240305-100000-00321-01";

// Records of 16 bytes, as some instruments keep them.
const std::vector<testing::ArchiveTest> kFourTests = {{0, 0, 9, 5, 3, 14, 1000, 503, 1},
                                                      {0, 0, 10, 5, 3, 14, 2000, 503, 1},
                                                      {0, 0, 11, 5, 3, 14, 3000, 503, 1},
                                                      {0, 0, 12, 5, 3, 14, 4000, 503, 1}};
std::string archiveOf(const std::vector<testing::ArchiveTest>& tests) { return testing::archiveBytes(tests, 16); }

std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> out;
    size_t at = 0;
    while (at < text.size()) {
        const size_t end = text.find('\n', at);
        out.push_back(text.substr(at, end - at));
        at = end == std::string::npos ? text.size() : end + 1;
    }
    return out;
}

// The fields of a CSV line without quoted fields.
std::vector<std::string> fields(const std::string& line)
{
    std::vector<std::string> out;
    size_t at = 0;
    for (;;) {
        const size_t comma = line.find(',', at);
        out.push_back(line.substr(at, comma - at));
        if (comma == std::string::npos)
            return out;
        at = comma + 1;
    }
}

// A table's bytes but for the day of its last change (header bytes 1 to 3).
std::string withoutDate(std::string bytes)
{
    if (bytes.size() > 3)
        bytes.replace(1, 3, "\0\0\0", 3);
    return bytes;
}

class JournalCommands : public ::testing::Test {
protected:
    // Downloads the image through the simulator on COM1 into the table.
    ProgramRun downloadImage(const std::string& image, const QStringList& options, const std::string& table,
                             const QStringList& simulator = {"--serial", "4321"})
    {
        const std::string file = folder.path("archive.bin");
        testing::writeFile(file, image);
        SimulatorProcess sim(folder, 1, QStringList{"--image", QString::fromStdString(file)} + simulator);
        EXPECT_TRUE(sim.ok());
        ProgramRun r = folder.tool(QStringList{"download"} + options + QStringList{QString::fromStdString(table)});
        std::filesystem::remove(file);
        return r;
    }
    ProgramRun tool(const QStringList& args) const { return folder.tool(args); }
    // The lines of "journal list" after its heading.
    std::vector<std::string> entries() const
    {
        const ProgramRun r = tool({"journal", "list"});
        EXPECT_EQ(r.code, 0) << r.err;
        std::vector<std::string> out = lines(r.out);
        EXPECT_FALSE(out.empty());
        if (!out.empty()) {
            EXPECT_EQ(out.front(), kJournalHeading);
            out.erase(out.begin());
        }
        return out;
    }
    std::string id(size_t newest = 0) const
    {
        const std::vector<std::string> e = entries();
        return newest < e.size() ? fields(e[newest])[0] : std::string();
    }
    QString q(const std::string& text) const { return QString::fromStdString(text); }

    ToolFolder folder;
};

TEST_F(JournalCommands, DownloadIsKeptAndItsEntryMakesTheSameTableAgain)
{
    const std::string image = archiveOf(kFourTests);
    const ProgramRun r = downloadImage(image, {}, folder.path("t.db"));
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.err, "");

    const std::vector<std::string> listed = entries();
    ASSERT_EQ(listed.size(), 1u);
    const std::vector<std::string> f = fields(listed[0]);
    ASSERT_EQ(f.size(), 14u) << listed[0];
    const std::string id = f[0];
    EXPECT_EQ(id.substr(15), "-04321-01");
    EXPECT_EQ(std::vector<std::string>(f.begin() + 3, f.end()),
              (std::vector<std::string>{"4321", "1", "24", "10.10.14", "4", std::to_string(image.size()),
                                        "\\\\.\\COM1", "new", folder.path("t.db"), "4", "none"}));

    // The archive exactly as received.
    ProgramRun dumped = tool({"journal", "image", q(id), q(folder.path("a.bin"))});
    EXPECT_EQ(dumped.code, 0) << dumped.err;
    EXPECT_TRUE(testing::readFile(folder.path("a.bin")) == image);

    // The table "Создать" made, but for the day it was made on.
    const ProgramRun created = tool({"journal", "create", q(id), q(folder.path("u.db"))});
    EXPECT_EQ(created.code, 0) << created.err;
    EXPECT_EQ(created.err, "");
    EXPECT_TRUE(withoutDate(testing::readFile(folder.path("u.db"))) == withoutDate(testing::readFile(folder.path("t.db"))));
    // Over an existing table too; neither is a download.
    ASSERT_EQ(tool({"journal", "create", q(id), q(folder.path("u.db"))}).code, 0);
    EXPECT_EQ(folder.rows(folder.path("u.db")), folder.rows(folder.path("t.db")));
    EXPECT_EQ(entries(), listed);
    EXPECT_EQ(folder.files(), (std::vector<std::string>{"a.bin", "t.db", "u.db"}));
}

TEST_F(JournalCommands, AppendFromAnEntryAddsOnlyTestsNewerThanTheLastRow)
{
    ASSERT_EQ(downloadImage(archiveOf(kFourTests), {}, folder.path("all.db")).code, 0);
    ASSERT_EQ(downloadImage(archiveOf({kFourTests[0], kFourTests[1]}), {}, folder.path("t.db")).code, 0);
    const std::string fullDownload = id(1);

    const ProgramRun r = tool({"journal", "append", q(fullDownload), q(folder.path("t.db"))});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.err, "Дополнение: Добавлено записей: 2\n");
    EXPECT_EQ(folder.rows(folder.path("t.db")), folder.rows(folder.path("all.db")));
    EXPECT_EQ(entries().size(), 2u);

    // "download --append" is kept as what it did.
    ASSERT_EQ(downloadImage(archiveOf(kFourTests), {"--append"}, folder.path("t.db")).code, 0);
    const std::vector<std::string> f = fields(entries()[0]);
    EXPECT_EQ(f[10] + " " + f[11] + " " + f[12], "append " + folder.path("t.db") + " 0");
}

TEST_F(JournalCommands, UnknownIdChangesNothing)
{
    ASSERT_EQ(downloadImage(archiveOf(kFourTests), {}, folder.path("t.db")).code, 0);
    const std::string before = testing::readFile(folder.path("t.db"));
    for (const std::string& unknown : {kUnknownId, std::string("bogus")}) {
        for (const char* command : {"create", "append", "image"}) {
            SCOPED_TRACE(std::string(command) + " " + unknown);
            for (const char* file : {"t.db", "new.db"}) {
                const ProgramRun r = tool({"journal", command, q(unknown), q(folder.path(file))});
                EXPECT_EQ(r.code, 1);
                EXPECT_EQ(r.err, "В журнале нет записи " + unknown + "\n");
                EXPECT_EQ(r.out, "");
            }
        }
    }
    EXPECT_TRUE(testing::readFile(folder.path("t.db")) == before);
    EXPECT_EQ(folder.files(), std::vector<std::string>{"t.db"});
    EXPECT_EQ(entries().size(), 1u);
}

// The user's data folder lies under a plain file, so no journal can be
// made there (whoever runs the tests, root too).
TEST_F(JournalCommands, JournalThatCannotBeWrittenStillGivesTheTable)
{
    testing::writeFile(folder.path("plain"), "a file");
    folder.setDataHome(folder.path("plain/data"));
    for (const bool append : {false, true}) {
        SCOPED_TRACE(append ? "append" : "new");
        const ProgramRun r =
            downloadImage(archiveOf(kFourTests), append ? QStringList{"--append"} : QStringList{}, folder.path("t.db"));
        EXPECT_EQ(r.code, 0);
        const std::string warning = "ЗЕНТ-5: Загрузка не записана в журнал. Не удалось создать папку журнала " +
                                    folder.path("plain/data/Korvelin/ZT/journal") + ": ";
        const std::string added = append ? "Дополнение: Добавлено записей: 0\n" : "";
        EXPECT_EQ(r.err.substr(0, added.size() + warning.size()), added + warning) << r.err;
        EXPECT_EQ(lines(r.err).size(), append ? 2u : 1u) << r.err;
        EXPECT_EQ(lines(folder.rows(folder.path("t.db"))).size(), 5u);
    }
    const ProgramRun list = tool({"journal", "list"});
    EXPECT_EQ(list.code, 1);
    EXPECT_EQ(list.err.rfind("Не удалось прочитать папку журнала " + folder.path("plain/data/Korvelin/ZT/journal") + ": ", 0),
              0u)
        << list.err;
    EXPECT_EQ(folder.files(), (std::vector<std::string>{"plain", "t.db"}));
}

TEST_F(JournalCommands, NoJournalOptionKeepsNoEntry)
{
    for (const QStringList& options : {QStringList{"--no-journal"}, QStringList{"--append", "--no-journal"}}) {
        SCOPED_TRACE(options.join(' ').toStdString());
        const ProgramRun r = downloadImage(archiveOf(kFourTests), options, folder.path("t.db"));
        EXPECT_EQ(r.code, 0) << r.err;
        EXPECT_TRUE(entries().empty());
    }
    EXPECT_EQ(lines(folder.rows(folder.path("t.db"))).size(), 5u);
    EXPECT_FALSE(std::filesystem::exists(folder.journalFolder()));
}

TEST_F(JournalCommands, DamagedFileIsToldAndTheOthersListed)
{
    ASSERT_EQ(downloadImage(archiveOf(kFourTests), {}, folder.path("t.db")).code, 0);
    const std::string damaged = folder.journalFolder() + "/" + kUnknownId + ".zje";
    testing::writeFile(damaged, "not an entry");
    testing::writeFile(folder.journalFolder() + "/notes.txt", "mine");
    for (const char* command : {"journal", "instruments"}) {
        SCOPED_TRACE(command);
        const ProgramRun r = tool(std::string(command) == "journal" ? QStringList{"journal", "list"}
                                                                     : QStringList{"instruments"});
        EXPECT_EQ(r.code, 0);
        EXPECT_EQ(lines(r.out).size(), 2u) << r.out;
        const std::vector<std::string> told = lines(r.err);
        ASSERT_EQ(told.size(), 2u) << r.err;
        EXPECT_EQ(told[0].rfind(damaged + ": ", 0), 0u) << told[0];
        EXPECT_EQ(told[1], folder.journalFolder() + "/notes.txt: Не запись журнала: имя файла не по образцу");
    }
}

// The verification as the instruments file has it on the day of the
// download: kept in the entry, and shown by the register.
TEST_F(JournalCommands, VerificationIsKeptAndTheRegisterShowsTheDueDate)
{
    using namespace std::chrono;
    const journal::Day today = journal::localDay(journal::now());
    const journal::Day yesterday{sys_days(today) - days(1)};
    journal::VerificationDates dates;
    dates.setDueDate({24, 4321}, yesterday);
    dates.setDueDate({24, 77}, today);
    journal::saveVerificationDates(folder.dataHome() + "/Korvelin/ZT/instruments.dat", dates);

    ASSERT_EQ(downloadImage(archiveOf(kFourTests), {}, folder.path("a.db")).code, 0);
    ASSERT_EQ(downloadImage(archiveOf(kFourTests), {}, folder.path("b.db"), {"--serial", "77"}).code, 0);
    ASSERT_EQ(downloadImage(archiveOf(kFourTests), {}, folder.path("c.db"), {"--serial", "5"}).code, 0);
    ASSERT_EQ(downloadImage(archiveOf(kFourTests), {"--append"}, folder.path("a.db")).code, 0);
    std::vector<std::string> kept;
    for (const std::string& line : entries())
        kept.push_back(fields(line)[3] + " " + fields(line)[13]);
    // Downloads within one second list in the order of their serial numbers.
    std::sort(kept.begin(), kept.end());
    EXPECT_EQ(kept, (std::vector<std::string>{"4321 overdue", "4321 overdue", "5 none", "77 in-date"}));

    const ProgramRun r = tool({"instruments"});
    EXPECT_EQ(r.code, 0) << r.err;
    const std::vector<std::string> register_ = lines(r.out);
    ASSERT_EQ(register_.size(), 4u) << r.out;
    EXPECT_EQ(register_[0], kInstrumentsHeading);
    std::vector<std::string> shown;
    for (size_t i = 1; i < register_.size(); ++i) {
        const std::vector<std::string> f = fields(register_[i]);
        shown.push_back(f[0] + " " + f[6] + " " + f[7] + " " + f[8]);
    }
    EXPECT_EQ(shown, (std::vector<std::string>{"5 1  ", "77 1 " + journal::dayText(today) + " no",
                                               "4321 2 " + journal::dayText(yesterday) + " yes"}));
}

TEST_F(JournalCommands, UsageErrors)
{
    const struct {
        QStringList args;
        std::string first; // the first line on the error stream
    } cases[] = {
        {{"journal"}, "zent5-tool journal: no journal command given"},
        {{"journal", "show"}, "zent5-tool journal: unknown journal command show"},
        {{"journal", "list", "more"}, "zent5-tool journal: list takes no arguments"},
        {{"journal", "create", "ID"}, "zent5-tool journal: create needs an entry id and a file"},
        {{"journal", "image", "ID", "a.bin", "b.bin"}, "zent5-tool journal: image needs an entry id and a file"},
        {{"journal", "--journal", "dir", "list"}, "zent5-tool journal: unknown option --journal"},
        {{"instruments", "all"}, "zent5-tool instruments: takes no arguments"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const ProgramRun r = tool(c.args);
        EXPECT_EQ(r.code, 2);
        EXPECT_EQ(lines(r.err).at(0), c.first);
        EXPECT_NE(r.err.find("usage: zent5-tool "), std::string::npos);
    }
    EXPECT_TRUE(folder.files().empty());
}

} // namespace
} // namespace zent5
