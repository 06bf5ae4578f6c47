// Holds the derivation of a record's numbers against the instrument
// program's own arithmetic, as it ran with x87 extended precision, over every
// raw force 0..65535 and every raw area 1..65535, and prints how many pairs
// were compared and how many differed. Not a test: it runs for minutes.
// Build it optimised and run it on an x86 machine whose long double has a
// 64-bit mantissa:
//   zent5_arithmetic_check [--threads N] [--step-by-step] [--areas FIRST LAST]
// --step-by-step also holds the step-by-step stress of every pair against
// the extended-precision one (the quick road takes it only at exact halves).
#include "records/recordarithmetic.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <optional>
#include <string>
#include <thread>
#include <vector>

using namespace zent5;

namespace {

// The derivation as the instrument's program wrote it: every intermediate in
// extended precision, every stored result a double.
DerivedNumbers extendedDerivation(uint16_t force, uint16_t area)
{
    using X = long double;
    DerivedNumbers r;
    r.P = double(X(force) / X(100));
    r.F_MM = double(X(area) / X(1000));
    if (area != 0)
        r.S = double(std::trunc(X(100) * X(r.P) / X(r.F_MM) + X(0.5)) / X(10));
    r.P_KG = double(std::trunc(X(r.P) / 0.00980665L + X(0.5)));
    if (r.S)
        r.S_KG = double(std::trunc(X(*r.S) / 0.0980665L + X(0.5)));
    r.F = double(X(r.F_MM) * X(100));
    return r;
}

bool same(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }
bool same(const std::optional<double>& a, const std::optional<double>& b)
{
    return a.has_value() == b.has_value() && (!a || same(*a, *b));
}
bool same(const DerivedNumbers& a, const DerivedNumbers& b)
{
    return same(a.P, b.P) && same(a.P_KG, b.P_KG) && same(a.F_MM, b.F_MM) && same(a.F, b.F) && same(a.S, b.S) &&
           same(a.S_KG, b.S_KG);
}

struct Tally {
    uint64_t pairs = 0;
    uint64_t differences = 0;
    uint64_t halves = 0;          // pairs where 1000 × force ÷ area is n + 0.5
    uint64_t halvesDown = 0;      // of those, the ones the instrument rounds down
    uint64_t stepDifferences = 0; // --step-by-step
};

void checkAreas(uint32_t firstArea, uint32_t lastArea, bool stepByStep, Tally& t)
{
    for (uint32_t a = firstArea; a <= lastArea; ++a) {
        const auto area = uint16_t(a);
        for (uint32_t f = 0; f <= 65535; ++f) {
            const auto force = uint16_t(f);
            const DerivedNumbers ours = deriveNumbers(force, area);
            const DerivedNumbers theirs = extendedDerivation(force, area);
            ++t.pairs;
            if (!same(ours, theirs)) {
                if (++t.differences <= 10)
                    std::printf("differs: force %u area %u\n", f, a);
            }
            if (a != 0 && (2000 * uint64_t(f) + a) % (2 * uint64_t(a)) == 0) {
                ++t.halves;
                if (theirs.S && uint64_t(std::llround(*theirs.S * 10)) != (2000 * uint64_t(f) + a) / (2 * uint64_t(a)))
                    ++t.halvesDown;
            }
            if (stepByStep && theirs.S && stressTenthsStepByStep(force, area) / 10.0 != *theirs.S) {
                if (++t.stepDifferences <= 10)
                    std::printf("step by step differs: force %u area %u\n", f, a);
            }
        }
    }
}

} // namespace

int main(int argc, char** argv)
{
    unsigned threads = 1;
    bool stepByStep = false;
    uint32_t firstArea = 1, lastArea = 65535;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--threads" && i + 1 < argc) {
            threads = unsigned(std::max(1, std::atoi(argv[++i])));
        } else if (arg == "--areas" && i + 2 < argc) {
            firstArea = uint32_t(std::clamp(std::atoi(argv[i + 1]), 1, 65535));
            lastArea = uint32_t(std::clamp(std::atoi(argv[i + 2]), 1, 65535));
            i += 2;
        } else if (arg == "--step-by-step") {
            stepByStep = true;
        } else {
            std::fprintf(stderr, "usage: zent5_arithmetic_check [--threads N] [--step-by-step] [--areas FIRST LAST]\n");
            return 2;
        }
    }
    if (std::numeric_limits<long double>::digits != 64) {
        std::fprintf(stderr, "zent5_arithmetic_check: long double here has a %d-bit mantissa, not the x87 64\n",
                     std::numeric_limits<long double>::digits);
        return 2;
    }
    const auto start = std::chrono::steady_clock::now();

    // Area 0 has no stress; its other numbers are compared like the rest.
    Tally zero;
    checkAreas(0, 0, false, zero);

    std::vector<Tally> tallies(threads);
    std::vector<std::thread> workers;
    std::atomic<uint32_t> next{firstArea};
    constexpr uint32_t kBlock = 64;
    for (unsigned k = 0; k < threads; ++k)
        workers.emplace_back([&, k] {
            for (uint32_t first; (first = next.fetch_add(kBlock)) <= lastArea;)
                checkAreas(first, std::min<uint32_t>(first + kBlock - 1, lastArea), stepByStep, tallies[k]);
        });
    for (auto& w : workers)
        w.join();

    Tally all;
    for (const Tally& t : tallies) {
        all.pairs += t.pairs;
        all.differences += t.differences;
        all.halves += t.halves;
        all.halvesDown += t.halvesDown;
        all.stepDifferences += t.stepDifferences;
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("force 0..65535 x area %u..%u: %llu pairs compared, %llu differ\n", firstArea, lastArea,
                (unsigned long long)all.pairs, (unsigned long long)all.differences);
    std::printf("area 0: %llu forces compared, %llu differ\n", (unsigned long long)zero.pairs,
                (unsigned long long)zero.differences);
    std::printf("exact halves: %llu, rounded down by the instrument: %llu\n", (unsigned long long)all.halves,
                (unsigned long long)all.halvesDown);
    if (stepByStep)
        std::printf("step by step: %llu pairs differ\n", (unsigned long long)all.stepDifferences);
    std::printf("%.1f s\n", seconds);
    return all.differences == 0 && zero.differences == 0 && all.stepDifferences == 0 ? 0 : 1;
}
