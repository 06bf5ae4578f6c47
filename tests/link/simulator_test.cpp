#include "tools/sim/archivegenerator.h"

#include "tests/link/linktestsupport.h"

#include <QProcess>

#include <gtest/gtest.h>

#include <filesystem>

namespace zent5 {
namespace {

int runSimulator(const QStringList& args, QString* errors = nullptr)
{
    QProcess p;
    p.start(QStringLiteral(ZENT5_BINARY_DIR "/tools/sim/zent5-sim"), args);
    if (!p.waitForFinished(10000)) {
        p.kill();
        p.waitForFinished();
        return -1;
    }
    if (errors)
        *errors = QString::fromLocal8Bit(p.readAllStandardError());
    return p.exitCode();
}

TEST(Simulator, RefusesBadOptionsBeforeOpeningAnything)
{
    const QStringList cases[] = {
        {"--com", "0"},        {"--com", "39"},          {"--records"},
        {"--record-size", "10"}, {"--records", "5000", "--record-size", "16"}, // 80,004 bytes
        {"--version", "1.2"},  {"--start", "1999-12-31 23:59:59"}, {"--diameters", "1,,2"},
        {"--kind", "256"},     {"--bogus"},
    };
    for (const QStringList& args : cases) {
        SCOPED_TRACE(args.join(' ').toStdString());
        QString errors;
        EXPECT_EQ(runSimulator(args, &errors), 2);
        EXPECT_TRUE(errors.startsWith("zent5-sim: ")) << errors.toStdString();
    }
}

TEST(Simulator, ImageFileMustFitTheInstrument)
{
    testing::PortsFolder folder;
    const std::string big = folder.tempPath("big.bin");
    { std::ofstream(big, std::ios::binary) << std::string(65537, '\0'); }
    EXPECT_EQ(runSimulator({"--image", QString::fromStdString(big)}), 1);
    EXPECT_EQ(runSimulator({"--image", QString::fromStdString(folder.tempPath("missing.bin"))}), 1);
}

TEST(Simulator, PlacesAndRemovesItsPortsFolderEntry)
{
    testing::PortsFolder folder;
    {
        testing::Simulator sim({"--com", "7"});
        ASSERT_TRUE(sim.ok());
        EXPECT_EQ(std::filesystem::read_symlink(folder.entry(7)).string(), sim.device());
    }
    EXPECT_FALSE(std::filesystem::is_symlink(folder.entry(7)));
}

TEST(ArchiveGenerator, RecordLayout)
{
    sim::ArchiveRecipe recipe;
    recipe.recordCount = 2;
    recipe.recordSize = 12;
    recipe.stepSeconds = 86400 + 3661;
    recipe.force = 0x1234;
    recipe.forceStep = 1;
    recipe.area = 0x0BCD;
    recipe.diameterCodes = {3, 9};
    const std::vector<uint8_t> expected = {
        2, 0, 12, 0,
        0, 0, 9, 5, 3, 14, 0x34, 0x12, 0xCD, 0x0B, 3, 0xA5,  // 05.03.2014 09:00:00
        1, 1, 10, 6, 3, 14, 0x35, 0x12, 0xCD, 0x0B, 9, 0xA5, // 06.03.2014 10:01:01
    };
    EXPECT_EQ(sim::generateArchive(recipe), expected);
}

} // namespace
} // namespace zent5
