#pragma once

#include <QTemporaryDir>

#include <optional>
#include <string>

namespace zent5::tool {

// Makes the download see one device only: for as long as it lives, the
// per-user ports folder is a temporary one in which COM1 is the device and
// every other COM number leads nowhere. The download then asks COM1 first
// and, should that fail, finds nothing else in its search.
class DownloadPorts {
public:
    // `device` is a device path or a COM name ("COM3", "\\.\COM3"), which is
    // resolved through the user's own ports before they are hidden.
    explicit DownloadPorts(const std::string& device);
    ~DownloadPorts();
    DownloadPorts(const DownloadPorts&) = delete;
    DownloadPorts& operator=(const DownloadPorts&) = delete;

    // False when the temporary folder could not be made; `error` says why.
    bool ok() const { return m_error.empty(); }
    const std::string& error() const { return m_error; }

    static std::string resolveDevice(const std::string& device);

private:
    QTemporaryDir m_dir;
    std::optional<std::string> m_oldConfigHome;
    bool m_switched = false;
    std::string m_error;
};

} // namespace zent5::tool
