#include "export/compounddocument.h"
#include "records/error.h"
#include "tests/export/biffbytes.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sys/resource.h>
#include <unistd.h>

using namespace zent5;
namespace fs = std::filesystem;

namespace {

class CompoundDocument : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_dir = fs::path(::testing::TempDir()) / ("zent5_compound_" + std::to_string(::getpid()));
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
    }
    void TearDown() override
    {
        std::error_code ec;
        fs::permissions(m_dir, fs::perms::owner_all, ec);
        fs::remove_all(m_dir, ec);
    }

    static std::vector<uint8_t> readFile(const fs::path& p)
    {
        std::ifstream in(p, std::ios::binary);
        return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
    }
    static void writeFile(const fs::path& p, const std::string& content)
    {
        std::ofstream(p, std::ios::binary) << content;
    }
    std::vector<std::string> entries() const
    {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(m_dir))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    fs::path m_dir;
};

std::string errorOf(const std::string& path, const std::vector<uint8_t>& bytes)
{
    try {
        writeCompoundDocument(path, "Workbook", bytes);
    } catch (const Error& e) {
        return e.what();
    }
    return "no error";
}

std::vector<uint8_t> pattern(size_t n)
{
    std::vector<uint8_t> b(n);
    for (size_t i = 0; i < n; ++i)
        b[i] = uint8_t(i * 31 + 7);
    return b;
}

TEST_F(CompoundDocument, ReplacesAnExistingFileWhole)
{
    const fs::path file = m_dir / "book.xls";
    writeFile(file, std::string(200000, 'x'));
    writeCompoundDocument(file.string(), "Workbook", pattern(5000));
    const auto bytes = readFile(file);
    EXPECT_TRUE(zent5::testing::sameBytes(std::vector<uint8_t>(bytes.begin(), bytes.begin() + 8),
                                          zent5::testing::hex("D0 CF 11 E0 A1 B1 1A E1")));
    EXPECT_LT(bytes.size(), 200000u);
    EXPECT_EQ(bytes.size() % 512, 0u);
    EXPECT_EQ(std::search_n(bytes.begin(), bytes.end(), 64, uint8_t('x')), bytes.end());
    EXPECT_EQ(entries(), std::vector<std::string>{"book.xls"});
}

TEST_F(CompoundDocument, CreationErrorsCarryStorageCodes)
{
    writeFile(m_dir / "plain", "not a folder");
    fs::create_directories(m_dir / "folder.xls");
    struct Case {
        std::string path;
        const char* error;
    };
    const Case cases[] = {
        {(m_dir / "missing" / "book.xls").string(), "StgCreateDocFile error -2147287037"},
        {(m_dir / "plain" / "book.xls").string(), "StgCreateDocFile error -2147287037"},
        {(m_dir / "folder.xls").string(), "StgCreateDocFile error -2147287035"},
        {(m_dir / (std::string(300, 'n') + ".xls")).string(), "StgCreateDocFile error -2147286788"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(errorOf(c.path, pattern(100)), c.error);
    }
    EXPECT_EQ(entries(), (std::vector<std::string>{"folder.xls", "plain"}));
}

TEST_F(CompoundDocument, FolderWithoutWriteRight)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root may write anywhere";
    const fs::path locked = m_dir / "locked";
    fs::create_directories(locked);
    fs::permissions(locked, fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_EQ(errorOf((locked / "book.xls").string(), pattern(100)), "StgCreateDocFile error -2147287035");
    fs::permissions(locked, fs::perms::owner_all);
}

// Writes fail once the file passes a size limit, either while the stream's
// bytes go out or only when the document's tables are written at the close:
// the old file must survive untouched and no temporary file may stay behind.
TEST_F(CompoundDocument, FailedWriteLeavesOldFileAndNoTemporary)
{
    struct Case {
        const char* name;
        bool oldFile;
        rlim_t limit;
    };
    // 300,000 bytes of stream fill 300,544 bytes of file with the header.
    const Case cases[] = {
        {"stream bytes, over an old file", true, 64 * 1024},
        {"stream bytes, new file", false, 64 * 1024},
        {"tables at the close, over an old file", true, 300544 + 100},
        {"tables at the close, new file", false, 300544 + 100},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path file = m_dir / "book.xls";
        fs::remove(file);
        if (c.oldFile)
            writeFile(file, "old content");

        struct rlimit saved {};
        ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit small = saved;
        small.rlim_cur = c.limit;
        ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
        const std::string error = errorOf(file.string(), pattern(300000));
        ::setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, oldHandler);

        EXPECT_EQ(error, std::strerror(EFBIG));
        if (c.oldFile) {
            const auto bytes = readFile(file);
            EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "old content");
            EXPECT_EQ(entries(), std::vector<std::string>{"book.xls"});
        } else {
            EXPECT_EQ(entries(), std::vector<std::string>{});
        }
    }
    // With room enough the same save succeeds.
    writeCompoundDocument((m_dir / "book.xls").string(), "Workbook", pattern(300000));
    EXPECT_GT(fs::file_size(m_dir / "book.xls"), 300544u);
}

// The size limit swept across the whole save: wherever the file stops
// growing (the first sector, inside the stream, in the tables written at
// the close, one byte short of the end), the save fails with the system's
// text, the old file keeps its bytes and the folder holds nothing else.
TEST_F(CompoundDocument, EverySizeLimitLeavesOldFileAndNoTemporary)
{
    const fs::path file = m_dir / "book.xls";
    writeCompoundDocument(file.string(), "Workbook", pattern(100000));
    const rlim_t full = fs::file_size(file);
    fs::remove(file);
    const rlim_t limits[] = {0, 1, 511, 512, 513, 4096, 4097, 50000, full / 2, full - 1024, full - 512, full - 1};
    for (const rlim_t limit : limits) {
        for (const bool oldFile : {true, false}) {
            SCOPED_TRACE(std::to_string(limit) + (oldFile ? " over an old file" : " new file"));
            fs::remove(file);
            if (oldFile)
                writeFile(file, "old content");

            struct rlimit saved {};
            ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
            const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
            struct rlimit small = saved;
            small.rlim_cur = limit;
            ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
            const std::string error = errorOf(file.string(), pattern(100000));
            ::setrlimit(RLIMIT_FSIZE, &saved);
            std::signal(SIGXFSZ, oldHandler);

            EXPECT_EQ(error, std::strerror(EFBIG));
            if (oldFile) {
                const auto bytes = readFile(file);
                EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "old content");
                EXPECT_EQ(entries(), std::vector<std::string>{"book.xls"});
            } else {
                EXPECT_EQ(entries(), std::vector<std::string>{});
            }
        }
    }
    // At exactly the document's size the save goes through.
    struct rlimit saved {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    struct rlimit exact = saved;
    exact.rlim_cur = full;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &exact), 0);
    const std::string error = errorOf(file.string(), pattern(100000));
    ::setrlimit(RLIMIT_FSIZE, &saved);
    EXPECT_EQ(error, "no error");
    EXPECT_EQ(fs::file_size(file), full);
}

// A folder standing under the target name is refused before any byte is
// written: the folder stays and no temporary file is left.
TEST_F(CompoundDocument, FolderUnderTheNameLeavesNoTemporary)
{
    const fs::path target = m_dir / "book.xls";
    fs::create_directories(target / "inside");
    EXPECT_EQ(errorOf(target.string(), pattern(5000)), "StgCreateDocFile error -2147287035");
    EXPECT_EQ(entries(), std::vector<std::string>{"book.xls"});
    EXPECT_TRUE(fs::is_directory(target / "inside"));
}

} // namespace
