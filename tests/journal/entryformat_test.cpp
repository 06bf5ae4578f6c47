#include "journaltestsupport.h"

#include "export/biffbytes.h"
#include "journal/crc32.h"
#include "journal/entryformat.h"
#include "records/error.h"
#include "records/lebytes.h"

#include <functional>

using namespace zent5;
using namespace zent5::journal;
using zent5::testing::hex;
using zent5::testing::sameBytes;

namespace {

// One append from instrument 321 at 2024-03-05 10:00:00 UTC (13:00 Moscow),
// three rows, verification overdue, a four-byte image. The checksum was
// worked out with Python's zlib.crc32.
const char* const kSmallEntryHex =
    "5A 45 4E 54 35 4A 4E 4C"              // "ZENT5JNL"
    "01 00"                                // format version 1
    "4B 00 00 00"                          // 75 bytes in all
    "20 ED E6 65 00 00 00 00"              // 1709632800 s
    "30 2A 00 00"                          // UTC+3:00
    "01 19 41 01"                          // kind 1, model 25, serial number 321
    "02 02"                                // append, overdue
    "03 00 00 00"                          // three rows added
    "08 00 31 30 2E 31 30 2E 31 34"        // "10.10.14"
    "08 00 5C 5C 2E 5C 43 4F 4D 31"        // "\\.\COM1"
    "05 00 D1 82 2E 64 62"                 // "т.db"
    "04 00 00 00 01 00 0B 00"              // image: one record of 11 bytes (header only)
    "CA 02 F0 27";                         // CRC-32

Entry smallEntry()
{
    Entry e;
    e.info.kind = 1;
    e.info.model = 25;
    e.info.serialNumber = 321;
    e.info.versionText = "10.10.14";
    e.info.download.moment = {1709632800, 3 * 3600};
    e.info.download.portName = "\\\\.\\COM1";
    e.info.download.action = TableAction::Append;
    e.info.download.tablePath = "т.db";
    e.info.download.rowsAdded = 3;
    e.info.download.verification = Verification::Overdue;
    e.image = {0x01, 0x00, 0x0B, 0x00};
    return e;
}

void expectSameEntry(const Entry& a, const Entry& b)
{
    EXPECT_EQ(a.info.kind, b.info.kind);
    EXPECT_EQ(a.info.model, b.info.model);
    EXPECT_EQ(a.info.serialNumber, b.info.serialNumber);
    EXPECT_EQ(a.info.versionText, b.info.versionText);
    EXPECT_EQ(a.info.download.moment, b.info.download.moment);
    EXPECT_EQ(a.info.download.portName, b.info.download.portName);
    EXPECT_EQ(a.info.download.action, b.info.download.action);
    EXPECT_EQ(a.info.download.tablePath, b.info.download.tablePath);
    EXPECT_EQ(a.info.download.rowsAdded, b.info.download.rowsAdded);
    EXPECT_EQ(a.info.download.verification, b.info.download.verification);
    EXPECT_EQ(a.info.imageLength, b.image.size());
    EXPECT_TRUE(a.image == b.image);
}

std::string decodeError(const std::vector<uint8_t>& bytes)
{
    try {
        decodeEntry(bytes.data(), bytes.size());
    } catch (const Error& e) {
        return e.what();
    }
    return "decoded";
}

// After a change inside the checked bytes, the checksum made right again:
// what the reader finds past the checksum.
void rechecksum(std::vector<uint8_t>& bytes)
{
    le::put32(bytes.data() + bytes.size() - 4, crc32(bytes.data(), bytes.size() - 4));
}

} // namespace

TEST(EntryFormat, SmallEntryExactBytes)
{
    EXPECT_TRUE(sameBytes(encodeEntry(smallEntry()), hex(kSmallEntryHex)));
}

TEST(EntryFormat, ReadsTheSmallEntryBack)
{
    const std::vector<uint8_t> bytes = hex(kSmallEntryHex);
    const Entry e = decodeEntry(bytes.data(), bytes.size());
    expectSameEntry(e, smallEntry());
    EXPECT_EQ(e.info.recordCount, 1);
    EXPECT_EQ(e.info.id, "");
}

TEST(EntryFormat, FullImageAndLongTextsRoundTripWithTheirExactSize)
{
    Entry e = zent5::testing::sampleEntry(65535, zent5::testing::kMarch5, 4095);
    e.image.resize(ArchiveImage::kCapacity, 0xA5);
    e.info.imageLength = uint32_t(e.image.size());
    e.info.download.tablePath = std::string(65535, 'x');
    e.info.download.portName = "/dev/serial/by-id/usb-Прибор,\"один\"";
    e.info.download.verification = Verification::InDate;
    e.info.download.moment = {253402300799, -(12 * 3600)};
    const std::vector<uint8_t> bytes = encodeEntry(e);
    const size_t fixed = 36 + 4 + 4; // fields before the texts, image length, checksum
    EXPECT_EQ(bytes.size(), fixed + 2 + 8 + 2 + e.info.download.portName.size() + 2 + 65535 + 65536);
    expectSameEntry(decodeEntry(bytes.data(), bytes.size()), e);
}

