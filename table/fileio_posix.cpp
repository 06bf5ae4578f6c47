#include "table/fileio.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

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
    const size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
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
