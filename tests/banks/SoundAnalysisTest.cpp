// The measurements of the bank checks on signals whose answers are known: loudness windows, peak,
// DC, onset, fade-out and above all the pitch estimate, which must follow the period of the sound
// and not the expectation it is given, so that a program an octave off fails.

#include "SoundAnalysis.h"
#include "ProgramChecks.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>

using namespace banktest;

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kRate = 44100.0;

StereoRender Silence(double seconds) {
    StereoRender render;
    std::size_t frames = static_cast<std::size_t>(seconds * kRate);
    render.left.assign(frames, 0.0f);
    render.right.assign(frames, 0.0f);
    return render;
}

// The same value into both channels.
void Put(StereoRender& render, std::size_t frame, double value) {
    render.left[frame] = static_cast<float>(value);
    render.right[frame] = static_cast<float>(value);
}

// Harmonics h = 1, 2, ... of f with the given amplitudes; the phase of time t may be bent by
// vibrato (depth as a fraction of f, at rate Hz).
StereoRender Tone(double f, const std::vector<double>& amplitudes, double seconds,
                  double vibratoDepth = 0.0, double vibratoRate = 5.0) {
    StereoRender render = Silence(seconds);
    double phase = 0.0;
    for (std::size_t i = 0; i < render.Frames(); ++i) {
        double t = static_cast<double>(i) / kRate;
        double value = 0.0;
        for (std::size_t h = 0; h < amplitudes.size(); ++h)
            value += amplitudes[h] * std::sin(static_cast<double>(h + 1) * phase);
        Put(render, i, 0.3 * value);
        phase +=
            2.0 * kPi * f * (1.0 + vibratoDepth * std::sin(2.0 * kPi * vibratoRate * t)) / kRate;
    }
    return render;
}

// A small deterministic noise source.
double Noise(std::uint32_t& state) {
    state = state * 1664525u + 1013904223u;
    return static_cast<double>(state >> 8) / 8388608.0 - 1.0;
}

double Ratio(const PitchEstimate& pitch) {
    return pitch.frequency / kNote60Hz;
}

} // namespace

TEST(SoundMeasures, LoudnessIsTheLoudestWindowOfTheFirstSecond) {
    StereoRender render = Silence(2.0);
    // 0.4 s of a sine at amplitude 0.5 from 0.3 s, and a louder burst after the first second.
    for (std::size_t i = 13230; i < 30870; ++i) Put(render, i, 0.5 * std::sin(0.05 * i));
    for (std::size_t i = 50000; i < 70000; ++i) Put(render, i, 0.9);
    EXPECT_NEAR(LoudestWindowRms(render, 1.0, 0.3, 0.01), 0.5 / std::sqrt(2.0), 0.005);
    // Only the left channel sounding halves the power of both together.
    for (std::size_t i = 0; i < render.Frames(); ++i) render.right[i] = 0.0f;
    EXPECT_NEAR(LoudestWindowRms(render, 1.0, 0.3, 0.01), 0.25, 0.003);
    EXPECT_EQ(LoudestWindowRms(Silence(0.2), 1.0, 0.3, 0.01), 0.0);
}

TEST(SoundMeasures, PeakAndDcOffsetPerChannel) {
    StereoRender render = Silence(1.0);
    for (std::size_t i = 0; i < render.Frames(); ++i) {
        // Exactly 100 periods in the second, so the sine itself adds nothing to the mean.
        double sine = 0.2 * std::sin(2.0 * kPi * static_cast<double>(i) / 441.0);
        render.left[i] = static_cast<float>(sine);
        render.right[i] = static_cast<float>(sine + 0.01);
    }
    render.left[1000] = -0.75f;
    EXPECT_NEAR(Peak(render, 0, render.Frames()), 0.75, 1e-6);
    EXPECT_NEAR(Peak(render, 2000, render.Frames()), 0.21, 1e-3);
    // The right channel's offset is 0.01 against an RMS of about 0.1416.
    EXPECT_NEAR(DcRatio(render, 0, render.Frames()), 0.01 / std::sqrt(0.02 + 0.0001), 0.0005);
    EXPECT_EQ(DcRatio(Silence(1.0), 0, 44100), 0.0);
}

