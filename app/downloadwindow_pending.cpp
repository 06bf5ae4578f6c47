#include "app/downloadwindow.h"

#include "app/modalresult.h"

#include <QTimer>

namespace zent5 {

namespace {

// Stands in until the instrument link provides the real window: it ends at
// once with mrCancel, which "Создать" and "Дополнить" treat as a download
// that did not happen.
class PendingDownloadWindow : public QDialog {
public:
    explicit PendingDownloadWindow(QWidget* owner) : QDialog(owner)
    {
        setObjectName(QStringLiteral("TForm2"));
    }

protected:
    void showEvent(QShowEvent* event) override
    {
        QDialog::showEvent(event);
        QTimer::singleShot(0, this, [this] { done(mrCancel); });
    }
};

} // namespace

std::unique_ptr<QDialog> create_download_window(QWidget* owner)
{
    return std::make_unique<PendingDownloadWindow>(owner);
}

} // namespace zent5
