#pragma once

#include "records/fieldvalue.h"
#include "records/rowcursor.h"
#include "table/dbffile.h"
#include "table/sorttags.h"
#include "table/tablecursor.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zent5 {

// The measurement table component: one dBase table file at a time, a current
// row, appending, editing and deleting rows, and an optional sorted view
// through the index "tab1" kept beside the table in a `.mdx` file.
//
// Text goes in and out as UTF-8; the file holds the code page its language
// byte names (1251 for our tables). Every failure raises zent5::Error with
// the component's own text. Rows are identified by their record number
// (1 for the first record), which only Pack changes.
//
// The component is the face of three parts: the file (DbfFile), the sort
// tags with their index file (SortTags), and the cursor with its view and
// edit buffer (TableCursor). It keeps the properties and the order of the
// steps in which the parts meet.
class DbfTable : public RowCursor {
public:
    using Column = DbfColumn;
    using State = TableCursor::State;

    DbfTable();
    ~DbfTable() override;
    DbfTable(const DbfTable&) = delete;
    DbfTable& operator=(const DbfTable&) = delete;

    // Properties. The setters work in every state; FilePath may not change
    // while the table is open.
    std::string TableName() const { return m_tableName; }
    void setTableName(const std::string& name);
    std::string FilePath() const { return m_filePath; }
    void setFilePath(const std::string& path); // adds a trailing '/'
    std::string IndexName() const { return m_indexName; }
    void setIndexName(const std::string& name);
    bool Active() const override { return m_cursor.state() != State::Closed; }
    State state() const { return m_cursor.state(); }
    bool ReadOnly() const { return m_file.readOnly(); }
    // True (the default): the table is opened for reading and writing and
    // nobody else may open it meanwhile. False: opened only for reading,
    // beside other readers; nothing is ever written, and Pack and AddIndex
    // need exclusive access. Takes effect at the next Open.
    bool Exclusive() const { return m_exclusive; }
    void setExclusive(bool exclusive) { m_exclusive = exclusive; }
    // dBase level of the next new table: 4, or 3 after a dBase III table was opened.
    int TableLevel() const { return m_level; }
    // Language driver byte the next new table gets.
    uint8_t LanguageByte() const { return m_newLanguage; }
    // Full path of the table file and of its index file.
    std::string TablePath() const { return m_filePath + m_tableName; }
    std::string IndexFilePath() const;

    void Open();
    void Close();
    void CreateNew();

    void First() override;
    void Last() override;
    void Next() override;
    bool Eof() const override { return m_cursor.eof(); }
    void Refresh() override;
    int VisibleCount() override;

    void Append() override;
    void Edit();
    void SetFieldValue(std::string_view column, const FieldValue& value) override;
    // A Post that fails to write gives the row up: the table is back in
    // browse and the file holds what it held before.
    void Post() override;
    void Delete();
    void Pack();

    void AddIndex(const std::string& name, const std::string& column, bool descending);
    void DeleteIndex(const std::string& name);
    void CloseIndex(const std::string& name);
    void RebuildIndexes();

    std::string FieldText(std::string_view column) override;
    double FieldNumber(std::string_view column) override;
    FieldValue FieldValueOf(std::string_view column) override;

    // Random access for the grid, without moving the cursor.
    // Record number of the current row; 0 when there is none.
    uint32_t RecNo() const;
    // Makes a visible record current (clears Eof); a record that is not
    // visible leaves the cursor where it is.
    void GoTo(uint32_t recNo);
    // Record numbers of the visible rows, in the order of the current view.
    const std::vector<uint32_t>& ViewOrder() const { return m_cursor.viewOrder(); }
    // A stored value of any record (null, number, or UTF-8 text).
    FieldValue ReadField(uint32_t recNo, std::string_view column);
    // Number of records in the file, deleted ones included.
    uint32_t RecordCount() const { return m_file.recordCount(); }
    bool IsDeleted(uint32_t recNo) const { return m_file.isDeleted(recNo); }
    // The table's columns in file order (while open), or the column list
    // the next CreateNew writes (while closed).
    const std::vector<Column>& Columns() const;

private:
    void requireOpen() const;
    void requireWritable() const;
    int requireColumn(std::string_view column) const;
    void openParts();
    void closeParts();
    // The view of IndexName's tag (file order without one), the record
    // `keepRecNo` staying current.
    void showView(uint32_t keepRecNo);
    // The same, and an IndexName that names no tag becomes empty.
    void showViewOfKnownIndex(uint32_t keepRecNo);

    std::string m_tableName;
    std::string m_filePath;
    std::string m_indexName;
    bool m_exclusive = true;
    int m_level = 4;
    uint8_t m_newLanguage = 0;
    std::vector<Column> m_newColumns; // what CreateNew writes

    DbfFile m_file;
    SortTags m_tags{m_file};
    TableCursor m_cursor{m_file, m_tags};
};

} // namespace zent5
