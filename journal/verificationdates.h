#pragma once

#include "journal/journalentry.h"

#include <chrono>
#include <compare>
#include <cstdint>
#include <map>
#include <optional>
#include <string>

namespace zent5::journal {

// An instrument as the journal tells instruments apart.
struct InstrumentKey {
    uint8_t model = 0;
    uint16_t serialNumber = 0;

    friend auto operator<=>(const InstrumentKey&, const InstrumentKey&) = default;
};

using Day = std::chrono::year_month_day;

// The verification due dates ("Поверка до") the user entered, one per instrument.
class VerificationDates {
public:
    std::optional<Day> dueDate(InstrumentKey key) const;
    // Nothing removes the instrument's date. Raises "Неверная дата
    // поверки: ..." for a day that is not a calendar day of the years 1 to 9999.
    void setDueDate(InstrumentKey key, std::optional<Day> due);
    const std::map<InstrumentKey, Day>& all() const { return m_dates; }

private:
    std::map<InstrumentKey, Day> m_dates;
};

// Whether the verification has run out on the day: the instrument is
// verified through its due date and overdue from the day after.
bool verificationPassed(Day due, Day day);
// The verification of an instrument as it stands on a day.
Verification verificationOn(const VerificationDates& dates, InstrumentKey key, Day day);

// The verification of an instrument on the local calendar day of now, by
// the dates in the user's data folder (none while that file is absent).
// Raises as loadVerificationDates.
Verification verificationToday(InstrumentKey key);

// The dates kept in the file; none when the file does not exist. Raises an
// Error naming the file when it cannot be read or is damaged.
VerificationDates loadVerificationDates(const std::string& path);
// Writes the dates beside the file and puts them in its place, making the
// folder when needed. Raises an Error naming the file when that fails; the
// file is then as it was.
void saveVerificationDates(const std::string& path, const VerificationDates& dates);

// dataFolder()/instruments.dat, or empty.
std::string verificationDatesPath();

} // namespace zent5::journal
