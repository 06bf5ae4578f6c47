#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace zent5 {

// File names travel as UTF-8 text. A path is made from them, and read back,
// through char8_t: Windows would read plain bytes in its ANSI code page and
// garble every Cyrillic name.
inline std::filesystem::path pathFromUtf8(std::string_view utf8)
{
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

inline std::string utf8Of(const std::filesystem::path& path)
{
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

} // namespace zent5
