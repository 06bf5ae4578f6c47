#pragma once

#include "tests/common/scopedlocale.h"

#include <QLocale>
#include <QString>

namespace zent5::testing {

// A locale for one scope as a program started under it sees it: the C and
// C++ locales (what Qt applies at start-up) and Qt's default locale, which
// gives the program its decimal separator.
class ProgramLocale {
public:
    explicit ProgramLocale(const char* name) : m_c(name)
    {
        const QString language = QString::fromLatin1(name).section(QLatin1Char('.'), 0, 0);
        QLocale::setDefault(language == QLatin1String("C") ? QLocale::c() : QLocale(language));
    }
    ~ProgramLocale() { QLocale::setDefault(m_saved); }
    ProgramLocale(const ProgramLocale&) = delete;
    ProgramLocale& operator=(const ProgramLocale&) = delete;

    bool ok() const { return m_c.ok(); }

private:
    QLocale m_saved;
    ScopedLocale m_c;
};

// The test locales, each with the decimal separator a program shows numbers
// with under it.
struct LocaleSeparator {
    const char* locale;
    char separator;
};
inline constexpr LocaleSeparator kLocaleSeparators[] = {
    {"C.UTF-8", '.'},
    {"ru_RU.UTF-8", ','},
    {"de_DE.UTF-8", ','},
};

} // namespace zent5::testing
