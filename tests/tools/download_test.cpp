#include "tests/common/archivebytes.h"
#include "tests/tools/tooltestsupport.h"
#include "tests/common/scopedlocale.h"

#include "table/dbftable.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace zent5 {
namespace {

using testing::ProgramRun;
using testing::SimulatorProcess;
using testing::ToolFolder;

const std::string kHeader = "N,DATE,TIME,SERIAL,P,P_KG,S,S_KG,F,D,TYPE,COMMENT,F_MM\n";
const std::string kNotFound =
    "Ошибка: Прибор не обнаружен! Проверте правильность подключения согласно инструкции!\n";

struct Row {
    double n;
    std::string date, time;
};

// A table written by the table component itself, with the given rows.
void writeTable(const std::string& folder, const std::string& name, const std::vector<Row>& rows)
{
    DbfTable table;
    table.setFilePath(folder);
    table.setTableName(name);
    table.CreateNew();
    table.Open();
    for (const Row& r : rows) {
        table.Append();
        table.SetFieldValue("N", r.n);
        table.SetFieldValue("DATE", r.date);
        table.SetFieldValue("TIME", r.time);
        table.SetFieldValue("SERIAL", 1234.0);
        table.Post();
    }
    table.Close();
}

// The rows' N, DATE and TIME, "N DATE TIME" per row.
std::vector<std::string> numbersAndMoments(const std::string& csv)
{
    std::vector<std::string> out;
    size_t at = csv.find('\n') + 1;
    while (at < csv.size()) {
        const size_t end = csv.find('\n', at);
        const std::string line = csv.substr(at, end - at);
        const size_t c1 = line.find(','), c2 = line.find(',', c1 + 1), c3 = line.find(',', c2 + 1);
        out.push_back(line.substr(0, c1) + " " + line.substr(c1 + 1, c2 - c1 - 1) + " " +
                      line.substr(c2 + 1, c3 - c2 - 1));
        at = end + 1;
    }
    return out;
}

class DownloadCommand : public ::testing::Test {
protected:
    ProgramRun download(const QStringList& args) const
    {
        return folder.tool(QStringList{"download"} + args);
    }
    QString table(const std::string& name = "t.db") const { return QString::fromStdString(folder.path(name)); }

    ToolFolder folder;
};

TEST_F(DownloadCommand, NewTableGetsEveryRecordWithEveryFieldDerived)
{
    SimulatorProcess sim(folder, 1,
                         {"--records", "3", "--force", "1234", "--force-step", "100", "--area", "283", "--diameters",
                          "1,9,14", "--serial", "4321", "--start", "2014-03-05 23:59:58", "--step", "1"});
    ASSERT_TRUE(sim.ok());
    const ProgramRun r = download({table()});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.err, ""); // a new table reports nothing when all went well
    EXPECT_EQ(folder.rows(folder.path("t.db")),
              kHeader + "1,05.03.2014,23:59:58,4321,12.34,1258,436,4446,28.3,4,проволока,,0.283\n"
                        "2,05.03.2014,23:59:59,4321,13.34,1360,471.4,4807,28.3,7.5,проволока,,0.283\n"
                        "3,06.03.2014,00:00:00,4321,14.34,1462,506.7,5167,28.3,9.6,проволока,,0.283\n");
    EXPECT_EQ(folder.files(), std::vector<std::string>{"t.db"});
}

TEST_F(DownloadCommand, FullArchiveArrivesAndIsDecodedWhole)
{
    // As many 11-byte records as the instrument's 65,536 bytes hold.
    const int count = (65536 - 4) / 11;
    ASSERT_EQ(count, 5957);
    SimulatorProcess sim(folder, 1, {"--records", QString::number(count), "--record-size", "11", "--step", "60"});
    ASSERT_TRUE(sim.ok());
    const ProgramRun r = download({table()});
    ASSERT_EQ(r.code, 0) << r.err;
    const std::vector<std::string> rows = numbersAndMoments(folder.rows(folder.path("t.db")));
    ASSERT_EQ(rows.size(), size_t(count));
    EXPECT_EQ(rows.front(), "1 05.03.2014 09:00:00");
    EXPECT_EQ(rows[1], "2 05.03.2014 09:01:00");
    // 5956 minutes after the first: 4 days, 3 hours and 16 minutes.
    EXPECT_EQ(rows.back(), "5957 09.03.2014 12:16:00");
}

