#include "table/dbftable.h"

#include "records/error.h"
#include "records/codepagesortkeys.h"
#include "records/measurementfields.h"
#include "records/text.h"
#include "table/fileerrors.h"
#include "table/languagedriver.h"
#include "table/le.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <thread>

namespace zent5 {
namespace {

using fileerrors::cannotCreate;
using fileerrors::cannotOpen;
using fileerrors::kWriteFailed;

const char* const kClosedDataset = "Cannot perform this operation on a closed dataset";
const char* const kOpenDataset = "Cannot perform this operation on an open dataset";
const char* const kNotEditing = "Dataset not in edit or insert mode";
const char* const kReadOnlyDataset = "Cannot modify a read-only dataset";
const char* const kEmptyDataset = "Cannot perform this operation on an empty dataset";
const char* const kInvalidFile = "Invalid DBF file.";
const char* const kExclusiveNeeded = "Exclusive access is required for this operation.";

// The widest key a sort index takes, in bytes.
constexpr int kMaxKeyLength = 100;
// Sort tags a table keeps at once. The program makes one; each tag holds a
// key per record, so an index file naming many would multiply the memory
// an open takes.
constexpr size_t kMaxTags = 4;
// Records read at once for the walkers and the grid.
constexpr uint32_t kCacheBlock = 32;
// Bytes read at once when scanning every record.
constexpr size_t kScanBytes = 1 << 20;

// Our index file: "ZENT5MDX", a format byte, the tag count, then per tag the
// name and the column (each a length byte and the bytes) and a flags byte
// (bit 0: descending). The sort itself is rebuilt from the table on open.
constexpr std::string_view kIndexMagic = "ZENT5MDX";
constexpr uint8_t kIndexFormat = 1;

std::string upper(std::string_view s)
{
    std::string out(s);
    for (char& c : out)
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
    return out;
}

bool sameName(std::string_view a, std::string_view b) { return upper(a) == upper(b); }

// Number keys compare after rounding to 15 significant digits, so values
// that differ only by binary noise sort as equal.
double roundTo15Digits(double v)
{
    if (v == 0 || !std::isfinite(v))
        return v == 0 ? 0.0 : v;
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::scientific, 14);
    double out = v;
    std::from_chars(buf, r.ptr, out, std::chars_format::scientific);
    return out;
}

// The sort key of a stored number. The usual fixed-point text is read
// exactly as a decimal and rounded there; anything else goes the long way.
double numberKey(std::string_view stored)
{
    size_t b = 0, e = stored.size();
    while (b < e && stored[b] == ' ')
        ++b;
    while (e > b && stored[e - 1] == ' ')
        --e;
    if (b == e)
        return 0;
    const bool negative = stored[b] == '-';
    size_t i = b + (negative ? 1 : 0);
    uint64_t mantissa = 0;
    int digits = 0;       // significant digits taken
    int scale = 0;        // decimals of the mantissa
    int dropped = 0;      // digits before the point beyond the 15th
    bool point = false, any = false, roundUp = false, rest = false;
    for (; i < e; ++i) {
        const char c = stored[i];
        if (c == '.' && !point) {
            point = true;
            continue;
        }
        if (c < '0' || c > '9')
            return roundTo15Digits(dbf::decodeNumber(stored).value_or(0.0));
        any = true;
        if (digits == 0 && c == '0') {
            if (point)
                ++scale;
            continue;
        }
        if (digits < 15) {
            mantissa = mantissa * 10 + uint64_t(c - '0');
            ++digits;
            if (point)
                ++scale;
        } else {
            if (digits == 15 && !rest)
                roundUp = c >= '5';
            rest = true;
            if (!point)
                ++dropped;
        }
    }
    if (!any || scale > 22 || dropped > 22)
        return roundTo15Digits(dbf::decodeNumber(stored).value_or(0.0));
    if (roundUp)
        ++mantissa; // halves away from zero, on the magnitude
    double v = double(mantissa);
    v = dropped > 0 ? v * dbf::kExactPowersOfTen[dropped] : v / dbf::kExactPowersOfTen[scale];
    return negative ? -v : v;
}

// The distinct texts of a column, found by an open-addressing table of text
// numbers (one allocation for the table instead of one per text).
class DistinctTexts {
public:
    explicit DistinctTexts(size_t most)
    {
        size_t size = 16;
        while (size < most * 2)
            size *= 2;
        m_slots.assign(size, 0);
    }
    // The slot of `text`: its number + 1, or 0 for the caller to fill.
    uint32_t& slotOf(std::string_view text, const std::vector<std::string_view>& texts)
    {
        const size_t mask = m_slots.size() - 1;
        for (size_t i = std::hash<std::string_view>{}(text) & mask;; i = (i + 1) & mask) {
            uint32_t& slot = m_slots[i];
            if (slot == 0 || texts[slot - 1] == text)
                return slot;
        }
    }

private:
    std::vector<uint32_t> m_slots;
};

// Whether a column can be a sort key: it has bytes, and a text key is not
// longer than an index takes.
bool keyUsable(const DbfTable::Column& c)
{
    return c.width > 0 && (c.isNumber || c.width <= kMaxKeyLength);
}

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

std::string rangeError(double value, const DbfTable::Column& c)
{
    const int intDigits = std::max(1, c.width - (c.decimals > 0 ? c.decimals + 1 : 0));
    const std::string fraction = c.decimals > 0 ? "." + std::string(size_t(c.decimals), '9') : std::string();
    const std::string max = std::string(size_t(intDigits), '9') + fraction;
    const std::string min = intDigits > 1 ? "-" + std::string(size_t(intDigits - 1), '9') + fraction : "0";
    return dbf::shortestText(value, '.') + " is not a valid value for field '" + c.name + "'. The allowed range is " +
           min + " to " + max;
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
    const std::string path = Active() ? m_openPath : TablePath();
    const size_t slash = path.rfind('/');
    const size_t dot = path.rfind('.');
    const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash);
    return (hasExtension ? path.substr(0, dot) : path) + ".mdx";
}

