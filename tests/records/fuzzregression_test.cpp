#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

void exerciseArchive(const uint8_t* data, size_t size);

namespace {

// Archive images the decoding's fuzzer found or that cover its corners
// (first byte: mode and rows already in the table, then the image), kept
// so that every run replays them under the sanitizers.
TEST(ArchiveFuzzRegression, StoredImagesDecodeOrFailCleanly)
{
    const std::filesystem::path dir = std::filesystem::path(ZENT5_TEST_DATA_DIR) / "records" / "archive";
    size_t count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        SCOPED_TRACE(entry.path().filename().string());
        std::ifstream in(entry.path(), std::ios::binary);
        const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        exerciseArchive(bytes.data(), bytes.size());
        ++count;
    }
    EXPECT_GT(count, 0u);
}

} // namespace
