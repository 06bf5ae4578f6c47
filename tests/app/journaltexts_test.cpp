// The texts of the window "Журнал загрузок" that are plain rules: the due
// date as typed, and the report of the files that are no entries.
#include "app/journaltexts.h"
#include "records/error.h"

#include <gtest/gtest.h>

namespace zent5 {
namespace {

using journal::Day;
using std::chrono::day;
using std::chrono::month;
using std::chrono::year;

Day dayOf(int y, unsigned m, unsigned d) { return Day{year(y), month(m), day(d)}; }

std::string errorOf(std::string_view typed)
{
    try {
        journaltext::parseDueDate(typed);
    } catch (const Error& e) {
        return e.what();
    }
    return "no error";
}

TEST(DueDateTyped, DayMonthYearWithDots)
{
    const struct {
        const char* typed;
        std::optional<Day> due;
    } cases[] = {
        {"01.12.2026", dayOf(2026, 12, 1)},
        {"1.2.2027", dayOf(2027, 2, 1)},
        {"  29.02.2028\t", dayOf(2028, 2, 29)},
        {"31.12.9999", dayOf(9999, 12, 31)},
        {"", std::nullopt},
        {"   ", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        EXPECT_EQ(journaltext::parseDueDate(c.typed), c.due);
    }
}

TEST(DueDateTyped, AnythingElseIsRefusedWithTheTextAsTyped)
{
    for (const char* typed : {"31.02.2026", "29.02.2027", "00.01.2026", "01.13.2026", "01.12.26", "01.12.02026",
                              "01/12/2026", "01.12.2026.", "1.12", "дд.мм.гггг", "01.12.2026 г", "01..2026",
                              "01.12.0000", "+1.12.2026"}) {
        SCOPED_TRACE(typed);
        EXPECT_EQ(errorOf(typed),
                  std::string("Неверная дата поверки «") + typed + "»: введите дату в виде дд.мм.гггг");
    }
    EXPECT_EQ(errorOf("  1.13.2026 "), "Неверная дата поверки «1.13.2026»: введите дату в виде дд.мм.гггг");
}

TEST(JournalProblemsText, CountsTheFilesAndNamesTheFirstOnes)
{
    auto problems = [](size_t n) {
        std::vector<journal::Problem> out;
        for (size_t i = 0; i < n; ++i)
            out.push_back({"f" + std::to_string(i), "плохо"});
        return out;
    };
    EXPECT_EQ(journaltext::problemsText({}), "");
    EXPECT_EQ(journaltext::problemsText(problems(1)), "Не удалось прочитать 1 файл в папке журнала:\nf0: плохо");
    EXPECT_EQ(journaltext::problemsText(problems(3)),
              "Не удалось прочитать 3 файла в папке журнала:\nf0: плохо\nf1: плохо\nf2: плохо");
    EXPECT_EQ(journaltext::problemsText(problems(5)),
              "Не удалось прочитать 5 файлов в папке журнала:\nf0: плохо\nf1: плохо\nf2: плохо\nи ещё 2 файла");
    EXPECT_EQ(journaltext::problemsText(problems(4)),
              "Не удалось прочитать 4 файла в папке журнала:\nf0: плохо\nf1: плохо\nf2: плохо\nи ещё 1 файл");
}

} // namespace
} // namespace zent5
