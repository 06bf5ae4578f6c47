// "Создать" and "Дополнить" in the main window, against the instrument
// simulator on a pseudo-terminal placed as COM1.
#include "app/datagrid.h"
#include "app/programwindows.h"
#include "app/tform1.h"
#include "journal/journal.h"
#include "link/tform2.h"
#include "table/dbfformat.h"
#include "table/dbftable.h"
#include "table/fileio.h"
#include "tests/common/archivebytes.h"
#include "tests/app/tablewindow.h"
#include "tests/app/testsupport.h"
#include "tests/tools/tooltestsupport.h"

#include <QAction>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace zent5 {
namespace {

using testing::SimulatorProcess;

const std::string kNotFound =
    "Ошибка: Прибор не обнаружен! Проверте правильность подключения согласно инструкции!";

// Every question in the order it was asked: message boxes (the error box
// among them) and the save dialog.
class OrderedPrompter : public testing::ScriptedPrompter {
public:
    std::vector<std::string> order;
    std::function<void()> onMessage; // looks at the window as a box comes

    MessageAnswer message(const std::string& caption, const std::string& text, MessageIcon icon,
                          MessageButtons buttons) override
    {
        order.push_back(caption + ": " + text);
        if (onMessage)
            onMessage();
        return ScriptedPrompter::message(caption, text, icon, buttons);
    }
    std::optional<std::string> saveFile(const FileDialogRequest& request) override
    {
        order.push_back("save dialog");
        return ScriptedPrompter::saveFile(request);
    }
};

// Every row from the first, one line of the thirteen fields each, as stored.
std::vector<std::string> rowsOf(DbfTable& table)
{
    std::vector<std::string> rows;
    table.First();
    while (!table.Eof()) {
        std::string line;
        const auto& columns = table.Columns();
        for (size_t i = 0; i < columns.size(); ++i) {
            const FieldValue v = table.FieldValueOf(columns[i].name);
            if (i > 0)
                line += ',';
            if (const double* d = std::get_if<double>(&v))
                line += dbf::shortestText(*d, '.');
            else if (const std::string* s = std::get_if<std::string>(&v))
                line += *s;
        }
        rows.push_back(line);
        table.Next();
    }
    return rows;
}

// "N DATE TIME" of each row.
std::vector<std::string> momentsOf(DbfTable& table)
{
    std::vector<std::string> rows;
    table.First();
    while (!table.Eof()) {
        rows.push_back(table.FieldText("N") + " " + table.FieldText("DATE") + " " + table.FieldText("TIME"));
        table.Next();
    }
    return rows;
}

class InstrumentCommands : public ::testing::Test {
protected:
    InstrumentCommands()
    {
        // The download window finds its ports through the configuration
        // folder; every COM number leads nowhere until a simulator takes one.
        qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(folder.configHome()));
        qputenv("XDG_DATA_HOME", QByteArray::fromStdString(folder.dataHome()));
        set_error_box_prompter(&prompts);
        form2 = qobject_cast<TForm2*>(&windows.download_window());
    }
    ~InstrumentCommands() override
    {
        set_error_box_prompter(nullptr);
        qputenv("XDG_CONFIG_HOME", m_config);
        qputenv("XDG_DATA_HOME", m_data);
        testing::dropQuitRequests();
    }

    std::string path(const std::string& name) const { return folder.path(name); }

    // Runs a command as the menu does, so an error reaches the error box.
    // A download still waiting after a generous time is cancelled and fails
    // the test instead of hanging it.
    void run(QAction* item)
    {
        QTimer::singleShot(30000, form2, [this] {
            if (form2->isVisible()) {
                ADD_FAILURE() << "the download did not end";
                form2->Button1Click();
            }
        });
        item->trigger();
    }
    void create(const std::string& file)
    {
        prompts.files.push_back(file);
        run(window.N2);
    }
    void append() { run(window.N4); }

    // No instrument anywhere, and the search starts at once instead of after
    // the window's three seconds.
    void unplug()
    {
        folder.block(1);
        form2->session().setSearchDelayForTesting(10);
    }

