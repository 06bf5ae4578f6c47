#pragma once

#include <clocale>
#include <string>

namespace zent5::testing {

// The locales texts shown to the user are checked under: the users' own,
// the plain one, and another with the decimal comma.
struct TestLocale {
    const char* name;
    char separator; // the locale's decimal separator
};
inline constexpr TestLocale kTestLocales[] = {
    {"ru_RU.UTF-8", ','},
    {"C.UTF-8", '.'},
    {"de_DE.UTF-8", ','},
};

// The C library's locale for one scope, as a program gets it from the
// system at start-up.
class ScopedCLocale {
public:
    explicit ScopedCLocale(const char* name) : m_old(std::setlocale(LC_ALL, nullptr))
    {
        m_ok = std::setlocale(LC_ALL, name) != nullptr;
    }
    ~ScopedCLocale() { std::setlocale(LC_ALL, m_old.c_str()); }
    ScopedCLocale(const ScopedCLocale&) = delete;
    ScopedCLocale& operator=(const ScopedCLocale&) = delete;

    bool ok() const { return m_ok; }

private:
    std::string m_old;
    bool m_ok = false;
};

} // namespace zent5::testing
