#include "table/tablecursor.h"

#include "records/error.h"
#include "table/dbffile.h"
#include "table/fileerrors.h"
#include "table/sorttags.h"

#include <algorithm>

namespace zent5 {
namespace {

const char* const kNotEditing = "Dataset not in edit or insert mode";
const char* const kEmptyDataset = "Cannot perform this operation on an empty dataset";

} // namespace

void TableCursor::open(const SortIndex* sorted)
{
    m_state = State::Browse;
    m_buffer.clear();
    m_editRecNo = 0;
    show(sorted, 0);
}

void TableCursor::close()
{
    m_state = State::Closed;
    m_sorted = nullptr;
    m_view.clear();
    m_viewPos.clear();
    m_viewPosValid = false;
    m_buffer.clear();
    m_editRecNo = 0;
    clearCurrent();
}

void TableCursor::show(const SortIndex* sorted, uint32_t keepRecNo)
{
    m_sorted = sorted;
    m_view.clear();
    if (sorted) {
        m_view.reserve(sorted->entries().size());
        for (const SortIndex::Entry& e : sorted->entries())
            if (!m_file.isDeleted(e.recNo))
                m_view.push_back(e.recNo);
    } else {
        const uint32_t count = m_file.recordCount();
        m_view.reserve(count);
        for (uint32_t r = 1; r <= count; ++r)
            if (!m_file.isDeleted(r))
                m_view.push_back(r);
    }
    m_viewPosValid = false;

    const uint32_t at = positionOf(keepRecNo);
    if (at != 0) {
        m_pos = at - 1;
        m_hasCurrent = true;
    } else if (!m_view.empty()) {
        setCurrent(0);
    } else {
        clearCurrent();
    }
}

uint32_t TableCursor::positionOf(uint32_t recNo)
{
    if (recNo < 1 || recNo > m_file.recordCount())
        return 0;
    if (!m_sorted) {
        // File order lists record numbers ascending.
        const auto it = std::lower_bound(m_view.begin(), m_view.end(), recNo);
        return it != m_view.end() && *it == recNo ? uint32_t(it - m_view.begin() + 1) : 0;
    }
    if (!m_viewPosValid) {
        m_viewPos.assign(size_t(m_file.recordCount()) + 1, 0);
        for (size_t i = 0; i < m_view.size(); ++i)
            m_viewPos[m_view[i]] = uint32_t(i + 1);
        m_viewPosValid = true;
    }
    return m_viewPos[recNo];
}

void TableCursor::setCurrent(size_t viewPos)
{
    m_pos = viewPos;
    m_hasCurrent = true;
    m_eof = false;
}

void TableCursor::clearCurrent()
{
    m_pos = 0;
    m_hasCurrent = false;
    m_eof = true;
}

// ---- moving ---------------------------------------------------------------

void TableCursor::first()
{
    leaveEditing();
    if (m_view.empty())
        clearCurrent();
    else
        setCurrent(0);
}

void TableCursor::last()
{
    leaveEditing();
    if (m_view.empty())
        clearCurrent();
    else
        setCurrent(m_view.size() - 1);
}

void TableCursor::next()
{
    leaveEditing();
    if (m_hasCurrent && m_pos + 1 < m_view.size())
        setCurrent(m_pos + 1);
    else
        m_eof = true;
}

void TableCursor::refresh()
{
    leaveEditing();
    m_file.forgetCache();
    const bool eof = m_eof;
    show(m_sorted, recNo());
    if (m_hasCurrent)
        m_eof = eof;
}

uint32_t TableCursor::recNo() const
{
    if (m_state == State::Append)
        return 0;
    return m_hasCurrent && m_pos < m_view.size() ? m_view[m_pos] : 0;
}

void TableCursor::goTo(uint32_t recNo)
{
    leaveEditing();
    if (const uint32_t at = positionOf(recNo))
        setCurrent(at - 1);
}

FieldValue TableCursor::field(int column)
{
    if (m_state == State::Edit || m_state == State::Append)
        return m_file.decode(m_buffer, column);
    if (!m_hasCurrent)
        return {};
    return m_file.decode(m_file.record(m_view[m_pos]), column);
}

// ---- changing -------------------------------------------------------------

void TableCursor::leaveEditing()
{
    if (m_state == State::Edit || m_state == State::Append)
        post();
}

void TableCursor::dropEditBuffer()
{
    m_buffer.clear();
    m_editRecNo = 0;
    m_state = State::Browse;
}

void TableCursor::append()
{
    leaveEditing();
    m_buffer.assign(m_file.recordLength(), ' ');
    m_state = State::Append;
}

void TableCursor::edit()
{
    if (m_state != State::Browse)
        return;
    if (!m_hasCurrent)
        throw Error(kEmptyDataset);
    m_editRecNo = m_view[m_pos];
    m_buffer = m_file.readRecord(m_editRecNo);
    m_state = State::Edit;
}

void TableCursor::setField(int column, const FieldValue& value)
{
    if (m_state != State::Edit && m_state != State::Append)
        throw Error(kNotEditing);
    m_file.encode(m_buffer, column, value);
}

void TableCursor::post()
{
    if (m_state == State::Append)
        postAppend();
    else if (m_state == State::Edit)
        postEdit();
    else
        throw Error(kNotEditing);
}

void TableCursor::postAppend()
{
    const uint32_t recNo = m_file.recordCount() + 1;
    m_tags.insertRow(recNo, m_buffer);
    if (!m_file.append(m_buffer)) {
        m_tags.removeRow(recNo);
        // The row is given up: kept, it would be posted again by the next
        // move and fail again, or be written later with nobody told.
        dropEditBuffer();
        throw Error(fileerrors::kWriteFailed);
    }
    m_buffer.clear();
    m_state = State::Browse;
    if (m_sorted) {
        show(m_sorted, recNo);
    } else {
        m_viewPosValid = false;
        if (!m_file.isDeleted(recNo)) {
            m_view.push_back(recNo);
            setCurrent(m_view.size() - 1);
        }
    }
}

void TableCursor::postEdit()
{
    const uint32_t recNo = m_editRecNo;
    std::vector<SortTags::Move> moves;
    const bool moved = m_tags.moveRow(recNo, m_buffer, moves);
    const bool wasDeleted = m_file.isDeleted(recNo);
    if (!m_file.rewrite(recNo, m_buffer)) {
        m_tags.undoMoves(recNo, moves);
        // The record may be half written: from here the rows are read from
        // the file, and the edit is given up like a failed append.
        dropEditBuffer();
        throw Error(fileerrors::kWriteFailed);
    }
    m_buffer.clear();
    m_state = State::Browse;
    // A row whose key did not change keeps its place in the view, so walking
    // a sorted table and rewriting every row stays linear.
    if (moved || wasDeleted != m_file.isDeleted(recNo))
        show(m_sorted, recNo);
}

void TableCursor::remove()
{
    if (m_state == State::Append) {
        // A row never posted is simply dropped.
        m_buffer.clear();
        m_state = State::Browse;
        return;
    }
    m_buffer.clear();
    m_state = State::Browse;
    if (!m_hasCurrent)
        throw Error(kEmptyDataset);
    const uint32_t recNo = m_view[m_pos];
    if (!m_file.markDeleted(recNo))
        throw Error(fileerrors::kWriteFailed);
    const size_t pos = m_pos;
    m_view.erase(m_view.begin() + std::ptrdiff_t(pos));
    m_viewPosValid = false;
    if (m_view.empty())
        clearCurrent();
    else
        setCurrent(std::min(pos, m_view.size() - 1));
}

} // namespace zent5
