// libFuzzer target: arbitrary byte batches into the download protocol.
#include "tests/link/protocolfuzzinput.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (!zent5::testing::playProtocolScript(data, size))
        std::abort();
    return 0;
}
