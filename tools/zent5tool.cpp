#include "commands.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

// Every command and option here is also in the manual page zent5-tool(1);
// a test keeps the two lists the same.
void printUsage(std::FILE* to)
{
    std::fputs("usage: zent5-tool COMMAND ARGS\n"
               "  rows [--sort FIELD[:desc]] TABLE.db            print the table's rows as CSV\n"
               "  renumber TABLE.db                              number the rows 1, 2, ... in file order\n"
               "  delete TABLE.db N...                           delete the rows numbered N\n"
               "  download [--port DEVICE] [--append] [--timeout SECONDS]\n"
               "           [--no-journal] TABLE.db               download the instrument's archive\n"
               "                                                 and keep it in the journal\n"
               "  export [--units kn|kgf] TABLE.db BOOK.xls      write a spreadsheet\n"
               "  report [--units kn|kgf] TABLE.db REPORT.pdf    write the printed report as PDF\n"
               "  stats [--units kn|kgf] [--required-force X] [--required-stress Y]\n"
               "        [--pdf FILE] TABLE.db                    print the series statistics as CSV,\n"
               "                                                 with --pdf also their printed page\n"
               "  journal list                                   print the journal of downloads as CSV\n"
               "  journal create ID TABLE.db                     make a new table of a journal entry\n"
               "  journal append ID TABLE.db                     add the entry's tests newer than the\n"
               "                                                 table's last row\n"
               "  journal image ID FILE.bin                      write the entry's archive as received\n"
               "  instruments                                    print the register of the instruments as CSV\n"
               "  --help                                         print this help\n"
               "exit status: 0 done, 1 failed, 2 wrong arguments\n",
               to);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        printUsage(stderr);
        return 2;
    }
    const std::string command = argv[1];
    const std::vector<std::string> args(argv + 2, argv + argc);
    if (command == "rows")
        return zent5::tool::runRows(args);
    if (command == "renumber")
        return zent5::tool::runRenumber(args);
    if (command == "delete")
        return zent5::tool::runDelete(args);
    if (command == "download")
        return zent5::tool::runDownload(args);
    if (command == "export")
        return zent5::tool::runExport(args);
    if (command == "report")
        return zent5::tool::runReport(args);
    if (command == "stats")
        return zent5::tool::runStats(args);
    if (command == "journal")
        return zent5::tool::runJournal(args);
    if (command == "instruments")
        return zent5::tool::runInstruments(args);
    if (command == "--help" || command == "-h" || command == "help") {
        printUsage(stdout);
        return 0;
    }
    std::fprintf(stderr, "zent5-tool: unknown command '%s'\n", command.c_str());
    printUsage(stderr);
    return 2;
}
