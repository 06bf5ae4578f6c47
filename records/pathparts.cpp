#include "pathparts.h"

namespace zent5 {

PathParts splitPath(std::string_view path)
{
    PathParts parts;
    const size_t slash = path.find_last_of("/\\");
    if (slash == std::string_view::npos) {
        parts.fileName = path;
    } else {
        const std::string_view before = path.substr(0, slash);
        const bool root = before.empty() || before.back() == ':';
        parts.directory = path.substr(0, root ? slash + 1 : slash);
        parts.fileName = path.substr(slash + 1);
    }
    const size_t dot = parts.fileName.rfind('.');
    parts.stem = dot == std::string::npos ? parts.fileName : parts.fileName.substr(0, dot);
    return parts;
}

} // namespace zent5
