#include "collation_icu.h"

#include <unicode/ucol.h>
#include <unicode/ucoleitr.h>
#include <unicode/uset.h>
#include <unicode/ustring.h>
#include <unicode/utf16.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <vector>

namespace zent5::text {
namespace {

std::u16string toUChars(std::string_view utf8)
{
    std::u16string out(utf8.size() + 1, u'\0');
    int32_t length = 0;
    UErrorCode status = U_ZERO_ERROR;
    u_strFromUTF8WithSub(reinterpret_cast<UChar*>(out.data()), int32_t(out.size()), &length,
                         utf8.data(), int32_t(utf8.size()), 0xFFFD, nullptr, &status);
    if (U_FAILURE(status))
        return {};
    out.resize(size_t(length));
    return out;
}

} // namespace

RussianCollation::RussianCollation()
{
    UErrorCode status = U_ZERO_ERROR;
    UCollator* c = ucol_open("ru_RU", &status);
    if (U_FAILURE(status))
        return;
    ucol_setStrength(c, UCOL_TERTIARY);
    // The Russian tailoring moves Cyrillic ahead of Latin; the Windows desktop
    // our tables come from keeps Latin first, so the scripts keep their
    // common order.
    const int32_t commonOrder[] = {UCOL_REORDER_CODE_NONE};
    UErrorCode reorderStatus = U_ZERO_ERROR;
    ucol_setReorderCodes(c, commonOrder, 1, &reorderStatus);
    m_collator = c;
}

RussianCollation::~RussianCollation()
{
    if (m_collator)
        ucol_close(static_cast<UCollator*>(m_collator));
}

int RussianCollation::compare(std::string_view a, std::string_view b) const
{
    if (!m_collator)
        return a.compare(b);
    UErrorCode status = U_ZERO_ERROR;
    const UCollationResult r = ucol_strcollUTF8(static_cast<UCollator*>(m_collator), a.data(), int32_t(a.size()), b.data(),
                                                int32_t(b.size()), &status);
    if (U_FAILURE(status))
        return a.compare(b);
    return r == UCOL_LESS ? -1 : r == UCOL_GREATER ? 1 : 0;
}

std::string RussianCollation::sortKey(std::string_view utf8) const
{
    if (!m_collator)
        return std::string(utf8);
    const std::u16string u = toUChars(utf8);
    std::string key(u.size() * 4 + 16, '\0');
    int32_t n = ucol_getSortKey(static_cast<UCollator*>(m_collator), reinterpret_cast<const UChar*>(u.data()), int32_t(u.size()),
                                reinterpret_cast<uint8_t*>(key.data()), int32_t(key.size()));
    if (n > int32_t(key.size())) {
        key.resize(size_t(n));
        n = ucol_getSortKey(static_cast<UCollator*>(m_collator), reinterpret_cast<const UChar*>(u.data()), int32_t(u.size()),
                            reinterpret_cast<uint8_t*>(key.data()), int32_t(key.size()));
    }
    // The key ends with a zero byte that only terminates it.
    key.resize(n > 0 ? size_t(n - 1) : 0);
    return key;
}

bool RussianCollation::weights(std::string_view utf8, Weights& out) const
{
    out = {};
    if (!m_collator)
        return false;
    const std::u16string u = toUChars(utf8);
    UErrorCode status = U_ZERO_ERROR;
    const std::unique_ptr<UCollationElements, decltype(&ucol_closeElements)> elements(
        ucol_openElements(static_cast<UCollator*>(m_collator), reinterpret_cast<const UChar*>(u.data()), int32_t(u.size()), &status),
        &ucol_closeElements);
    if (U_FAILURE(status))
        return false;
    // The iterator hands out each element as one or two 32-bit halves: the
    // first holds the upper 16 bits of the primary, the upper bytes of the
    // secondary and tertiary (with the two case bits); a continuation, marked
    // by both case bits set, holds the lower ones.
    std::vector<uint32_t> halves;
    for (;;) {
        const int32_t half = ucol_next(elements.get(), &status);
        if (U_FAILURE(status))
            return false;
        if (half == UCOL_NULLORDER)
            break;
        halves.push_back(uint32_t(half));
    }
    for (size_t i = 0; i < halves.size(); ++i) {
        const uint32_t first = halves[i];
        uint32_t second = 0;
        if (i + 1 < halves.size() && (halves[i + 1] & 0xC0) == 0xC0)
            second = halves[++i];
        const uint32_t primary = (first & 0xFFFF0000) | (second >> 16);
        const auto secondary = uint16_t((first & 0xFF00) | ((second >> 8) & 0xFF));
        const auto tertiary = uint16_t(((first & 0x3F) << 8) | (second & 0x3F));
        if (primary != 0)
            out.primary.push_back(primary);
        if (secondary != 0)
            out.secondary.push_back(secondary);
        if (tertiary != 0)
            out.tertiary.push_back(tertiary);
    }
    return true;
}

bool RussianCollation::contexts(const std::vector<std::string>& characters, std::vector<std::pair<size_t, size_t>>& afterOther) const
{
    afterOther.clear();
    if (!m_collator)
        return false;
    const auto* c = static_cast<const UCollator*>(m_collator);
    UErrorCode status = U_ZERO_ERROR;
    // Numbers read as a whole, French accents read backwards, variable
    // characters moved to a fourth level, a case level, case bits inside the
    // tertiary, canonical reordering of accents, and script reordering (which
    // the element iterator does not apply) all break character-by-character
    // weights.
    const std::pair<UColAttribute, UColAttributeValue> expected[] = {
        {UCOL_STRENGTH, UCOL_TERTIARY},
        {UCOL_NUMERIC_COLLATION, UCOL_OFF},
        {UCOL_FRENCH_COLLATION, UCOL_OFF},
        {UCOL_ALTERNATE_HANDLING, UCOL_NON_IGNORABLE},
        {UCOL_CASE_LEVEL, UCOL_OFF},
        {UCOL_CASE_FIRST, UCOL_OFF},
        {UCOL_NORMALIZATION_MODE, UCOL_OFF},
    };
    for (const auto& [attribute, value] : expected)
        if (ucol_getAttribute(c, attribute, &status) != value || U_FAILURE(status))
            return false;
    int32_t reorder[8];
    if (ucol_getReorderCodes(c, reorder, 8, &status) != 0 || U_FAILURE(status))
        return false;

    // Code point -> index of its character.
    std::vector<std::pair<UChar32, size_t>> held;
    for (size_t k = 0; k < characters.size(); ++k) {
        const std::u16string u = toUChars(characters[k]);
        if (u.empty())
            return false;
        size_t i = 0;
        UChar32 cp = 0;
        U16_NEXT(u.data(), i, u.size(), cp);
        if (i != u.size())
            return false;
        held.emplace_back(cp, k);
    }
    std::sort(held.begin(), held.end());
    auto indexOf = [&](UChar32 cp) -> std::optional<size_t> {
        const auto it = std::lower_bound(held.begin(), held.end(), std::make_pair(cp, size_t(0)));
        if (it == held.end() || it->first != cp)
            return std::nullopt;
        return it->second;
    };

    // Contractions alone, then with the prefix contexts added.
    const std::unique_ptr<USet, decltype(&uset_close)> contractions(uset_openEmpty(), &uset_close);
    const std::unique_ptr<USet, decltype(&uset_close)> all(uset_openEmpty(), &uset_close);
    ucol_getContractionsAndExpansions(c, contractions.get(), nullptr, false, &status);
    ucol_getContractionsAndExpansions(c, all.get(), nullptr, true, &status);
    if (U_FAILURE(status))
        return false;
    const int32_t items = uset_getItemCount(all.get());
    std::u16string item(64, u'\0');
    for (int32_t k = 0; k < items; ++k) {
        UChar32 from = 0, to = 0;
        int32_t length = uset_getItem(all.get(), k, &from, &to, reinterpret_cast<UChar*>(item.data()), int32_t(item.size()), &status);
        if (status == U_BUFFER_OVERFLOW_ERROR) {
            status = U_ZERO_ERROR;
            item.resize(size_t(length));
            length = uset_getItem(all.get(), k, &from, &to, reinterpret_cast<UChar*>(item.data()), int32_t(item.size()), &status);
        }
        if (U_FAILURE(status))
            return false;
        if (length <= 0)
            continue; // a range of single code points: no context
        std::vector<size_t> indexes;
        bool allHeld = true;
        for (int32_t i = 0; i < length && allHeld;) {
            UChar32 cp;
            U16_NEXT(item.data(), i, length, cp);
            const std::optional<size_t> index = indexOf(cp);
            allHeld = index.has_value();
            if (allHeld)
                indexes.push_back(*index);
        }
        if (!allHeld)
            continue; // never met in these texts
        const bool contraction = uset_containsString(contractions.get(), reinterpret_cast<const UChar*>(item.data()), length);
        if (contraction || indexes.size() != 2)
            return false;
        afterOther.emplace_back(indexes[0], indexes[1]);
    }
    return true;
}

const RussianCollation& russianCollation()
{
    static const RussianCollation collation;
    return collation;
}

} // namespace zent5::text
