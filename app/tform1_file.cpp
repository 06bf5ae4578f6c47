// The main window's commands: open, save, close and exit.
#include "app/tform1.h"

#include "app/quitrequest.h"
#include "records/pathparts.h"
#include "records/prompter.h"

namespace zent5 {

bool TForm1::reopen_table() { return m_session.reopen(); }

void TForm1::Open_DB(const std::string& path)
{
    try {
        m_session.open(path);
    } catch (const TableOpenError&) {
        m_prompter.message("Ошибка", "База данных повреждена !", MessageIcon::Error, MessageButtons::Ok);
    }
}

void TForm1::Save_DB() { m_session.save(); }

void TForm1::Close_DB() { m_session.close(); }

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
    m_state.default_dir = splitPath(*chosen).directory;
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
