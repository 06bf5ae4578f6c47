#include "app/programwindows.h"
#include "app/qtprompter.h"
#include "app/zentapplication.h"

int main(int argc, char** argv)
{
    zent5::ZentApplication app(argc, argv);
    zent5::QtPrompter prompter;
    return zent5::run_program(prompter);
}
