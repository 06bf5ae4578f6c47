#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Whole small files through the table's file seam, so that tests can fail
// any write or rename on the way.
namespace zent5::journal {

enum class Target {
    New,      // a name nobody else uses: a file that has it by then is left alone (EEXIST)
    Replace,  // an old file of the name gives way, keeping its permissions
};

// Writes the bytes into a new file beside `target`, makes them durable,
// then gives the file the name `target`: a reader sees the old file or the
// whole new one, never part of it. Returns 0, or the error number of the
// step that failed, with nothing of the new file left.
int writeBeside(const std::string& target, const std::vector<uint8_t>& bytes, Target kind);

// Reads a whole file of at most `limit` bytes. Returns 0 or an error
// number (EFBIG when the file is longer than the limit).
int readWhole(const std::string& path, size_t limit, std::vector<uint8_t>& bytes);

} // namespace zent5::journal
