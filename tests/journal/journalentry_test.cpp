#include "journaltestsupport.h"

#include "common/memorycursor.h"
#include "common/scriptedprompter.h"
#include "journal/archivedump.h"
#include "records/archivedecoding.h"
#include "records/error.h"

#include <memory>

using namespace zent5;
using namespace zent5::journal;
using zent5::testing::MemoryCursor;
using zent5::testing::ScriptedPrompter;

namespace {

std::vector<MemoryCursor::Row> decoded(bool append, const ArchiveImage& image, MemoryCursor table = {})
{
    ScriptedPrompter prompter;
    flash2pos(append, table, image, prompter);
    return table.rows;
}

} // namespace

class JournalEntryTest : public zent5::testing::JournalFolder {};

TEST_F(JournalEntryTest, AnEntryDecodesAsTheDownloadItCameFrom)
{
    auto received = std::make_unique<ArchiveImage>();
    zent5::testing::fillImage(*received, 4242, 5);
    // Bytes past the decoded length are an earlier download's and not kept.
    received->bytes[received->decodedLength] = 0xEE;

    Journal journal(journalDir());
    Entry entry = makeEntry(*received, {});
    EXPECT_EQ(entry.image.size(), received->decodedLength);
    EXPECT_EQ(entry.info.recordCount, 5);
    const std::string id = journal.add(entry);

    auto restored = std::make_unique<ArchiveImage>();
    restored->bytes.fill(0x77);
    restoreArchiveImage(journal.load(id), *restored);
    EXPECT_EQ(restored->decodedLength, received->decodedLength);
    EXPECT_EQ(restored->serialNumber, 4242);
    EXPECT_EQ(restored->versionText, "10.10.14");
    EXPECT_EQ(restored->kind, 1);
    EXPECT_EQ(restored->model, 25);
    EXPECT_TRUE(std::equal(restored->bytes.begin(), restored->bytes.begin() + restored->decodedLength,
                           received->bytes.begin()));
    EXPECT_EQ(restored->bytes[restored->decodedLength], 0);

    const auto rows = decoded(false, *restored);
    EXPECT_EQ(rows.size(), 5u);
    EXPECT_EQ(rows, decoded(false, *received));
    MemoryCursor table;
    table.addDated("05.03.2014", "10:02:00");
    EXPECT_EQ(decoded(true, *restored, table).size(), 3u); // the two records after 10:02:00
}

TEST_F(JournalEntryTest, TheDumpHoldsTheDecodedBytesAndNothingElse)
{
    auto image = std::make_unique<ArchiveImage>();
    zent5::testing::fillImage(*image, 321, 2);
    image->bytes[image->decodedLength] = 0xEE;
    const std::vector<uint8_t> expected(image->bytes.begin(), image->bytes.begin() + 36);

    writeArchiveDump(*image, path("a.bin"));
    EXPECT_EQ(readBytes(path("a.bin")), expected);
    // Saved again from the journal, over an older dump.
    writeBytes(path("b.bin"), std::vector<uint8_t>(1000, 0x55));
    writeArchiveDump(makeEntry(*image, {}), path("b.bin"));
    EXPECT_EQ(readBytes(path("b.bin")), expected);

    image->decodedLength = 0;
    writeArchiveDump(*image, path("empty.bin"));
    EXPECT_TRUE(std::filesystem::exists(path("empty.bin")));
    EXPECT_EQ(std::filesystem::file_size(path("empty.bin")), 0u);

    try {
        writeArchiveDump(*image, path("none/c.bin"));
        ADD_FAILURE() << "written";
    } catch (const Error& e) {
        EXPECT_EQ(e.what(), "Не удалось записать файл " + path("none/c.bin"));
    }
}
