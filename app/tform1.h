#pragma once

#include "app/programstate.h"
#include "app/windowtableview.h"
#include "print/reportcommands.h"
#include "records/prompter.h"
#include "session/tablesession.h"
#include "table/dbftable.h"

#include <QMainWindow>

#include <memory>
#include <string>

class QAction;
class QMenu;
class QToolBar;
class QToolButton;

namespace zent5 {

namespace journal {
struct Entry;
}

class DataGrid;
class Prompter;
class RowCursor;
class SettingsStore;
class TForm3;
class Tform6;

// The main window. Creating it reads the settings and leaves it in the
// no-table state: grid hidden, table commands disabled, the darker
// background, the program title as caption. The commands reach the user
// only through the prompter; the table commands themselves are the
// session's, which the handlers call.
class TForm1 : public QMainWindow {
    Q_OBJECT
    // First, so that the table component below can refer to them.
    Prompter& m_prompter;
    ProgramState m_state;
    WindowTableView m_view{*this};
    TableSession m_session{m_prompter, m_view, m_state};

public:
    explicit TForm1(Prompter& prompter, QWidget* parent = nullptr);
    ~TForm1() override;

    ProgramState& state() { return m_state; }
    const ProgramState& state() const { return m_state; }
    Prompter& prompter() { return m_prompter; }
    SettingsStore& settings() { return *m_settings; }
    TableSession& session() { return m_session; }

    // The windows created after this one, and the archive image the
    // download window fills, handed over by the program entry.
    void attach_windows(QDialog* downloadWindow, const ArchiveImage* archive, Tform6* aboutWindow,
                        TForm3* unitsDialog);
    QDialog* download_window() const { return m_form2; }
    Tform6* about_window() const { return m_form6; }
    TForm3* units_dialog() const { return m_form3; }

    // The table component the grid and the commands work on; nullptr while
    // none exists. Its Active() is the precondition of the grid commands.
    void attach_table(RowCursor* table) { m_table = table; }
    RowCursor* table() const { return m_table; }
    bool table_active() const;

    // The directory both file dialogs start in: "Default_dir" as read at
    // start-up, kept until the program ends.
    const std::string& dialog_initial_dir() const { return m_dialogInitialDir; }
    // The help found at start-up for a program in `programDir` (the
    // guide, or zent5.hlp on Windows), or empty: then help does nothing.
    void find_help_in(const std::string& programDir);
    const std::string& help_file() const { return m_helpFile; }

    // Enables or disables the table commands of the menu and the tool bar;
    // disable_button also disables the context menu's "Расчет S&&V".
    void enable_button();
    void disable_button();
    // With the table active: first row, re-read, grid shown. Otherwise nothing.
    void tab_vis_en();
    void tab_vis_dis();
    // The grid's unit columns for `dimension`.
    void set_vis_on_dimens();

    // The background of the client area: the button-shadow colour with no
    // table, the button-face colour with a table open.
    void set_background(bool tableOpen);
    QColor background_color() const;
    // Sets the application title, then the window caption from it.
    void set_caption(const std::string& caption);

    // The column layout in "Table_1": restored when a table is opened or
    // created (fitted and stored at once when absent), stored at every close.
    void load_layout();
    void save_layout();

    // Commands on the table file.
    void Open_DB(const std::string& path);
    void Save_DB();
    void Close_DB();
    // Closes and opens the table again, which writes everything to the file.
    // When the opening fails, shows why and leaves the window in its
    // no-table state; false then.
    bool reopen_table();
    // Makes a new table at `path` and decodes the downloaded archive into it.
    void Create_DB(const std::string& path);
    // The journal's "Создать таблицу": as "Создать", with the save prompt and
    // the same save dialog, the rows then decoded from the entry's image
    // instead of a download's. False when no file was chosen (a table open
    // before is closed all the same, as by "Создать").
    bool create_table_from(const journal::Entry& entry);
    // The journal's "Дополнить таблицу": the records of the entry's image
    // newer than the open table's last row, as "Дополнить" adds them after a
    // download.
    void append_table_from(const journal::Entry& entry);

    // Clears the sort marks and drops the sort index "tab1"; failures are
    // ignored. Used by the sort commands, deleting, appending and the export.
    void reset_sort();
    // Puts the grid's current row on the table's current row (composing a
    // report leaves the table on its last row, and the grid shows it).
    void grid_follow_table();

