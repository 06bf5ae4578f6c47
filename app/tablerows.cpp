#include "app/tablerows.h"

#include "records/fieldname.h"
#include "session/fieldedit.h"
#include "table/dbftable.h"

#include <algorithm>

namespace zent5 {

TableRows::TableRows(DbfTable& table, std::vector<std::string> fields) : m_table(table), m_fields(std::move(fields)) {}

void TableRows::reload()
{
    m_blocks.clear();
    m_rowOfRecord.clear();
    if (m_table.Active())
        m_order = m_table.ViewOrder();
    else
        m_order.clear();
}

uint32_t TableRows::recNo(int row) const
{
    return row >= 0 && size_t(row) < m_order.size() ? m_order[size_t(row)] : 0;
}

int TableRows::rowOfKey(uint64_t recNo) const
{
    if (recNo == 0)
        return -1;
    if (m_rowOfRecord.empty()) {
        uint32_t highest = 0;
        for (uint32_t r : m_order)
            highest = std::max(highest, r);
        m_rowOfRecord.assign(size_t(highest) + 1, 0);
        for (size_t i = 0; i < m_order.size(); ++i)
            m_rowOfRecord[m_order[i]] = int(i + 1);
    }
    return recNo < m_rowOfRecord.size() ? m_rowOfRecord[size_t(recNo)] - 1 : -1;
}

int TableRows::fieldIndex(std::string_view field) const
{
    for (size_t i = 0; i < m_fields.size(); ++i)
        if (sameFieldName(m_fields[i], field))
            return int(i);
    return -1;
}

bool TableRows::editing() const
{
    return m_table.Active() && m_table.state() == DbfTable::State::Edit;
}

FieldValue TableRows::value(int row, std::string_view field) const
{
    const uint32_t record = recNo(row);
    if (record == 0 || !m_table.Active())
        return {};
    if (editing() && m_table.RecNo() == record)
        return m_table.FieldValueOf(field);
    const int column = fieldIndex(field);
    if (column < 0)
        return {};
    const Block& block = blockOf(row);
    return block.values[size_t(row - block.first) * m_fields.size() + size_t(column)];
}

FieldValue TableRows::storedValue(int row, std::string_view field) const
{
    const uint32_t record = recNo(row);
    if (record == 0 || !m_table.Active())
        return {};
    return m_table.ReadField(record, field);
}

const TableRows::Block& TableRows::blockOf(int row) const
{
    const int first = row - row % kBlockRows;
    for (auto it = m_blocks.begin(); it != m_blocks.end(); ++it) {
        if (it->first == first) {
            m_blocks.splice(m_blocks.begin(), m_blocks, it);
            return m_blocks.front();
        }
    }
    Block block;
    block.first = first;
    const int rows = std::min(kBlockRows, rowCount() - first);
    block.values.reserve(size_t(rows) * m_fields.size());
    for (int r = first; r < first + rows; ++r) {
        for (const std::string& field : m_fields) {
            block.values.push_back(m_table.ReadField(m_order[size_t(r)], field));
            ++m_valuesRead;
        }
    }
    m_blocks.push_front(std::move(block));
    if (m_blocks.size() > kBlocksKept)
        m_blocks.pop_back();
    return m_blocks.front();
}

bool TableRows::setValue(int row, std::string_view field, const FieldValue& value)
{
    if (!editField(m_table, recNo(row), field, value))
        return false;
    // The block holding this row shows the old value once the edit is
    // posted; forget it.
    const int first = row - row % kBlockRows;
    m_blocks.remove_if([first](const Block& b) { return b.first == first; });
    return true;
}

bool TableRows::follow(int row)
{
    const uint32_t record = recNo(row);
    if (record == 0 || !m_table.Active())
        return false;
    const bool wasEditing = editing();
    if (m_table.RecNo() == record)
        return false;
    m_table.GoTo(record);
    return wasEditing;
}

bool TableRows::postPending()
{
    if (!editing())
        return false;
    m_table.Post();
    return true;
}

} // namespace zent5
