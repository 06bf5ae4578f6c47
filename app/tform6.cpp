#include "app/tform6.h"

#include "app/desktopfont.h"
#include "app/modalresult.h"
#include "app/programstate.h"
#include "app/versiontext.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace zent5 {

Tform6::Tform6(QWidget* owner)
    : QDialog(owner, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("Tform6"));
    setWindowTitle(QStringLiteral("О программе"));
    setFixedSize(515, 151);

    StaticText1 = new QLabel(QString::fromUtf8(program_title), this);
    StaticText1->setObjectName(QStringLiteral("StaticText1"));
    QFont titleFont = desktop_font(12);
    titleFont.setBold(true);
    StaticText1->setFont(titleFont);

    StaticText3 = new QLabel(QStringLiteral("Версия 1.0"), this);
    StaticText3->setObjectName(QStringLiteral("StaticText3"));
    StaticText3->setFont(desktop_font(10));

    StaticText2 = new QLabel(QStringLiteral("Программа для передачи данных с прибора ЗЕНТ-5"), this);
    StaticText2->setObjectName(QStringLiteral("StaticText2"));
    StaticText2->setFont(desktop_font(10));

    Button1 = new QPushButton(QStringLiteral("Ок"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setFont(desktop_font(8));
    Button1->setDefault(true);

    auto* layout = new QVBoxLayout(this);
    for (QLabel* label : {StaticText1, StaticText3, StaticText2}) {
        label->setAlignment(Qt::AlignCenter);
        layout->addWidget(label);
    }
    layout->addWidget(Button1, 0, Qt::AlignHCenter);

    connect(Button1, &QPushButton::clicked, this, &Tform6::Button1Click);
}

void Tform6::showEvent(QShowEvent* event)
{
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    FormShow();
    QDialog::showEvent(event);
}

void Tform6::FormShow() { StaticText3->setText(QString::fromStdString(about_version_text())); }

void Tform6::Button1Click() { done(mrOk); }

} // namespace zent5
