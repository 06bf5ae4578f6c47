#include "commands.h"

#include <cstdio>

namespace zent5::tool {

int runExport(const std::vector<std::string>&)
{
    std::fputs("zent5-tool: 'export' is not available in this build\n", stderr);
    return 2;
}

} // namespace zent5::tool
