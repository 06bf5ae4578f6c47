#pragma once

#include "table/fileio.h"

#include <string>

namespace zent5::tool {

// The table file a download writes. The rows go into a hidden file beside
// the target, which replaces the target only when it is complete: whatever
// fails on the way, the target is either the file it was or the whole new one.
class DownloadTarget {
public:
    explicit DownloadTarget(const std::string& target);
    ~DownloadTarget(); // removes the hidden file unless it was committed
    DownloadTarget(const DownloadTarget&) = delete;
    DownloadTarget& operator=(const DownloadTarget&) = delete;

    // Raises the table component's "Cannot create file" text when the
    // target's folder takes no new file, before anything is asked of the
    // instrument.
    void checkFolder() const;
    // Keeps others away from an existing target until this object goes, as
    // the table component does before it replaces a file: a table another
    // program has open is refused with the component's "Cannot open file".
    void lockExisting();
    // Makes the hidden file, empty or as a copy of the target.
    void reserve();
    void reserveCopy();

    // Where the hidden file is, as the table component takes it.
    const std::string& folder() const { return m_folder; }
    const std::string& temporaryName() const { return m_temporaryName; }
    const std::string& path() const { return m_path; }

    // Puts the hidden file in the target's place, with the target's
    // permissions (a new file gets the usual ones).
    void commit();

private:
    void makeTemporary();
    void removeTemporary();

    std::string m_path;   // the target, symbolic links resolved
    std::string m_folder; // with a trailing '/', or empty for the working folder
    std::string m_name;
    std::string m_temporaryName;
    bool m_committed = false;
    fileio::File m_lock;
};

} // namespace zent5::tool
