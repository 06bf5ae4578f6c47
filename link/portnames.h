#pragma once

#include <string>
#include <vector>

// The program names its ports as a Windows desktop does, "\\.\COM1" to
// "\\.\COM38". On this platform each name maps to a device path:
//   1. an entry COMn in the user's ports folder, if one exists (normally a
//      symbolic link to a device; a link to nowhere makes the port absent);
//   2. otherwise the n-th serial device the platform enumerates.
// Any other name is taken as a device path as it stands.
namespace zent5::portnames {

constexpr int kPortCount = 38;

// "\\.\COM<n>".
std::string comName(int number);
// The 38 names in search order.
std::vector<std::string> searchList();
// n for "\\.\COMn" (also "COMn"), 0 for any other name.
int comNumber(const std::string& portName);

// $XDG_CONFIG_HOME/Korvelin/ZT/ports, or ~/.config/Korvelin/ZT/ports.
std::string portsFolder();

// The device path for a port name, or empty when the name maps to nothing.
std::string devicePath(const std::string& portName);

} // namespace zent5::portnames
