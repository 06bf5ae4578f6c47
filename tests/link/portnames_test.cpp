#include "link/portnames.h"
#include "link/serialdevice.h"

#include "tests/link/linktestsupport.h"

#include <gtest/gtest.h>

namespace zent5 {
namespace {

TEST(PortNames, ComNumber)
{
    struct Case {
        const char* name;
        int number;
    };
    const Case cases[] = {
        {"\\\\.\\COM1", 1}, {"\\\\.\\COM38", 38}, {"\\\\.\\COM100", 100}, {"COM7", 7},
        {"\\\\.\\COM0", 0}, {"\\\\.\\COM01", 0},  {"\\\\.\\COM", 0},      {"\\\\.\\COMX", 0},
        {"\\\\.\\LPT1", 0}, {"/dev/ttyUSB0", 0},  {"", 0},                {"\\\\.\\COM1x", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(portnames::comNumber(c.name), c.number);
    }
}

TEST(PortNames, SearchListIsCom1ToCom38InOrder)
{
    const auto list = portnames::searchList();
    ASSERT_EQ(list.size(), 38u);
    EXPECT_EQ(list.front(), "\\\\.\\COM1");
    EXPECT_EQ(list[9], "\\\\.\\COM10");
    EXPECT_EQ(list.back(), "\\\\.\\COM38");
}

TEST(PortNames, PortsFolderFollowsXdgConfigHome)
{
    testing::PortsFolder folder;
    EXPECT_EQ(portnames::portsFolder(), folder.path());

    const std::string xdg = std::getenv("XDG_CONFIG_HOME");
    ::setenv("XDG_CONFIG_HOME", "relative/dir", 1); // not absolute: ignored
    const char* home = std::getenv("HOME");
    if (home) {
        EXPECT_EQ(portnames::portsFolder(), std::string(home) + "/.config/Korvelin/ZT/ports");
    }
    ::setenv("XDG_CONFIG_HOME", xdg.c_str(), 1);
}

TEST(PortNames, FolderEntryTakesPrecedence)
{
    testing::PortsFolder folder;
    folder.point(1, "/dev/null");
    folder.block(3);
    EXPECT_EQ(portnames::devicePath("\\\\.\\COM1"), folder.entry(1));
    // A link to nowhere still names the port: it is then absent.
    EXPECT_EQ(portnames::devicePath("\\\\.\\COM3"), folder.entry(3));
    EXPECT_EQ(portnames::devicePath("/dev/ttyUSB7"), "/dev/ttyUSB7");
}

TEST(PortNames, WithoutEntryTheNthEnumeratedDevice)
{
    testing::PortsFolder folder;
    const auto devices = enumerateSerialDevices();
    for (size_t i = 0; i < devices.size() && i < 38; ++i)
        EXPECT_EQ(portnames::devicePath(portnames::comName(static_cast<int>(i + 1))), devices[i]);
    if (devices.size() < 38) {
        EXPECT_EQ(portnames::devicePath(portnames::comName(38)), "");
    }
    EXPECT_EQ(enumerateSerialDevices(), devices); // stable from call to call
}

} // namespace
} // namespace zent5
