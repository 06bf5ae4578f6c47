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
// session does, its handlers passing the window's events on: construct
// once, exec() gives 1 when the archive arrived and 2 otherwise, then the
// archive image it was given holds the image and the identification.
class TForm2 : public QDialog {
    Q_OBJECT
public:
    static constexpr int kModalOk = 1;
    static constexpr int kModalCancel = 2;

    TForm2(Prompter& prompter, ArchiveImage& archive, QWidget* parent = nullptr);
    // With a session of the caller's choosing.
    TForm2(std::unique_ptr<DownloadSession> session, QWidget* parent = nullptr);
    ~TForm2() override;

    const ArchiveImage& archive() const { return m_session->archive(); }
    DownloadSession& session() { return *m_session; }
    SerialPortDriver& SerialPortDriver1() { return m_session->driver(); }

    QLabel* StaticText2 = nullptr;   // status
    QProgressBar* ProgressBar1 = nullptr;
    QLabel* Label1 = nullptr;        // port search
    QGroupBox* GroupBox1 = nullptr;  // "Информация"
    QLabel* StaticText5 = nullptr;   // "Тип прибора:"
    QLabel* StaticText1 = nullptr;   // "Версия ПО:"
    QLabel* StaticText7 = nullptr;   // "Количество записей:"
    QLabel* Label2 = nullptr;        // overdue verification, empty otherwise
    QCheckBox* CheckBox1 = nullptr;  // "Сохранить двоичный файл", hidden
    QPushButton* Button1 = nullptr;  // "Отмена"

    void FormCreate();
    void FormShow();
    void Timer1Timer();
    void SerialPortDriver1ReceiveData(SerialPortDriver* sender, const uint8_t* data, uint32_t size);
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
