#pragma once

#include "xlsrange.h"

#include <cstddef>
#include <memory>
#include <vector>

namespace zent5 {

// Storage for a sheet's ranges in blocks, so that a sheet of many cells does
// not make one allocation per cell. Released slots are used again.
class XlsRangeStore {
public:
    XlsRangeStore() = default;
    XlsRangeStore(const XlsRangeStore&) = delete;
    XlsRangeStore& operator=(const XlsRangeStore&) = delete;

    XlsRange* make(XlsWorksheet& sheet, int left, int top, int right, int bottom);
    // Destroys the range; every range made must be released before the store goes.
    void release(XlsRange* range);

private:
    struct Slot {
        alignas(XlsRange) std::byte bytes[sizeof(XlsRange)];
    };
    static constexpr size_t kBlockSlots = 4096;

    std::vector<std::unique_ptr<Slot[]>> m_blocks;
    size_t m_usedInLastBlock = kBlockSlots;
    std::vector<Slot*> m_free;
};

} // namespace zent5
