#include "commands.h"

#include <cstdio>

namespace zent5::tool {

int runRows(const std::vector<std::string>&)
{
    std::fputs("zent5-tool: 'rows' is not available in this build\n", stderr);
    return 2;
}

} // namespace zent5::tool
