#include "common/capturedrun.h"
#include "common/scriptedprompter.h"
#include "table/tablefixture.h"

#include "records/archivedecoding.h"
#include "tools/sim/archivegenerator.h"

#include <gtest/gtest.h>

#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

using namespace zent5;
using zent5::testing::TableFolder;

namespace {

std::string capture(const std::string& command, int* status)
{
    std::FILE* pipe = popen(command.c_str(), "r");
    std::string out;
    std::array<char, 4096> buf;
    size_t n;
    while (pipe && (n = std::fread(buf.data(), 1, buf.size(), pipe)) > 0)
        out.append(buf.data(), n);
    *status = pipe ? pclose(pipe) : -1;
    return out;
}

std::string quoted(const std::string& s) { return "'" + s + "'"; }

double number(const std::string& text)
{
    double v = 0;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), v);
    EXPECT_TRUE(r.ec == std::errc() && r.ptr == text.data() + text.size()) << text;
    return v;
}

std::vector<std::vector<std::string>> csvLines(const std::string& csv)
{
    std::vector<std::vector<std::string>> lines;
    std::istringstream in(csv);
    std::string line;
    while (std::getline(in, line)) {
        std::vector<std::string> fields;
        size_t at = 0;
        for (size_t comma; (comma = line.find(',', at)) != std::string::npos; at = comma + 1)
            fields.push_back(line.substr(at, comma - at));
        fields.push_back(line.substr(at));
        lines.push_back(fields);
    }
    return lines;
}

// A full archive of 11-byte records as the instrument keeps it, with forces,
// areas and diameter codes varied so the table holds several series, an
// empty diameter (codes past the table on instrument version 10.10.14) and
// empty stresses (area 0).
ArchiveImage fullArchive()
{
    sim::ArchiveRecipe recipe;
    recipe.recordCount = (65536 - 4) / 11;
    recipe.recordSize = 11;
    recipe.stepSeconds = 60;
    recipe.diameterCodes = {1, 9, 14, 60, 61, 100, 25, 1, 9, 60, 65};
    const std::vector<uint8_t> bytes = sim::generateArchive(recipe);
    ArchiveImage image;
    std::copy(bytes.begin(), bytes.end(), image.bytes.begin());
    image.decodedLength = bytes.size();
    image.serialNumber = 4242;
    image.versionText = "10.10.14";
    for (unsigned i = 0; i < recipe.recordCount; ++i) {
        uint8_t* r = &image.bytes[4 + i * 11];
        const unsigned x = i * 2654435761u;
        const unsigned force = 500 + (x >> 8) % 4000;
        const unsigned area = i % 41 == 0 ? 0 : (i % 5 == 0 ? 283 : 200 + (x >> 4) % 400);
        r[6] = uint8_t(force);
        r[7] = uint8_t(force >> 8);
        r[8] = uint8_t(area);
        r[9] = uint8_t(area >> 8);
    }
    return image;
}

} // namespace

class IndependentFigures : public TableFolder {};

// Every figure of `zent5-tool stats` over a full downloaded archive agrees
// with Python's statistics module reading the same file through dbfread.
TEST_F(IndependentFigures, FullArchiveAgreesWithPythonStatistics)
{
    const std::string python = ZENT5_PYTHON3;
    int status = 0;
    capture(python + " -c 'import dbfread, statistics' 2>/dev/null", &status);
    if (status != 0)
        GTEST_SKIP() << python << " with dbfread is not installed";

    DbfTable t;
    createOpen(t);
    zent5::testing::ScriptedPrompter prompter;
    flash2pos(false, t, fullArchive(), prompter);
    ASSERT_EQ(t.VisibleCount(), 5957);
    // Deleted rows are no longer visible and take no part.
    for (uint32_t r = 5900; r >= 100; r -= 100) {
        t.GoTo(r);
        t.Delete();
    }
    t.Close();

    const struct {
        std::string units, force, stress;
    } cases[] = {{"kn", "20", "1000"}, {"kgf", "2000", "10000"}, {"kn", "-", "-"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.units + " " + c.force + " " + c.stress);
        std::string tool = quoted(ZENT5_BINARY_DIR "/tools/zent5-tool") + " stats --units " + c.units;
        if (c.force != "-")
            tool += " --required-force " + c.force;
        if (c.stress != "-")
            tool += " --required-stress " + c.stress;
        const auto ours = csvLines(capture(tool + " " + quoted(path("t.db")), &status));
        ASSERT_EQ(status, 0);
        const auto theirs = csvLines(capture(python + " " + quoted(ZENT5_STATS_TEST_DIR "/series_stats.py") + " " +
                                                 quoted(path("t.db")) + " " + c.units + " " + c.force + " " + c.stress,
                                             &status));
        ASSERT_EQ(status, 0);
        ASSERT_EQ(ours.size(), theirs.size());
        ASSERT_EQ(ours.size(), 1 + 2 * 6u) << "the archive makes five series, then all rows";
        for (size_t i = 0; i < ours.size(); ++i) {
            SCOPED_TRACE("line " + std::to_string(i + 1));
            ASSERT_EQ(ours[i].size(), 13u);
            ASSERT_EQ(theirs[i].size(), 13u);
            for (size_t f = 0; f < 13; ++f) {
                SCOPED_TRACE(theirs[0][f]);
                const bool figure = i > 0 && (f == 1 || (f >= 4 && f <= 9));
                if (!figure || ours[i][f].empty() || theirs[i][f].empty()) {
                    EXPECT_EQ(ours[i][f], theirs[i][f]);
                    continue;
                }
                const double a = number(ours[i][f]), b = number(theirs[i][f]);
                EXPECT_LE(std::fabs(a - b), 1e-9 * std::fabs(b)) << ours[i][f] << " against " << theirs[i][f];
            }
        }
    }
}
