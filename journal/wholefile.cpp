#include "journal/wholefile.h"

#include "table/fileio.h"

#include <cerrno>

namespace zent5::journal {

int writeBeside(const std::string& target, const std::vector<uint8_t>& bytes, Target kind)
{
    fileio::Replacement replacement;
    int error = 0;
    if (!replacement.begin(target, error))
        return error;
    fileio::File file;
    if (!file.open(replacement.path(), fileio::OpenMode::Existing, error))
        return error;
    if (!file.writeAt(0, bytes.data(), bytes.size()))
        return errno ? errno : EIO;
    file.close();
    const bool done = kind == Target::New ? replacement.commitAsNew(error) : replacement.commit(error);
    return done ? 0 : (error ? error : EIO);
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
