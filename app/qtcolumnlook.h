#pragma once

#include "records/gridcolumn.h"

#include <QColor>
#include <QFont>

#include <cstdint>

namespace zent5 {

// Colours travel as 0x00BBGGRR, the form the column layout keeps.
QColor color_from_bgr(uint32_t bgr);
uint32_t bgr_from_color(const QColor& color);

// "MS Sans Serif" names the desktop's standard sans-serif face, which on
// Linux is the toolkit's default font family; other names are used as given.
QFont qt_font(const ColumnFont& font);

Qt::Alignment qt_alignment(ColumnAlignment alignment);

} // namespace zent5
