#include "table/languagedriver.h"

#include <algorithm>

namespace zent5::language {
namespace {

struct Driver {
    uint8_t id;
    int codePage;
    uint32_t locale; // 0: none
};

constexpr Driver kDrivers[] = {
    {0x01, 437, 0x0409},   {0x02, 850, 0x0809},   {0x03, 1252, 0x0809},  {0x04, 10000, 0x0809},
    {0x08, 865, 0x0406},   {0x09, 437, 0x0413},   {0x0A, 850, 0x0413},   {0x0B, 437, 0x040B},
    {0x0C, 850, 0x040B},   {0x0D, 437, 0x040C},   {0x0E, 850, 0x040C},   {0x0F, 437, 0x0407},
    {0x10, 850, 0x0407},   {0x11, 437, 0x0410},   {0x12, 850, 0x0410},   {0x13, 932, 0x0411},
    {0x14, 850, 0x040A},   {0x15, 437, 0x041D},   {0x16, 850, 0x041D},   {0x17, 865, 0x0414},
    {0x18, 437, 0x040A},   {0x19, 437, 0x0809},   {0x1A, 850, 0x0809},   {0x1B, 437, 0x0409},
    {0x1C, 863, 0x0C0C},   {0x1D, 850, 0x0C0C},   {0x1F, 852, 0x0405},   {0x20, 867, 0x0405},
    {0x22, 852, 0x040E},   {0x23, 852, 0x0415},   {0x24, 860, 0x0416},   {0x25, 850, 0x0416},
    {0x26, 866, 0x0419},   {0x37, 850, 0x0409},   {0x4D, 936, 0x0804},   {0x4E, 949, 0x0412},
    {0x4F, 950, 0x0404},   {0x50, 874, 0x041E},   {0x56, 932, 0x0411},   {0x57, 1252, 0},
    {0x58, 1252, 0x0809},  {0x59, 1252, 0x040A},  {0x5E, 437, 0x0407},   {0x5F, 437, 0x0414},
    {0x60, 850, 0x0414},   {0x61, 1252, 0x0407},  {0x62, 1252, 0x0414},  {0x64, 852, 0x0405},
    {0x65, 866, 0x0419},   {0x66, 865, 0x0414},   {0x67, 861, 0x040F},   {0x68, 895, 0x0405},
    {0x69, 620, 0x0415},   {0x6A, 737, 0x0408},   {0x6B, 857, 0x041F},   {0x78, 950, 0x0C04},
    {0x79, 949, 0x0412},   {0x7A, 936, 0x21004},  {0x7B, 932, 0x0411},   {0x7C, 874, 0x041E},
    {0x7D, 1255, 0x040D},  {0x7E, 1256, 0x0401},  {0x85, 862, 0x040D},   {0x86, 437, 0x0408},
    {0x87, 852, 0x041B},   {0x88, 857, 0x041F},   {0x8E, 868, 0x0402},   {0x96, 10007, 0x0419},
    {0x97, 10029, 0x0405}, {0x98, 10006, 0x0408}, {0x9B, 1250, 0x0405},  {0x9C, 850, 0x0405},
    {0xC8, 1250, 0x0405},  {0xC9, 1251, 0x0419},  {0xCA, 1254, 0x041F},  {0xCB, 1253, 0x0408},
};

const Driver* find(uint8_t id)
{
    for (const Driver& d : kDrivers)
        if (d.id == id)
            return &d;
    return nullptr;
}

// The highest matching id in 0x05..0x5D, else the highest matching id outside it.
template <typename Match> uint8_t pick(Match match)
{
    int inRange = -1;
    int outside = -1;
    for (const Driver& d : kDrivers) {
        if (!match(d))
            continue;
        if (d.id >= 0x05 && d.id <= 0x5D)
            inRange = std::max(inRange, int(d.id));
        else
            outside = std::max(outside, int(d.id));
    }
    return uint8_t(inRange >= 0 ? inRange : outside >= 0 ? outside : 0);
}

} // namespace

int codePageOf(uint8_t id)
{
    const Driver* d = find(id);
    return d ? d->codePage : 0;
}

uint32_t localeOf(uint8_t id)
{
    const Driver* d = find(id);
    return d ? d->locale : 0;
}

uint8_t systemDefault(int ansiCodePage, uint32_t userLocale)
{
    const uint32_t locale = userLocale & 0xFFFF;
    uint8_t id = pick([&](const Driver& d) { return d.codePage == ansiCodePage && d.locale == locale; });
    if (id == 0)
        id = pick([&](const Driver& d) { return d.locale == locale; });
    return id;
}

int tableCodePage(uint8_t id, int ansiCodePage)
{
    const int cp = codePageOf(id);
    return cp != 0 ? cp : ansiCodePage;
}

} // namespace zent5::language
