#pragma once

#include "records/prompter.h"

#include <QPointer>
#include <QString>

#include <QWidget>

namespace zent5 {

// "Базы данных|*.db" -> "Базы данных (*.db)": the description before the
// bar, the pattern after it.
QString qt_name_filter(const std::string& filter);

// Adds the default extension (".db") when the file name has none.
std::string with_default_extension(const std::string& fileName, const std::string& defaultExtension);

// The program's prompts as the desktop shows them: message boxes, Qt's file
// dialogs and colour dialog, owned by the active window (or the given one).
class QtPrompter : public Prompter {
public:
    explicit QtPrompter(QWidget* owner = nullptr);

    void setOwner(QWidget* owner) { m_owner = owner; }

    MessageAnswer message(const std::string& caption, const std::string& text, MessageIcon icon,
                          MessageButtons buttons) override;
    std::optional<std::string> openFile(const FileDialogRequest& request) override;
    std::optional<std::string> saveFile(const FileDialogRequest& request) override;
    std::optional<uint32_t> chooseColor(uint32_t initial) override;

private:
    QWidget* owner() const;
    std::optional<std::string> fileDialog(bool save, const FileDialogRequest& request);

    QPointer<QWidget> m_owner;
};

} // namespace zent5
