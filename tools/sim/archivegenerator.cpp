#include "tools/sim/archivegenerator.h"

#include "records/lebytes.h"

#include <chrono>

namespace zent5::sim {

namespace {

constexpr unsigned kUsedRecordBytes = 11;
constexpr size_t kImageCapacity = 65536;

void putWord(std::vector<uint8_t>& out, size_t at, unsigned value)
{
    le::put16(out.data() + at, static_cast<uint16_t>(value & 0xFFFF));
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
    // The instrument's clock knows no time zones: the moments are counted
    // on a plain calendar, the start's fields taken as they stand.
    using namespace std::chrono;
    const std::tm& s = recipe.start;
    const sys_seconds base = sys_days(year(s.tm_year + 1900) / month(unsigned(s.tm_mon + 1)) / day(1)) +
                             days(s.tm_mday - 1) + hours(s.tm_hour) + minutes(s.tm_min) + seconds(s.tm_sec);
    for (unsigned i = 0; i < recipe.recordCount; ++i) {
        const size_t at = 4 + size_t{i} * recipe.recordSize;
        const sys_seconds when = base + seconds(static_cast<long long>(i) * recipe.stepSeconds);
        const sys_days date = floor<days>(when);
        const year_month_day ymd(date);
        const hh_mm_ss<seconds> clock(when - date);
        image[at + 0] = static_cast<uint8_t>(clock.seconds().count());
        image[at + 1] = static_cast<uint8_t>(clock.minutes().count());
        image[at + 2] = static_cast<uint8_t>(clock.hours().count());
        image[at + 3] = static_cast<uint8_t>(unsigned(ymd.day()));
        image[at + 4] = static_cast<uint8_t>(unsigned(ymd.month()));
        image[at + 5] = static_cast<uint8_t>(int(ymd.year()) - 2000);
        putWord(image, at + 6, static_cast<unsigned>(recipe.force + static_cast<long>(i) * recipe.forceStep) & 0xFFFF);
        putWord(image, at + 8, recipe.area);
        image[at + 10] = static_cast<uint8_t>(recipe.diameterCodes[i % recipe.diameterCodes.size()]);
    }
    return image;
}

} // namespace zent5::sim
