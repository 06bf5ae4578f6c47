#include "app/windowtableview.h"

#include "app/captiontext.h"
#include "app/datagrid.h"
#include "app/errorbox.h"
#include "app/gridprocedures.h"
#include "app/tform1.h"

namespace zent5 {

void WindowTableView::showTable()
{
    m_window.set_background(true);
    m_window.enable_button();
    m_window.tab_vis_en();
    m_window.load_layout();
}

void WindowTableView::showRows() { m_window.tab_vis_en(); }

void WindowTableView::hideTable()
{
    m_window.disable_button();
    m_window.tab_vis_dis();
    m_window.set_background(false);
}

void WindowTableView::saveLayout() { m_window.save_layout(); }

void WindowTableView::showCaption(const std::string& tablePath)
{
    m_window.set_caption(tablePath.empty() ? std::string(program_title) : table_caption(tablePath));
}

void WindowTableView::refreshRows() { m_window.DataGrid1->refreshRows(); }

void WindowTableView::commitPendingEdit() { m_window.DataGrid1->commitPendingEdit(); }

void WindowTableView::dropPendingEdit() { m_window.DataGrid1->dropPendingEdit(); }

void WindowTableView::clearSelection() { m_window.DataGrid1->clearSelection(); }

void WindowTableView::clearSortMarks() { clear_sort_marks(*m_window.DataGrid1); }

void WindowTableView::showError(const std::string& text) { show_error_box(text); }

} // namespace zent5