TEST_F(DownloadCommand, BytesPastTheEleventhOfARecordAreIgnored)
{
    const std::string expected =
        kHeader + "1,07.03.2014,08:05:09,1234,50,5099,500,5099,100,6,проволока,,1\n"
                  "2,31.12.2015,23:59:59,1234,0.01,1,0.1,1,100,16,проволока,,1\n";
    for (const unsigned size : {11u, 16u, 40u}) {
        SCOPED_TRACE(size);
        ToolFolder own;
        const std::string image = own.path("archive.bin");
        testing::writeFile(image, testing::archiveBytes({{9, 5, 8, 7, 3, 14, 5000, 1000, 3}, {59, 59, 23, 31, 12, 15, 1, 1000, 13}},
                                            size));
        SimulatorProcess sim(own, 1, {"--image", QString::fromStdString(image)});
        ASSERT_TRUE(sim.ok());
        const ProgramRun r = own.tool({"download", QString::fromStdString(own.path("t.db"))});
        ASSERT_EQ(r.code, 0) << r.err;
        EXPECT_EQ(own.rows(own.path("t.db")), expected);
    }
}

TEST_F(DownloadCommand, EmptyArchiveGivesAnEmptyTable)
{
    SimulatorProcess sim(folder, 1, {"--records", "0"});
    ASSERT_TRUE(sim.ok());
    const ProgramRun r = download({table()});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.err, "Ошибка: Архив пуст !\n");
    EXPECT_EQ(folder.rows(folder.path("t.db")), kHeader);
}

TEST_F(DownloadCommand, AppendSkipsRecordsNotNewerThanTheLastRowAndNumbersOnFromThem)
{
    writeTable(folder.path(""), "t.db", {{1, "05.03.2014", "09:00:00"}, {2, "05.03.2014", "10:00:00"}});
    const std::string image = folder.path("archive.bin");
    // Equal to the last row counts as old; everything from the first newer
    // record on is appended, an older one after it too.
    testing::writeFile(image, testing::archiveBytes({{0, 0, 9, 5, 3, 14, 100, 1000, 1},
                                         {0, 0, 10, 5, 3, 14, 200, 1000, 1},
                                         {1, 0, 10, 5, 3, 14, 300, 1000, 1},
                                         {59, 59, 23, 4, 3, 14, 400, 1000, 1}}));
    SimulatorProcess sim(folder, 1, {"--image", QString::fromStdString(image), "--serial", "77"});
    ASSERT_TRUE(sim.ok());
    const ProgramRun r = download({"--append", table()});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.err, "Дополнение: Добавлено записей: 2\n");
    const std::string rows = folder.rows(folder.path("t.db"));
    EXPECT_EQ(numbersAndMoments(rows),
              (std::vector<std::string>{"1 05.03.2014 09:00:00", "2 05.03.2014 10:00:00", "3 05.03.2014 10:00:01",
                                        "4 04.03.2014 23:59:59"}));
    EXPECT_NE(rows.find("3,05.03.2014,10:00:01,77,3,306,30,306,100,4,проволока,,1\n"), std::string::npos) << rows;
}

TEST_F(DownloadCommand, AppendTwiceFromTheSameInstrumentAddsNothingTheSecondTime)
{
    SimulatorProcess sim(folder, 1, {"--records", "4"});
    ASSERT_TRUE(sim.ok());
    ASSERT_EQ(download({table()}).code, 0);
    const std::string before = folder.rows(folder.path("t.db"));
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        const ProgramRun r = download({"--append", table()});
        EXPECT_EQ(r.code, 0) << r.err;
        EXPECT_EQ(r.err, "Дополнение: Добавлено записей: 0\n");
        EXPECT_EQ(folder.rows(folder.path("t.db")), before);
    }
    EXPECT_EQ(folder.files(), std::vector<std::string>{"t.db"});
}

