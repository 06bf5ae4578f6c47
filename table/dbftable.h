#pragma once

#include "records/fieldvalue.h"
#include "records/rowcursor.h"
#include "table/codepage.h"
#include "table/dbfformat.h"
#include "table/fileio.h"
#include "table/sortindex.h"

#include <cstdint>
#include <functional>
#include <memory>
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
class DbfTable : public RowCursor {
public:
    // A column as the file defines it.
    struct Column {
        std::string name; // upper case
        bool isText = false; // C column; otherwise N/F number (or another dBase type read as text)
        bool isNumber = false;
        char type = 'C';
        int width = 0;
        int decimals = 0;
    };

    enum class State { Closed, Browse, Edit, Append };

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
    bool Active() const override { return m_state != State::Closed; }
    State state() const { return m_state; }
    bool ReadOnly() const { return m_readOnly; }
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
    bool Eof() const override { return m_eof; }
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
    const std::vector<uint32_t>& ViewOrder() const { return m_view; }
    // A stored value of any record (null, number, or UTF-8 text).
    FieldValue ReadField(uint32_t recNo, std::string_view column);
    // Number of records in the file, deleted ones included.
    uint32_t RecordCount() const { return m_recordCount; }
    bool IsDeleted(uint32_t recNo) const;
    // The table's columns in file order (while open), or the column list
    // the next CreateNew writes (while closed).
    const std::vector<Column>& Columns() const;

private:
    struct Tag {
        std::string name;
        std::string column;
        bool descending = false;
        SortIndex index;
        uint64_t builtAt = ~uint64_t(0); // the change count when it was last filled
    };

    void requireOpen() const;
    void requireWritable() const;
    int columnIndex(std::string_view column) const; // -1 when unknown
    int requireColumn(std::string_view column) const;
    Tag* activeTag();

    void openFile();
    // Hands the records over block by block, in file order.
    void scanRecords(const std::function<void(uint32_t first, uint32_t count, const char* records)>& visit) const;
    void readDeletionFlags();
    void resetOpenState();
    uint64_t recordOffset(uint32_t recNo) const;
    void writeHeader(); // raises the write error
    bool writeHeaderNoThrow();
    std::string_view recordBytes(uint32_t recNo);
    FieldValue decodeField(std::string_view record, int column) const;
    void invalidateCache() { m_cacheFirst = 0; m_cacheCount = 0; }

    void rebuildView(uint32_t keepRecNo);
    uint32_t positionOf(uint32_t recNo); // position in the view + 1, 0 when not visible
    void setCurrent(size_t viewPos);
    void clearCurrent();
    void leaveEditing();
    void dropEditBuffer();
    void postAppend();
    void postEdit();

    SortKey keyOf(const Tag& tag, std::string_view record) const;
    // The part of a stored text its sort key is made from, and the key.
    std::string_view keyText(std::string_view stored) const;
    std::string collationKey(std::string_view text) const;
    std::string textKey(std::string_view stored) const;
    bool fillTag(Tag& tag);
    std::string indexFileBytes() const;
    bool writeIndexFile();
    void readIndexFile();

    std::string m_tableName;
    std::string m_filePath;
    std::string m_indexName;
    State m_state = State::Closed;
    bool m_readOnly = false;
    bool m_exclusive = true;
    bool m_openedShared = false;
    bool m_eof = true;
    int m_level = 4;
    uint8_t m_newLanguage = 0;
    std::vector<Column> m_newColumns; // what CreateNew writes

    // Open table.
    std::string m_openPath;
    fileio::File m_file;
    fileio::File m_indexFile;
    std::string m_headerBytes; // the whole header area, descriptors and terminator
    dbf::Header m_header;
    std::vector<Column> m_columns;
    std::vector<int> m_offsets; // of each column in the record
    mutable size_t m_nextColumn = 0; // where the next search for a column by name starts
    CodePage m_codePage;
    uint32_t m_recordCount = 0;
    std::vector<uint8_t> m_deleted; // per record, index recNo - 1
    std::vector<std::unique_ptr<Tag>> m_tags;
    std::vector<uint32_t> m_view;
    std::vector<uint32_t> m_viewPos; // sorted view: per record number its position in m_view + 1
    bool m_viewPosValid = false;
    uint64_t m_changes = 0; // counts writes to records, so an unchanged sort is not rebuilt
    size_t m_pos = 0; // into m_view; meaningful when m_hasCurrent
    bool m_hasCurrent = false;
    std::string m_buffer; // the edit buffer
    uint32_t m_editRecNo = 0;

    // A few records read ahead for the grid and the walkers.
    std::string m_cache;
    uint32_t m_cacheFirst = 0;
    uint32_t m_cacheCount = 0;
    uint32_t m_lastRead = 0;
};

} // namespace zent5
