#include "records/codepagesortkeys.h"

#include "records/collation_icu.h"
#include "records/text.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <numeric>

namespace zent5::text {
namespace {

using Weights = RussianCollation::Weights;

size_t codePoints(std::string_view utf8)
{
    return size_t(std::count_if(utf8.begin(), utf8.end(), [](char c) { return (uint8_t(c) & 0xC0) != 0x80; }));
}

int sign(int v) { return (v > 0) - (v < 0); }

const std::vector<uint16_t>& level(const Weights& w, size_t k) { return k == 0 ? w.secondary : w.tertiary; }

template<typename T>
bool startsWith(const std::vector<T>& whole, const std::vector<T>& start)
{
    return whole.size() >= start.size() && std::equal(start.begin(), start.end(), whole.begin());
}

// The weights a pair adds after its first character's own.
Weights rest(const Weights& pair, const Weights& first)
{
    Weights out;
    out.primary.assign(pair.primary.begin() + ptrdiff_t(first.primary.size()), pair.primary.end());
    out.secondary.assign(pair.secondary.begin() + ptrdiff_t(first.secondary.size()), pair.secondary.end());
    out.tertiary.assign(pair.tertiary.begin() + ptrdiff_t(first.tertiary.size()), pair.tertiary.end());
    return out;
}

// Trailing spaces add the space's weights at every level. Written as their
// count, in codes below the space's first-level code, they keep the order
// of texts of one length whose other characters weigh more than the space
// at the first level (one weight or more, or none) and not less at the
// others: where one text's first-level weights run out, the other's go on
// above the space's or with more spaces, and at the other levels with
// weights at or above the space's. A character that weighs otherwise after
// another (a prefix rule) or less than the space (a tab) does not keep it.
std::array<bool, 256> paddingNeutral(const std::vector<std::string>& characters, const std::vector<Weights>& rows,
                                     const std::vector<std::pair<size_t, size_t>>& afterOther)
{
    std::array<bool, 256> neutral {};
    const Weights& space = rows[0x20];
    if (space.primary.size() != 1 || space.secondary.size() != 1 || space.tertiary.size() != 1)
        return neutral;
    for (size_t b = 0; b < 256; ++b) {
        const Weights& w = rows[b];
        neutral[b] = std::all_of(w.primary.begin(), w.primary.end(), [&](uint32_t v) { return v > space.primary[0]; }) &&
                     std::all_of(w.secondary.begin(), w.secondary.end(),
                                 [&](uint16_t v) { return v >= space.secondary[0]; }) &&
                     std::all_of(w.tertiary.begin(), w.tertiary.end(),
                                 [&](uint16_t v) { return v >= space.tertiary[0]; });
    }
    for (const auto& pair : afterOther)
        for (size_t b = 0; b < 256; ++b)
            if (characters[b] == characters[pair.second])
                neutral[b] = false;
    neutral[0x20] = true;
    return neutral;
}

} // namespace

CodePageSortKeys::CodePageSortKeys(int codePage) :
    m_codePage(codePage)
{
    m_usable = setUp();
}

// A key compares as the weight sequences do: codes keep the order of the
// weights, the level's end (0x01) is below every code, and a run's count byte
// sits between the codes of the smaller and the greater weights, so the run
// compares with another run or weight as its first difference does.
char* CodePageSortKeys::writeRun(char* out, unsigned run, bool greaterFollows, const RunCodes& codes)
{
    unsigned count = run - 1;
    while (count >= codes.max) {
        *out++ = char(codes.middle);
        count -= codes.max;
    }
    *out++ = char(greaterFollows ? codes.highTop - count : codes.low + count);
    return out;
}

bool CodePageSortKeys::setUp()
{
    if (!codePageInstalled(m_codePage))
        return false;

    // A single-byte code page: every byte is one character, whatever bytes
    // stand next to it. Decoding every pair of bytes at once shows a lead
    // byte of a multi-byte code page or a converter that keeps state.
    std::vector<std::string> characters(256);
    for (int b = 0; b < 256; ++b) {
        characters[size_t(b)] = fromCodePage(m_codePage, std::string(1, char(b)));
        if (codePoints(characters[size_t(b)]) != 1)
            return false;
    }
    std::string pairs, expected;
    pairs.reserve(2 * 256 * 256);
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

    std::vector<Weights> rows(256);
    for (size_t b = 0; b < 256; ++b)
        if (!collation.weights(characters[b], rows[b]))
            return false;
    m_paddingNeutral = paddingNeutral(characters, rows, afterOther);
    // A character after the one its prefix rule names: the pair's weights
    // are the first character's own followed by the second's in that place.
    std::vector<std::string> contextTexts;
    for (const auto& [before, after] : afterOther) {
        for (size_t a = 0; a < 256; ++a) {
            if (characters[a] != characters[before])
                continue;
            for (size_t b = 0; b < 256; ++b) {
                if (characters[b] != characters[after])
                    continue;
                Weights pair;
                if (!collation.weights(characters[a] + characters[b], pair))
                    return false;
                const Weights& first = rows[a];
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
                rows.push_back(rest(pair, first));
                contextTexts.push_back({char(a), char(b)});
            }
        }
    }

    // Each weight is written as a code of its rank among the weights of its
    // level, so the collator's long weights become one byte or two.
    std::vector<uint32_t> primaries;
    for (const Weights& w : rows)
        primaries.insert(primaries.end(), w.primary.begin(), w.primary.end());
    std::sort(primaries.begin(), primaries.end());
    primaries.erase(std::unique(primaries.begin(), primaries.end()), primaries.end());
    if (primaries.size() > 254 * 254)
        return false;
    const bool twoBytePrimaries = primaries.size() > 254;

    std::array<uint16_t, 2> common {};
    std::array<std::vector<uint16_t>, 2> below, above; // other weights, ascending
    for (size_t k = 0; k < 2; ++k) {
        std::map<uint16_t, size_t> uses;
        for (const Weights& w : rows)
            for (uint16_t v : level(w, k))
                ++uses[v];
        size_t most = 0;
        for (const auto& [weight, n] : uses)
            if (n > most) {
                most = n;
                common[k] = weight;
            }
        for (const auto& [weight, n] : uses) {
            if (weight < common[k])
                below[k].push_back(weight);
            else if (weight > common[k])
                above[k].push_back(weight);
        }
        // Codes from 0x02 to 0xFF: smaller weights, the low range, the middle
        // byte, the high range, greater weights.
        if (below[k].size() + above[k].size() > 251)
            return false;
        const size_t spare = 253 - below[k].size() - above[k].size();
        RunCodes& codes = m_runs[k];
        codes.max = uint8_t(spare / 2);
        codes.low = uint8_t(2 + below[k].size());
        codes.middle = uint8_t(codes.low + codes.max);
        codes.highTop = uint8_t(codes.middle + codes.max);
    }
    auto code = [&](size_t k, uint16_t w) {
        if (w < common[k])
            return char(2 + (std::lower_bound(below[k].begin(), below[k].end(), w) - below[k].begin()));
        return char(m_runs[k].highTop + 1 + (std::lower_bound(above[k].begin(), above[k].end(), w) - above[k].begin()));
    };

    std::vector<std::array<std::string, 3>> bytes(rows.size());
    m_rows.assign(rows.size(), Row{});
    m_mostPerRow = 0;
    size_t widest = 0;
    for (size_t r = 0; r < rows.size(); ++r) {
        const Weights& w = rows[r];
        Row& row = m_rows[r];
        for (uint32_t p : w.primary) {
            const size_t rank = size_t(std::lower_bound(primaries.begin(), primaries.end(), p) - primaries.begin());
            if (twoBytePrimaries)
                bytes[r][0] += char(2 + rank / 254);
            bytes[r][0] += char(2 + rank % 254);
        }
        for (size_t k = 0; k < 2; ++k) {
            const std::vector<uint16_t>& v = level(w, k);
            if (v.size() > 255)
                return false;
            size_t lead = 0, trail = 0;
            while (lead < v.size() && v[lead] == common[k])
                ++lead;
            while (lead < v.size() && trail < v.size() - lead && v[v.size() - 1 - trail] == common[k])
                ++trail;
            std::string& own = bytes[r][k + 1];
            char out[256];
            char* end = out;
            unsigned run = 0;
            for (size_t i = lead; i < v.size() - trail; ++i) {
                if (v[i] == common[k]) {
                    ++run;
                    continue;
                }
                if (run != 0)
                    end = writeRun(end, run, v[i] > common[k], m_runs[k]);
                run = 0;
                *end++ = code(k, v[i]);
            }
            own.assign(out, end);
            row.lead[k] = uint8_t(lead);
            row.trail[k] = uint8_t(trail);
            row.length[k] = uint8_t(own.size());
            row.greaterFirst[k] = lead < v.size() && v[lead] > common[k];
            m_mostPerRow = std::max(m_mostPerRow, v.size());
        }
        if (bytes[r][0].size() > 255)
            return false;
        row.primaryLength = uint8_t(bytes[r][0].size());
        m_mostPerRow = std::max(m_mostPerRow, bytes[r][0].size());
        for (const std::string& b : bytes[r])
            widest = std::max(widest, b.size());
    }
    m_slot = std::max<size_t>(8, (widest + 7) / 8 * 8);
    // A count of spaces is written in the first-level codes below the
    // space's own, after the bytes of its code that come before its last.
    m_paddingPrefix = bytes[0x20][0].substr(0, bytes[0x20][0].size() - 1);
    m_paddingBase = uint8_t(bytes[0x20][0].back()) - 2;
    if (m_paddingBase < 2)
        m_paddingNeutral.fill(false);
    for (size_t k = 0; k < 3; ++k) {
        m_bytes[k].assign(rows.size() * m_slot, '\0');
        for (size_t r = 0; r < rows.size(); ++r)
            std::copy(bytes[r][k].begin(), bytes[r][k].end(), m_bytes[k].begin() + ptrdiff_t(r * m_slot));
    }

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

std::string CodePageSortKeys::keyWithPadding(std::string_view bytes, size_t padding) const
{
    if (!m_usable || m_paddingBase < 2)
        return key(std::string(bytes) + std::string(padding, ' '));
    // As many digits as the longest count of the texts' length takes, so
    // counts compare digit by digit.
    char count[72];
    const size_t prefix = m_paddingPrefix.size();
    std::memcpy(count, m_paddingPrefix.data(), prefix);
    size_t digits = 1;
    for (size_t most = bytes.size() + padding; most >= m_paddingBase; most /= m_paddingBase)
        ++digits;
    for (size_t k = prefix + digits; k-- > prefix; padding /= m_paddingBase)
        count[k] = char(2 + padding % m_paddingBase);
    const std::string_view written(count, prefix + digits);
    return m_slot == 8 ? build<8>(bytes, written) : build<0>(bytes, written);
}

bool CodePageSortKeys::paddingCanGo(std::string_view bytes) const
{
    return m_usable && std::all_of(bytes.begin(), bytes.end(), [&](char c) { return m_paddingNeutral[uint8_t(c)]; });
}

std::string CodePageSortKeys::key(std::string_view bytes) const
{
    if (!m_usable)
        return russianSortKey(fromCodePage(m_codePage, bytes));
    return m_slot == 8 ? build<8>(bytes, {}) : build<0>(bytes, {});
}

// Slot is the slot width when it is known to be 8 (the usual case, copied in
// one move), 0 for any multiple of 8.
template<size_t Slot>
std::string CodePageSortKeys::build(std::string_view bytes, std::string_view afterPrimary) const
{
    const size_t slot = Slot != 0 ? Slot : m_slot;
    // The three levels are written side by side in one pass; slots are
    // copied whole and the next one overwrites the unused tail, so each
    // level's space runs a slot past its longest.
    const size_t region = bytes.size() * m_mostPerRow + slot;
    thread_local std::vector<char> scratch;
    if (scratch.size() < 3 * region)
        scratch.resize(3 * region);
    char* const primaryStart = scratch.data();
    char* const secondaryStart = primaryStart + region;
    char* const tertiaryStart = secondaryStart + region;
    char* primary = primaryStart;
    char* secondary = secondaryStart;
    char* tertiary = tertiaryStart;
    const char* const primaryBytes = m_bytes[0].data();
    const char* const secondaryBytes = m_bytes[1].data();
    const char* const tertiaryBytes = m_bytes[2].data();
    auto copySlot = [slot](char* to, const char* from) {
        if constexpr (Slot != 0) {
            std::memcpy(to, from, Slot);
        } else {
            for (size_t k = 0; k < slot; k += 8)
                std::memcpy(to + k, from + k, 8);
        }
    };
    unsigned secondaryRun = 0, tertiaryRun = 0;
    size_t before = kTextStart;
    for (const char c : bytes) {
        const auto b = uint8_t(c);
        size_t r = b;
        if (m_contextTable[b] != 0) {
            const uint16_t other = m_contextRows[m_contextTable[b] - 1u][before];
            if (other != 0)
                r = other;
        }
        before = b;
        const Row& row = m_rows[r];
        const size_t offset = r * slot;
        copySlot(primary, primaryBytes + offset);
        primary += row.primaryLength;
        secondaryRun += row.lead[0];
        if (row.length[0] != 0) {
            if (secondaryRun != 0)
                secondary = writeRun(secondary, secondaryRun, row.greaterFirst[0], m_runs[0]);
            copySlot(secondary, secondaryBytes + offset);
            secondary += row.length[0];
            secondaryRun = row.trail[0];
        }
        tertiaryRun += row.lead[1];
        if (row.length[1] != 0) {
            if (tertiaryRun != 0)
                tertiary = writeRun(tertiary, tertiaryRun, row.greaterFirst[1], m_runs[1]);
            copySlot(tertiary, tertiaryBytes + offset);
            tertiary += row.length[1];
            tertiaryRun = row.trail[1];
        }
    }
    if (secondaryRun != 0)
        secondary = writeRun(secondary, secondaryRun, false, m_runs[0]);
    if (tertiaryRun != 0)
        tertiary = writeRun(tertiary, tertiaryRun, false, m_runs[1]);

    const auto primaryLength = size_t(primary - primaryStart);
    const auto secondaryLength = size_t(secondary - secondaryStart);
    const auto tertiaryLength = size_t(tertiary - tertiaryStart);
    const size_t first = primaryLength + afterPrimary.size();
    std::string key(first + secondaryLength + tertiaryLength + 2, '\x01');
    std::memcpy(key.data(), primaryStart, primaryLength);
    std::copy(afterPrimary.begin(), afterPrimary.end(), key.data() + primaryLength);
    std::memcpy(key.data() + first + 1, secondaryStart, secondaryLength);
    std::memcpy(key.data() + first + secondaryLength + 2, tertiaryStart, tertiaryLength);
    return key;
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
