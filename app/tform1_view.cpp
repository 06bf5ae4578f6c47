// The main window's commands: the table view commands: sorting, colours, fitting, deleting, renumbering, editing.
#include "app/tform1.h"

#include "app/datagrid.h"
#include "app/gridprocedures.h"
#include "app/tablerows.h"
#include "records/prompter.h"

#include <algorithm>
#include <functional>

namespace zent5 {

namespace {

constexpr const char* sort_index = "tab1";

// Runs the steps one after the other and stops quietly at the first that
// fails; dropping the sort index is best effort.
void quietly(std::initializer_list<std::function<void()>> steps)
{
    try {
        for (const auto& step : steps)
            step();
    } catch (const std::exception&) {
    }
}

// Re-reads the grid's rows when the scope ends, also when a step failed:
// the table's view may have changed before the failure.
class RowsRefresh {
public:
    explicit RowsRefresh(DataGrid& grid) : m_grid(grid) {}
    ~RowsRefresh() { m_grid.refreshRows(); }
    RowsRefresh(const RowsRefresh&) = delete;
    RowsRefresh& operator=(const RowsRefresh&) = delete;

private:
    DataGrid& m_grid;
};

} // namespace

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
    // Selections keep rows by record number; the sort reset reorders the rows.
    std::vector<uint32_t> doomed;
    if (TableRows* rows = DataGrid1->tableRows())
        for (int row : DataGrid1->selectedRows())
            if (const uint32_t recNo = rows->recNo(row))
                doomed.push_back(recNo);
    reset_sort();
    RowsRefresh refresh(*DataGrid1);
    if (doomed.empty()) {
        Dbf1.Delete(); // the current row; none raises the table's own error
    } else {
        std::sort(doomed.begin(), doomed.end());
        for (auto it = doomed.rbegin(); it != doomed.rend(); ++it) {
            Dbf1.GoTo(*it);
            if (Dbf1.RecNo() == *it)
                Dbf1.Delete();
        }
    }
    DataGrid1->clearSelection();
    DataGrid1->commitPendingEdit();
    Dbf1.Pack();
    if (reopen_table())
        m_state.table_changed = false;
}

void TForm1::N37Click()
{
    if (!m_state.table_open)
        return;
    if (Dbf1.Active()) {
        RowsRefresh refresh(*DataGrid1);
        DataGrid1->commitPendingEdit();
        Dbf1.First();
        // The rows are numbered in the order shown when the command starts.
        // Walking a copy of that order numbers each row once even when the
        // rows are sorted by their number and move as they get new ones.
        const std::vector<uint32_t> order = Dbf1.ViewOrder();
        for (size_t i = 0; i < order.size(); ++i) {
            Dbf1.GoTo(order[i]);
            Dbf1.Edit();
            Dbf1.SetFieldValue("N", double(i + 1));
            Dbf1.Post();
        }
        Dbf1.First();
    }
    reopen_table();
}

void TForm1::DataGrid1TitleStateChange(int column)
{
    if (!table_active() || column < 0 || column >= DataGrid1->columns().size())
        return;
    DataGrid1->commitPendingEdit();
    RowsRefresh refresh(*DataGrid1);
    Dbf1.setIndexName("");
    quietly({[&] { Dbf1.DeleteIndex(sort_index); }, [&] { Dbf1.Refresh(); }});
    const GridColumn& sorted = DataGrid1->columns()[column];
    if (sorted.TitleState == GridTitleState::tsSortedNone) {
        reset_sort();
        return;
    }
    // The first click (an up mark) shows the largest values first.
    Dbf1.AddIndex(sort_index, sorted.field, sorted.TitleState == GridTitleState::tsSortedUp);
    Dbf1.setIndexName(sort_index);
    Dbf1.RebuildIndexes();
    Dbf1.Refresh();
}

void TForm1::DataGrid1InitEdit() { m_state.table_changed = true; }

void TForm1::reset_sort()
{
    // What the user is typing is kept before anything else changes.
    if (Dbf1.Active())
        DataGrid1->commitPendingEdit();
    clear_sort_marks(*DataGrid1);
    if (!Dbf1.Active())
        return;
    RowsRefresh refresh(*DataGrid1);
    quietly({[&] { Dbf1.setIndexName(""); }, [&] { Dbf1.DeleteIndex(sort_index); },
             [&] { Dbf1.CloseIndex(sort_index); }, [&] { Dbf1.Refresh(); }});
}

void TForm1::grid_follow_table()
{
    // Walking the table posts a pending edit, which may have moved its row
    // in a sorted view; the grid takes the order afresh, keeping its
    // selection on the same records.
    DataGrid1->gridModel().reloadKeepingRows();
    DataGrid1->followTable();
}

} // namespace zent5
