#pragma once

#include "session/tableview.h"

namespace zent5 {

class TForm1;

// The main window as the table commands see it: its procedures for the
// table-open and no-table looks, the grid and the caption.
class WindowTableView : public TableView {
public:
    explicit WindowTableView(TForm1& window) : m_window(window) {}

    void showTable() override;
    void showRows() override;
    void hideTable() override;
    void saveLayout() override;
    void showCaption(const std::string& tablePath) override;
    void refreshRows() override;
    void commitPendingEdit() override;
    void dropPendingEdit() override;
    void clearSelection() override;
    void clearSortMarks() override;
    void showError(const std::string& text) override;

private:
    TForm1& m_window;
};

} // namespace zent5
