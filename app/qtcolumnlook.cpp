#include "app/qtcolumnlook.h"

#include <QGuiApplication>

namespace zent5 {

QColor color_from_bgr(uint32_t bgr)
{
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

uint32_t bgr_from_color(const QColor& color)
{
    return uint32_t(color.red()) | uint32_t(color.green()) << 8 | uint32_t(color.blue()) << 16;
}

QFont qt_font(const ColumnFont& font)
{
    QFont result = QGuiApplication::font();
    if (font.name != "MS Sans Serif")
        result.setFamily(QString::fromStdString(font.name));
    result.setPointSize(font.size);
    result.setBold(font.bold);
    result.setItalic(font.italic);
    result.setUnderline(font.underline);
    result.setStrikeOut(font.strikeOut);
    return result;
}

Qt::Alignment qt_alignment(ColumnAlignment alignment)
{
    switch (alignment) {
    case ColumnAlignment::taRightJustify:
        return Qt::AlignRight | Qt::AlignVCenter;
    case ColumnAlignment::taCenter:
        return Qt::AlignCenter;
    case ColumnAlignment::taLeftJustify:
        break;
    }
    return Qt::AlignLeft | Qt::AlignVCenter;
}

} // namespace zent5
