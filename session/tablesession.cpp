#include "session/tablesession.h"

#include "records/archivedecoding.h"
#include "records/pathparts.h"
#include "records/prompter.h"
#include "records/utf8path.h"
#include "session/fieldedit.h"
#include "session/programtitle.h"
#include "table/filecopy.h"
#include "table/fileerrors.h"
#include "table/fileio.h"
#include "table/tablereplacement.h"

#include <algorithm>
#include <exception>
#include <filesystem>
#include <random>
#include <system_error>

namespace zent5 {

namespace {

// Runs the steps one after the other and stops quietly at the first that
// fails; dropping the sort index is best effort.
void quietly(std::initializer_list<std::function<void()>> steps)
{
    try {
        for (const auto& step : steps)
            step();
    } catch (const std::exception&) {
    }
}

// The view reads the rows again when the scope ends, also when a step
// failed: the table's view may have changed before the failure.
class RowsRefresh {
public:
    explicit RowsRefresh(TableView& view) : m_view(view) {}
    ~RowsRefresh() { m_view.refreshRows(); }
    RowsRefresh(const RowsRefresh&) = delete;
    RowsRefresh& operator=(const RowsRefresh&) = delete;

private:
    TableView& m_view;
};

// The decoding's messages, held until the table file holds its rows: a
// count of added rows must not be told for rows a failure then takes back.
class HeldMessages : public Prompter {
public:
    explicit HeldMessages(Prompter& prompter) : m_prompter(prompter) {}

    MessageAnswer message(const std::string& caption, const std::string& text, MessageIcon icon,
                          MessageButtons buttons) override
    {
        if (buttons != MessageButtons::Ok)
            return m_prompter.message(caption, text, icon, buttons);
        m_held.push_back({caption, text, icon});
        return MessageAnswer::Ok;
    }
    std::optional<std::string> openFile(const FileDialogRequest& request) override
    {
        return m_prompter.openFile(request);
    }
    std::optional<std::string> saveFile(const FileDialogRequest& request) override
    {
        return m_prompter.saveFile(request);
    }
    std::optional<uint32_t> chooseColor(uint32_t initial) override { return m_prompter.chooseColor(initial); }

    void tell()
    {
        for (const Held& m : m_held)
            m_prompter.message(m.caption, m.text, m.icon, MessageButtons::Ok);
        m_held.clear();
    }

private:
    struct Held {
        std::string caption;
        std::string text;
        MessageIcon icon;
    };
    Prompter& m_prompter;
    std::vector<Held> m_held;
};

// A new folder for a private copy of a table, in the system's folder for
// temporary files.
std::string makeCopyFolder()
{
    const std::filesystem::path base = std::filesystem::temp_directory_path();
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::filesystem::path folder = base / ("zent5-" + std::to_string(random()));
        std::error_code error;
        if (std::filesystem::create_directory(folder, error))
            return utf8Of(folder);
    }
    throw Error(fileerrors::cannotCreate(utf8Of(base / "zent5-"), EEXIST));
}

// Copies a table file as one reader among others: a table another program
// holds open for writing is refused, as opening it would be.
void copyTableFile(const std::string& from, const std::string& to)
{
    fileio::File source, copy;
    int error = 0;
    if (!fileio::exists(from))
        throw TableOpenError("Open: file not found: \"" + from + "\".");
    if (!source.open(from, fileio::OpenMode::ReadOnly, error) || !source.lockShared(error))
        throw TableOpenError(fileerrors::cannotOpen(from, error));
    if (!copy.open(to, fileio::OpenMode::CreateExclusive, error))
        throw Error(fileerrors::cannotCreate(to, error));
    copyFileBytes(source, from, copy);
}

} // namespace

TableSession::TableSession(Prompter& prompter, TableView& view, TableFlags& flags)
    : m_prompter(prompter), m_view(view), m_flags(flags)
{
}

TableSession::TableSession(Prompter& prompter, TableView& view) : TableSession(prompter, view, m_ownFlags) {}

