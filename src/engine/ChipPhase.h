#pragma once
// The chip-rate phase of the render loop, advanced over many host samples at once. Per host
// sample the loop does: while (phase >= 1) { phase -= 1; one chip step; } phase += ratio. This
// gives the same phase, to the bit, and the number of chip steps taken.

#include <cstdint>

namespace engine {

// Advances phase over frames host samples; returns the number of chip steps.
uint32_t AdvanceChipPhase(double& phase, double ratio, int frames);

// The same advance in jumps of 64 and of 8 host samples, for one ratio prepared beforehand.
//
// With a ratio in [1, 2) the phase is a whole number of units of 2^-52 (see ChipPhase.cpp). Its
// fraction then moves like a rotation by the ratio's fraction, plus a rounding of one unit up or
// down on some of the samples where the sum reaches 2; whether a sample rounds, and which way,
// follows from the fraction's last two bits alone. So every fraction that lies between the same
// two of the critical points (the fractions from which some sample of the jump would land
// exactly on a wrap) takes the same path through the jump: the same chip steps, and a rounding
// total that depends only on its last two bits. A table holds those per stretch; a fraction
// closer to a critical point than the roundings of a jump could carry it takes the samples one
// at a time.
class ChipPhaseJumps {
public:
    // Prepares the tables for ratio (tens of microseconds); a ratio outside [1, 2) leaves them
    // empty and Advance then takes every sample in turn.
    void Prepare(double ratio);
    // Exactly AdvanceChipPhase(phase, ratio, frames), faster when ratio is the prepared one.
    uint32_t Advance(double& phase, double ratio, int frames) const;

private:
    template <int kLength> struct Table {
        static constexpr int kPoints = 2 * kLength;
        // The critical points in ascending order (point[0] is 0), closed by 2^52; stretch i is
        // [point[i], point[i + 1]).
        uint64_t point[kPoints + 1] = {};
        // Per stretch: the wraps in a jump (sums of 2 or more: two chip steps in a sample
        // instead of one), and the rounding total for each value of the fraction's last bits.
        uint8_t wraps[kPoints] = {};
        int8_t rounding[kPoints][4] = {};

        void Prepare(uint64_t ratioUnits);
        // One jump of kLength samples from the fraction plain + rounded (the plain rotation and
        // the roundings so far), if it lies clear of the critical points.
        bool Jump(uint64_t& plain, int64_t& rounded, uint32_t& steps, uint64_t step) const;
    };

    double ratio_ = 0.0; // 0: nothing prepared
    uint64_t step_ = 0;  // the ratio's fraction, in units
    Table<64> long_;
    Table<8> short_;
};

} // namespace engine
