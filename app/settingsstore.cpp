#include "app/settingsstore.h"

#include <QSettings>

namespace zent5 {

namespace {
QString key(std::string_view name) { return QString::fromUtf8(name.data(), qsizetype(name.size())); }
} // namespace

SettingsStore::SettingsStore()
    : m_settings(std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                             QStringLiteral("Korvelin"), QStringLiteral("ZT")))
{
    m_settings->beginGroup(QStringLiteral("1.0"));
}

SettingsStore::~SettingsStore() = default;

bool SettingsStore::contains(std::string_view name) const { return m_settings->contains(key(name)); }

std::optional<std::string> SettingsStore::text(std::string_view name) const
{
    if (!contains(name))
        return std::nullopt;
    return m_settings->value(key(name)).toString().toStdString();
}

std::optional<int32_t> SettingsStore::integer(std::string_view name) const
{
    if (!contains(name))
        return std::nullopt;
    bool ok = false;
    const int value = m_settings->value(key(name)).toString().trimmed().toInt(&ok);
    if (!ok)
        return std::nullopt;
    return value;
}

void SettingsStore::setText(std::string_view name, const std::string& value)
{
    m_settings->setValue(key(name), QString::fromStdString(value));
    m_settings->sync();
}

void SettingsStore::setInteger(std::string_view name, int32_t value)
{
    m_settings->setValue(key(name), value);
    m_settings->sync();
}

std::string SettingsStore::location() const { return m_settings->fileName().toStdString(); }

} // namespace zent5
