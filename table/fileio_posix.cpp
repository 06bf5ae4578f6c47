#include "table/fileio.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

namespace zent5::fileio {
namespace {

int g_failWriteIn = 0;
int g_failRenameIn = 0;

// Counts down towards an injected failure; true when this call must fail.
bool injectedFailure(int& countdown)
{
    if (countdown <= 0)
        return false;
    return --countdown == 0;
}

std::string folderOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

// A name for a hidden file beside `target`, with the table extension so that
// nothing mistakes it for the target or its index. The file is created
// (mode 0600) and left open in `fd`.
bool makeHiddenBeside(const std::string& target, std::string& name, int& fd, int& error)
{
    const size_t slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
    const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
    std::string pattern = folder + "." + base + ".XXXXXX.db";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    fd = ::mkstemps(buffer.data(), 3);
    if (fd < 0) {
        error = errno;
        return false;
    }
    ::fcntl(fd, F_SETFD, FD_CLOEXEC);
    name = buffer.data();
    return true;
}

// The permission bits a replacement gets: the target's, or for a new name
// those a plain create would give.
mode_t replacementMode(const std::string& target)
{
    struct stat st {};
    if (::stat(target.c_str(), &st) == 0)
        return st.st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

} // namespace

namespace testhook {
void failNthWrite(int n) { g_failWriteIn = n; }
void failNthRename(int n) { g_failRenameIn = n; }
void reset()
{
    g_failWriteIn = 0;
    g_failRenameIn = 0;
}
} // namespace testhook

File::~File() { close(); }

File::File(File&& other) noexcept : m_fd(other.m_fd) { other.m_fd = -1; }

File& File::operator=(File&& other) noexcept
{
    if (this != &other) {
        close();
        m_fd = other.m_fd;
        other.m_fd = -1;
    }
    return *this;
}

bool File::open(const std::string& path, OpenMode mode, int& error)
{
    close();
    int flags = (mode == OpenMode::ReadOnly ? O_RDONLY : O_RDWR) | O_CLOEXEC;
    if (mode == OpenMode::CreateOrTruncate)
        flags |= O_CREAT | O_TRUNC;
    else if (mode == OpenMode::CreateExclusive)
        flags |= O_CREAT | O_EXCL;
    int fd;
    do
        fd = ::open(path.c_str(), flags, 0666);
    while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        error = errno;
        return false;
    }
    struct stat st {};
    if (::fstat(fd, &st) == 0 && !S_ISREG(st.st_mode)) {
        ::close(fd);
        error = EISDIR;
        return false;
    }
    m_fd = fd;
    return true;
}

bool File::lockExclusive(int& error)
{
    // flock locks belong to the open file description, so a second open()
    // of the same file, in this process or another, conflicts with it.
    int r;
    do
        r = ::flock(m_fd, LOCK_EX | LOCK_NB);
    while (r < 0 && errno == EINTR);
    if (r < 0) {
        error = errno;
        return false;
    }
    return true;
}

bool File::lockShared(int& error)
{
    int r;
    do
        r = ::flock(m_fd, LOCK_SH | LOCK_NB);
    while (r < 0 && errno == EINTR);
    if (r < 0) {
        error = errno;
        return false;
    }
    return true;
}

void File::close()
{
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
}

int64_t File::readAt(uint64_t offset, void* buffer, size_t size) const
{
    size_t done = 0;
    auto* out = static_cast<char*>(buffer);
    while (done < size) {
        const ssize_t n = ::pread(m_fd, out + done, size - done, off_t(offset + done));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return -1;
        }
        if (n == 0)
            break;
        done += size_t(n);
    }
    return int64_t(done);
}

bool File::writeAt(uint64_t offset, const void* buffer, size_t size)
{
    if (injectedFailure(g_failWriteIn)) {
        errno = ENOSPC;
        return false;
    }
    size_t done = 0;
    const auto* in = static_cast<const char*>(buffer);
    while (done < size) {
        const ssize_t n = ::pwrite(m_fd, in + done, size - done, off_t(offset + done));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        done += size_t(n);
    }
    return true;
}

bool File::truncate(uint64_t size)
{
    int r;
    do
        r = ::ftruncate(m_fd, off_t(size));
    while (r < 0 && errno == EINTR);
    return r == 0;
}

bool File::sync() { return ::fsync(m_fd) == 0; }

void File::copyPermissionsFrom(const File& other)
{
    struct stat st {};
    if (::fstat(other.m_fd, &st) == 0)
        ::fchmod(m_fd, st.st_mode & 07777);
}