void DbfTable::setIndexName(const std::string& name)
{
    m_indexName = name;
    if (!Active())
        return;
    if (!activeTag())
        m_indexName.clear();
    rebuildView(RecNo());
}

const std::vector<DbfTable::Column>& DbfTable::Columns() const { return Active() ? m_columns : m_newColumns; }

// ---- checks ----------------------------------------------------------------

void DbfTable::requireOpen() const
{
    if (!Active())
        throw Error(kClosedDataset);
}

void DbfTable::requireWritable() const
{
    if (m_readOnly)
        throw Error(kReadOnlyDataset);
}

int DbfTable::columnIndex(std::string_view column) const
{
    auto matches = [&](const std::string& name) {
        if (name.size() != column.size())
            return false;
        for (size_t k = 0; k < name.size(); ++k)
            if (name[k] != (column[k] >= 'a' && column[k] <= 'z' ? char(column[k] - 32) : column[k]))
                return false;
        return true;
    };
    // Rows are mostly filled and read column after column, so the search
    // starts after the column found last.
    const size_t start = std::min(m_nextColumn, m_columns.size());
    for (size_t i = start, wrapped = 0; wrapped < m_columns.size(); ++i, ++wrapped) {
        if (i == m_columns.size())
            i = 0;
        if (matches(m_columns[i].name)) {
            m_nextColumn = i + 1;
            return int(i);
        }
    }
    return -1;
}

int DbfTable::requireColumn(std::string_view column) const
{
    const int i = columnIndex(column);
    if (i < 0)
        throw Error("Field '" + std::string(column) + "' not found");
    return i;
}

DbfTable::Tag* DbfTable::activeTag()
{
    if (m_indexName.empty())
        return nullptr;
    for (auto& t : m_tags)
        if (sameName(t->name, m_indexName))
            return t.get();
    return nullptr;
}

// ---- open, close, create --------------------------------------------------

void DbfTable::resetOpenState()
{
    m_file.close();
    m_indexFile.close();
    m_state = State::Closed;
    m_readOnly = false;
    m_openedShared = false;
    m_eof = true;
    m_headerBytes.clear();
    m_header = {};
    m_columns.clear();
    m_offsets.clear();
    m_recordCount = 0;
    m_deleted.clear();
    m_tags.clear();
    m_view.clear();
    m_viewPos.clear();
    m_viewPosValid = false;
    m_hasCurrent = false;
    m_pos = 0;
    m_buffer.clear();
    m_editRecNo = 0;
    m_openPath.clear();
    invalidateCache();
}

void DbfTable::Open()
{
    if (Active())
        return;
    try {
        openFile();
    } catch (...) {
        resetOpenState();
        throw;
    }
}

