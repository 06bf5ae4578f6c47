#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

// Builds an instrument archive image from a few numbers, for the simulator,
// the tests and the benchmarks. Layout (little-endian):
//   0  record count (16-bit)    2  record size (16-bit)    4  records
// Record: 0 seconds, 1 minutes, 2 hours, 3 day, 4 month, 5 year after 2000,
//   6 force in 0.01 kN (16-bit), 8 area in 0.001 cm² (16-bit),
//   10 diameter code, 11.. unused by the program (filled with 0xA5).
namespace zent5::sim {

// 05.03.2014 09:00:00.
std::tm defaultStart();

struct ArchiveRecipe {
    unsigned recordCount = 3;
    unsigned recordSize = 16;
    std::tm start = defaultStart();  // first record's moment
    long stepSeconds = 3600;         // between consecutive records
    unsigned force = 1234;           // first record, 0.01 kN
    int forceStep = 100;             // added per record, modulo 65536
    unsigned area = 503;             // 0.001 cm²
    std::vector<unsigned> diameterCodes{1}; // used in turn
};

// The image, or an empty vector with `error` set when the recipe cannot be
// stored (record size below 11, or more than 65,536 bytes in all).
std::vector<uint8_t> generateArchive(const ArchiveRecipe& recipe, std::string* error = nullptr);

} // namespace zent5::sim
