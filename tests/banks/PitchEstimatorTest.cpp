// The pitch estimator's correlations come from transforms: they must equal the direct sums at
// every lag and frame size the estimator asks for, and the estimate built on them must find the
// fundamental of bright and of octave-heavy tones across the registers the banks use, without
// being pulled an octave either way.

#include "PitchEstimator.h"
#include "LagCorrelation.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

using namespace banktest;

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kRate = 44100.0;
constexpr double kNote60 = 261.63;

double Noise(std::uint32_t& state) {
    state = state * 1664525u + 1013904223u;
    return static_cast<double>(state >> 8) / 8388608.0 - 1.0;
}

std::vector<double> DirectCorrelation(const std::vector<float>& x, int window, int maxLag) {
    std::vector<double> r(static_cast<std::size_t>(maxLag) + 1, 0.0);
    for (int lag = 0; lag <= maxLag; ++lag)
        for (int i = 0; i < window; ++i)
            r[static_cast<std::size_t>(lag)] +=
                static_cast<double>(x[static_cast<std::size_t>(i)]) *
                x[static_cast<std::size_t>(i + lag)];
    return r;
}

// One second of harmonics h = 1, 2, ... of f with the given amplitudes, each scaled by decay per
// second (1 = steady).
std::vector<float> Tone(double f, const std::vector<double>& amplitudes,
                        double decayPerSecond = 1) {
    std::vector<float> mono(static_cast<std::size_t>(kRate));
    for (std::size_t i = 0; i < mono.size(); ++i) {
        const double t = static_cast<double>(i) / kRate;
        double value = 0.0;
        for (std::size_t h = 0; h < amplitudes.size(); ++h)
            if (f * static_cast<double>(h + 1) < 0.45 * kRate)
                value += amplitudes[h] * std::sin(2.0 * kPi * f * static_cast<double>(h + 1) * t);
        mono[i] = static_cast<float>(0.3 * value * std::pow(decayPerSecond, t));
    }
    return mono;
}

// The estimate over 100 .. 900 ms as the bank checks take it, as a multiple of note 60.
double EstimatedRatio(const std::vector<float>& mono, double expectedRatio) {
    PitchSearch search;
    search.expectedHz = expectedRatio * kNote60;
    PitchEstimate estimate = EstimatePitch(mono, 4410, 39690, search, 1e-4);
    return estimate.found ? estimate.frequency / kNote60 : 0.0;
}

std::vector<double> Sawtooth(int harmonics) {
    std::vector<double> amplitudes;
    for (int h = 1; h <= harmonics; ++h) amplitudes.push_back(1.0 / h);
    return amplitudes;
}

} // namespace

TEST(LagCorrelation, EqualsTheDirectSumsAtEveryLag) {
    std::uint32_t state = 777;
    std::vector<float> x(12000);
    for (float& v : x) v = static_cast<float>(0.5 * Noise(state));
    LagCorrelation correlation;
    std::vector<double> r;
    // Tiny frames, a span of exactly a power of two, one just past it, and the estimator's own
    // sizes for note 60 and two octaves below it; the same object re-plans between them.
    const int sizes[][2] = {{1, 0},      {5, 3},       {3000, 1096}, {3000, 1097},
                            {2048, 508}, {2698, 2025}, {2048, 508}};
    for (const auto& size : sizes) {
        const int window = size[0], maxLag = size[1];
        correlation.Compute(x.data(), window, maxLag, r);
        const std::vector<double> direct = DirectCorrelation(x, window, maxLag);
        ASSERT_EQ(r.size(), direct.size());
        // The rounding of the transforms is relative to the window's energy, r(0).
        const double tolerance = 1e-11 * direct[0];
        ASSERT_GT(direct[0], 0.0);
        for (std::size_t lag = 0; lag < r.size(); ++lag)
            ASSERT_NEAR(r[lag], direct[lag], tolerance)
                << "window " << window << ", lag " << lag << " of " << maxLag;
    }
}

