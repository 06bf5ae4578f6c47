// The window "Журнал загрузок" over a journal and due dates of the test's
// own (XDG_DATA_HOME in a temporary folder), made directly where only the
// window is under test and opened from "Сервис" where the command is.
#include "app/journalwindow.h"
#include "app/tform1.h"
#include "journal/datafolder.h"
#include "journal/journal.h"
#include "journal/moment.h"
#include "journal/verificationdates.h"
#include "session/tablesession.h"
#include "table/fileio.h"
#include "tests/app/tablewindow.h"
#include "tests/common/programlocale.h"
#include "tests/common/scopeddatahome.h"
#include "tests/journal/journaltestsupport.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <set>

namespace zent5 {
namespace {

using journal::Day;
using journal::TableAction;
using testing::kMarch5;
using testing::kMoscow;

// The due dates the tests enter lie far ahead, so none of them has passed;
// the day a date passes is tested against the clock's today.
constexpr int64_t kHour = 3600;
constexpr int64_t kDay = 86400;

Day dayOf(int y, unsigned m, unsigned d) { return Day{std::chrono::year(y), std::chrono::month(m), std::chrono::day(d)}; }

std::vector<uint8_t> bytesOf(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

// The cells of a row of a list, joined by " | ".
std::string rowText(const QTableWidget* list, int row)
{
    std::string line;
    for (int c = 0; c < list->columnCount(); ++c) {
        if (c > 0)
            line += " | ";
        if (const QTableWidgetItem* item = list->item(row, c))
            line += item->text().toStdString();
    }
    return line;
}

std::vector<std::string> rowsOf(const QTableWidget* list)
{
    std::vector<std::string> rows;
    for (int r = 0; r < list->rowCount(); ++r)
        rows.push_back(rowText(list, r));
    return rows;
}

std::vector<std::string> headingsOf(const QTableWidget* list)
{
    std::vector<std::string> titles;
    for (int c = 0; c < list->columnCount(); ++c)
        titles.push_back(list->horizontalHeaderItem(c)->text().toStdString());
    return titles;
}

class JournalWindowTest : public testing::TableWindow {
protected:
    ~JournalWindowTest() override { fileio::testhook::reset(); }

    // Keeps a download of `records` tests (one a minute from 05.03.2014
    // 10:00:00) in the journal; its id.
    std::string keep(uint16_t serial, int64_t utcSeconds, int records, TableAction action = TableAction::NewTable,
                     const std::string& table = "/испытания/анкеры.db", const std::string& version = "10.10.14")
    {
        auto image = std::make_unique<ArchiveImage>();
        testing::fillImage(*image, serial, records);
        image->versionText = version;
        journal::Download d;
        d.moment = {utcSeconds, kMoscow};
        d.portName = "\\\\.\\COM1";
        d.action = action;
        d.tablePath = table;
        d.rowsAdded = uint32_t(records);
        journal::Entry entry = journal::makeEntry(*image, d);
        return journal::Journal(data.journalFolder()).add(entry);
    }

    // The three downloads most tests look at: two of the instrument 321, one of 4242.
    void keepThree()
    {
        first = keep(321, kMarch5, 3);
        latest = keep(4242, kMarch5 + kDay, 5, TableAction::Append, "/испытания/May.db");
        second = keep(321, kMarch5 + kHour, 4, TableAction::NewTable, "C:\\Испытания\\старые.db", "10.10.15");
    }

    std::unique_ptr<JournalWindow> window()
    {
        return std::make_unique<JournalWindow>(w, journal::journalFolder(), journal::verificationDatesPath());
    }

    std::set<std::string> journalFiles() const
    {
        std::set<std::string> names;
        std::error_code ec;
        for (const auto& e : std::filesystem::directory_iterator(data.journalFolder(), ec))
            names.insert(e.path().filename().string());
        return names;
    }

    static std::string text(const QLabel* l) { return l->text().toStdString(); }

    testing::ScopedDataHome data;
    TForm1 w{prompts};
    std::string first, second, latest;
};

const std::vector<std::string> kEntryHeadings = {"Дата и время", "Заводской №", "Версия ПО", "Записей",
                                                 "Действие",     "Таблица"};

TEST_F(JournalWindowTest, ListsTheDownloadsNewestFirst)
{
    keepThree();
    for (const char* locale : testing::kTestLocales) {
        testing::ProgramLocale shown(locale);
        ASSERT_TRUE(shown.ok()) << locale;
        SCOPED_TRACE(locale);
        auto j = window();
        EXPECT_EQ(j->windowTitle().toStdString(), "Журнал загрузок");
        EXPECT_EQ(j->Tabs->tabText(0).toStdString(), "Загрузки");
        EXPECT_EQ(headingsOf(j->Entries), kEntryHeadings);
        EXPECT_EQ(rowsOf(j->Entries), (std::vector<std::string>{
                                          "06.03.2024 13:00:00 | 4242 | 10.10.14 | 5 | Дополнение | May.db",
                                          "05.03.2024 14:00:00 | 321 | 10.10.15 | 4 | Создание | старые.db",
                                          "05.03.2024 13:00:00 | 321 | 10.10.14 | 3 | Создание | анкеры.db",
                                      }));
        EXPECT_EQ(j->Entries->item(0, 5)->toolTip().toStdString(), "/испытания/May.db");
        EXPECT_EQ(text(j->SummaryLabel), "Загрузок в журнале: 3");
        EXPECT_TRUE(j->ProblemsLabel->isHidden());
        EXPECT_EQ(text(j->FolderLabel), "Папка журнала: " + data.journalFolder());
        EXPECT_EQ(j->listing().entries.at(0).id, latest);
    }
    EXPECT_TRUE(errors.prompter.messages.empty());
}

TEST_F(JournalWindowTest, AnEmptyJournalOffersNothingToDo)
{
    // The journal's folder is made by the first download only.
    auto j = window();
    EXPECT_EQ(j->Entries->rowCount(), 0);
    EXPECT_EQ(j->Instruments->rowCount(), 0);
    EXPECT_EQ(text(j->SummaryLabel), "Загрузок в журнале: 0");
    EXPECT_TRUE(j->ProblemsLabel->isHidden());
    for (QPushButton* b : {j->CreateButton, j->AppendButton, j->ImageButton, j->DeleteButton, j->SaveDateButton,
                           j->ClearDateButton})
        EXPECT_FALSE(b->isEnabled()) << b->text().toStdString();
    EXPECT_FALSE(std::filesystem::exists(data.dataFolder())) << "looking makes no folder";
}

TEST_F(JournalWindowTest, FilesThatAreNoEntriesAreReportedAndTheRestListed)
{
    keepThree();
    const std::string broken = keep(777, kMarch5 + 2 * kDay, 2);
    const std::string brokenFile = broken + ".zje";
    std::filesystem::resize_file(data.journalFolder() + "/" + brokenFile, 20);
    std::ofstream(data.journalFolder() + "/заметки.txt") << "не запись";

    auto j = window();
    EXPECT_EQ(j->Entries->rowCount(), 3);
    EXPECT_EQ(rowText(j->Entries, 0), "06.03.2024 13:00:00 | 4242 | 10.10.14 | 5 | Дополнение | May.db");
    EXPECT_EQ(text(j->SummaryLabel), "Загрузок в журнале: 3");
    EXPECT_FALSE(j->ProblemsLabel->isHidden());
    const std::string problems = text(j->ProblemsLabel);
    ASSERT_EQ(j->listing().problems.size(), 2u);
    EXPECT_EQ(problems, "Не удалось прочитать 2 файла в папке журнала:\n" + brokenFile + ": " +
                            j->listing().problems[0].text +
                            "\nзаметки.txt: Не запись журнала: имя файла не по образцу");
    EXPECT_EQ(j->Instruments->rowCount(), 2) << "the register is of the readable entries";
    EXPECT_TRUE(errors.prompter.messages.empty()) << "never a box";
}

TEST_F(JournalWindowTest, TheRegisterOfTheInstruments)
{
    keepThree();
    journal::VerificationDates dates;
    dates.setDueDate({25, 4242}, dayOf(2126, 12, 1));
    journal::saveVerificationDates(data.datesFile(), dates);

    auto j = window();
    EXPECT_EQ(j->Tabs->tabText(1).toStdString(), "Приборы");
    EXPECT_EQ(headingsOf(j->Instruments),
              (std::vector<std::string>{"Заводской №", "Модель", "Версия ПО", "Первая загрузка", "Последняя загрузка",
                                        "Загрузок", "Поверка до"}));
    EXPECT_EQ(rowsOf(j->Instruments),
              (std::vector<std::string>{
                  "321 | 25 | 10.10.15 | 05.03.2024 13:00:00 | 05.03.2024 14:00:00 | 2 | ",
                  "4242 | 25 | 10.10.14 | 06.03.2024 13:00:00 | 06.03.2024 13:00:00 | 1 | 01.12.2126",
              }));
    EXPECT_TRUE(j->DatesLabel->isHidden());
}

TEST_F(JournalWindowTest, CreateTableMakesTheTableCreateMakesAndNoEntry)
{
    keepThree();
    const std::set<std::string> before = journalFiles();
    const struct {
        const char* name;
        bool tableOpenWithEdits;
    } cases[] = {{"no table open", false}, {"a table open with unsaved edits", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        prompts = {};
        if (c.tableOpenWithEdits) {
            openByMenu(w, may());
            w.session().markEdited();
            prompts.answers.push_back(MessageAnswer::No);
        }
        const std::string made = path(std::string(c.name) + ".db");
        auto j = window();
        j->Entries->selectRow(2); // the oldest: 321, three tests
        prompts.files.push_back(made);
        j->CreateButton->click();

        // The prompts of "Создать": the save prompt first, then its dialog.
        ASSERT_EQ(prompts.messages.size(), c.tableOpenWithEdits ? 1u : 0u);
        if (c.tableOpenWithEdits) {
            EXPECT_EQ(prompts.messages[0].text, "Сохранить изменения в таблицах ?");
        }
        ASSERT_FALSE(prompts.dialogs.empty());
        const testing::ScriptedPrompter::Dialog& asked = prompts.dialogs.back();
        EXPECT_TRUE(asked.save);
        EXPECT_EQ(asked.request.fileName, "");
        EXPECT_EQ(asked.request.filter, "Файлы данных|*.db");
        EXPECT_EQ(asked.request.filterIndex, 1);
        EXPECT_EQ(asked.request.defaultExtension, ".db");
        EXPECT_EQ(asked.request.initialDir, w.dialog_initial_dir());

        EXPECT_EQ(j->result(), QDialog::Accepted) << "the window gives way to the table";
        EXPECT_TRUE(w.state().table_open);
        EXPECT_EQ(w.Dbf1.TableName(), std::string(c.name) + ".db");
        EXPECT_EQ(w.Dbf1.FilePath(), path(""));
        EXPECT_FALSE(w.DataGrid1->isHidden());
        EXPECT_EQ(shownNs(w), (std::vector<int>{1, 2, 3}));
        w.Dbf1.First();
        EXPECT_EQ(w.Dbf1.FieldText("SERIAL"), "321");
        EXPECT_EQ(w.windowTitle().toStdString(), "ЗЕНТ-5");

        // "Создать" after a download of the same archive makes the same bytes.
        auto image = std::make_unique<ArchiveImage>();
        journal::restoreArchiveImage(journal::Journal(data.journalFolder()).load(first), *image);
        NoTableView view;
        testing::ScriptedPrompter quiet;
        TableSession reference(quiet, view);
        reference.createFromArchive(path("reference.db"), *image);
        reference.close();
        w.N7->trigger();
        std::vector<uint8_t> ours = bytesOf(made), theirs = bytesOf(path("reference.db"));
        ASSERT_GT(ours.size(), 32u);
        ASSERT_EQ(ours.size(), theirs.size());
        for (size_t at = 1; at <= 3; ++at) // the day the file was written
            ours[at] = theirs[at] = 0;
        EXPECT_EQ(ours, theirs);

        EXPECT_EQ(journalFiles(), before) << "a table made again is no new download";
    }
    EXPECT_TRUE(errors.prompter.messages.empty());
}

TEST_F(JournalWindowTest, CreateTableCancelledInTheDialogMakesNothing)
{
    keepThree();
    openByMenu(w, may());
    auto j = window();
    prompts.files.push_back(std::nullopt);
    j->CreateButton->click();
    EXPECT_NE(j->result(), QDialog::Accepted);
    EXPECT_FALSE(w.state().table_open) << "as after \"Создать\", the table open before is closed";
    EXPECT_FALSE(j->AppendButton->isEnabled());
    EXPECT_TRUE(errors.prompter.messages.empty());
}

TEST_F(JournalWindowTest, AppendTableAddsOnlyTheNewerTestsToTheOpenTable)
{
    const std::string three = keep(321, kMarch5, 3);
    const std::string five = keep(321, kMarch5 + kDay, 5);
    const std::set<std::string> before = journalFiles();

    auto j = window();
    j->Entries->selectRow(1);
    ASSERT_EQ(j->listing().entries[1].id, three);
    EXPECT_FALSE(j->AppendButton->isEnabled()) << "no table open";
    j->AppendButton->click();
    EXPECT_TRUE(prompts.messages.empty());

    prompts.files.push_back(path("t.db"));
    j->CreateButton->click();
    ASSERT_TRUE(w.state().table_open);

    j = window();
    j->Entries->selectRow(0);
    ASSERT_EQ(j->listing().entries[0].id, five);
    EXPECT_TRUE(j->AppendButton->isEnabled());
    j->AppendButton->click();
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].caption, "Дополнение");
    EXPECT_EQ(prompts.messages[0].text, "Добавлено записей: 2");
    EXPECT_EQ(j->result(), QDialog::Accepted);
    EXPECT_EQ(shownNs(w), (std::vector<int>{1, 2, 3, 4, 5}));
    EXPECT_EQ(cell(w, 4, "TIME"), "10:04:00");
    EXPECT_FALSE(w.state().table_changed);
    EXPECT_EQ(testing::read_table(path("t.db")).ns, (std::vector<int>{1, 2, 3, 4, 5}));
    EXPECT_EQ(journalFiles(), before);
    EXPECT_TRUE(errors.prompter.messages.empty());
}

TEST_F(JournalWindowTest, DeleteAsksAndRemovesTheEntry)
{
    keepThree();
    auto j = window();
    j->Entries->selectRow(0);
    prompts.answers = {MessageAnswer::No, MessageAnswer::Yes};

    j->DeleteButton->click();
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].caption, "Журнал загрузок");
    EXPECT_EQ(prompts.messages[0].text, "Удалить из журнала загрузку прибора № 4242 от 06.03.2024 13:00:00?");
    EXPECT_EQ(prompts.messages[0].icon, MessageIcon::Question);
    EXPECT_EQ(prompts.messages[0].buttons, MessageButtons::YesNo);
    EXPECT_EQ(j->Entries->rowCount(), 3);
    EXPECT_EQ(journalFiles().count(latest + ".zje"), 1u);

