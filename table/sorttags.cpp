#include "table/sorttags.h"

#include "records/error.h"
#include "records/fieldname.h"
#include "table/dbffile.h"
#include "table/fileerrors.h"
#include "table/sortkeys.h"

#include <algorithm>

namespace zent5 {
namespace {

// The widest key a sort index takes, in bytes.
constexpr int kMaxKeyLength = 100;
// Sort tags a table keeps at once. The program makes one; each tag holds a
// key per record, so an index file naming many would multiply the memory
// an open takes.
constexpr size_t kMaxTags = 4;

constexpr std::string_view kIndexMagic = "ZENT5MDX";
constexpr uint8_t kIndexFormat = 1;

// Whether a column can be a sort key: it has bytes, and a text key is not
// longer than an index takes.
bool keyUsable(const DbfColumn& c) { return c.width > 0 && (c.isNumber || c.width <= kMaxKeyLength); }

} // namespace

void SortTags::open(const std::string& indexPath)
{
    close();
    if (m_file.indexFlag() == 0 || m_file.shared())
        return;
    if (!fileio::exists(indexPath)) {
        m_file.setIndexFlag(0);
        return;
    }
    int error = 0;
    if (!m_indexFile.open(indexPath, fileio::OpenMode::Existing, error) || !m_indexFile.lockExclusive(error))
        throw Error(fileerrors::cannotOpen(indexPath, error));
    readIndexFile();
    for (auto& t : m_tags)
        fill(*t);
}

void SortTags::close()
{
    m_indexFile.close();
    m_tags.clear();
}

const SortIndex* SortTags::find(std::string_view name) const
{
    if (name.empty())
        return nullptr;
    for (const auto& t : m_tags)
        if (sameFieldName(t->name, name))
            return &t->index;
    return nullptr;
}

SortKey SortTags::keyOf(const Tag& tag, std::string_view record) const
{
    SortKey key;
    const int i = m_file.columnIndex(tag.column);
    if (i < 0)
        return key;
    const std::string_view stored = m_file.fieldBytes(record, i);
    if (tag.index.kind() == SortIndex::Kind::Number)
        key.number = numberSortKey(stored);
    else
        key.text = TextSortKeys(m_file.language(), m_file.codePage(), tag.padded).key(stored);
    return key;
}

bool SortTags::fill(Tag& tag, bool withPadding)
{
    const int i = m_file.columnIndex(tag.column);
    if (i < 0)
        return false;
    const DbfColumn& c = m_file.columns()[size_t(i)];
    if (!keyUsable(c))
        return false;
    tag.index.reset(c.isNumber ? SortIndex::Kind::Number : SortIndex::Kind::Text, tag.descending);

    const uint32_t count = m_file.recordCount();
    const size_t length = m_file.recordLength();
    std::vector<SortKey> keys(count);
    if (c.isNumber) {
        m_file.scan([&](uint32_t first, uint32_t n, const char* records) {
            for (uint32_t r = 0; r < n; ++r)
                keys[first + r].number = numberSortKey(m_file.fieldBytes({records + size_t(r) * length, length}, i));
        });
    } else {
        // Texts repeat a lot (types, empty comments): each distinct text gets
        // its collation key once.
        for (;;) {
            const TextSortKeys textKeys(m_file.language(), m_file.codePage(), withPadding);
            TextKeyColumn column(textKeys, count, size_t(c.width));
            m_file.scan([&](uint32_t first, uint32_t n, const char* records) {
                for (uint32_t r = 0; r < n; ++r)
                    column.add(first + r, m_file.fieldBytes({records + size_t(r) * length, length}, i));
            });
            if (!withPadding && column.needsPadding()) {
                withPadding = true;
                continue;
            }
            column.takeInto(keys);
            break;
        }
    }
    tag.padded = withPadding;
    tag.index.build(std::move(keys));
    tag.builtAt = m_file.changes();
    return true;
}

void SortTags::keepOrderFor(Tag& tag, std::string_view record)
{
    if (tag.padded || tag.index.kind() != SortIndex::Kind::Text)
        return;
    const int i = m_file.columnIndex(tag.column);
    if (i >= 0 && !TextSortKeys(m_file.language(), m_file.codePage(), false).paddingCanGo(m_file.fieldBytes(record, i)))
        fill(tag, true);
}

std::string SortTags::indexFileBytes() const
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

bool SortTags::writeIndexFile()
{
    const std::string bytes = indexFileBytes();
    return m_indexFile.truncate(0) && m_indexFile.writeAt(0, bytes.data(), bytes.size());
}

void SortTags::readIndexFile()
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
        const int i = m_file.columnIndex(t->column);
        if (i < 0 || !keyUsable(m_file.columns()[size_t(i)]))
            continue;
        // A later tag of a name replaces an earlier one, as add() does.
        std::erase_if(tags, [&](const auto& kept) { return sameFieldName(kept->name, t->name); });
        if (tags.size() == kMaxTags)
            return; // more than this table ever writes: not a file of ours
        tags.push_back(std::move(t));
    }
    m_tags = std::move(tags);
}

