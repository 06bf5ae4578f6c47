#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zent5::testing {

// One test as the instrument's archive holds it.
struct ArchiveTest {
    uint8_t seconds, minutes, hours, day, month, year;
    uint16_t force, area;
    uint8_t diameterCode;
};

// The bytes of an archive as the instrument sends them decoded: the count
// of records and their size, then each record; a record longer than the
// eleven bytes the program reads is filled up with 0x5A.
inline std::string archiveBytes(const std::vector<ArchiveTest>& tests, unsigned recordSize = 11)
{
    std::string image;
    auto u16 = [&image](unsigned v) {
        image += char(v & 0xFF);
        image += char(v >> 8);
    };
    u16(unsigned(tests.size()));
    u16(recordSize);
    for (const ArchiveTest& t : tests) {
        image += {char(t.seconds), char(t.minutes), char(t.hours), char(t.day), char(t.month), char(t.year)};
        u16(t.force);
        u16(t.area);
        image += char(t.diameterCode);
        image += std::string(recordSize - 11, '\x5A');
    }
    return image;
}

} // namespace zent5::testing
