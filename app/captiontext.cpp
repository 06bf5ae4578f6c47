#include "app/captiontext.h"

#include "app/programstate.h"

namespace zent5 {

std::string table_caption(std::string_view path)
{
    const auto slash = path.find_last_of("/\\");
    std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    const auto dot = name.rfind('.');
    if (dot != std::string_view::npos)
        name = name.substr(0, dot);
    return std::string(name) + " - " + program_title;
}

} // namespace zent5