void SortTags::dropIndexFile(const std::string& indexPath)
{
    m_indexFile.close();
    fileio::removeFile(indexPath);
    m_file.setIndexFlag(0);
}

void SortTags::add(const std::string& indexPath, const std::string& name, const std::string& column, bool descending)
{
    bool created = false;
    if (!m_indexFile.isOpen()) {
        int error = 0;
        if (!m_indexFile.open(indexPath, fileio::OpenMode::CreateOrTruncate, error) ||
            !m_indexFile.lockExclusive(error)) {
            m_indexFile.close();
            throw Error(fileerrors::cannotCreate(indexPath, error));
        }
        created = true;
    }
    erase(name);

    auto tag = std::make_unique<Tag>();
    tag->name = name;
    tag->column = upperFieldName(column);
    tag->descending = descending;
    bool ok = m_tags.size() < kMaxTags && fill(*tag);
    if (ok) {
        m_tags.push_back(std::move(tag));
        ok = writeIndexFile();
        if (!ok)
            m_tags.pop_back();
    }
    if (!ok) {
        if (created || m_tags.empty())
            dropIndexFile(indexPath);
        return;
    }
    m_file.setIndexFlag(1);
    m_file.writeHeader();
}

bool SortTags::erase(std::string_view name)
{
    return std::erase_if(m_tags, [&](const auto& t) { return sameFieldName(t->name, name); }) > 0;
}

void SortTags::store(const std::string& indexPath)
{
    if (!m_tags.empty()) {
        if (!writeIndexFile())
            throw Error(fileerrors::kWriteFailed);
        return;
    }
    dropIndexFile(indexPath);
    m_file.writeHeader();
}

void SortTags::rebuildStale()
{
    for (auto& t : m_tags)
        if (t->builtAt != m_file.changes()) // a tag built since the last change is already what a rebuild gives
            fill(*t);
}

void SortTags::refill()
{
    for (auto& t : m_tags)
        fill(*t);
}

void SortTags::insertRow(uint32_t recNo, std::string_view record)
{
    for (auto& t : m_tags) {
        keepOrderFor(*t, record);
        t->index.insert(recNo, keyOf(*t, record));
    }
}

void SortTags::removeRow(uint32_t recNo)
{
    for (auto& t : m_tags) {
        SortIndex::Entry e;
        size_t pos;
        t->index.take(recNo, e, pos);
    }
}

bool SortTags::moveRow(uint32_t recNo, std::string_view record, std::vector<Move>& moves)
{
    moves.clear();
    for (auto& t : m_tags) {
        keepOrderFor(*t, record);
        SortKey key = keyOf(*t, record);
        const SortKey* old = t->index.keyOf(recNo);
        if (old && t->index.sameKey(*old, key))
            continue;
        Move m;
        m.index = &t->index;
        m.had = t->index.take(recNo, m.old, m.oldPos);
        t->index.insert(recNo, std::move(key));
        moves.push_back(std::move(m));
    }
    return !moves.empty();
}

void SortTags::undoMoves(uint32_t recNo, std::vector<Move>& moves)
{
    for (auto it = moves.rbegin(); it != moves.rend(); ++it) {
        SortIndex::Entry dropped;
        size_t pos;
        it->index->take(recNo, dropped, pos);
        if (it->had)
            it->index->putBack(it->oldPos, std::move(it->old));
    }
    moves.clear();
}

} // namespace zent5
