// libFuzzer target for the saved column layout: any text kept in the
// settings must apply to the grid's columns or raise the layout's error and
// leave the columns as they were. Crashing inputs go into
// tests/data/app/layout/.
#include "records/gridcolumns.h"
#include "app/gridlayout.h"
#include "records/error.h"

#include <cstdint>
#include <cstdlib>
#include <string>

// Also used by the regression test over the kept inputs; false when a
// refused text changed the columns.
bool exerciseLayout(const std::string& text);

bool exerciseLayout(const std::string& text)
{
    zent5::GridColumns columns = zent5::GridColumns::measurement();
    const zent5::GridColumns before = columns;
    try {
        zent5::apply_layout_text(text, columns);
        // What was applied must survive a save and a load unchanged.
        const std::string saved = zent5::layout_text(columns);
        zent5::GridColumns again = zent5::GridColumns::measurement();
        zent5::apply_layout_text(saved, again);
        return zent5::layout_text(again) == saved;
    } catch (const zent5::Error&) {
        return zent5::layout_text(columns) == zent5::layout_text(before);
    }
}

#ifndef ZENT5_NO_FUZZ_ENTRY
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (!exerciseLayout(std::string(reinterpret_cast<const char*>(data), size)))
        std::abort();
    return 0;
}
#endif
