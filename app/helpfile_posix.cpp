#include "app/helpfile.h"
#include "app/helpwindow.h"

namespace zent5 {

std::string find_help(const std::string& programDir) { return guide_in(programDir); }

void open_help(const std::string& help, QWidget* owner)
{
    if (help.empty())
        return;
    HelpWindow::show_guide(help, owner);
}

} // namespace zent5
