#include "archivedecoding.h"

#include "error.h"
#include "lebytes.h"
#include "measurement.h"
#include "plural.h"
#include "printabletext.h"


namespace zent5 {
namespace {

// Archive image layout (little-endian):
//   0  u16  record count
//   2  u16  record size in bytes
//   4  ...  records, back to back
// Instrument record:
//   0 seconds, 1 minutes, 2 hours, 3 day, 4 month, 5 year after 2000,
//   6 u16 force (0.01 kN), 8 u16 area (0.001 cm²), 10 diameter code;
//   bytes 11 and on are not used.
constexpr size_t kHeaderSize = 4;
constexpr size_t kMinRecordSize = 11;

uint16_t u16At(const ArchiveImage& image, size_t offset)
{
    return le::get16(image.bytes.data() + offset);
}

RawRecord rawRecordAt(const ArchiveImage& image, size_t offset)
{
    RawRecord r;
    r.seconds = image.bytes[offset + 0];
    r.minutes = image.bytes[offset + 1];
    r.hours = image.bytes[offset + 2];
    r.day = image.bytes[offset + 3];
    r.month = image.bytes[offset + 4];
    r.year = image.bytes[offset + 5];
    r.force = u16At(image, offset + 6);
    r.area = u16At(image, offset + 8);
    r.diameterCode = image.bytes[offset + 10];
    return r;
}

int64_t daysFromCivil(int64_t y, int64_t m, int64_t d)
{
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468; // days since 1970-01-01
}

bool isLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int daysInMonth(int y, int m)
{
    static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && isLeap(y) ? 29 : kDays[m - 1];
}

// Reads exactly `count` decimal digits at text[pos].
bool digitsAt(const std::string& text, size_t pos, size_t count, int& value)
{
    if (pos + count > text.size())
        return false;
    value = 0;
    for (size_t i = pos; i < pos + count; ++i) {
        if (text[i] < '0' || text[i] > '9')
            return false;
        value = value * 10 + (text[i] - '0');
    }
    return true;
}

void putRecord(RowCursor& table, const MeasurementRecord& r)
{
    auto number = [](const std::optional<double>& v) -> FieldValue {
        if (v)
            return *v;
        return std::monostate{};
    };
    table.SetFieldValue("N", r.N);
    table.SetFieldValue("DATE", r.DATE);
    table.SetFieldValue("TIME", r.TIME);
    table.SetFieldValue("SERIAL", r.SERIAL);
    table.SetFieldValue("P", r.P);
    table.SetFieldValue("P_KG", r.P_KG);
    table.SetFieldValue("S", number(r.S));
    table.SetFieldValue("S_KG", number(r.S_KG));
    table.SetFieldValue("F", r.F);
    table.SetFieldValue("D", number(r.D));
    table.SetFieldValue("TYPE", r.TYPE);
    table.SetFieldValue("COMMENT", r.COMMENT);
    table.SetFieldValue("F_MM", r.F_MM);
}

} // namespace

int64_t record_key(const std::string& dateText, const std::string& timeText)
{
    int day = 0, month = 0, year = 0, hours = 0, minutes = 0, seconds = 0;
    const bool formed = dateText.size() == 10 && timeText.size() == 8 && digitsAt(dateText, 0, 2, day) &&
                        dateText[2] == '.' && digitsAt(dateText, 3, 2, month) && dateText[5] == '.' &&
                        digitsAt(dateText, 6, 4, year) && digitsAt(timeText, 0, 2, hours) && timeText[2] == ':' &&
                        digitsAt(timeText, 3, 2, minutes) && timeText[5] == ':' && digitsAt(timeText, 6, 2, seconds);
    const bool real = formed && year >= 1 && month >= 1 && month <= 12 && day >= 1 &&
                      day <= daysInMonth(year, month) && hours < 24 && minutes < 60 && seconds < 60;
    if (!real)
        throw Error("'" + printable_text(dateText + " " + timeText) + "' is not a valid date and time");
    // Counted from 31 December of year 0, so 0001-01-01 is day 1.
    const int64_t days = daysFromCivil(year, month, day) - daysFromCivil(0, 12, 31);
    return days * 86400 + hours * 3600 + minutes * 60 + seconds;
}

void check_archive(const ArchiveImage& image)
{
    const size_t decoded = std::min(image.decodedLength, ArchiveImage::kCapacity);
    if (decoded < kHeaderSize)
        throw Error("Архив поврежден: принято " + counted(decoded, "байт", "байта", "байт") +
                    ", нет заголовка архива !");
    const size_t count = u16At(image, 0);
    const size_t recordSize = u16At(image, 2);
    if (count == 0)
        return;
    if (recordSize < kMinRecordSize)
        throw Error("Архив поврежден: размер записи " + counted(recordSize, "байт", "байта", "байт") + " !");
    if (kHeaderSize + count * recordSize > decoded)
        throw Error("Архив поврежден: " + counted(count, "запись", "записи", "записей") + " по " +
                    counted(recordSize, "байту", "байта", "байт") +
                    (plural_form(count) == PluralForm::One ? " не умещается в " : " не умещаются в ") +
                    counted(decoded, "принятый байт", "принятых байта", "принятых байт") + " !");
}

void flash2pos(bool append, RowCursor& table, const ArchiveImage& image, Prompter& prompter)
{
    if (!table.Active())
        return;
    table.Refresh();
    table.Last();

    check_archive(image);
    size_t count = u16At(image, 0);
    const size_t recordSize = u16At(image, 2);
    if (count == 0)
        prompter.message("Ошибка", "Архив пуст !", MessageIcon::Error, MessageButtons::Ok);

    size_t offset = kHeaderSize;
    size_t skipped = 0;
    if (append) {
        // The last row's moment is read also for an empty archive: one that
        // is no real moment stops the append, as it does with records.
        int64_t reference = 0;
        if (table.VisibleCount() > 0)
            reference = record_key(table.FieldText("DATE"), table.FieldText("TIME"));
        size_t i = 0;
        for (; i < count; ++i, offset += recordSize) {
            const RawRecord raw = rawRecordAt(image, offset);
            const int64_t key = record_key(date_text(raw.day, raw.month, raw.year),
                                           time_text(raw.seconds, raw.minutes, raw.hours));
            if (key > reference)
                break;
        }
        skipped = i;
        count -= skipped;
    }

    for (size_t k = 0; k < count; ++k, offset += recordSize) {
        table.Append();
        putRecord(table, deriveRecord(int(skipped + 1 + k), rawRecordAt(image, offset), image.serialNumber,
                                      image.versionText));
        table.Post();
    }

    if (append)
        prompter.message("Дополнение", "Добавлено записей: " + std::to_string(count), MessageIcon::Information,
                         MessageButtons::Ok);
    table.Refresh();
}

} // namespace zent5
