#include "journal/archivedump.h"

#include "journal/wholefile.h"
#include "records/error.h"

#include <algorithm>

namespace zent5::journal {
namespace {

void writeDump(std::vector<uint8_t> bytes, const std::string& path)
{
    if (writeBeside(path, bytes, Target::Replace) != 0)
        throw Error("Не удалось записать файл " + path);
}

} // namespace

void writeArchiveDump(const ArchiveImage& image, const std::string& path)
{
    const size_t length = std::min(image.decodedLength, ArchiveImage::kCapacity);
    writeDump(std::vector<uint8_t>(image.bytes.begin(), image.bytes.begin() + length), path);
}

void writeArchiveDump(const Entry& entry, const std::string& path) { writeDump(entry.image, path); }

} // namespace zent5::journal