    j->DeleteButton->click();
    EXPECT_EQ(journalFiles().count(latest + ".zje"), 0u);
    EXPECT_EQ(rowsOf(j->Entries), (std::vector<std::string>{
                                      "05.03.2024 14:00:00 | 321 | 10.10.15 | 4 | Создание | старые.db",
                                      "05.03.2024 13:00:00 | 321 | 10.10.14 | 3 | Создание | анкеры.db",
                                  }));
    EXPECT_EQ(text(j->SummaryLabel), "Загрузок в журнале: 2");
    EXPECT_EQ(j->Instruments->rowCount(), 1) << "the register follows";
    EXPECT_TRUE(j->DeleteButton->isEnabled()) << "another entry is chosen";

    // Gone meanwhile (another program, or the tool): said, and the list read again.
    std::filesystem::remove(data.journalFolder() + "/" + second + ".zje");
    prompts.answers = {MessageAnswer::Yes};
    j->Entries->selectRow(0);
    j->DeleteButton->click();
    ASSERT_EQ(errors.prompter.messages.size(), 1u);
    EXPECT_EQ(errors.prompter.messages[0].text, "В журнале нет записи " + second + ".");
    EXPECT_EQ(j->Entries->rowCount(), 1);
}

TEST_F(JournalWindowTest, SaveImageWritesTheDumpOfTheDownload)
{
    keepThree();
    auto j = window();
    j->Entries->selectRow(1); // 321, four tests

    prompts.files.push_back(std::nullopt);
    j->ImageButton->click();
    ASSERT_EQ(prompts.dialogs.size(), 1u);
    const FileDialogRequest& asked = prompts.dialogs[0].request;
    EXPECT_TRUE(prompts.dialogs[0].save);
    EXPECT_EQ(asked.filter, "Двоичные файлы|*.bin");
    EXPECT_EQ(asked.filterIndex, 1);
    EXPECT_EQ(asked.defaultExtension, ".bin");
    EXPECT_EQ(asked.initialDir, w.dialog_initial_dir());

    const std::string dump = path("образ.bin");
    prompts.files.push_back(dump);
    j->ImageButton->click();
    const journal::Entry entry = journal::Journal(data.journalFolder()).load(second);
    EXPECT_EQ(bytesOf(dump), entry.image);
    EXPECT_EQ(bytesOf(dump).size(), 4u + 16u * 4u);

    const std::string nowhere = path("нет такой папки/образ.bin");
    prompts.files.push_back(nowhere);
    j->ImageButton->click();
    ASSERT_EQ(errors.prompter.messages.size(), 1u);
    EXPECT_EQ(errors.prompter.messages[0].text, "Не удалось записать файл " + nowhere + ".");
    EXPECT_EQ(j->result(), 0) << "the window stays";
}

