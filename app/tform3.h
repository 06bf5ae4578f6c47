#pragma once

#include <QDialog>

class QGroupBox;
class QPushButton;
class QRadioButton;

namespace zent5 {

class SettingsStore;
struct ProgramState;

// The units dialog "Размерность": kN and MPa or kgf and kgf/cm². "Ok"
// stores the choice in `dimension` and the setting "Dimension" and ends
// with mrOk; "Отмена" and the frame's close button end with mrCancel.
class TForm3 : public QDialog {
    Q_OBJECT
public:
    TForm3(ProgramState& state, SettingsStore& settings, QWidget* owner = nullptr);

    QGroupBox* GroupBox1 = nullptr;
    QRadioButton* RadioButton1 = nullptr; // "кН (МПа)"
    QRadioButton* RadioButton2 = nullptr; // "кГс (кГс/кв.см)"
    QPushButton* Button1 = nullptr;       // "Ok"
    QPushButton* Button2 = nullptr;       // "Отмена"

public slots:
    void FormShow();
    void Button1Click();
    void Button2Click();
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    ProgramState& m_state;
    SettingsStore& m_settings;
};

} // namespace zent5
