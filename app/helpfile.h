#pragma once

#include <string>

class QWidget;

namespace zent5 {

// Where the program's help lives differs by platform, and each platform's
// rule has one home here. On Windows it is the help file "zent5.hlp" beside
// the program, opened by the desktop's viewer. Elsewhere it is the user
// guide, a folder of HTML pages whose first page is "index.html", shown in
// the program's own help window.
inline constexpr const char* help_file_name = "zent5.hlp";
inline constexpr const char* guide_first_page = "index.html";

// "zent5.hlp" in the program's directory when such a file exists; empty
// otherwise.
std::string help_file_in(const std::string& programDir);

// The guide's first page: installed, in share/zent5/help beside the folder
// the program is in (/usr/share/zent5/help for /usr/bin/zent5); otherwise in
// the folder "help" beside the program. Empty when neither has one.
std::string guide_in(const std::string& programDir);

// The help of this platform for a program in `programDir`, looked for once
// at start-up; empty when there is none, and then help does nothing.
std::string find_help(const std::string& programDir);

// Opens the help found at start-up, `owner` being the main window. Does
// nothing, and shows nothing, when there is no help.
void open_help(const std::string& help, QWidget* owner);

// Asks the desktop to open a file with its viewer for that kind of file.
void open_in_desktop_viewer(const std::string& file);

} // namespace zent5
