#include "table/sortindex.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <iterator>

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

namespace {

// The record positions ordered by 64-bit keys, equal keys in position order:
// a stable radix sort, a byte per pass, skipping bytes all keys share.
std::vector<uint32_t> radixOrder(const std::vector<uint64_t>& keys)
{
    std::vector<uint32_t> order(keys.size()), other(keys.size());
    for (uint32_t i = 0; i < order.size(); ++i)
        order[i] = i;
    for (int shift = 0; shift < 64; shift += 8) {
        size_t counts[257] = {};
        for (uint64_t k : keys)
            ++counts[((k >> shift) & 0xFF) + 1];
        if (std::find(std::begin(counts), std::end(counts), keys.size()) != std::end(counts))
            continue;
        for (int b = 0; b < 256; ++b)
            counts[b + 1] += counts[b];
        for (uint32_t i : order)
            other[counts[(keys[i] >> shift) & 0xFF]++] = i;
        order.swap(other);
    }
    return order;
}

// Bits of a number whose unsigned order is the number's order.
uint64_t orderedBits(double v)
{
    if (v == 0)
        v = 0; // -0 sorts with 0
    uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    return bits >> 63 ? ~bits : bits | (uint64_t(1) << 63);
}

// The record positions ordered by byte-string keys, equal keys in position
// order. Texts often share long beginnings (the same first words), so the
// keys are compared eight bytes at a time as numbers: a range is sorted by
// its next eight bytes, and each run that agrees in them and goes on is then
// sorted by the eight after.
std::vector<uint32_t> textOrder(const std::vector<SortKey>& keys, bool descending)
{
    struct Item {
        uint64_t bytes; // the eight key bytes from the current depth, zero-padded
        uint32_t rest;  // how many key bytes there are from the depth, at most 9
        uint32_t i;
        const char* key; // kept here to spare a second look-up through keys[i]
        size_t size;
    };
    std::vector<Item> items(keys.size());
    for (uint32_t i = 0; i < items.size(); ++i)
        items[i] = Item{0, 0, i, keys[i].text.data(), keys[i].text.size()};
    auto load = [](Item& item, size_t depth) {
        const size_t left = item.size > depth ? item.size - depth : 0;
        if (left >= 8) {
            uint8_t b[8];
            std::memcpy(b, item.key + depth, 8);
            item.bytes = 0;
            for (uint8_t x : b)
                item.bytes = (item.bytes << 8) | x;
        } else {
            item.bytes = 0;
            for (size_t k = 0; k < 8; ++k)
                item.bytes = (item.bytes << 8) | (k < left ? uint8_t(item.key[depth + k]) : 0u);
        }
        // A key that ends here sorts before a longer one it begins.
        item.rest = uint32_t(std::min<size_t>(left, 9));
    };
    auto before = [&](const Item& a, const Item& b) {
        if (a.bytes != b.bytes)
            return descending ? a.bytes > b.bytes : a.bytes < b.bytes;
        if (a.rest != b.rest)
            return descending ? a.rest > b.rest : a.rest < b.rest;
        return a.i < b.i;
    };
    struct Range {
        size_t from, to, depth;
    };
    std::vector<Range> pending{{0, items.size(), 0}};
    while (!pending.empty()) {
        const Range r = pending.back();
        pending.pop_back();
        for (size_t k = r.from; k < r.to; ++k)
            load(items[k], r.depth);
        std::sort(items.begin() + std::ptrdiff_t(r.from), items.begin() + std::ptrdiff_t(r.to), before);
        for (size_t k = r.from; k < r.to;) {
            size_t end = k + 1;
            while (end < r.to && items[end].bytes == items[k].bytes && items[end].rest == items[k].rest)
                ++end;
            if (end - k > 1 && items[k].rest > 8)
                pending.push_back({k, end, r.depth + 8});
            k = end;
        }
    }
    std::vector<uint32_t> order(items.size());
    for (size_t k = 0; k < items.size(); ++k)
        order[k] = items[k].i;
    return order;
}

} // namespace

std::vector<uint32_t> sortOrder(const std::vector<SortKey>& keys, SortIndex::Kind kind, bool descending)
{
    if (kind == SortIndex::Kind::Text)
        return textOrder(keys, descending);
    std::vector<uint64_t> bits(keys.size());
    for (size_t i = 0; i < keys.size(); ++i)
        bits[i] = descending ? ~orderedBits(keys[i].number) : orderedBits(keys[i].number);
    return radixOrder(bits);
}

void SortIndex::build(std::vector<SortKey> keys)
{
    // Record order breaks ties, so equal keys keep file order.
    const std::vector<uint32_t> order = sortOrder(keys, m_kind, m_descending);
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