void DbfTable::openFile()
{
    const std::string path = TablePath();
    if (!fileio::exists(path))
        throw Error("Open: file not found: \"" + path + "\".");
    int error = 0;
    m_openedShared = !m_exclusive;
    const bool opened = m_openedShared
                            ? m_file.open(path, fileio::OpenMode::ReadOnly, error) && m_file.lockShared(error)
                            : m_file.open(path, fileio::OpenMode::Existing, error) && m_file.lockExclusive(error);
    if (!opened)
        throw Error(cannotOpen(path, error));
    m_openPath = path;

    const int64_t size = m_file.size();
    uint8_t first[dbf::kHeaderSize];
    if (size < int64_t(dbf::kHeaderSize) || m_file.readAt(0, first, sizeof first) != int64_t(sizeof first))
        throw Error(kInvalidFile);
    m_header = dbf::readHeader(first);
    if (!dbf::versionAccepted(m_header.version))
        throw Error(kInvalidFile);
    // A zero length would make every record overlap the header.
    if (m_header.headerLength == 0 || m_header.recordLength == 0)
        throw Error(kInvalidFile);
    if (m_header.headerLength < dbf::kHeaderSize || int64_t(m_header.headerLength) > size)
        throw Error(kInvalidFile);

    m_headerBytes.assign(m_header.headerLength, '\0');
    if (m_file.readAt(0, m_headerBytes.data(), m_headerBytes.size()) != int64_t(m_headerBytes.size()))
        throw Error(kInvalidFile);
    const std::vector<dbf::Field> fields = dbf::readDescriptors(m_headerBytes, m_header.headerLength);

    int offset = 1;
    for (const dbf::Field& f : fields) {
        Column c;
        c.name = f.name;
        c.type = f.type;
        c.width = f.width;
        c.decimals = f.decimals;
        c.isNumber = dbf::isNumberType(f.type);
        c.isText = f.type == 'C';
        // A column reaching past the record would make us read the next one.
        if (offset + f.width > m_header.recordLength)
            throw Error(kInvalidFile);
        m_columns.push_back(c);
        m_offsets.push_back(offset);
        offset += f.width;
    }

    for (const MeasurementField& want : kMeasurementFields) {
        const int i = columnIndex(want.name);
        if (i < 0)
            throw Error("Field '" + std::string(want.name) + "' not found");
        const dbf::Field& f = fields[size_t(i)];
        const bool ok = want.isText ? f.type == 'C' : (dbf::isNumberType(f.type) && f.decimals > 0);
        if (!ok)
            throw Error("Type mismatch for field '" + std::string(want.name) + "', expecting: " +
                        (want.isText ? "String" : "Float") + " actual: " + dbf::typeName(f));
        // A column of width 0 would let records shrink to the deletion
        // flag, and every byte of a large file become a row.
        if (!dbf::widthHoldsType(f))
            throw Error(kInvalidFile);
    }

    const uint64_t count = uint64_t(size - m_header.headerLength) / m_header.recordLength;
    if (count >= 0xFFFFFFFFu)
        throw Error(kInvalidFile);
    m_recordCount = uint32_t(count);
    readDeletionFlags();

    m_codePage = CodePage(language::tableCodePage(m_header.language, text::systemAnsiCodePage()));
    m_readOnly = !m_codePage.installed() || m_openedShared;

    if (m_header.indexFlag != 0 && !m_openedShared) {
        if (fileio::exists(IndexFilePath())) {
            if (!m_indexFile.open(IndexFilePath(), fileio::OpenMode::Existing, error) || !m_indexFile.lockExclusive(error))
                throw Error(cannotOpen(IndexFilePath(), error));
            readIndexFile();
        } else {
            // Written with the next header write.
            m_header.indexFlag = 0;
        }
    }

    m_state = State::Browse;
    // The table opened last decides the level, language and columns of the next new one.
    m_level = ((m_header.version & 7) == 3 && m_header.language == 0) ? 3 : 4;
    m_newLanguage = m_header.language;
    m_newColumns.clear();
    for (const Column& c : m_columns) {
        Column n = c;
        if (c.isNumber) {
            n.type = 'N';
            n.width = dbf::kNumberWidth;
            n.decimals = dbf::kNumberDecimals;
        }
        m_newColumns.push_back(n);
    }
    if (m_header.recordCount != m_recordCount && !m_openedShared) {
        m_header.recordCount = m_recordCount;
        writeHeader();
    }
    for (auto& t : m_tags)
        fillTag(*t);
    if (!activeTag())
        m_indexName.clear();
    rebuildView(0);
}

void DbfTable::scanRecords(const std::function<void(uint32_t first, uint32_t count, const char* records)>& visit) const
{
    const size_t length = m_header.recordLength;
    const uint32_t perChunk = uint32_t(std::max<size_t>(1, kScanBytes / length));
    std::unique_ptr<char[]> chunk(new char[size_t(std::min(perChunk, m_recordCount)) * length]);
    for (uint32_t first = 0; first < m_recordCount; first += perChunk) {
        const uint32_t n = std::min(perChunk, m_recordCount - first);
        const size_t bytes = size_t(n) * length;
        const int64_t got = m_file.readAt(recordOffset(first + 1), chunk.get(), bytes);
        // What cannot be read counts as blank records.
        std::fill(chunk.get() + std::clamp<int64_t>(got, 0, int64_t(bytes)), chunk.get() + bytes, ' ');
        visit(first, n, chunk.get());
    }
}

void DbfTable::readDeletionFlags()
{
    m_deleted.assign(m_recordCount, 0);
    const size_t length = m_header.recordLength;
    scanRecords([&](uint32_t first, uint32_t n, const char* records) {
        for (uint32_t i = 0; i < n; ++i)
            m_deleted[first + i] = records[size_t(i) * length] == dbf::kDeleted;
    });
}

void DbfTable::Close()
{
    if (!Active())
        return;
    m_buffer.clear();
    m_state = State::Browse;
    if (m_openedShared) {
        resetOpenState();
        return;
    }
    bool ok = writeHeaderNoThrow();
    // After Close the file is exact: nothing follows the end-of-file byte.
    if (ok)
        ok = m_file.truncate(recordOffset(m_recordCount + 1) + 1);
    resetOpenState();
    if (!ok)
        throw Error(kWriteFailed);
}

