#pragma once

#include "records/bytesink.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace zent5 {

// Result codes of the structured-storage calls, as the error texts
// "StgCreateDocFile error %d" and "CreateStream error %d" show them (the
// values of the platform where these texts come from, printed signed).
namespace storage {
inline constexpr int32_t kPathNotFound = int32_t(0x80030003);      // no such folder
inline constexpr int32_t kTooManyOpenFiles = int32_t(0x80030004);
inline constexpr int32_t kAccessDenied = int32_t(0x80030005);      // no right to write, or not a file
inline constexpr int32_t kInsufficientMemory = int32_t(0x80030008);
inline constexpr int32_t kWriteFault = int32_t(0x8003001D);        // input/output error
inline constexpr int32_t kMediumFull = int32_t(0x80030070);        // disk full or quota
inline constexpr int32_t kInvalidName = int32_t(0x800300FC);       // name too long
inline constexpr int32_t kFail = int32_t(0x80004005);              // anything else
} // namespace storage

// Writes a new compound document at `path` whose root holds one stream,
// `streamName`, with `bytes`, and nothing else (no class id, no summary
// information). The document is built beside the target under a temporary
// name and takes the target's name only when complete, so an existing file
// is replaced whole or not at all. Throws zent5::Error:
//   "StgCreateDocFile error %d" when the document cannot be created,
//   "CreateStream error %d" when the stream cannot be created in it,
//   the platform's own text when writing fails;
// in every case nothing is left behind and an existing file is untouched.
void writeCompoundDocument(const std::string& path, const std::string& streamName, const std::vector<uint8_t>& bytes);

// The same with the stream made while the document is written: `produce`
// writes the stream's bytes to the sink it is given, in as many pieces as it
// likes, and may overwrite bytes it wrote before. The sink throws the texts
// above when writing fails; whatever `produce` throws leaves nothing behind
// either and reaches the caller.
void writeCompoundDocument(const std::string& path, const std::string& streamName,
                           const std::function<void(ByteSink&)>& produce);

} // namespace zent5
