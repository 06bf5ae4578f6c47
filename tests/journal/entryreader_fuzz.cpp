// libFuzzer target for the journal's entry reader: any bytes as an entry
// file must give an entry or raise the reader's error, never touch memory
// outside the bytes; an entry that reads writes back to the same bytes.
// Crashing inputs go into tests/data/journal/entries/.
#include "journal/entryformat.h"
#include "records/error.h"

#include <cstdint>
#include <cstdlib>

// Also used by the regression test over the kept inputs.
void exerciseEntryReader(const uint8_t* data, size_t size);

void exerciseEntryReader(const uint8_t* data, size_t size)
{
    zent5::journal::Entry entry;
    try {
        entry = zent5::journal::decodeEntry(data, size);
    } catch (const zent5::Error&) {
        return;
    }
    const std::vector<uint8_t> again = zent5::journal::encodeEntry(entry);
    if (again != std::vector<uint8_t>(data, data + size))
        std::abort();
}

#ifndef ZENT5_NO_FUZZ_ENTRY
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    exerciseEntryReader(data, size);
    return 0;
}
#endif
