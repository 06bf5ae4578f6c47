#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

bool exerciseLayout(const std::string& text);

namespace {

// Layout texts the layout fuzzer found or that cover its corners, kept so
// that every run replays them under the sanitizers.
TEST(LayoutFuzzRegression, StoredTextsApplyOrLeaveTheColumns)
{
    const std::filesystem::path dir = std::filesystem::path(ZENT5_TEST_DATA_DIR) / "app" / "layout";
    size_t count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        SCOPED_TRACE(entry.path().filename().string());
        std::ifstream in(entry.path(), std::ios::binary);
        const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        EXPECT_TRUE(exerciseLayout(text));
        ++count;
    }
    EXPECT_GT(count, 0u);
}

} // namespace
