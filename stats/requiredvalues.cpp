#include "requiredvalues.h"

#include "records/units.h"

namespace zent5::stats {
namespace {

std::optional<double> converted(const std::optional<double>& v, double (*convert)(double))
{
    if (!v)
        return std::nullopt;
    return convert(*v);
}

} // namespace

RequiredValues requiredInKgf(const RequiredValues& inKilonewtons)
{
    return {converted(inKilonewtons.force, kgfFromKilonewtons),
            converted(inKilonewtons.stress, kgfPerCm2FromMegapascals)};
}

RequiredValues requiredInKilonewtons(const RequiredValues& inKgf)
{
    return {converted(inKgf.force, kilonewtonsFromKgf), converted(inKgf.stress, megapascalsFromKgfPerCm2)};
}

} // namespace zent5::stats
