#include "collation_icu.h"

#include <unicode/ucol.h>
#include <unicode/ustring.h>

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

const RussianCollation& russianCollation()
{
    static const RussianCollation collation;
    return collation;
}

} // namespace zent5::text
