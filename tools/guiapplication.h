#pragma once

#include <QGuiApplication>

#include <memory>

namespace zent5::tool {

// Fonts and painting need a GUI application; without a display it runs on
// Qt's offscreen platform. Null when one runs already.
std::unique_ptr<QGuiApplication> startGui();

} // namespace zent5::tool