    void writeTable(const std::string& name, int rows)
    {
        DbfTable table;
        table.setFilePath(folder.path(""));
        table.setTableName(name);
        table.CreateNew();
        table.Open();
        for (int n = 1; n <= rows; ++n) {
            table.Append();
            table.SetFieldValue("N", double(n));
            table.SetFieldValue("DATE", std::string("01.01.2013"));
            table.SetFieldValue("TIME", std::string("12:00:00"));
            table.Post();
        }
        table.Close();
    }

    // The table-open look: commands offered, grid shown, lighter background.
    void expectTableShown()
    {
        EXPECT_TRUE(window.state().table_open);
        EXPECT_TRUE(window.Dbf1.Active());
        EXPECT_FALSE(window.DataGrid1->isHidden());
        for (QAction* item : {window.N4, window.N5, window.N7, window.N8, window.N9, window.N23, window.N17,
                              window.N18, window.N19, window.N33, window.N21, window.N37, window.Excel1})
            EXPECT_TRUE(item->isEnabled()) << item->text().toStdString();
        for (QToolButton* button : {window.ToolButton3, window.ToolButton4, window.ToolButton5})
            EXPECT_TRUE(button->isEnabled()) << button->objectName().toStdString();
        EXPECT_EQ(window.background_color(), window.palette().color(QPalette::Button));
        EXPECT_FALSE(window.state().table_changed);
    }
    void expectNoTable()
    {
        EXPECT_FALSE(window.state().table_open);
        EXPECT_FALSE(window.Dbf1.Active());
        EXPECT_TRUE(window.DataGrid1->isHidden());
        EXPECT_FALSE(window.N4->isEnabled());
        EXPECT_FALSE(window.N5->isEnabled());
    }

    testing::ToolFolder folder;
    testing::FreshSettings settings;
    OrderedPrompter prompts;
    ProgramWindows windows{prompts};
    TForm1& window = windows.main_window();
    TForm2* form2 = nullptr;

private:
    QByteArray m_config = qgetenv("XDG_CONFIG_HOME");
    QByteArray m_data = qgetenv("XDG_DATA_HOME");
};

TEST_F(InstrumentCommands, CreateMakesATableOfEveryRecordNumberedFromOne)
{
    SimulatorProcess sim(folder, 1,
                         {"--records", "3", "--force", "1234", "--force-step", "100", "--area", "283", "--diameters",
                          "1,9,14", "--serial", "4321", "--start", "2014-03-05 23:59:58", "--step", "1"});
    ASSERT_TRUE(sim.ok());
    ASSERT_NE(form2, nullptr);
    const std::string defaultDir = window.state().default_dir;

    create(path("t.db"));

    // The save dialog is the only question; a new table reports nothing.
    EXPECT_EQ(prompts.order, std::vector<std::string>{"save dialog"});
    ASSERT_EQ(prompts.dialogs.size(), 1u);
    const FileDialogRequest& request = prompts.dialogs[0].request;
    EXPECT_TRUE(prompts.dialogs[0].save);
    EXPECT_EQ(request.fileName, "");
    EXPECT_EQ(request.filter, "Файлы данных|*.db");
    EXPECT_EQ(request.filterIndex, 1);
    EXPECT_EQ(request.defaultExtension, ".db");
    EXPECT_EQ(request.initialDir, window.dialog_initial_dir());
    EXPECT_EQ(form2->result(), 1);

    expectTableShown();
    EXPECT_EQ(window.Dbf1.TableName(), "t.db");
    EXPECT_EQ(window.Dbf1.FilePath(), path(""));
    EXPECT_EQ(window.windowTitle().toStdString(), "ЗЕНТ-5");
    EXPECT_EQ(window.state().default_dir, defaultDir);
    EXPECT_TRUE(settings.contains("Table_1"));

    const std::vector<std::string> expected = {
        "1,05.03.2014,23:59:58,4321,12.34,1258,436,4446,28.3,4,проволока,,0.283",
        "2,05.03.2014,23:59:59,4321,13.34,1360,471.4,4807,28.3,7.5,проволока,,0.283",
        "3,06.03.2014,00:00:00,4321,14.34,1462,506.7,5167,28.3,9.6,проволока,,0.283",
    };
    EXPECT_EQ(rowsOf(window.Dbf1), expected);
    EXPECT_EQ(window.DataGrid1->model()->rowCount(), 3);

    // The file holds the same once the table is closed.
    window.Dbf1.Close();
    DbfTable reread;
    reread.setFilePath(path(""));
    reread.setTableName("t.db");
    reread.Open();
    EXPECT_EQ(rowsOf(reread), expected);
    EXPECT_EQ(folder.files(), std::vector<std::string>{"t.db"});
}

