// The main window's command "Статистика": the statistics window over the grid's rows.
#include "app/tform1.h"

#include "app/gridstatistics.h"
#include "app/requiredsettings.h"
#include "app/statisticswindow.h"

namespace zent5 {

void TForm1::Statistics1Click()
{
    if (!m_state.table_open || !table_active())
        return;
    stats::StatisticsInput input = grid_statistics_input(*DataGrid1, m_state.dimension);
    input.tableName = Dbf1.TableName();
    stats::StatisticsWindow window(
        std::move(input), read_required_values(*m_settings),
        [this](const stats::RequiredValues& kilonewtons) { write_required_values(*m_settings, kilonewtons); },
        nullptr, this);
    window.exec();
}

} // namespace zent5
