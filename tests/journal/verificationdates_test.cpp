#include "journaltestsupport.h"

#include "export/biffbytes.h"
#include "journal/datafolder.h"
#include "journal/verificationdates.h"
#include "records/error.h"

#include <cerrno>

using namespace zent5;
using namespace zent5::journal;
using zent5::testing::errorOf;
using namespace std::chrono;
using zent5::testing::hex;
using zent5::testing::sameBytes;

namespace {

constexpr Day dayOf(int y, unsigned m, unsigned d) { return Day{year(y), month(m), std::chrono::day(d)}; }

// Two instruments, in key order; the checksum was worked out with Python's zlib.crc32.
const char* const kTwoDatesHex =
    "5A 45 4E 54 35 44 55 45" // "ZENT5DUE"
    "01 00"                   // format version 1
    "02 00 00 00"             // two instruments
    "18 07 00 E9 07 03 01"    // model 24, serial number 7: 01.03.2025
    "19 41 01 EA 07 0C 1F"    // model 25, serial number 321: 31.12.2026
    "75 CD 10 4B";            // CRC-32

} // namespace

class VerificationDatesTest : public zent5::testing::JournalFolder {};

TEST_F(VerificationDatesTest, SavedExactlyAndReadBack)
{
    VerificationDates dates;
    dates.setDueDate({25, 321}, dayOf(2026, 12, 31));
    dates.setDueDate({24, 7}, dayOf(2025, 3, 1));
    dates.setDueDate({25, 8}, dayOf(2030, 1, 1));
    dates.setDueDate({25, 8}, std::nullopt);
    const std::string file = path("data/instruments.dat");
    saveVerificationDates(file, dates);
    EXPECT_TRUE(sameBytes(readBytes(file), hex(kTwoDatesHex)));

    const VerificationDates read = loadVerificationDates(file);
    EXPECT_EQ(read.all(), dates.all());
    EXPECT_EQ(read.dueDate({25, 321}), dayOf(2026, 12, 31));
    EXPECT_EQ(read.dueDate({24, 321}), std::nullopt);
    EXPECT_TRUE(loadVerificationDates(path("none.dat")).all().empty());
}

TEST_F(VerificationDatesTest, ADamagedFileIsAnErrorNamingIt)
{
    using Bytes = std::vector<uint8_t>;
    const std::string file = path("instruments.dat");
    const std::string prefix = "Файл сроков поверки " + file + " поврежден: ";
    const struct {
        const char* name;
        std::function<void(Bytes&)> damage;
        std::string error;
    } cases[] = {
        {"empty", [](Bytes& b) { b.clear(); }, prefix + "файл другого вида"},
        {"another kind of file", [](Bytes& b) { b[0] = 'X'; }, prefix + "файл другого вида"},
        {"later format", [](Bytes& b) { b[8] = 2; }, prefix + "формат версии 2"},
        {"bit flipped", [](Bytes& b) { b[20] ^= 1; }, prefix + "контрольная сумма не сходится"},
        {"cut short", [](Bytes& b) { b.resize(b.size() - 7); }, prefix + "контрольная сумма не сходится"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes bytes = hex(kTwoDatesHex);
        c.damage(bytes);
        writeBytes(file, bytes);
        EXPECT_EQ(errorOf([&] { loadVerificationDates(file); }), c.error);
    }
}

TEST_F(VerificationDatesTest, AFolderThatCannotBeMadeIsAnError)
{
    writeBytes(path("file"), {'x'});
    const std::string file = path("file") + "/data/instruments.dat";
    EXPECT_EQ(errorOf([&] { saveVerificationDates(file, {}); }),
              "Не удалось записать файл сроков поверки " + file + ": " + fileio::errorText(ENOTDIR));
}

TEST(VerificationDue, PassesTheDayAfterTheDueDate)
{
    VerificationDates dates;
    dates.setDueDate({25, 321}, dayOf(2025, 3, 1));
    const struct {
        InstrumentKey key;
        Day on;
        Verification expected;
    } cases[] = {
        {{25, 321}, dayOf(2025, 2, 28), Verification::InDate},
        {{25, 321}, dayOf(2025, 3, 1), Verification::InDate},
        {{25, 321}, dayOf(2025, 3, 2), Verification::Overdue},
        {{25, 321}, dayOf(2031, 1, 1), Verification::Overdue},
        {{24, 321}, dayOf(2031, 1, 1), Verification::NoDate}, // another model of the same number
        {{25, 322}, dayOf(2025, 3, 2), Verification::NoDate},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(dayText(c.on) + " " + std::to_string(c.key.serialNumber));
        EXPECT_EQ(verificationOn(dates, c.key, c.on), c.expected);
    }
}

TEST(VerificationDue, TheDayOfADownloadIsTheLocalOne)
{
    // 01.03.2025 22:30 UTC is already 02.03.2025 on a Moscow clock, still 01.03 in London.
    const int64_t lateEvening = 1740868200;
    EXPECT_EQ(localDay({lateEvening, 3 * 3600}), dayOf(2025, 3, 2));
    EXPECT_EQ(localDay({lateEvening, 0}), dayOf(2025, 3, 1));
    EXPECT_TRUE(verificationPassed(dayOf(2025, 3, 1), localDay({lateEvening, 3 * 3600})));
    EXPECT_FALSE(verificationPassed(dayOf(2025, 3, 1), localDay({lateEvening, 0})));
}

TEST(VerificationDue, OnlyCalendarDaysAreTaken)
{
    VerificationDates dates;
    for (const Day bad : {dayOf(2025, 2, 29), dayOf(2025, 13, 1), dayOf(0, 1, 1), dayOf(10000, 1, 1)}) {
        SCOPED_TRACE(dayText(bad));
        EXPECT_EQ(errorOf([&] { dates.setDueDate({25, 1}, bad); }), "Неверная дата поверки: " + dayText(bad));
    }
    EXPECT_TRUE(dates.all().empty());
}

TEST_F(VerificationDatesTest, TodayIsTheLocalDayByTheDatesInTheDataFolder)
{
    const char* old = std::getenv("XDG_DATA_HOME");
    const std::string saved = old ? old : "";
    ::setenv("XDG_DATA_HOME", folder().c_str(), 1);
    EXPECT_EQ(verificationDatesPath(), path("Korvelin/ZT/instruments.dat"));
    EXPECT_EQ(verificationToday({25, 321}), Verification::NoDate); // no file yet

    const sys_days today = sys_days(localDay(now()));
    VerificationDates dates;
    dates.setDueDate({25, 1}, Day(today - days(1)));
    dates.setDueDate({25, 2}, Day(today));
    dates.setDueDate({25, 3}, Day(today + days(1)));
    saveVerificationDates(verificationDatesPath(), dates);
    EXPECT_EQ(verificationToday({25, 1}), Verification::Overdue);
    EXPECT_EQ(verificationToday({25, 2}), Verification::InDate);
    EXPECT_EQ(verificationToday({25, 3}), Verification::InDate);
    EXPECT_EQ(verificationToday({24, 1}), Verification::NoDate);

    writeBytes(verificationDatesPath(), {'x'});
    EXPECT_EQ(errorOf([] { verificationToday({25, 1}); }),
              "Файл сроков поверки " + verificationDatesPath() + " поврежден: файл другого вида");
    if (old)
        ::setenv("XDG_DATA_HOME", saved.c_str(), 1);
    else
        ::unsetenv("XDG_DATA_HOME");
}
