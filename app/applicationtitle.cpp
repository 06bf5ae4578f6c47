#include "app/applicationtitle.h"

#include "app/programstate.h"

namespace zent5 {

namespace {
std::string& title()
{
    static std::string value = program_title;
    return value;
}
} // namespace

const std::string& application_title() { return title(); }

void set_application_title(const std::string& value) { title() = value; }

} // namespace zent5
