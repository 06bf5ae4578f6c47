#include "xlsrangestore.h"

#include <stdexcept>

namespace zent5 {

uint32_t XlsRangeStore::make(XlsWorksheet& sheet, int left, int top, int right, int bottom)
{
    uint32_t id;
    if (!m_free.empty()) {
        id = m_free.back();
        m_free.pop_back();
    } else {
        if (m_usedInLastBlock == kBlockSlots) {
            if (m_blocks.size() >= UINT32_MAX / kBlockSlots)
                throw std::length_error("XlsRangeStore: too many ranges");
            m_blocks.reserve(m_blocks.size() + 1);
            m_blocks.push_back(std::make_unique_for_overwrite<Slot[]>(kBlockSlots));
            m_usedInLastBlock = 0;
        }
        id = uint32_t(m_blocks.size() - 1) * kBlockSlots + m_usedInLastBlock++;
    }
    try {
        new (m_blocks[id / kBlockSlots][id % kBlockSlots].bytes) XlsRange(sheet, left, top, right, bottom);
    } catch (...) {
        m_free.push_back(id);
        throw;
    }
    return id;
}

void XlsRangeStore::release(uint32_t id)
{
    at(id).~XlsRange();
    m_free.push_back(id);
}

} // namespace zent5
