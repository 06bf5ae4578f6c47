#include "table/dbftable.h"

#include "records/error.h"
#include "records/measurementfields.h"
#include "records/text.h"
#include "table/languagedriver.h"

namespace zent5 {
namespace {

const char* const kClosedDataset = "Cannot perform this operation on a closed dataset";
const char* const kOpenDataset = "Cannot perform this operation on an open dataset";
const char* const kReadOnlyDataset = "Cannot modify a read-only dataset";
const char* const kExclusiveNeeded = "Exclusive access is required for this operation.";

std::vector<DbfTable::Column> measurementColumns()
{
    std::vector<DbfTable::Column> cols;
    for (const MeasurementField& f : kMeasurementFields) {
        DbfTable::Column c;
        c.name = std::string(f.name);
        c.isText = f.isText;
        c.isNumber = !f.isText;
        c.type = f.isText ? 'C' : 'N';
        c.width = f.isText ? f.width : dbf::kNumberWidth;
        c.decimals = f.isText ? 0 : dbf::kNumberDecimals;
        cols.push_back(c);
    }
    return cols;
}

} // namespace

DbfTable::DbfTable()
    : m_newLanguage(language::systemDefault(text::systemAnsiCodePage(), text::userDefaultLocale())),
      m_newColumns(measurementColumns())
{
}

DbfTable::~DbfTable()
{
    try {
        Close();
    } catch (const Error&) {
        // The header could not be completed; the records are already on disk.
    }
}

// ---- properties ----------------------------------------------------------

void DbfTable::setTableName(const std::string& name) { m_tableName = name; }

void DbfTable::setFilePath(const std::string& path)
{
    if (Active())
        throw Error(kOpenDataset);
    m_filePath = path;
    if (!m_filePath.empty() && m_filePath.back() != '/')
        m_filePath += '/';
}

std::string DbfTable::IndexFilePath() const
{
    const std::string path = Active() ? m_file.path() : TablePath();
    const size_t slash = path.rfind('/');
    const size_t dot = path.rfind('.');
    const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash);
    return (hasExtension ? path.substr(0, dot) : path) + ".mdx";
}

void DbfTable::setIndexName(const std::string& name)
{
    m_indexName = name;
    if (Active())
        showViewOfKnownIndex(RecNo());
}

const std::vector<DbfTable::Column>& DbfTable::Columns() const { return Active() ? m_file.columns() : m_newColumns; }

// ---- checks ----------------------------------------------------------------

void DbfTable::requireOpen() const
{
    if (!Active())
        throw Error(kClosedDataset);
}

void DbfTable::requireWritable() const
{
    if (ReadOnly())
        throw Error(kReadOnlyDataset);
}

int DbfTable::requireColumn(std::string_view column) const
{
    const int i = m_file.columnIndex(column);
    if (i < 0)
        throw Error("Field '" + std::string(column) + "' not found");
    return i;
}

void DbfTable::showView(uint32_t keepRecNo) { m_cursor.show(m_tags.find(m_indexName), keepRecNo); }

void DbfTable::showViewOfKnownIndex(uint32_t keepRecNo)
{
    if (!m_tags.find(m_indexName))
        m_indexName.clear();
    showView(keepRecNo);
}

// ---- open, close, create --------------------------------------------------

void DbfTable::Open()
{
    if (Active())
        return;
    try {
        openParts();
    } catch (...) {
        closeParts();
        throw;
    }
}

void DbfTable::openParts()
{
    m_file.open(TablePath(), !m_exclusive);
    m_tags.open(IndexFilePath());
    // The table opened last decides the level, language and columns of the next new one.
    m_level = ((m_file.version() & 7) == 3 && m_file.language() == 0) ? 3 : 4;
    m_newLanguage = m_file.language();
    m_newColumns.clear();
    for (const Column& c : m_file.columns()) {
        Column n = c;
        if (c.isNumber) {
            n.type = 'N';
            n.width = dbf::kNumberWidth;
            n.decimals = dbf::kNumberDecimals;
        }
        m_newColumns.push_back(n);
    }
    m_file.correctRecordCount();
    if (!m_tags.find(m_indexName))
        m_indexName.clear();
    m_cursor.open(m_tags.find(m_indexName));
}

