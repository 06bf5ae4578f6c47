#pragma once

#include <QDialog>

class QLabel;
class QTimer;

namespace zent5 {

// The splash window: no frame, the 400 x 78 picture, centred on the
// desktop. Shown modally at start-up; the first tick of its 3000 ms timer
// ends it with mrOk.
class TForm5 : public QDialog {
    Q_OBJECT
public:
    explicit TForm5(QWidget* parent = nullptr);

    QLabel* Image1 = nullptr;
    QTimer* Timer1 = nullptr;

public slots:
    void FormShow();
    void Timer1Timer();

protected:
    void showEvent(QShowEvent* event) override;
};

} // namespace zent5
