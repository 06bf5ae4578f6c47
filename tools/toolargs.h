#pragma once

#include "table/dbftable.h"

#include <optional>
#include <string>
#include <vector>

namespace zent5::tool {

// "[--units kn|kgf] TABLE.db OUTPUT": the arguments of the commands that turn
// a table into a file.
struct UnitsAndFiles {
    bool kgf = false;
    std::string table;
    std::string output;
};

// Nothing when the arguments do not fit that form.
std::optional<UnitsAndFiles> parseUnitsAndFiles(const std::vector<std::string>& args);

// Points the table component at a file for reading only: shared with other
// readers, and the file is left exactly as it was.
void pointAtFileForReading(DbfTable& table, const std::string& file);

} // namespace zent5::tool
