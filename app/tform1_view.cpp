// The main window's commands: the table view commands: sorting, colours, fitting, deleting, renumbering, editing.
#include "app/tform1.h"

#include "app/datagrid.h"
#include "app/gridprocedures.h"
#include "app/tablerows.h"
#include "records/prompter.h"

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
    const std::optional<uint32_t> chosen = m_prompter.chooseColor(m_lastColor);
    if (!chosen)
        return;
    m_lastColor = *chosen;
    DataGrid1->columns()[DataGrid1->currentColumn()].Color = *chosen;
    DataGrid1->applyColumns();
}

void TForm1::N18Click()
{
    if (!table_active())
        return;
    DataGrid1->columns()[DataGrid1->currentColumn()].Color = clNone;
    DataGrid1->applyColumns();
}

void TForm1::N19Click()
{
    if (!table_active())
        return;
    clear_colors(*DataGrid1);
}

void TForm1::N33Click() { reset_sort(); }

void TForm1::N21Click()
{
    if (!table_active())
        return;
    // Selections keep rows by record number, which no sort changes.
    std::vector<uint32_t> doomed;
    if (TableRows* rows = DataGrid1->tableRows())
        for (int row : DataGrid1->selectedRows())
            if (const uint32_t recNo = rows->recNo(row))
                doomed.push_back(recNo);
    m_session.deleteRows(std::move(doomed));
}

void TForm1::N37Click() { m_session.renumber(); }

void TForm1::DataGrid1TitleStateChange(int column)
{
    if (!table_active() || column < 0 || column >= DataGrid1->columns().size())
        return;
    // The first click (an up mark) shows the largest values first.
    const GridColumn& sorted = DataGrid1->columns()[column];
    std::optional<SortOrder> order;
    if (sorted.TitleState == GridTitleState::tsSortedUp)
        order = SortOrder::Descending;
    else if (sorted.TitleState == GridTitleState::tsSortedDown)
        order = SortOrder::Ascending;
    m_session.sortBy(sorted.field, order);
}

void TForm1::DataGrid1InitEdit() { m_session.markEdited(); }

void TForm1::reset_sort() { m_session.resetSort(); }

void TForm1::grid_follow_table()
{
    // Walking the table posts a pending edit, which may have moved its row
    // in a sorted view; the grid takes the order afresh, keeping its
    // selection on the same records.
    DataGrid1->gridModel().reloadKeepingRows();
    DataGrid1->followTable();
}

} // namespace zent5
