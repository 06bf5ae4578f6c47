#pragma once

#include <string>
#include <string_view>

namespace zent5 {

// The caption with a table open: the file's name without its directory and
// its last extension, " - ", the program title ("/data/May.db" gives
// "May - ЗЕНТ-5").
std::string table_caption(std::string_view path);

} // namespace zent5
