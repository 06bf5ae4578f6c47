#pragma once

#include "records/rowcursor.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace zent5::testing {

// A table in memory that logs the cursor calls made on it. Export reads
// only: any call that would change the table fails the test.
class FakeCursor : public RowCursor {
public:
    using Row = std::map<std::string, FieldValue, std::less<>>;

    std::vector<Row> rows;
    bool active = true;
    std::vector<std::string> log;

    bool Active() const override { return active; }
    void Refresh() override { log.push_back("Refresh"); }
    void First() override
    {
        log.push_back("First");
        m_at = 0;
    }
    void Last() override
    {
        log.push_back("Last");
        m_at = rows.empty() ? 0 : rows.size() - 1;
    }
    void Next() override
    {
        log.push_back("Next");
        if (m_at < rows.size())
            ++m_at;
    }
    bool Eof() const override { return m_at >= rows.size(); }
    int VisibleCount() override
    {
        log.push_back("VisibleCount");
        return int(rows.size());
    }
    std::string FieldText(std::string_view column) override
    {
        const FieldValue& v = value(column);
        if (const auto* s = std::get_if<std::string>(&v))
            return *s;
        if (const auto* d = std::get_if<double>(&v))
            return std::to_string(*d);
        return {};
    }
    double FieldNumber(std::string_view column) override
    {
        const FieldValue& v = value(column);
        if (const auto* d = std::get_if<double>(&v))
            return *d;
        return 0;
    }
    FieldValue FieldValueOf(std::string_view column) override { return value(column); }
    void Append() override { ADD_FAILURE() << "Append"; }
    void SetFieldValue(std::string_view, const FieldValue&) override { ADD_FAILURE() << "SetFieldValue"; }
    void Post() override { ADD_FAILURE() << "Post"; }

private:
    const FieldValue& value(std::string_view column)
    {
        static const FieldValue null;
        if (m_at >= rows.size()) {
            ADD_FAILURE() << "read past the last row";
            return null;
        }
        const auto it = rows[m_at].find(column);
        return it == rows[m_at].end() ? null : it->second;
    }

    size_t m_at = 0;
};

// A measurement row as the table holds it.
inline FakeCursor::Row measurementRow(double n, const std::string& date, const std::string& time,
                                      const std::string& type, double d, double p, double pKg, double s, double sKg,
                                      double f, double fMm, const std::string& comment)
{
    FakeCursor::Row r;
    r["N"] = n;
    r["DATE"] = date;
    r["TIME"] = time;
    r["SERIAL"] = 1234.0;
    r["TYPE"] = type;
    r["D"] = d;
    r["P"] = p;
    r["P_KG"] = pKg;
    r["S"] = s;
    r["S_KG"] = sKg;
    r["F"] = f;
    r["F_MM"] = fMm;
    if (!comment.empty())
        r["COMMENT"] = comment;
    return r;
}

// Three rows whose values differ in every column and unit system.
inline std::vector<FakeCursor::Row> threeMeasurements()
{
    return {
        measurementRow(1, "01.02.2024", "09:15:00", "анкер", 12, 50.25, 5124.1, 444.5, 4532.7, 113.1, 1.131, "первый"),
        measurementRow(2, "02.02.2024", "10:00:30", "канат", 15.2, 180, 18355.2, 1290.75, 13161.9, 139.5, 1.395, ""),
        measurementRow(7, "29.02.2024", "23:59:59", "", 0, 0.5, 50.99, 0, 0, 0.1 + 0.2, 0.003,
                       "строка 1\r\nстрока 2"),
    };
}

} // namespace zent5::testing
