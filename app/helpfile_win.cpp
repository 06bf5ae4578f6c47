#include "app/helpfile.h"

namespace zent5 {

std::string find_help(const std::string& programDir) { return help_file_in(programDir); }

void open_help(const std::string& help, QWidget*)
{
    if (help.empty())
        return;
    open_in_desktop_viewer(help);
}

} // namespace zent5
