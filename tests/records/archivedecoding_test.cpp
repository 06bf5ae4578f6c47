#include "records/archivedecoding.h"
#include "records/error.h"

#include "common/memorycursor.h"
#include "common/scriptedprompter.h"

#include <gtest/gtest.h>

using namespace zent5;
using zent5::testing::MemoryCursor;
using zent5::testing::ScriptedPrompter;

namespace {

struct StoredTest {
    int day, month, year, hours, minutes, seconds;
    uint16_t force = 1234;
    uint16_t area = 283;
    uint8_t code = 3;
};

// Builds an archive image as the download leaves it.
ArchiveImage makeImage(const std::vector<StoredTest>& tests, int recordSize = 11, uint16_t serial = 321)
{
    ArchiveImage image;
    image.serialNumber = serial;
    image.versionText = "10.10.14";
    image.bytes[0] = uint8_t(tests.size());
    image.bytes[1] = uint8_t(tests.size() >> 8);
    image.bytes[2] = uint8_t(recordSize);
    image.bytes[3] = uint8_t(recordSize >> 8);
    size_t off = 4;
    for (const StoredTest& t : tests) {
        uint8_t* r = &image.bytes[off];
        r[0] = uint8_t(t.seconds);
        r[1] = uint8_t(t.minutes);
        r[2] = uint8_t(t.hours);
        r[3] = uint8_t(t.day);
        r[4] = uint8_t(t.month);
        r[5] = uint8_t(t.year);
        r[6] = uint8_t(t.force);
        r[7] = uint8_t(t.force >> 8);
        r[8] = uint8_t(t.area);
        r[9] = uint8_t(t.area >> 8);
        r[10] = t.code;
        for (int i = 11; i < recordSize; ++i)
            r[i] = 0xEE; // bytes the decoding must ignore
        off += size_t(recordSize);
    }
    image.decodedLength = off;
    return image;
}

std::string text(const FieldValue& v) { return std::get<std::string>(v); }
double number(const FieldValue& v) { return std::get<double>(v); }

} // namespace

TEST(RecordKey, OrdersDateAndTimeTogether)
{
    EXPECT_LT(record_key("04.03.2014", "23:59:59"), record_key("05.03.2014", "00:00:00"));
    EXPECT_EQ(record_key("05.03.2014", "00:00:01") - record_key("05.03.2014", "00:00:00"), 1);
    EXPECT_EQ(record_key("01.03.2016", "00:00:00") - record_key("28.02.2016", "00:00:00"), 2 * 86400);
    EXPECT_GT(record_key("01.01.0001", "00:00:00"), 0);
}

TEST(RecordKey, RefusesTextsThatAreNoRealMoment)
{
    const char* bad[][2] = {{"31.02.2014", "10:00:00"}, {"29.02.2015", "10:00:00"}, {"", ""},
                            {"01.01.2014", "24:00:00"}, {"1.1.2014", "10:00:00"}, {"01.13.2014", "10:00:00"}};
    for (const auto& b : bad) {
        SCOPED_TRACE(std::string(b[0]) + " " + b[1]);
        try {
            record_key(b[0], b[1]);
            FAIL() << "no error";
        } catch (const Error& e) {
            EXPECT_EQ(std::string(e.what()), "'" + std::string(b[0]) + " " + b[1] + "' is not a valid date and time");
        }
    }
}

// A damaged row's date is quoted whole, its control bytes written out, so
// the error box shows it all instead of stopping at a NUL.
TEST(RecordKey, ADamagedValueIsQuotedWholeAndPrintable)
{
    const struct {
        std::string date, time, quoted;
    } cases[] = {
        {std::string("05.03\0" "2014", 10), "10:00:00", "05.03\\x002014 10:00:00"},
        {"05.03.2014", "10:00\t00", "05.03.2014 10:00\\x0900"},
        {"\x1b[2J", "", "\\x1B[2J "},
        {"31.02.2014", "10:00:00", "31.02.2014 10:00:00"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.quoted);
        try {
            record_key(c.date, c.time);
            FAIL() << "no error";
        } catch (const Error& e) {
            EXPECT_EQ(std::string(e.what()), "'" + c.quoted + "' is not a valid date and time");
        }
    }
}