void DbfTable::CreateNew()
{
    if (Active())
        throw Error(kOpenDataset);
    const std::string path = TablePath();
    std::vector<dbf::Field> fields;
    for (const Column& c : m_newColumns)
        fields.push_back(dbf::Field{c.name, c.type, c.width, c.decimals});
    const uint8_t language = m_level == 3 ? 0 : m_newLanguage;
    std::string bytes = dbf::buildHeaderArea(fields, 0x03, language, dbf::today());
    bytes += char(dbf::kEndOfFile);

    const bool existed = fileio::exists(path);
    fileio::File file;
    int error = 0;
    // Lock before truncating, so a table another program has open is never emptied.
    if (!file.open(path, existed ? fileio::OpenMode::Existing : fileio::OpenMode::CreateExclusive, error))
        throw Error(cannotCreate(path, error));
    if (!file.lockExclusive(error)) {
        file.close();
        if (!existed)
            fileio::removeFile(path);
        throw Error(cannotOpen(path, error));
    }
    if (!file.truncate(0) || !file.writeAt(0, bytes.data(), bytes.size())) {
        file.close();
        fileio::removeFile(path);
        throw Error(kWriteFailed);
    }
}

// ---- header and records ---------------------------------------------------

uint64_t DbfTable::recordOffset(uint32_t recNo) const
{
    return m_header.headerLength + uint64_t(recNo - 1) * m_header.recordLength;
}

bool DbfTable::writeHeaderNoThrow()
{
    dbf::patchHeader(m_headerBytes, dbf::today(), m_header.recordCount = m_recordCount, m_header.indexFlag);
    const char eof = char(dbf::kEndOfFile);
    return m_file.writeAt(0, m_headerBytes.data(), dbf::kHeaderSize) &&
           m_file.writeAt(recordOffset(m_recordCount + 1), &eof, 1);
}

void DbfTable::writeHeader()
{
    if (!writeHeaderNoThrow())
        throw Error(kWriteFailed);
}

std::string_view DbfTable::recordBytes(uint32_t recNo)
{
    const size_t length = m_header.recordLength;
    if (recNo < m_cacheFirst || recNo >= m_cacheFirst + m_cacheCount) {
        // Walking forward reads ahead; jumping about (a sorted view) reads one record.
        const bool walking = recNo == m_lastRead + 1;
        m_cacheFirst = recNo;
        m_cacheCount = walking ? std::min(kCacheBlock, m_recordCount - recNo + 1) : 1;
        // Bytes the file no longer has read as spaces.
        m_cache.assign(size_t(m_cacheCount) * length, ' ');
        m_file.readAt(recordOffset(m_cacheFirst), m_cache.data(), m_cache.size());
    }
    m_lastRead = recNo;
    return std::string_view(m_cache).substr(size_t(recNo - m_cacheFirst) * length, length);
}

bool DbfTable::IsDeleted(uint32_t recNo) const
{
    return recNo >= 1 && recNo <= m_recordCount && m_deleted[recNo - 1] != 0;
}

FieldValue DbfTable::decodeField(std::string_view record, int column) const
{
    const Column& c = m_columns[size_t(column)];
    const std::string_view stored = record.substr(size_t(m_offsets[size_t(column)]), size_t(c.width));
    if (c.isNumber) {
        const std::optional<double> v = dbf::decodeNumber(stored);
        return v ? FieldValue(*v) : FieldValue();
    }
    const std::optional<std::string_view> t = dbf::decodeText(stored);
    return t ? FieldValue(m_codePage.decode(*t)) : FieldValue();
}

// ---- navigation -----------------------------------------------------------

