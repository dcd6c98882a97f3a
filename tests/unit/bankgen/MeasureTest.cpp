// The measurements level matching relies on, checked on signals whose answers are known.

#include "Measure.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace bankgen;

namespace {

constexpr double kRate = 44100.0;
constexpr double kPi = 3.14159265358979323846;

// Harmonics h (from 1) with amplitudes a[h - 1] of a fundamental hz, for seconds.
Samples Tone(double hz, std::initializer_list<double> amplitudes, double seconds) {
    Samples x(static_cast<std::size_t>(seconds * kRate));
    for (std::size_t i = 0; i < x.size(); ++i) {
        double t = static_cast<double>(i) / kRate, v = 0.0;
        int h = 1;
        for (double a : amplitudes) v += a * std::sin(2.0 * kPi * hz * h++ * t);
        x[i] = static_cast<float>(v);
    }
    return x;
}

} // namespace

TEST(BankgenMeasure, LoudnessIsTheLoudestWindowOfTheFirstSecond) {
    // Quiet for 0.5 s, then a sine of amplitude 0.2 (RMS 0.1414), then silence from 1.2 s,
    // then, after the first second's windows, a much louder part that must not count.
    Samples x = Tone(440.0, {0.2}, 2.0);
    for (std::size_t i = 0; i < x.size(); ++i) {
        double t = static_cast<double>(i) / kRate;
        x[i] *= t < 0.5 ? 0.1f : t < 0.9 ? 1.0f : t < 1.0 ? 0.0f : 5.0f;
    }
    std::size_t start = 0;
    double loudness = LoudestWindowRms(x, 44100, 13230, 441, &start);
    EXPECT_NEAR(loudness, 0.2 / std::sqrt(2.0), 0.002);
    EXPECT_GE(start, 22050u);
    EXPECT_LE(start + 13230, 39690u + 441);
    EXPECT_NEAR(Rms(x, {0, 4410}), 0.02 / std::sqrt(2.0), 0.001);
    EXPECT_NEAR(Peak(x, {22050, 4410}), 0.2, 0.001);
    EXPECT_NEAR(Mean(x, {22050, 22050}), 0.0, 0.001);
}

TEST(BankgenMeasure, OnsetAndReleaseTimes) {
    Samples x(44100, 0.0f);
    x[100] = 0.001f; // below 1 % of the peak
    x[200] = 0.02f;  // the first to reach it
    x[300] = 1.0f;   // the peak
    x[30000] = 0.004f;
    EXPECT_EQ(FirstReaching(x, 0.01), 200u);
    EXPECT_EQ(TimeUntilBelow(x, 1000, 0.003), 29001u);
    EXPECT_EQ(TimeUntilBelow(x, 1000, 0.005), 0u);
    EXPECT_EQ(FirstReaching(Samples(100, 0.0f), 0.01), 100u); // silence never starts
}

TEST(BankgenMeasure, PitchOfHarmonicTonesEvenWithoutTheirFirstHarmonic) {
    Samples plain = Tone(261.63, {0.5, 0.2, 0.1}, 1.0);
    EXPECT_NEAR(MedianFramePitch(plain, {4410, 35280}, kRate, 261.63, 0.001), 261.63, 0.5);
    // Harmonics 2, 3 and 4 only: the period is still that of the missing fundamental.
    Samples missing = Tone(130.81, {0.0, 0.3, 0.3, 0.2}, 1.0);
    EXPECT_NEAR(MedianFramePitch(missing, {4410, 35280}, kRate, 130.81, 0.001), 130.81, 0.5);
    // A tone an octave above what is expected reads as that octave ...
    EXPECT_NEAR(MedianFramePitch(plain, {4410, 35280}, kRate, 130.81, 0.001), 261.63, 0.5);
    // ... and so does a strong octave over a faint fundamental: the ambiguity a listener hears.
    Samples octave = Tone(200.0, {0.02, 0.5}, 1.0);
    EXPECT_NEAR(MedianFramePitch(octave, {4410, 35280}, kRate, 200.0, 0.001), 400.0, 1.0);
    // A tone an octave below: no clear period at the expected lag, found at its own.
    Samples low = Tone(100.0, {0.5, 0.1}, 1.0);
    EXPECT_NEAR(MedianFramePitch(low, {4410, 35280}, kRate, 200.0, 0.001), 100.0, 0.5);
    // Noise and silence have no pitch.
    Samples noise(44100);
    std::uint32_t seed = 1;
    for (float& v : noise) {
        seed = seed * 1664525u + 1013904223u;
        v = static_cast<float>(static_cast<double>(seed >> 8) / 16777216.0 - 0.5);
    }
    EXPECT_EQ(MedianFramePitch(noise, {4410, 35280}, kRate, 261.63, 0.001), 0.0);
    EXPECT_EQ(MedianFramePitch(Samples(44100, 0.0f), {4410, 35280}, kRate, 261.63, 0.001), 0.0);
}

TEST(BankgenMeasure, ComponentLevelReadsTheAmplitudeOfOneHarmonic) {
    Samples x = Tone(220.0, {0.4, 0.0, 0.1}, 0.5);
    EXPECT_NEAR(ComponentLevel(x, {0, 8192}, kRate, 220.0), 0.4, 0.01);
    EXPECT_NEAR(ComponentLevel(x, {0, 8192}, kRate, 660.0), 0.1, 0.005);
    EXPECT_LT(ComponentLevel(x, {0, 8192}, kRate, 440.0), 0.002);
    EXPECT_NEAR(Decibels(0.1), -20.0, 1e-9);
}
