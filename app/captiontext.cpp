#include "app/captiontext.h"

#include "app/programstate.h"
#include "records/pathparts.h"

namespace zent5 {

std::string table_caption(std::string_view path)
{
    return splitPath(path).stem + " - " + program_title;
}

} // namespace zent5
