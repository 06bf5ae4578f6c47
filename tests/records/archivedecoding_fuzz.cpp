// libFuzzer target for the archive decoding: any bytes as a downloaded
// archive image must decode into rows or raise the decoding's error, in
// both the full and the appending mode, without touching memory outside
// the image. Crashing inputs go into tests/data/records/archive/.
#include "records/archivedecoding.h"
#include "records/error.h"

#include "common/memorycursor.h"
#include "common/scriptedprompter.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

// Also used by the regression test over the kept inputs. The first byte
// picks the mode and how many rows the table holds already; the rest is
// the image.
void exerciseArchive(const uint8_t* data, size_t size);

void exerciseArchive(const uint8_t* data, size_t size)
{
    if (size == 0)
        return;
    const bool append = data[0] & 1;
    const int existing = (data[0] >> 1) & 3;
    ++data;
    --size;

    zent5::ArchiveImage image;
    const size_t n = std::min(size, zent5::ArchiveImage::kCapacity);
    std::memcpy(image.bytes.data(), data, n);
    image.decodedLength = n;
    image.serialNumber = 321;
    image.versionText = "10.10.14";

    zent5::testing::MemoryCursor table;
    static const char* const dates[] = {"01.01.2000", "31.12.2099", "29.02.2024"};
    for (int i = 0; i < existing; ++i)
        table.addDated(dates[i], "12:00:00");
    zent5::testing::ScriptedPrompter prompter;
    try {
        zent5::check_archive(image);
        zent5::flash2pos(append, table, image, prompter);
    } catch (const zent5::Error&) {
    }
}

#ifndef ZENT5_NO_FUZZ_ENTRY
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    exerciseArchive(data, size);
    return 0;
}
#endif