TEST_F(InstrumentCommands, CreateAsksToSaveEditsBeforeTheDialogAndStopsWithoutAName)
{
    SimulatorProcess sim(folder, 1, {"--records", "2"});
    ASSERT_TRUE(sim.ok());
    int downloads = 0;
    QObject::connect(form2, &QDialog::finished, form2, [&downloads] { ++downloads; });
    for (const std::optional<std::string>& answer : {std::optional<std::string>(), std::optional<std::string>("")}) {
        SCOPED_TRACE(answer ? "empty name" : "cancelled");
        create(path("t.db"));
        ASSERT_TRUE(window.state().table_open);
        window.DataGrid1InitEdit();
        const int downloadsBefore = downloads;
        prompts.order.clear();
        prompts.messages.clear();
        prompts.answers = {MessageAnswer::No};
        prompts.files = {answer};

        run(window.N2);

        EXPECT_EQ(prompts.order,
                  (std::vector<std::string>{"ЗЕНТ-5: Сохранить изменения в таблицах ?", "save dialog"}));
        ASSERT_EQ(prompts.messages.size(), 1u);
        EXPECT_EQ(prompts.messages[0].icon, MessageIcon::Question);
        EXPECT_EQ(prompts.messages[0].buttons, MessageButtons::YesNo);
        EXPECT_EQ(downloads, downloadsBefore) << "no download without a file name";
        expectNoTable();
        EXPECT_EQ(window.windowTitle().toStdString(), "ЗЕНТ-5");
        EXPECT_EQ(folder.files(), std::vector<std::string>{"t.db"});
    }
}

TEST_F(InstrumentCommands, CreateClosesTheOpenTableAndKeepsTheProgramTitle)
{
    writeTable("old.db", 2);
    window.Open_DB(path("old.db"));
    ASSERT_TRUE(window.state().table_open);
    ASSERT_EQ(window.windowTitle().toStdString(), "old - ЗЕНТ-5");
    SimulatorProcess sim(folder, 1, {"--records", "1"});
    ASSERT_TRUE(sim.ok());

    create(path("new.db"));

    // Nothing was edited, so nothing is asked before the dialog.
    EXPECT_EQ(prompts.order, std::vector<std::string>{"save dialog"});
    expectTableShown();
    EXPECT_EQ(window.Dbf1.TableName(), "new.db");
    EXPECT_EQ(window.windowTitle().toStdString(), "ЗЕНТ-5");
    EXPECT_EQ(folder.files(), (std::vector<std::string>{"new.db", "old.db"}));
}

TEST_F(InstrumentCommands, CreateReplacesAnExistingFileOnlyAfterADownload)
{
    writeTable("t.db", 2);
    const std::string before = testing::readFile(path("t.db"));

    unplug();
    create(path("t.db"));
    EXPECT_EQ(prompts.order, (std::vector<std::string>{"save dialog", kNotFound}));
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].icon, MessageIcon::Error);
    EXPECT_EQ(form2->result(), 2);
    expectNoTable();
    EXPECT_EQ(testing::readFile(path("t.db")), before);
    EXPECT_EQ(folder.files(), std::vector<std::string>{"t.db"});

    SimulatorProcess sim(folder, 1, {"--records", "1"});
    ASSERT_TRUE(sim.ok());
    prompts.order.clear();
    create(path("t.db"));
    EXPECT_EQ(prompts.order, std::vector<std::string>{"save dialog"});
    expectTableShown();
    EXPECT_EQ(momentsOf(window.Dbf1), std::vector<std::string>{"1 05.03.2014 09:00:00"});
}

