#include "journal/entryformat.h"

#include "journal/crc32.h"
#include "records/error.h"
#include "records/lebytes.h"

#include <cstring>
#include <string>

namespace zent5::journal {
namespace {

// Entry file, version 1 (little-endian):
//   0  8    "ZENT5JNL"
//   8  u16  format version
//  10  u32  length of the whole file in bytes
//  14  i64  moment, seconds since 1970-01-01 00:00:00 UTC
//  22  i32  offset of the local clock from UTC then, seconds
//  26  u8   instrument kind
//  27  u8   instrument model
//  28  u16  serial number
//  30  u8   what was done: 1 new table, 2 append
//  31  u8   verification: 0 no due date, 1 in date, 2 overdue
//  32  u32  rows added to the table
//  36  u16 n, n bytes  version text
//  ..  u16 n, n bytes  port name
//  ..  u16 n, n bytes  table path (UTF-8)
//  ..  u32 n, n bytes  archive image as decoded, n <= 65536
//  end-4  u32  CRC-32 of every byte before it
constexpr char kMagic[8] = {'Z', 'E', 'N', 'T', '5', 'J', 'N', 'L'};
constexpr size_t kMagicSize = sizeof kMagic;
constexpr size_t kLengthOffset = 10;
constexpr size_t kPreambleSize = 14; // magic, version, length
constexpr size_t kChecksumSize = 4;

const char* const kDamaged = "Запись журнала повреждена: поля не сходятся с длиной файла";

std::string number(uint64_t n) { return std::to_string(n); }

[[noreturn]] void damaged(const std::string& what) { throw Error("Запись журнала повреждена: " + what); }

// A text field: its length as u16, then its bytes.
void putText(LeBytes& w, std::string_view s)
{
    if (s.size() > 0xFFFF)
        throw Error("Текст длиннее 65535 байт не помещается в запись журнала");
    w.u16(uint16_t(s.size()));
    w.bytes(s.data(), s.size());
}

std::string readText(LeReader& r)
{
    const size_t n = r.u16();
    const uint8_t* p = r.raw(n);
    return std::string(reinterpret_cast<const char*>(p), n);
}

} // namespace

std::vector<uint8_t> encodeEntry(const Entry& entry)
{
    const EntryInfo& info = entry.info;
    const Download& d = info.download;
    if (entry.image.size() > ArchiveImage::kCapacity)
        throw Error("Образ архива длиннее " + number(ArchiveImage::kCapacity) + " байт не помещается в запись журнала");
    if (!isClockMoment(d.moment))
        throw Error("Время загрузки вне 1970–9999 годов не помещается в запись журнала: " + utcText(d.moment));
    LeBytes w;
    w.bytes(kMagic, kMagicSize);
    w.u16(kEntryFormatVersion);
    w.u32(0); // the length, known at the end
    w.i64(d.moment.utcSeconds);
    w.i32(d.moment.utcOffsetSeconds);
    w.u8(info.kind);
    w.u8(info.model);
    w.u16(info.serialNumber);
    w.u8(uint8_t(d.action));
    w.u8(uint8_t(d.verification));
    w.u32(d.rowsAdded);
    putText(w, info.versionText);
    putText(w, d.portName);
    putText(w, d.tablePath);
    w.u32(uint32_t(entry.image.size()));
    w.bytes(entry.image.data(), entry.image.size());
    w.patchU32(kLengthOffset, uint32_t(w.size() + kChecksumSize));
    w.u32(crc32(w.data(), w.size()));
    return w.take();
}

Entry decodeEntry(const uint8_t* data, size_t size)
{
    const size_t magicSeen = std::min(size, kMagicSize);
    if (size == 0 || std::memcmp(data, kMagic, magicSeen) != 0)
        throw Error("Не запись журнала: файл другого вида");
    if (size < kPreambleSize)
        throw Error("Запись журнала обрезана: " + number(size) + " байт");
    const uint16_t version = le::get16(data + kMagicSize);
    if (version != kEntryFormatVersion)
        throw Error("Запись журнала в формате версии " + number(version) + ", программа читает версию " +
                    number(kEntryFormatVersion));
    const uint32_t length = le::get32(data + kLengthOffset);
    if (size < length)
        throw Error("Запись журнала обрезана: " + number(size) + " байт из " + number(length));
    if (size > length)
        damaged("за концом записи ещё " + number(size - length) + " байт");
    if (length < kPreambleSize + kChecksumSize)
        damaged("длина записи " + number(length) + " байт");
    const size_t body = length - kChecksumSize;
    if (crc32(data, body) != le::get32(data + body))
        damaged("контрольная сумма не сходится");

    LeReader r(data + kPreambleSize, body - kPreambleSize, kDamaged);
    Entry entry;
    EntryInfo& info = entry.info;
    Download& d = info.download;
    d.moment.utcSeconds = r.i64();
    d.moment.utcOffsetSeconds = r.i32();
    if (!isClockMoment(d.moment))
        damaged("время загрузки вне 1970–9999 годов");
    info.kind = r.u8();
    info.model = r.u8();
    info.serialNumber = r.u16();
    const uint8_t action = r.u8();
    if (action != uint8_t(TableAction::NewTable) && action != uint8_t(TableAction::Append))
        damaged("неизвестное действие " + number(action));
    d.action = TableAction(action);
    const uint8_t verification = r.u8();
    if (verification > uint8_t(Verification::Overdue))
        damaged("неизвестное состояние поверки " + number(verification));
    d.verification = Verification(verification);
    d.rowsAdded = r.u32();
    info.versionText = readText(r);
    d.portName = readText(r);
    d.tablePath = readText(r);
    const uint32_t imageLength = r.u32();
    if (imageLength > ArchiveImage::kCapacity)
        damaged("образ архива " + number(imageLength) + " байт, больше " + number(ArchiveImage::kCapacity));
    const uint8_t* image = r.raw(imageLength);
    if (r.remaining() != 0)
        r.damaged();
    entry.image.assign(image, image + imageLength);
    info.imageLength = imageLength;
    info.recordCount = recordCountOf(entry.image);
    return entry;
}

} // namespace zent5::journal
