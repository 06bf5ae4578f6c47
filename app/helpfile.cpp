#include "app/helpfile.h"

#include <QDesktopServices>
#include <QUrl>

#include <filesystem>
#include <system_error>

namespace zent5 {

namespace {

std::string existing_file(const std::filesystem::path& path)
{
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error))
        return {};
    return path.lexically_normal().string();
}

} // namespace

std::string help_file_in(const std::string& programDir)
{
    return existing_file(std::filesystem::path(programDir) / help_file_name);
}

std::string guide_in(const std::string& programDir)
{
    if (programDir.empty())
        return {};
    const std::filesystem::path dir(programDir);
    std::string page = existing_file(dir / ".." / "share" / "zent5" / "help" / guide_first_page);
    if (page.empty())
        page = existing_file(dir / "help" / guide_first_page);
    return page;
}

void open_in_desktop_viewer(const std::string& file)
{
    QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(file)));
}

} // namespace zent5
