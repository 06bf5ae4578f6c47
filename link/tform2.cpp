#include "link/tform2.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>

namespace zent5 {

namespace {

constexpr int kClientWidth = 490;
constexpr int kClientHeight = 245;

} // namespace

TForm2::TForm2(Prompter& prompter, ArchiveImage& archive, QWidget* parent)
    : TForm2(std::make_unique<DownloadSession>(prompter, archive), parent)
{
}

TForm2::TForm2(std::unique_ptr<DownloadSession> session, QWidget* parent)
    : QDialog(parent), m_session(std::move(session))
{
    m_session->routeSearchTimer([this] { Timer1Timer(); });
    m_session->routeBytes([this](const uint8_t* data, uint32_t size) {
        SerialPortDriver1ReceiveData(&m_session->driver(), data, size);
    });
    build();
    connectSession();
    FormCreate();
}

TForm2::~TForm2() = default;

void TForm2::build()
{
    // Fixed border, a title but no title-bar buttons: the only way out is "Отмена".
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setWindowTitle(QString::fromUtf8(DownloadSession::kCaption));
    setFixedSize(kClientWidth, kClientHeight);

    StaticText2 = new QLabel(QString::fromUtf8(DownloadSession::kWaitingText), this);
    StaticText2->setObjectName("StaticText2");
    QFont bold = StaticText2->font();
    bold.setBold(true);
    StaticText2->setFont(bold);
    StaticText2->setGeometry(16, 12, 458, 20);

    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName("ProgressBar1");
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);
    ProgressBar1->setGeometry(16, 40, 458, 18);

    Label1 = new QLabel(this);
    Label1->setObjectName("Label1");
    Label1->setAlignment(Qt::AlignCenter);
    Label1->setGeometry(16, 64, 458, 20);

    GroupBox1 = new QGroupBox(QStringLiteral("Информация"), this);
    GroupBox1->setObjectName("GroupBox1");
    GroupBox1->setGeometry(16, 90, 458, 100);
    const char* captions[] = {"Тип прибора:", "Версия ПО:", "Количество записей:"};
    QLabel** values[] = {&StaticText5, &StaticText1, &StaticText7};
    const char* names[] = {"StaticText5", "StaticText1", "StaticText7"};
    for (int i = 0; i < 3; ++i) {
        auto* caption = new QLabel(QString::fromUtf8(captions[i]), GroupBox1);
        caption->setGeometry(16, 24 + 24 * i, 160, 20);
        *values[i] = new QLabel(GroupBox1);
        (*values[i])->setObjectName(names[i]);
        (*values[i])->setGeometry(184, 24 + 24 * i, 260, 20);
    }

    // In the room the hidden check box leaves, beside the button.
    Label2 = new QLabel(this);
    Label2->setObjectName("Label2");
    Label2->setWordWrap(true);
    Label2->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    Label2->setStyleSheet(QStringLiteral("color: #b00000"));
    Label2->setGeometry(16, 196, kClientWidth - 16 - 90 - 16 - 8, 44);

    CheckBox1 = new QCheckBox(QStringLiteral("Сохранить двоичный файл"), this);
    CheckBox1->setObjectName("CheckBox1");
    CheckBox1->setGeometry(16, 206, 240, 22);

    Button1 = new QPushButton(QStringLiteral("Отмена"), this);
    Button1->setObjectName("Button1");
    Button1->setGeometry(kClientWidth - 16 - 90, kClientHeight - 12 - 28, 90, 28);
    Button1->setAutoDefault(false);
    connect(Button1, &QPushButton::clicked, this, &TForm2::Button1Click);
    connect(CheckBox1, &QCheckBox::toggled, this, [this](bool on) { m_session->setSaveBinaryFile(on); });
}

void TForm2::connectSession()
{
    DownloadSession* s = m_session.get();
    connect(s, &DownloadSession::captionChanged, this, &QWidget::setWindowTitle);
    connect(s, &DownloadSession::statusTextChanged, StaticText2, &QLabel::setText);
    connect(s, &DownloadSession::progressChanged, ProgressBar1, &QProgressBar::setValue);
    // The port search blocks the event loop, so each step is painted at once.
    connect(s, &DownloadSession::searchTextChanged, this, [this](const QString& text) {
        Label1->setText(text);
        if (isVisible())
            repaint();
    });
    connect(s, &DownloadSession::kindTextChanged, StaticText5, &QLabel::setText);
    connect(s, &DownloadSession::versionTextChanged, StaticText1, &QLabel::setText);
    connect(s, &DownloadSession::recordCountTextChanged, StaticText7, &QLabel::setText);
    connect(s, &DownloadSession::warningTextChanged, Label2, &QLabel::setText);
    connect(s, &DownloadSession::finished, this, [this](DownloadResult result) {
        if (isVisible())
            done(result == DownloadResult::Received ? kModalOk : kModalCancel);
    });
}

void TForm2::FormCreate()
{
    CheckBox1->setVisible(false);
}

void TForm2::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    FormShow();
}

void TForm2::FormShow()
{
    m_closing = false;
    CheckBox1->setChecked(false);
    m_session->setSaveBinaryFile(false);
    m_session->start();
}

void TForm2::Timer1Timer() { m_session->searchTick(); }

void TForm2::SerialPortDriver1ReceiveData(SerialPortDriver*, const uint8_t* data, uint32_t size)
{
    m_session->receive(data, size);
}

void TForm2::Button1Click() { m_session->cancel(); }

void TForm2::reject()
{
    if (m_session->active())
        Button1Click();
    else
        done(kModalCancel);
}

void TForm2::FormClose() { m_session->stopWaiting(); }

void TForm2::done(int result)
{
    if (m_closing)
        return;
    m_closing = true;
    FormClose();
    QDialog::done(result);
}

} // namespace zent5
