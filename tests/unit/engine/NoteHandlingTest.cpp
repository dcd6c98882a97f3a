// Notes to voices: key codes, folding, transpose, allocation and stealing, mono hand-over,
// sustain pedal, portamento.

#include <gtest/gtest.h>

#include <cmath>

#include "VoiceTestSupport.h"
#include "engine/PortamentoCurve.h"
#include "engine/TuningSource.h"

using namespace engine;
using namespace enginetest;

namespace {

int FindVoiceWithNote(const VoiceEngine& e, int note) {
    for (int v = 0; v < VoiceEngine::kVoiceCount; ++v)
        if (e.Bank().voice[v].active && e.Bank().voice[v].note == note) return v;
    return -1;
}

void RunChip(VoiceEngine& e, int samples, int voiceCount = 64) {
    for (int i = 0; i < samples; ++i) {
        if (i % 62 == 0) e.ControlUpdate(voiceCount, 0.0);
        e.ChipSample(voiceCount, true);
    }
}

} // namespace

TEST(NoteHandling, KeyCodesOfTheKeyRange) {
    VoiceEngine e;
    ApplyOrgan(e);
    const int notes[3] = {15, 60, 110};
    const int codes[3] = {0, 60, 126};
    for (int k = 0; k < 3; ++k) {
        e.AllNotesOff();
        e.Reset();
        e.NoteOn(notes[k], 100);
        EXPECT_EQ(e.Bank().envRates[0][0].keyCode, codes[k]) << notes[k]; // from the note
        EXPECT_EQ(e.Bank().voice[0].keyCode, codes[k]) << notes[k];       // from the pitch
        EXPECT_EQ(e.Bank().voice[0].freqIndex, 64 * notes[k] - 187);
    }
}

TEST(NoteHandling, NotesAreFoldedIntoTheKeyRangeAfterTranspose) {
    VoiceEngine e;
    ApplyOrgan(e);
    e.NoteOn(0, 100);
    EXPECT_EQ(e.Bank().voice[0].targetPitch, 24 * 128);
    e.NoteOn(127, 100);
    EXPECT_EQ(e.Bank().voice[1].targetPitch, 103 * 128);
    e.NoteOn(14, 100);
    EXPECT_EQ(e.Bank().voice[2].targetPitch, 26 * 128);
    e.SetVoiceParam(7, -1, 24);
    e.NoteOn(100, 100); // 124 folds to 100
    EXPECT_EQ(e.Bank().voice[3].targetPitch, 100 * 128);
    EXPECT_EQ(e.Bank().voice[3].note, 100); // the received note is kept
    e.SetVoiceParam(7, -1, -128);
    e.NoteOn(5, 100); // -123 folds up to 21
    EXPECT_EQ(e.Bank().voice[4].targetPitch, 21 * 128);
}

TEST(NoteHandling, Note69PlaysAt440HzOnFrequency1) {
    VoiceEngine e;
    ApplyOrgan(e);
    e.NoteOn(69, 100);
    const double hz = e.Bank().increment[0][0] * 62500.0 / 67108864.0;
    EXPECT_NEAR(hz, 439.9, 0.05);
    // Frequency 0 is half of Frequency 1, Frequency 15 fifteen times.
    e.SetVoiceParam(23 + 4, 1, 0);
    e.SetVoiceParam(23 + 4, 2, 15);
    e.ControlUpdate(64, 0.0);
    EXPECT_EQ(e.Bank().increment[1][0] * 2, e.Bank().increment[0][0]);
    EXPECT_EQ(e.Bank().increment[2][0], e.Bank().increment[0][0] * 15);
}

TEST(NoteHandling, SixtyFifthNoteStealsTheOldestWithoutRekeying) {
    VoiceEngine e;
    ApplyOrgan(e);
    for (int k = 0; k < 64; ++k) e.NoteOn(30 + k, 100);
    for (int v = 0; v < 64; ++v) ASSERT_TRUE(e.VoiceActive(v));
    RunChip(e, 300);
    const uint32_t phaseBefore = e.Bank().phase[0][0];
    const int volumeBefore = e.Bank().envVolume[0][0];
    const int stateBefore = e.Bank().envState[0][0];
    e.NoteOn(120, 100);
    EXPECT_EQ(FindVoiceWithNote(e, 120), 0); // voice of the first note
    EXPECT_EQ(FindVoiceWithNote(e, 30), -1);
    EXPECT_EQ(e.Bank().phase[0][0], phaseBefore); // operators not keyed again
    EXPECT_EQ(e.Bank().envVolume[0][0], volumeBefore);
    EXPECT_EQ(e.Bank().envState[0][0], stateBefore);
    // The next steal takes the second-oldest.
    e.NoteOn(121, 100);
    EXPECT_EQ(FindVoiceWithNote(e, 121), 1);
    EXPECT_EQ(e.HeldNoteCount(), 66);
}