TEST(SoundMeasures, OnsetIsWhereMinus40DbOfThePeakIsFirstReached) {
    StereoRender render = Silence(1.0);
    // A linear swell from 100 ms to 600 ms up to 0.8: 1 % of the peak comes 5 ms into it.
    for (std::size_t i = 4410; i < 26460; ++i) Put(render, i, 0.8 * (i - 4410) / 22050.0);
    EXPECT_NEAR(OnsetMs(render, 0.01), 105.0, 0.1);
    EXPECT_LT(OnsetMs(Silence(0.5), 0.01), 0.0);
}

TEST(SoundMeasures, FadeOutIsWhereTheSoundStaysBelowTheLevel) {
    StereoRender render = Silence(3.0);
    // Held at 0.5 for a second, then decaying by 60 dB per second: 0.001 is crossed 900 ms on.
    for (std::size_t i = 0; i < render.Frames(); ++i) {
        double t = static_cast<double>(i) / kRate;
        double envelope = t < 1.0 ? 0.5 : 0.5 * std::pow(10.0, -3.0 * (t - 1.0));
        Put(render, i, envelope * (i % 2 ? 1.0 : -1.0));
    }
    EXPECT_NEAR(FadeOutMs(render, 44100, 0.001), 899.6, 0.5);
    // Cut while still sounding: the end was not seen.
    render.left.resize(44100 + 20000);
    render.right.resize(44100 + 20000);
    EXPECT_LT(FadeOutMs(render, 44100, 0.001), 0.0);
    // Already quiet at the note-off.
    EXPECT_EQ(FadeOutMs(Silence(2.0), 44100, 0.001), 0.0);
}

TEST(PitchEstimate, FindsTheFundamentalOfHarmonicTones) {
    // A bright tone with falling harmonics.
    PitchEstimate saw = MeasurePitch(Tone(kNote60Hz, {1, 0.5, 0.33, 0.25, 0.2, 0.17}, 1.0), 1.0);
    ASSERT_TRUE(saw.found);
    EXPECT_NEAR(Ratio(saw), 1.0, 0.002);
    EXPECT_EQ(saw.pitchedFrames, 9);
    // A weak fundamental under strong second and third harmonics, and one that is missing: the
    // period is still that of the fundamental.
    EXPECT_NEAR(Ratio(MeasurePitch(Tone(kNote60Hz, {0.3, 1.0, 0.8}, 1.0), 1.0)), 1.0, 0.003);
    EXPECT_NEAR(Ratio(MeasurePitch(Tone(kNote60Hz, {0.0, 1.0, 1.0, 1.0}, 1.0), 1.0)), 1.0, 0.003);
    // Octave-heavy: weak odd harmonics under strong even ones. The sound is nearly periodic at
    // half its period, yet its fundamental is still the fundamental.
    const std::vector<double> octaveHeavy = {0.15, 1.0, 0.1, 0.5, 0.05, 0.3};
    EXPECT_NEAR(Ratio(MeasurePitch(Tone(kNote60Hz, octaveHeavy, 1.0), 1.0)), 1.0, 0.003);
    // The same timbre an octave lower than expected is found there, not at the expected period.
    EXPECT_NEAR(Ratio(MeasurePitch(Tone(0.5 * kNote60Hz, octaveHeavy, 1.0), 1.0)), 0.5, 0.002);
    // With the odd harmonics all but gone the sound is an octave up.
    EXPECT_NEAR(Ratio(MeasurePitch(Tone(kNote60Hz, {0.01, 1.0, 0.005, 0.5}, 1.0), 1.0)), 2.0, 0.01);
    // High and low registers: whole-sample lags would be 5 % off at eight times note 60.
    EXPECT_NEAR(Ratio(MeasurePitch(Tone(8 * kNote60Hz, {1, 0.3}, 1.0), 8.0)), 8.0, 0.02);
    EXPECT_NEAR(Ratio(MeasurePitch(Tone(0.25 * kNote60Hz, {1, 0.7, 0.5}, 1.0), 0.25)), 0.25, 0.001);
}

