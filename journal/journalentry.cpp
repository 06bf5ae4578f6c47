#include "journal/journalentry.h"

#include "records/lebytes.h"

#include <algorithm>

namespace zent5::journal {

uint16_t recordCountOf(const std::vector<uint8_t>& image)
{
    return image.size() >= 2 ? le::get16(image.data()) : 0;
}

Entry makeEntry(const ArchiveImage& image, const Download& download)
{
    Entry entry;
    const size_t length = std::min(image.decodedLength, ArchiveImage::kCapacity);
    entry.image.assign(image.bytes.begin(), image.bytes.begin() + length);
    entry.info.kind = image.kind;
    entry.info.model = image.model;
    entry.info.versionText = image.versionText;
    entry.info.serialNumber = image.serialNumber;
    entry.info.download = download;
    entry.info.imageLength = uint32_t(length);
    entry.info.recordCount = recordCountOf(entry.image);
    return entry;
}

void restoreArchiveImage(const Entry& entry, ArchiveImage& image)
{
    const size_t length = std::min(entry.image.size(), ArchiveImage::kCapacity);
    std::copy_n(entry.image.begin(), length, image.bytes.begin());
    std::fill(image.bytes.begin() + length, image.bytes.end(), uint8_t(0));
    image.decodedLength = length;
    image.serialNumber = entry.info.serialNumber;
    image.versionText = entry.info.versionText;
    image.kind = entry.info.kind;
    image.model = entry.info.model;
}

} // namespace zent5::journal
