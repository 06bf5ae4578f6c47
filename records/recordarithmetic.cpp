#include "records/recordarithmetic.h"

#include <bit>
#include <cmath>
#include <limits>

namespace zent5 {
namespace {

constexpr uint64_t kAllOnes = std::numeric_limits<uint64_t>::max();

// A positive binary number m × 2^e, held exactly.
struct Binary {
    uint64_t m = 0;
    int e = 0;
};

// m + 1 with `bits` significant bits, a carry out of them taken into the
// exponent.
Binary nextUp(Binary v, int bits)
{
    const uint64_t largest = bits == 64 ? kAllOnes : (uint64_t(1) << bits) - 1;
    if (v.m == largest)
        return {uint64_t(1) << (bits - 1), v.e + 1};
    return {v.m + 1, v.e};
}

// num ÷ den rounded to `bits` significant bits (at most 64), halves to even,
// as a floating-point unit rounds a quotient. num and den above 0.
Binary roundedQuotient(uint64_t num, uint64_t den, int bits)
{
    uint64_t r = num % den;
    Binary q{num / den, 0};
    bool guard = false;
    bool sticky = false;
    const int width = int(std::bit_width(q.m));
    if (width > bits) {
        const int dropped = width - bits;
        guard = (q.m >> (dropped - 1)) & 1;
        sticky = (q.m & ((uint64_t(1) << (dropped - 1)) - 1)) != 0 || r != 0;
        q.m >>= dropped;
        q.e = dropped;
    } else {
        // Long division on: each step doubles the remainder, which may
        // not fit 64 bits, so 2r >= den is asked as r >= den - r.
        auto nextBit = [&] {
            const bool bit = r >= den - r;
            r = bit ? r - (den - r) : r + r;
            return bit;
        };
        while (int(std::bit_width(q.m)) < bits) {
            q.m = (q.m << 1) | uint64_t(nextBit());
            --q.e;
        }
        guard = nextBit();
        sticky = r != 0;
    }
    if (guard && (sticky || (q.m & 1)))
        return nextUp(q, bits);
    return q;
}

// A value rounded again to fewer significant bits, halves to even: a
// 64-bit intermediate stored as a double.
Binary roundedTo(Binary v, int bits)
{
    const int dropped = int(std::bit_width(v.m)) - bits;
    if (dropped <= 0)
        return v;
    const uint64_t rest = v.m & ((uint64_t(1) << dropped) - 1);
    const uint64_t half = uint64_t(1) << (dropped - 1);
    const Binary kept{v.m >> dropped, v.e + dropped};
    if (rest > half || (rest == half && (kept.m & 1)))
        return nextUp(kept, bits);
    return kept;
}

// trunc(x + 0.5) with the sum rounded to a 64-bit mantissa first, for
// 0 < x < 2^62 given with a full 64-bit mantissa (2^63 <= m).
uint64_t truncatedAfterAddingHalf(Binary x)
{
    const int fractionBits = -x.e;
    if (fractionBits >= 64) {
        // x below 1: the sum reaches 1 from x = 0.5 on, and from the one x
        // below it, 0.5 - 2^-65, whose sum lies halfway below 1 and rounds
        // to the even neighbour, 1.
        if (fractionBits == 64)
            return 1;
        return fractionBits == 65 && x.m == kAllOnes ? 1 : 0;
    }
    const uint64_t half = uint64_t(1) << (fractionBits - 1);
    const uint64_t whole = x.m >> fractionBits;
    const uint64_t fraction = x.m & ((uint64_t(1) << fractionBits) - 1);
    // The sum's whole part and its fraction, in units of x's last bit.
    const uint64_t sumWhole = fraction >= half ? whole + 1 : whole;
    const uint64_t sumFraction = fraction >= half ? fraction - half : fraction + half;
    // Within x's binade the sum is exact; past it the last bit is dropped,
    // and only an odd last bit leaves the sum halfway, to go to the even
    // neighbour. That is the next whole number only when the sum lies one
    // unit below it.
    const bool passesBinade = x.m > kAllOnes - half;
    if (!passesBinade || (x.m & 1) == 0)
        return sumWhole;
    return sumFraction + 1 == (uint64_t(1) << fractionBits) ? sumWhole + 1 : sumWhole;
}

// The instrument's exact half: 1000 × force ÷ area = n + 0.5.
bool atHalf(uint16_t force, uint16_t area)
{
    return (2000 * uint64_t(force) + area) % (2 * uint64_t(area)) == 0;
}

} // namespace

uint32_t stressTenthsStepByStep(uint16_t force, uint16_t area)
{
    if (force == 0)
        return 0;
    const Binary p = roundedTo(roundedQuotient(force, 100, 64), 53);
    const Binary fmm = roundedTo(roundedQuotient(area, 1000, 64), 53);
    // 100 × P has at most 60 bits: exact before the division.
    Binary q = roundedQuotient(100 * p.m, fmm.m, 64);
    q.e += p.e - fmm.e;
    return uint32_t(truncatedAfterAddingHalf(q));
}

uint32_t stressTenths(uint16_t force, uint16_t area)
{
    // Away from an exact half, the stress lies at least 1 ÷ (2 × area) from
    // the rounding boundary, far beyond what the rounding of P, F_MM and the
    // quotient can move it (a few parts in 10^16 of at most 6.6E7).
    if (!atHalf(force, area))
        return uint32_t((2000 * uint64_t(force) + area) / (2 * uint64_t(area)));
    return stressTenthsStepByStep(force, area);
}

uint32_t kgfOf(uint32_t units)
{
    // units × 10^6 ÷ 980665 is never a half: that would need the even
    // 2 × 10^6 × units to equal an odd multiple of 980665. So it lies at
    // least 1 ÷ 1961330 from one, far beyond any rounding error of the
    // instrument's division.
    return uint32_t((2000000 * uint64_t(units) + 980665) / 1961330);
}

DerivedNumbers deriveNumbers(uint16_t force, uint16_t area)
{
    DerivedNumbers n;
    n.P = force / 100.0;
    n.F_MM = area / 1000.0;
    n.F = n.F_MM * 100.0;
    n.P_KG = kgfOf(force);
    if (area != 0) {
        const uint32_t tenths = stressTenths(force, area);
        n.S = tenths / 10.0;
        n.S_KG = kgfOf(tenths);
    }
    return n;
}

} // namespace zent5