TEST(NoteHandling, ReleasedVoicesAreReusedOnlyOnceSilent) {
    VoiceEngine e;
    ApplyOrgan(e);
    e.NoteOn(60, 100);
    e.NoteOff(60);
    EXPECT_TRUE(e.VoiceActive(0));
    e.NoteOn(62, 100);
    EXPECT_EQ(FindVoiceWithNote(e, 62), 1); // voice 0 still releasing
    e.NoteOff(62);
    RunChip(e, 62500); // release 15 ends well within a second
    EXPECT_FALSE(e.VoiceActive(0));
    EXPECT_FALSE(e.VoiceActive(1));
    e.NoteOn(64, 100);
    EXPECT_EQ(FindVoiceWithNote(e, 64), 0);
    // A stolen voice whose key was released is keyed again (phase restarts at 0).
}

TEST(NoteHandling, StealingAReleasedVoiceKeysItAgain) {
    VoiceEngine e;
    ApplyOrgan(e);
    for (int k = 0; k < 64; ++k) e.NoteOn(30 + k, 100);
    e.NoteOff(30);
    RunChip(e, 30); // voice 0 releasing but still active
    ASSERT_TRUE(e.VoiceActive(0));
    ASSERT_NE(e.Bank().phase[0][0], 0u);
    e.NoteOn(100, 100);
    ASSERT_EQ(FindVoiceWithNote(e, 100), 0);
    EXPECT_EQ(e.Bank().phase[0][0], 0u);
    EXPECT_NE(e.Bank().envState[0][0], kEnvRelease);
}

TEST(NoteHandling, MonoFallsBackToTheHighestHeldKeyWithoutReattack) {
    VoiceEngine e;
    ApplyOrgan(e);
    e.SetMono(true);
    e.NoteOn(60, 100);
    RunChip(e, 100, 1);
    e.NoteOn(64, 90);
    EXPECT_EQ(e.Bank().voice[0].note, 64);
    const uint32_t phase = e.Bank().phase[0][0];
    e.NoteOff(64);
    EXPECT_EQ(e.Bank().voice[0].note, 60);
    EXPECT_EQ(e.Bank().voice[0].targetPitch, 60 * 128);
    EXPECT_EQ(e.Bank().phase[0][0], phase); // legato: not keyed
    EXPECT_NE(e.Bank().envState[0][0], kEnvRelease);
    e.NoteOff(60);
    EXPECT_EQ(e.Bank().envState[0][0], kEnvRelease);
    EXPECT_FALSE(e.VoiceActive(1));

    VoiceEngine f;
    ApplyOrgan(f);
    f.SetMono(true);
    f.NoteOn(60, 100);
    f.NoteOn(67, 100);
    f.NoteOn(64, 100);
    f.NoteOff(64);
    EXPECT_EQ(f.Bank().voice[0].note, 67); // the highest, not the previous key
    EXPECT_FALSE(f.VoiceActive(1));
}

TEST(NoteHandling, MonoGlidesOnlyWhileAnotherKeyIsHeld) {
    VoiceEngine e;
    ApplyOrgan(e);
    e.SetMono(true);
    e.SetVoiceParam(9, -1, 64); // about 0.343 s
    e.NoteOn(48, 100);
    EXPECT_EQ(e.Bank().voice[0].pitch, 48 * 128); // first key: no glide
    e.NoteOn(60, 100);
    const VoiceControl& vc = e.Bank().voice[0];
    EXPECT_EQ(vc.glideTicks, 342 - 1); // the immediate update took the first step
    EXPECT_NEAR(vc.pitchSlope, (60 - 48) * 128 / (e.PortamentoTime() * 1000.0), 1e-12);
    EXPECT_DOUBLE_EQ(vc.pitch, 48 * 128 + vc.pitchSlope);
    for (int i = 0; i < 341; ++i) e.ControlUpdate(1, 0.0);
    EXPECT_EQ(vc.pitch, 60 * 128);
    EXPECT_EQ(vc.glideTicks, 0);
}

TEST(NoteHandling, PortamentoCurve) {
    EXPECT_EQ(PortamentoSeconds(0), 0.0);
    EXPECT_NEAR(PortamentoSeconds(64), 0.3425, 0.0005);
    EXPECT_EQ(PortamentoSeconds(127), 5.3);
    EXPECT_LT(PortamentoSeconds(1), 0.001);
    EXPECT_NEAR(PortamentoSeconds(126), 2.4 + 2.9 * (8.0 * (126.0 / 127) * (126.0 / 127) - 7),
                1e-12);

    VoiceEngine e;
    ApplyOrgan(e);
    e.SetVoiceParam(9, -1, 127);
    e.NoteOn(72, 100); // poly: glides from the reset pitch of note 60
    EXPECT_EQ(e.Bank().voice[0].glideTicks, 5300 - 1);
    EXPECT_LT(e.Bank().voice[0].pitch, 61 * 128);
    e.SetVoiceParam(9, -1, 1); // well below a millisecond: jumps
    e.NoteOn(40, 100);
    EXPECT_EQ(e.Bank().voice[1].glideTicks, 0);
    EXPECT_EQ(e.Bank().voice[1].pitch, 40 * 128);
}