TEST_F(JournalWindowTest, VerificationDueDateEnteredShownAndCleared)
{
    keepThree();
    auto j = window();
    j->Instruments->selectRow(1); // 4242
    EXPECT_EQ(j->DueDateEdit->text(), "");
    ASSERT_TRUE(j->SaveDateButton->isEnabled());

    j->DueDateEdit->setText(" 1.12.2126");
    j->SaveDateButton->click();
    EXPECT_EQ(journal::loadVerificationDates(data.datesFile()).dueDate({25, 4242}), dayOf(2126, 12, 1));
    EXPECT_EQ(j->Instruments->item(1, 6)->text().toStdString(), "01.12.2126");
    EXPECT_EQ(j->DueDateEdit->text().toStdString(), "01.12.2126");
    EXPECT_EQ(window()->Instruments->item(1, 6)->text().toStdString(), "01.12.2126") << "kept for the next time";

    // A date that is no date is refused with its text, and the file stays.
    const std::vector<uint8_t> kept = bytesOf(data.datesFile());
    j->DueDateEdit->setText("31.02.2127");
    QTest::keyClick(j->DueDateEdit, Qt::Key_Return);
    ASSERT_EQ(errors.prompter.messages.size(), 1u);
    EXPECT_EQ(errors.prompter.messages[0].text, "Неверная дата поверки «31.02.2127»: введите дату в виде дд.мм.гггг.");
    EXPECT_EQ(errors.prompter.messages[0].icon, MessageIcon::Error);
    EXPECT_EQ(bytesOf(data.datesFile()), kept);
    EXPECT_EQ(j->Instruments->item(1, 6)->text().toStdString(), "01.12.2126");

    // Enter writes as the button does; an empty field clears.
    j->Instruments->selectRow(0); // 321
    j->DueDateEdit->setText("28.02.2127");
    QTest::keyClick(j->DueDateEdit, Qt::Key_Return);
    EXPECT_EQ(journal::loadVerificationDates(data.datesFile()).dueDate({25, 321}), dayOf(2127, 2, 28));
    j->DueDateEdit->clear();
    j->SaveDateButton->click();
    EXPECT_EQ(journal::loadVerificationDates(data.datesFile()).dueDate({25, 321}), std::nullopt);

    j->Instruments->selectRow(1);
    EXPECT_EQ(j->DueDateEdit->text().toStdString(), "01.12.2126");
    j->ClearDateButton->click();
    EXPECT_EQ(journal::loadVerificationDates(data.datesFile()).all().size(), 0u);
    EXPECT_EQ(j->Instruments->item(1, 6)->text().toStdString(), "");
    EXPECT_EQ(errors.prompter.messages.size(), 1u);
}