TEST_F(InstrumentCommands, CreateOfAnEmptyArchiveShowsTheNewEmptyTable)
{
    const std::string image = path("empty.bin");
    testing::writeFile(image, testing::archiveBytes({}));
    SimulatorProcess sim(folder, 1, {"--image", QString::fromStdString(image)});
    ASSERT_TRUE(sim.ok());

    create(path("empty.db"));

    EXPECT_EQ(prompts.order, (std::vector<std::string>{"save dialog", "Ошибка: Архив пуст !"}));
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].icon, MessageIcon::Error);
    expectTableShown();
    EXPECT_EQ(window.Dbf1.TableName(), "empty.db");
    EXPECT_EQ(window.Dbf1.VisibleCount(), 0);
    EXPECT_TRUE(settings.contains("Table_1"));
}

TEST_F(InstrumentCommands, CreateOfADamagedArchiveKeepsAnExistingFile)
{
    writeTable("damaged.db", 2);
    const std::string before = testing::readFile(path("damaged.db"));
    // The header promises one record of 11 bytes; 10 bytes arrived.
    const std::string image = path("damaged.bin");
    testing::writeFile(image, testing::archiveBytes({{0, 0, 9, 5, 3, 14, 100, 1000, 1}}).substr(0, 10));
    SimulatorProcess sim(folder, 1, {"--image", QString::fromStdString(image)});
    ASSERT_TRUE(sim.ok());

    create(path("damaged.db"));

    // Told once; the table the user had is untouched and no new one is open.
    EXPECT_EQ(prompts.order,
              (std::vector<std::string>{"save dialog",
                                        "ЗЕНТ-5: Архив поврежден: 1 запись по 11 байт не умещается в 10 принятых байт !"}));
    expectNoTable();
    EXPECT_EQ(testing::readFile(path("damaged.db")), before);
}

TEST_F(InstrumentCommands, CreateInAFolderThatTakesNoFileLeavesNoTable)
{
    SimulatorProcess sim(folder, 1, {"--records", "1"});
    ASSERT_TRUE(sim.ok());
    create(path("missing/t.db"));
    ASSERT_EQ(prompts.order.size(), 2u);
    EXPECT_EQ(prompts.order[1].rfind("ЗЕНТ-5: Cannot create file \"" + path("missing/t.db") + "\". ", 0), 0u)
        << prompts.order[1];
    expectNoTable();
    EXPECT_EQ(folder.files(), std::vector<std::string>{});
}

TEST_F(InstrumentCommands, AppendAddsOnlyRecordsNewerThanTheLastRow)
{
    const std::string first = path("first.bin");
    testing::writeFile(first, testing::archiveBytes({{0, 0, 9, 5, 3, 14, 100, 1000, 1}, {0, 0, 10, 5, 3, 14, 200, 1000, 1}}));
    {
        SimulatorProcess sim(folder, 1, {"--image", QString::fromStdString(first)});
        ASSERT_TRUE(sim.ok());
        create(path("t.db"));
        ASSERT_EQ(momentsOf(window.Dbf1),
                  (std::vector<std::string>{"1 05.03.2014 09:00:00", "2 05.03.2014 10:00:00"}));
    }
    // A record equal in time to the last row counts as old; from the first
    // newer one on every record is added, an older one after it too, and the
    // numbers go on from the records passed over.
    const std::string second = path("second.bin");
    testing::writeFile(second, testing::archiveBytes({{0, 0, 9, 5, 3, 14, 100, 1000, 1},
                                          {0, 0, 10, 5, 3, 14, 200, 1000, 1},
                                          {1, 0, 10, 5, 3, 14, 300, 1000, 1},
                                          {59, 59, 23, 4, 3, 14, 400, 1000, 1}}));
    SimulatorProcess sim(folder, 1, {"--image", QString::fromStdString(second), "--serial", "77"});
    ASSERT_TRUE(sim.ok());
    prompts.order.clear();

    append();

    EXPECT_EQ(prompts.order, std::vector<std::string>{"Дополнение: Добавлено записей: 2"});
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].icon, MessageIcon::Information);
    expectTableShown();
    EXPECT_EQ(momentsOf(window.Dbf1), (std::vector<std::string>{"1 05.03.2014 09:00:00", "2 05.03.2014 10:00:00",
                                                                 "3 05.03.2014 10:00:01", "4 04.03.2014 23:59:59"}));
    EXPECT_EQ(window.DataGrid1->model()->rowCount(), 4);
    const std::vector<std::string> rows = rowsOf(window.Dbf1);
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[2], "3,05.03.2014,10:00:01,77,3,306,30,306,100,4,проволока,,1");
}

