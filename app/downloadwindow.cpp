#include "app/downloadwindow.h"

#include "link/tform2.h"

namespace zent5 {

std::unique_ptr<QDialog> create_download_window(Prompter& prompter, ArchiveImage& archive, QWidget* owner)
{
    auto window = std::make_unique<TForm2>(prompter, archive, owner);
    window->setObjectName(QStringLiteral("TForm2"));
    return window;
}

} // namespace zent5
