#pragma once

#include "xlsborders.h"
#include "xlscolor.h"
#include "xlsfont.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <variant>

namespace zent5 {

class XlsWorksheet;

// A cell value: empty, a number, or a text held as the file will hold it
// (UTF-16, code page 1251 characters only, line breaks as single line feeds).
using XlsValue = std::variant<std::monostate, double, std::u16string>;

// How the cells of a range look.
struct XlsCellFormat {
    XlsBorders Borders;
    XlsFont Font;
    uint8_t HorizontalAlignment = 0; // general, left, centre, right, fill, justify, centre across
    uint8_t VerticalAlignment = 2;   // top, centre, bottom, justify
    bool WrapText = false;
    uint8_t Rotation = 0;
    std::string NumberFormat; // UTF-8; empty is the general format
    uint8_t FillPattern = 0;  // 0 no fill
    XlsColor FillForeColor = 0;
    XlsColor FillBackColor = 0;

    bool operator==(const XlsCellFormat&) const = default;
};

// One rectangular block of cells, bounds zero-based and inclusive. A range of
// more than one cell is a merged area: its value stands in the top-left cell.
class XlsRange {
public:
    XlsRange(XlsWorksheet& sheet, int left, int top, int right, int bottom);
    XlsRange(const XlsRange&) = delete;
    XlsRange& operator=(const XlsRange&) = delete;

    XlsWorksheet& Worksheet() const { return *m_sheet; }
    int Left() const { return m_left; }
    int Top() const { return m_top; }
    int Right() const { return m_right; }
    int Bottom() const { return m_bottom; }
    bool IsSingleCell() const { return m_left == m_right && m_top == m_bottom; }

    const XlsValue& Value() const { return m_value; }
    void SetValue(double number) { m_value = number; }
    // A text (UTF-8) is normalised as described at XlsValue.
    void SetValue(std::string_view text);
    void SetValue(const char* text) { SetValue(std::string_view(text)); }
    void ClearValue() { m_value = std::monostate{}; }

    bool IsNumber() const { return std::holds_alternative<double>(m_value); }
    // The text the cell shows when it is not a number; empty for no value.
    const std::u16string& TextForm() const;

    // The range's own borders, font, alignment, number format and fill.
    // A range whose format was never asked for in writing has the defaults
    // and takes no memory for them; a full sheet has many such cells.
    XlsCellFormat& Format();
    const XlsCellFormat& Format() const { return m_format ? *m_format : DefaultFormat(); }
    bool HasOwnFormat() const { return m_format != nullptr; }
    static const XlsCellFormat& DefaultFormat();

private:
    XlsWorksheet* m_sheet;
    int m_left, m_top, m_right, m_bottom;
    XlsValue m_value;
    std::unique_ptr<XlsCellFormat> m_format;
};

} // namespace zent5
