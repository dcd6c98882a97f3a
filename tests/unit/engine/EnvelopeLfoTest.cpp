// Envelope generator and LFO: the telling rates, legato and release restarts, LFO speed, waves,
// AM smoothing and the noise sequence.

#include <gtest/gtest.h>

#include "engine/Envelope.h"
#include "engine/Lfo.h"

using namespace engine;

namespace {

EnvelopeSettings Rates(int attack, int decay1, int decay2, int sustain, int release, int ksRate) {
    EnvelopeSettings s;
    s.attackRate = attack;
    s.decay1Index = decay1 ? 2 * decay1 + 32 : 0;
    s.decay2Index = decay2 ? 2 * decay2 + 32 : 0;
    s.sustainLevel = kSustainTable[sustain];
    s.releaseIndex = 4 * release + 34;
    s.ksShift = 5 - ksRate;
    return s;
}

void StepUntil(Envelope& env, const EnvelopeSettings& s, int state, int limit = 1000000) {
    for (int i = 0; i < limit && env.state != state; ++i) EnvelopeStep(env, s.sustainLevel);
}

} // namespace

TEST(Envelope, FastAttackWithRateScalingStartsInDecay1) {
    // Attack 30 is index 92; with Keyb. Scaling Rate 3 a key code of 8 adds 2 and passes 93,
    // so the first key-on step takes the volume straight to 0.
    EnvelopeSettings s = Rates(30, 5, 0, 3, 8, 3);
    Envelope env;
    EnvelopeKeyOn(env, s, 8, 100);
    EXPECT_EQ(env.state, kEnvDecay1);
    EXPECT_EQ(env.volume, 0);
    // Without rate scaling the same attack takes steps.
    EnvelopeSettings slow = Rates(30, 5, 0, 3, 8, 0);
    Envelope env2;
    EnvelopeKeyOn(env2, slow, 8, 100);
    EXPECT_EQ(env2.state, kEnvAttack);
    EXPECT_GT(env2.volume, 0);
    // Attack 31 is instant at any key code.
    Envelope env3;
    EnvelopeKeyOn(env3, Rates(31, 0, 0, 0, 0, 0), 0, 100);
    EXPECT_EQ(env3.state, kEnvDecay1);
}

TEST(Envelope, AttackZeroNeverRisesUnlessVelocityDrivesIt) {
    const EnvelopeSettings s = Rates(0, 0, 0, 0, 15, 0);
    Envelope env;
    EnvelopeKeyOn(env, s, 60, 127);
    for (int i = 0; i < 100000; ++i) EnvelopeStep(env, s.sustainLevel);
    EXPECT_EQ(env.state, kEnvAttack);
    EXPECT_EQ(env.volume, 1023);

    EnvelopeSettings withVelocity = s;
    withVelocity.attackVelocity = 4; // Attack Velocity 1
    Envelope env2;
    EnvelopeKeyOn(env2, withVelocity, 60, 1); // r = 0 + (4 * -63) >> 6 = -4: rate 2 (index 36)
    EXPECT_EQ(env2.rates.attackShift, kRateShift[36 + (60 >> 5)]);
    StepUntil(env2, withVelocity, kEnvDecay1);
    EXPECT_EQ(env2.state, kEnvDecay1);
}

TEST(Envelope, DecayReachesSustainThenDecay2AndReleaseEndsOff) {
    const EnvelopeSettings s = Rates(31, 20, 10, 4, 10, 0);
    Envelope env;
    EnvelopeKeyOn(env, s, 60, 100);
    StepUntil(env, s, kEnvDecay2);
    EXPECT_GE(env.volume, 128);
    EXPECT_LT(env.volume, 128 + 16);
    EnvelopeKeyOff(env);
    EXPECT_EQ(env.state, kEnvRelease);
    StepUntil(env, s, kEnvOff);
    EXPECT_EQ(env.volume, 1023);
    // Sustain 0 ends decay 1 after its first moving step.
    const EnvelopeSettings zero = Rates(31, 31, 0, 0, 10, 0);
    Envelope env2;
    EnvelopeKeyOn(env2, zero, 60, 100);
    for (int i = 0; i < 2 && env2.state == kEnvDecay1; ++i) EnvelopeStep(env2, zero.sustainLevel);
    EXPECT_EQ(env2.state, kEnvDecay2);
    // Decay 2 = 0 holds the level.
    const int held = env2.volume;
    for (int i = 0; i < 10000; ++i) EnvelopeStep(env2, zero.sustainLevel);
    EXPECT_EQ(env2.volume, held);
}

