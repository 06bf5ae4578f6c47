#include "fractilefactor.h"

#include <array>

namespace zent5::stats {
namespace {

struct Listed {
    size_t n;
    double k;
};

constexpr std::array<Listed, 8> kListed{{
    {3, 3.37}, {4, 2.63}, {5, 2.33}, {6, 2.18}, {8, 2.00}, {10, 1.92}, {20, 1.76}, {30, 1.73},
}};
constexpr double kLimit = 1.64; // n → ∞, where 1/n is 0

} // namespace

std::optional<double> fractileFactor(size_t n)
{
    if (n < kListed.front().n)
        return std::nullopt;
    for (size_t i = 0; i < kListed.size(); ++i) {
        if (n == kListed[i].n)
            return kListed[i].k; // exactly as listed, without interpolation noise
        if (i + 1 < kListed.size() && n < kListed[i + 1].n) {
            const double x0 = 1.0 / double(kListed[i].n), x1 = 1.0 / double(kListed[i + 1].n);
            const double t = (1.0 / double(n) - x0) / (x1 - x0);
            return kListed[i].k + t * (kListed[i + 1].k - kListed[i].k);
        }
    }
    const double x0 = 1.0 / double(kListed.back().n);
    return kLimit + (1.0 / double(n)) / x0 * (kListed.back().k - kLimit);
}

} // namespace zent5::stats
