#pragma once

#include "app/gridmodel.h"

#include <array>
#include <cstdint>
#include <list>
#include <string>
#include <string_view>
#include <vector>

namespace zent5 {

class DbfTable;

// The open table's rows for the grid: the record numbers of the table's
// current view, taken at each reload, and the grid's fields read from the
// file on demand, a block of rows at a time, keeping only the few blocks
// last shown. The row being edited shows the table's edit buffer.
class TableRows : public GridRowSource {
public:
    TableRows(DbfTable& table, std::vector<std::string> fields);

    int rowCount() const override { return int(m_order.size()); }
    FieldValue value(int row, std::string_view field) const override;
    void reload() override;
    // Starts editing the row in the table (leaving a row edited before
    // posts it) and puts the value into the edit buffer.
    bool setValue(int row, std::string_view field, const FieldValue& value) override;
    uint64_t rowKey(int row) const override { return recNo(row); }
    int rowOfKey(uint64_t recNo) const override;

    // A field of a row as the file holds it, read straight from the table
    // and not through the blocks kept for showing: for walks over every row
    // that need only a few fields. For the row being edited it is the value
    // before the edit.
    FieldValue storedValue(int row, std::string_view field) const;

    // Record number of a row; 0 outside the rows.
    uint32_t recNo(int row) const;
    // The row showing a record; -1 when none does.
    int rowOf(uint32_t recNo) const { return rowOfKey(recNo); }

    // Makes the row's record the table's current row. A row edited before
    // is posted on the way; true when that happened (rows may have moved).
    bool follow(int row);
    // Posts the row being edited; true when there was one.
    bool postPending();
    // Whether the table holds an edit of a row not yet posted.
    bool editing() const;

    // Values read from the file so far, for checks that the grid reads only
    // what it shows.
    uint64_t valuesRead() const { return m_valuesRead; }

private:
    static constexpr int kBlockRows = 64;
    static constexpr size_t kBlocksKept = 8;
    struct Block {
        int first = 0;
        std::vector<FieldValue> values; // rows x fields
    };
    const Block& blockOf(int row) const;
    int fieldIndex(std::string_view field) const;

    DbfTable& m_table;
    std::vector<std::string> m_fields;
    std::vector<uint32_t> m_order;
    mutable std::vector<int> m_rowOfRecord; // record number -> row + 1, built on first use
    mutable std::list<Block> m_blocks;      // most recently used first
    mutable uint64_t m_valuesRead = 0;
};

} // namespace zent5