TableSession::~TableSession()
{
    m_reservation.reset();
    if (!m_copyFolder.empty()) {
        try {
            m_table.Close();
        } catch (const std::exception&) {
        }
        dropCopyFolder();
    }
}

// What the grid's editor holds goes into its row, and the row edited is
// posted (the window's grid posts it itself; without one, nobody else does).
void TableSession::commitPendingEdit()
{
    m_view.commitPendingEdit();
    if (m_table.state() == DbfTable::State::Edit)
        m_table.Post();
}

void TableSession::aimAt(const std::string& path)
{
    const PathParts parts = splitPath(path);
    m_table.setTableName(parts.fileName);
    m_table.setFilePath(parts.directory);
}

void TableSession::openAs(const std::string& path, bool exclusive)
{
    if (m_flags.table_open)
        close();
    try {
        m_table.setExclusive(exclusive);
        aimAt(path);
        m_table.Open();
    } catch (const std::exception& e) {
        throw TableOpenError(e.what());
    }
    m_flags.table_open = true;
    m_table.First();
    m_view.showTable();
    m_view.showCaption(path);
    m_flags.table_changed = false;
}

void TableSession::open(const std::string& path) { openAs(path, true); }

void TableSession::openForReading(const std::string& path) { openAs(path, false); }

void TableSession::openCopy(const std::string& path)
{
    if (m_flags.table_open)
        close();
    const std::string folder = makeCopyFolder();
    const std::string copy = utf8Of(pathFromUtf8(folder) / pathFromUtf8(splitPath(path).fileName));
    try {
        copyTableFile(path, copy);
        m_copyFolder = folder;
        openAs(copy, true);
    } catch (...) {
        m_copyFolder = folder;
        dropCopyFolder();
        throw;
    }
}

void TableSession::dropCopyFolder()
{
    std::error_code ignored;
    std::filesystem::remove_all(m_copyFolder, ignored);
    m_copyFolder.clear();
}

bool TableSession::reopen()
{
    // A close that cannot complete the header leaves the rows on disk all
    // the same (the size counts them): open the table again and show what
    // it holds before the failure is told.
    std::exception_ptr closeFailure;
    try {
        m_table.Close();
    } catch (const std::exception&) {
        closeFailure = std::current_exception();
    }
    try {
        m_table.Open();
    } catch (const std::exception& e) {
        // The table is gone from under the view: tell why and leave no
        // grid bound to a closed table.
        const std::string text = e.what();
        m_view.saveLayout();
        enterNoTableState(true);
        m_view.showError(text);
        return false;
    }
    m_view.refreshRows();
    if (closeFailure)
        std::rethrow_exception(closeFailure);
    return true;
}

bool TableSession::save()
{
    if (!m_flags.table_open)
        return true;
    // Close and open write everything to the file; "tab1" stays the index
    // name, so a sort survives. A table already closed has nothing to write.
    if (m_table.Active()) {
        commitPendingEdit();
        if (!reopen())
            return false;
    }
    m_flags.table_changed = false;
    return true;
}

void TableSession::close()
{
    if (m_flags.table_changed &&
        m_prompter.message(program_title, "Сохранить изменения в таблицах ?", MessageIcon::Question,
                           MessageButtons::YesNo) == MessageAnswer::Yes)
        save();
    m_view.saveLayout();
    enterNoTableState(false);
}

// Closes the table and gives the view its no-table look. The sort index file
// beside a table that was open goes: the sort it held ends with the table.
// `wasOpen` says the table was open even if it is closed already (its
// reopening failed).
void TableSession::enterNoTableState(bool wasOpen)
{
    m_flags.table_open = false;
    m_flags.table_changed = false;
    std::exception_ptr failure;
    if (m_table.Active()) {
        wasOpen = true;
        m_view.dropPendingEdit();
        try {
            m_table.Close();
        } catch (...) {
            failure = std::current_exception();
        }
    }
    // A table read among others leaves its folder alone.
    if (wasOpen && m_table.Exclusive()) {
        std::error_code missingIsFine;
        std::filesystem::remove(m_table.IndexFilePath(), missingIsFine);
    }
    if (!m_copyFolder.empty())
        dropCopyFolder();
    // A table opened next starts in file order, whatever its folder holds.
    m_table.setIndexName("");
    m_view.refreshRows();
    m_view.hideTable();
    m_view.showCaption("");
    if (failure)
        std::rethrow_exception(failure);
}

