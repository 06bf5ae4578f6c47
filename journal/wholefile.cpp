#include "journal/wholefile.h"

#include "table/fileio.h"

#include <cerrno>

namespace zent5::journal {

int writeBeside(const std::string& temporary, const std::string& target, const std::vector<uint8_t>& bytes,
                Target kind)
{
    fileio::File file;
    int error = 0;
    const auto mode = kind == Target::New ? fileio::OpenMode::CreateExclusive : fileio::OpenMode::CreateOrTruncate;
    if (!file.open(temporary, mode, error))
        return error;
    auto fail = [&](int e) {
        file.close();
        fileio::removeFile(temporary);
        return e ? e : EIO;
    };
    if (!file.writeAt(0, bytes.data(), bytes.size()))
        return fail(errno);
    if (!file.sync())
        return fail(errno);
    if (kind == Target::Replace) {
        fileio::File old;
        int ignored = 0;
        if (old.open(target, fileio::OpenMode::ReadOnly, ignored))
            file.copyPermissionsFrom(old);
    }
    file.close();
    if (!fileio::renameFile(temporary, target))
        return fail(errno);
    fileio::syncFolderOf(target);
    return 0;
}

std::string hiddenTemporaryFor(const std::string& target)
{
    const size_t slash = target.rfind('/');
    const size_t nameAt = slash == std::string::npos ? 0 : slash + 1;
    return target.substr(0, nameAt) + "." + target.substr(nameAt) + ".tmp";
}

int readWhole(const std::string& path, size_t limit, std::vector<uint8_t>& bytes)
{
    fileio::File file;
    int error = 0;
    if (!file.open(path, fileio::OpenMode::ReadOnly, error))
        return error;
    const int64_t size = file.size();
    if (size < 0)
        return errno ? errno : EIO;
    if (uint64_t(size) > limit)
        return EFBIG;
    bytes.resize(size_t(size));
    const int64_t got = file.readAt(0, bytes.data(), bytes.size());
    if (got < 0)
        return errno ? errno : EIO;
    // A file that shrank meanwhile is read as it is now.
    bytes.resize(size_t(got));
    return 0;
}

} // namespace zent5::journal