TEST(Flash2pos, NewModeAppendsEveryRecordNumberedFromOne)
{
    MemoryCursor table;
    ScriptedPrompter prompter;
    const ArchiveImage image =
        makeImage({{5, 3, 14, 9, 0, 0}, {5, 3, 14, 10, 0, 0, 5000, 1000, 60}, {6, 3, 14, 11, 0, 0, 1, 0, 70}});
    flash2pos(false, table, image, prompter);

    ASSERT_EQ(table.rows.size(), 3u);
    EXPECT_TRUE(prompter.messages.empty());
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(number(table.rows[size_t(i)]["N"]), i + 1);
    auto& first = table.rows[0];
    EXPECT_EQ(text(first["DATE"]), "05.03.2014");
    EXPECT_EQ(text(first["TIME"]), "09:00:00");
    EXPECT_EQ(number(first["SERIAL"]), 321);
    EXPECT_DOUBLE_EQ(number(first["P"]), 12.34);
    EXPECT_EQ(number(first["P_KG"]), 1258);
    EXPECT_DOUBLE_EQ(number(first["S"]), 436.0);
    EXPECT_EQ(number(first["S_KG"]), 4446);
    EXPECT_DOUBLE_EQ(number(first["F_MM"]), 0.283);
    EXPECT_NEAR(number(first["F"]), 28.3, 1e-9);
    EXPECT_EQ(number(first["D"]), 6);
    EXPECT_EQ(text(first["TYPE"]), "проволока");
    EXPECT_EQ(text(first["COMMENT"]), "");
    EXPECT_EQ(text(table.rows[1]["TYPE"]), "канат");
    // A zero area leaves the stress columns empty; version 10.10.14 has no
    // diameter for code 70.
    EXPECT_TRUE(isNull(table.rows[2]["S"]));
    EXPECT_TRUE(isNull(table.rows[2]["S_KG"]));
    EXPECT_TRUE(isNull(table.rows[2]["D"]));
}

TEST(Flash2pos, RecordSizeSixteenSkipsTheUnusedBytes)
{
    MemoryCursor table;
    ScriptedPrompter prompter;
    flash2pos(false, table, makeImage({{1, 1, 14, 1, 0, 0, 100}, {2, 1, 14, 2, 0, 0, 200}}, 16), prompter);
    ASSERT_EQ(table.rows.size(), 2u);
    EXPECT_EQ(text(table.rows[1]["DATE"]), "02.01.2014");
    EXPECT_DOUBLE_EQ(number(table.rows[1]["P"]), 2.0);
}

struct AppendCase {
    const char* name;
    std::vector<std::pair<std::string, std::string>> existing;
    std::vector<StoredTest> archive;
    size_t appended;
    double firstNumber;
};

