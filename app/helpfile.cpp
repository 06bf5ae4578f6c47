#include "app/helpfile.h"

#include <QDesktopServices>
#include <QUrl>

#include <filesystem>
#include <system_error>

namespace zent5 {

std::string help_file_in(const std::string& programDir)
{
    std::string path = programDir;
    if (!path.empty() && path.back() != '/')
        path += '/';
    path += help_file_name;
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error))
        return {};
    return path;
}

void open_help(const std::string& helpFile)
{
    if (helpFile.empty())
        return;
    QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(helpFile)));
}

} // namespace zent5
