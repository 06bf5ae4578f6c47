#pragma once

#include "records/archiveimage.h"
#include "records/error.h"
#include "records/fieldvalue.h"
#include "session/storeddownload.h"
#include "session/tableflags.h"
#include "session/tableview.h"
#include "table/dbftable.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zent5 {

class Prompter;
class TableReplacement;

enum class SortOrder { Ascending, Descending };

// A table that could not be opened; the text is the table's own.
class TableOpenError : public Error {
public:
    using Error::Error;
};

// The table commands on one open measurement table, shared by the main
// window and the command-line tool: open, save, close, new and append from
// a downloaded archive, delete, renumber, sort and edit. The commands ask
// the user only through the prompter and show what they did through the
// view; errors they do not deal with themselves leave as zent5::Error with
// the table's own text. Each command checks its precondition (a table
// open, or the table active) and does nothing without it.
class TableSession {
public:
    TableSession(Prompter& prompter, TableView& view, TableFlags& flags);
    // With flags of its own.
    TableSession(Prompter& prompter, TableView& view);
    ~TableSession();
    TableSession(const TableSession&) = delete;
    TableSession& operator=(const TableSession&) = delete;

    // The table component: the only way into the measurement table.
    DbfTable& table() { return m_table; }
    const DbfTable& table() const { return m_table; }
    const TableFlags& flags() const { return m_flags; }
    bool isOpen() const { return m_flags.table_open; }

    // Opens the table file at `path` for reading and writing, closing a
    // table open before (with the save prompt), and shows it from its first
    // row. A table that does not open raises TableOpenError and leaves no
    // table open.
    void open(const std::string& path);
    // The same for reading only, shared with other readers: nothing is
    // written to the file, whatever the commands do.
    void openForReading(const std::string& path);
    // The same on a copy of the file in a folder of its own, which goes
    // when the table closes: the sorted view of a table that must stay as
    // it is. The file is read as a reader among others.
    void openCopy(const std::string& path);

    // Writes everything to the file: commits the edit open in the grid,
    // closes and opens the table again. False when the table could not be
    // opened again (then told through the view, and no table is open).
    bool save();
    // Asks to save unsaved edits, stores the column layout, closes the
    // table and deletes its sort index file. Stores the layout also when no
    // table is open.
    void close();
    // Closes and opens the table again (see save).
    bool reopen();

    // "Создать" after the download: a new table at `path` of every record
    // of the archive. The rows go into a new file beside `path`, which takes
    // its place only once complete, so any failure leaves an existing file
    // as it was and no table open. A damaged archive is refused before any
    // file is touched.
    void createFromArchive(const std::string& path, const ArchiveImage& archive,
                           ArchiveOrigin origin = ArchiveOrigin::Instrument);
    // Keeps others away from `path` and makes the new file beside it before
    // the download, so that a table that could not be stored is known
    // before the instrument is asked. The next createFromArchive for the
    // same path uses it.
    void reserveNewTable(const std::string& path);
    // "Дополнить" after the download: the records newer than the open
    // table's last row in file order are added, after the sort is reset.
    // The rows go into a copy of the file that takes its place only once
    // complete; on any failure the table shows as it was.
    void appendFromArchive(const ArchiveImage& archive, ArchiveOrigin origin = ArchiveOrigin::Instrument);
    // Told once each time a table file holds the rows of a download from
    // the instrument.
    void onDownloadStored(std::function<void(const StoredDownload&)> handler);

    // Deletes the rows of these record numbers (none: the current row),
    // after the sort is reset, and compacts the file.
    void deleteRows(std::vector<uint32_t> recNos);
    // The record numbers of the visible rows whose N is one of `numbers`,
    // in file order; `unknown` gets the numbers no row has.
    std::vector<uint32_t> rowsNumbered(const std::vector<int64_t>& numbers, std::vector<int64_t>& unknown);
    // Numbers the rows 1, 2, ... in the order shown, then writes the file.
    void renumber();
    // A click on a column title: the rows sorted by `field` (largest first
    // for Descending), ties in file order, texts in the table's language;
    // without an order, back to file order.
    void sortBy(std::string_view field, std::optional<SortOrder> order);
    // Clears the sort marks and drops the sort index; failures are ignored.
    void resetSort();
    // The user began editing a cell.
    void markEdited();
    // Puts a value into a row's field (see editField); the edit counts as
    // an unsaved change.
    bool editField(uint32_t recNo, std::string_view field, const FieldValue& value);

    // The sort index the commands keep their sorted view in.
    static constexpr const char* kSortIndex = "tab1";

private:
    void openAs(const std::string& path, bool exclusive);
    void aimAt(const std::string& path);
    void commitPendingEdit();
    void enterNoTableState(bool wasOpen);
    void showAgainAfterFailure(const std::string& path);
    std::unique_ptr<TableReplacement> takeReservation(const std::string& path);
    void dropCopyFolder();
    void told(const ArchiveImage& archive, DownloadTarget target, size_t rowsAdded);

    Prompter& m_prompter;
    TableView& m_view;
    TableFlags m_ownFlags;
    TableFlags& m_flags;
    DbfTable m_table;
    // Declared after the table, which it may hold open on the new file.
    std::unique_ptr<TableReplacement> m_reservation;
    std::string m_reservedPath;
    std::string m_copyFolder; // the folder of openCopy's table, while open
    std::function<void(const StoredDownload&)> m_downloadStored;
};

} // namespace zent5
