#pragma once

#include "app/celldelegate.h"
#include "records/gridcolumns.h"
#include "app/gridmodel.h"

#include <QTableView>

#include <memory>
#include <optional>
#include <vector>

namespace zent5 {

class DbfTable;
class TableRows;

// The main window's data grid: the column collection, its item model and
// the view. Column titles are two lines high, rows are selected whole and
// several at a time, columns cannot be moved, and with auto-fit on the
// visible columns are scaled to fill the grid's width.
//
// Bound to a table, it shows the table's current view and keeps its cell
// cursor and the table's current row on the same record: moving in the
// grid moves the table (posting a row edited before), and after the rows
// are re-read the grid goes to the table's current row. Only the area and
// the comment are edited in place; the edited row is written when the user
// leaves it, or when a command commits the pending edit.
class DataGrid : public QTableView {
    Q_OBJECT
public:
    explicit DataGrid(QWidget* parent = nullptr);
    ~DataGrid() override;

    using QTableView::edit;

    GridColumns& columns() { return m_columns; }
    const GridColumns& columns() const { return m_columns; }
    GridModel& gridModel() { return m_model; }

    // Shows what the column collection holds: visibility, widths, the sort
    // mark, colours, fonts and alignment. Call after changing the columns.
    void applyColumns();

    bool autoFit() const { return m_autoFit; }
    void setAutoFit(bool on);

    // The grid's width in pixels as the fitting of the columns counts it.
    int gridWidth() const { return width(); }
    // The width a column is shown with now (0 when hidden).
    int shownWidth(int column) const;

    // The column of the cell cursor; with no cell cursor (no rows) the
    // column it had last, the first one at the start.
    int currentColumn() const;
    // The selected rows in ascending order.
    std::vector<int> selectedRows() const;

    // Shows the rows of `table` (nullptr: none). The table must outlive the
    // binding.
    void setTable(DbfTable* table);
    TableRows* tableRows() const { return m_tableRows.get(); }
    // Re-reads the rows after the table's view changed; the cell cursor goes
    // to the table's current row.
    void refreshRows();
    // Puts the cell cursor on the table's current row.
    void followTable();
    // Writes what an open editor holds into its row, then posts the row.
    void commitPendingEdit();
    // Closes an open editor without keeping what it holds.
    void dropPendingEdit();
    // An in-place editor is open.
    bool isEditing() const { return state() == EditingState; }

signals:
    // A title click changed that column's sort mark.
    void titleStateChanged(int column);
    // The grid began an in-place edit of a cell.
    void editStarted();

protected:
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void fitSections();
    void rowsChanged();
    void showSortMark();
    void onTitleClicked(int section);
    void onSectionResized(int section, int oldSize, int newSize);
    void onCurrentChanged(const QModelIndex& current, const QModelIndex& previous);
    int firstVisibleColumn() const;

    GridColumns m_columns;
    GridModel m_model;
    CellDelegate m_delegate;
    DbfTable* m_table = nullptr;
    std::unique_ptr<TableRows> m_tableRows;
    int m_lastColumn = 0;
    // The keys held at the title click being handled, when a mouse made it.
    std::optional<Qt::KeyboardModifiers> m_titleClickKeys;
    bool m_autoFit = true;
    bool m_applying = false;
    int m_rowsChanging = 0; // the model is between its announcement and its end of a change of rows
};

} // namespace zent5
