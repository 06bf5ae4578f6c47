#pragma once

#include <QLocale>
#include <QString>

namespace zent5::testing {

// Sets the locale Qt reads as the system's ("ru_RU.UTF-8" is Qt's ru_RU),
// where the program takes the decimal separator it shows, and puts the one
// before back afterwards. Goes with ScopedLocale, which sets the C library's.
class DefaultQtLocale {
public:
    explicit DefaultQtLocale(const char* name)
    {
        QLocale::setDefault(QLocale(QString::fromLatin1(name).section(QLatin1Char('.'), 0, 0)));
    }
    ~DefaultQtLocale() { QLocale::setDefault(m_saved); }
    DefaultQtLocale(const DefaultQtLocale&) = delete;
    DefaultQtLocale& operator=(const DefaultQtLocale&) = delete;

private:
    QLocale m_saved;
};

} // namespace zent5::testing
