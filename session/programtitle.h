#pragma once

namespace zent5 {

// The program's name: the application title, the caption in the no-table
// state, the tail of the caption with a table open, the caption of the save
// prompt and of the error box.
inline constexpr const char* program_title = "ЗЕНТ-5";

} // namespace zent5
