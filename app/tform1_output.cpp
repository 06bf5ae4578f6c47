// The main window's commands: print preview, printing and the spreadsheet export.
#include "app/tform1.h"

#include "export/excelexport.h"

namespace zent5 {

void TForm1::N8Click()
{
    if (!m_state.table_open || !table_active())
        return;
    m_reports.preview(&Dbf1, m_state.dimension, this);
    grid_follow_table();
}

void TForm1::N9Click()
{
    if (!m_state.table_open || !table_active())
        return;
    m_reports.print(&Dbf1, m_state.dimension, this);
    grid_follow_table();
}

void TForm1::N22Click()
{
    if (!m_state.table_open || !table_active())
        return;
    m_reports.printLastComposed(&Dbf1, m_state.dimension, this);
    grid_follow_table();
}

void TForm1::Excel1Click()
{
    if (!m_state.table_open || !table_active())
        return;
    exp2excel(Dbf1, m_state.dimension, m_prompter, m_dialogInitialDir, [this] { reset_sort(); });
}

} // namespace zent5
