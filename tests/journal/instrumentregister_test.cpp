#include "journaltestsupport.h"

#include "journal/instrumentregister.h"

using namespace zent5;
using namespace zent5::journal;
using namespace std::chrono;
using zent5::testing::kMarch5;

namespace {

EntryInfo download(const char* id, uint8_t model, uint16_t serial, const char* version, int64_t at)
{
    EntryInfo e;
    e.id = id;
    e.kind = 1;
    e.model = model;
    e.serialNumber = serial;
    e.versionText = version;
    e.download.moment = {at, 3 * 3600};
    return e;
}

} // namespace

TEST(InstrumentRegister, OneRowPerInstrumentWithItsFirstAndLastDownload)
{
    constexpr int64_t day = 86400;
    // Newest first, as the journal lists them; the version went up between downloads.
    const std::vector<EntryInfo> entries = {
        download("20240310-100000-00321-01", 25, 321, "10.10.15", kMarch5 + 5 * day),
        download("20240308-100000-00007-01", 24, 7, "09.01.02", kMarch5 + 3 * day),
        download("20240305-100000-00321-02", 25, 321, "10.10.14", kMarch5),
        download("20240305-100000-00321-01", 25, 321, "10.10.13", kMarch5),
        download("20240301-100000-00007-01", 25, 7, "10.10.14", kMarch5 - 4 * day),
    };
    VerificationDates dates;
    dates.setDueDate({25, 321}, Day{year(2025), March, std::chrono::day(1)});
    dates.setDueDate({25, 999}, Day{year(2025), March, std::chrono::day(1)}); // no download of it

    const std::vector<Instrument> reg = buildRegister(entries, dates);
    ASSERT_EQ(reg.size(), 3u);
    // By serial number, then model: serial number 7 of two models are two instruments.
    EXPECT_EQ(reg[0].key, (InstrumentKey{24, 7}));
    EXPECT_EQ(reg[1].key, (InstrumentKey{25, 7}));
    EXPECT_EQ(reg[2].key, (InstrumentKey{25, 321}));

    const Instrument& i = reg[2];
    EXPECT_EQ(i.downloads, 3u);
    EXPECT_EQ(i.versionText, "10.10.15");
    EXPECT_EQ(i.firstDownload, (Moment{kMarch5, 3 * 3600}));
    EXPECT_EQ(i.lastDownload, (Moment{kMarch5 + 5 * day, 3 * 3600}));
    EXPECT_EQ(i.verificationDue, (Day{year(2025), March, std::chrono::day(1)}));
    EXPECT_EQ(reg[0].downloads, 1u);
    EXPECT_EQ(reg[0].versionText, "09.01.02");
    EXPECT_EQ(reg[0].firstDownload, reg[0].lastDownload);
    EXPECT_EQ(reg[0].verificationDue, std::nullopt);
}

TEST(InstrumentRegister, TheLatestOfOneSecondIsTheHigherId)
{
    // In file order this time: the register does not lean on the list's order.
    const std::vector<EntryInfo> entries = {
        download("20240305-100000-00321-01", 25, 321, "10.10.13", kMarch5),
        download("20240305-100000-00321-02", 25, 321, "10.10.14", kMarch5),
    };
    const std::vector<Instrument> reg = buildRegister(entries, {});
    ASSERT_EQ(reg.size(), 1u);
    EXPECT_EQ(reg[0].versionText, "10.10.14");
    EXPECT_EQ(reg[0].downloads, 2u);
    EXPECT_TRUE(buildRegister({}, {}).empty());
}
