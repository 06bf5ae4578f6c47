#pragma once

#include "records/error.h"
#include "records/measurementfields.h"
#include "records/rowcursor.h"

#include <map>
#include <string>
#include <vector>

namespace zent5::testing {

// An in-memory table of the thirteen measurement columns behind the cursor
// interface, for tests of code that reads or appends rows.
class MemoryCursor : public RowCursor {
public:
    using Row = std::map<std::string, FieldValue>;

    std::vector<Row> rows;
    bool active = true;
    int appendCalls = 0;
    int postCalls = 0;

    bool Active() const override { return active; }
    void Refresh() override {}
    void First() override
    {
        m_pos = 0;
        m_eof = rows.empty();
    }
    void Last() override
    {
        m_pos = rows.empty() ? 0 : rows.size() - 1;
        m_eof = rows.empty();
    }
    void Next() override
    {
        if (m_pos + 1 < rows.size())
            ++m_pos;
        else
            m_eof = true;
    }
    bool Eof() const override { return m_eof; }
    int VisibleCount() override { return int(rows.size()); }
    std::string FieldText(std::string_view column) override
    {
        const FieldValue v = FieldValueOf(column);
        if (auto s = std::get_if<std::string>(&v))
            return *s;
        if (auto d = std::get_if<double>(&v))
            return std::to_string(*d);
        return {};
    }
    double FieldNumber(std::string_view column) override
    {
        const FieldValue v = FieldValueOf(column);
        if (auto d = std::get_if<double>(&v))
            return *d;
        return 0;
    }
    FieldValue FieldValueOf(std::string_view column) override
    {
        if (rows.empty() || m_pos >= rows.size())
            return std::monostate{};
        const auto it = rows[m_pos].find(std::string(column));
        return it == rows[m_pos].end() ? FieldValue{} : it->second;
    }
    void Append() override
    {
        ++appendCalls;
        m_buffer = Row{};
        m_appending = true;
    }
    void SetFieldValue(std::string_view column, const FieldValue& value) override
    {
        if (!m_appending)
            throw Error("Dataset not in edit or insert mode");
        bool known = false;
        for (const auto& f : kMeasurementFields)
            known = known || f.name == column;
        if (!known)
            throw Error("Field '" + std::string(column) + "' not found");
        m_buffer[std::string(column)] = value;
    }
    void Post() override
    {
        if (!m_appending)
            throw Error("Dataset not in edit or insert mode");
        ++postCalls;
        rows.push_back(m_buffer);
        m_pos = rows.size() - 1;
        m_appending = false;
    }

    // Convenience for tests: a row with just a date and a time.
    void addDated(const std::string& date, const std::string& time)
    {
        rows.push_back(Row{{"DATE", date}, {"TIME", time}});
    }

private:
    size_t m_pos = 0;
    bool m_eof = true;
    bool m_appending = false;
    Row m_buffer;
};

} // namespace zent5::testing
