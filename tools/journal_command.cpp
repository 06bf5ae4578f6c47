#include "commands.h"
#include "toolargs.h"

#include "journal/archivedump.h"
#include "journal/datafolder.h"
#include "journal/instrumentregister.h"
#include "journal/journal.h"
#include "journal/journalcsv.h"
#include "journal/verificationdates.h"
#include "records/error.h"
#include "session/downloadjournal.h"
#include "tools/tooltables.h"

#include <cstdio>
#include <functional>
#include <string>

namespace zent5::tool {
namespace {

const char kJournalUsage[] = "usage: zent5-tool journal list\n"
                             "       zent5-tool journal create ID TABLE.db\n"
                             "       zent5-tool journal append ID TABLE.db\n"
                             "       zent5-tool journal image ID FILE.bin\n";
const char kInstrumentsUsage[] = "usage: zent5-tool instruments\n";

// The user's journal; reading one that was never written finds it empty.
journal::Journal userJournal()
{
    const std::string folder = journal::journalFolder();
    if (folder.empty())
        throw Error("Не найдена папка данных пользователя");
    return journal::Journal(folder);
}

// The entries, and on the error stream each file of the journal's folder
// that is no readable entry: the rest are listed all the same.
std::vector<journal::EntryInfo> readableEntries(const journal::Journal& journal)
{
    journal::Listing listing = journal.list();
    for (const journal::Problem& p : listing.problems)
        std::fprintf(stderr, "%s: %s\n", journal::pathIn(journal.folder(), p.fileName).c_str(), p.text.c_str());
    return std::move(listing.entries);
}

int printed(const std::string& text)
{
    std::fwrite(text.data(), 1, text.size(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}

// Runs a command on the journal; its errors go to the error stream.
int guarded(const std::function<int()>& run)
{
    try {
        return run();
    } catch (const Error& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
}

} // namespace

// zent5-tool journal list | create ID TABLE.db | append ID TABLE.db |
// image ID FILE.bin: the journal of downloads as CSV, and what a kept
// download gives again. A table is made of an entry as "Создать" and
// "Дополнить" made it of the download, through the same table commands;
// that is no download and adds no entry.
int runJournal(const std::vector<std::string>& args)
{
    const CommandArguments split = splitArguments(args);
    if (!split.options.empty())
        return usageError("journal", "unknown option " + split.options.front().given, kJournalUsage);
    const std::vector<std::string>& words = split.files;
    if (words.empty())
        return usageError("journal", "no journal command given", kJournalUsage);
    const std::string& command = words[0];
    if (command == "list") {
        if (words.size() != 1)
            return usageError("journal", "list takes no arguments", kJournalUsage);
        return guarded([] { return printed(journal::journalCsv(readableEntries(userJournal()))); });
    }
    if (command != "create" && command != "append" && command != "image")
        return usageError("journal", "unknown journal command " + command, kJournalUsage);
    if (words.size() != 3)
        return usageError("journal", command + " needs an entry id and a file", kJournalUsage);
    const std::string& id = words[1];
    const std::string& file = words[2];
    return guarded([&] {
        // The entry is read before any file is touched: an unknown id
        // leaves everything as it was.
        const journal::Entry entry = userJournal().load(id);
        if (command == "image") {
            journal::writeArchiveDump(entry, file);
            return 0;
        }
        ToolTables tables;
        if (command == "create") {
            createTableFromEntry(tables.session(), entry, file);
        } else {
            // Read shared until the rows go in, as "download --append" does.
            tables.session().openForReading(file);
            appendFromEntry(tables.session(), entry);
        }
        return tables.finish();
    });
}

// zent5-tool instruments: the register of the instruments the journal
// knows, with the verification due dates the user entered, as CSV.
int runInstruments(const std::vector<std::string>& args)
{
    if (!args.empty())
        return usageError("instruments", "takes no arguments", kInstrumentsUsage);
    return guarded([] {
        const std::vector<journal::EntryInfo> entries = readableEntries(userJournal());
        const std::string datesPath = journal::verificationDatesPath();
        const journal::VerificationDates dates =
            datesPath.empty() ? journal::VerificationDates{} : journal::loadVerificationDates(datesPath);
        return printed(journal::instrumentsCsv(journal::buildRegister(entries, dates),
                                               journal::localDay(journal::now())));
    });
}

} // namespace zent5::tool