    // The table component: the only way into the measurement table.
    DbfTable& Dbf1 = m_session.table();

    // Components, named as the window defines them.
    QMenu* PopupMenu1 = nullptr;
    QToolBar* ToolBar1 = nullptr;
    QToolButton* ToolButton1 = nullptr;
    QToolButton* ToolButton2 = nullptr;
    QToolButton* ToolButton3 = nullptr;
    QToolButton* ToolButton4 = nullptr;
    QToolButton* ToolButton5 = nullptr;
    QToolButton* ToolButton6 = nullptr;
    DataGrid* DataGrid1 = nullptr;

    // Main menu items.
    QAction* N2 = nullptr;      // "Создать"
    QAction* N3 = nullptr;      // "Открыть"
    QAction* N4 = nullptr;      // "Дополнить"
    QAction* N5 = nullptr;      // "Сохранить"
    QAction* N7 = nullptr;      // "Закрыть"
    QAction* N8 = nullptr;      // "Предварительный просмотр"
    QAction* N9 = nullptr;      // "Печать"
    QAction* N11 = nullptr;     // "Выход"
    QAction* N23 = nullptr;     // "Выровнять столбцы"
    QAction* N17 = nullptr;     // "Задать цвет"
    QAction* N18 = nullptr;     // "Убрать цвет"
    QAction* N19 = nullptr;     // "Убрать все цвета"
    QAction* N33 = nullptr;     // "Убрать сортировку"
    QAction* N21 = nullptr;     // "Удалить строки"
    QAction* Excel1 = nullptr;  // "Экспорт в Excel"
    QAction* N37 = nullptr;     // "Перенумеровать строки"
    QAction* N15 = nullptr;     // "Размерность"
    QAction* Statistics1 = nullptr; // "Статистика"
    QAction* Journal1 = nullptr;    // "Журнал загрузок"
    QAction* N24 = nullptr;     // "Помощь"
    QAction* N26 = nullptr;     // "О программе"
    // Context menu items.
    QAction* N22 = nullptr;        // "Печать"
    QAction* CalcSV = nullptr;     // "Расчет S&&V", never enabled
    QAction* PopupSetColor = nullptr;
    QAction* PopupRemoveColor = nullptr;
    QAction* PopupRemoveColors = nullptr;
    QAction* PopupFit = nullptr;
    QAction* PopupDelete = nullptr;

public slots:
    void N2Click();     // New: download into a new table
    void N3Click();     // Open
    void N4Click();     // Append from the instrument
    void N5Click();     // Save
    void N7Click();     // Close
    void N8Click();     // Print preview
    void N9Click();     // Print
    void N11Click();    // Exit
    void N23Click();    // Fit columns
    void N17Click();    // Set the current column's colour
    void N18Click();    // Remove the current column's colour
    void N19Click();    // Remove all colours
    void N33Click();    // Remove the sort
    void N21Click();    // Delete the selected rows
    void Excel1Click(); // Export to a spreadsheet file
    void N37Click();    // Renumber the rows
    void N15Click();    // Units dialog
    void Statistics1Click(); // Statistics of the rows shown
    void Journal1Click();    // The journal of downloads and the register of the instruments
    void N24Click();    // Help
    void N26Click();    // About window
    void N22Click();    // Print from the context menu
    void DataGrid1TitleStateChange(int column);
    void DataGrid1InitEdit();
    void FormClose();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void FormCreate();
    void buildMenu();
    void buildPopupMenu();
    void buildToolBar();
    QAction* command(QMenu* menu, const char* name, const char* caption, void (TForm1::*handler)());
    void connectCommand(QAction* action, void (TForm1::*handler)());
    void connectCommand(QToolButton* button, void (TForm1::*handler)());
    // The save dialog of "Создать", prepared afresh.
    FileDialogRequest new_table_request() const;

    std::unique_ptr<SettingsStore> m_settings;
    std::string m_dialogInitialDir;
    std::string m_helpFile;
    RowCursor* m_table = nullptr;
    QWidget* m_clientArea = nullptr;
    QDialog* m_form2 = nullptr;
    const ArchiveImage* m_archive = nullptr;
    Tform6* m_form6 = nullptr;
    TForm3* m_form3 = nullptr;
    ReportCommands m_reports;
    // The colour dialog opens with the colour chosen in it last.
    uint32_t m_lastColor = 0x000000;
};

} // namespace zent5
