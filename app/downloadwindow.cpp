#include "app/downloadwindow.h"

#include "link/tform2.h"

namespace zent5 {

std::unique_ptr<QDialog> create_download_window(Prompter& prompter, QWidget* owner)
{
    auto window = std::make_unique<TForm2>(prompter, owner);
    window->setObjectName(QStringLiteral("TForm2"));
    return window;
}

const ArchiveImage* downloaded_archive(const QDialog* window)
{
    const auto* form2 = qobject_cast<const TForm2*>(window);
    return form2 ? &form2->archive() : nullptr;
}

} // namespace zent5
