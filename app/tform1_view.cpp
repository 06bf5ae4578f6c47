// The main window's commands: the table view commands: sorting, colours, fitting, deleting, renumbering, editing.
#include "app/tform1.h"

#include "app/datagrid.h"
#include "app/gridprocedures.h"

namespace zent5 {

void TForm1::N23Click()
{
    if (!table_active())
        return;
    fit_columns(*DataGrid1);
}

void TForm1::N17Click()
{
    if (!table_active())
        return;
}

void TForm1::N18Click()
{
    if (!table_active())
        return;
}

void TForm1::N19Click()
{
    if (!table_active())
        return;
}

void TForm1::N33Click() {}

void TForm1::N21Click()
{
    if (!table_active())
        return;
}

void TForm1::N37Click()
{
    if (!m_state.table_open)
        return;
}

void TForm1::DataGrid1TitleStateChange(int column)
{
    if (!table_active() || column < 0)
        return;
}

void TForm1::DataGrid1InitEdit() { m_state.table_changed = true; }

void TForm1::reset_sort() { clear_sort_marks(*DataGrid1); }

void TForm1::grid_follow_table() {}

} // namespace zent5
