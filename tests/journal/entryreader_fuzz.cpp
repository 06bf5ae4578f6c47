// libFuzzer target for the journal's entry reader: any bytes as an entry
// file must give an entry or raise the reader's error, never touch memory
// outside the bytes; an entry that reads writes back to the same bytes.
// Each input is also read with its length field and checksum made right,
// so that the fields behind the checksum get fuzzed too.
// Crashing inputs go into tests/data/journal/entries/.
#include "journal/crc32.h"
#include "journal/entryformat.h"
#include "records/error.h"
#include "records/lebytes.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

// Also used by the regression test over the kept inputs.
void exerciseEntryReader(const uint8_t* data, size_t size);

namespace {

void readAndWriteBack(const std::vector<uint8_t>& bytes)
{
    zent5::journal::Entry entry;
    try {
        entry = zent5::journal::decodeEntry(bytes.data(), bytes.size());
    } catch (const zent5::Error&) {
        return;
    }
    if (zent5::journal::encodeEntry(entry) != bytes)
        std::abort();
}

} // namespace

void exerciseEntryReader(const uint8_t* data, size_t size)
{
    std::vector<uint8_t> bytes(data, data + size);
    readAndWriteBack(bytes);
    // Where the length field and the checksum sit in an entry file.
    constexpr size_t kLengthOffset = 10;
    constexpr size_t kFixedFields = 36;
    if (bytes.size() >= kFixedFields + 4) {
        zent5::le::put32(bytes.data() + kLengthOffset, uint32_t(bytes.size()));
        zent5::le::put32(bytes.data() + bytes.size() - 4, zent5::journal::crc32(bytes.data(), bytes.size() - 4));
        readAndWriteBack(bytes);
    }
}

#ifndef ZENT5_NO_FUZZ_ENTRY
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    exerciseEntryReader(data, size);
    return 0;
}
#endif