TEST_F(JournalWindowTest, AnOverdueDateStandsOutFromTheDayAfterIt)
{
    keep(1, kMarch5, 1);
    keep(2, kMarch5, 1);
    keep(3, kMarch5, 1);
    const auto today = std::chrono::sys_days(journal::localDay(journal::now()));
    journal::VerificationDates dates;
    dates.setDueDate({25, 1}, Day(today - std::chrono::days(1)));
    dates.setDueDate({25, 2}, Day(today));
    dates.setDueDate({25, 3}, Day(today + std::chrono::days(1)));
    journal::saveVerificationDates(data.datesFile(), dates);

    auto j = window();
    ASSERT_EQ(j->Instruments->rowCount(), 3);
    const std::string shown[] = {journal::shownDayText(Day(today - std::chrono::days(1))) + " (просрочена)",
                                 journal::shownDayText(Day(today)),
                                 journal::shownDayText(Day(today + std::chrono::days(1)))};
    for (int row = 0; row < 3; ++row) {
        SCOPED_TRACE(row);
        EXPECT_EQ(j->Instruments->item(row, 6)->text().toStdString(), shown[row]);
    }
    j->Instruments->selectRow(0);
    EXPECT_EQ(j->DueDateEdit->text().toStdString(), journal::shownDayText(Day(today - std::chrono::days(1))))
        << "the date alone to edit";
}

