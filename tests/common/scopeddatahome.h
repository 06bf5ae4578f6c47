#pragma once

#include <QTemporaryDir>

#include <cstdlib>
#include <string>

namespace zent5::testing {

// A private XDG_DATA_HOME while it lives, so the journal and the due dates
// the program reads and writes are the test's own, and never the user's.
class ScopedDataHome {
public:
    ScopedDataHome()
    {
        if (const char* old = std::getenv("XDG_DATA_HOME")) {
            m_hadOld = true;
            m_old = old;
        }
        ::setenv("XDG_DATA_HOME", m_dir.path().toLocal8Bit().constData(), 1);
    }
    ~ScopedDataHome()
    {
        if (m_hadOld)
            ::setenv("XDG_DATA_HOME", m_old.c_str(), 1);
        else
            ::unsetenv("XDG_DATA_HOME");
    }
    ScopedDataHome(const ScopedDataHome&) = delete;
    ScopedDataHome& operator=(const ScopedDataHome&) = delete;

    // The program's data folder under it, not made yet.
    std::string dataFolder() const { return m_dir.path().toStdString() + "/Korvelin/ZT"; }
    std::string journalFolder() const { return dataFolder() + "/journal"; }
    std::string datesFile() const { return dataFolder() + "/instruments.dat"; }

private:
    QTemporaryDir m_dir;
    std::string m_old;
    bool m_hadOld = false;
};

} // namespace zent5::testing
