#include "tablefixture.h"

#include "common/capturedrun.h"
#include "tools/commands.h"

#include <cstdio>
#include <unistd.h>

using namespace zent5;
using zent5::testing::TableFolder;

namespace {

using zent5::testing::ToolRun;

// Runs `zent5-tool rows` in this process with stdout and stderr caught.
ToolRun runRows(const std::vector<std::string>& args, const std::string& folder)
{
    return zent5::testing::runCaptured([&] { return tool::runRows(args); }, folder);
}

} // namespace

class RowsCommand : public TableFolder {};

TEST_F(RowsCommand, PrintsATableAnotherProgramWrote)
{
    // Code page 866, a deleted row, a stale count, no end-of-file byte; see
    // make_other_writer.py beside the file.
    const std::string fixture = std::string(ZENT5_TEST_DATA_DIR) + "/table/other_writer.dbf";
    const std::string copy = path("other.dbf");
    writeFile(copy, readFile(fixture));
    const ToolRun r = runRows({copy}, folder());
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "N,DATE,TIME,SERIAL,P,P_KG,S,S_KG,F,D,TYPE,COMMENT,F_MM\n"
                     "1,07.03.2014,09:05:07,4242,12.34,1258,436,4446,28.3,5,проволока,\"первый, \"\"тест\"\"\",0.283\n"
                     "3,08.03.2014,10:00:00,4242,-1.5,,0,0,0,7.5,канат,,0.001\n");
    EXPECT_EQ(readFile(copy), readFile(fixture)) << "printing leaves the file untouched";
}

TEST_F(RowsCommand, OurOwnTable)
{
    DbfTable t;
    createOpen(t);
    appendRow(t, 1, 0.01, "ёж");
    appendRow(t, 2, 50);
    t.Close();
    const ToolRun r = runRows({path("t.db")}, folder());
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "N,DATE,TIME,SERIAL,P,P_KG,S,S_KG,F,D,TYPE,COMMENT,F_MM\n"
                     "1,,,,0.01,,,,,,,ёж,\n"
                     "2,,,,50,,,,,,,,\n");
}

TEST_F(RowsCommand, ErrorsAndUsage)
{
    ToolRun r = runRows({path("none.db")}, folder());
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "Open: file not found: \"" + path("none.db") + "\".\n");
    EXPECT_EQ(r.out, "");

    writeFile(path("bad.db"), std::string(40, '\x07'));
    r = runRows({path("bad.db")}, folder());
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "Invalid DBF file.\n");

    // A table the program holds open cannot be read meanwhile.
    DbfTable t;
    createOpen(t);
    r = runRows({path("t.db")}, folder());
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("Cannot open file"), std::string::npos);
    t.Close();

    EXPECT_EQ(runRows({}, folder()).code, 2);
    EXPECT_EQ(runRows({"a.db", "b.db"}, folder()).code, 2);
}
