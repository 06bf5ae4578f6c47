#pragma once

#include <string>

namespace zent5 {

// The application title names the task bar button and is the caption of the
// error box. It follows the main window's caption (the caption is set from
// it), so with a table open it reads "May - ЗЕНТ-5".
const std::string& application_title();
void set_application_title(const std::string& title);

} // namespace zent5
