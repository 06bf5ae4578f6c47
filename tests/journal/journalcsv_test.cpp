#include "journaltestsupport.h"

#include "journal/journalcsv.h"

#include "common/scopedlocale.h"

using namespace zent5;
using namespace zent5::journal;
using namespace std::chrono;

TEST(JournalCsv, HeadingThenOneLinePerEntryInTheGivenOrder)
{
    Entry newer = zent5::testing::sampleEntry(321, zent5::testing::kMarch5 + 3600, 3);
    newer.info.id = "20240305-110000-00321-01";
    newer.info.download.tablePath = "/home/инженер/анкеры, \"мост\".db";
    newer.info.download.action = TableAction::Append;
    newer.info.download.rowsAdded = 1;
    newer.info.download.verification = Verification::Overdue;
    Entry older = zent5::testing::sampleEntry(7, zent5::testing::kMarch5, 0);
    older.info.id = "20240305-100000-00007-01";
    older.info.model = 24;
    older.info.download.moment.utcOffsetSeconds = -(3 * 3600 + 1800);
    older.info.download.portName = "/dev/ttyUSB0";
    older.info.download.verification = Verification::InDate;

    const std::string expected =
        "id,time_local,time_utc,serial,kind,model,version,records,image_bytes,port,action,table,rows_added,"
        "verification\n"
        "20240305-110000-00321-01,2024-03-05T14:00:00+03:00,2024-03-05T11:00:00Z,321,1,25,10.10.14,3,52,"
        "\\\\.\\COM1,append,\"/home/инженер/анкеры, \"\"мост\"\".db\",1,overdue\n"
        "20240305-100000-00007-01,2024-03-05T06:30:00-03:30,2024-03-05T10:00:00Z,7,1,24,10.10.14,0,4,"
        "/dev/ttyUSB0,new,/home/инженер/анкеры.db,0,in-date\n";
    // The CSV is for other programs: the same bytes under every locale.
    for (const char* locale : zent5::testing::kTestLocales) {
        SCOPED_TRACE(locale);
        zent5::testing::ScopedLocale scope(locale);
        ASSERT_TRUE(scope.ok());
        EXPECT_EQ(journalCsv({newer.info, older.info}), expected);
    }
    EXPECT_EQ(journalCsv({}),
              "id,time_local,time_utc,serial,kind,model,version,records,image_bytes,port,action,table,rows_added,"
              "verification\n");
}

TEST(JournalCsv, InstrumentsWithTheirDueDateAsItStandsToday)
{
    Instrument a;
    a.key = {25, 321};
    a.kind = 1;
    a.versionText = "10.10.15";
    a.firstDownload = {zent5::testing::kMarch5, 3 * 3600};
    a.lastDownload = {zent5::testing::kMarch5 + 86400, 3 * 3600};
    a.downloads = 12;
    a.verificationDue = Day{year(2024), March, day(5)};
    Instrument b = a;
    b.key = {24, 65535};
    b.downloads = 1;
    b.verificationDue = std::nullopt;

    const std::string heading =
        "serial,model,kind,version,first_download,last_download,downloads,verification_due,verification_passed\n";
    const struct {
        Day today;
        std::string text;
    } cases[] = {
        {Day{year(2024), March, day(5)},
         heading +
             "321,25,1,10.10.15,2024-03-05T13:00:00+03:00,2024-03-06T13:00:00+03:00,12,2024-03-05,no\n"
             "65535,24,1,10.10.15,2024-03-05T13:00:00+03:00,2024-03-06T13:00:00+03:00,1,,\n"},
        {Day{year(2024), March, day(6)},
         heading +
             "321,25,1,10.10.15,2024-03-05T13:00:00+03:00,2024-03-06T13:00:00+03:00,12,2024-03-05,yes\n"
             "65535,24,1,10.10.15,2024-03-05T13:00:00+03:00,2024-03-06T13:00:00+03:00,1,,\n"},
    };
    for (const char* locale : zent5::testing::kTestLocales) {
        zent5::testing::ScopedLocale scope(locale);
        ASSERT_TRUE(scope.ok()) << locale;
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(locale) + " " + dayText(c.today));
            EXPECT_EQ(instrumentsCsv({a, b}, c.today), c.text);
        }
    }
}

TEST(MomentText, UniversalLocalAndShown)
{
    const struct {
        Moment moment;
        const char* utc;
        const char* local;
        const char* shown;
    } cases[] = {
        {{zent5::testing::kMarch5, 3 * 3600}, "2024-03-05T10:00:00Z", "2024-03-05T13:00:00+03:00", "05.03.2024 13:00:00"},
        {{0, 0}, "1970-01-01T00:00:00Z", "1970-01-01T00:00:00+00:00", "01.01.1970 00:00:00"},
        {{0, -(9 * 3600 + 1800)}, "1970-01-01T00:00:00Z", "1969-12-31T14:30:00-09:30", "31.12.1969 14:30:00"},
        {{1709251199, 12 * 3600 + 2700}, "2024-02-29T23:59:59Z", "2024-03-01T12:44:59+12:45", "01.03.2024 12:44:59"},
        {{253402300799, 0}, "9999-12-31T23:59:59Z", "9999-12-31T23:59:59+00:00", "31.12.9999 23:59:59"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.utc);
        EXPECT_EQ(utcText(c.moment), c.utc);
        EXPECT_EQ(localText(c.moment), c.local);
        EXPECT_EQ(shownText(c.moment), c.shown);
    }
}
