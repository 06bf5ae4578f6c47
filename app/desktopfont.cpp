#include "app/desktopfont.h"

#include <QGuiApplication>

namespace zent5 {

QFont desktop_font(int pointSize)
{
    QFont font = QGuiApplication::font();
    font.setPointSize(pointSize);
    return font;
}

} // namespace zent5