TEST(NoteHandling, SustainPedalHoldsReleasedNotes) {
    VoiceEngine e;
    ApplyOrgan(e);
    e.SustainPedal(true);
    e.NoteOn(60, 100);
    e.NoteOff(60);
    EXPECT_FALSE(e.Bank().voice[0].gate);
    EXPECT_NE(e.Bank().envState[0][0], kEnvRelease);
    e.NoteOn(62, 100); // held key: not released by the pedal
    e.SustainPedal(false);
    EXPECT_EQ(e.Bank().envState[0][0], kEnvRelease);
    EXPECT_NE(e.Bank().envState[0][1], kEnvRelease);
    EXPECT_EQ(e.HeldNoteCount(), 1);
}

TEST(NoteHandling, SustainedNoteReplayedIsKeyedButNotRestarted) {
    VoiceEngine e;
    ApplyOrgan(e);
    e.SustainPedal(true);
    e.NoteOn(60, 100);
    RunChip(e, 200);
    e.NoteOff(60);
    const int state = e.Bank().envState[0][0];
    const int volume = e.Bank().envVolume[0][0];
    ASSERT_EQ(state, kEnvDecay2);
    // The voice is not gated, so a second note-on finds another free voice in poly mode; in
    // mono mode it reuses voice 0 and keys its operators.
    e.SetMono(true);
    e.NoteOn(60, 100);
    EXPECT_EQ(e.Bank().phase[0][0], 0u);
    EXPECT_EQ(e.Bank().envState[0][0], state);
    EXPECT_EQ(e.Bank().envVolume[0][0], volume);
}

TEST(NoteHandling, AllNotesOffReleasesEverythingAndEmptiesTheList) {
    VoiceEngine e;
    ApplyOrgan(e);
    e.SustainPedal(true);
    for (int n = 40; n < 50; ++n) e.NoteOn(n, 100);
    e.AllNotesOff();
    EXPECT_EQ(e.HeldNoteCount(), 0);
    EXPECT_FALSE(e.SustainPedalDown());
    for (int v = 0; v < 10; ++v) {
        EXPECT_TRUE(e.VoiceActive(v)); // fading, not cut
        EXPECT_FALSE(e.Bank().voice[v].gate);
        for (int op = 0; op < 4; ++op) EXPECT_EQ(e.Bank().envState[op][v], kEnvRelease);
    }
}

TEST(NoteHandling, OutOfRangeNotesAndVelocitiesAreMasked) {
    VoiceEngine e;
    ApplyOrgan(e);
    e.NoteOn(128 + 60, 128 + 100);
    EXPECT_EQ(e.Bank().voice[0].note, 60);
    EXPECT_EQ(e.Bank().voice[0].velocity, 100);
    e.NoteOn(-1, 100); // 127
    EXPECT_EQ(e.Bank().voice[1].note, 127);
    e.NoteOn(61, 128); // velocity 0: a note-off
    EXPECT_FALSE(e.VoiceActive(2));
    EXPECT_EQ(e.HeldNoteCount(), 2);
}

namespace {

class FakeTuning : public TuningSource {
public:
    bool IsConnected() override { return connected; }
    bool ShouldFilterNote(int note) override { return note == 61; }
    int TunedPitch(int note) override { return note * 128 + 50; }
    bool connected = true;
};

} // namespace

TEST(NoteHandling, TuningSourceFiltersAndRetunes) {
    VoiceEngine e;
    ApplyOrgan(e);
    FakeTuning tuning;
    e.SetTuningSource(&tuning);
    e.NoteOn(61, 100);
    EXPECT_EQ(e.HeldNoteCount(), 0);
    EXPECT_FALSE(e.VoiceActive(0));
    e.NoteOn(62, 100);
    EXPECT_EQ(e.Bank().voice[0].targetPitch, 62 * 128 + 50);
    tuning.connected = false;
    e.NoteOn(61, 100);
    EXPECT_EQ(e.Bank().voice[1].targetPitch, 61 * 128);
    e.SetTuningSource(nullptr);
    e.NoteOn(63, 100);
    EXPECT_EQ(e.Bank().voice[2].targetPitch, 63 * 128);
}
