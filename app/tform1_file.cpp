// The main window's commands: open, save, close and exit.
#include "app/tform1.h"

#include "app/captiontext.h"
#include "app/datagrid.h"
#include "app/errorbox.h"
#include "app/quitrequest.h"
#include "app/settingsstore.h"
#include "records/prompter.h"

#include <exception>
#include <filesystem>
#include <system_error>

namespace zent5 {

namespace {

// The directory part of a chosen file name, without a trailing separator
// (the root keeps its own).
std::string directory_of(const std::string& path)
{
    return std::filesystem::path(path).parent_path().string();
}

// Closes the table and gives the window its no-table look and flags. The
// sort index file beside a table that was open goes: the sort it held ends
// with the table. `wasOpen` says the table was open even if it is closed
// already (its reopening failed).
void enter_no_table_state(TForm1& window, bool wasOpen)
{
    ProgramState& state = window.state();
    state.table_open = false;
    state.table_changed = false;
    std::exception_ptr failure;
    if (window.Dbf1.Active()) {
        wasOpen = true;
        window.DataGrid1->dropPendingEdit();
        try {
            window.Dbf1.Close();
        } catch (...) {
            failure = std::current_exception();
        }
    }
    if (wasOpen) {
        std::error_code missingIsFine;
        std::filesystem::remove(window.Dbf1.IndexFilePath(), missingIsFine);
    }
    // A table opened next starts in file order, whatever its folder holds.
    window.Dbf1.setIndexName("");
    window.DataGrid1->refreshRows();
    window.disable_button();
    window.tab_vis_dis();
    window.set_caption(program_title);
    window.set_background(false);
    if (failure)
        std::rethrow_exception(failure);
}

} // namespace

bool TForm1::reopen_table()
{
    // A close that cannot complete the header leaves the rows on disk all
    // the same (the size counts them): open the table again and show what
    // it holds before the failure is told.
    std::exception_ptr closeFailure;
    try {
        Dbf1.Close();
    } catch (const std::exception&) {
        closeFailure = std::current_exception();
    }
    try {
        Dbf1.Open();
    } catch (const std::exception& e) {
        // The table is gone from under the window: show why and leave no
        // grid bound to a closed table.
        const std::string text = e.what();
        save_layout();
        enter_no_table_state(*this, true);
        show_error_box(text);
        return false;
    }
    DataGrid1->refreshRows();
    if (closeFailure)
        std::rethrow_exception(closeFailure);
    return true;
}

void TForm1::Open_DB(const std::string& path)
{
    if (m_state.table_open)
        Close_DB();
    const std::filesystem::path file(path);
    try {
        Dbf1.setTableName(file.filename().string());
        Dbf1.setFilePath(file.parent_path().string());
        Dbf1.Open();
    } catch (const std::exception&) {
        m_prompter.message("Ошибка", "База данных повреждена !", MessageIcon::Error, MessageButtons::Ok);
        return;
    }
    m_state.table_open = true;
    Dbf1.First();
    set_background(true);
    enable_button();
    tab_vis_en();
    load_layout();
    set_caption(table_caption(path));
    m_state.table_changed = false;
}

void TForm1::Save_DB()
{
    if (!m_state.table_open)
        return;
    // Close and open write everything to the file; "tab1" stays the index
    // name, so a sort survives. A table already closed has nothing to write.
    if (Dbf1.Active()) {
        DataGrid1->commitPendingEdit();
        if (!reopen_table())
            return;
    }
    m_state.table_changed = false;
}

void TForm1::Close_DB()
{
    if (m_state.table_changed &&
        m_prompter.message(program_title, "Сохранить изменения в таблицах ?", MessageIcon::Question,
                           MessageButtons::YesNo) == MessageAnswer::Yes)
        Save_DB();
    save_layout();
    enter_no_table_state(*this, false);
}

void TForm1::N3Click()
{
    FileDialogRequest request;
    request.filter = "Базы данных|*.db";
    request.filterIndex = 1;
    request.defaultExtension = ".db";
    request.initialDir = dialog_initial_dir();
    const std::optional<std::string> chosen = m_prompter.openFile(request);
    if (!chosen || chosen->empty())
        return;
    if (m_state.table_open)
        Close_DB();
    // Remembered before the open, so it holds also when the open fails.
    m_state.default_dir = directory_of(*chosen);
    Open_DB(*chosen);
}

void TForm1::N5Click() { Save_DB(); }

void TForm1::N7Click() { Close_DB(); }

void TForm1::N11Click()
{
    // Ends the program without the close sequence: no prompt, and
    // "Default_dir" and the column layout keep their stored values.
    post_quit_request();
}

} // namespace zent5
