#pragma once

#include "table/fileio.h"

#include <string>

namespace zent5 {

class DbfTable;

// A new table written in place of a table file, as "Создать" and the
// download command make one: the rows go into a new file beside the target,
// which takes the target's name only once it is complete. Whatever stops
// the work before that (a full disk, a failed write, the program killed),
// the target is the file it was and nothing else is left beside it.
class TableReplacement {
public:
    explicit TableReplacement(std::string target);
    // A table still open on the new file is closed (it must outlive this
    // object), and the new file dropped.
    ~TableReplacement();
    TableReplacement(const TableReplacement&) = delete;
    TableReplacement& operator=(const TableReplacement&) = delete;

    // Keeps others away from an existing target until the commit, as the
    // table component does before it replaces a file: a table another
    // program has open is refused with "Cannot open file".
    void lockTarget();
    // Makes the new file; "Cannot create file" (naming the target) when the
    // target's folder takes no new file.
    void reserve();
    // Opens `table` on the new file, made a new empty table with the
    // table's column list, or a byte copy of the target. Reserves first
    // when that was not done.
    void openEmpty(DbfTable& table);
    void openCopy(DbfTable& table);
    // Closes `table` if it is still open on the new file, puts the new file
    // in the target's place, and leaves `table` closed and aimed at the
    // target. A failure raises the table's write error; the target is
    // then untouched.
    void commit(DbfTable& table);

private:
    void aimAtNewFile(DbfTable& table) const;

    std::string m_target;
    fileio::Replacement m_file;
    fileio::File m_lock;
    DbfTable* m_open = nullptr; // the table open on the new file
    bool m_reserved = false;
};

} // namespace zent5
