#include "journal/verificationdates.h"

#include "journal/crc32.h"
#include "journal/datafolder.h"
#include "journal/wholefile.h"
#include "records/error.h"
#include "records/lebytes.h"
#include "table/fileio.h"

#include <cerrno>
#include <cstring>
#include <vector>

namespace zent5::journal {
namespace {

// Due dates file, version 1 (little-endian):
//   0  8    "ZENT5DUE"
//   8  u16  format version
//  10  u32  number of instruments n
//  14  n × 7 bytes: u8 model, u16 serial number, u16 year, u8 month, u8 day
//  end-4  u32  CRC-32 of every byte before it
constexpr char kMagic[8] = {'Z', 'E', 'N', 'T', '5', 'D', 'U', 'E'};
constexpr uint16_t kVersion = 1;
constexpr size_t kHeaderSize = 14;
constexpr size_t kInstrumentSize = 7;
constexpr size_t kChecksumSize = 4;
constexpr size_t kMaxInstruments = 65536 * 256; // every model and serial number
constexpr size_t kMaxFileSize = kHeaderSize + kMaxInstruments * kInstrumentSize + kChecksumSize;

bool isWrittenDay(Day day) { return day.ok() && int(day.year()) >= 1 && int(day.year()) <= 9999; }

std::string damagedText(const std::string& path, const std::string& what)
{
    return "Файл сроков поверки " + path + " поврежден: " + what;
}

} // namespace

std::optional<Day> VerificationDates::dueDate(InstrumentKey key) const
{
    const auto it = m_dates.find(key);
    if (it == m_dates.end())
        return std::nullopt;
    return it->second;
}

void VerificationDates::setDueDate(InstrumentKey key, std::optional<Day> due)
{
    if (due && !isWrittenDay(*due))
        throw Error("Неверная дата поверки: " + dayText(*due));
    if (due)
        m_dates[key] = *due;
    else
        m_dates.erase(key);
}

bool verificationPassed(Day due, Day day) { return std::chrono::sys_days(day) > std::chrono::sys_days(due); }

Verification verificationOn(const VerificationDates& dates, InstrumentKey key, Day day)
{
    const std::optional<Day> due = dates.dueDate(key);
    if (!due)
        return Verification::NoDate;
    return verificationPassed(*due, day) ? Verification::Overdue : Verification::InDate;
}

Verification verificationToday(InstrumentKey key)
{
    const std::string path = verificationDatesPath();
    if (path.empty())
        return Verification::NoDate;
    return verificationOn(loadVerificationDates(path), key, localDay(now()));
}

VerificationDates loadVerificationDates(const std::string& path)
{
    std::vector<uint8_t> bytes;
    if (const int error = readWhole(path, kMaxFileSize, bytes); error != 0) {
        if (error == ENOENT)
            return {};
        if (error == EFBIG)
            throw Error(damagedText(path, "файл слишком длинный"));
        throw Error("Не удалось прочитать файл сроков поверки " + path + ": " + fileio::errorText(error));
    }
    if (bytes.size() < kHeaderSize + kChecksumSize || std::memcmp(bytes.data(), kMagic, sizeof kMagic) != 0)
        throw Error(damagedText(path, "файл другого вида"));
    const uint16_t version = le::get16(bytes.data() + 8);
    if (version != kVersion)
        throw Error(damagedText(path, "формат версии " + std::to_string(version)));
    const size_t body = bytes.size() - kChecksumSize;
    if (crc32(bytes.data(), body) != le::get32(bytes.data() + body))
        throw Error(damagedText(path, "контрольная сумма не сходится"));
    const uint32_t count = le::get32(bytes.data() + 10);
    if (count > kMaxInstruments || kHeaderSize + size_t(count) * kInstrumentSize != body)
        throw Error(damagedText(path, "число приборов не сходится с длиной файла"));

    LeReader r(bytes.data() + kHeaderSize, body - kHeaderSize, damagedText(path, "обрезан"));
    VerificationDates dates;
    for (uint32_t i = 0; i < count; ++i) {
        InstrumentKey key;
        key.model = r.u8();
        key.serialNumber = r.u16();
        const int year = r.u16();
        const unsigned month = r.u8();
        const unsigned day = r.u8();
        const Day due{std::chrono::year(year), std::chrono::month(month), std::chrono::day(day)};
        if (!isWrittenDay(due))
            throw Error(damagedText(path, "дата " + dayText(due)));
        dates.setDueDate(key, due);
    }
    return dates;
}

void saveVerificationDates(const std::string& path, const VerificationDates& dates)
{
    LeBytes w;
    w.bytes(kMagic, sizeof kMagic);
    w.u16(kVersion);
    w.u32(uint32_t(dates.all().size()));
    for (const auto& [key, due] : dates.all()) {
        w.u8(key.model);
        w.u16(key.serialNumber);
        w.u16(uint16_t(int(due.year())));
        w.u8(uint8_t(unsigned(due.month())));
        w.u8(uint8_t(unsigned(due.day())));
    }
    w.u32(crc32(w.data(), w.size()));

    int error = 0;
    const size_t slash = path.rfind('/');
    if (slash != std::string::npos && slash > 0 && !makeFolders(path.substr(0, slash), error))
        throw Error("Не удалось записать файл сроков поверки " + path + ": " + fileio::errorText(error));
    if (const int e = writeBeside(path, w.bytes(), Target::Replace); e != 0)
        throw Error("Не удалось записать файл сроков поверки " + path + ": " + fileio::errorText(e));
}

std::string verificationDatesPath()
{
    const std::string data = dataFolder();
    return data.empty() ? data : pathIn(data, "instruments.dat");
}

} // namespace zent5::journal
