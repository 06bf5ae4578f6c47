#include "app/zentapplication.h"

#include "app/errorbox.h"

namespace zent5 {

ZentApplication::ZentApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool ZentApplication::notify(QObject* receiver, QEvent* event)
{
    bool handled = false;
    run_guarded([&] { handled = QApplication::notify(receiver, event); });
    return handled;
}

} // namespace zent5
