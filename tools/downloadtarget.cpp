#include "tools/downloadtarget.h"

#include "records/error.h"
#include "table/fileio.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace zent5::tool {

namespace {

// The table component's own texts, so the user reads the same words as
// when the table is written in place.
const char* const kWriteFailed = "Error while writing occurred. (Disk full?)";

std::string cannotOpen(const std::string& path, int error)
{
    return "Cannot open file \"" + path + "\". " + fileio::errorText(error);
}

std::string cannotCreate(const std::string& path, int error)
{
    return "Cannot create file \"" + path + "\". " + fileio::errorText(error);
}

bool writeAll(int fd, const char* data, size_t size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= size_t(n);
    }
    return true;
}

void syncFolder(const std::string& folder)
{
    const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

DownloadTarget::DownloadTarget(const std::string& target) : m_path(target)
{
    // A link keeps pointing at the table: the file behind it is replaced.
    struct stat st;
    if (::lstat(target.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        if (char* real = ::realpath(target.c_str(), nullptr)) {
            m_path = real;
            std::free(real);
        }
    }
    const size_t slash = m_path.rfind('/');
    m_folder = slash == std::string::npos ? std::string() : m_path.substr(0, slash + 1);
    m_name = slash == std::string::npos ? m_path : m_path.substr(slash + 1);
}

DownloadTarget::~DownloadTarget()
{
    removeTemporary();
}

void DownloadTarget::checkFolder() const
{
    if (::access(m_folder.empty() ? "." : m_folder.c_str(), W_OK | X_OK) != 0)
        throw Error(cannotCreate(m_path, errno));
}

void DownloadTarget::lockExisting()
{
    if (!fileio::exists(m_path))
        return;
    int error = 0;
    if (!m_lock.open(m_path, fileio::OpenMode::ReadOnly, error) || !m_lock.lockExclusive(error)) {
        m_lock.close();
        throw Error(cannotOpen(m_path, error));
    }
}

void DownloadTarget::makeTemporary()
{
    removeTemporary();
    // Hidden, and with the table extension so that nothing mistakes it for
    // the target or its index.
    std::string pattern = m_folder + "." + m_name + ".XXXXXX.db";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    const int fd = ::mkstemps(buffer.data(), 3);
    if (fd < 0)
        throw Error(cannotCreate(m_path, errno));
    ::close(fd);
    m_temporaryName = std::string(buffer.data()).substr(m_folder.size());
}

void DownloadTarget::reserve()
{
    makeTemporary();
}

void DownloadTarget::reserveCopy()
{
    makeTemporary();
    const std::string temporary = m_folder + m_temporaryName;
    const int in = ::open(m_path.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0)
        throw Error(cannotCreate(m_path, errno));
    const int out = ::open(temporary.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    bool ok = out >= 0;
    std::vector<char> block(1 << 16);
    while (ok) {
        const ssize_t n = ::read(in, block.data(), block.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            ok = n == 0;
            break;
        }
        ok = writeAll(out, block.data(), size_t(n));
    }
    ::close(in);
    if (out >= 0 && ::close(out) != 0)
        ok = false;
    if (!ok)
        throw Error(kWriteFailed);
}

void DownloadTarget::commit()
{
    const std::string temporary = m_folder + m_temporaryName;
    mode_t mode = 0;
    struct stat st;
    if (::stat(m_path.c_str(), &st) == 0) {
        mode = st.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    const int fd = ::open(temporary.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        throw Error(kWriteFailed);
    // On disk before the name points at it, so a crash leaves a whole file.
    const bool synced = ::fsync(fd) == 0;
    ::fchmod(fd, mode);
    ::close(fd);
    if (!synced)
        throw Error(kWriteFailed);
    if (::rename(temporary.c_str(), m_path.c_str()) != 0)
        throw Error(cannotCreate(m_path, errno));
    m_committed = true;
    syncFolder(m_folder);
}

void DownloadTarget::removeTemporary()
{
    if (m_temporaryName.empty() || m_committed)
        return;
    ::unlink((m_folder + m_temporaryName).c_str());
    m_temporaryName.clear();
}

} // namespace zent5::tool