TEST(LagCorrelation, ReadsNothingPastTheSpan) {
    // Whatever follows x[window + maxLag) must not reach any lag.
    std::vector<float> x(600, 0.25f);
    for (std::size_t i = 0; i < x.size(); ++i) x[i] = static_cast<float>(std::sin(0.1 * i));
    std::vector<float> spoiled = x;
    for (std::size_t i = 400 + 100; i < spoiled.size(); ++i) spoiled[i] = 1e6f;
    LagCorrelation correlation;
    std::vector<double> clean, dirty;
    correlation.Compute(x.data(), 400, 100, clean);
    correlation.Compute(spoiled.data(), 400, 100, dirty);
    ASSERT_GT(clean[0], 1.0);
    for (std::size_t lag = 0; lag < clean.size(); ++lag) EXPECT_EQ(clean[lag], dirty[lag]);
}

TEST(PitchEstimator, FindsBrightTonesAcrossTheRegisters) {
    // Every fifth semitone from two octaves below note 60 to three above, with sawtooth-like
    // spectra, each searched where the manifest would expect it.
    for (int semitones = -24; semitones <= 36; semitones += 5) {
        const double ratio = std::pow(2.0, semitones / 12.0);
        EXPECT_NEAR(EstimatedRatio(Tone(ratio * kNote60, Sawtooth(12)), ratio) / ratio, 1.0, 0.002)
            << semitones << " semitones from note 60";
    }
}

TEST(PitchEstimator, OctaveTrapsInEveryRegister) {
    const std::vector<double> octaveHeavy = {0.15, 1.0, 0.1, 0.5, 0.05, 0.3};
    const std::vector<double> missingFundamental = {0.0, 1.0, 0.8, 0.6, 0.4};
    const std::vector<double> evenOnly = {0.005, 1.0, 0.003, 0.5, 0.002, 0.3};
    for (double ratio : {0.5, 1.0, 2.0, 4.0}) {
        const double f = ratio * kNote60;
        // A faint or missing fundamental under strong harmonics is still the fundamental.
        EXPECT_NEAR(EstimatedRatio(Tone(f, octaveHeavy), ratio) / ratio, 1.0, 0.003) << ratio;
        EXPECT_NEAR(EstimatedRatio(Tone(f, missingFundamental), ratio) / ratio, 1.0, 0.003)
            << ratio;
        // An octave below what is expected is found there, not at the expected period.
        EXPECT_NEAR(EstimatedRatio(Tone(0.5 * f, octaveHeavy), ratio) / ratio, 0.5, 0.002) << ratio;
        // With the odd harmonics all but gone the sound is an octave up, and is measured so.
        EXPECT_NEAR(EstimatedRatio(Tone(f, evenOnly), ratio) / ratio, 2.0, 0.01) << ratio;
    }
}

TEST(PitchEstimator, DecayingToneKeepsItsPitch) {
    // 60 dB per second: the frames near 900 ms are some 50 dB below those near 100 ms, so the
    // energies of the later lags are small differences of large running sums.
    const std::vector<float> pluck = Tone(kNote60, Sawtooth(8), 0.001);
    PitchSearch search;
    search.expectedHz = kNote60;
    PitchEstimate estimate = EstimatePitch(pluck, 4410, 39690, search, 1e-6);
    ASSERT_TRUE(estimate.found);
    EXPECT_EQ(estimate.frames, 9);
    EXPECT_EQ(estimate.pitchedFrames, 9);
    EXPECT_NEAR(estimate.frequency / kNote60, 1.0, 0.002);
    // With a level that leaves out the quiet end, only the loud frames are measured.
    PitchEstimate loudOnly = EstimatePitch(pluck, 4410, 39690, search, 0.01);
    EXPECT_GT(loudOnly.frames, 0);
    EXPECT_LT(loudOnly.frames, 9);
    EXPECT_NEAR(loudOnly.frequency / kNote60, 1.0, 0.002);
}
