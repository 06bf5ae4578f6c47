#pragma once

#include "table/fileio.h"
#include "table/sortindex.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace zent5 {

class DbfFile;

// The sort tags of an open table, each an index over one column, and the
// `.mdx` file beside the table that names them. The order itself is held
// in memory and rebuilt from the records when the table opens; the file
// keeps only the names, columns and directions.
//
// Our index file: "ZENT5MDX", a format byte, the tag count, then per tag
// the name and the column (each a length byte and the bytes) and a flags
// byte (bit 0: descending).
class SortTags {
public:
    explicit SortTags(DbfFile& file) : m_file(file) {}
    SortTags(const SortTags&) = delete;
    SortTags& operator=(const SortTags&) = delete;

    // The tags of the index file, when the freshly opened table's header
    // says it has one, filled from the records. A missing index file
    // clears the header's flag (written with the next header write).
    // Raises "Cannot open file" when the index file cannot be opened.
    void open(const std::string& indexPath);
    void close();

    // The tag of that name, in any case; nullptr when there is none.
    const SortIndex* find(std::string_view name) const;

    // Builds a tag over `column`, replacing a tag of the same name, and
    // names it in the index file, made when the table has none (raising
    // "Cannot create file" when it cannot be). A tag that cannot be built
    // (no such column, a key too long, a failed write) is dropped without a
    // word, and an index file left without a tag is removed.
    void add(const std::string& indexPath, const std::string& name, const std::string& column, bool descending);
    // Drops the tag of that name; false when there is none. Its index
    // file is then out of date until store().
    bool erase(std::string_view name);
    // Writes the tag list to the index file, or, with no tag left, removes
    // the file and clears the header's flag. Raises the write error.
    void store(const std::string& indexPath);
    // Fills again each tag that records were written to since it was built.
    void rebuildStale();
    // Fills every tag again (after the records were renumbered).
    void refill();

    // Keeping the tags with the records. A new row goes after the rows of
    // an equal key.
    void insertRow(uint32_t recNo, std::string_view record);
    void removeRow(uint32_t recNo);
    // How a rewritten row moved, to put it back when the write fails.
    struct Move {
        SortIndex* index = nullptr;
        bool had = false;
        size_t oldPos = 0;
        SortIndex::Entry old;
    };
    // Moves a rewritten row to the place of its new key in every tag where
    // the key changed; false when it changed nowhere.
    bool moveRow(uint32_t recNo, std::string_view record, std::vector<Move>& moves);
    void undoMoves(uint32_t recNo, std::vector<Move>& moves);

private:
    struct Tag {
        std::string name;
        std::string column;
        bool descending = false;
        SortIndex index;
        uint64_t builtAt = ~uint64_t(0); // the record changes when it was last filled
        bool padded = false; // text keys made with the texts' trailing spaces
    };

    SortKey keyOf(const Tag& tag, std::string_view record) const;
    // Fills the tag from the records; text keys without padding where the
    // column's texts allow, unless `withPadding`.
    bool fill(Tag& tag, bool withPadding = false);
    // Keys a text tag with padding from here on when `record` holds a text
    // that keys without padding would misplace.
    void keepOrderFor(Tag& tag, std::string_view record);
    std::string indexFileBytes() const;
    bool writeIndexFile();
    void readIndexFile();
    void dropIndexFile(const std::string& indexPath);

    DbfFile& m_file;
    fileio::File m_indexFile;
    std::vector<std::unique_ptr<Tag>> m_tags;
};

} // namespace zent5
