#pragma once

#include "xlsborders.h"
#include "xlscolor.h"
#include "xlsfont.h"
#include "xlstextstore.h"

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
//
// A full sheet has a range per cell, so a range is kept small: its text and
// its own format, if any, are held by the sheet, and the sheet itself is
// found through the block of the sheet's storage the range lives in. Ranges
// are made only by their sheet.
class XlsRange {
public:
    XlsRange(const XlsRange&) = delete;
    XlsRange& operator=(const XlsRange&) = delete;
    ~XlsRange();

    XlsWorksheet& Worksheet() const;
    int Left() const { return m_left; }
    int Top() const { return m_top; }
    int Right() const { return m_right; }
    int Bottom() const { return m_bottom; }
    bool IsSingleCell() const { return m_left == m_right && m_top == m_bottom; }

    // A copy of the value.
    XlsValue Value() const;
    void SetValue(double number)
    {
        m_kind = Kind::Number;
        m_number = number;
    }
    // A text (UTF-8) is normalised as described at XlsValue.
    void SetValue(std::string_view text);
    void SetValue(const char* text) { SetValue(std::string_view(text)); }
    void ClearValue() { m_kind = Kind::Empty; }

    bool IsNumber() const { return m_kind == Kind::Number; }
    // The number; 0 when the value is no number.
    double Number() const { return m_kind == Kind::Number ? m_number : 0.0; }
    // Whether the value is a text of at least one character.
    bool HasText() const { return m_kind == Kind::Text; }
    // The text the cell shows when it is not a number; empty for no value.
    std::u16string TextForm() const;
    // The same as code page 1251 bytes, one per character; valid until the
    // range's value changes.
    std::string_view SingleByteText() const;

    // The range's own borders, font, alignment, number format and fill.
    // A range whose format was never asked for in writing has the defaults
    // and takes no memory for them; a full sheet has many such cells.
    XlsCellFormat& Format();
    const XlsCellFormat& Format() const { return m_format ? ownFormat() : s_defaultFormat; }
    bool HasOwnFormat() const { return m_format != 0; }
    static const XlsCellFormat& DefaultFormat() { return s_defaultFormat; }

private:
    friend class XlsRangeStore;
    XlsRange(int left, int top, int right, int bottom);

    const XlsCellFormat& ownFormat() const;
    static const XlsCellFormat s_defaultFormat;

    enum class Kind : uint8_t { Empty, Number, EmptyText, Text };

    int32_t m_left, m_top, m_right, m_bottom;
    union {
        double m_number;
        XlsTextStore::Location m_text;
    };
    uint32_t m_format = 0; // the sheet's format number + 1; 0 for none
    Kind m_kind = Kind::Empty;
};

} // namespace zent5
