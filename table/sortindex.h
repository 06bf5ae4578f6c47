#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zent5 {

// The key of one row in a sort index: a number, or a byte string whose plain
// byte order is the wanted text order (a collation sort key, or the raw bytes).
struct SortKey {
    double number = 0;
    std::string text;
};

// A sort index held in memory: the record numbers ordered by key, equal keys
// in the order they entered the index.
class SortIndex {
public:
    enum class Kind { Number, Text };
    struct Entry {
        SortKey key;
        uint32_t recNo = 0;
    };

    void reset(Kind kind, bool descending);
    // keys[i] belongs to record i + 1.
    void build(std::vector<SortKey> keys);
    void clear() { m_entries.clear(); }
    // Goes after every entry with an equal key; returns its position.
    size_t insert(uint32_t recNo, SortKey key);
    // Removes the record's entry; false when it has none.
    bool take(uint32_t recNo, Entry& entry, size_t& pos);
    void putBack(size_t pos, Entry entry);
    const SortKey* keyOf(uint32_t recNo) const;
    bool sameKey(const SortKey& a, const SortKey& b) const;

    const std::vector<Entry>& entries() const { return m_entries; }
    Kind kind() const { return m_kind; }
    bool descending() const { return m_descending; }

    // Whether `a` goes before `b` in this index's order.
    bool less(const SortKey& a, const SortKey& b) const;

private:
    size_t find(uint32_t recNo) const;

    Kind m_kind = Kind::Number;
    bool m_descending = false;
    std::vector<Entry> m_entries;
};

// The positions of `keys` in the index's order, equal keys in position
// order: a radix sort of the numbers' bits, or texts compared eight bytes
// at a time.
std::vector<uint32_t> sortOrder(const std::vector<SortKey>& keys, SortIndex::Kind kind, bool descending);

} // namespace zent5
