#include "records/codepagesortkeys.h"

#include "records/collation_icu.h"
#include "records/text.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <numeric>
#include <set>

namespace zent5::text {
namespace {

size_t codePoints(std::string_view utf8)
{
    return size_t(std::count_if(utf8.begin(), utf8.end(), [](char c) { return (uint8_t(c) & 0xC0) != 0x80; }));
}

// A weight as the big-endian bytes of its width, less trailing zero bytes:
// weights of different lengths then compare as the numbers do, provided none
// is the beginning of another (checked once all are known).
template<typename Weight>
std::string weightBytes(Weight w)
{
    std::string out;
    for (int shift = int(sizeof(Weight)) * 8 - 8; shift >= 0; shift -= 8)
        out += char(uint8_t(w >> shift));
    while (!out.empty() && out.back() == '\0')
        out.pop_back();
    return out;
}

// Concatenated weights compare as their sequences do only when no weight is
// the beginning of another, and when the 0x01 ending a level sorts below
// every weight's first byte (no 0x00 either, as in the collator's own keys).
bool concatenable(const std::set<std::string>& weights)
{
    for (const std::string& w : weights)
        if (w.empty() || std::any_of(w.begin(), w.end(), [](char c) { return uint8_t(c) < 0x02; }))
            return false;
    // In sorted order a weight that begins another sits right before one of them.
    for (auto it = weights.begin(), next = std::next(it); it != weights.end() && next != weights.end(); ++it, ++next)
        if (next->compare(0, it->size(), *it) == 0)
            return false;
    return true;
}

int sign(int v) { return (v > 0) - (v < 0); }

} // namespace

CodePageSortKeys::CodePageSortKeys(int codePage) :
    m_codePage(codePage)
{
    m_usable = setUp();
}

bool CodePageSortKeys::setUp()
{
    if (!codePageInstalled(m_codePage))
        return false;

    // A single-byte code page: every byte is one character, whatever bytes
    // stand next to it. Decoding every pair of bytes at once shows a lead
    // byte of a multi-byte code page or a converter that keeps state.
    std::vector<std::string> characters(256);
    std::string pairs, expected;
    pairs.reserve(2 * 256 * 256);
    for (int b = 0; b < 256; ++b) {
        characters[size_t(b)] = fromCodePage(m_codePage, std::string(1, char(b)));
        if (codePoints(characters[size_t(b)]) != 1)
            return false;
    }
    for (int a = 0; a < 256; ++a)
        for (int b = 0; b < 256; ++b) {
            pairs += char(a);
            pairs += char(b);
            expected += characters[size_t(a)];
            expected += characters[size_t(b)];
        }
    if (fromCodePage(m_codePage, pairs) != expected)
        return false;

    const RussianCollation& collation = russianCollation();
    std::vector<std::pair<size_t, size_t>> afterOther;
    if (!collation.contexts(characters, afterOther))
        return false;

    // Each row's weight bytes by level; rows 0-255 are the bytes alone.
    using LevelBytes = std::array<std::string, LevelCount>;
    std::vector<LevelBytes> rows(256);
    std::array<std::set<std::string>, LevelCount> distinct;
    std::vector<RussianCollation::Weights> alone(256);
    auto add = [&](LevelBytes& row, Level level, const std::string& w) {
        row[level] += w;
        distinct[level].insert(w);
    };
    auto addAll = [&](LevelBytes& row, const RussianCollation::Weights& w, const RussianCollation::Weights& skipped) {
        for (size_t i = skipped.primary.size(); i < w.primary.size(); ++i)
            add(row, Primary, weightBytes(w.primary[i]));
        for (size_t i = skipped.secondary.size(); i < w.secondary.size(); ++i)
            add(row, Secondary, weightBytes(w.secondary[i]));
        for (size_t i = skipped.tertiary.size(); i < w.tertiary.size(); ++i)
            add(row, Tertiary, weightBytes(w.tertiary[i]));
    };
    for (size_t b = 0; b < 256; ++b) {
        if (!collation.weights(characters[b], alone[b]))
            return false;
        addAll(rows[b], alone[b], {});
    }

    // A character after the one its prefix rule names: the pair's weights
    // are the first character's own followed by the second's in that place.
    auto startsWith = [](const auto& whole, const auto& start) {
        return whole.size() >= start.size() && std::equal(start.begin(), start.end(), whole.begin());
    };
    std::vector<std::string> contextTexts;
    for (const auto& [before, after] : afterOther) {
        for (size_t a = 0; a < 256; ++a) {
            if (characters[a] != characters[before])
                continue;
            for (size_t b = 0; b < 256; ++b) {
                if (characters[b] != characters[after])
                    continue;
                RussianCollation::Weights pair;
                if (!collation.weights(characters[a] + characters[b], pair))
                    return false;
                const auto& first = alone[a];
                if (!startsWith(pair.primary, first.primary) || !startsWith(pair.secondary, first.secondary) ||
                    !startsWith(pair.tertiary, first.tertiary))
                    return false;
                if (m_contextTable[b] == 0) {
                    m_contextRows.emplace_back();
                    m_contextTable[b] = uint16_t(m_contextRows.size());
                }
                if (rows.size() > 0xFFFF)
                    return false;
                m_contextRows[m_contextTable[b] - 1u][a] = uint16_t(rows.size());
                rows.emplace_back();
                addAll(rows.back(), pair, first);
                contextTexts.push_back({char(a), char(b)});
            }
        }
    }

    size_t widest = 0;
    for (size_t level = 0; level < LevelCount; ++level) {
        if (!concatenable(distinct[level]))
            return false;
        for (const LevelBytes& row : rows)
            widest = std::max(widest, row[level].size());
    }
    if (widest > 255)
        return false;
    m_slot = std::max<size_t>(16, (widest + 15) / 16 * 16);
    m_longest = 0;
    for (size_t level = 0; level < LevelCount; ++level) {
        m_weights[level].assign(rows.size() * m_slot, '\0');
        m_length[level].assign(rows.size(), 0);
        for (size_t r = 0; r < rows.size(); ++r) {
            const std::string& w = rows[r][level];
            std::copy(w.begin(), w.end(), m_weights[level].begin() + ptrdiff_t(r * m_slot));
            m_length[level][r] = uint8_t(w.size());
        }
    }
    for (const LevelBytes& row : rows)
        m_longest = std::max(m_longest, row[Primary].size() + row[Secondary].size() + row[Tertiary].size());

    // The element iterator is read with knowledge of how it packs the
    // weights; should a later collator pack them otherwise, single
    // characters and the pairs under prefix rules would already sort
    // differently from the collator's own keys.
    m_usable = true;
    std::vector<std::string> texts = std::move(contextTexts);
    for (int b = 0; b < 256; ++b)
        texts.push_back(std::string(1, char(b)));
    std::vector<std::string> icuKeys, ownKeys;
    for (const std::string& t : texts) {
        icuKeys.push_back(collation.sortKey(fromCodePage(m_codePage, t)));
        ownKeys.push_back(key(t));
    }
    std::vector<size_t> order(texts.size());
    std::iota(order.begin(), order.end(), size_t(0));
    std::sort(order.begin(), order.end(), [&](size_t a, size_t b) { return icuKeys[a] < icuKeys[b]; });
    for (size_t k = 1; k < order.size(); ++k) {
        const size_t a = order[k - 1], b = order[k];
        if (sign(icuKeys[a].compare(icuKeys[b])) != sign(ownKeys[a].compare(ownKeys[b])))
            return false;
    }
    return true;
}

std::string CodePageSortKeys::key(std::string_view bytes) const
{
    if (!m_usable)
        return russianSortKey(fromCodePage(m_codePage, bytes));
    // Slots are copied whole and the next one overwrites the unused tail, so
    // the work space runs a slot past the longest key.
    const size_t bound = bytes.size() * m_longest + 2 + m_slot;
    thread_local std::vector<char> scratch;
    if (scratch.size() < bound)
        scratch.resize(bound);
    char* out = scratch.data();
    for (size_t level = 0; level < LevelCount; ++level) {
        if (level != Primary)
            *out++ = '\x01';
        const char* weights = m_weights[level].data();
        const uint8_t* length = m_length[level].data();
        size_t before = kTextStart;
        for (const char c : bytes) {
            const auto b = uint8_t(c);
            size_t row = b;
            if (m_contextTable[b] != 0) {
                const uint16_t other = m_contextRows[m_contextTable[b] - 1u][before];
                if (other != 0)
                    row = other;
            }
            before = b;
            const char* from = weights + row * m_slot;
            for (size_t k = 0; k < m_slot; k += 16)
                std::memcpy(out + k, from + k, 16);
            out += length[row];
        }
    }
    return std::string(scratch.data(), size_t(out - scratch.data()));
}

const CodePageSortKeys& CodePageSortKeys::forCodePage(int codePage)
{
    static std::mutex mutex;
    static std::map<int, std::unique_ptr<const CodePageSortKeys>> made;
    const std::lock_guard lock(mutex);
    auto& keys = made[codePage];
    if (!keys)
        keys = std::make_unique<const CodePageSortKeys>(codePage);
    return *keys;
}

} // namespace zent5::text