TEST_F(DownloadCommand, AppendToATableWithoutRowsAddsEveryRecordFromOne)
{
    writeTable(folder.path(""), "t.db", {});
    // A left-over index file beside the table plays no part.
    testing::writeFile(folder.path("t.mdx"), "not an index");
    SimulatorProcess sim(folder, 1, {"--records", "3"});
    ASSERT_TRUE(sim.ok());
    const ProgramRun r = download({"--append", table()});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.err, "Дополнение: Добавлено записей: 3\n");
    EXPECT_EQ(numbersAndMoments(folder.rows(folder.path("t.db"))),
              (std::vector<std::string>{"1 05.03.2014 09:00:00", "2 05.03.2014 10:00:00", "3 05.03.2014 11:00:00"}));
    EXPECT_EQ(testing::readFile(folder.path("t.mdx")), "not an index");
}

TEST_F(DownloadCommand, AppendAfterALastRowThatIsNoRealMomentChangesNothing)
{
    const struct {
        std::string date;
        std::string quoted; // as the message shows it: whole, control bytes written out
    } cases[] = {
        {"31.02.2014", "31.02.2014"},
        {std::string("05.03\0" "2014", 10), "05.03\\x002014"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.quoted);
        ToolFolder own;
        writeTable(own.path(""), "t.db", {{1, "05.03.2014", "09:00:00"}, {2, c.date, "10:00:00"}});
        const std::string before = testing::readFile(own.path("t.db"));
        SimulatorProcess sim(own, 1, {"--records", "3"});
        ASSERT_TRUE(sim.ok());
        const ProgramRun r = own.tool({"download", "--append", QString::fromStdString(own.path("t.db"))});
        EXPECT_EQ(r.code, 1);
        EXPECT_EQ(r.err, "ЗЕНТ-5: '" + c.quoted + " 10:00:00' is not a valid date and time.\n");
        EXPECT_EQ(testing::readFile(own.path("t.db")), before);
        EXPECT_EQ(own.files(), std::vector<std::string>{"t.db"});
    }
}

TEST_F(DownloadCommand, AppendNeedsATableThatOpens)
{
    // Found out before the instrument is asked: no simulator is running.
    const ProgramRun missing = download({"--append", table("none.db")});
    EXPECT_EQ(missing.code, 1);
    EXPECT_EQ(missing.err, "ЗЕНТ-5: Open: file not found: \"" + folder.path("none.db") + "\".\n");

    testing::writeFile(folder.path("bad.db"), "this is no table");
    const ProgramRun bad = download({"--append", table("bad.db")});
    EXPECT_EQ(bad.code, 1);
    EXPECT_EQ(bad.err, "ЗЕНТ-5: Invalid DBF file.\n");
    EXPECT_EQ(testing::readFile(folder.path("bad.db")), "this is no table");
}

TEST_F(DownloadCommand, TableAnotherProgramHasOpenIsLeftAlone)
{
    writeTable(folder.path(""), "t.db", {{1, "05.03.2014", "09:00:00"}});
    const std::string before = testing::readFile(folder.path("t.db"));
    DbfTable held;
    held.setFilePath(folder.path(""));
    held.setTableName("t.db");
    held.Open();
    // Refused before the instrument is asked: no simulator is running.
    for (const QStringList& args : {QStringList{table()}, QStringList{"--append", table()}}) {
        SCOPED_TRACE(args.join(' ').toStdString());
        const ProgramRun r = download(args);
        EXPECT_EQ(r.code, 1);
        EXPECT_EQ(r.err.rfind("ЗЕНТ-5: Cannot open file \"" + folder.path("t.db") + "\". ", 0), 0u) << r.err;
    }
    held.Close();
    EXPECT_EQ(testing::readFile(folder.path("t.db")), before);
    EXPECT_EQ(folder.files(), std::vector<std::string>{"t.db"});
}

