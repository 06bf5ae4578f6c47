#pragma once

#include <QApplication>

namespace zent5 {

// The application object. Its event delivery is the last place an error of
// an event handler can be caught: it is shown in the error box and the
// event loop goes on.
class ZentApplication : public QApplication {
    Q_OBJECT
public:
    ZentApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;
};

} // namespace zent5
