#include "xlstextstore.h"

#include <cstring>
#include <stdexcept>

namespace zent5 {

XlsTextStore::Location XlsTextStore::add(std::string_view text)
{
    if (text.size() > UINT32_MAX - kLengthBytes)
        throw std::length_error("XlsTextStore: text too long");
    const size_t need = kLengthBytes + text.size();
    Location where;
    char* to;
    if (need > kBlockBytes) {
        // A long text gets a block of its own; the short ones go on filling the current block.
        m_blocks.reserve(m_blocks.size() + 1);
        m_blocks.push_back(std::make_unique_for_overwrite<char[]>(need));
        where = {uint32_t(m_blocks.size() - 1), 0};
        to = m_blocks.back().get();
    } else {
        if (m_used + need > kBlockBytes) {
            if (m_blocks.size() >= UINT32_MAX)
                throw std::length_error("XlsTextStore: too many texts");
            m_blocks.reserve(m_blocks.size() + 1);
            m_blocks.push_back(std::make_unique_for_overwrite<char[]>(kBlockBytes));
            m_current = m_blocks.size() - 1;
            m_used = 0;
        }
        where = {uint32_t(m_current), uint32_t(m_used)};
        to = m_blocks[m_current].get() + m_used;
        m_used += need;
    }
    const uint32_t length = uint32_t(text.size());
    std::memcpy(to, &length, kLengthBytes);
    if (!text.empty())
        std::memcpy(to + kLengthBytes, text.data(), text.size());
    return where;
}

std::string_view XlsTextStore::at(Location where) const
{
    const char* from = m_blocks[where.block].get() + where.offset;
    uint32_t length;
    std::memcpy(&length, from, kLengthBytes);
    return {from + kLengthBytes, length};
}

bool XlsTextStore::replace(Location where, std::string_view text)
{
    char* to = m_blocks[where.block].get() + where.offset;
    uint32_t length;
    std::memcpy(&length, to, kLengthBytes);
    if (text.size() > length)
        return false;
    length = uint32_t(text.size());
    std::memcpy(to, &length, kLengthBytes);
    if (!text.empty())
        std::memcpy(to + kLengthBytes, text.data(), text.size());
    return true;
}

} // namespace zent5
