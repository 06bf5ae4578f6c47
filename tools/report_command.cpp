#include "commands.h"

#include <cstdio>

namespace zent5::tool {

int runReport(const std::vector<std::string>&)
{
    std::fputs("zent5-tool: 'report' is not available in this build\n", stderr);
    return 2;
}

} // namespace zent5::tool
