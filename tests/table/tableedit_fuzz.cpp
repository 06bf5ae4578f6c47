// libFuzzer target for changing a table: the input is a script of steps on
// a new measurement table (appending, editing and deleting rows with any
// numbers and texts, sorting, packing, closing and opening again), with
// writes failing where the script says. After every step nothing is left
// pending by a failed post, a number the table took reads back as the
// value rounded to the column's decimals, and what the table shows is what
// its file holds. Crashing inputs go into tests/data/table/edit/.
#include "records/error.h"
#include "table/dbftable.h"
#include "table/fileio.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

// Also used by the regression test over the kept inputs.
void exerciseEdits(const std::string& dir, const uint8_t* data, size_t size);

namespace {

class Script {
public:
    Script(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}
    bool more() const { return m_at < m_size; }
    uint8_t byte() { return m_at < m_size ? m_data[m_at++] : 0; }
    double number()
    {
        uint8_t raw[8] = {};
        for (uint8_t& b : raw)
            b = byte();
        double v;
        std::memcpy(&v, raw, sizeof v);
        return v;
    }
    std::string text()
    {
        std::string out;
        for (size_t n = byte() % 128; n > 0 && more(); --n)
            out += char(byte());
        return out;
    }

private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_at = 0;
};

void check(bool ok, const char* what)
{
    if (!ok) {
        std::fprintf(stderr, "broken: %s\n", what);
        std::abort();
    }
}

// Puts a value from the script into a column of the row being edited.
void setField(zent5::DbfTable& t, Script& s)
{
    const auto& columns = t.Columns();
    const zent5::DbfTable::Column& c = columns[s.byte() % columns.size()];
    switch (s.byte() % 3) {
    case 0: {
        const double v = s.number();
        t.SetFieldValue(c.name, v);
        if (c.isNumber) {
            // Stored as fixed-point text with the column's decimals.
            const zent5::FieldValue back = t.FieldValueOf(c.name);
            const double* got = std::get_if<double>(&back);
            check(got != nullptr, "a number taken reads back as none");
            const double tolerance = 0.5000001 * std::pow(10.0, -c.decimals) + std::fabs(v) * 1e-15;
            check(std::fabs(*got - v) <= tolerance, "a number taken reads back as another");
        }
        break;
    }
    case 1:
        t.SetFieldValue(c.name, s.text());
        break;
    default:
        t.SetFieldValue(c.name, zent5::FieldValue());
        break;
    }
}

// Every visible row's values, in record-number order.
std::vector<std::vector<zent5::FieldValue>> shownRows(zent5::DbfTable& t)
{
    std::vector<uint32_t> records = t.ViewOrder();
    std::sort(records.begin(), records.end());
    std::vector<std::vector<zent5::FieldValue>> rows;
    for (uint32_t r : records) {
        std::vector<zent5::FieldValue> row;
        for (const auto& c : t.Columns())
            row.push_back(t.ReadField(r, c.name));
        rows.push_back(std::move(row));
    }
    return rows;
}

// Closes and opens the table; the rows it showed are the rows its file holds.
void reopenAndCompare(zent5::DbfTable& t)
{
    const auto before = shownRows(t);
    try {
        t.Close();
    } catch (const zent5::Error&) {
    }
    t.Open();
    check(shownRows(t) == before, "the file holds other rows than the table showed");
}

// A post that fails leaves nothing pending: the table is back in browse.
void post(zent5::DbfTable& t)
{
    try {
        t.Post();
    } catch (const zent5::Error&) {
        check(t.state() == zent5::DbfTable::State::Browse, "a failed post left its row pending");
        throw;
    }
}

} // namespace

void exerciseEdits(const std::string& dir, const uint8_t* data, size_t size)
{
    zent5::fileio::testhook::reset();
    unlink((dir + "/t.db").c_str());
    unlink((dir + "/t.mdx").c_str());
    Script s(data, size);
    zent5::DbfTable t;
    t.setFilePath(dir);
    t.setTableName("t.db");
    t.CreateNew();
    t.Open();
    int armedFor = 0; // steps the armed write fault stays in force
    for (int step = 0; step < 400 && s.more(); ++step) {
        try {
            switch (s.byte() % 11) {
            case 0:
            case 1: {
                t.Append();
                for (int k = s.byte() % 5; k > 0; --k)
                    setField(t, s);
                post(t);
                break;
            }
            case 2: {
                const auto& view = t.ViewOrder();
                if (view.empty())
                    break;
                t.GoTo(view[s.byte() % view.size()]);
                t.Edit();
                for (int k = s.byte() % 4 + 1; k > 0; --k)
                    setField(t, s);
                if (s.byte() % 8 != 0)
                    post(t); // otherwise the next move posts it
                break;
            }
            case 3:
                t.Delete();
                break;
            case 4:
                switch (s.byte() % 4) {
                case 0: t.First(); break;
                case 1: t.Last(); break;
                case 2: t.Next(); break;
                default: t.GoTo(s.byte()); break;
                }
                break;
            case 5: {
                const auto& columns = t.Columns();
                t.AddIndex("tab1", columns[s.byte() % columns.size()].name, s.byte() & 1);
                t.setIndexName("tab1");
                break;
            }
            case 6:
                t.DeleteIndex("tab1");
                break;
            case 7:
                t.Pack();
                break;
            case 8:
                zent5::fileio::testhook::reset();
                armedFor = 0;
                reopenAndCompare(t);
                break;
            case 9:
                zent5::fileio::testhook::failNthWrite(s.byte() % 6 + 1);
                armedFor = 2;
                break;
            default:
                t.RebuildIndexes();
                t.Refresh();
                break;
            }
        } catch (const zent5::Error&) {
        }
        if (!t.Active()) {
            zent5::fileio::testhook::reset();
            t.Open();
        }
        if (armedFor > 0 && --armedFor == 0)
            zent5::fileio::testhook::reset();
    }
    zent5::fileio::testhook::reset();
    // A row left in the edit buffer is posted by the next move.
    t.First();
    check(t.state() == zent5::DbfTable::State::Browse, "a move left a row pending");
    reopenAndCompare(t);
    t.Close();
}

#ifndef ZENT5_NO_FUZZ_ENTRY
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const std::string dir = [] {
        std::string pattern = "/tmp/zent5-fuzz-edit-XXXXXX";
        if (!mkdtemp(pattern.data()))
            std::abort();
        return pattern;
    }();
    try {
        exerciseEdits(dir, data, size);
    } catch (const zent5::Error& e) {
        // Creating or opening the fresh table itself must not fail.
        std::fprintf(stderr, "unexpected: %s\n", e.what());
        std::abort();
    }
    return 0;
}
#endif
