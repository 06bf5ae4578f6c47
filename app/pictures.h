#pragma once

#include <QIcon>
#include <QPixmap>

namespace zent5 {

// The program's own 16 x 16 pictures shared by the menu and the tool bar.
enum Picture {
    picNew = 0,
    picOpen = 1,
    picSave = 2,
    picPreview = 3,
    picPrint = 4,
    picHelp = 5,
    picDeleteRows = 6,
};
inline constexpr int picture_count = 7;

QPixmap picture(int index);
QIcon picture_icon(int index);

// The splash picture, 400 x 78.
QPixmap splash_picture();

} // namespace zent5
