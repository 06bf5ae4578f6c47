#include "xlsrange.h"

#include "xlsrangestore.h"
#include "xlstext.h"
#include "xlsworksheet.h"

namespace zent5 {

XlsRange::XlsRange(int left, int top, int right, int bottom)
    : m_left(left), m_top(top), m_right(right), m_bottom(bottom), m_number(0)
{
}

XlsRange::~XlsRange()
{
    if (m_format != 0)
        Worksheet().releaseFormat(m_format);
}

XlsWorksheet& XlsRange::Worksheet() const { return XlsRangeStore::sheetOf(*this); }

XlsValue XlsRange::Value() const
{
    switch (m_kind) {
    case Kind::Empty: return std::monostate{};
    case Kind::Number: return m_number;
    case Kind::EmptyText: return std::u16string();
    case Kind::Text: break;
    }
    return TextForm();
}

void XlsRange::SetValue(std::string_view text)
{
    std::string& bytes = Worksheet().scratch();
    xlstext::toSingleByte(text, bytes);
    xlstext::joinCrLf(bytes);
    if (bytes.empty()) {
        m_kind = Kind::EmptyText;
        return;
    }
    XlsTextStore& store = Worksheet().texts();
    if (m_kind != Kind::Text || !store.replace(m_text, bytes))
        m_text = store.add(bytes);
    m_kind = Kind::Text;
}

std::string_view XlsRange::SingleByteText() const
{
    return m_kind == Kind::Text ? Worksheet().texts().at(m_text) : std::string_view();
}

std::u16string XlsRange::TextForm() const { return xlstext::widen(SingleByteText()); }

XlsCellFormat& XlsRange::Format()
{
    if (m_format == 0)
        m_format = Worksheet().makeFormat();
    return Worksheet().format(m_format);
}

const XlsCellFormat& XlsRange::ownFormat() const { return Worksheet().format(m_format); }

const XlsCellFormat XlsRange::s_defaultFormat;

} // namespace zent5