TEST(PitchEstimate, FollowsFrequencyModulationVibratoAndDetune) {
    // Phase modulation at the carrier's frequency with index 3: a rich harmonic spectrum.
    StereoRender fm = Silence(1.0);
    for (std::size_t i = 0; i < fm.Frames(); ++i) {
        double w = 2.0 * kPi * kNote60Hz * static_cast<double>(i) / kRate;
        Put(fm, i, 0.3 * std::sin(w + 3.0 * std::sin(w)));
    }
    EXPECT_EQ(PitchFault(MeasurePitch(fm, 1.0), 1.0), "");
    // A vibrato of +-1.5 % at 5.5 Hz.
    EXPECT_EQ(PitchFault(MeasurePitch(Tone(kNote60Hz, {1, 0.5, 0.3}, 1.0, 0.015, 5.5), 1.0), 1.0),
              "");
    // Two voices 8 cents apart, beating.
    StereoRender chorus = Silence(1.0);
    for (std::size_t i = 0; i < chorus.Frames(); ++i) {
        double t = static_cast<double>(i) / kRate;
        double value = 0.0;
        for (double f : {kNote60Hz, kNote60Hz * std::pow(2.0, 8.0 / 1200.0)})
            for (int h = 1; h <= 4; ++h) value += std::sin(2.0 * kPi * f * h * t) / h;
        Put(chorus, i, 0.15 * value);
    }
    EXPECT_EQ(PitchFault(MeasurePitch(chorus, 1.0), 1.0), "");
}

TEST(PitchEstimate, AnOctaveOffFailsInBothDirections) {
    const std::vector<double> harmonics = {1, 0.6, 0.4, 0.3};
    PitchEstimate up = MeasurePitch(Tone(2 * kNote60Hz, harmonics, 1.0), 1.0);
    ASSERT_TRUE(up.found);
    EXPECT_NEAR(Ratio(up), 2.0, 0.01);
    EXPECT_NE(PitchFault(up, 1.0), "");
    PitchEstimate down = MeasurePitch(Tone(0.5 * kNote60Hz, harmonics, 1.0), 1.0);
    ASSERT_TRUE(down.found);
    EXPECT_NEAR(Ratio(down), 0.5, 0.005);
    EXPECT_NE(PitchFault(down, 1.0), "");
    // A fifth off fails too; a quarter tone is within neither side of the 3 % either.
    EXPECT_NE(PitchFault(MeasurePitch(Tone(1.5 * kNote60Hz, harmonics, 1.0), 1.0), 1.0), "");
    EXPECT_NE(PitchFault(MeasurePitch(Tone(1.035 * kNote60Hz, harmonics, 1.0), 1.0), 1.0), "");
    EXPECT_EQ(PitchFault(MeasurePitch(Tone(1.02 * kNote60Hz, harmonics, 1.0), 1.0), 1.0), "");
}

TEST(PitchEstimate, NoiseSilenceAndDecayedSoundsHaveNoPitch) {
    StereoRender noise = Silence(1.0);
    std::uint32_t state = 12345;
    for (std::size_t i = 0; i < noise.Frames(); ++i) Put(noise, i, 0.3 * Noise(state));
    PitchEstimate pitch = MeasurePitch(noise, 1.0);
    EXPECT_FALSE(pitch.found);
    EXPECT_EQ(pitch.frames, 9);
    EXPECT_NE(PitchFault(pitch, 1.0), "");
    EXPECT_FALSE(MeasurePitch(Silence(1.0), 1.0).found);
    // A pluck that has died away by 100 ms: no frame is loud enough to be measured.
    StereoRender pluck = Silence(1.0);
    for (std::size_t i = 0; i < 2000; ++i)
        Put(pluck, i, 0.5 * std::sin(2.0 * kPi * kNote60Hz * i / kRate));
    PitchEstimate decayed = MeasurePitch(pluck, 1.0);
    EXPECT_FALSE(decayed.found);
    EXPECT_EQ(decayed.frames, 0);
}