int64_t File::size() const
{
    struct stat st {};
    if (::fstat(m_fd, &st) != 0)
        return -1;
    return int64_t(st.st_size);
}

Replacement::~Replacement() { discard(); }

bool Replacement::begin(const std::string& target, int& error)
{
    discard();
    m_committed = false;
    m_target = target;
    struct stat st {};
    if (::lstat(target.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        if (char* real = ::realpath(target.c_str(), nullptr)) {
            m_target = real;
            std::free(real);
        }
    }
    // A file with no name in the target's folder, reached through the
    // process's own descriptor link until it is given one.
    int fd;
    do
        fd = ::open(folderOf(m_target).c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0666);
    while (fd < 0 && errno == EINTR);
    if (fd >= 0) {
        const std::string link = "/proc/self/fd/" + std::to_string(fd);
        if (::access(link.c_str(), R_OK | W_OK) == 0) {
            m_fd = fd;
            m_unnamed = true;
            m_path = link;
            return true;
        }
        ::close(fd);
    } else if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) {
        error = errno;
        return false;
    }
    // This file system (or this system) makes no nameless files.
    m_unnamed = false;
    return makeHiddenBeside(m_target, m_path, m_fd, error);
}

bool Replacement::readyToCommit(int& error)
{
    if (m_fd < 0 || m_committed) {
        error = EBADF;
        return false;
    }
    if (injectedFailure(g_failRenameIn)) {
        error = EIO;
        return false;
    }
    // On disk before the name points at it, so a crash leaves a whole file.
    if (::fsync(m_fd) != 0) {
        error = errno;
        return false;
    }
    ::fchmod(m_fd, replacementMode(m_target));
    return true;
}

bool Replacement::commit(int& error)
{
    if (!readyToCommit(error))
        return false;
    std::string named = m_path;
    if (m_unnamed) {
        // A link cannot replace a file, so the new file gets a hidden name
        // of its own first, and that name replaces the target.
        int holder = -1;
        if (!makeHiddenBeside(m_target, named, holder, error))
            return false;
        ::close(holder);
        ::unlink(named.c_str());
        if (::linkat(AT_FDCWD, m_path.c_str(), AT_FDCWD, named.c_str(), AT_SYMLINK_FOLLOW) != 0) {
            error = errno;
            return false;
        }
    }
    if (::rename(named.c_str(), m_target.c_str()) != 0) {
        error = errno;
        if (m_unnamed)
            ::unlink(named.c_str());
        return false;
    }
    m_committed = true;
    syncFolderOf(m_target);
    discard();
    return true;
}

bool Replacement::commitAsNew(int& error)
{
    if (!readyToCommit(error))
        return false;
    // A link, unlike a rename, never takes the name from a file that has it.
    int r = m_unnamed ? ::linkat(AT_FDCWD, m_path.c_str(), AT_FDCWD, m_target.c_str(), AT_SYMLINK_FOLLOW)
                      : ::link(m_path.c_str(), m_target.c_str());
    if (r != 0 && !m_unnamed && errno != EEXIST) {
        // A file system without links (FAT): look, then rename.
        if (exists(m_target)) {
            errno = EEXIST;
        } else {
            r = ::rename(m_path.c_str(), m_target.c_str());
        }
    }
    if (r != 0) {
        error = errno;
        return false;
    }
    if (!m_unnamed)
        ::unlink(m_path.c_str());
    m_committed = true;
    syncFolderOf(m_target);
    discard();
    return true;
}

bool Replacement::commitOver(File& current, File& written, int& error)
{
    // An open file keeps its data when its name goes to another, so the
    // rename needs nothing of `current`; it is let go only once the new
    // file has the name.
    if (!commit(error))
        return false;
    current = std::move(written);
    return true;
}

void Replacement::discard()
{
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    if (!m_unnamed && !m_committed && !m_path.empty())
        ::unlink(m_path.c_str());
    m_path.clear();
    m_unnamed = false;
}

bool exists(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

bool renameFile(const std::string& from, const std::string& to)
{
    if (injectedFailure(g_failRenameIn)) {
        errno = EIO;
        return false;
    }
    return ::rename(from.c_str(), to.c_str()) == 0;
}

bool removeFile(const std::string& path) { return ::unlink(path.c_str()) == 0; }

void syncFolderOf(const std::string& path)
{
    const int fd = ::open(folderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

std::string errorText(int error)
{
    if (error == EWOULDBLOCK || error == EAGAIN)
        return "The process cannot access the file because it is being used by another process";
    return std::strerror(error);
}

} // namespace zent5::fileio