void TableSession::reserveNewTable(const std::string& path)
{
    m_reservation.reset();
    auto reservation = std::make_unique<TableReplacement>(path);
    reservation->lockTarget();
    reservation->reserve();
    m_reservation = std::move(reservation);
    m_reservedPath = path;
}

std::unique_ptr<TableReplacement> TableSession::takeReservation(const std::string& path)
{
    std::unique_ptr<TableReplacement> reservation = std::move(m_reservation);
    if (reservation && m_reservedPath == path)
        return reservation;
    reservation.reset();
    reservation = std::make_unique<TableReplacement>(path);
    reservation->lockTarget();
    return reservation;
}

void TableSession::createFromArchive(const std::string& path, const ArchiveImage& archive, ArchiveOrigin origin)
{
    // A damaged archive is refused before the file is made: choosing an
    // existing table must never trade its rows for an empty table.
    check_archive(archive);

    m_flags.table_open = false;
    m_flags.table_changed = false;
    m_table.Close();
    m_table.setExclusive(true);
    HeldMessages messages(m_prompter);
    {
        // The rows go into a new file beside the chosen one, which it
        // replaces only once complete: a failure on the way (a full disk, a
        // write error, the program killed) leaves a table of that name as
        // it was, and no table open.
        std::unique_ptr<TableReplacement> replacement = takeReservation(path);
        replacement->openEmpty(m_table);
        flash2pos(false, m_table, archive, messages);
        replacement->commit(m_table);
    }
    m_table.Open();
    m_flags.table_open = true;
    m_view.showTable();
    m_flags.table_changed = false;
    messages.tell();
    if (origin == ArchiveOrigin::Instrument)
        told(archive, DownloadTarget::NewTable, size_t(m_table.VisibleCount()));
}

void TableSession::appendFromArchive(const ArchiveImage& archive, ArchiveOrigin origin)
{
    // A table that is not open has no last row to append after.
    if (!m_flags.table_open || !m_table.Active())
        return;
    resetSort();
    const std::string path = m_table.TablePath();
    const bool exclusive = m_table.Exclusive();
    HeldMessages messages(m_prompter);
    size_t added = 0;
    try {
        // Close writes what the table held; the rows then go into a copy of
        // the file that takes its place only once complete, so a failure
        // on the way leaves the file as it was.
        m_table.Close();
        TableReplacement replacement(path);
        replacement.lockTarget();
        m_table.setExclusive(true);
        replacement.openCopy(m_table);
        const int before = m_table.VisibleCount();
        flash2pos(true, m_table, archive, messages);
        added = size_t(m_table.VisibleCount() - before);
        replacement.commit(m_table);
    } catch (...) {
        m_table.setExclusive(exclusive);
        showAgainAfterFailure(path);
        throw;
    }
    m_table.setExclusive(exclusive);
    m_table.Open();
    m_view.refreshRows();
    m_flags.table_changed = false;
    m_view.showRows();
    messages.tell();
    if (origin == ArchiveOrigin::Instrument)
        told(archive, DownloadTarget::OpenTable, added);
}

// The table as the file now holds it, shown before the failure is told.
void TableSession::showAgainAfterFailure(const std::string& path)
{
    try {
        m_table.Close();
        aimAt(path);
        m_table.Open();
        m_view.refreshRows();
        m_view.showRows();
    } catch (const std::exception&) {
        // Gone from under the view: the first failure is the one told.
        try {
            m_view.saveLayout();
            enterNoTableState(true);
        } catch (const std::exception&) {
        }
    }
}

void TableSession::onDownloadStored(std::function<void(const StoredDownload&)> handler)
{
    m_downloadStored = std::move(handler);
}

