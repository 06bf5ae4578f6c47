#pragma once

#include <QFont>

namespace zent5 {

// The desktop's standard sans-serif face at the given size: what the
// windows' "MS Sans Serif" stands for on this platform.
QFont desktop_font(int pointSize);

} // namespace zent5
