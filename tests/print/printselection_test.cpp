#include "print/printselection.h"

#include <gtest/gtest.h>

namespace zent5 {
namespace {

TEST(PagesToPrint, RangesCopiesAndCollation)
{
    struct Case {
        const char* name;
        PrintRequest request;
        int pageCount;
        std::vector<int> expected;
    };
    auto request = [](PrintRequest::Range range, std::vector<std::pair<int, int>> pages, int current, int copies,
                      bool collate, bool device) {
        PrintRequest r;
        r.range = range;
        r.pages = std::move(pages);
        r.currentPage = current;
        r.copies = copies;
        r.collate = collate;
        r.deviceMakesCopies = device;
        return r;
    };
    const Case cases[] = {
        {"all pages", request(PrintRequest::AllPages, {}, 1, 1, true, false), 3, {1, 2, 3}},
        {"no pages", request(PrintRequest::AllPages, {}, 1, 1, true, false), 0, {}},
        {"current page", request(PrintRequest::CurrentPage, {}, 2, 1, true, false), 3, {2}},
        {"current page out of range", request(PrintRequest::CurrentPage, {}, 5, 1, true, false), 3, {}},
        {"1,3,5-12 of 8", request(PrintRequest::Pages, {{1, 1}, {3, 3}, {5, 12}}, 1, 1, true, false), 8,
         {1, 3, 5, 6, 7, 8}},
        {"range below 1 is cut", request(PrintRequest::Pages, {{0, 2}}, 1, 1, true, false), 3, {1, 2}},
        {"collated copies", request(PrintRequest::AllPages, {}, 1, 2, true, false), 3, {1, 2, 3, 1, 2, 3}},
        {"uncollated copies", request(PrintRequest::AllPages, {}, 1, 2, false, false), 3, {1, 1, 2, 2, 3, 3}},
        {"the printer makes the copies", request(PrintRequest::AllPages, {}, 1, 3, true, true), 2, {1, 2}},
        {"copies of a range", request(PrintRequest::Pages, {{2, 3}}, 1, 2, false, false), 5, {2, 2, 3, 3}},
        {"zero copies print once", request(PrintRequest::AllPages, {}, 1, 0, true, false), 2, {1, 2}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(pagesToPrint(c.request, c.pageCount), c.expected);
    }
}

} // namespace
} // namespace zent5
