#include "engine/ChipPhase.h"

#include <algorithm>

namespace engine {

namespace {

constexpr double kTwo52 = 4503599627370496.0; // 2^52
constexpr uint64_t kOne = uint64_t{1} << 52;  // 1.0 in units of 2^-52
constexpr uint64_t kFractionMask = kOne - 1;

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

// True when phase and ratio allow the arithmetic in units (see AdvanceChipPhase).
bool InUnits(double phase, double ratio) {
    const double scaledPhase = phase * kTwo52; // exact: a power of two
    return ratio >= 1.0 && ratio < 2.0 && phase >= 0.0 && phase < 4.0 &&
           static_cast<double>(static_cast<uint64_t>(scaledPhase)) == scaledPhase;
}

// frames >= 1 host samples in units from fraction (below 1.0): adds each sample's whole part to
// steps and returns the last sum, of which the fraction is kept.
uint64_t StepInUnits(uint64_t& fraction, uint32_t& steps, uint64_t r, int frames) {
    const uint64_t rOdd = r & 1u;
    const uint64_t twoFrom = (kOne << 1) - r; // a fraction from here on gives a sum of 2 or more
    uint64_t f = fraction;
    uint64_t q = 0;
    for (int i = 0; i < frames; ++i) {
        // From 2 on only multiples of 2 units are representable: an odd sum goes to the
        // neighbour that is a multiple of 4 (even mantissa), which is (sum + 1) with the low two
        // bits cleared. Whether that happens follows from the fraction alone, beside the sum.
        const uint64_t round = static_cast<uint64_t>(f >= twoFrom) & ((f & 1u) ^ rOdd);
        q = (f + r + round) & ~(round * 3u);
        f = q & kFractionMask;
        steps += static_cast<uint32_t>(q >> 52);
    }
    fraction = f;
    return q;
}

// The end of an advance in units: the whole part of the last sum is taken off by the next host
// sample, not by these.
uint32_t Finish(double& phase, uint32_t steps, uint64_t lastSum) {
    phase = static_cast<double>(lastSum) / kTwo52;
    return steps - static_cast<uint32_t>(lastSum >> 52);
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
    if (!InUnits(phase, ratio)) return AdvanceLiterally(phase, ratio, frames);
    const uint64_t scaled = static_cast<uint64_t>(phase * kTwo52);
    uint64_t fraction = scaled & kFractionMask;
    uint32_t steps = static_cast<uint32_t>(scaled >> 52);
    const uint64_t lastSum =
        StepInUnits(fraction, steps, static_cast<uint64_t>(ratio * kTwo52), frames);
    return Finish(phase, steps, lastSum);
}

template <int kLength> void ChipPhaseJumps::Table<kLength>::Prepare(uint64_t r) {
    const uint64_t d = r - kOne;
    const uint64_t twoFrom = kOne - d;
    // Sample j of a jump starts from the fraction plus j * d (less the wraps and roundings
    // before it); it lands on 0 or on twoFrom, where its outcome changes, from these fractions.
    for (int j = 0; j < kLength; ++j) {
        const uint64_t moved = (static_cast<uint64_t>(j) * d) & kFractionMask;
        point[2 * j] = (kOne - moved) & kFractionMask;
        point[2 * j + 1] = (twoFrom - moved) & kFractionMask;
    }
    std::sort(point, point + kPoints);
    point[kPoints] = kOne;

    const unsigned rLow = static_cast<unsigned>(r & 3u);
    for (int i = 0; i < kPoints; ++i) {
        // The stretch's path, taken at its first point (which belongs to it).
        bool wrapsAt[kLength];
        int count = 0;
        for (int j = 0; j < kLength; ++j) {
            wrapsAt[j] = ((point[i] + static_cast<uint64_t>(j) * d) & kFractionMask) >= twoFrom;
            count += wrapsAt[j] ? 1 : 0;
        }
        wraps[i] = static_cast<uint8_t>(count);
        // The last two bits of the sum decide the rounding of a wrapping sample: 1 rounds down
        // and 3 up to a multiple of 4, 0 and 2 stay; the new fraction keeps the rounded bits.
        for (unsigned low = 0; low < 4; ++low) {
            unsigned bits = low;
            int total = 0;
            for (int j = 0; j < kLength; ++j) {
                const unsigned sum = (bits + rLow) & 3u;
                if (wrapsAt[j] && (sum & 1u) != 0) {
                    total += sum == 3u ? 1 : -1;
                    bits = 0;
                } else {
                    bits = sum;
                }
            }
            rounding[i][low] = static_cast<int8_t>(total);
        }
    }
}

template <int kLength>
bool ChipPhaseJumps::Table<kLength>::Jump(uint64_t& plain, int64_t& rounded, uint32_t& steps,
                                          uint64_t step) const {
    // The roundings within a jump move the fraction by fewer than kLength units, so from this
    // distance to every critical point on it cannot cross one.
    constexpr uint64_t kMargin = kLength;
    // The stretch is looked up for the plain rotation, which does not wait for the roundings of
    // earlier jumps (they are a few units at most, so it is nearly always the fraction's own
    // stretch; the test below makes sure). The halving steps take no branches.
    static_assert((kPoints & (kPoints - 1)) == 0, "a power of two");
    int i = 0;
    for (int half = kPoints / 2; half > 0; half /= 2) i += point[i + half] <= plain ? half : 0;
    const uint64_t fraction = (plain + static_cast<uint64_t>(rounded)) & kFractionMask;
    if (fraction < point[i] + kMargin || point[i + 1] < fraction + kMargin) return false;
    rounded += rounding[i][fraction & 3u];
    steps += static_cast<uint32_t>(kLength + wraps[i]);
    plain = (plain + kLength * step) & kFractionMask;
    return true;
}

void ChipPhaseJumps::Prepare(double ratio) {
    ratio_ = 0.0;
    if (!(ratio >= 1.0 && ratio < 2.0)) return;
    const uint64_t r = static_cast<uint64_t>(ratio * kTwo52);
    long_.Prepare(r);
    short_.Prepare(r);
    step_ = r - kOne;
    ratio_ = ratio;
}

uint32_t ChipPhaseJumps::Advance(double& phase, double ratio, int frames) const {
    if (frames < 1) return 0;
    if (ratio != ratio_ || !InUnits(phase, ratio)) return AdvanceChipPhase(phase, ratio, frames);
    const uint64_t r = kOne + step_;
    const uint64_t scaled = static_cast<uint64_t>(phase * kTwo52);
    uint64_t fraction = scaled & kFractionMask;
    uint32_t steps = static_cast<uint32_t>(scaled >> 52);
    // The fraction is kept as the plain rotation and the sum of the roundings so far, so that
    // only the roundings form a chain from one jump to the next. A jump that is not clear takes
    // its samples in turn from the fraction itself.
    uint64_t plain = fraction;
    int64_t rounded = 0;
    const auto stepInTurn = [&](int count) {
        fraction = (plain + static_cast<uint64_t>(rounded)) & kFractionMask;
        StepInUnits(fraction, steps, r, count);
        plain = fraction;
        rounded = 0;
    };
    // The last sample is always taken in turn, since its sum is what the phase becomes.
    int remaining = frames;
    for (; remaining > 64; remaining -= 64)
        if (!long_.Jump(plain, rounded, steps, step_)) stepInTurn(64);
    for (; remaining > 8; remaining -= 8)
        if (!short_.Jump(plain, rounded, steps, step_)) stepInTurn(8);
    fraction = (plain + static_cast<uint64_t>(rounded)) & kFractionMask;
    const uint64_t lastSum = StepInUnits(fraction, steps, r, remaining);
    return Finish(phase, steps, lastSum);
}

} // namespace engine
