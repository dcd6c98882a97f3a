#include "engine/ChipPhase.h"

namespace engine {

namespace {

constexpr double kTwo52 = 4503599627370496.0; // 2^52
constexpr uint64_t kOne = uint64_t{1} << 52;  // 1.0 in units of 2^-52

uint32_t AdvanceLiterally(double& phase, double ratio, int frames) {
    double p = phase;
    uint32_t steps = 0;
    for (int i = 0; i < frames; ++i) {
        while (p >= 1.0) {
            p -= 1.0;
            ++steps;
        }
        p += ratio;
    }
    phase = p;
    return steps;
}

} // namespace

uint32_t AdvanceChipPhase(double& phase, double ratio, int frames) {
    if (frames < 1) return 0;
    // With a ratio in [1, 2) (host rates from 31 250 Hz to the chip rate) every phase the loop
    // produces is a multiple of 2^-52: the fraction left after the subtractions (exact, they
    // remove whole numbers from a value below 4) is one, and so is the ratio, so their sum is
    // exact below 2 and, from 2 on, rounds an odd multiple to the neighbour whose mantissa is
    // even (a tie, since it lies halfway). Integer arithmetic in units of 2^-52 then does the
    // same thing without the latency of the floating-point chain.
    const double scaledPhase = phase * kTwo52; // exact: a power of two
    if (!(ratio >= 1.0 && ratio < 2.0) || !(phase >= 0.0 && phase < 4.0) ||
        static_cast<double>(static_cast<uint64_t>(scaledPhase)) != scaledPhase)
        return AdvanceLiterally(phase, ratio, frames);

    const uint64_t r = static_cast<uint64_t>(ratio * kTwo52);
    const uint64_t rOdd = r & 1u;
    const uint64_t twoFrom = (kOne << 1) - r; // a fraction from here on gives a sum of 2 or more
    uint64_t fraction = static_cast<uint64_t>(scaledPhase);
    uint32_t steps = static_cast<uint32_t>(fraction >> 52);
    fraction &= kOne - 1;
    uint64_t q = 0;
    for (int i = 0; i < frames; ++i) {
        // From 2 on only multiples of 2 units are representable: an odd sum goes to the
        // neighbour that is a multiple of 4 (even mantissa), which is (sum + 1) with the low two
        // bits cleared. Whether that happens follows from the fraction alone, beside the sum.
        const uint64_t round =
            static_cast<uint64_t>(fraction >= twoFrom) & ((fraction & 1u) ^ rOdd);
        q = (fraction + r + round) & ~(round * 3u);
        fraction = q & (kOne - 1);
        steps += static_cast<uint32_t>(q >> 52);
    }
    // The whole part of the last sum is taken off by the next host sample, not by these.
    steps -= static_cast<uint32_t>(q >> 52);
    phase = static_cast<double>(q) / kTwo52;
    return steps;
}

} // namespace engine
