#pragma once

#include <clocale>
#include <locale>
#include <string>

namespace zent5::testing {

// Sets the C and the C++ global locale while it lives, as the program runs
// on a Russian desktop, and puts both back afterwards. ok() is false when
// the locale is not installed (nothing is changed then).
class ScopedLocale {
public:
    explicit ScopedLocale(const char* name) : m_savedC(std::setlocale(LC_ALL, nullptr))
    {
        m_ok = std::setlocale(LC_ALL, name) != nullptr;
        if (m_ok)
            m_savedCpp = std::locale::global(std::locale(name));
    }
    ~ScopedLocale()
    {
        if (!m_ok)
            return;
        std::locale::global(m_savedCpp);
        std::setlocale(LC_ALL, m_savedC.c_str());
    }
    ScopedLocale(const ScopedLocale&) = delete;
    ScopedLocale& operator=(const ScopedLocale&) = delete;

    bool ok() const { return m_ok; }

private:
    std::string m_savedC;
    std::locale m_savedCpp;
    bool m_ok = false;
};

// The locales the tests of shown and file text run under.
inline const char* const kTestLocales[] = {"C.UTF-8", "ru_RU.UTF-8", "de_DE.UTF-8"};

} // namespace zent5::testing
