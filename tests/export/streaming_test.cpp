#include "export/compounddocument.h"
#include "records/lebytes.h"
#include "export/xlsworkbook.h"
#include "export/xlswriter.h"
#include "records/error.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <stdexcept>
#include <sys/resource.h>
#include <unistd.h>

using namespace zent5;
namespace fs = std::filesystem;

// The stream handed on in pieces while it is made: the pieces and the
// fields filled in afterwards must give exactly the bytes of the stream
// made whole in memory, and a save that fails half-way must leave nothing.
namespace {

// Keeps what it is given, and how.
class RecordingSink : public ByteSink {
public:
    void write(const uint8_t* data, size_t n) override
    {
        bytes.insert(bytes.end(), data, data + n);
        ++writes;
    }
    void overwrite(size_t at, const uint8_t* data, size_t n) override
    {
        ASSERT_LE(at + n, bytes.size()) << "overwrite past what was written";
        std::copy(data, data + n, bytes.begin() + std::ptrdiff_t(at));
        ++overwrites;
    }
    std::vector<uint8_t> bytes;
    int writes = 0;
    int overwrites = 0;
};

// Six bytes 0..5, a flush after `flushAfter` of them, then a patch of four
// bytes at `at`: before, across or after the point handed on.
TEST(LeBytesInPieces, PatchesReachBytesAlreadyHandedOn)
{
    struct Case {
        size_t flushAfter;
        size_t at;
        int overwrites;
    };
    const Case cases[] = {
        {6, 0, 1}, // all handed on
        {2, 2, 0}, // all still held
        {3, 1, 1}, // two handed on, two held
        {0, 2, 0}, // nothing handed on yet
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.flushAfter) + " " + std::to_string(c.at));
        RecordingSink sink;
        LeBytes out(sink);
        for (uint8_t b = 0; b < 6; ++b) {
            if (b == c.flushAfter)
                out.flush();
            out.u8(b);
        }
        if (c.flushAfter == 6)
            out.flush();
        EXPECT_EQ(out.size(), 6u);
        out.patchU32(c.at, 0xD3C2B1A0);
        out.flush();
        std::vector<uint8_t> expected{0, 1, 2, 3, 4, 5};
        for (size_t i = 0; i < 4; ++i)
            expected[c.at + i] = uint8_t(0xA0 + 0x11 * i);
        EXPECT_EQ(sink.bytes, expected);
        EXPECT_EQ(sink.overwrites, c.overwrites);
        EXPECT_THROW(out.patchU16(5, 0), std::out_of_range);
    }
}

std::string comment(int i)
{
    std::string s = "проба №" + std::to_string(i);
    for (int k = 0; k < i % 13; ++k)
        s += " слово";
    return s;
}

// Two sheets whose strings and cells fill many pieces of the stream.
void fill(XlsWorkbook& book, int rows)
{
    for (int s = 0; s < 2; ++s) {
        XlsWorksheet& sheet = book.AddSheet();
        for (int r = 0; r < rows; ++r) {
            sheet.Range(0, r, 0, r).SetValue(double(r) / 8);
            sheet.Range(1, r, 1, r).SetValue(comment(r + s));
            if (r % 5 == 0)
                sheet.Range(2, r, 3, r).SetValue("объединено");
            else
                sheet.Range(2, r, 2, r).SetValue(r % 3 ? "" : "да");
        }
    }
}

class StreamedSave : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_dir = fs::path(::testing::TempDir()) / ("zent5_streamed_" + std::to_string(::getpid()));
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
    }
    void TearDown() override { fs::remove_all(m_dir); }

    static std::string read(const fs::path& p)
    {
        std::ifstream in(p, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
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

// The file written piece by piece is the file of the whole stream.
TEST_F(StreamedSave, PiecesGiveTheFileOfTheWholeStream)
{
    XlsWorkbook book;
    fill(book, 6000);
    XlsWriter writer;
    const std::vector<uint8_t> stream = writer.Stream(book);
    ASSERT_GT(stream.size(), 500000u);

    RecordingSink sink;
    writer.WriteStream(book, sink);
    EXPECT_TRUE(sink.bytes == stream);
    EXPECT_GT(sink.writes, 5);
    EXPECT_GT(sink.overwrites, 0);

    writeCompoundDocument((m_dir / "whole.xls").string(), "Workbook", stream);
    writer.Save(book, (m_dir / "pieces.xls").string());
    EXPECT_TRUE(read(m_dir / "whole.xls") == read(m_dir / "pieces.xls"));
}

// Whatever stops the stream half-way, the old file stays and no temporary
// file is left: an error of the stream's maker, after some pieces or after
// going back to fill in a field, or the disk refusing more bytes.
TEST_F(StreamedSave, FailureHalfWayLeavesTheOldFile)
{
    const std::vector<uint8_t> piece(40000, 0x5A);
    struct Case {
        const char* name;
        std::function<void(ByteSink&)> produce;
        rlim_t limit; // 0: none
        const char* error;
    };
    const Case cases[] = {
        {"before any byte", [](ByteSink&) { throw Error("отказ"); }, 0, "отказ"},
        {"after pieces",
         [&](ByteSink& s) {
             for (int i = 0; i < 5; ++i)
                 s.write(piece.data(), piece.size());
             throw Error("отказ");
         },
         0, "отказ"},
        {"after an overwrite",
         [&](ByteSink& s) {
             s.write(piece.data(), piece.size());
             s.write(piece.data(), piece.size());
             s.overwrite(10, piece.data(), 4);
             throw std::runtime_error("сбой");
         },
         0, "сбой"},
        {"disk full in a piece",
         [&](ByteSink& s) {
             for (int i = 0; i < 50; ++i)
                 s.write(piece.data(), piece.size());
         },
         300000, nullptr},
    };
    const fs::path file = m_dir / "book.xls";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::ofstream(file, std::ios::binary) << "old content";

        struct rlimit saved {};
        ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        if (c.limit) {
            struct rlimit small = saved;
            small.rlim_cur = c.limit;
            ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
        }
        std::string error = "no error";
        try {
            writeCompoundDocument(file.string(), "Workbook", c.produce);
        } catch (const std::exception& e) {
            error = e.what();
        }
        ::setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, oldHandler);

        EXPECT_EQ(error, c.error ? c.error : std::strerror(EFBIG));
        EXPECT_EQ(read(file), "old content");
        EXPECT_EQ(entries(), std::vector<std::string>{"book.xls"});
    }
}

// A workbook too large for the file's format is refused before the file is touched.
TEST_F(StreamedSave, OversizedSheetTouchesNoFile)
{
    XlsWorkbook book;
    book.AddSheet().Range(0, 65536, 0, 65536).SetValue(1.0);
    const fs::path file = m_dir / "book.xls";
    std::ofstream(file, std::ios::binary) << "old content";
    XlsWriter writer;
    EXPECT_THROW(writer.Save(book, file.string()), Error);
    EXPECT_EQ(read(file), "old content");
    EXPECT_EQ(entries(), std::vector<std::string>{"book.xls"});
}

} // namespace
