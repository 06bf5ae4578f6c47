#include "table/dbffile.h"

#include "records/error.h"
#include "records/fieldname.h"
#include "records/measurementfields.h"
#include "records/text.h"
#include "table/fileerrors.h"
#include "table/languagedriver.h"

#include <algorithm>
#include <memory>

namespace zent5 {
namespace {

using fileerrors::cannotCreate;
using fileerrors::cannotOpen;
using fileerrors::kWriteFailed;

const char* const kInvalidFile = "Invalid DBF file.";

// Records read at once for the walkers and the grid.
constexpr uint32_t kCacheBlock = 32;
// Bytes read at once when scanning every record.
constexpr size_t kScanBytes = 1 << 20;

std::string rangeError(double value, const DbfColumn& c)
{
    const int intDigits = std::max(1, c.width - (c.decimals > 0 ? c.decimals + 1 : 0));
    const std::string fraction = c.decimals > 0 ? "." + std::string(size_t(c.decimals), '9') : std::string();
    const std::string max = std::string(size_t(intDigits), '9') + fraction;
    const std::string min = intDigits > 1 ? "-" + std::string(size_t(intDigits - 1), '9') + fraction : "0";
    return dbf::shortestText(value, '.') + " is not a valid value for field '" + c.name + "'. The allowed range is " +
           min + " to " + max;
}

} // namespace

// ---- open, close, create --------------------------------------------------

void DbfFile::open(const std::string& path, bool shared)
{
    drop();
    try {
        openChecked(path, shared);
    } catch (...) {
        drop();
        throw;
    }
}

void DbfFile::openChecked(const std::string& path, bool shared)
{
    if (!fileio::exists(path))
        throw Error("Open: file not found: \"" + path + "\".");
    int error = 0;
    m_shared = shared;
    const bool opened = shared ? m_file.open(path, fileio::OpenMode::ReadOnly, error) && m_file.lockShared(error)
                               : m_file.open(path, fileio::OpenMode::Existing, error) && m_file.lockExclusive(error);
    if (!opened)
        throw Error(cannotOpen(path, error));
    m_path = path;

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
        DbfColumn c;
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
    m_readOnly = !m_codePage.installed() || m_shared;
}

void DbfFile::readDeletionFlags()
{
    m_deleted.assign(m_recordCount, 0);
    const size_t length = m_header.recordLength;
    scan([&](uint32_t first, uint32_t n, const char* records) {
        for (uint32_t i = 0; i < n; ++i)
            m_deleted[first + i] = records[size_t(i) * length] == dbf::kDeleted;
    });
}

void DbfFile::close()
{
    if (!isOpen())
        return;
    if (m_shared) {
        drop();
        return;
    }
    bool ok = writeHeaderNoThrow();
    // After Close the file is exact: nothing follows the end-of-file byte.
    if (ok)
        ok = m_file.truncate(recordOffset(m_recordCount + 1) + 1);
    drop();
    if (!ok)
        throw Error(kWriteFailed);
}

void DbfFile::drop()
{
    m_file.close();
    m_path.clear();
    m_shared = false;
    m_readOnly = false;
    m_headerBytes.clear();
    m_header = {};
    m_columns.clear();
    m_offsets.clear();
    m_nextColumn = 0;
    m_recordCount = 0;
    m_deleted.clear();
    forgetCache();
}

void DbfFile::create(const std::string& path, const std::vector<DbfColumn>& columns, uint8_t language)
{
    std::vector<dbf::Field> fields;
    for (const DbfColumn& c : columns)
        fields.push_back(dbf::Field{c.name, c.type, c.width, c.decimals});
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

// ---- columns ----------------------------------------------------------------

int DbfFile::columnIndex(std::string_view name) const
{
    // Rows are mostly filled and read column after column, so the search
    // starts after the column found last.
    const size_t start = std::min(m_nextColumn, m_columns.size());
    for (size_t i = start, wrapped = 0; wrapped < m_columns.size(); ++i, ++wrapped) {
        if (i == m_columns.size())
            i = 0;
        if (sameFieldName(m_columns[i].name, name)) {
            m_nextColumn = i + 1;
            return int(i);
        }
    }
    return -1;
}

FieldValue DbfFile::decode(std::string_view record, int column) const
{
    const std::string_view stored = fieldBytes(record, column);
    if (m_columns[size_t(column)].isNumber) {
        const std::optional<double> v = dbf::decodeNumber(stored);
        return v ? FieldValue(*v) : FieldValue();
    }
    const std::optional<std::string_view> t = dbf::decodeText(stored);
    return t ? FieldValue(m_codePage.decode(*t)) : FieldValue();
}

void DbfFile::encode(std::string& record, int column, const FieldValue& value) const
{
    const DbfColumn& c = m_columns[size_t(column)];
    char* stored = record.data() + m_offsets[size_t(column)];
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

// ---- records ----------------------------------------------------------------

uint64_t DbfFile::recordOffset(uint32_t recNo) const
{
    return m_header.headerLength + uint64_t(recNo - 1) * m_header.recordLength;
}

std::string_view DbfFile::record(uint32_t recNo)
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

std::string DbfFile::readRecord(uint32_t recNo) const
{
    std::string record(m_header.recordLength, ' ');
    m_file.readAt(recordOffset(recNo), record.data(), record.size());
    return record;
}

void DbfFile::scan(const std::function<void(uint32_t first, uint32_t count, const char* records)>& visit) const
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

bool DbfFile::writeHeaderNoThrow()
{
    dbf::patchHeader(m_headerBytes, dbf::today(), m_header.recordCount = m_recordCount, m_header.indexFlag);
    const char eof = char(dbf::kEndOfFile);
    return m_file.writeAt(0, m_headerBytes.data(), dbf::kHeaderSize) &&
           m_file.writeAt(recordOffset(m_recordCount + 1), &eof, 1);
}

void DbfFile::writeHeader()
{
    if (!writeHeaderNoThrow())
        throw Error(kWriteFailed);
}

void DbfFile::correctRecordCount()
{
    if (m_header.recordCount != m_recordCount && !m_shared)
        writeHeader();
}

bool DbfFile::append(std::string_view record)
{
    const uint32_t recNo = m_recordCount + 1;
    std::string bytes(record);
    bytes += char(dbf::kEndOfFile);
    const uint64_t at = recordOffset(recNo);
    bool ok = m_file.writeAt(at, bytes.data(), bytes.size());
    if (ok) {
        dbf::patchHeader(m_headerBytes, dbf::today(), recNo, m_header.indexFlag);
        ok = m_file.writeAt(0, m_headerBytes.data(), dbf::kHeaderSize);
    }
    forgetCache();
    if (!ok) {
        // Put the file and the header back as they were before this record.
        m_file.truncate(at);
        writeHeaderNoThrow();
        return false;
    }
    m_recordCount = recNo;
    m_header.recordCount = recNo;
    m_deleted.push_back(record[0] == dbf::kDeleted);
    ++m_changes;
    return true;
}

bool DbfFile::rewrite(uint32_t recNo, std::string_view record)
{
    const bool ok = m_file.writeAt(recordOffset(recNo), record.data(), record.size());
    // A record that failed may be half written: from here it is read from the file.
    forgetCache();
    if (!ok)
        return false;
    m_deleted[recNo - 1] = record[0] == dbf::kDeleted;
    ++m_changes;
    return true;
}

bool DbfFile::markDeleted(uint32_t recNo)
{
    const char flag = dbf::kDeleted;
    if (!m_file.writeAt(recordOffset(recNo), &flag, 1))
        return false;
    m_deleted[recNo - 1] = 1;
    ++m_changes;
    forgetCache();
    return true;
}

// ---- pack -------------------------------------------------------------------

void DbfFile::pack()
{
    fileio::Replacement replacement;
    int error = 0;
    if (!replacement.begin(m_path, error))
        throw Error(cannotCreate(m_path, error));
    fileio::File file;
    if (!file.open(replacement.path(), fileio::OpenMode::Existing, error))
        throw Error(cannotCreate(m_path, error));
    file.lockExclusive(error);
    auto fail = [&]() {
        forgetCache();
        throw Error(kWriteFailed);
    };

    // The new file is complete and on disk before it replaces the old one,
    // and it replaces it in one step: at every moment the table exists whole
    // under its own name.
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
    if (!file.writeAt(writeAt, &eof, 1))
        fail();
    if (!replacement.commitOver(m_file, file, error))
        fail();

    m_headerBytes = std::move(header);
    m_recordCount = live;
    m_header.recordCount = live;
    m_deleted.assign(live, 0);
    ++m_changes;
    forgetCache();
}

} // namespace zent5
