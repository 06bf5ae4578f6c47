#include "xlsworkbook.h"

#include "xlstext.h"

namespace zent5 {

XlsWorkbook::XlsWorkbook() : m_userName("DUvazuv") {}

XlsWorkbook::~XlsWorkbook() = default;

void XlsWorkbook::SetUserName(std::string_view name)
{
    m_userName = xlstext::toUtf8(xlstext::cutAndTrim(xlstext::fromUtf8(name), 66));
}

bool XlsWorkbook::hasSheetNamed(std::u16string_view name) const
{
    for (const auto& s : m_sheets)
        if (xlstext::equalIgnoringCase(xlstext::fromUtf8(s->Name()), name))
            return true;
    return false;
}

XlsWorksheet& XlsWorkbook::AddSheet()
{
    int n = SheetCount() + 1;
    while (hasSheetNamed(u"Sheet" + xlstext::fromUtf8(std::to_string(n))))
        ++n;
    m_sheets.push_back(std::make_unique<XlsWorksheet>(*this, "Sheet" + std::to_string(n)));
    return *m_sheets.back();
}

int XlsWorkbook::IndexOf(const XlsWorksheet& sheet) const
{
    for (size_t i = 0; i < m_sheets.size(); ++i)
        if (m_sheets[i].get() == &sheet)
            return int(i);
    return -1;
}

} // namespace zent5
