#include "xlsrangestore.h"

#include <new>

namespace zent5 {

XlsRange* XlsRangeStore::make(XlsWorksheet& sheet, int left, int top, int right, int bottom)
{
    Slot* slot;
    if (!m_free.empty()) {
        slot = m_free.back();
        m_free.pop_back();
    } else {
        if (m_usedInLastBlock == kBlockSlots) {
            m_blocks.push_back(std::make_unique_for_overwrite<Slot[]>(kBlockSlots));
            m_usedInLastBlock = 0;
        }
        slot = &m_blocks.back()[m_usedInLastBlock++];
    }
    try {
        return new (slot->bytes) XlsRange(sheet, left, top, right, bottom);
    } catch (...) {
        m_free.push_back(slot);
        throw;
    }
}

void XlsRangeStore::release(XlsRange* range)
{
    range->~XlsRange();
    m_free.push_back(reinterpret_cast<Slot*>(range));
}

} // namespace zent5