// The level verdicts: chords that clip are refused, each chord against its own limit; single
// notes are judged against one common loudness below -20 dBFS.
TEST(LevelVerdicts, ChordsMustStayBelowTheirLimits) {
    ProgramFigures f;
    f.loudnessRms = kTargetRms;
    f.chordPeak = 0.88;
    f.fullChordPeak = 0.99;
    EXPECT_EQ(ClippingFault(f), "");
    // The six-note chord at 0.9 is above -1 dBFS though far from full scale.
    f.chordPeak = 0.9;
    EXPECT_NE(ClippingFault(f).find("six-note chord at velocity 100 peaks at 0.900"),
              std::string::npos)
        << ClippingFault(f);
    EXPECT_EQ(ClippingFault(f).find("eight-note"), std::string::npos);
    f.chordPeak = 0.5;
    f.fullChordPeak = 1.0;
    EXPECT_NE(ClippingFault(f).find("eight-note chord at velocity 127 peaks at 1.000"),
              std::string::npos)
        << ClippingFault(f);
    // The first bank's drum program as it was reported: 1.61 in the six-note chord.
    f.chordPeak = 1.61;
    f.fullChordPeak = 2.0;
    EXPECT_NE(ClippingFault(f).find("six-note"), std::string::npos);
    EXPECT_NE(ClippingFault(f).find("eight-note"), std::string::npos);
    EXPECT_EQ(kChordNotes, (std::vector<int>{48, 52, 55, 60, 64, 67}));
    EXPECT_EQ(kFullChordNotes.size(), 8u);
    // A fault says which strike gave the peak, so that it can be played again.
    f.chordStrike = 2;
    EXPECT_NE(ClippingFault(f).find("when struck 0.7984 s after the start"), std::string::npos)
        << ClippingFault(f);
}

// A chord's peak depends on the LFO's phase when it is struck and on where the strike falls within
// the control tick: the strikes cover seconds, and as many places of the tick as there are strikes.
// A run that strikes each chord fewer times still meets every strike time across its programs.
TEST(LevelVerdicts, ChordsAreStruckAtMomentsSpreadOverSecondsAndTheTick) {
    ASSERT_GE(kStrikeCount, 8);
    std::set<std::int64_t> frames, inTick;
    for (int k = 0; k < kStrikeCount; ++k) {
        frames.insert(StrikeFrame(k));
        inTick.insert(StrikeFrame(k) % kControlTickFrames);
    }
    EXPECT_EQ(*frames.begin(), 0);
    EXPECT_GE(*frames.rbegin(), static_cast<std::int64_t>(2.0 * kRate));
    EXPECT_EQ(inTick.size(), static_cast<std::size_t>(kStrikeCount));
    std::set<int> met, every;
    for (int nth = 0; nth < kStrikeCount; ++nth) {
        ASSERT_EQ(StrikesOf(nth, 1).size(), 1u);
        met.insert(StrikesOf(nth, 1)[0]);
    }
    for (int k : StrikesOf(5, kStrikeCount)) every.insert(k);
    EXPECT_EQ(met.size(), static_cast<std::size_t>(kStrikeCount));
    EXPECT_EQ(every.size(), static_cast<std::size_t>(kStrikeCount));
}

TEST(LevelVerdicts, LoudnessWithinSixDecibelsOfACommonTargetBelowMinus20) {
    EXPECT_LT(ToDecibels(kTargetRms), -20.0);
    ProgramFigures f;
    f.loudnessRms = kTargetRms * std::pow(10.0, 5.9 / 20.0);
    EXPECT_EQ(LoudnessFault(f), "");
    f.loudnessRms = kTargetRms * std::pow(10.0, -5.9 / 20.0);
    EXPECT_EQ(LoudnessFault(f), "");
    // A note 6.1 dB off either way fails.
    f.loudnessRms = kTargetRms * std::pow(10.0, 6.1 / 20.0);
    EXPECT_NE(LoudnessFault(f).find("+6.1 dB from the target"), std::string::npos)
        << LoudnessFault(f);
    f.loudnessRms = kTargetRms * std::pow(10.0, -6.1 / 20.0);
    EXPECT_NE(LoudnessFault(f).find("-6.1 dB from the target"), std::string::npos)
        << LoudnessFault(f);
}
