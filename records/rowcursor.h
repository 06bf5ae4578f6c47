#pragma once

#include "fieldvalue.h"

#include <string>
#include <string_view>

namespace zent5 {

// The cursor operations through which the archive decoding, the export and
// the reports reach the measurement table. The table component implements
// them; every operation raises zent5::Error with the component's own text.
class RowCursor {
public:
    virtual ~RowCursor() = default;

    virtual bool Active() const = 0;
    virtual void Refresh() = 0;
    virtual void First() = 0;
    virtual void Last() = 0;
    virtual void Next() = 0;
    virtual bool Eof() const = 0;
    virtual int VisibleCount() = 0;
    // The current row's column as text (trailing spaces removed, empty for null).
    virtual std::string FieldText(std::string_view column) = 0;
    // The current row's number column (0 for null).
    virtual double FieldNumber(std::string_view column) = 0;
    // The current row's column as stored: null, number or text.
    virtual FieldValue FieldValueOf(std::string_view column) = 0;
    virtual void Append() = 0;
    virtual void SetFieldValue(std::string_view column, const FieldValue& value) = 0;
    virtual void Post() = 0;
};

} // namespace zent5
