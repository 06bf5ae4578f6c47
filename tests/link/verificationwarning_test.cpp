// The warning line of the download window for an instrument whose
// verification has run out.
#include "link/verificationwarning.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fstream>

namespace zent5 {
namespace {

using journal::Day;

Day dayOf(int y, unsigned m, unsigned d) { return Day{std::chrono::year(y), std::chrono::month(m), std::chrono::day(d)}; }

TEST(VerificationWarning, OnlyFromTheDayAfterTheDueDateOfThatInstrument)
{
    QTemporaryDir dir;
    const std::string file = dir.path().toStdString() + "/instruments.dat";
    journal::VerificationDates dates;
    dates.setDueDate({25, 4242}, dayOf(2026, 12, 1));
    dates.setDueDate({24, 77}, dayOf(2020, 1, 1));
    journal::saveVerificationDates(file, dates);

    ArchiveImage id;
    id.kind = 1;
    const struct {
        const char* name;
        uint8_t model;
        uint16_t serial;
        Day today;
        std::string line;
    } cases[] = {
        {"the day after", 25, 4242, dayOf(2026, 12, 2), "Поверка прибора № 4242 просрочена (до 01.12.2026)"},
        {"a year after", 25, 4242, dayOf(2027, 12, 1), "Поверка прибора № 4242 просрочена (до 01.12.2026)"},
        {"on the due date", 25, 4242, dayOf(2026, 12, 1), ""},
        {"before it", 25, 4242, dayOf(2026, 11, 30), ""},
        {"the same number of another model", 24, 4242, dayOf(2030, 1, 1), ""},
        {"an instrument without a date", 25, 1, dayOf(2030, 1, 1), ""},
        {"the other instrument", 24, 77, dayOf(2020, 1, 2), "Поверка прибора № 77 просрочена (до 01.01.2020)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        id.model = c.model;
        id.serialNumber = c.serial;
        EXPECT_EQ(verification_warning(id, file, c.today), c.line);
    }
}

TEST(VerificationWarning, DatesThatCannotBeReadAreSaidSoAndNoDatesNothing)
{
    QTemporaryDir dir;
    const std::string file = dir.path().toStdString() + "/instruments.dat";
    ArchiveImage id;
    id.kind = 1;
    id.model = 25;
    id.serialNumber = 4242;
    const Day today = dayOf(2026, 12, 2);

    EXPECT_EQ(verification_warning(id, file, today), "") << "no file yet";
    EXPECT_EQ(verification_warning(id, "", today), "") << "no data folder";
    std::ofstream(file) << "ZENT5DUE but damaged";
    EXPECT_EQ(verification_warning(id, file, today), "Не удалось прочитать сроки поверки приборов");
}

} // namespace
} // namespace zent5