TEST_F(InstrumentCommands, AppendToASortedViewComparesWithTheLastRowOfTheFile)
{
    {
        SimulatorProcess sim(folder, 1, {"--records", "2"});
        ASSERT_TRUE(sim.ok());
        create(path("t.db"));
    }
    // Sorted by N downwards, the view ends on the oldest test.
    window.Dbf1.AddIndex("tab1", "N", true);
    window.Dbf1.setIndexName("tab1");
    ASSERT_EQ(momentsOf(window.Dbf1),
              (std::vector<std::string>{"2 05.03.2014 10:00:00", "1 05.03.2014 09:00:00"}));
    SimulatorProcess sim(folder, 1, {"--records", "3"});
    ASSERT_TRUE(sim.ok());
    prompts.order.clear();

    append();

    EXPECT_EQ(prompts.order, std::vector<std::string>{"Дополнение: Добавлено записей: 1"});
    EXPECT_EQ(window.Dbf1.IndexName(), "");
    EXPECT_EQ(momentsOf(window.Dbf1), (std::vector<std::string>{"1 05.03.2014 09:00:00", "2 05.03.2014 10:00:00",
                                                                 "3 05.03.2014 11:00:00"}));
    expectTableShown();
}

TEST_F(InstrumentCommands, AppendTwiceFromTheSameInstrumentAddsNothing)
{
    SimulatorProcess sim(folder, 1, {"--records", "4"});
    ASSERT_TRUE(sim.ok());
    create(path("t.db"));
    const std::vector<std::string> before = rowsOf(window.Dbf1);
    ASSERT_EQ(before.size(), 4u);
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        prompts.order.clear();
        append();
        EXPECT_EQ(prompts.order, std::vector<std::string>{"Дополнение: Добавлено записей: 0"});
        expectTableShown();
        EXPECT_EQ(rowsOf(window.Dbf1), before);
    }
}

TEST_F(InstrumentCommands, AppendAfterALastRowThatIsNoRealMomentChangesNothing)
{
    // The instrument wrote 31 February; such a row cannot be ordered in time.
    const std::string image = path("archive.bin");
    testing::writeFile(image, testing::archiveBytes({{0, 0, 9, 5, 3, 14, 100, 1000, 1}, {0, 0, 10, 31, 2, 14, 200, 1000, 1}}));
    SimulatorProcess sim(folder, 1, {"--image", QString::fromStdString(image)});
    ASSERT_TRUE(sim.ok());
    create(path("t.db"));
    const std::vector<std::string> rows = rowsOf(window.Dbf1);
    ASSERT_EQ(rows.size(), 2u);
    const std::string before = testing::readFile(path("t.db"));
    prompts.order.clear();

    append();

    EXPECT_EQ(prompts.order, std::vector<std::string>{"ЗЕНТ-5: '31.02.2014 10:00:00' is not a valid date and time."});
    expectTableShown();
    EXPECT_EQ(rowsOf(window.Dbf1), rows);
    EXPECT_EQ(testing::readFile(path("t.db")), before);
}

