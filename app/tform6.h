#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace zent5 {

// The about window "О программе": the program's name, its version read from
// the build each time the window is shown, and one line on what it does.
class Tform6 : public QDialog {
    Q_OBJECT
public:
    explicit Tform6(QWidget* owner = nullptr);

    QLabel* StaticText1 = nullptr; // "ЗЕНТ-5"
    QLabel* StaticText3 = nullptr; // the version line
    QLabel* StaticText2 = nullptr; // what the program does
    QPushButton* Button1 = nullptr; // "Ок"

public slots:
    void FormShow();
    void Button1Click();

protected:
    void showEvent(QShowEvent* event) override;
};

} // namespace zent5
