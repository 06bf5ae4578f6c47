#pragma once

#include <string>

namespace zent5 {

// What the table commands ask of the face that shows the table: the main
// window's grid, menus and caption, or nothing much for the command-line
// tool. The commands call these at the points where the window's look
// follows the table.
class TableView {
public:
    virtual ~TableView() = default;

    // The table is open: its commands offered, its rows shown from the
    // first, the column layout restored (which may fail; the table then
    // stays open and shown).
    virtual void showTable() = 0;
    // The rows shown again from the first, after the table was written.
    virtual void showRows() = 0;
    // No table: its commands withdrawn and the grid hidden.
    virtual void hideTable() = 0;
    // Stores the column layout; every close of the table does.
    virtual void saveLayout() = 0;
    // The caption for the table at `tablePath`, or for no table when empty.
    virtual void showCaption(const std::string& tablePath) = 0;

    // The table's rows or their order changed: read them again.
    virtual void refreshRows() = 0;
    // An edit still open in a cell is written into its row and posted, or
    // thrown away.
    virtual void commitPendingEdit() = 0;
    virtual void dropPendingEdit() = 0;
    virtual void clearSelection() = 0;
    virtual void clearSortMarks() = 0;

    // An error the command has already dealt with (the table could not be
    // opened again and is closed), told as the error box tells it.
    virtual void showError(const std::string& text) = 0;
};

// A view with nothing to show; errors are kept for the caller to read.
class NoTableView : public TableView {
public:
    void showTable() override {}
    void showRows() override {}
    void hideTable() override {}
    void saveLayout() override {}
    void showCaption(const std::string&) override {}
    void refreshRows() override {}
    void commitPendingEdit() override {}
    void dropPendingEdit() override {}
    void clearSelection() override {}
    void clearSortMarks() override {}
    void showError(const std::string& text) override { lastError = text; }

    std::string lastError;
};

} // namespace zent5
