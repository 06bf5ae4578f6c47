#include "app/programwindows.h"
#include "app/qtprompter.h"
#include "app/zentapplication.h"

int main(int argc, char** argv)
{
    zent5::ZentApplication app(argc, argv);
    // Names the menu entry and icon the desktop shows for the program's windows.
    zent5::ZentApplication::setDesktopFileName(QStringLiteral("ru.korvelin.zent5"));
    zent5::QtPrompter prompter;
    return zent5::run_program(prompter);
}
