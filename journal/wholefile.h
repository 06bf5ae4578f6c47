#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Whole small files through the table's file seam, so that tests can fail
// any write or rename on the way.
namespace zent5::journal {

enum class Target {
    New,      // the temporary file must not exist yet (a name nobody else uses)
    Replace,  // an old file of the name gives way, keeping its permissions
};

// Writes the bytes into `temporary`, makes them durable, then gives the
// file the name `target`: a reader sees the old file or the whole new one,
// never part of it. Returns 0, or the error number of the step that failed,
// with the temporary file removed again.
int writeBeside(const std::string& temporary, const std::string& target, const std::vector<uint8_t>& bytes,
                Target kind);

// "folder/.name.tmp": the hidden temporary for a file that is replaced.
std::string hiddenTemporaryFor(const std::string& target);

// Reads a whole file of at most `limit` bytes. Returns 0 or an error
// number (EFBIG when the file is longer than the limit).
int readWhole(const std::string& path, size_t limit, std::vector<uint8_t>& bytes);

} // namespace zent5::journal
