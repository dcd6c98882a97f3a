#pragma once
// The all-pole filter of order 10 that every chip sample passes: y[n] = g*x[n] + sum c_k*y[n-k],
// designed from the poles of a 10th-order Bessel low-pass prototype mapped to the chip rate. Its
// cutoff lies so close to the chip's Nyquist frequency that it does not cut the highs; it shapes
// them, rising from 0 dB at DC to about +6.5 dB at half the chip rate.

#include <cstdint>
#include <cstring>

namespace engine {

class ChipFilter {
public:
    static constexpr int kOrder = 10;
    // The cutoff of the chip's filter as a fraction of the chip rate (18 000 Hz at 62 500 Hz).
    static constexpr double kChipCutoff = 0.288;

    // Designs g and c1..c10 for the normalised cutoff f (fraction of the sample rate).
    void Design(double normalizedCutoff);
    // Clears y1..y10.
    void ClearHistory();
    // One sample; a result that is zero or subnormal is stored and returned as +0.0. Inline: the
    // render loop calls it for every chip sample.
    double Process(double x) {
        double y = g_ * x;
        for (int k = 0; k < kOrder; ++k) y = y + c_[k] * y_[k];
        if (ExponentFieldIsZero(y)) y = 0.0;
        for (int k = kOrder - 1; k > 0; --k) y_[k] = y_[k - 1];
        y_[0] = y;
        return y;
    }

    // True when y1..y10 are all zero, so that an input of 0 gives 0 and leaves them so.
    bool HoldsZeros() const {
        for (double y : y_)
            if (y != 0.0) return false;
        return true;
    }

    double Gain() const { return g_; }
    // c_k for k = 1..10.
    double Coefficient(int k) const { return c_[k - 1]; }

private:
    static bool ExponentFieldIsZero(double value) {
        std::uint64_t bits;
        std::memcpy(&bits, &value, sizeof bits);
        return ((bits >> 52) & 0x7FF) == 0;
    }

    double g_ = 1.0;
    double c_[kOrder] = {};
    double y_[kOrder] = {}; // y_[0] is y1, the latest output
};

} // namespace engine
