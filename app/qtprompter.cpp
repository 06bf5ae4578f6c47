#include "app/qtprompter.h"

#include "app/qtcolumnlook.h"
#include "records/pathparts.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QHeaderView>
#include <QMessageBox>
#include <QTreeView>

#include <algorithm>

namespace zent5 {

QString qt_name_filter(const std::string& filter)
{
    const QString text = QString::fromStdString(filter);
    const qsizetype bar = text.indexOf(u'|');
    if (bar < 0)
        return text;
    return text.left(bar) + QStringLiteral(" (") + text.mid(bar + 1) + QStringLiteral(")");
}

std::string with_default_extension(const std::string& fileName, const std::string& defaultExtension)
{
    if (fileName.empty() || defaultExtension.empty())
        return fileName;
    const std::string name = splitPath(fileName).fileName;
    if (name.empty() || name.find('.') != std::string::npos)
        return fileName;
    return fileName + (defaultExtension.front() == '.' ? "" : ".") + defaultExtension;
}

namespace {

// Qt's own file dialog opens too narrow for the size, type and date of the
// files: the list shows them in full and the name takes the room left.
void showDetailsInFull(QFileDialog& dialog)
{
    dialog.setViewMode(QFileDialog::Detail);
    if (auto* list = dialog.findChild<QTreeView*>()) {
        QHeaderView* titles = list->header();
        titles->setStretchLastSection(false);
        for (int i = 0; i < titles->count(); ++i)
            titles->setSectionResizeMode(i, i == 0 ? QHeaderView::Stretch : QHeaderView::ResizeToContents);
    }
    dialog.resize(std::max(dialog.width(), 900), std::max(dialog.height(), 520));
}

} // namespace

QtPrompter::QtPrompter(QWidget* owner) : m_owner(owner) {}

QWidget* QtPrompter::owner() const
{
    if (QWidget* active = QApplication::activeModalWidget())
        return active;
    if (QWidget* active = QApplication::activeWindow())
        return active;
    return m_owner;
}

MessageAnswer QtPrompter::message(const std::string& caption, const std::string& text, MessageIcon icon,
                                  MessageButtons buttons)
{
    QMessageBox::Icon qtIcon = QMessageBox::NoIcon;
    switch (icon) {
    case MessageIcon::Error: qtIcon = QMessageBox::Critical; break;
    case MessageIcon::Warning: qtIcon = QMessageBox::Warning; break;
    case MessageIcon::Question: qtIcon = QMessageBox::Question; break;
    case MessageIcon::Information: qtIcon = QMessageBox::Information; break;
    case MessageIcon::None: break;
    }
    const bool yesNo = buttons == MessageButtons::YesNo;
    QMessageBox box(qtIcon, QString::fromStdString(caption), QString::fromStdString(text),
                    yesNo ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok, owner());
    box.setDefaultButton(yesNo ? QMessageBox::Yes : QMessageBox::Ok);
    const int answer = box.exec();
    if (!yesNo)
        return MessageAnswer::Ok;
    return answer == QMessageBox::Yes ? MessageAnswer::Yes : MessageAnswer::No;
}

std::optional<std::string> QtPrompter::openFile(const FileDialogRequest& request)
{
    return fileDialog(false, request);
}

std::optional<std::string> QtPrompter::saveFile(const FileDialogRequest& request)
{
    return fileDialog(true, request);
}

std::optional<std::string> QtPrompter::fileDialog(bool save, const FileDialogRequest& request)
{
    QFileDialog dialog(owner(), QString(), QString::fromStdString(request.initialDir));
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    // The open dialog accepts a name that does not exist (the open then
    // reports it); the save dialog does not ask before an existing file.
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    const QString filter = qt_name_filter(request.filter);
    if (!filter.isEmpty()) {
        dialog.setNameFilters({filter});
        dialog.selectNameFilter(filter);
    }
    std::string extension = request.defaultExtension;
    if (!extension.empty() && extension.front() == '.')
        extension.erase(0, 1);
    dialog.setDefaultSuffix(QString::fromStdString(extension));
    if (!request.fileName.empty())
        dialog.selectFile(QString::fromStdString(request.fileName));
    showDetailsInFull(dialog);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty())
        return std::string();
    return with_default_extension(chosen.front().toStdString(), request.defaultExtension);
}

std::optional<uint32_t> QtPrompter::chooseColor(uint32_t initial)
{
    const QColor chosen = QColorDialog::getColor(color_from_bgr(initial), owner());
    if (!chosen.isValid())
        return std::nullopt;
    return bgr_from_color(chosen);
}

} // namespace zent5