TEST(Flash2pos, AppendSkipsRecordsUpToTheLastRow)
{
    const StoredTest at0900{5, 3, 14, 9, 0, 0}, at1000{5, 3, 14, 10, 0, 0}, at1001{5, 3, 14, 10, 0, 1},
        lateDay{4, 3, 14, 23, 59, 59};
    const AppendCase cases[] = {
        {"one_newer", {{"05.03.2014", "10:00:00"}}, {at0900, at1000, at1001}, 1, 3},
        {"nothing_newer", {{"05.03.2014", "10:00:00"}}, {at0900, at1000}, 0, 0},
        {"empty_table_takes_all", {}, {at0900, at1000}, 2, 1},
        {"newer_then_older_both_kept", {{"05.03.2014", "09:30:00"}}, {at0900, at1000, at0900}, 2, 2},
        {"date_compared_with_time", {{"05.03.2014", "00:00:00"}}, {lateDay, at0900}, 1, 2},
        {"only_last_row_counts", {{"06.03.2014", "00:00:00"}, {"05.03.2014", "09:30:00"}}, {at0900, at1000}, 1, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        MemoryCursor table;
        for (const auto& [d, t] : c.existing)
            table.addDated(d, t);
        ScriptedPrompter prompter;
        flash2pos(true, table, makeImage(c.archive), prompter);
        ASSERT_EQ(table.rows.size(), c.existing.size() + c.appended);
        if (c.appended) {
            EXPECT_EQ(number(table.rows[c.existing.size()]["N"]), c.firstNumber);
        }
        ASSERT_EQ(prompter.messages.size(), 1u);
        EXPECT_EQ(prompter.messageLines()[0], "Дополнение: Добавлено записей: " + std::to_string(c.appended));
        EXPECT_EQ(prompter.messages[0].icon, MessageIcon::Information);
    }
}

TEST(Flash2pos, EmptyArchive)
{
    for (bool append : {false, true}) {
        SCOPED_TRACE(append);
        MemoryCursor table;
        ScriptedPrompter prompter;
        flash2pos(append, table, makeImage({}), prompter);
        EXPECT_TRUE(table.rows.empty());
        std::vector<std::string> expected{"Ошибка: Архив пуст !"};
        if (append)
            expected.push_back("Дополнение: Добавлено записей: 0");
        EXPECT_EQ(prompter.messageLines(), expected);
        EXPECT_EQ(prompter.messages[0].icon, MessageIcon::Error);
    }
}

// The last row's moment is read whether or not the archive has records, so
// an empty archive after such a row does not pass for "nothing new".
TEST(Flash2pos, InvalidLastRowStopsBeforeAnyRowIsAdded)
{
    const struct {
        const char* name;
        std::vector<StoredTest> archive;
        std::vector<std::string> messages;
    } cases[] = {
        {"one record", {{5, 3, 14, 9, 0, 0}}, {}},
        {"empty archive", {}, {"Ошибка: Архив пуст !"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        MemoryCursor table;
        table.addDated("31.02.2014", "10:00:00");
        ScriptedPrompter prompter;
        try {
            flash2pos(true, table, makeImage(c.archive), prompter);
            FAIL() << "no error";
        } catch (const Error& e) {
            EXPECT_STREQ(e.what(), "'31.02.2014 10:00:00' is not a valid date and time");
        }
        EXPECT_EQ(table.rows.size(), 1u);
        EXPECT_EQ(table.appendCalls, 0);
        EXPECT_EQ(prompter.messageLines(), c.messages);
    }
}

TEST(Flash2pos, DamagedImageStopsBeforeAnyRowIsAdded)
{
    struct Case {
        const char* name;
        size_t decoded;
        int count, size;
        const char* text;
    } cases[] = {
        {"no_header", 3, 1, 11, "Архив поврежден: принято 3 байта, нет заголовка архива !"},
        {"one_byte", 1, 1, 11, "Архив поврежден: принято 1 байт, нет заголовка архива !"},
        {"nothing_decoded", 0, 1, 11, "Архив поврежден: принято 0 байт, нет заголовка архива !"},
        {"record_size_zero", 100, 2, 0, "Архив поврежден: размер записи 0 байт !"},
        {"record_size_three", 100, 2, 3, "Архив поврежден: размер записи 3 байта !"},
        {"record_size_ten", 100, 2, 10, "Архив поврежден: размер записи 10 байт !"},
        {"records_past_data", 25, 2, 11, "Архив поврежден: 2 записи по 11 байт не умещаются в 25 принятых байт !"},
        {"one_record_past_data", 10, 1, 11, "Архив поврежден: 1 запись по 11 байт не умещается в 10 принятых байт !"},
        {"twenty_one_past_data", 22, 21, 21,
         "Архив поврежден: 21 запись по 21 байту не умещается в 22 принятых байта !"},
        {"records_past_image", 65536, 65535, 11,
         "Архив поврежден: 65535 записей по 11 байт не умещаются в 65536 принятых байт !"},
    };
    for (const auto& c : cases) {
        for (bool append : {false, true}) {
            SCOPED_TRACE(std::string(c.name) + (append ? " append" : " new"));
            ArchiveImage image = makeImage({{5, 3, 14, 9, 0, 0}, {5, 3, 14, 10, 0, 0}});
            image.bytes[0] = uint8_t(c.count);
            image.bytes[1] = uint8_t(c.count >> 8);
            image.bytes[2] = uint8_t(c.size);
            image.bytes[3] = uint8_t(c.size >> 8);
            image.decodedLength = c.decoded;
            MemoryCursor table;
            ScriptedPrompter prompter;
            try {
                flash2pos(append, table, image, prompter);
                FAIL() << "no error";
            } catch (const Error& e) {
                EXPECT_STREQ(e.what(), c.text);
            }
            EXPECT_EQ(table.appendCalls, 0);
        }
    }
}

TEST(Flash2pos, ClosedTableDoesNothing)
{
    MemoryCursor table;
    table.active = false;
    ScriptedPrompter prompter;
    flash2pos(true, table, makeImage({}), prompter);
    EXPECT_TRUE(prompter.messages.empty());
}
