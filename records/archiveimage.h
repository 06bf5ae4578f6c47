#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace zent5 {

// What a download leaves behind for the decoding: the instrument's archive
// as a memory image (record count and record size, then the records), the
// identification values and the port. It stays in memory until the next
// download.
struct ArchiveImage {
    static constexpr size_t kCapacity = 65536;

    std::array<uint8_t, kCapacity> bytes{};
    size_t decodedLength = 0; // bytes filled by the last successful download
    uint16_t serialNumber = 0;
    std::string versionText;  // "10.10.14"
    uint8_t kind = 0;
    uint8_t model = 0;
    std::string port; // the port the archive came through ("\\.\COM1")
};

} // namespace zent5
