#pragma once

#include <memory>

class QDialog;
class QWidget;

namespace zent5 {

class Prompter;
struct ArchiveImage;

// The download window `TForm2`: shown modally by "Создать" and "Дополнить",
// it ends with mrOk when the whole archive has arrived and mrCancel
// otherwise, the archive then in `archive`. Its message boxes go through
// `prompter`.
std::unique_ptr<QDialog> create_download_window(Prompter& prompter, ArchiveImage& archive, QWidget* owner);

} // namespace zent5
