#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

class QSettings;

namespace zent5 {

// The per-user settings key of the program: organisation "Korvelin",
// application "ZT", group "1.0", in the platform's native store (an INI file
// under $XDG_CONFIG_HOME/Korvelin/ on Linux). Every write reaches the store
// at once.
class SettingsStore {
public:
    SettingsStore();
    ~SettingsStore();
    SettingsStore(const SettingsStore&) = delete;
    SettingsStore& operator=(const SettingsStore&) = delete;

    bool contains(std::string_view name) const;
    std::optional<std::string> text(std::string_view name) const;
    // Nothing when the value is absent or does not read as a 32-bit integer.
    std::optional<int32_t> integer(std::string_view name) const;

    void setText(std::string_view name, const std::string& value);
    void setInteger(std::string_view name, int32_t value);

    // The file that holds the key (for messages and tests).
    std::string location() const;

private:
    std::unique_ptr<QSettings> m_settings;
};

} // namespace zent5