TEST_F(DownloadCommand, NewTableReplacesAnExistingFileOnlyAfterSuccess)
{
    writeTable(folder.path(""), "t.db", {{1, "01.01.2013", "12:00:00"}, {2, "02.01.2013", "12:00:00"}});
    const std::string before = testing::readFile(folder.path("t.db"));

    // No instrument anywhere: the search finds nothing.
    const ProgramRun none = download({table()});
    EXPECT_EQ(none.code, 1);
    EXPECT_EQ(none.err, kNotFound);
    EXPECT_EQ(testing::readFile(folder.path("t.db")), before);

    // An archive that does not hold what its header says: decoding fails.
    const std::string image = folder.path("archive.bin");
    testing::writeFile(image, testing::archiveBytes({{0, 0, 9, 5, 3, 14, 100, 1000, 1}}).substr(0, 10));
    {
        SimulatorProcess sim(folder, 1, {"--image", QString::fromStdString(image)});
        ASSERT_TRUE(sim.ok());
        const ProgramRun damaged = download({table()});
        EXPECT_EQ(damaged.code, 1);
        EXPECT_EQ(damaged.err.rfind("ЗЕНТ-5: Архив поврежден", 0), 0u) << damaged.err;
        EXPECT_EQ(testing::readFile(folder.path("t.db")), before);
        EXPECT_EQ(folder.files(), (std::vector<std::string>{"archive.bin", "t.db"}));
    }

    SimulatorProcess sim(folder, 1, {"--records", "1"});
    ASSERT_TRUE(sim.ok());
    const ProgramRun replaced = download({table()});
    EXPECT_EQ(replaced.code, 0) << replaced.err;
    EXPECT_EQ(numbersAndMoments(folder.rows(folder.path("t.db"))),
              std::vector<std::string>{"1 05.03.2014 09:00:00"});
    EXPECT_EQ(folder.files(), (std::vector<std::string>{"archive.bin", "t.db"}));
}

TEST_F(DownloadCommand, WrongInstrumentIsRefused)
{
    for (const QStringList& id : {QStringList{"--model", "23"}, QStringList{"--model", "26"}, QStringList{"--kind", "2"}}) {
        SCOPED_TRACE(id.join(' ').toStdString());
        ToolFolder own;
        SimulatorProcess sim(own, 1, id);
        ASSERT_TRUE(sim.ok());
        const ProgramRun r = own.tool({"download", QString::fromStdString(own.path("t.db"))});
        EXPECT_EQ(r.code, 1);
        EXPECT_EQ(r.err, "Ошибка: Вы подключили не тот прибор !\n");
        EXPECT_TRUE(own.files().empty());
    }
}

// The time-out is given and told back the same way under every locale.
TEST_F(DownloadCommand, InstrumentThatStopsSendingEndsAfterTheTimeout)
{
    for (const char* locale : testing::kTestLocales) {
        SCOPED_TRACE(locale);
        ToolFolder own;
        SimulatorProcess sim(own, 1, {"--silent"});
        ASSERT_TRUE(sim.ok());
        const ProgramRun r =
            own.tool({"download", "--timeout", "1.5", QString::fromStdString(own.path("t.db"))}, locale);
        EXPECT_EQ(r.code, 1);
        EXPECT_EQ(r.err, "zent5-tool: the instrument did not answer within 1.5 s\n");
        EXPECT_TRUE(own.files().empty());
    }
}

// A pulled cable ends the download at once, with the window's words, long
// before the time-out would; a table of that name stays as it was.
TEST_F(DownloadCommand, LostLineEndsTheDownloadAtOnceAndKeepsTheTable)
{
    const QStringList cases[] = {
        {"--records", "2000", "--hangup-after", "100"},
        {"--records", "2000", "--hangup-after", "0"},
        {"--records", "2000", "--chunk", "500", "--chunk-delay", "20", "--hangup-after", "3000"},
    };
    for (const QStringList& simulator : cases) {
        SCOPED_TRACE(simulator.join(' ').toStdString());
        ToolFolder own;
        writeTable(own.path(""), "t.db", {{1, "01.01.2013", "12:00:00"}, {2, "02.01.2013", "12:00:00"}});
        const std::string before = testing::readFile(own.path("t.db"));
        SimulatorProcess sim(own, 1, simulator);
        ASSERT_TRUE(sim.ok());
        const ProgramRun r = own.tool({"download", "--timeout", "600", QString::fromStdString(own.path("t.db"))});
        EXPECT_EQ(r.code, 1);
        EXPECT_EQ(r.err, "zent5-tool: Связь с прибором потеряна !\n");
        EXPECT_TRUE(testing::readFile(own.path("t.db")) == before) << "the table changed";
        EXPECT_EQ(own.files(), std::vector<std::string>{"t.db"});
    }
}

