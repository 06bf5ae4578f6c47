// The kept inputs of the index file and editing fuzzers, found by them or
// written to cover their corners, replayed under the sanitizers by every run.
#include "tablefixture.h"

#include <filesystem>
#include <functional>

using zent5::testing::TableFolder;

void exerciseIndexFile(const std::string& dir, const uint8_t* data, size_t size);
void exerciseEdits(const std::string& dir, const uint8_t* data, size_t size);

namespace {

class TableFuzzRegression : public TableFolder {
protected:
    void replay(const char* kept, const std::function<void(const std::string&)>& run)
    {
        const std::filesystem::path dir = std::filesystem::path(ZENT5_TEST_DATA_DIR) / "table" / kept;
        int seen = 0;
        for (const auto& entry : std::filesystem::directory_iterator(dir)) {
            if (entry.path().extension() != ".bin")
                continue;
            SCOPED_TRACE(entry.path().filename().string());
            run(readFile(entry.path().string()));
            ++seen;
        }
        EXPECT_GT(seen, 0);
    }
};

TEST_F(TableFuzzRegression, IndexFilesOpenOrAreSetAside)
{
    replay("index", [&](const std::string& bytes) {
        exerciseIndexFile(folder(), reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    });
}

TEST_F(TableFuzzRegression, EditScriptsKeepTheFileAndTheViewAlike)
{
    replay("edit", [&](const std::string& bytes) {
        exerciseEdits(folder(), reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    });
}

} // namespace
