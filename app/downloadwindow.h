#pragma once

#include <QDialog>

#include <memory>

namespace zent5 {

// The download window `TForm2`: shown modally by "Создать" and "Дополнить",
// it ends with mrOk when the whole archive has arrived and mrCancel
// otherwise. The main window only shows it and reads that result.
std::unique_ptr<QDialog> create_download_window(QWidget* owner);

} // namespace zent5