TEST_F(InstrumentCommands, AppendWithoutAnInstrumentChangesNothing)
{
    {
        SimulatorProcess sim(folder, 1, {"--records", "2"});
        ASSERT_TRUE(sim.ok());
        create(path("t.db"));
    }
    const std::vector<std::string> rows = rowsOf(window.Dbf1);
    const std::string before = testing::readFile(path("t.db"));
    unplug();
    prompts.order.clear();

    append();

    EXPECT_EQ(prompts.order, std::vector<std::string>{kNotFound});
    EXPECT_EQ(form2->result(), 2);
    expectTableShown();
    EXPECT_EQ(rowsOf(window.Dbf1), rows);
    EXPECT_EQ(testing::readFile(path("t.db")), before);
}

// The line fails while "Дополнить" receives the archive: the cable is
// pulled, or the instrument stops sending. The download window keeps the
// event loop turning (a timer of the test goes on firing), says what it
// sees, and after "Отмена" the open table is exactly as before.
TEST_F(InstrumentCommands, AppendWithTheLineFailingMidTransferChangesNothing)
{
    struct Case {
        const char* name;
        QStringList options;
        const char* status; // what the window shows once the line has failed
    };
    const Case cases[] = {
        {"cable pulled", {"--records", "200", "--chunk", "100", "--chunk-delay", "5", "--hangup-after", "700"},
         "Связь с прибором потеряна !"},
        {"cable pulled before the first byte", {"--records", "200", "--hangup-after", "0"},
         "Связь с прибором потеряна !"},
        {"instrument stops sending", {"--records", "200", "--chunk", "300", "--chunk-delay", "60000"},
         "Прибор не отвечает ..."},
    };
    {
        SimulatorProcess sim(folder, 1, {"--records", "2"});
        ASSERT_TRUE(sim.ok());
        create(path("t.db"));
    }
    const std::vector<std::string> rows = rowsOf(window.Dbf1);
    const std::string before = testing::readFile(path("t.db"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SimulatorProcess sim(folder, 1, c.options);
        ASSERT_TRUE(sim.ok());
        prompts.order.clear();
        form2->session().setSilenceNoticeForTesting(300);
        int ticks = 0;
        int ticksAfterFailure = 0;
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, form2, [&] {
            ++ticks;
            if (!form2->isVisible())
                return;
            const bool failed = form2->StaticText2->text() == QString::fromUtf8(c.status);
            if (failed && ++ticksAfterFailure == 20)
                form2->Button1->click();
        });
        watch.start(10);
        append();
        watch.stop();

        EXPECT_EQ(ticksAfterFailure, 20) << "the window stopped turning the event loop";
        EXPECT_GT(ticks, 20);
        EXPECT_TRUE(prompts.order.empty());
        EXPECT_EQ(form2->result(), 2);
        expectTableShown();
        EXPECT_EQ(rowsOf(window.Dbf1), rows);
        EXPECT_EQ(testing::readFile(path("t.db")), before);
    }
}


// The table's fault injection: the n-th write (or rename) from the command
// on fails as on a full disk.
enum class FaultStep { Write, Rename };

void armFault(FaultStep step, int n)
{
    if (step == FaultStep::Write)
        fileio::testhook::failNthWrite(n);
    else
        fileio::testhook::failNthRename(n);
}

// True when the armed fault was never reached (the command has fewer steps
// than n); uses the fault up and switches it off.
bool faultStillArmed(FaultStep step, const std::string& folder)
{
    const std::string probe = folder + "/probe";
    fileio::File f;
    int error = 0;
    f.open(probe, fileio::OpenMode::CreateOrTruncate, error);
    const bool armed = step == FaultStep::Write ? !f.writeAt(0, "x", 1) : !fileio::renameFile(probe, probe + "2");
    f.close();
    std::filesystem::remove(probe);
    std::filesystem::remove(probe + "2");
    fileio::testhook::reset();
    return armed;
}

const std::string kWriteFailedBox = "ЗЕНТ-5: Error while writing occurred. (Disk full?)";

// Past the table's own steps the fault lands on the journal's entry of the
// download: the table is whole all the same, and a warning says why the
// entry was not kept.
bool journalEntryFailed(const std::vector<std::string>& order)
{
    return !order.empty() && order.back().rfind("ЗЕНТ-5: Загрузка не записана в журнал. ", 0) == 0;
}

