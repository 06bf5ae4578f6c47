#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace zent5 {

// The cell texts of a sheet, one byte per character, packed one after the
// other in large blocks: a sheet of many short texts then takes little more
// memory than the characters themselves. Texts are never moved; one that a
// cell no longer holds keeps its place until the sheet goes.
class XlsTextStore {
public:
    struct Location {
        uint32_t block = 0;
        uint32_t offset = 0;
    };

    XlsTextStore() = default;
    XlsTextStore(const XlsTextStore&) = delete;
    XlsTextStore& operator=(const XlsTextStore&) = delete;

    Location add(std::string_view text);
    std::string_view at(Location where) const;
    // Puts `text` in the place of the text at `where` if it is no longer;
    // false, and nothing changed, when it is.
    bool replace(Location where, std::string_view text);

private:
    static constexpr size_t kBlockBytes = 256 * 1024;
    static constexpr size_t kLengthBytes = 4;

    std::vector<std::unique_ptr<char[]>> m_blocks;
    size_t m_current = 0; // the block that takes the next short texts
    size_t m_used = kBlockBytes;
};

} // namespace zent5
