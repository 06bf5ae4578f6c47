#pragma once

#include "journal/instrumentregister.h"
#include "journal/journal.h"
#include "journal/journalentry.h"
#include "journal/verificationdates.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// What the window "Журнал загрузок" shows, as text: a line of the list of
// downloads, a line of the register of the instruments, the report of the
// files that are no entries, and the due date as the user types it.
namespace zent5::journaltext {

// "Создание" for a download taken into a new table, "Дополнение" for one
// appended to the open table.
std::string actionText(journal::TableAction action);

// The columns of the list of downloads, left to right.
inline constexpr const char* kEntryHeadings[] = {"Дата и время", "Заводской №", "Версия ПО", "Записей",
                                                 "Действие", "Таблица"};
struct EntryLine {
    std::string moment;   // "05.03.2024 13:00:00", the clock of the download
    std::string serial;   // "4242"
    std::string version;  // "10.10.14"
    std::string records;  // the archive's record count
    std::string action;
    std::string table;    // the table's file name; the whole path is tablePath
    std::string tablePath;
};
EntryLine entryLine(const journal::EntryInfo& entry);

// The columns of the register, left to right.
inline constexpr const char* kInstrumentHeadings[] = {"Заводской №",       "Модель",  "Версия ПО",
                                                      "Первая загрузка",   "Последняя загрузка",
                                                      "Загрузок",          "Поверка до"};
struct InstrumentLine {
    std::string serial;
    std::string model;   // the model byte the instrument reports, "25"
    std::string version; // of the latest download
    std::string firstDownload;
    std::string lastDownload;
    std::string downloads;
    std::string dueDate; // "01.12.2026", or empty
};
InstrumentLine instrumentLine(const journal::Instrument& instrument);

// The files of the journal's folder that are no readable entries, one line
// each ("NAME: what is wrong") under a line that counts them; empty when
// there are none. At most `shown` files are named.
std::string problemsText(const std::vector<journal::Problem>& problems, size_t shown = 3);

// The due date typed as "дд.мм.гггг" (the day and month may have one digit;
// blanks around it are ignored); nothing for an empty text, which clears the
// date. Raises "Неверная дата поверки «TEXT»: введите дату в виде
// дд.мм.гггг" for anything else, a day that is not in the calendar among it.
std::optional<journal::Day> parseDueDate(std::string_view typed);

} // namespace zent5::journaltext