// "Создать" over a table of 200 rows, with every write and then every rename
// of the new table failing in turn: one error box, the old file byte for byte
// as it was, nothing else beside it, and the window without a table. Once
// the table's steps all pass the new table replaces the old one.
TEST_F(InstrumentCommands, CreateThatFailsAtAnyWriteOrRenameLeavesTheOldTableWhole)
{
    writeTable("t.db", 200);
    const std::string before = testing::readFile(path("t.db"));
    SimulatorProcess sim(folder, 1, {"--records", "5"});
    ASSERT_TRUE(sim.ok());
    for (const FaultStep step : {FaultStep::Write, FaultStep::Rename}) {
        int failures = 0;
        int journalFailures = 0;
        for (int n = 1;; ++n) {
            SCOPED_TRACE((step == FaultStep::Write ? "write " : "rename ") + std::to_string(n));
            ASSERT_LT(n, 40) << "the command never stops reaching new steps";
            prompts.order.clear();
            prompts.messages.clear();
            armFault(step, n);
            create(path("t.db"));
            const bool stillArmed = faultStillArmed(step, path(""));
            if (stillArmed || journalEntryFailed(prompts.order)) {
                EXPECT_EQ(prompts.order.size(), stillArmed ? 1u : 2u);
                EXPECT_EQ(prompts.order.front(), "save dialog");
                expectTableShown();
                EXPECT_EQ(window.DataGrid1->model()->rowCount(), 5);
                EXPECT_EQ(momentsOf(window.Dbf1).size(), 5u);
                if (stillArmed)
                    break;
                ++journalFailures;
                window.N7->trigger();
                testing::writeFile(path("t.db"), before);
                continue;
            }
            ++failures;
            EXPECT_EQ(prompts.order, (std::vector<std::string>{"save dialog", kWriteFailedBox}));
            expectNoTable();
            EXPECT_EQ(window.DataGrid1->model()->rowCount(), 0);
            EXPECT_TRUE(testing::readFile(path("t.db")) == before) << "the old table changed";
            EXPECT_EQ(folder.files(), std::vector<std::string>{"t.db"});
            if (HasFailure())
                return;
        }
        // The new file is made, five rows go in, it is closed: a dozen
        // writes; then one rename puts it in place. The journal's entry is
        // written and put in place after that.
        EXPECT_GE(failures, step == FaultStep::Write ? 10 : 1);
        EXPECT_GE(journalFailures, 1);
        window.N7->trigger();
        testing::writeFile(path("t.db"), before);
    }
}