void DbfTable::closeParts()
{
    m_cursor.close();
    m_tags.close();
    m_file.drop();
}

void DbfTable::Close()
{
    if (!Active())
        return;
    m_cursor.close();
    m_tags.close();
    m_file.close();
}

void DbfTable::CreateNew()
{
    if (Active())
        throw Error(kOpenDataset);
    DbfFile::create(TablePath(), m_newColumns, m_level == 3 ? 0 : m_newLanguage);
}

// ---- the cursor -------------------------------------------------------------

void DbfTable::First()
{
    requireOpen();
    m_cursor.first();
}

void DbfTable::Last()
{
    requireOpen();
    m_cursor.last();
}

void DbfTable::Next()
{
    requireOpen();
    m_cursor.next();
}

void DbfTable::Refresh()
{
    requireOpen();
    m_cursor.refresh();
}

int DbfTable::VisibleCount()
{
    requireOpen();
    return m_cursor.visibleCount();
}

uint32_t DbfTable::RecNo() const { return m_cursor.recNo(); }

void DbfTable::GoTo(uint32_t recNo)
{
    requireOpen();
    m_cursor.goTo(recNo);
}

FieldValue DbfTable::FieldValueOf(std::string_view column)
{
    requireOpen();
    return m_cursor.field(requireColumn(column));
}

std::string DbfTable::FieldText(std::string_view column)
{
    const FieldValue v = FieldValueOf(column);
    if (const double* d = std::get_if<double>(&v))
        return dbf::shortestText(*d, text::decimalSeparator());
    if (const std::string* s = std::get_if<std::string>(&v))
        return *s;
    return {};
}

double DbfTable::FieldNumber(std::string_view column)
{
    const FieldValue v = FieldValueOf(column);
    if (const double* d = std::get_if<double>(&v))
        return *d;
    if (const std::string* s = std::get_if<std::string>(&v))
        return dbf::parseDecimal(*s, text::decimalSeparator()).value_or(0.0);
    return 0;
}

FieldValue DbfTable::ReadField(uint32_t recNo, std::string_view column)
{
    requireOpen();
    const int i = requireColumn(column);
    if (recNo < 1 || recNo > m_file.recordCount())
        return {};
    return m_file.decode(m_file.record(recNo), i);
}

void DbfTable::Append()
{
    requireOpen();
    requireWritable();
    m_cursor.append();
}

void DbfTable::Edit()
{
    requireOpen();
    requireWritable();
    m_cursor.edit();
}

void DbfTable::SetFieldValue(std::string_view column, const FieldValue& value)
{
    requireOpen();
    m_cursor.setField(requireColumn(column), value);
}

void DbfTable::Post()
{
    requireOpen();
    m_cursor.post();
}

void DbfTable::Delete()
{
    requireOpen();
    requireWritable();
    m_cursor.remove();
}

// ---- sort tags --------------------------------------------------------------

void DbfTable::AddIndex(const std::string& name, const std::string& column, bool descending)
{
    requireOpen();
    if (m_file.shared())
        throw Error(kExclusiveNeeded);
    m_cursor.leaveEditing();
    try {
        m_tags.add(IndexFilePath(), name, column, descending);
    } catch (...) {
        showView(RecNo());
        throw;
    }
    showView(RecNo());
}

void DbfTable::DeleteIndex(const std::string& name)
{
    requireOpen();
    if (!m_tags.erase(name))
        return;
    showViewOfKnownIndex(RecNo());
    m_tags.store(IndexFilePath());
}

void DbfTable::CloseIndex(const std::string&)
{
    // Only separate index files are closed here, and this table keeps its
    // sort tags in its own .mdx file.
    requireOpen();
}

void DbfTable::RebuildIndexes()
{
    requireOpen();
    m_cursor.leaveEditing();
    m_tags.rebuildStale();
    showView(RecNo());
}

// ---- pack -------------------------------------------------------------------

void DbfTable::Pack()
{
    requireOpen();
    if (m_file.shared())
        throw Error(kExclusiveNeeded);
    m_cursor.leaveEditing();
    requireWritable();
    m_file.pack();
    m_tags.refill();
    showViewOfKnownIndex(0);
}

} // namespace zent5
