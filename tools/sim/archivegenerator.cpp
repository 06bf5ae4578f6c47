#include "tools/sim/archivegenerator.h"

namespace zent5::sim {

namespace {

constexpr unsigned kUsedRecordBytes = 11;
constexpr size_t kImageCapacity = 65536;

void putWord(std::vector<uint8_t>& out, size_t at, unsigned value)
{
    out[at] = static_cast<uint8_t>(value & 0xFF);
    out[at + 1] = static_cast<uint8_t>((value >> 8) & 0xFF);
}

} // namespace

std::tm defaultStart()
{
    std::tm t{};
    t.tm_year = 2014 - 1900;
    t.tm_mon = 2;
    t.tm_mday = 5;
    t.tm_hour = 9;
    return t;
}

std::vector<uint8_t> generateArchive(const ArchiveRecipe& recipe, std::string* error)
{
    auto fail = [error](const char* text) {
        if (error)
            *error = text;
        return std::vector<uint8_t>{};
    };
    if (recipe.recordSize < kUsedRecordBytes || recipe.recordSize > 0xFFFF)
        return fail("record size must be 11 to 65535");
    if (recipe.recordCount > 0xFFFF || 4 + size_t{recipe.recordCount} * recipe.recordSize > kImageCapacity)
        return fail("the archive would exceed 65536 bytes");
    if (recipe.diameterCodes.empty())
        return fail("no diameter codes");

    std::vector<uint8_t> image(4 + size_t{recipe.recordCount} * recipe.recordSize, 0xA5);
    putWord(image, 0, recipe.recordCount);
    putWord(image, 2, recipe.recordSize);
    std::tm first = recipe.start;
    const time_t base = timegm(&first);
    for (unsigned i = 0; i < recipe.recordCount; ++i) {
        const size_t at = 4 + size_t{i} * recipe.recordSize;
        const time_t when = base + static_cast<time_t>(i) * recipe.stepSeconds;
        std::tm t{};
        gmtime_r(&when, &t);
        image[at + 0] = static_cast<uint8_t>(t.tm_sec);
        image[at + 1] = static_cast<uint8_t>(t.tm_min);
        image[at + 2] = static_cast<uint8_t>(t.tm_hour);
        image[at + 3] = static_cast<uint8_t>(t.tm_mday);
        image[at + 4] = static_cast<uint8_t>(t.tm_mon + 1);
        image[at + 5] = static_cast<uint8_t>(t.tm_year + 1900 - 2000);
        putWord(image, at + 6, static_cast<unsigned>(recipe.force + static_cast<long>(i) * recipe.forceStep) & 0xFFFF);
        putWord(image, at + 8, recipe.area);
        image[at + 10] = static_cast<uint8_t>(recipe.diameterCodes[i % recipe.diameterCodes.size()]);
    }
    return image;
}

} // namespace zent5::sim
