#include "table/filecopy.h"

#include "records/error.h"
#include "table/fileerrors.h"

#include <cerrno>
#include <vector>

namespace zent5 {

void copyFileBytes(const fileio::File& from, const std::string& fromPath, fileio::File& to)
{
    std::vector<char> block(1 << 20);
    for (uint64_t at = 0;;) {
        const int64_t n = from.readAt(at, block.data(), block.size());
        if (n < 0)
            throw Error(fileerrors::cannotOpen(fromPath, EIO));
        if (n == 0)
            break;
        if (!to.writeAt(at, block.data(), size_t(n)))
            throw Error(fileerrors::kWriteFailed);
        at += uint64_t(n);
    }
}

} // namespace zent5
