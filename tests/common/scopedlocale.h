#pragma once

#include "tests/common/locales.h"

#include <QLocale>
#include <QString>

namespace zent5::testing {

// A locale for one scope as a program started under it sees it: the C
// library's (what Qt applies at start-up) and Qt's default locale, which
// gives the program its decimal separator.
class ScopedLocale {
public:
    explicit ScopedLocale(const char* name) : m_c(name)
    {
        const QString language = QString::fromLatin1(name).section(QLatin1Char('.'), 0, 0);
        QLocale::setDefault(language == QLatin1String("C") ? QLocale::c() : QLocale(language));
    }
    ~ScopedLocale() { QLocale::setDefault(m_qt); }
    ScopedLocale(const ScopedLocale&) = delete;
    ScopedLocale& operator=(const ScopedLocale&) = delete;

    bool ok() const { return m_c.ok(); }

private:
    QLocale m_qt;
    ScopedCLocale m_c;
};

} // namespace zent5::testing
