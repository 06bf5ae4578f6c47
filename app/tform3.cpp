#include "app/tform3.h"

#include "app/desktopfont.h"
#include "app/modalresult.h"
#include "app/programstate.h"
#include "app/settingsstore.h"
#include "app/unitssetting.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace zent5 {

TForm3::TForm3(ProgramState& state, SettingsStore& settings, QWidget* owner)
    : QDialog(owner), m_state(state), m_settings(settings)
{
    setObjectName(QStringLiteral("TForm3"));
    setWindowTitle(QStringLiteral("Размерность"));
    setFont(desktop_font(10));
    setFixedSize(250, 160);

    GroupBox1 = new QGroupBox(QStringLiteral("Размерность"), this);
    RadioButton1 = new QRadioButton(QStringLiteral("кН (МПа)"), GroupBox1);
    RadioButton1->setObjectName(QStringLiteral("RadioButton1"));
    RadioButton2 = new QRadioButton(QStringLiteral("кГс (кГс/кв.см)"), GroupBox1);
    RadioButton2->setObjectName(QStringLiteral("RadioButton2"));
    auto* choices = new QVBoxLayout(GroupBox1);
    choices->addWidget(RadioButton1);
    choices->addWidget(RadioButton2);

    Button1 = new QPushButton(QStringLiteral("Ok"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setDefault(true);
    Button2 = new QPushButton(QStringLiteral("Отмена"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(GroupBox1);
    layout->addLayout(buttons);

    connect(Button1, &QPushButton::clicked, this, &TForm3::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TForm3::Button2Click);
}

void TForm3::showEvent(QShowEvent* event)
{
    FormShow();
    QDialog::showEvent(event);
}

void TForm3::FormShow()
{
    // Both buttons are cleared first, so the dialog always shows the
    // current `dimension`, not the choice of an earlier cancelled showing.
    RadioButton1->setAutoExclusive(false);
    RadioButton2->setAutoExclusive(false);
    RadioButton1->setChecked(false);
    RadioButton2->setChecked(false);
    RadioButton1->setAutoExclusive(true);
    RadioButton2->setAutoExclusive(true);
    if (m_state.dimension == Units::KiloGramForce)
        RadioButton2->setChecked(true);
    else
        RadioButton1->setChecked(true);
}

void TForm3::Button1Click()
{
    if (RadioButton1->isChecked())
        m_state.dimension = Units::KiloNewton;
    if (RadioButton2->isChecked())
        m_state.dimension = Units::KiloGramForce;
    write_units_setting(m_settings, m_state.dimension);
    done(mrOk);
}

void TForm3::Button2Click() { done(mrCancel); }

void TForm3::reject() { done(mrCancel); }

} // namespace zent5
