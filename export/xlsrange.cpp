#include "xlsrange.h"

#include "xlstext.h"

namespace zent5 {

XlsRange::XlsRange(XlsWorksheet& sheet, int left, int top, int right, int bottom)
    : m_sheet(&sheet), m_left(left), m_top(top), m_right(right), m_bottom(bottom)
{
}

void XlsRange::SetValue(std::string_view text)
{
    std::u16string t = xlstext::fromUtf8(text);
    xlstext::joinCrLf(t);
    m_value = std::move(t);
}

const std::u16string& XlsRange::TextForm() const
{
    static const std::u16string empty;
    if (const auto* t = std::get_if<std::u16string>(&m_value))
        return *t;
    return empty;
}

XlsCellFormat& XlsRange::Format()
{
    if (!m_format)
        m_format = std::make_unique<XlsCellFormat>();
    return *m_format;
}

const XlsCellFormat& XlsRange::DefaultFormat()
{
    static const XlsCellFormat defaults;
    return defaults;
}

} // namespace zent5
