#pragma once

#include <string>
#include <vector>

// The subcommands of zent5-tool. Each takes the arguments after its name and
// returns the process exit code: 0 success, 1 failure, 2 usage error.
namespace zent5::tool {

int runRows(const std::vector<std::string>& args);
int runRenumber(const std::vector<std::string>& args);
int runDelete(const std::vector<std::string>& args);
int runDownload(const std::vector<std::string>& args);
int runExport(const std::vector<std::string>& args);
int runReport(const std::vector<std::string>& args);
int runStats(const std::vector<std::string>& args);
int runJournal(const std::vector<std::string>& args);
int runInstruments(const std::vector<std::string>& args);

} // namespace zent5::tool
