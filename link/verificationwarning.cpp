#include "link/verificationwarning.h"

#include "journal/datafolder.h"
#include "journal/moment.h"

#include <charconv>
#include <exception>

namespace zent5 {

std::string verification_warning(const ArchiveImage& identification, const std::string& datesPath,
                                 journal::Day today)
{
    if (datesPath.empty())
        return {};
    journal::VerificationDates dates;
    try {
        dates = journal::loadVerificationDates(datesPath);
    } catch (const std::exception&) {
        return kDatesUnreadText;
    }
    const journal::InstrumentKey key{identification.model, identification.serialNumber};
    if (journal::verificationOn(dates, key, today) != journal::Verification::Overdue)
        return {};
    char digits[8];
    const std::string serial(digits, std::to_chars(digits, digits + sizeof digits, key.serialNumber).ptr);
    return "Поверка прибора № " + serial + " просрочена (до " + journal::shownDayText(*dates.dueDate(key)) + ")";
}

std::string verification_warning(const ArchiveImage& identification)
{
    return verification_warning(identification, journal::verificationDatesPath(),
                                journal::localDay(journal::now()));
}

} // namespace zent5
