#pragma once

#include <cstddef>
#include <cstdint>

namespace zent5::journal {

// The common CRC-32 (the one of zip and PNG: reflected, polynomial
// 0xEDB88320, initial and final value 0xFFFFFFFF); "123456789" gives 0xCBF43926.
uint32_t crc32(const uint8_t* data, size_t size);

} // namespace zent5::journal
