#include "app/journaltexts.h"

#include "journal/moment.h"
#include "records/error.h"
#include "records/pathparts.h"
#include "records/plural.h"

#include <charconv>

namespace zent5::journaltext {
namespace {

std::string decimal(uint64_t n)
{
    char digits[24];
    return std::string(digits, std::to_chars(digits, digits + sizeof digits, n).ptr);
}

std::string_view trimmed(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

// The digits of one part of the date, `minDigits` to `maxDigits` of them.
bool readPart(std::string_view part, size_t minDigits, size_t maxDigits, unsigned& value)
{
    if (part.size() < minDigits || part.size() > maxDigits)
        return false;
    for (char c : part)
        if (c < '0' || c > '9')
            return false;
    value = 0;
    for (char c : part)
        value = value * 10 + unsigned(c - '0');
    return true;
}

} // namespace

std::string actionText(journal::TableAction action)
{
    return action == journal::TableAction::Append ? "Дополнение" : "Создание";
}

EntryLine entryLine(const journal::EntryInfo& entry)
{
    EntryLine line;
    line.moment = journal::shownText(entry.download.moment);
    line.serial = decimal(entry.serialNumber);
    line.version = entry.versionText;
    line.records = decimal(entry.recordCount);
    line.action = actionText(entry.download.action);
    line.table = splitPath(entry.download.tablePath).fileName;
    line.tablePath = entry.download.tablePath;
    return line;
}

InstrumentLine instrumentLine(const journal::Instrument& instrument)
{
    InstrumentLine line;
    line.serial = decimal(instrument.key.serialNumber);
    line.model = decimal(instrument.key.model);
    line.version = instrument.versionText;
    line.firstDownload = journal::shownText(instrument.firstDownload);
    line.lastDownload = journal::shownText(instrument.lastDownload);
    line.downloads = decimal(instrument.downloads);
    if (instrument.verificationDue)
        line.dueDate = journal::shownDayText(*instrument.verificationDue);
    return line;
}

std::string problemsText(const std::vector<journal::Problem>& problems, size_t shown)
{
    if (problems.empty())
        return {};
    std::string text = "Не удалось прочитать " + counted(problems.size(), "файл", "файла", "файлов") +
                       " в папке журнала:";
    for (size_t i = 0; i < problems.size() && i < shown; ++i)
        text += "\n" + problems[i].fileName + ": " + problems[i].text;
    if (problems.size() > shown)
        text += "\nи ещё " + counted(problems.size() - shown, "файл", "файла", "файлов");
    return text;
}

std::optional<journal::Day> parseDueDate(std::string_view typed)
{
    const std::string_view text = trimmed(typed);
    if (text.empty())
        return std::nullopt;
    const size_t first = text.find('.');
    const size_t second = first == std::string_view::npos ? first : text.find('.', first + 1);
    unsigned day = 0, month = 0, year = 0;
    const bool read = second != std::string_view::npos && readPart(text.substr(0, first), 1, 2, day) &&
                      readPart(text.substr(first + 1, second - first - 1), 1, 2, month) &&
                      readPart(text.substr(second + 1), 4, 4, year);
    const journal::Day due{std::chrono::year(int(year)), std::chrono::month(month), std::chrono::day(day)};
    if (!read || year < 1 || !due.ok())
        throw Error("Неверная дата поверки «" + std::string(text) + "»: введите дату в виде дд.мм.гггг");
    return due;
}

} // namespace zent5::journaltext
