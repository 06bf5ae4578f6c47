#include "link/portnames.h"

#include "link/serialdevice.h"

#include <cstdlib>
#include <sys/stat.h>

namespace zent5::portnames {

namespace {

constexpr const char* kDevicePrefix = "\\\\.\\";

} // namespace

std::string comName(int number)
{
    return std::string(kDevicePrefix) + "COM" + std::to_string(number);
}

std::vector<std::string> searchList()
{
    std::vector<std::string> names;
    for (int n = 1; n <= kPortCount; ++n)
        names.push_back(comName(n));
    return names;
}

int comNumber(const std::string& portName)
{
    std::string rest = portName;
    if (rest.rfind(kDevicePrefix, 0) == 0)
        rest = rest.substr(4);
    if (rest.size() < 4 || rest.size() > 6 || rest.compare(0, 3, "COM") != 0)
        return 0;
    int n = 0;
    for (size_t i = 3; i < rest.size(); ++i) {
        if (rest[i] < '0' || rest[i] > '9')
            return 0;
        n = n * 10 + (rest[i] - '0');
    }
    return rest[3] == '0' ? 0 : n;
}

std::string portsFolder()
{
    std::string base;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg == '/')
        base = xdg;
    else if (const char* home = std::getenv("HOME"); home && *home)
        base = std::string(home) + "/.config";
    else
        return {};
    return base + "/Korvelin/ZT/ports";
}

std::string devicePath(const std::string& portName)
{
    const int n = comNumber(portName);
    if (n == 0)
        return portName;
    const std::string folder = portsFolder();
    if (!folder.empty()) {
        const std::string entry = folder + "/COM" + std::to_string(n);
        struct stat st;
        if (::lstat(entry.c_str(), &st) == 0)
            return entry;
    }
    const std::vector<std::string> devices = enumerateSerialDevices();
    if (static_cast<size_t>(n) <= devices.size())
        return devices[n - 1];
    return {};
}

} // namespace zent5::portnames
