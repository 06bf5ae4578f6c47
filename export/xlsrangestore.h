#pragma once

#include "xlsrange.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <vector>

namespace zent5 {

// Storage for a sheet's ranges in blocks, so that a sheet of many cells does
// not make one allocation per cell. A range is known by a 32-bit number, half
// the size of a pointer in the sheet's lists. Released numbers are used again.
class XlsRangeStore {
public:
    XlsRangeStore() = default;
    XlsRangeStore(const XlsRangeStore&) = delete;
    XlsRangeStore& operator=(const XlsRangeStore&) = delete;

    uint32_t make(XlsWorksheet& sheet, int left, int top, int right, int bottom);
    XlsRange& at(uint32_t id) const
    {
        return *std::launder(reinterpret_cast<XlsRange*>(m_blocks[id / kBlockSlots][id % kBlockSlots].bytes));
    }
    // Destroys the range; every range made must be released (or, when the
    // store goes with them, destroyed) before the store goes.
    void release(uint32_t id);
    void destroy(uint32_t id) { at(id).~XlsRange(); }

private:
    struct Slot {
        alignas(XlsRange) std::byte bytes[sizeof(XlsRange)];
    };
    static constexpr uint32_t kBlockSlots = 4096;

    std::vector<std::unique_ptr<Slot[]>> m_blocks;
    uint32_t m_usedInLastBlock = kBlockSlots;
    std::vector<uint32_t> m_free;
};

} // namespace zent5
