#include "app/requiredsettings.h"

#include "app/settingsstore.h"
#include "stats/statscsv.h"

#include <charconv>
#include <cmath>

namespace zent5 {
namespace {

constexpr const char* kForce = "Required_force";
constexpr const char* kStress = "Required_stress";

std::optional<double> stored(const SettingsStore& settings, const char* name)
{
    const std::optional<std::string> text = settings.text(name);
    if (!text || text->empty())
        return std::nullopt;
    double v = 0;
    const auto [end, error] = std::from_chars(text->data(), text->data() + text->size(), v);
    if (error != std::errc() || end != text->data() + text->size() || !std::isfinite(v) || v < 0)
        return std::nullopt;
    return v;
}

void store(SettingsStore& settings, const char* name, const std::optional<double>& v)
{
    settings.setText(name, v ? stats::fileNumber(*v) : std::string());
}

} // namespace

stats::RequiredValues read_required_values(const SettingsStore& settings)
{
    return {stored(settings, kForce), stored(settings, kStress)};
}

void write_required_values(SettingsStore& settings, const stats::RequiredValues& kilonewtons)
{
    store(settings, kForce, kilonewtons.force);
    store(settings, kStress, kilonewtons.stress);
}

} // namespace zent5
