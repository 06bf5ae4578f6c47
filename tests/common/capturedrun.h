#pragma once

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

namespace zent5::testing {

struct ToolRun {
    int code = -1;
    std::string out;
    std::string err;
};

// Runs a tool command in this process with stdout and stderr caught in two
// files of `folder`, which are removed again.
template <class Command>
ToolRun runCaptured(Command&& command, const std::string& folder)
{
    const std::string outPath = folder + "/stdout.txt";
    const std::string errPath = folder + "/stderr.txt";
    std::fflush(stdout);
    std::fflush(stderr);
    const int savedOut = dup(1);
    const int savedErr = dup(2);
    FILE* out = std::fopen(outPath.c_str(), "w");
    FILE* err = std::fopen(errPath.c_str(), "w");
    dup2(fileno(out), 1);
    dup2(fileno(err), 2);
    ToolRun r;
    r.code = command();
    std::fflush(stdout);
    std::fflush(stderr);
    dup2(savedOut, 1);
    dup2(savedErr, 2);
    close(savedOut);
    close(savedErr);
    std::fclose(out);
    std::fclose(err);
    std::ifstream o(outPath, std::ios::binary), e(errPath, std::ios::binary);
    r.out.assign(std::istreambuf_iterator<char>(o), {});
    r.err.assign(std::istreambuf_iterator<char>(e), {});
    std::remove(outPath.c_str());
    std::remove(errPath.c_str());
    return r;
}

} // namespace zent5::testing
