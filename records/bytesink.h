#pragma once

#include <cstddef>
#include <cstdint>

namespace zent5 {

// Where a stream's bytes go as they are made: a file's stream or memory.
// Bytes are appended in order; a few fields whose values are known only
// later (lengths, stream positions) are filled in where they already stand.
class ByteSink {
public:
    virtual ~ByteSink() = default;
    virtual void write(const uint8_t* data, size_t n) = 0;
    // Replaces n bytes written before at stream position `at`.
    virtual void overwrite(size_t at, const uint8_t* data, size_t n) = 0;
};

} // namespace zent5
