#include "guiapplication.h"

#include <cstdlib>

namespace zent5::tool {

std::unique_ptr<QGuiApplication> startGui()
{
    if (QGuiApplication::instance())
        return nullptr;
    if (!std::getenv("QT_QPA_PLATFORM") && !std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static int argc = 1;
    static char name[] = "zent5-tool";
    static char* argv[] = {name, nullptr};
    return std::make_unique<QGuiApplication>(argc, argv);
}

} // namespace zent5::tool
