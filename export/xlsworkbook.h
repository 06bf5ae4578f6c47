#pragma once

#include "xlsworksheet.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace zent5 {

// The in-memory spreadsheet: worksheets in tab order and the name of the
// writing user. Owns its sheets, which own their ranges.
class XlsWorkbook {
public:
    XlsWorkbook();
    XlsWorkbook(const XlsWorkbook&) = delete;
    XlsWorkbook& operator=(const XlsWorkbook&) = delete;
    ~XlsWorkbook();

    const std::string& UserName() const { return m_userName; }
    // Keeps the first 66 characters, without leading and trailing blanks.
    void SetUserName(std::string_view name);

    // A new sheet at the end, named "Sheet" + the first free number from the
    // sheet count + 1 on (names compared without regard to letter case).
    XlsWorksheet& AddSheet();
    int SheetCount() const { return int(m_sheets.size()); }
    XlsWorksheet& Sheet(int i) const { return *m_sheets.at(size_t(i)); }
    int IndexOf(const XlsWorksheet& sheet) const;

private:
    bool hasSheetNamed(std::u16string_view name) const;

    std::string m_userName;
    std::vector<std::unique_ptr<XlsWorksheet>> m_sheets;
};

} // namespace zent5
