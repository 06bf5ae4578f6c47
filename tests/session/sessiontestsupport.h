#pragma once

#include "records/archiveimage.h"
#include "tests/common/archivebytes.h"
#include "session/tableview.h"
#include "table/dbftable.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace zent5::testing {

// A view that notes what the commands ask of it, in order.
class RecordingView : public TableView {
public:
    std::vector<std::string> calls;
    std::vector<std::string> errors;

    void showTable() override { calls.push_back("showTable"); }
    void showRows() override { calls.push_back("showRows"); }
    void hideTable() override { calls.push_back("hideTable"); }
    void saveLayout() override { calls.push_back("saveLayout"); }
    void showCaption(const std::string& tablePath) override { calls.push_back("caption " + tablePath); }
    void refreshRows() override { calls.push_back("refreshRows"); }
    void commitPendingEdit() override { calls.push_back("commitPendingEdit"); }
    void dropPendingEdit() override { calls.push_back("dropPendingEdit"); }
    void clearSelection() override { calls.push_back("clearSelection"); }
    void clearSortMarks() override { calls.push_back("clearSortMarks"); }
    void showError(const std::string& text) override
    {
        calls.push_back("showError");
        errors.push_back(text);
    }

    bool called(const std::string& call) const
    {
        for (const std::string& c : calls)
            if (c == call)
                return true;
        return false;
    }
};

using InstrumentTest = ArchiveTest;

// The image a download leaves: a header, then 11-byte records.
inline ArchiveImage archiveOf(const std::vector<InstrumentTest>& tests, uint16_t serial = 4321)
{
    ArchiveImage image;
    const std::string bytes = archiveBytes(tests);
    std::copy(bytes.begin(), bytes.end(), image.bytes.begin());
    image.decodedLength = bytes.size();
    image.serialNumber = serial;
    image.versionText = "10.10.14";
    image.kind = 1;
    image.model = 25;
    image.port = "\\\\.\\COM1";
    return image;
}

// One row of a test table; the other fields are left empty.
struct Row {
    double n;
    double p;
    std::string comment;
    std::string date = "05.03.2014";
    std::string time = "10:00:00";
};

inline void writeTable(const std::string& folder, const std::string& name, const std::vector<Row>& rows)
{
    DbfTable t;
    t.setFilePath(folder);
    t.setTableName(name);
    t.CreateNew();
    t.Open();
    for (const Row& r : rows) {
        t.Append();
        t.SetFieldValue("N", r.n);
        t.SetFieldValue("P", r.p);
        t.SetFieldValue("DATE", r.date);
        t.SetFieldValue("TIME", r.time);
        if (!r.comment.empty())
            t.SetFieldValue("COMMENT", r.comment);
        t.Post();
    }
    t.Close();
}

// A column of the visible rows in view order, as text.
inline std::vector<std::string> column(DbfTable& t, const char* field)
{
    std::vector<std::string> out;
    for (uint32_t r : t.ViewOrder()) {
        const FieldValue v = t.ReadField(r, field);
        if (const double* d = std::get_if<double>(&v))
            out.push_back(std::to_string(int64_t(*d)));
        else if (const std::string* s = std::get_if<std::string>(&v))
            out.push_back(*s);
        else
            out.push_back("");
    }
    return out;
}

} // namespace zent5::testing
