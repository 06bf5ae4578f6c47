#include "table/sortindex.h"

#include <algorithm>
#include <cmath>

namespace zent5 {

void SortIndex::reset(Kind kind, bool descending)
{
    m_kind = kind;
    m_descending = descending;
    m_entries.clear();
}

bool SortIndex::less(const SortKey& a, const SortKey& b) const
{
    int c;
    if (m_kind == Kind::Number)
        c = a.number < b.number ? -1 : a.number > b.number ? 1 : 0;
    else
        c = a.text.compare(b.text);
    return m_descending ? c > 0 : c < 0;
}

bool SortIndex::sameKey(const SortKey& a, const SortKey& b) const
{
    return m_kind == Kind::Number ? a.number == b.number : a.text == b.text;
}

void SortIndex::build(std::vector<SortKey> keys)
{
    // Record order breaks ties, so equal keys keep file order. The first
    // eight key bytes, read as one number, settle most text comparisons.
    struct Item {
        uint64_t prefix;
        double number;
        uint32_t i;
    };
    std::vector<Item> items(keys.size());
    for (uint32_t i = 0; i < keys.size(); ++i) {
        uint64_t prefix = 0;
        if (m_kind == Kind::Text) {
            const std::string& t = keys[i].text;
            for (size_t k = 0; k < 8; ++k)
                prefix = (prefix << 8) | (k < t.size() ? uint8_t(t[k]) : 0u);
        }
        items[i] = Item{prefix, keys[i].number, i};
    }
    auto byKey = [&](const Item& a, const Item& b) {
        if (m_kind == Kind::Text) {
            if (a.prefix != b.prefix)
                return m_descending ? a.prefix > b.prefix : a.prefix < b.prefix;
            const int c = keys[a.i].text.compare(keys[b.i].text);
            if (c != 0)
                return m_descending ? c > 0 : c < 0;
        } else {
            const double x = a.number, y = b.number;
            if (x != y)
                return m_descending ? x > y : x < y;
        }
        return a.i < b.i;
    };
    std::sort(items.begin(), items.end(), byKey);
    std::vector<uint32_t> order(items.size());
    for (size_t k = 0; k < items.size(); ++k)
        order[k] = items[k].i;
    m_entries.clear();
    m_entries.reserve(keys.size());
    for (uint32_t i : order)
        m_entries.push_back(Entry{std::move(keys[i]), i + 1});
}

size_t SortIndex::insert(uint32_t recNo, SortKey key)
{
    const auto at = std::upper_bound(m_entries.begin(), m_entries.end(), key,
                                     [&](const SortKey& k, const Entry& e) { return less(k, e.key); });
    const size_t pos = size_t(at - m_entries.begin());
    m_entries.insert(at, Entry{std::move(key), recNo});
    return pos;
}

size_t SortIndex::find(uint32_t recNo) const
{
    for (size_t i = 0; i < m_entries.size(); ++i)
        if (m_entries[i].recNo == recNo)
            return i;
    return m_entries.size();
}

bool SortIndex::take(uint32_t recNo, Entry& entry, size_t& pos)
{
    pos = find(recNo);
    if (pos == m_entries.size())
        return false;
    entry = std::move(m_entries[pos]);
    m_entries.erase(m_entries.begin() + std::ptrdiff_t(pos));
    return true;
}

void SortIndex::putBack(size_t pos, Entry entry)
{
    pos = std::min(pos, m_entries.size());
    m_entries.insert(m_entries.begin() + std::ptrdiff_t(pos), std::move(entry));
}

const SortKey* SortIndex::keyOf(uint32_t recNo) const
{
    const size_t pos = find(recNo);
    return pos == m_entries.size() ? nullptr : &m_entries[pos].key;
}

} // namespace zent5