void DbfTable::rebuildView(uint32_t keepRecNo)
{
    m_view.clear();
    if (Tag* t = activeTag()) {
        m_view.reserve(t->index.entries().size());
        for (const SortIndex::Entry& e : t->index.entries())
            if (!IsDeleted(e.recNo))
                m_view.push_back(e.recNo);
    } else {
        m_view.reserve(m_recordCount);
        for (uint32_t r = 1; r <= m_recordCount; ++r)
            if (!m_deleted[r - 1])
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

uint32_t DbfTable::positionOf(uint32_t recNo)
{
    if (recNo < 1 || recNo > m_recordCount)
        return 0;
    if (!activeTag()) {
        // File order lists record numbers ascending.
        const auto it = std::lower_bound(m_view.begin(), m_view.end(), recNo);
        return it != m_view.end() && *it == recNo ? uint32_t(it - m_view.begin() + 1) : 0;
    }
    if (!m_viewPosValid) {
        m_viewPos.assign(size_t(m_recordCount) + 1, 0);
        for (size_t i = 0; i < m_view.size(); ++i)
            m_viewPos[m_view[i]] = uint32_t(i + 1);
        m_viewPosValid = true;
    }
    return m_viewPos[recNo];
}

void DbfTable::setCurrent(size_t viewPos)
{
    m_pos = viewPos;
    m_hasCurrent = true;
    m_eof = false;
}

void DbfTable::clearCurrent()
{
    m_pos = 0;
    m_hasCurrent = false;
    m_eof = true;
}

void DbfTable::dropEditBuffer()
{
    m_buffer.clear();
    m_editRecNo = 0;
    m_state = State::Browse;
}

void DbfTable::leaveEditing()
{
    if (m_state == State::Edit || m_state == State::Append)
        Post();
}

void DbfTable::First()
{
    requireOpen();
    leaveEditing();
    if (m_view.empty())
        clearCurrent();
    else
        setCurrent(0);
}

void DbfTable::Last()
{
    requireOpen();
    leaveEditing();
    if (m_view.empty())
        clearCurrent();
    else
        setCurrent(m_view.size() - 1);
}

void DbfTable::Next()
{
    requireOpen();
    leaveEditing();
    if (m_hasCurrent && m_pos + 1 < m_view.size())
        setCurrent(m_pos + 1);
    else
        m_eof = true;
}

void DbfTable::Refresh()
{
    requireOpen();
    leaveEditing();
    invalidateCache();
    const bool eof = m_eof;
    rebuildView(RecNo());
    if (m_hasCurrent)
        m_eof = eof;
}

int DbfTable::VisibleCount()
{
    requireOpen();
    return int(m_view.size());
}

uint32_t DbfTable::RecNo() const
{
    if (m_state == State::Append)
        return 0;
    return m_hasCurrent && m_pos < m_view.size() ? m_view[m_pos] : 0;
}

void DbfTable::GoTo(uint32_t recNo)
{
    requireOpen();
    leaveEditing();
    if (const uint32_t at = positionOf(recNo))
        setCurrent(at - 1);
}

// ---- reading --------------------------------------------------------------

FieldValue DbfTable::FieldValueOf(std::string_view column)
{
    requireOpen();
    const int i = requireColumn(column);
    if (m_state == State::Edit || m_state == State::Append)
        return decodeField(m_buffer, i);
    if (!m_hasCurrent)
        return {};
    return decodeField(recordBytes(m_view[m_pos]), i);
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
    if (recNo < 1 || recNo > m_recordCount)
        return {};
    return decodeField(recordBytes(recNo), i);
}

// ---- changing -------------------------------------------------------------

void DbfTable::Append()
{
    requireOpen();
    requireWritable();
    leaveEditing();
    m_buffer.assign(m_header.recordLength, ' ');
    m_state = State::Append;
}

void DbfTable::Edit()
{
    requireOpen();
    requireWritable();
    if (m_state != State::Browse)
        return;
    if (!m_hasCurrent)
        throw Error(kEmptyDataset);
    const uint32_t recNo = m_view[m_pos];
    std::string record(m_header.recordLength, ' ');
    m_file.readAt(recordOffset(recNo), record.data(), record.size());
    m_buffer = std::move(record);
    m_editRecNo = recNo;
    m_state = State::Edit;
}

void DbfTable::SetFieldValue(std::string_view column, const FieldValue& value)
{
    requireOpen();
    const int i = requireColumn(column);
    if (m_state != State::Edit && m_state != State::Append)
        throw Error(kNotEditing);
    const Column& c = m_columns[size_t(i)];
    char* stored = m_buffer.data() + m_offsets[size_t(i)];
    if (c.isNumber) {
        std::optional<double> number;
        if (const double* d = std::get_if<double>(&value)) {
            number = *d;
        } else if (const std::string* s = std::get_if<std::string>(&value)) {
            if (s->find_first_not_of(' ') != std::string::npos) {
                number = dbf::parseDecimal(*s, text::decimalSeparator());
                if (!number)
                    throw Error("Could not convert variant of type (String) into type (Double)");
            }
        }
        if (!number)
            std::fill_n(stored, size_t(c.width), ' ');
        else if (!dbf::encodeNumberInto(*number, c.width, c.decimals, stored))
            throw Error(rangeError(*number, c));
    } else {
        if (const std::string* s = std::get_if<std::string>(&value))
            std::fill(stored + m_codePage.encodeInto(*s, stored, size_t(c.width)), stored + c.width, ' ');
        else if (const double* d = std::get_if<double>(&value))
            dbf::encodeTextInto(dbf::shortestText(*d, text::decimalSeparator()), c.width, stored);
        else
            dbf::encodeTextInto({}, c.width, stored);
    }
}

void DbfTable::Post()
{
    requireOpen();
    if (m_state == State::Append)
        postAppend();
    else if (m_state == State::Edit)
        postEdit();
    else
        throw Error(kNotEditing);
}

void DbfTable::postAppend()
{
    const uint32_t recNo = m_recordCount + 1;
    for (auto& t : m_tags)
        t->index.insert(recNo, keyOf(*t, m_buffer));

    std::string bytes = m_buffer;
    bytes += char(dbf::kEndOfFile);
    const uint64_t at = recordOffset(recNo);
    bool ok = m_file.writeAt(at, bytes.data(), bytes.size());
    if (ok) {
        dbf::patchHeader(m_headerBytes, dbf::today(), recNo, m_header.indexFlag);
        ok = m_file.writeAt(0, m_headerBytes.data(), dbf::kHeaderSize);
    }
    if (!ok) {
        // Put the file and the header back as they were before this row.
        for (auto& t : m_tags) {
            SortIndex::Entry e;
            size_t pos;
            t->index.take(recNo, e, pos);
        }
        m_file.truncate(at);
        writeHeaderNoThrow();
        invalidateCache();
        // The row is given up: kept, it would be posted again by the next
        // move and fail again, or be written later with nobody told.
        dropEditBuffer();
        throw Error(kWriteFailed);
    }
    m_recordCount = recNo;
    m_header.recordCount = recNo;
    ++m_changes;
    m_deleted.push_back(m_buffer[0] == dbf::kDeleted);
    m_buffer.clear();
    m_state = State::Browse;
    invalidateCache();
    if (activeTag()) {
        rebuildView(recNo);
    } else {
        m_viewPosValid = false;
        if (!m_deleted.back()) {
            m_view.push_back(recNo);
            setCurrent(m_view.size() - 1);
        }
    }
}

void DbfTable::postEdit()
{
    const uint32_t recNo = m_editRecNo;
    struct Undo {
        Tag* tag;
        bool had;
        size_t oldPos;
        SortIndex::Entry old;
    };
    std::vector<Undo> undo;
    for (auto& t : m_tags) {
        SortKey key = keyOf(*t, m_buffer);
        const SortKey* old = t->index.keyOf(recNo);
        if (old && t->index.sameKey(*old, key))
            continue;
        Undo u{t.get(), false, 0, {}};
        u.had = t->index.take(recNo, u.old, u.oldPos);
        t->index.insert(recNo, std::move(key));
        undo.push_back(std::move(u));
    }
    if (!m_file.writeAt(recordOffset(recNo), m_buffer.data(), m_buffer.size())) {
        for (auto it = undo.rbegin(); it != undo.rend(); ++it) {
            SortIndex::Entry dropped;
            size_t pos;
            it->tag->index.take(recNo, dropped, pos);
            if (it->had)
                it->tag->index.putBack(it->oldPos, std::move(it->old));
        }
        // The record may be half written: from here the rows are read from
        // the file, and the edit is given up like a failed append.
        invalidateCache();
        dropEditBuffer();
        throw Error(kWriteFailed);
    }
    ++m_changes;
    const bool wasDeleted = m_deleted[recNo - 1] != 0;
    m_deleted[recNo - 1] = m_buffer[0] == dbf::kDeleted;
    m_buffer.clear();
    m_state = State::Browse;
    invalidateCache();
    // A row whose key did not change keeps its place in the view, so walking
    // a sorted table and rewriting every row stays linear.
    if (!undo.empty() || wasDeleted != (m_deleted[recNo - 1] != 0))
        rebuildView(recNo);
}

void DbfTable::Delete()
{
    requireOpen();
    requireWritable();
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
    const char flag = dbf::kDeleted;
    if (!m_file.writeAt(recordOffset(recNo), &flag, 1))
        throw Error(kWriteFailed);
    m_deleted[recNo - 1] = 1;
    ++m_changes;
    invalidateCache();
    const size_t pos = m_pos;
    m_view.erase(m_view.begin() + std::ptrdiff_t(pos));
    m_viewPosValid = false;
    if (m_view.empty())
        clearCurrent();
    else
        setCurrent(std::min(pos, m_view.size() - 1));
}

// ---- sort index -----------------------------------------------------------

SortKey DbfTable::keyOf(const Tag& tag, std::string_view record) const
{
    SortKey key;
    const int i = columnIndex(tag.column);
    if (i < 0)
        return key;
    const Column& c = m_columns[size_t(i)];
    const std::string_view stored = record.substr(size_t(m_offsets[size_t(i)]), size_t(c.width));
    if (tag.index.kind() == SortIndex::Kind::Number)
        key.number = numberKey(stored);
    else
        key.text = textKey(stored);
    return key;
}

std::string_view DbfTable::keyText(std::string_view stored) const
{
    if (m_header.language == 0)
        return stored;
    // Trailing spaces sort below every printable character at every level,
    // so a text compares alike with or without its padding; dropping it
    // shortens the collation key. Control characters would sort below the
    // space, so such a text keeps its padding.
    const bool printable = std::all_of(stored.begin(), stored.end(), [](char c) { return uint8_t(c) >= 0x20; });
    if (printable)
        while (!stored.empty() && stored.back() == ' ')
            stored.remove_suffix(1);
    return stored;
}

std::string DbfTable::collationKey(std::string_view text) const
{
    if (m_header.language == 0)
        return std::string(text);
    if (m_codePage.installed())
        return text::CodePageSortKeys::forCodePage(m_codePage.number()).key(text);
    return text::russianSortKey(m_codePage.decode(text));
}

std::string DbfTable::textKey(std::string_view stored) const { return collationKey(keyText(stored)); }

bool DbfTable::fillTag(Tag& tag)
{
    const int i = columnIndex(tag.column);
    if (i < 0)
        return false;
    const Column& c = m_columns[size_t(i)];
    if (!keyUsable(c))
        return false;
    tag.index.reset(c.isNumber ? SortIndex::Kind::Number : SortIndex::Kind::Text, tag.descending);

    std::vector<SortKey> keys(m_recordCount);
    const size_t width = size_t(c.width);
    const size_t length = m_header.recordLength;
    const size_t offset = size_t(m_offsets[size_t(i)]);
    if (c.isNumber) {
        scanRecords([&](uint32_t first, uint32_t n, const char* records) {
            for (uint32_t r = 0; r < n; ++r)
                keys[first + r].number = numberKey(std::string_view(records + size_t(r) * length + offset, width));
        });
    } else {
        // Texts repeat a lot (types, empty comments): each distinct text gets
        // its collation key once. The texts, cut as textKey cuts them, are
        // kept side by side in one buffer that never moves (reserved for the
        // longest case, so only what is used is ever touched).
        std::string column;
        column.reserve(size_t(m_recordCount) * width);
        std::vector<std::string_view> texts;
        std::vector<uint32_t> uses;
        std::vector<uint32_t> textOf(m_recordCount);
        DistinctTexts distinct(m_recordCount);
        scanRecords([&](uint32_t first, uint32_t n, const char* records) {
            for (uint32_t r = 0; r < n; ++r) {
                const std::string_view text = keyText(std::string_view(records + size_t(r) * length + offset, width));
                uint32_t& slot = distinct.slotOf(text, texts);
                if (slot == 0) {
                    column.append(text);
                    texts.push_back(std::string_view(column).substr(column.size() - text.size()));
                    uses.push_back(0);
                    slot = uint32_t(texts.size());
                }
                textOf[first + r] = slot - 1;
                ++uses[slot - 1];
            }
        });
        std::vector<std::string> textKeys(texts.size());
        auto work = [&](size_t from, size_t to) {
            for (size_t k = from; k < to; ++k)
                textKeys[k] = collationKey(texts[k]);
        };
        // Collation keys are the costly part of a text sort; with many
        // distinct texts the second core makes half of them.
        if (texts.size() >= 8192) {
            std::thread helper(work, texts.size() / 2, texts.size());
            work(0, texts.size() / 2);
            helper.join();
        } else {
            work(0, texts.size());
        }
        // The last row of a text takes its key, the others a copy.
        for (uint32_t r = 0; r < m_recordCount; ++r) {
            const uint32_t t = textOf[r];
            keys[r].text = --uses[t] == 0 ? std::move(textKeys[t]) : textKeys[t];
        }
    }
    tag.index.build(std::move(keys));
    tag.builtAt = m_changes;
    return true;
}

std::string DbfTable::indexFileBytes() const
{
    std::string out(kIndexMagic);
    out += char(kIndexFormat);
    out += char(m_tags.size());
    for (const auto& t : m_tags) {
        out += char(t->name.size());
        out += t->name;
        out += char(t->column.size());
        out += t->column;
        out += char(t->descending ? 1 : 0);
    }
    return out;
}

bool DbfTable::writeIndexFile()
{
    const std::string bytes = indexFileBytes();
    return m_indexFile.truncate(0) && m_indexFile.writeAt(0, bytes.data(), bytes.size());
}

void DbfTable::readIndexFile()
{
    std::string bytes(4096, '\0');
    const int64_t n = m_indexFile.readAt(0, bytes.data(), bytes.size());
    bytes.resize(n > 0 ? size_t(n) : 0);
    // Anything that is not our own layout holds no tag we know of.
    if (bytes.size() < kIndexMagic.size() + 2 || bytes.compare(0, kIndexMagic.size(), kIndexMagic) != 0 ||
        uint8_t(bytes[kIndexMagic.size()]) != kIndexFormat)
        return;
    size_t at = kIndexMagic.size() + 1;
    const size_t count = uint8_t(bytes[at++]);
    auto readString = [&](std::string& out) {
        if (at >= bytes.size())
            return false;
        const size_t len = uint8_t(bytes[at++]);
        if (len == 0 || at + len > bytes.size())
            return false;
        out = bytes.substr(at, len);
        at += len;
        return true;
    };
    std::vector<std::unique_ptr<Tag>> tags;
    for (size_t k = 0; k < count; ++k) {
        auto t = std::make_unique<Tag>();
        if (!readString(t->name) || !readString(t->column) || at >= bytes.size())
            return;
        t->descending = (uint8_t(bytes[at++]) & 1) != 0;
        const int i = columnIndex(t->column);
        if (i < 0 || !keyUsable(m_columns[size_t(i)]))
            continue;
        // A later tag of a name replaces an earlier one, as AddIndex does.
        std::erase_if(tags, [&](const auto& kept) { return sameName(kept->name, t->name); });
        if (tags.size() == kMaxTags)
            return; // more than this table ever writes: not a file of ours
        tags.push_back(std::move(t));
    }
    m_tags = std::move(tags);
}

void DbfTable::AddIndex(const std::string& name, const std::string& column, bool descending)
{
    requireOpen();
    if (m_openedShared)
        throw Error(kExclusiveNeeded);
    leaveEditing();
    const std::string path = IndexFilePath();
    bool created = false;
    if (!m_indexFile.isOpen()) {
        int error = 0;
        if (!m_indexFile.open(path, fileio::OpenMode::CreateOrTruncate, error) || !m_indexFile.lockExclusive(error)) {
            m_indexFile.close();
            throw Error(cannotCreate(path, error));
        }
        created = true;
    }
    std::erase_if(m_tags, [&](const auto& t) { return sameName(t->name, name); });

    auto tag = std::make_unique<Tag>();
    tag->name = name;
    tag->column = upper(column);
    tag->descending = descending;
    bool ok = m_tags.size() < kMaxTags && fillTag(*tag);
    if (ok) {
        m_tags.push_back(std::move(tag));
        ok = writeIndexFile();
        if (!ok)
            m_tags.pop_back();
    }
    if (!ok) {
        // A tag that cannot be built is dropped without a message.
        if (created || m_tags.empty()) {
            m_indexFile.close();
            fileio::removeFile(path);
            m_header.indexFlag = 0;
        }
        rebuildView(RecNo());
        return;
    }
    m_header.indexFlag = 1;
    writeHeader();
    rebuildView(RecNo());
}

void DbfTable::DeleteIndex(const std::string& name)
{
    requireOpen();
    const auto it = std::find_if(m_tags.begin(), m_tags.end(), [&](const auto& t) { return sameName(t->name, name); });
    if (it == m_tags.end())
        return;
    m_tags.erase(it);
    if (!activeTag())
        m_indexName.clear();
    rebuildView(RecNo());
    if (!m_tags.empty()) {
        if (!writeIndexFile())
            throw Error(kWriteFailed);
        return;
    }
    m_indexFile.close();
    fileio::removeFile(IndexFilePath());
    m_header.indexFlag = 0;
    writeHeader();
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
    leaveEditing();
    for (auto& t : m_tags)
        if (t->builtAt != m_changes) // a tag built since the last change is already what a rebuild gives
            fillTag(*t);
    rebuildView(RecNo());
}

// ---- pack -------------------------------------------------------------------

void DbfTable::Pack()
{
    requireOpen();
    if (m_openedShared)
        throw Error(kExclusiveNeeded);
    leaveEditing();
    requireWritable();
    const std::string savedIndex = m_indexName;
    m_indexName.clear();

    const std::string path = m_openPath;
    const size_t slash = path.rfind('/');
    const size_t dot = path.rfind('.');
    const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash);
    const std::string base = hasExtension ? path.substr(0, dot) : path;
    const std::string extension = hasExtension ? path.substr(dot) : std::string();
    std::string newPath;
    for (int k = 1;; ++k) {
        newPath = base + "_" + std::to_string(k) + extension;
        if (!fileio::exists(newPath))
            break;
    }

    fileio::File file;
    int error = 0;
    if (!file.open(newPath, fileio::OpenMode::CreateExclusive, error)) {
        m_indexName = savedIndex;
        throw Error(cannotCreate(newPath, error));
    }
    auto fail = [&]() {
        file.close();
        fileio::removeFile(newPath);
        m_indexName = savedIndex;
        invalidateCache();
        throw Error(kWriteFailed);
    };
    file.lockExclusive(error);
    file.copyPermissionsFrom(m_file);

    // The new file is complete and on disk before it replaces the old one,
    // and the rename replaces it in one step: at every moment the table
    // exists whole under its own name.
    uint32_t live = 0;
    for (uint8_t d : m_deleted)
        live += d ? 0 : 1;
    std::string header = m_headerBytes;
    dbf::patchHeader(header, dbf::today(), live, m_header.indexFlag);
    if (!file.writeAt(0, header.data(), header.size()))
        fail();
    const size_t length = m_header.recordLength;
    const uint32_t perChunk = uint32_t(std::max<size_t>(1, kScanBytes / length));
    std::string chunk;
    std::string out;
    uint64_t writeAt = m_header.headerLength;
    for (uint32_t first = 0; first < m_recordCount; first += perChunk) {
        const uint32_t n = std::min(perChunk, m_recordCount - first);
        chunk.assign(size_t(n) * length, ' ');
        if (m_file.readAt(recordOffset(first + 1), chunk.data(), chunk.size()) != int64_t(chunk.size()))
            fail();
        out.clear();
        for (uint32_t r = 0; r < n; ++r)
            if (!m_deleted[first + r])
                out.append(chunk, size_t(r) * length, length);
        if (!out.empty() && !file.writeAt(writeAt, out.data(), out.size()))
            fail();
        writeAt += out.size();
    }
    const char eof = char(dbf::kEndOfFile);
    if (!file.writeAt(writeAt, &eof, 1) || !file.sync())
        fail();
    if (!fileio::renameFile(newPath, path))
        fail();
    fileio::syncFolderOf(path);

    m_file = std::move(file);
    m_headerBytes = std::move(header);
    m_recordCount = live;
    m_header.recordCount = live;
    m_deleted.assign(live, 0);
    ++m_changes;
    invalidateCache();
    for (auto& t : m_tags)
        fillTag(*t);
    m_indexName = savedIndex;
    if (!activeTag())
        m_indexName.clear();
    rebuildView(0);
}

} // namespace zent5
