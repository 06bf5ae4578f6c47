#pragma once

#include "records/fieldvalue.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace zent5 {

class DbfFile;
class SortIndex;
class SortTags;

// The current row of an open table, the view it moves through (file order
// or one sort tag's order, rows marked deleted left out) and the edit
// buffer of a row being edited or appended. Posting writes the buffer to
// the file and keeps the sort tags with it. The table component checks
// that the table is open and writable before it calls in here.
class TableCursor {
public:
    enum class State { Closed, Browse, Edit, Append };

    TableCursor(DbfFile& file, SortTags& tags) : m_file(file), m_tags(tags) {}
    TableCursor(const TableCursor&) = delete;
    TableCursor& operator=(const TableCursor&) = delete;

    State state() const { return m_state; }
    // Browsing the open file in the order of `sorted` (file order for nullptr).
    void open(const SortIndex* sorted);
    // Drops an edit or append in progress and the view.
    void close();
    // Switches the view; the record `keepRecNo` stays current when it is
    // visible, otherwise the first row is.
    void show(const SortIndex* sorted, uint32_t keepRecNo);

    void first();
    void last();
    void next();
    bool eof() const { return m_eof; }
    // The view made again from what the file and the tags hold now.
    void refresh();
    int visibleCount() const { return int(m_view.size()); }
    // Record number of the current row; 0 when there is none (or appending).
    uint32_t recNo() const;
    // Makes a visible record current; any other leaves the cursor where it is.
    void goTo(uint32_t recNo);
    const std::vector<uint32_t>& viewOrder() const { return m_view; }

    void append();
    void edit();
    // Raises "Dataset not in edit or insert mode" outside editing, and
    // the file's conversion errors.
    void setField(int column, const FieldValue& value);
    // Writes the edit buffer. A failed write gives the row up: the cursor
    // is back in browse and the file holds what it held before.
    void post();
    // Posts an edit or append in progress.
    void leaveEditing();
    // Marks the current row deleted; the next visible row becomes current,
    // or the previous one after the last.
    void remove();

    // A column of the current row, or of the edit buffer while editing.
    FieldValue field(int column);

private:
    uint32_t positionOf(uint32_t recNo); // position in the view + 1, 0 when not visible
    void setCurrent(size_t viewPos);
    void clearCurrent();
    void dropEditBuffer();
    void postAppend();
    void postEdit();

    DbfFile& m_file;
    SortTags& m_tags;
    State m_state = State::Closed;
    const SortIndex* m_sorted = nullptr;
    std::vector<uint32_t> m_view;
    std::vector<uint32_t> m_viewPos; // sorted view: per record number its position in m_view + 1
    bool m_viewPosValid = false;
    size_t m_pos = 0; // into m_view; meaningful when m_hasCurrent
    bool m_hasCurrent = false;
    bool m_eof = true;
    std::string m_buffer; // the edit buffer
    uint32_t m_editRecNo = 0;
};

} // namespace zent5
