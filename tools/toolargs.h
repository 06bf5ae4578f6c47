#pragma once

#include "records/units.h"

#include <optional>
#include <string>
#include <vector>

namespace zent5::tool {

// "[--units kn|kgf] TABLE.db OUTPUT": the arguments of the commands that turn
// a table into a file.
struct UnitsAndFiles {
    Units units = Units::KiloNewton;
    std::string table;
    std::string output;
};

// Nothing when the arguments do not fit that form.
std::optional<UnitsAndFiles> parseUnitsAndFiles(const std::vector<std::string>& args);

// The value of "--units": "kn" or "kgf"; nothing for any other text.
std::optional<Units> parseUnitsName(const std::string& name);

// A command's arguments taken apart: the options, "--name VALUE" or
// "--name=VALUE" (each takes a value; the last may be left without), and
// the other arguments, each in the order given.
struct CommandArguments {
    struct Option {
        std::string name;
        std::optional<std::string> value;
        std::string given; // as typed, for messages
    };
    std::vector<Option> options;
    std::vector<std::string> files;
};
CommandArguments splitArguments(const std::vector<std::string>& args);

// What is wrong when `files` is not exactly one table file; empty otherwise.
std::string oneTableProblem(const std::vector<std::string>& files);

// Says on the error stream what is wrong with a command's arguments
// ("zent5-tool COMMAND: WHAT", left out when `what` is empty), then the
// command's usage lines; the exit status of wrong arguments, 2.
int usageError(const char* command, const std::string& what, const char* usage);

// A number typed on the command line, with "." or "," as the decimal
// separator ("12.5", "12,5"), whatever the C locale; nothing when the text
// is not a finite number.
std::optional<double> parseNumberArgument(const std::string& text);

} // namespace zent5::tool
