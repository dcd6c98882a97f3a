#pragma once
// Second-order filter sections with Q = 1/sqrt(2): the output DC blocker, the controller
// smoothers and the per-operator output low-pass. Coefficients come from our own correctly
// rounded sine and cosine (RenderMath.h) so that every build computes the same bits.

namespace engine {

// True for a normal finite double (not zero, subnormal, infinite or NaN). Comparisons with NaN
// are false, so NaN fails both tests.
inline bool IsNormalFinite(double v) {
    const double a = v < 0 ? -v : v;
    return a >= 2.2250738585072014e-308 && a <= 1.7976931348623157e308;
}

class Filter {
public:
    Filter(double sampleRate, double cutoff) : sampleRate(sampleRate), cutoff(cutoff) {}
    virtual ~Filter() = default;

    // One sample in, one out. Non-normal inputs and states (zero, subnormal, infinite, NaN) are
    // replaced by 0 first, so a bad value never stays in the state.
    virtual double Process(double x);
    // What Process does, inline, for the loops that call it every sample.
    double ProcessSample(double x) {
        if (!IsNormalFinite(x)) x = 0.0;
        if (!IsNormalFinite(x1)) x1 = 0.0;
        if (!IsNormalFinite(x2)) x2 = 0.0;
        if (!IsNormalFinite(y1)) y1 = 0.0;
        if (!IsNormalFinite(y2)) y2 = 0.0;
        const double y = ((b0 * (x + x2) + b1 * x1) + c1 * y1) + c2 * y2;
        x2 = x1;
        x1 = x;
        y2 = y1;
        y1 = y;
        return y;
    }
    // Process(x), without the arithmetic when an input of 0 meets a state of zeros: every product
    // is then a zero, the first one +0, so the output is +0 and the state is left at +0.
    double ProcessAtRest(double x) {
        if (x == 0.0 && x1 == 0.0 && x2 == 0.0 && y1 == 0.0 && y2 == 0.0) {
            x1 = x2 = y1 = y2 = 0.0;
            return 0.0;
        }
        return Process(x);
    }
    // Coefficients from sampleRate and cutoff; clears the state.
    virtual void Recompute() = 0;

    void SetSampleRate(double rate) {
        sampleRate = rate;
        Recompute();
    }
    void SetCutoff(double frequency) {
        cutoff = frequency;
        Recompute();
    }

    double sampleRate;
    double cutoff;
    double c1 = 0, c2 = 0, b0 = 0, b1 = 0; // b2 equals b0
    double x1 = 0, x2 = 0, y1 = 0, y2 = 0;

protected:
    // Shared part of Recompute: w, cos w and n = 1/(1 + alpha); sets c1 and c2, clears the state.
    void Prepare(double& cosW, double& n);
};

// Both sections design their coefficients at construction.
class LowPass : public Filter {
public:
    LowPass(double sampleRate, double cutoff) : Filter(sampleRate, cutoff) { LowPass::Recompute(); }
    void Recompute() override;
};

class HighPass : public Filter {
public:
    HighPass(double sampleRate, double cutoff) : Filter(sampleRate, cutoff) {
        HighPass::Recompute();
    }
    void Recompute() override;
};

} // namespace engine
