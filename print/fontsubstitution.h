#pragma once

#include <string>
#include <string_view>

namespace zent5 {

// The templates name Windows fonts. On other systems metric-compatible
// families stand in: Liberation Sans for Arial, and for Symbol a font with
// the Greek letters that Symbol draws for Latin ones. Needs a running
// QGuiApplication (the font database).
std::string installedFamilyFor(const std::string& family);

// Text meant for the Symbol font as the Unicode characters Symbol shows:
// "s" is the Greek small sigma. Other fonts' text is returned unchanged.
std::string textForFont(const std::string& family, std::string_view text);

} // namespace zent5
