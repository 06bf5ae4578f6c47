#include "printselection.h"

#include <algorithm>

namespace zent5 {

std::vector<int> pagesToPrint(const PrintRequest& request, int pageCount)
{
    std::vector<int> selection;
    switch (request.range) {
    case PrintRequest::AllPages:
        for (int p = 1; p <= pageCount; ++p)
            selection.push_back(p);
        break;
    case PrintRequest::CurrentPage:
        if (request.currentPage >= 1 && request.currentPage <= pageCount)
            selection.push_back(request.currentPage);
        break;
    case PrintRequest::Pages:
        for (const auto& [from, to] : request.pages)
            for (int p = std::max(from, 1); p <= std::min(to, pageCount); ++p)
                selection.push_back(p);
        break;
    }

    const int copies = request.deviceMakesCopies ? 1 : std::max(request.copies, 1);
    std::vector<int> out;
    out.reserve(selection.size() * size_t(copies));
    if (request.collate) {
        for (int c = 0; c < copies; ++c)
            out.insert(out.end(), selection.begin(), selection.end());
    } else {
        for (int p : selection)
            out.insert(out.end(), size_t(copies), p);
    }
    return out;
}

} // namespace zent5
