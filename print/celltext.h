#pragma once

#include <string>
#include <vector>

namespace zent5 {

// A cell's text split into fixed text and bracketed expressions:
// [Dbf1."COLUMN"] (a column of the current row, the name matched without
// regard to case), [PAGE#] and [TOTALPAGES] (both counted from 1).
// A bracket that holds none of these stays as written.
struct CellTextPart {
    enum Kind { Literal, Column, PageNumber, TotalPages };
    Kind kind = Literal;
    std::string text; // the literal, or the column name in upper case
};

std::vector<CellTextPart> parseCellText(const std::string& text);

} // namespace zent5
