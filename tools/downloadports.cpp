#include "tools/downloadports.h"

#include "link/portnames.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <unistd.h>

namespace zent5::tool {

namespace {

const char* const kConfigHome = "XDG_CONFIG_HOME";
// Where the ports folder lies below the configuration folder.
const char* const kPortsBelow = "/Korvelin/ZT/ports";

} // namespace

std::string DownloadPorts::resolveDevice(const std::string& device)
{
    if (portnames::comNumber(device) > 0)
        return portnames::devicePath(device);
    if (device.empty() || device[0] == '/')
        return device;
    // The link lives in another folder: a relative path would point elsewhere.
    std::error_code ec;
    const std::filesystem::path absolute = std::filesystem::absolute(device, ec);
    return ec ? device : absolute.string();
}

DownloadPorts::DownloadPorts(const std::string& device)
{
    const std::string target = resolveDevice(device);
    if (!m_dir.isValid()) {
        m_error = "cannot make a temporary ports folder: " + m_dir.errorString().toStdString();
        return;
    }
    const std::string folder = m_dir.path().toStdString() + kPortsBelow;
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (ec) {
        m_error = "cannot make " + folder + ": " + ec.message();
        return;
    }
    for (int n = 1; n <= portnames::kPortCount; ++n) {
        // A COM number that maps to nothing stays a link to nowhere rather
        // than falling back to the machine's own serial devices.
        const std::string pointsAt =
            n == 1 && !target.empty() ? target : m_dir.path().toStdString() + "/absent/COM" + std::to_string(n);
        const std::string entry = folder + "/COM" + std::to_string(n);
        if (::symlink(pointsAt.c_str(), entry.c_str()) != 0) {
            m_error = "cannot make " + entry + ": " + std::strerror(errno);
            return;
        }
    }
    if (const char* old = std::getenv(kConfigHome))
        m_oldConfigHome = old;
    ::setenv(kConfigHome, m_dir.path().toLocal8Bit().constData(), 1);
    m_switched = true;
}

DownloadPorts::~DownloadPorts()
{
    if (!m_switched)
        return;
    if (m_oldConfigHome)
        ::setenv(kConfigHome, m_oldConfigHome->c_str(), 1);
    else
        ::unsetenv(kConfigHome);
}

} // namespace zent5::tool
