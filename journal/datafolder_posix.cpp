#include "journal/datafolder.h"

#include <cerrno>
#include <ctime>
#include <cstdlib>
#include <dirent.h>
#include <sys/stat.h>

namespace zent5::journal {

std::string dataFolder()
{
    std::string base;
    // A relative value is to be ignored, as the base directory rules say.
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg == '/')
        base = xdg;
    else if (const char* home = std::getenv("HOME"); home && *home)
        base = std::string(home) + "/.local/share";
    else
        return {};
    return pathIn(base, "Korvelin/ZT");
}

std::string journalFolder()
{
    const std::string data = dataFolder();
    return data.empty() ? data : pathIn(data, "journal");
}

std::string pathIn(const std::string& folder, const std::string& name)
{
    if (folder.empty() || folder.back() == '/')
        return folder + name;
    return folder + "/" + name;
}

bool makeFolders(const std::string& path, int& error)
{
    std::string folder = path;
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    struct stat st {};
    if (::stat(folder.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode))
            return true;
        error = ENOTDIR;
        return false;
    }
    if (errno != ENOENT) {
        error = errno;
        return false;
    }
    const size_t slash = folder.rfind('/');
    if (slash != std::string::npos && slash > 0 && !makeFolders(folder.substr(0, slash), error))
        return false;
    if (::mkdir(folder.c_str(), 0777) != 0 && errno != EEXIST) {
        error = errno;
        return false;
    }
    return true;
}

bool folderNames(const std::string& path, std::vector<std::string>& names, int& error)
{
    names.clear();
    DIR* dir = ::opendir(path.c_str());
    if (!dir) {
        error = errno;
        return false;
    }
    while (const dirent* e = ::readdir(dir)) {
        const std::string name = e->d_name;
        if (name != "." && name != "..")
            names.push_back(name);
    }
    ::closedir(dir);
    return true;
}

bool isFolder(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::optional<int64_t> secondsSinceWritten(const std::string& path)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return std::nullopt;
    return int64_t(std::time(nullptr)) - int64_t(st.st_mtime);
}

Moment now()
{
    const std::time_t t = std::time(nullptr);
    std::tm local {};
    ::localtime_r(&t, &local);
    return Moment{int64_t(t), int32_t(local.tm_gmtoff)};
}

} // namespace zent5::journal
