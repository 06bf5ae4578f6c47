#pragma once

#include "journal/journalentry.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace zent5::journal {

// How much the journal keeps: the newest entries up to both bounds. Every
// file named as an entry counts, whether it reads or not.
struct Limits {
    size_t maxEntries = 500;
    uint64_t maxBytes = 200ull * 1024 * 1024; // of entry files
};

// A file in the journal's folder that is not a readable entry.
struct Problem {
    std::string fileName;
    std::string text; // Russian, for the user
};

struct Listing {
    std::vector<EntryInfo> entries; // newest first
    std::vector<Problem> problems;  // by file name
};

// The journal of downloads: one file per entry in a folder of its own,
// named by the entry's id. An entry file is written beside under a
// temporary name and renamed when it is whole, so a reader finds every
// entry complete or not at all; what a crash leaves under a temporary name
// is passed over, and tidied by a later write.
class Journal {
public:
    explicit Journal(std::string folder, Limits limits = {});

    const std::string& folder() const { return m_folder; }
    const Limits& limits() const { return m_limits; }

    // Keeps the entry, makes the folder on the first write, gives the entry
    // its id (also returned), then lets the oldest entries go beyond the
    // limits; the entry just written always stays. Raises an Error naming
    // the folder or file and the reason when the entry cannot be kept; the
    // journal is then as it was.
    std::string add(Entry& entry);

    // Every entry, newest first, and the files that are not readable
    // entries; a folder not made yet is an empty journal. Raises an Error
    // only when the folder itself cannot be read.
    Listing list() const;

    // The entry of an id. Raises "В журнале нет записи ID" for an id the
    // journal does not hold, or the damage of its file.
    Entry load(const std::string& id) const;

    // Removes the entry of an id; raises as load() for an unknown id, or
    // when the file cannot be removed.
    void remove(const std::string& id);

private:
    std::string entryPath(const std::string& id) const;
    std::string temporaryPath(const std::string& id) const;
    std::string freeId(const EntryInfo& info) const;
    void tidyTemporaries() const;
    void applyLimits(const std::string& keptId);

    std::string m_folder;
    Limits m_limits;
};

} // namespace zent5::journal
