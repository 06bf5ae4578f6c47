#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// The one road from the table component to the disk. Every read, write,
// truncate, rename and remove of a table or index file goes through here, so
// tests can make the n-th write or rename fail and check that the table on
// disk is still whole.
namespace zent5::fileio {

enum class OpenMode {
    Existing,      // open an existing file for reading and writing
    CreateOrTruncate,
    CreateExclusive, // fail when the file exists
    ReadOnly,
};

class File {
public:
    File() = default;
    ~File();
    File(File&& other) noexcept;
    File& operator=(File&& other) noexcept;
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    // Opens the file; on failure returns false and leaves the error number in `error`.
    bool open(const std::string& path, OpenMode mode, int& error);
    // Takes the exclusive lock on this open file. It conflicts with every
    // other open of the same file, also in this process.
    bool lockExclusive(int& error);
    // A shared lock: readers together, never beside an exclusive holder.
    bool lockShared(int& error);
    bool isOpen() const { return m_fd >= 0; }
    void close();

    // Reads up to `size` bytes at `offset`; returns the count read, or -1.
    int64_t readAt(uint64_t offset, void* buffer, size_t size) const;
    // Writes all `size` bytes at `offset`, or fails.
    bool writeAt(uint64_t offset, const void* buffer, size_t size);
    bool truncate(uint64_t size);
    bool sync();
    // Gives this file the permission bits of another open file.
    void copyPermissionsFrom(const File& other);
    // The file's size in bytes, or -1.
    int64_t size() const;

private:
    int m_fd = -1;
};

// A new file that is to take the place of another, the target, once it is
// complete. Until then nobody sees it under a name: where the platform
// allows, it has none at all and vanishes with the process, so not even a
// crash leaves it behind; elsewhere it is a hidden file beside the target,
// removed when this object goes without a commit.
class Replacement {
public:
    Replacement() = default;
    ~Replacement();
    Replacement(const Replacement&) = delete;
    Replacement& operator=(const Replacement&) = delete;

    // Makes the new file, empty, in the target's folder. A target that is
    // a symbolic link stands for the file it points at. False with `error`
    // set when the folder takes no new file.
    bool begin(const std::string& target, int& error);
    // The file that commit replaces: the target, its link resolved.
    const std::string& target() const { return m_target; }
    // A path through which the new file can be opened while it is written.
    const std::string& path() const { return m_path; }
    // Puts the new file in the target's place in one step, its bytes on
    // disk first, with the target's permission bits (the usual ones where
    // there was no target). False with `error` set; the target is then
    // untouched and the new file still here.
    bool commit(int& error);
    // The same for a name nobody may have yet: false with EEXIST, and the
    // file already there untouched, when the target exists by then.
    bool commitAsNew(int& error);
    // The same while the target is open here through `current`: afterwards
    // `current` is the new file, as `written` (opened on path()) had it
    // open, locks included. Some platforms rename nothing over an open file,
    // so each does this its own way.
    bool commitOver(File& current, File& written, int& error);
    // Drops the new file, unless it was committed.
    void discard();

private:
    // The checks and the flush both commits begin with.
    bool readyToCommit(int& error);

    int m_fd = -1;
    bool m_unnamed = false;
    bool m_committed = false;
    std::string m_target;
    std::string m_path;
};

bool exists(const std::string& path);
bool renameFile(const std::string& from, const std::string& to);
bool removeFile(const std::string& path);
// Makes a rename or remove in the folder of `path` durable.
void syncFolderOf(const std::string& path);

// The platform's text for an error number of open(), as the user sees it.
std::string errorText(int error);

// Fault injection for tests: the n-th write (or rename, a replacement's
// commit counting as one) from now fails as if the disk were full; 0
// switches it off.
namespace testhook {
void failNthWrite(int n);
void failNthRename(int n);
void reset();
} // namespace testhook

} // namespace zent5::fileio