TEST_F(JournalWindowTest, ADueDateThatCannotBeWrittenIsToldAndNotShown)
{
    keepThree();
    auto j = window();
    j->Instruments->selectRow(1);
    j->DueDateEdit->setText("01.12.2126");
    fileio::testhook::failNthWrite(1);
    j->SaveDateButton->click();
    fileio::testhook::reset();
    ASSERT_EQ(errors.prompter.messages.size(), 1u);
    EXPECT_EQ(errors.prompter.messages[0].text.rfind("Не удалось записать файл сроков поверки " + data.datesFile() + ": ", 0),
              0u)
        << errors.prompter.messages[0].text;
    EXPECT_FALSE(std::filesystem::exists(data.datesFile()));
    EXPECT_EQ(j->Instruments->item(1, 6)->text().toStdString(), "");

    j->SaveDateButton->click(); // the field still holds what was typed
    EXPECT_EQ(journal::loadVerificationDates(data.datesFile()).dueDate({25, 4242}), dayOf(2126, 12, 1));
}

TEST_F(JournalWindowTest, DamagedDueDatesAreToldAndLeftAlone)
{
    keepThree();
    std::filesystem::create_directories(data.dataFolder());
    std::ofstream(data.datesFile()) << "не сроки поверки";
    const std::vector<uint8_t> damaged = bytesOf(data.datesFile());

    auto j = window();
    EXPECT_EQ(j->Instruments->rowCount(), 2) << "the register without dates";
    j->Instruments->selectRow(0);
    EXPECT_FALSE(j->DatesLabel->isHidden());
    EXPECT_EQ(text(j->DatesLabel), "Файл сроков поверки " + data.datesFile() +
                                       " поврежден: файл другого вида. Сроки поверки нельзя изменить, пока этот "
                                       "файл не удален.");
    EXPECT_FALSE(j->DueDateEdit->isEnabled());
    EXPECT_FALSE(j->SaveDateButton->isEnabled());
    EXPECT_FALSE(j->ClearDateButton->isEnabled());
    j->ClearDateButton->click();
    EXPECT_EQ(bytesOf(data.datesFile()), damaged);
    EXPECT_EQ(j->Entries->rowCount(), 3) << "the downloads are listed all the same";
    EXPECT_TRUE(errors.prompter.messages.empty());
}

// Opens the window from the menu and hands it to `look`; false when none opened.
bool openJournal(TForm1& w, const std::function<void(JournalWindow&)>& look)
{
    bool shown = false;
    QTimer::singleShot(0, [&] {
        if (auto* j = qobject_cast<JournalWindow*>(QApplication::activeModalWidget())) {
            shown = true;
            look(*j);
            j->CloseButton->click();
        }
    });
    w.Journal1->trigger();
    QCoreApplication::processEvents();
    return shown;
}

TEST_F(JournalWindowTest, OpenedFromTheServiceMenuWithOrWithoutATable)
{
    keepThree();
    for (bool tableOpen : {false, true}) {
        SCOPED_TRACE(tableOpen ? "a table open" : "no table");
        if (tableOpen)
            openByMenu(w, may());
        EXPECT_TRUE(w.Journal1->isEnabled());
        EXPECT_TRUE(openJournal(w, [&](JournalWindow& j) {
            EXPECT_EQ(j.Entries->rowCount(), 3);
            j.Entries->selectRow(0);
            EXPECT_EQ(j.AppendButton->isEnabled(), tableOpen);
        }));
    }
    EXPECT_TRUE(errors.prompter.messages.empty());
}

} // namespace
} // namespace zent5
