#include "journal/journal.h"

#include "journal/datafolder.h"
#include "journal/entryformat.h"
#include "journal/entryid.h"
#include "journal/wholefile.h"
#include "records/error.h"
#include "table/fileio.h"

#include <algorithm>
#include <cerrno>

namespace zent5::journal {
namespace {

// A temporary file this old is no write in progress but left by a crash.
constexpr int64_t kStaleTemporarySeconds = 3600;

std::string reason(int error) { return fileio::errorText(error); }

std::vector<std::string> namesIn(const std::string& folder)
{
    std::vector<std::string> names;
    int error = 0;
    if (!folderNames(folder, names, error)) {
        if (error == ENOENT)
            return {};
        throw Error("Не удалось прочитать папку журнала " + folder + ": " + reason(error));
    }
    std::sort(names.begin(), names.end());
    return names;
}

// "<id>.tmp": an entry being written, or left half-written by a crash.
bool isTemporary(std::string_view name)
{
    return name.ends_with(kTemporaryExtension) && isEntryId(name.substr(0, name.size() - kTemporaryExtension.size()));
}

// The entry in a file, or the text of what is wrong with it.
bool readEntryFile(const std::string& path, Entry& entry, std::string& problem)
{
    std::vector<uint8_t> bytes;
    if (const int error = readWhole(path, kMaxEntrySize, bytes); error != 0) {
        problem = error == EFBIG ? "Не запись журнала: файл длиннее любой записи"
                                 : "Не удалось прочитать файл: " + reason(error);
        return false;
    }
    try {
        entry = decodeEntry(bytes.data(), bytes.size());
    } catch (const Error& e) {
        problem = e.what();
        return false;
    }
    return true;
}

int64_t fileSize(const std::string& path)
{
    fileio::File file;
    int error = 0;
    return file.open(path, fileio::OpenMode::ReadOnly, error) ? file.size() : -1;
}

} // namespace

Journal::Journal(std::string folder, Limits limits) : m_folder(std::move(folder)), m_limits(limits) {}

std::string Journal::entryPath(const std::string& id) const
{
    return pathIn(m_folder, id + std::string(kEntryExtension));
}

std::string Journal::temporaryPath(const std::string& id) const
{
    return pathIn(m_folder, id + std::string(kTemporaryExtension));
}

std::string Journal::freeId(const EntryInfo& info) const
{
    for (int counter = 1; counter <= kMaxIdCounter; ++counter) {
        const std::string id = entryId(info.download.moment, info.serialNumber, counter);
        if (!fileio::exists(entryPath(id)) && !fileio::exists(temporaryPath(id)))
            return id;
    }
    throw Error("Не удалось записать файл журнала: в папке " + m_folder + " заняты все имена для " +
                entryId(info.download.moment, info.serialNumber, 1));
}

void Journal::tidyTemporaries() const
{
    std::vector<std::string> names;
    int error = 0;
    folderNames(m_folder, names, error);
    for (const std::string& name : names) {
        if (!isTemporary(name))
            continue;
        const std::string path = pathIn(m_folder, name);
        const auto age = secondsSinceWritten(path);
        if (age && *age > kStaleTemporarySeconds && !isFolder(path))
            fileio::removeFile(path);
    }
}

std::string Journal::add(Entry& entry)
{
    if (m_folder.empty())
        throw Error("Не удалось записать журнал: не найдена папка данных пользователя");
    int error = 0;
    if (!makeFolders(m_folder, error))
        throw Error("Не удалось создать папку журнала " + m_folder + ": " + reason(error));
    tidyTemporaries();

    const std::vector<uint8_t> bytes = encodeEntry(entry);
    for (;;) {
        const std::string id = freeId(entry.info);
        const std::string path = entryPath(id);
        const int e = writeBeside(path, bytes, Target::New);
        // Another program took the name since it was found free.
        if (e == EEXIST)
            continue;
        if (e != 0)
            throw Error("Не удалось записать файл журнала " + path + ": " + reason(e));
        entry.info.id = id;
        applyLimits(id);
        return id;
    }
}

void Journal::applyLimits(const std::string& keptId)
{
    struct Kept {
        std::string id;
        uint64_t size;
    };
    std::vector<std::string> names;
    int error = 0;
    // The entry is kept already; what cannot be looked at now waits for a later write.
    if (!folderNames(m_folder, names, error))
        return;
    std::sort(names.begin(), names.end());
    std::vector<Kept> kept; // oldest first
    uint64_t total = 0;
    for (const std::string& name : names) {
        const std::string id = idOfFileName(name);
        if (id.empty())
            continue;
        const int64_t size = fileSize(pathIn(m_folder, name));
        if (size < 0)
            continue;
        kept.push_back({id, uint64_t(size)});
        total += uint64_t(size);
    }
    size_t count = kept.size();
    for (const Kept& k : kept) {
        if (count <= 1 || (count <= m_limits.maxEntries && total <= m_limits.maxBytes))
            break;
        if (k.id == keptId)
            continue;
        if (fileio::removeFile(entryPath(k.id))) {
            --count;
            total -= k.size;
        }
    }
}

Listing Journal::list() const
{
    Listing listing;
    for (const std::string& name : namesIn(m_folder)) {
        if (isTemporary(name))
            continue;
        const std::string path = pathIn(m_folder, name);
        const std::string id = idOfFileName(name);
        if (id.empty() || isFolder(path)) {
            listing.problems.push_back({name, isFolder(path) ? "Не запись журнала: папка"
                                                             : "Не запись журнала: имя файла не по образцу"});
            continue;
        }
        Entry entry;
        std::string problem;
        if (!readEntryFile(path, entry, problem)) {
            listing.problems.push_back({name, problem});
            continue;
        }
        entry.info.id = id;
        listing.entries.push_back(std::move(entry.info));
    }
    std::reverse(listing.entries.begin(), listing.entries.end());
    return listing;
}

Entry Journal::load(const std::string& id) const
{
    const std::string path = entryPath(id);
    if (!isEntryId(id) || !fileio::exists(path))
        throw Error("В журнале нет записи " + id);
    Entry entry;
    std::string problem;
    if (!readEntryFile(path, entry, problem))
        throw Error(id + ": " + problem);
    entry.info.id = id;
    return entry;
}

void Journal::remove(const std::string& id)
{
    const std::string path = entryPath(id);
    if (!isEntryId(id) || !fileio::exists(path))
        throw Error("В журнале нет записи " + id);
    if (!fileio::removeFile(path))
        throw Error("Не удалось удалить файл журнала " + path + ": " + reason(errno));
    fileio::syncFolderOf(path);
}

} // namespace zent5::journal
