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

bool exists(const std::string& path);
bool renameFile(const std::string& from, const std::string& to);
bool removeFile(const std::string& path);
// Makes a rename or remove in the folder of `path` durable.
void syncFolderOf(const std::string& path);

// The platform's text for an error number of open(), as the user sees it.
std::string errorText(int error);

// Fault injection for tests: the n-th write (or rename) from now fails as if
// the disk were full; 0 switches it off.
namespace testhook {
void failNthWrite(int n);
void failNthRename(int n);
void reset();
} // namespace testhook

} // namespace zent5::fileio