TEST(Envelope, LegatoKeepsRunningAndReleaseRestartsFromItsLevel) {
    const EnvelopeSettings s = Rates(20, 5, 3, 10, 5, 0);
    Envelope env;
    EnvelopeKeyOn(env, s, 60, 100);
    for (int i = 0; i < 50; ++i) EnvelopeStep(env, s.sustainLevel);
    ASSERT_EQ(env.state, kEnvAttack);
    const Envelope before = env;
    EnvelopeKeyOn(env, s, 90, 10); // neither restarted nor re-keyed
    EXPECT_EQ(env.volume, before.volume);
    EXPECT_EQ(env.rates.keyCode, 60);
    EXPECT_EQ(env.rates.velocity, 100);

    StepUntil(env, s, kEnvDecay1);
    EnvelopeKeyOff(env);
    for (int i = 0; i < 3000; ++i) EnvelopeStep(env, s.sustainLevel);
    ASSERT_EQ(env.state, kEnvRelease);
    const int released = env.volume;
    ASSERT_GT(released, 0);
    ASSERT_LT(released, 1023);
    EnvelopeKeyOn(env, s, 60, 100);
    EXPECT_EQ(env.state, kEnvAttack);
    // One attack step from the released level, not from silence.
    EXPECT_LE(env.volume, released);
    EXPECT_GE(env.volume, released - (((released + 1) * 2) >> 4) - 1);
}

TEST(Lfo, SpeedSetsThresholdAndMantissa) {
    Lfo lfo;
    lfo.SetSpeed(200);
    EXPECT_EQ(lfo.threshold, 65536u);
    EXPECT_EQ(lfo.mantissa, 24u);
    lfo.SetSpeed(255);
    EXPECT_EQ(lfo.threshold, 8192u);
    EXPECT_EQ(lfo.mantissa, 31u);
    lfo.SetSpeed(0);
    EXPECT_EQ(lfo.threshold, 1024u << 18);
    EXPECT_EQ(lfo.mantissa, 16u);
    // Speed 255 moves the phase 31/16 steps every 8 chip samples.
    lfo.SetSpeed(255);
    for (int i = 0; i < 8 * 16; ++i) lfo.Step();
    EXPECT_EQ(lfo.phase, 31);
    EXPECT_EQ(lfo.fraction, 0u);
}

namespace {

// An LFO that advances exactly one phase step per Step().
Lfo UnitStepLfo(int waveform, int startPhase) {
    Lfo lfo;
    lfo.SetWaveform(waveform);
    lfo.threshold = 1024;
    lfo.mantissa = 16;
    lfo.phase = startPhase - 1;
    return lfo;
}

} // namespace

TEST(Lfo, TrianglePmAtTheQuarterPoints) {
    Lfo lfo = UnitStepLfo(kLfoTriangle, 64);
    lfo.SetPmDepth(127);
    lfo.SetPmSensitivity(6); // q << 1
    lfo.Step();
    ASSERT_EQ(lfo.phase, 64);
    EXPECT_EQ(lfo.pmOut, ((127 * 127) >> 7) * 2); // p = 127
    lfo.phase = 191;
    lfo.Step();
    EXPECT_EQ(lfo.pmOut, ((-127 * 127) >> 7) * 2); // p = -127, shifted arithmetically
    EXPECT_EQ(lfo.pmOut, -254);
    // Sensitivity 1 divides by 32.
    lfo.SetPmSensitivity(1);
    lfo.phase = 63;
    lfo.Step();
    EXPECT_EQ(lfo.pmOut, 126 >> 5);
}

TEST(Lfo, SquareGivesTheLargestPm) {
    Lfo lfo = UnitStepLfo(kLfoSquare, 10);
    lfo.SetPmDepth(127);
    lfo.SetPmSensitivity(7);
    lfo.Step();
    EXPECT_EQ(lfo.pmOut, 508);
    lfo.phase = 200;
    lfo.Step();
    EXPECT_EQ(lfo.pmOut, -508);
}

TEST(Lfo, AmIsSmoothedAndOffLeavesTheSmoothingAlone) {
    Lfo lfo = UnitStepLfo(kLfoSaw, 1);
    lfo.SetAmDepth(127);
    lfo.SetAmSensitivity(3);
    lfo.Step(); // a = 254
    const int first = (((254 * 127) >> 7) << 2) >> 1;
    EXPECT_EQ(lfo.amOut, first);
    lfo.Step(); // a = 253
    EXPECT_EQ(lfo.amOut, ((((253 * 127) >> 7) << 2) + first) >> 1);
    const int smooth = lfo.amSmooth;
    lfo.SetAmSensitivity(0);
    lfo.Step();
    EXPECT_EQ(lfo.amOut, 0);
    EXPECT_EQ(lfo.amSmooth, smooth);
}

TEST(Lfo, NoiseDrawsOncePerPhaseStepFromTheSharedSeed) {
    const int32_t saved = Lfo::NoiseSeed();
    Lfo::SetNoiseSeed(1);
    Lfo lfo = UnitStepLfo(kLfoNoise, 1);
    lfo.SetAmDepth(127);
    const int expected[5] = {0, 33, 192, 114, 187};
    for (int k = 0; k < 5; ++k) {
        lfo.Step();
        EXPECT_EQ(lfo.noiseValue, expected[k]) << k;
    }
    EXPECT_EQ(Lfo::NoiseSeed(), 1578110407);
    // No new value while the phase stands still.
    lfo.threshold = 0xFFFFFFFFu;
    lfo.Step();
    EXPECT_EQ(Lfo::NoiseSeed(), 1578110407);
    // Other waveforms leave the seed alone.
    Lfo saw = UnitStepLfo(kLfoSaw, 1);
    for (int i = 0; i < 10; ++i) saw.Step();
    EXPECT_EQ(Lfo::NoiseSeed(), 1578110407);
    Lfo::SetNoiseSeed(saved);
}
