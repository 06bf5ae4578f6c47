// The manual pages and the --help of the programs list the same commands,
// options and exit states, so that neither can be changed alone.
#include "tests/tools/tooltestsupport.h"

#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

namespace zent5::testing {
namespace {

using Names = std::set<std::string>;

std::string read_file(const std::string& path)
{
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

Names long_options(const std::string& text)
{
    Names found;
    static const std::regex option(R"(--[a-z][a-z0-9-]*)");
    for (auto it = std::sregex_iterator(text.begin(), text.end(), option); it != std::sregex_iterator(); ++it)
        found.insert(it->str());
    return found;
}

// The sections (.SH) of a manual page, and the subsections (.SS) inside one,
// by their first word, with roff's escapes taken out.
std::map<std::string, std::string> roff_parts(const std::string& page, const char* macro)
{
    std::map<std::string, std::string> parts;
    std::string* current = nullptr;
    std::istringstream lines(page);
    const std::string head = std::string(macro) + " ";
    for (std::string line; std::getline(lines, line);) {
        line = std::regex_replace(line, std::regex(R"(\\f[BIRP])"), "");
        line = std::regex_replace(line, std::regex(R"(\\-)"), "-");
        if (line.rfind(head, 0) == 0) {
            std::istringstream words(line.substr(head.size()));
            std::string name;
            words >> name;
            current = &parts[name];
            continue;
        }
        if (line.rfind(".SH ", 0) == 0)
            current = nullptr;
        if (current)
            *current += line + "\n";
    }
    return parts;
}

Names exit_states_in_help(const std::string& help)
{
    Names states;
    static const std::regex status(R"(exit status: (.*))");
    std::smatch m;
    if (!std::regex_search(help, m, status))
        return states;
    static const std::regex code(R"((\d+) [a-z])");
    const std::string list = m[1];
    for (auto it = std::sregex_iterator(list.begin(), list.end(), code); it != std::sregex_iterator(); ++it)
        states.insert((*it)[1]);
    return states;
}

Names exit_states_in_page(const std::string& page)
{
    Names states;
    std::istringstream lines(roff_parts(page, ".SH")["EXIT"]);
    static const std::regex code(R"(^\.B (\d+)$)");
    std::smatch m;
    for (std::string line; std::getline(lines, line);)
        if (std::regex_match(line, m, code))
            states.insert(m[1]);
    return states;
}

std::string page(const char* name) { return read_file(std::string(ZENT5_MAN_DIR "/") + name); }

TEST(ManualPages, ToolHelpAndPageListTheSameCommandsOptionsAndExitStates)
{
    ToolFolder folder;
    const ProgramRun help = folder.tool({"--help"});
    ASSERT_EQ(help.code, 0) << help.err;
    const std::string man = page("zent5-tool.1");
    ASSERT_FALSE(man.empty());

    // "  command options...", continued on lines indented further; "  --help".
    std::map<std::string, Names> helpCommands;
    Names helpGlobal;
    std::string command;
    std::istringstream lines(help.out);
    static const std::regex commandLine(R"(^  ([a-z][a-z0-9-]*)(\s.*)?$)");
    static const std::regex globalLine(R"(^  (--[a-z][a-z0-9-]*).*$)");
    std::smatch m;
    for (std::string line; std::getline(lines, line);) {
        if (std::regex_match(line, m, commandLine)) {
            command = m[1];
            helpCommands[command] = long_options(m[2]);
        } else if (std::regex_match(line, m, globalLine)) {
            command.clear();
            helpGlobal.insert(m[1]);
        } else if (!command.empty() && line.rfind("    ", 0) == 0) {
            helpCommands[command].merge(long_options(line));
        } else {
            command.clear();
        }
    }

    // Every command takes --help for itself; the page may say so.
    std::map<std::string, Names> pageCommands;
    for (auto& [name, text] : roff_parts(roff_parts(man, ".SH")["COMMANDS"], ".SS")) {
        Names options = long_options(text);
        options.erase("--help");
        pageCommands[name] = options;
    }
    EXPECT_EQ(pageCommands, helpCommands);
    EXPECT_EQ(long_options(roff_parts(man, ".SH")["OPTIONS"]), helpGlobal);
    EXPECT_EQ(exit_states_in_page(man), exit_states_in_help(help.out));
    EXPECT_EQ(exit_states_in_help(help.out), (Names{"0", "1", "2"}));
}

TEST(ManualPages, SimulatorHelpAndPageListTheSameOptionsAndExitStates)
{
    ToolFolder folder;
    const ProgramRun help = folder.run(kSimulatorProgram, {"--help"});
    ASSERT_EQ(help.code, 0) << help.err;
    const std::string man = page("zent5-sim.1");
    ASSERT_FALSE(man.empty());

    Names helpOptions;
    std::istringstream lines(help.out);
    static const std::regex optionLine(R"(^  (--[a-z][a-z0-9-]*).*$)");
    std::smatch m;
    for (std::string line; std::getline(lines, line);)
        if (std::regex_match(line, m, optionLine))
            helpOptions.insert(m[1]);

    EXPECT_GE(helpOptions.size(), 20u);
    EXPECT_EQ(long_options(roff_parts(man, ".SH")["OPTIONS"]), helpOptions);
    EXPECT_EQ(exit_states_in_page(man), exit_states_in_help(help.out));
    EXPECT_EQ(exit_states_in_help(help.out), (Names{"0", "1", "2"}));
}

} // namespace
} // namespace zent5::testing
