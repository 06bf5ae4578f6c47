// What the table fuzzers do with a table file once it is in place.
#include "tests/table/tableexercise.h"

#include "records/error.h"
#include "table/dbftable.h"

void exerciseTable(const std::string& dir, const std::string& name)
{
    zent5::DbfTable t;
    t.setFilePath(dir);
    t.setTableName(name);
    // As a table closed while sorted is opened again: its tags are built.
    t.setIndexName("tab1");
    try {
        t.Open();
        const auto columns = t.Columns();
        for (uint32_t r : t.ViewOrder())
            for (const auto& c : columns)
                (void)t.ReadField(r, c.name);
        t.First();
        while (!t.Eof()) {
            (void)t.FieldText("COMMENT");
            (void)t.FieldNumber("P");
            t.Next();
        }
        t.AddIndex("tab1", "COMMENT", false);
        t.setIndexName("tab1");
        t.AddIndex("tab1", "P", true);
        t.First();
        if (!t.ReadOnly() && t.VisibleCount() > 0) {
            t.Delete();
            t.Append();
            t.SetFieldValue("COMMENT", std::string("новая"));
            t.Post();
            t.Pack();
        }
        t.Close();
    } catch (const zent5::Error&) {
    }
}

