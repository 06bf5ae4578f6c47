#pragma once

#include <memory>

class QDialog;
class QWidget;

namespace zent5 {

class Prompter;
struct ArchiveImage;

// The download window `TForm2`: shown modally by "Создать" and "Дополнить",
// it ends with mrOk when the whole archive has arrived and mrCancel
// otherwise. Its message boxes go through `prompter`.
std::unique_ptr<QDialog> create_download_window(Prompter& prompter, QWidget* owner);

// What the window's last download left (kept until the next one), or
// nullptr when `window` is no download window.
const ArchiveImage* downloaded_archive(const QDialog* window);

} // namespace zent5
