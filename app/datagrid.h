#pragma once

#include "app/gridcolumns.h"
#include "app/gridmodel.h"

#include <QTableView>

#include <vector>

namespace zent5 {

// The main window's data grid: the column collection, its item model and
// the view. Column titles are two lines high, rows are selected whole and
// several at a time, columns cannot be moved, and with auto-fit on the
// visible columns are scaled to fill the grid's width.
class DataGrid : public QTableView {
    Q_OBJECT
public:
    explicit DataGrid(QWidget* parent = nullptr);

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

    // The column of the cell cursor, or -1.
    int currentColumn() const;
    // The selected rows in ascending order.
    std::vector<int> selectedRows() const;

signals:
    // A title click changed that column's sort mark.
    void titleStateChanged(int column);
    // The grid began an in-place edit of a cell.
    void editStarted();

protected:
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
    bool viewportEvent(QEvent* event) override;

private:
    void fitSections();
    void showSortMark();
    void onTitleClicked(int section);
    void onSectionResized(int section, int oldSize, int newSize);

    GridColumns m_columns;
    GridModel m_model;
    bool m_autoFit = true;
    bool m_applying = false;
};

} // namespace zent5