TEST(EntryFormat, WhatCannotBeReadBackIsNotWritten)
{
    const struct {
        const char* name;
        std::function<void(Entry&)> change;
        const char* error;
    } cases[] = {
        {"image past the archive's size", [](Entry& e) { e.image.resize(65537); },
         "Образ архива длиннее 65536 байт не помещается в запись журнала"},
        {"text past its length field", [](Entry& e) { e.info.download.tablePath.assign(65536, 'x'); },
         "Текст длиннее 65535 байт не помещается в запись журнала"},
        {"moment before 1970", [](Entry& e) { e.info.download.moment.utcSeconds = -1; },
         "Время загрузки вне 1970–9999 годов не помещается в запись журнала: 1969-12-31T23:59:59Z"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Entry e = smallEntry();
        c.change(e);
        try {
            encodeEntry(e);
            ADD_FAILURE() << "encoded";
        } catch (const Error& error) {
            EXPECT_STREQ(error.what(), c.error);
        }
    }
}

TEST(EntryFormat, DamageIsToldApart)
{
    using Bytes = std::vector<uint8_t>;
    const struct {
        const char* name;
        std::function<void(Bytes&)> damage;
        const char* error;
    } cases[] = {
        {"empty file", [](Bytes& b) { b.clear(); }, "Не запись журнала: файл другого вида"},
        {"another kind of file", [](Bytes& b) { b = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0}; },
         "Не запись журнала: файл другого вида"},
        {"text file", [](Bytes& b) { b.assign({'z', 'e', 'n', 't'}); }, "Не запись журнала: файл другого вида"},
        {"cut inside the signature", [](Bytes& b) { b.resize(5); }, "Запись журнала обрезана: 5 байт"},
        {"cut inside the length", [](Bytes& b) { b.resize(12); }, "Запись журнала обрезана: 12 байт"},
        {"cut inside the fields", [](Bytes& b) { b.resize(40); }, "Запись журнала обрезана: 40 байт из 75"},
        {"last byte missing", [](Bytes& b) { b.pop_back(); }, "Запись журнала обрезана: 74 байт из 75"},
        {"a byte after the end", [](Bytes& b) { b.push_back(0); },
         "Запись журнала повреждена: за концом записи ещё 1 байт"},
        {"later format", [](Bytes& b) { b[8] = 2; }, "Запись журнала в формате версии 2, программа читает версию 1"},
        {"bit flipped in the image", [](Bytes& b) { b[69] ^= 0x10; },
         "Запись журнала повреждена: контрольная сумма не сходится"},
        {"bit flipped in the serial number", [](Bytes& b) { b[28] ^= 0x01; },
         "Запись журнала повреждена: контрольная сумма не сходится"},
        {"bit flipped in the checksum", [](Bytes& b) { b[74] ^= 0x80; },
         "Запись журнала повреждена: контрольная сумма не сходится"},
        {"length below the fixed fields",
         [](Bytes& b) {
             b.resize(17);
             le::put32(b.data() + 10, 17);
         },
         "Запись журнала повреждена: длина записи 17 байт"},
        // Past a right checksum: what only a faulty writer could make.
        {"unknown action",
         [](Bytes& b) {
             b[30] = 3;
             rechecksum(b);
         },
         "Запись журнала повреждена: неизвестное действие 3"},
        {"unknown verification",
         [](Bytes& b) {
             b[31] = 7;
             rechecksum(b);
         },
         "Запись журнала повреждена: неизвестное состояние поверки 7"},
        {"moment past 9999",
         [](Bytes& b) {
             b[21] = 0x7F;
             rechecksum(b);
         },
         "Запись журнала повреждена: время загрузки вне 1970–9999 годов"},
        {"offset of more than a day",
         [](Bytes& b) {
             le::put32(b.data() + 22, 24 * 3600 + 1);
             rechecksum(b);
         },
         "Запись журнала повреждена: время загрузки вне 1970–9999 годов"},
        {"text running past the end",
         [](Bytes& b) {
             b[56] = 0xFF;
             rechecksum(b);
         },
         "Запись журнала повреждена: поля не сходятся с длиной файла"},
        {"image longer than the archive",
         [](Bytes& b) {
             le::put32(b.data() + 63, 65537);
             rechecksum(b);
         },
         "Запись журнала повреждена: образ архива 65537 байт, больше 65536"},
        {"image shorter than its bytes",
         [](Bytes& b) {
             le::put32(b.data() + 63, 3);
             rechecksum(b);
         },
         "Запись журнала повреждена: поля не сходятся с длиной файла"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes bytes = hex(kSmallEntryHex);
        c.damage(bytes);
        EXPECT_EQ(decodeError(bytes), c.error);
    }
}
