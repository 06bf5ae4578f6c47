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
//
// Each block is aligned to its own size and starts with the sheet, so a range
// finds its sheet from its own address and need not carry a pointer to it.
class XlsRangeStore {
public:
    explicit XlsRangeStore(XlsWorksheet& sheet) : m_sheet(&sheet) {}
    XlsRangeStore(const XlsRangeStore&) = delete;
    XlsRangeStore& operator=(const XlsRangeStore&) = delete;

    uint32_t make(int left, int top, int right, int bottom);
    XlsRange& at(uint32_t id) const
    {
        return *std::launder(reinterpret_cast<XlsRange*>(m_blocks[id / kBlockSlots]->slots[id % kBlockSlots].bytes));
    }
    // Destroys the range; every range made must be released (or, when the
    // store goes with them, destroyed) before the store goes.
    void release(uint32_t id);
    void destroy(uint32_t id) { at(id).~XlsRange(); }

    // The sheet of a range made by a store.
    static XlsWorksheet& sheetOf(const XlsRange& range)
    {
        const auto block = reinterpret_cast<std::uintptr_t>(&range) & ~std::uintptr_t(kBlockBytes - 1);
        return *reinterpret_cast<const Block*>(block)->sheet;
    }

private:
    struct Slot {
        alignas(XlsRange) std::byte bytes[sizeof(XlsRange)];
    };
    // The first slot of a block holds the sheet; the others hold ranges.
    static constexpr uint32_t kBlockSlots = 4096;
    static constexpr size_t kBlockBytes = kBlockSlots * sizeof(Slot);
    static_assert((kBlockBytes & (kBlockBytes - 1)) == 0 && sizeof(Slot) >= sizeof(XlsWorksheet*));
    union Block {
        XlsWorksheet* sheet;
        Slot slots[kBlockSlots];
    };
    struct BlockDelete {
        void operator()(Block* b) const { ::operator delete(b, std::align_val_t(kBlockBytes)); }
    };

    XlsWorksheet* m_sheet;
    std::vector<std::unique_ptr<Block, BlockDelete>> m_blocks;
    uint32_t m_usedInLastBlock = kBlockSlots;
    std::vector<uint32_t> m_free;
};

} // namespace zent5