// "Дополнить" of three new records to a table of two, with every write of
// the rows and of the save after them failing in turn: one error box, the
// grid showing exactly the rows the file holds, and no later click in the
// grid raising the box again or writing the row that failed.
TEST_F(InstrumentCommands, AppendThatFailsAtAnyWriteShowsWhatTheFileHoldsWithOneMessage)
{
    {
        SimulatorProcess sim(folder, 1, {"--records", "2"});
        ASSERT_TRUE(sim.ok());
        create(path("t.db"));
    }
    window.N7->trigger();
    const std::string before = testing::readFile(path("t.db"));
    SimulatorProcess sim(folder, 1, {"--records", "5"});
    ASSERT_TRUE(sim.ok());
    const QString added = QStringLiteral("Дополнение: Добавлено записей: 3");
    int failures = 0;
    int journalFailures = 0;
    for (int n = 1;; ++n) {
        SCOPED_TRACE("write " + std::to_string(n));
        ASSERT_LT(n, 40) << "the command never stops reaching new steps";
        testing::writeFile(path("t.db"), before);
        window.Open_DB(path("t.db"));
        ASSERT_TRUE(window.state().table_open);
        prompts.order.clear();
        armFault(FaultStep::Write, n);
        append();
        const bool stillArmed = faultStillArmed(FaultStep::Write, path(""));
        if (stillArmed || journalEntryFailed(prompts.order)) {
            EXPECT_EQ(prompts.order.size(), stillArmed ? 1u : 2u);
            EXPECT_EQ(prompts.order.front(), added.toStdString());
            EXPECT_EQ(window.DataGrid1->model()->rowCount(), 5);
            if (stillArmed)
                break;
            ++journalFailures;
            window.N7->trigger();
            continue;
        }
        ++failures;
        // The box comes once, after the count when the rows were all posted.
        ASSERT_FALSE(prompts.order.empty());
        EXPECT_EQ(prompts.order.back(), "t - " + kWriteFailedBox);
        EXPECT_LE(prompts.order.size(), 2u);
        EXPECT_TRUE(window.state().table_open);
        EXPECT_TRUE(window.Dbf1.Active());
        EXPECT_FALSE(window.DataGrid1->isHidden());
        EXPECT_TRUE(window.N4->isEnabled());

        const testing::StoredTable stored = testing::read_table(path("t.db"));
        std::vector<int> shown;
        QAbstractItemModel* model = window.DataGrid1->model();
        for (int row = 0; row < model->rowCount(); ++row)
            shown.push_back(model->index(row, 0).data().toInt());
        EXPECT_EQ(shown, stored.ns);
        EXPECT_GE(stored.ns.size(), 2u);

        // Moving about the grid asks nothing and writes nothing.
        prompts.order.clear();
        for (int row = model->rowCount() - 1; row >= 0; --row)
            window.DataGrid1->setCurrentIndex(model->index(row, 0));
        window.N5->trigger();
        EXPECT_TRUE(prompts.order.empty());
        EXPECT_EQ(testing::read_table(path("t.db")).ns, stored.ns);
        window.N7->trigger();
        EXPECT_EQ(testing::read_table(path("t.db")).ns, stored.ns) << "closing wrote a row";
        if (HasFailure())
            return;
    }
    EXPECT_GE(failures, 6);
    EXPECT_GE(journalFailures, 1);
}

// The window keeps its downloads in the journal as the tool does; one that
// cannot be kept is told once the table it made shows.
TEST_F(InstrumentCommands, DownloadsAreKeptInTheJournal)
{
    SimulatorProcess sim(folder, 1, {"--records", "3", "--serial", "4321"});
    ASSERT_TRUE(sim.ok());
    create(path("t.db"));
    append();
    const journal::Listing kept = journal::Journal(folder.journalFolder()).list();
    ASSERT_EQ(kept.entries.size(), 2u);
    std::vector<std::string> done;
    for (const journal::EntryInfo& e : kept.entries)
        done.push_back(std::to_string(e.serialNumber) + " " + e.download.portName + " " + e.download.tablePath + " " +
                       std::to_string(e.download.rowsAdded) +
                       (e.download.action == journal::TableAction::Append ? " append" : " new"));
    EXPECT_EQ(done, (std::vector<std::string>{"4321 \\\\.\\COM1 " + path("t.db") + " 0 append",
                                              "4321 \\\\.\\COM1 " + path("t.db") + " 3 new"}));

    testing::writeFile(path("plain"), "a file");
    folder.setDataHome(path("plain/data"));
    qputenv("XDG_DATA_HOME", QByteArray::fromStdString(folder.dataHome()));
    bool tableShown = false;
    prompts.onMessage = [this, &tableShown] { tableShown = window.Dbf1.Active() && !window.DataGrid1->isHidden(); };
    prompts.order.clear();
    prompts.messages.clear();
    create(path("u.db"));
    EXPECT_EQ(prompts.order,
              (std::vector<std::string>{"save dialog", "ЗЕНТ-5: Загрузка не записана в журнал. Не удалось создать папку журнала " +
                                                           path("plain/data/Korvelin/ZT/journal") + ": " +
                                                           fileio::errorText(ENOTDIR)}));
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].icon, MessageIcon::Warning);
    EXPECT_TRUE(tableShown);
    expectTableShown();
    EXPECT_EQ(window.DataGrid1->model()->rowCount(), 3);
    prompts.onMessage = nullptr;
}

} // namespace
} // namespace zent5
