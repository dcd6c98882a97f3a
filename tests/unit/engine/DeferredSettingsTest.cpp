// Operator settings reach the levels and envelope rates of sounding voices at once and of silent
// voices when they start again; either way a voice must end up exactly as if the settings had
// been in place before its note.

#include "VoiceTestSupport.h"

#include <gtest/gtest.h>

using namespace engine;
using namespace enginetest;

namespace {

// Algorithm 1: op 0 is the only carrier. It decays to silence while the key is held; op 3 holds
// its level, so the voice stops sounding with its key down and op 3 still in decay.
void ApplyFadingCarrier(VoiceEngine& e) {
    ApplyOrgan(e, 0);
    OperatorValues carrier;
    carrier.decay1 = 31;
    carrier.sustain = 15;
    carrier.decay2 = 31;
    SetOperator(e, 0, carrier);
}

// The operator 3 changes made while voice 0 is silent.
void ChangeOperator3(VoiceEngine& e) {
    e.SetVoiceParam(23 + 1, 3, 60);  // level
    e.SetVoiceParam(23 + 3, 3, 1);   // boost
    e.SetVoiceParam(23 + 8, 3, 5);   // level adjust
    e.SetVoiceParam(23 + 10, 3, 3);  // rate scaling
    e.SetVoiceParam(23 + 11, 3, 9);  // attack
    e.SetVoiceParam(23 + 13, 3, 7);  // decay 1
    e.SetVoiceParam(23 + 14, 3, 11); // decay 2
    e.SetVoiceParam(23 + 16, 3, 2);  // release
}

void RunUntilSilent(VoiceEngine& e, int voice) {
    for (int tick = 0; tick < 2000 && e.VoiceActive(voice); ++tick) {
        for (int i = 0; i < 62; ++i) e.ChipSample(64, false);
        e.ControlUpdate(64, 0.0);
    }
}

void ExpectSameLevelAndRates(const VoiceEngine& a, const VoiceEngine& b, int op, int v) {
    const EnvelopeRates& x = a.Bank().envRates[op][v];
    const EnvelopeRates& y = b.Bank().envRates[op][v];
    EXPECT_EQ(a.Bank().totalLevel[op][v], b.Bank().totalLevel[op][v]);
    EXPECT_EQ(x.attackShift, y.attackShift);
    EXPECT_EQ(x.attackSelect, y.attackSelect);
    EXPECT_EQ(x.decay1Shift, y.decay1Shift);
    EXPECT_EQ(x.decay1Select, y.decay1Select);
    EXPECT_EQ(x.decay2Shift, y.decay2Shift);
    EXPECT_EQ(x.decay2Select, y.decay2Select);
    EXPECT_EQ(x.releaseShift, y.releaseShift);
    EXPECT_EQ(x.releaseSelect, y.releaseSelect);
}

} // namespace

TEST(DeferredSettings, SilentVoiceThatResumesWithoutKeyOnTakesTheChangesMadeMeanwhile) {
    // Changed while the voice was silent, with its key held.
    VoiceEngine late;
    ApplyFadingCarrier(late);
    late.NoteOn(72, 90);
    ASSERT_TRUE(late.VoiceActive(0));
    RunUntilSilent(late, 0);
    ASSERT_FALSE(late.VoiceActive(0));
    ASSERT_EQ(late.Bank().envState[3][0], kEnvDecay2); // op 3 holds, not released
    ChangeOperator3(late);
    // With op 3 made a carrier the voice sounds again when the held key plays once more. The
    // voice is still gated, so no operator is keyed and nothing but the catch-up brings the new
    // settings in.
    late.SetVoiceParam(6, -1, 7);
    late.NoteOn(72, 90);
    ASSERT_TRUE(late.VoiceActive(0));
    EXPECT_EQ(late.Bank().envState[3][0], kEnvDecay2);

    // The same settings in place before the note: the key-on computes everything from them.
    VoiceEngine early;
    ApplyFadingCarrier(early);
    ChangeOperator3(early);
    early.NoteOn(72, 90);
    ASSERT_NE(early.Bank().envRates[3][0].releaseSelect, kEgHoldSelect);
    ExpectSameLevelAndRates(late, early, 3, 0);
}

TEST(DeferredSettings, SoundingVoicesTakeChangesAtOnceAndRestartedVoicesMatchAFreshStart) {
    VoiceEngine changed;
    ApplyOrgan(changed);
    changed.NoteOn(60, 100); // voice 0 sounds through the changes
    changed.NoteOn(67, 40);  // voice 1 is released and falls silent before them
    changed.NoteOff(67);
    RunUntilSilent(changed, 1);
    ASSERT_TRUE(changed.VoiceActive(0));
    ASSERT_FALSE(changed.VoiceActive(1));
    ChangeOperator3(changed);
    changed.NoteOn(67, 40); // voice 1 again, keyed afresh

    VoiceEngine fresh;
    ApplyOrgan(fresh);
    ChangeOperator3(fresh);
    fresh.NoteOn(60, 100);
    fresh.NoteOn(67, 40);
    // The sounding voice keeps its key-on values (velocity, key code) with the new settings.
    ExpectSameLevelAndRates(changed, fresh, 3, 0);
    ExpectSameLevelAndRates(changed, fresh, 3, 1);
    // The other operators were untouched and still agree.
    for (int op = 0; op < 3; ++op) ExpectSameLevelAndRates(changed, fresh, op, 1);
}
