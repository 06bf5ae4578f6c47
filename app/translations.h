#pragma once

class QCoreApplication;

namespace zent5 {

// Installs Qt's own Russian texts (standard buttons "Да", "Нет", "Отмена",
// the file, colour and print dialogs). Returns false when the translation
// file is not installed; the program then runs with Qt's English texts.
bool load_russian_translations(QCoreApplication& app);

} // namespace zent5
