#include "journal/entryformat.h"
#include "records/error.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

void exerciseEntryReader(const uint8_t* data, size_t size);

namespace {

std::vector<uint8_t> kept(const std::string& name)
{
    const auto file = std::filesystem::path(ZENT5_TEST_DATA_DIR) / "journal" / "entries" / name;
    std::ifstream in(file, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

// Entry files the reader's fuzzer found or that cover its corners, kept so
// that every run replays them under the sanitizers.
TEST(EntryReaderFuzzRegression, KeptFilesReadOrFailCleanly)
{
    const std::filesystem::path dir = std::filesystem::path(ZENT5_TEST_DATA_DIR) / "journal" / "entries";
    size_t count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        if (entry.path().extension() != ".zje")
            continue;
        SCOPED_TRACE(entry.path().filename().string());
        const std::vector<uint8_t> bytes = kept(entry.path().filename().string());
        exerciseEntryReader(bytes.data(), bytes.size());
        ++count;
    }
    EXPECT_GT(count, 0u);
}

// An entry written by another writer than ours (the script beside the
// files) reads as it was meant: the format is what the files say it is.
TEST(EntryReaderFuzzRegression, AnEntryFromAnotherWriterReads)
{
    const std::vector<uint8_t> bytes = kept("valid-two-records.zje");
    const zent5::journal::Entry e = zent5::journal::decodeEntry(bytes.data(), bytes.size());
    EXPECT_EQ(e.info.serialNumber, 4242);
    EXPECT_EQ(e.info.model, 24);
    EXPECT_EQ(e.info.versionText, "09.05.01");
    EXPECT_EQ(e.info.download.moment.utcSeconds, 1394013600);
    EXPECT_EQ(e.info.download.moment.utcOffsetSeconds, 4 * 3600);
    EXPECT_EQ(e.info.download.portName, "/dev/ttyUSB0");
    EXPECT_EQ(e.info.download.tablePath, "C:\\Испытания\\мост.db");
    EXPECT_EQ(e.info.download.action, zent5::journal::TableAction::NewTable);
    EXPECT_EQ(e.info.download.rowsAdded, 2u);
    EXPECT_EQ(e.info.download.verification, zent5::journal::Verification::InDate);
    EXPECT_EQ(e.info.recordCount, 2);
    EXPECT_EQ(e.image.size(), 4u + 2 * 11);
}

} // namespace
