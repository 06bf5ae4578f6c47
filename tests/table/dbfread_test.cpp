#include "tablefixture.h"

#include <array>
#include <cstdio>
#include <memory>

using namespace zent5;
using zent5::testing::TableFolder;

namespace {

// The Python that has dbfread, or an empty string.
std::string pythonWithDbfread()
{
    for (const char* python : {"/usr/bin/python3", "python3"}) {
        const std::string cmd = std::string(python) + " -c 'import dbfread' >/dev/null 2>&1";
        if (std::system(cmd.c_str()) == 0)
            return python;
    }
    return {};
}

std::string capture(const std::string& cmd)
{
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(cmd.c_str(), "r"), pclose);
    std::string out;
    std::array<char, 4096> buf;
    size_t n;
    while (pipe && (n = std::fread(buf.data(), 1, buf.size(), pipe.get())) > 0)
        out.append(buf.data(), n);
    return out;
}

} // namespace

class IndependentReader : public TableFolder {};

// dbfread, an independent reader, finds in our file what we wrote.
TEST_F(IndependentReader, DbfreadReadsOurTable)
{
    const std::string python = pythonWithDbfread();
    if (python.empty())
        GTEST_SKIP() << "python3 with dbfread is not installed";

    DbfTable t;
    createOpen(t);
    t.Append();
    t.SetFieldValue("N", 1.0);
    t.SetFieldValue("DATE", std::string("07.03.2014"));
    t.SetFieldValue("TIME", std::string("09:05:07"));
    t.SetFieldValue("SERIAL", 4242.0);
    t.SetFieldValue("P", 12.34);
    t.SetFieldValue("P_KG", 1258.0);
    t.SetFieldValue("S", 436.0);
    t.SetFieldValue("S_KG", 4446.0);
    t.SetFieldValue("F", 28.3);
    t.SetFieldValue("D", 7.5);
    t.SetFieldValue("TYPE", std::string("проволока"));
    t.SetFieldValue("COMMENT", std::string("Образец №1"));
    t.SetFieldValue("F_MM", 0.283);
    t.Post();
    appendRow(t, 2, -1.5, "удалить");
    appendRow(t, 3, 0.01);
    t.GoTo(2);
    t.Delete();
    t.Close();

    const std::string script =
        "import sys, dbfread\n"
        "t = dbfread.DBF(sys.argv[1], encoding='cp1251', char_decode_errors='strict')\n"
        "print(t.header.numrecords, t.header.language_driver)\n"
        "for r in t:\n"
        "    print('|'.join('' if v is None else repr(v) for v in r.values()))\n"
        "print(','.join(t.field_names))\n";
    writeFile(path("read.py"), script);
    const std::string out = capture(python + " " + path("read.py") + " " + path("t.db"));
    EXPECT_EQ(out, "3 201\n"
                   "1.0|'07.03.2014'|'09:05:07'|4242.0|12.34|1258.0|436.0|4446.0|28.3|7.5|'проволока'|'Образец №1'|0.283\n"
                   "3.0|''|''||0.01||||||''|''|\n"
                   "N,DATE,TIME,SERIAL,P,P_KG,S,S_KG,F,D,TYPE,COMMENT,F_MM\n");
}
