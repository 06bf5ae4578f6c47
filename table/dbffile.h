#pragma once

#include "records/fieldvalue.h"
#include "table/codepage.h"
#include "table/dbfformat.h"
#include "table/fileio.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace zent5 {

// A column as the table file defines it.
struct DbfColumn {
    std::string name; // upper case
    bool isText = false; // C column; otherwise N/F number (or another dBase type read as text)
    bool isNumber = false;
    char type = 'C';
    int width = 0;
    int decimals = 0;
};

// One open measurement table file: its header and column descriptors, its
// records read, rewritten and appended, the deletion flags, the code page of
// its text, and its packing. Knows nothing of the current row or of sort
// order. Every failure raises zent5::Error with the table component's text.
class DbfFile {
public:
    DbfFile() = default;
    DbfFile(const DbfFile&) = delete;
    DbfFile& operator=(const DbfFile&) = delete;

    // Opens and checks the table at `path`: for reading and writing with
    // nobody else beside, or `shared` only for reading beside other readers.
    // A file that is not a measurement table is refused; this object is
    // then closed again.
    void open(const std::string& path, bool shared);
    // Completes the header and cuts the file after its end-of-file byte,
    // then closes; a failed write is raised after the file is closed.
    void close();
    // Closes without writing anything.
    void drop();
    // A new empty table file with these columns, in place of a file of the
    // same name that nobody else has open; a failure removes what was written.
    static void create(const std::string& path, const std::vector<DbfColumn>& columns, uint8_t language);

    bool isOpen() const { return m_file.isOpen(); }
    const std::string& path() const { return m_path; }
    bool shared() const { return m_shared; }
    // Shared, or the text's code page is not installed.
    bool readOnly() const { return m_readOnly; }
    uint8_t version() const { return m_header.version; }
    uint8_t language() const { return m_header.language; }
    const CodePage& codePage() const { return m_codePage; }
    // The header's index-file flag; a new value goes to disk with the next header write.
    uint8_t indexFlag() const { return m_header.indexFlag; }
    void setIndexFlag(uint8_t flag) { m_header.indexFlag = flag; }

    const std::vector<DbfColumn>& columns() const { return m_columns; }
    // The column of that name, in any case; -1 when there is none.
    int columnIndex(std::string_view name) const;
    // The stored bytes of one column within a record.
    std::string_view fieldBytes(std::string_view record, int column) const
    {
        return record.substr(size_t(m_offsets[size_t(column)]), size_t(m_columns[size_t(column)].width));
    }
    size_t recordLength() const { return m_header.recordLength; }

    // Records in the file, deleted ones included; record numbers start at 1.
    uint32_t recordCount() const { return m_recordCount; }
    bool isDeleted(uint32_t recNo) const { return recNo >= 1 && recNo <= m_recordCount && m_deleted[recNo - 1] != 0; }
    // Counts writes to records, so work done on the records since can be told apart.
    uint64_t changes() const { return m_changes; }

    // A record's bytes, valid until the next read or write. Walking forward
    // reads a few records ahead; bytes the file no longer has read as spaces.
    std::string_view record(uint32_t recNo);
    // A record read afresh from the file.
    std::string readRecord(uint32_t recNo) const;
    // Hands every record over block by block, in file order.
    void scan(const std::function<void(uint32_t first, uint32_t count, const char* records)>& visit) const;
    // Reads records afresh from the file from here on.
    void forgetCache()
    {
        m_cacheFirst = 0;
        m_cacheCount = 0;
    }

    // Rewrites the header (date, record count, index flag) and the
    // end-of-file byte after the last record.
    void writeHeader();
    bool writeHeaderNoThrow();
    // Writes the header when its record count is not the one the file's
    // size gives (a table another program left unfinished).
    void correctRecordCount();
    // Writes a new last record and counts it in the header. False when a
    // write failed: the file and its header are then as they were.
    bool append(std::string_view record);
    // Writes a record back in its place; its deletion flag is taken from it.
    bool rewrite(uint32_t recNo, std::string_view record);
    bool markDeleted(uint32_t recNo);
    // Rewrites the file without its deleted records. A failure raises the
    // write error and leaves the file as it was.
    void pack();

    // A stored column of a record as a value: null, number or UTF-8 text.
    FieldValue decode(std::string_view record, int column) const;
    // Puts a value into a record's column in the column's encoding: a text
    // read as a decimal number with the system's separator for a number
    // column, a text cut to the width in the table's code page. Raises the
    // conversion and range errors; the record is then unchanged.
    void encode(std::string& record, int column, const FieldValue& value) const;

private:
    void openChecked(const std::string& path, bool shared);
    void readDeletionFlags();
    uint64_t recordOffset(uint32_t recNo) const;

    fileio::File m_file;
    std::string m_path;
    bool m_shared = false;
    bool m_readOnly = false;
    std::string m_headerBytes; // the whole header area, descriptors and terminator
    dbf::Header m_header;
    std::vector<DbfColumn> m_columns;
    std::vector<int> m_offsets; // of each column in the record
    mutable size_t m_nextColumn = 0; // where the next search for a column by name starts
    CodePage m_codePage;
    uint32_t m_recordCount = 0;
    std::vector<uint8_t> m_deleted; // per record, index recNo - 1
    uint64_t m_changes = 0;

    // A few records read ahead for the grid and the walkers.
    std::string m_cache;
    uint32_t m_cacheFirst = 0;
    uint32_t m_cacheCount = 0;
    uint32_t m_lastRead = 0;
};

} // namespace zent5
