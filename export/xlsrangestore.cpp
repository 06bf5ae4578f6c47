#include "xlsrangestore.h"

#include <stdexcept>

namespace zent5 {

// A sheet holds a range per cell; this is what keeps a full sheet small.
static_assert(sizeof(XlsRange) <= 32);

uint32_t XlsRangeStore::make(int left, int top, int right, int bottom)
{
    uint32_t id;
    if (!m_free.empty()) {
        id = m_free.back();
        m_free.pop_back();
    } else {
        if (m_usedInLastBlock == kBlockSlots) {
            if (m_blocks.size() >= size_t(UINT32_MAX) / kBlockSlots)
                throw std::length_error("XlsRangeStore: too many ranges");
            m_blocks.reserve(m_blocks.size() + 1);
            // Only the head is written now; the slots are touched as ranges come.
            Block* block = static_cast<Block*>(::operator new(kBlockBytes, std::align_val_t(kBlockBytes)));
            block->sheet = m_sheet;
            m_blocks.emplace_back(block);
            m_usedInLastBlock = 1;
        }
        id = uint32_t(m_blocks.size() - 1) * kBlockSlots + m_usedInLastBlock++;
    }
    new (m_blocks[id / kBlockSlots]->slots[id % kBlockSlots].bytes) XlsRange(left, top, right, bottom);
    return id;
}

void XlsRangeStore::release(uint32_t id)
{
    at(id).~XlsRange();
    m_free.push_back(id);
}

} // namespace zent5
