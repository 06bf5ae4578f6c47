#include "tests/link/protocolfuzzinput.h"
#include "link/wireencoding.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace zent5 {
namespace {

// Inputs the protocol fuzzer found or that cover its corners, kept so that
// every run replays them.
TEST(ProtocolFuzzRegression, StoredInputsKeepTheInvariants)
{
    const std::filesystem::path dir = std::filesystem::path(ZENT5_TEST_DATA_DIR) / "link" / "fuzz";
    size_t count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        if (entry.path().extension() != ".bin")
            continue;
        SCOPED_TRACE(entry.path().filename().string());
        std::ifstream in(entry.path(), std::ios::binary);
        const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        EXPECT_TRUE(testing::playProtocolScript(bytes.data(), bytes.size()));
        ++count;
    }
    EXPECT_GT(count, 0u);
}

TEST(ProtocolFuzzRegression, ScriptReachesEveryOutcome)
{
    // The script format itself: a valid identification and archive.
    wire::Identification id;
    const std::string reply = wire::identificationReply(id);
    const uint8_t archive[] = {1, 0, 11, 0, 0, 0, 0, 1, 1, 14, 0, 0, 0, 0, 1};
    const std::string data = wire::archiveReply(archive, sizeof archive);
    std::vector<uint8_t> script;
    script.push_back(static_cast<uint8_t>(reply.size()));
    script.insert(script.end(), reply.begin(), reply.end());
    script.push_back(0xF0);
    script.push_back(static_cast<uint8_t>(data.size()));
    script.push_back(0);
    script.insert(script.end(), data.begin(), data.end());
    EXPECT_TRUE(testing::playProtocolScript(script.data(), script.size()));
}

} // namespace
} // namespace zent5