// The disk fills while the new table is written: the old table stays byte
// for byte, and nothing is left beside it.
TEST_F(DownloadCommand, NewTableOnAFullDiskKeepsTheOldTable)
{
    std::vector<Row> rows;
    for (int n = 1; n <= 200; ++n)
        rows.push_back({double(n), "01.01.2013", "12:00:00"});
    writeTable(folder.path(""), "t.db", rows);
    const std::string before = testing::readFile(folder.path("t.db"));
    SimulatorProcess sim(folder, 1, {"--records", "2000"});
    ASSERT_TRUE(sim.ok());
    // No file of this process may grow past some 100 KiB; 2000 rows need 580.
    const ProgramRun r = folder.run("/bin/sh", {"-c", "trap '' XFSZ; ulimit -f 200; exec \"$0\" \"$@\"",
                                                testing::kToolProgram, "download", table()});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "ЗЕНТ-5: Error while writing occurred. (Disk full?)\n");
    EXPECT_TRUE(testing::readFile(folder.path("t.db")) == before) << "the table changed";
    EXPECT_EQ(folder.files(), std::vector<std::string>{"t.db"});
}

TEST_F(DownloadCommand, PortOptionUsesThatDeviceOnly)
{
    {
        // A device that is in no ports folder at all.
        SimulatorProcess sim(folder, 0, {"--records", "2"});
        ASSERT_TRUE(sim.ok());
        const ProgramRun r = download({"--port", QString::fromStdString(sim.device()), table("a.db")});
        EXPECT_EQ(r.code, 0) << r.err;
        EXPECT_EQ(numbersAndMoments(folder.rows(folder.path("a.db"))).size(), 2u);
    }
    {
        // A COM name, as the user's ports folder maps it.
        SimulatorProcess sim(folder, 5, {"--records", "1"});
        ASSERT_TRUE(sim.ok());
        const ProgramRun r = download({"--port", "COM5", table("b.db")});
        EXPECT_EQ(r.code, 0) << r.err;
        EXPECT_EQ(numbersAndMoments(folder.rows(folder.path("b.db"))).size(), 1u);
    }
    // The instrument on COM1 is not looked for when another device is named.
    SimulatorProcess sim(folder, 1, {"--records", "1"});
    ASSERT_TRUE(sim.ok());
    const ProgramRun r = download({"--port", QString::fromStdString(folder.path("no-such-device")), table("c.db")});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, kNotFound);
    EXPECT_EQ(folder.files(), (std::vector<std::string>{"a.db", "b.db"}));
}

TEST_F(DownloadCommand, UsageErrors)
{
    const QStringList cases[] = {
        {},
        {"a.db", "b.db"},
        {"--append"},
        {"--bogus", "t.db"},
        {"--port"},
        {"--port", "", "t.db"},
        {"--timeout", "t.db"},
        {"--timeout", "0", "t.db"},
        {"--timeout", "-1", "t.db"},
        {"--timeout", "ten", "t.db"},
        {"--timeout=", "t.db"},
        {"--append=yes", "t.db"},
        {"--no-journal=yes", "t.db"},
        {"folder/"},
    };
    for (const QStringList& args : cases) {
        SCOPED_TRACE(args.join(' ').toStdString());
        const ProgramRun r = download(args);
        EXPECT_EQ(r.code, 2);
        EXPECT_EQ(r.err.rfind("zent5-tool download: ", 0), 0u) << r.err;
        EXPECT_NE(r.err.find("usage: zent5-tool download [--port DEVICE] [--append] [--timeout SECONDS] [--no-journal] "
                             "TABLE.db\n"),
                  std::string::npos);
    }
    EXPECT_TRUE(folder.files().empty());

    const ProgramRun help = download({"--help"});
    EXPECT_EQ(help.code, 0);
    EXPECT_EQ(help.out.rfind("usage: zent5-tool download ", 0), 0u) << help.out;
}

TEST_F(DownloadCommand, NewTableInAFolderThatTakesNoFileFailsBeforeTheDownload)
{
    const ProgramRun r = download({table("missing/t.db")});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err.rfind("ЗЕНТ-5: Cannot create file \"" + folder.path("missing/t.db") + "\". ", 0), 0u) << r.err;
}

} // namespace
} // namespace zent5
