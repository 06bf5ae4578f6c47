#pragma once

#include "link/downloadsession.h"
#include "records/archiveimage.h"
#include "records/prompter.h"

#include <QDialog>

class QCheckBox;
class QGroupBox;
class QLabel;
class QProgressBar;
class QPushButton;

namespace zent5 {

// The download window "Прием данных". It only shows what its download
// session does: construct once, exec() gives 1 when the archive arrived and
// 2 otherwise, then archive() holds the image and the identification.
class TForm2 : public QDialog {
    Q_OBJECT
public:
    explicit TForm2(Prompter& prompter, QWidget* parent = nullptr);
    // With a session of the caller's choosing.
    TForm2(std::unique_ptr<DownloadSession> session, QWidget* parent = nullptr);
    ~TForm2() override;

    const ArchiveImage& archive() const { return m_session->archive(); }
    DownloadSession& session() { return *m_session; }

    QLabel* StaticText2 = nullptr;   // status
    QProgressBar* ProgressBar1 = nullptr;
    QLabel* Label1 = nullptr;        // port search
    QGroupBox* GroupBox1 = nullptr;  // "Информация"
    QLabel* StaticText5 = nullptr;   // "Тип прибора:"
    QLabel* StaticText1 = nullptr;   // "Версия ПО:"
    QLabel* StaticText7 = nullptr;   // "Количество записей:"
    QCheckBox* CheckBox1 = nullptr;  // "Сохранить двоичный файл", hidden
    QPushButton* Button1 = nullptr;  // "Отмена"

    void FormCreate();
    void FormShow();
    void Button1Click();
    void FormClose();

    void done(int result) override;
    // Escape and the window manager's close end the download like "Отмена".
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void build();
    void connectSession();

    std::unique_ptr<DownloadSession> m_session;
    bool m_closing = false;
};

} // namespace zent5
