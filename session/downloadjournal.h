#pragma once

#include "journal/journalentry.h"

#include <string>

// The journal of downloads as the table commands keep it: the window and
// the command-line tool both record their downloads here, and make tables
// of what the journal kept through the same table commands.
namespace zent5 {

class Prompter;
class TableSession;

// From now on every download the session stores from the instrument
// ("Создать", "Дополнить") becomes one entry of the user's journal: the
// image as received, the port, what was done to which table (its path made
// absolute), the rows it gained and the instrument's verification on the
// day. An entry that cannot be written never undoes the download: the
// table stays as made, and a warning through the prompter, after the table
// shows, says the entry was not kept and why.
void recordDownloads(TableSession& session, Prompter& prompter);

// "Создать" and "Дополнить" from an entry of the journal instead of the
// instrument, through the session's own commands (see createFromArchive
// and appendFromArchive), so the table is the one the download made. They
// record nothing: an entry made into a table again is no new download.
void createTableFromEntry(TableSession& session, const journal::Entry& entry, const std::string& path);
void appendFromEntry(TableSession& session, const journal::Entry& entry);

} // namespace zent5
