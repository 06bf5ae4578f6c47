#include "app/versiontext.h"

#include "zent5_version.h"

namespace zent5 {

std::string file_version_text(std::string_view stampedVersion)
{
    if (stampedVersion.empty())
        return "0.0.0.0";
    return std::string(stampedVersion);
}

std::string file_version_text() { return file_version_text(ZENT5_FILE_VERSION); }

std::string about_version_text() { return "Версия " + file_version_text(); }

} // namespace zent5
