// The main window's commands: open, save, close and exit.
#include "app/tform1.h"

#include "app/datagrid.h"
#include "app/settingsstore.h"
#include "records/prompter.h"

#include <QCoreApplication>
#include <QEvent>

namespace zent5 {

void TForm1::Open_DB(const std::string& path) { (void)path; }

void TForm1::Save_DB()
{
    if (!m_state.table_open)
        return;
}

void TForm1::Close_DB()
{
    if (m_state.table_changed &&
        m_prompter.message(program_title, "Сохранить изменения в таблицах ?", MessageIcon::Question,
                           MessageButtons::YesNo) == MessageAnswer::Yes)
        Save_DB();
    save_layout();
    m_state.table_open = false;
    m_state.table_changed = false;
    disable_button();
    tab_vis_dis();
    set_caption(program_title);
    set_background(false);
}

void TForm1::N3Click() {}

void TForm1::N5Click() { Save_DB(); }

void TForm1::N7Click() { Close_DB(); }

void TForm1::N11Click()
{
    // Ends the program without the close sequence: no prompt, and
    // "Default_dir" and the column layout keep their stored values.
    QCoreApplication::postEvent(QCoreApplication::instance(), new QEvent(QEvent::Quit));
}

} // namespace zent5
