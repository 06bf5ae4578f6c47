#pragma once

#include <utility>
#include <vector>

namespace zent5 {

// What the user chose in the print dialog, in plain terms.
struct PrintRequest {
    enum Range { AllPages, CurrentPage, Pages };
    Range range = AllPages;
    std::vector<std::pair<int, int>> pages; // inclusive ranges, for Pages ("1,3,5-12")
    int currentPage = 1;
    int copies = 1;
    bool collate = true;
    // The printer makes the copies itself; each page is sent once.
    bool deviceMakesCopies = false;
};

// The page numbers to send to the printer, in order, copies included:
// collated copies repeat the whole selection, uncollated ones repeat each
// page. Pages outside 1..pageCount are left out; ranges are taken in the
// order given.
std::vector<int> pagesToPrint(const PrintRequest& request, int pageCount);

} // namespace zent5
