#include "session/downloadjournal.h"

#include "journal/datafolder.h"
#include "journal/journal.h"
#include "journal/verificationdates.h"
#include "records/prompter.h"
#include "records/utf8path.h"
#include "session/programtitle.h"
#include "session/tablesession.h"

#include <exception>
#include <filesystem>
#include <memory>
#include <system_error>

namespace zent5 {
namespace {

// A table named from the current folder is kept under its whole path: the
// journal is read later, from anywhere.
std::string absolutePath(const std::string& path)
{
    const std::filesystem::path given = pathFromUtf8(path);
    if (given.is_absolute())
        return path;
    std::error_code error;
    const std::filesystem::path whole = std::filesystem::absolute(given, error);
    return error ? path : utf8Of(whole.lexically_normal());
}

journal::TableAction actionOf(DownloadTarget target)
{
    return target == DownloadTarget::OpenTable ? journal::TableAction::Append : journal::TableAction::NewTable;
}

void warn(Prompter& prompter, const std::string& text)
{
    prompter.message(program_title, text, MessageIcon::Warning, MessageButtons::Ok);
}

void record(const StoredDownload& stored, Prompter& prompter)
{
    const ArchiveImage& archive = stored.archive;
    // Unreadable due dates must not cost the download its entry: it is
    // kept without a verification, and the user is told why.
    journal::Verification verification = journal::Verification::NoDate;
    std::string datesProblem;
    try {
        verification = journal::verificationToday({archive.model, archive.serialNumber});
    } catch (const std::exception& e) {
        datesProblem = e.what();
    }
    journal::Download download;
    download.moment = journal::now();
    download.portName = archive.port;
    download.action = actionOf(stored.target);
    download.tablePath = absolutePath(stored.table);
    download.rowsAdded = uint32_t(stored.rowsAdded);
    download.verification = verification;
    try {
        journal::Entry entry = journal::makeEntry(archive, download);
        journal::Journal(journal::journalFolder()).add(entry);
    } catch (const std::exception& e) {
        warn(prompter, "Загрузка не записана в журнал. " + std::string(e.what()));
        return;
    }
    if (!datesProblem.empty())
        warn(prompter, "Загрузка записана в журнал без отметки о поверке прибора. " + datesProblem);
}

// The archive image as the download left it, port and all.
std::unique_ptr<ArchiveImage> imageOf(const journal::Entry& entry)
{
    auto image = std::make_unique<ArchiveImage>();
    journal::restoreArchiveImage(entry, *image);
    image->port = entry.info.download.portName;
    return image;
}

} // namespace

void recordDownloads(TableSession& session, Prompter& prompter)
{
    session.onDownloadStored([&prompter](const StoredDownload& stored) { record(stored, prompter); });
}

void createTableFromEntry(TableSession& session, const journal::Entry& entry, const std::string& path)
{
    session.createFromArchive(path, *imageOf(entry), ArchiveOrigin::Journal);
}

void appendFromEntry(TableSession& session, const journal::Entry& entry)
{
    session.appendFromArchive(*imageOf(entry), ArchiveOrigin::Journal);
}

} // namespace zent5
