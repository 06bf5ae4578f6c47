#include "journal/datafolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

using namespace zent5::journal;

namespace {

// Sets an environment variable for the scope and puts the old value back.
class EnvironmentScope {
public:
    EnvironmentScope(const char* name, const char* value) : m_name(name)
    {
        if (const char* old = std::getenv(name))
            m_old = old;
        if (value)
            ::setenv(name, value, 1);
        else
            ::unsetenv(name);
        ::tzset();
    }
    ~EnvironmentScope()
    {
        if (m_old)
            ::setenv(m_name.c_str(), m_old->c_str(), 1);
        else
            ::unsetenv(m_name.c_str());
        ::tzset();
    }

private:
    std::string m_name;
    std::optional<std::string> m_old;
};

} // namespace

TEST(DataFolder, FollowsXdgDataHomeOrTheHomeFolder)
{
    const struct {
        const char* xdg;
        const char* home;
        const char* journal;
    } cases[] = {
        {"/srv/данные", "/home/u", "/srv/данные/Korvelin/ZT/journal"},
        {"/srv/data/", "/home/u", "/srv/data/Korvelin/ZT/journal"},
        {"relative/data", "/home/u", "/home/u/.local/share/Korvelin/ZT/journal"},
        {"", "/home/u", "/home/u/.local/share/Korvelin/ZT/journal"},
        {nullptr, "/home/u", "/home/u/.local/share/Korvelin/ZT/journal"},
        {nullptr, nullptr, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.xdg ? c.xdg : "(none)") + " " + (c.home ? c.home : "(none)"));
        EnvironmentScope xdg("XDG_DATA_HOME", c.xdg);
        EnvironmentScope home("HOME", c.home);
        EXPECT_EQ(journalFolder(), c.journal);
    }
}

TEST(DataFolder, TheClockGivesTheLocalOffset)
{
    const struct {
        const char* tz;
        int32_t offset;
    } cases[] = {{"MSK-3", 3 * 3600}, {"UTC0", 0}, {"NST3:30", -(3 * 3600 + 1800)}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.tz);
        EnvironmentScope tz("TZ", c.tz);
        const int64_t before = std::time(nullptr);
        const Moment m = now();
        EXPECT_EQ(m.utcOffsetSeconds, c.offset);
        EXPECT_GE(m.utcSeconds, before);
        EXPECT_LE(m.utcSeconds, before + 5);
    }
}