void TableSession::told(const ArchiveImage& archive, DownloadTarget target, size_t rowsAdded)
{
    if (m_downloadStored)
        m_downloadStored(StoredDownload{archive, m_table.TablePath(), target, rowsAdded});
}

void TableSession::deleteRows(std::vector<uint32_t> recNos)
{
    if (!m_table.Active())
        return;
    resetSort();
    RowsRefresh refresh(m_view);
    if (recNos.empty()) {
        m_table.Delete(); // the current row; none raises the table's own error
    } else {
        std::sort(recNos.begin(), recNos.end());
        for (auto it = recNos.rbegin(); it != recNos.rend(); ++it) {
            m_table.GoTo(*it);
            if (m_table.RecNo() == *it)
                m_table.Delete();
        }
    }
    m_view.clearSelection();
    commitPendingEdit();
    m_table.Pack();
    if (reopen())
        m_flags.table_changed = false;
}

std::vector<uint32_t> TableSession::rowsNumbered(const std::vector<int64_t>& numbers, std::vector<int64_t>& unknown)
{
    std::vector<uint32_t> rows;
    std::vector<bool> found(numbers.size(), false);
    if (m_table.Active()) {
        std::vector<uint32_t> order = m_table.ViewOrder();
        std::sort(order.begin(), order.end());
        for (const uint32_t recNo : order) {
            const FieldValue n = m_table.ReadField(recNo, "N");
            const double* value = std::get_if<double>(&n);
            if (!value)
                continue;
            for (size_t i = 0; i < numbers.size(); ++i) {
                if (*value == double(numbers[i])) {
                    found[i] = true;
                    if (rows.empty() || rows.back() != recNo)
                        rows.push_back(recNo);
                }
            }
        }
    }
    unknown.clear();
    for (size_t i = 0; i < numbers.size(); ++i)
        if (!found[i])
            unknown.push_back(numbers[i]);
    return rows;
}

void TableSession::renumber()
{
    if (!m_flags.table_open)
        return;
    if (m_table.Active()) {
        RowsRefresh refresh(m_view);
        commitPendingEdit();
        m_table.First();
        // The rows are numbered in the order shown when the command starts.
        // Walking a copy of that order numbers each row once even when the
        // rows are sorted by their number and move as they get new ones.
        const std::vector<uint32_t> order = m_table.ViewOrder();
        for (size_t i = 0; i < order.size(); ++i) {
            m_table.GoTo(order[i]);
            m_table.Edit();
            m_table.SetFieldValue("N", double(i + 1));
            m_table.Post();
        }
        m_table.First();
    }
    reopen();
}

void TableSession::sortBy(std::string_view field, std::optional<SortOrder> order)
{
    if (!m_table.Active())
        return;
    commitPendingEdit();
    RowsRefresh refresh(m_view);
    m_table.setIndexName("");
    quietly({[&] { m_table.DeleteIndex(kSortIndex); }, [&] { m_table.Refresh(); }});
    if (!order) {
        resetSort();
        return;
    }
    m_table.AddIndex(kSortIndex, std::string(field), *order == SortOrder::Descending);
    m_table.setIndexName(kSortIndex);
    m_table.RebuildIndexes();
    m_table.Refresh();
}

void TableSession::resetSort()
{
    // What the user is typing is kept before anything else changes.
    if (m_table.Active())
        commitPendingEdit();
    m_view.clearSortMarks();
    if (!m_table.Active())
        return;
    RowsRefresh refresh(m_view);
    quietly({[&] { m_table.setIndexName(""); }, [&] { m_table.DeleteIndex(kSortIndex); },
             [&] { m_table.CloseIndex(kSortIndex); }, [&] { m_table.Refresh(); }});
}

void TableSession::markEdited() { m_flags.table_changed = true; }

bool TableSession::editField(uint32_t recNo, std::string_view field, const FieldValue& value)
{
    markEdited();
    return zent5::editField(m_table, recNo, field, value);
}

} // namespace zent5
