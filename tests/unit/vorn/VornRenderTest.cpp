// The render loop as a host drives it: MIDI timing, ticks, outputs, resets and bad input.

#include "VornRenderTestSupport.h"

#include <algorithm>
#include <cmath>

using engine::OperatorParamIndex;

TEST(VornRender, NoteSixtyNineSoundsAtTheChipsPitch) {
    RenderingVorn vorn(44100, 512);
    vorn.SingleSine();
    vorn.Midi(0, 0x90, 69, 100);
    std::vector<double> out;
    for (int b = 0; b < 130; ++b) {
        std::vector<double> block = vorn.Render(512);
        out.insert(out.end(), block.begin(), block.end());
    }
    // Positive-going zero crossings after the first 0.2 s, with linear interpolation.
    double first = -1, last = -1;
    int crossings = 0;
    for (std::size_t i = 8820; i + 1 < out.size(); ++i) {
        if (out[i] < 0 && out[i + 1] >= 0) {
            double t = i + out[i] / (out[i] - out[i + 1]);
            if (first < 0) first = t;
            last = t;
            ++crossings;
        }
    }
    ASSERT_GT(crossings, 100);
    double hz = (crossings - 1) / ((last - first) / 44100.0);
    EXPECT_NEAR(hz, 439.9, 0.1);
    EXPECT_GT(Peak(out), 0.05);
}

TEST(VornRender, NotesStartAtTheirSampleOffset) {
    RenderingVorn early;
    early.SingleSine();
    early.Midi(0, 0x90, 60, 127);
    int startEarly = FirstSound(early.Render(512));

    RenderingVorn late;
    late.SingleSine();
    late.Midi(10, 0x90, 60, 127);
    std::vector<double> out = late.Render(512);
    int startLate = FirstSound(out);
    ASSERT_GE(startEarly, 0);
    EXPECT_LT(startEarly, 8);
    EXPECT_GE(startLate, 10);
    EXPECT_LT(startLate, 18);
}

TEST(VornRender, ZeroFramesChangeNothing) {
    RenderingVorn vorn;
    vorn.Render(30); // the next tick is 14 frames into the next call
    vorn.Midi(25, 0x90, 60, 100);
    vorn.Render(30); // a tick ran; the note waits in the voice queue, the clock is mid-tick
    const engine::RenderState& state = vorn.Plugin().Render().State();
    double phase = state.chipPhase;
    int toTick = vorn.Plugin().Clock().samplesToNextTick;
    int waiting = state.voiceEvents.Size();
    vorn.Midi(100, 0x90, 64, 100);
    int queued = vorn.Plugin().MidiEvents().Size();
    std::vector<double> none = vorn.Render(0);
    EXPECT_TRUE(none.empty());
    EXPECT_EQ(state.chipPhase, phase);
    EXPECT_EQ(vorn.Plugin().Clock().samplesToNextTick, toTick);
    EXPECT_EQ(state.voiceEvents.Size(), waiting);
    EXPECT_EQ(vorn.Plugin().MidiEvents().Size(), queued);
    EXPECT_EQ(waiting, 1);
}

TEST(VornRender, LateControllerMessagesMoveToTheNearestTick) {
    // Ticks at 0, 44, 88 and 132: a bend at 120 becomes 142 and takes effect at the tick at 132
    // (not at 88); one at 30 stays and takes effect at the tick at 0.
    RenderingVorn vorn(44100, 512);
    const engine::RenderState& state = vorn.Plugin().Render().State();
    vorn.Midi(120, 0xE0, 0, 0x60);
    ASSERT_EQ(vorn.Plugin().MidiEvents().Size(), 1);
    EXPECT_EQ(vorn.Plugin().MidiEvents().At(0).offset, 142);
    vorn.Render(512);
    EXPECT_EQ(state.pitchBend, 0.5);

    // Moved beyond the end of its call, it still takes effect within the call.
    RenderingVorn shortCall(44100, 512);
    shortCall.Midi(120, 0xE0, 0, 0x60);
    shortCall.Render(121);
    EXPECT_EQ(shortCall.Plugin().Render().State().pitchBend, 0.5);

    RenderingVorn early(44100, 512);
    early.Midi(30, 0xE0, 0, 0x20);
    early.Render(1);
    EXPECT_EQ(early.Plugin().Render().State().pitchBend, -0.5);
}

TEST(VornRender, PitchBendMovesThePitchByTheRange) {
    // A full bend up with range 12 plays the octave: twice the zero crossings of the unbent note.
    auto crossings = [](double bend) {
        RenderingVorn vorn;
        vorn.SingleSine();
        vorn.Set(engine::kPitchBendRange, 12);
        int value = 8192 + static_cast<int>(bend * 8191);
        vorn.Midi(0, 0xE0, value & 0x7F, value >> 7);
        vorn.Midi(0, 0x90, 57, 100);
        int count = 0;
        for (int b = 0; b < 60; ++b) {
            std::vector<double> out = vorn.Render(512);
            if (b < 20) continue; // the 10 Hz bend smoother settles first
            for (std::size_t i = 0; i + 1 < out.size(); ++i) count += out[i] < 0 && out[i + 1] >= 0;
        }
        return count;
    };
    // Note 57 (220 Hz) over the 40 blocks counted (0.46 s) crosses zero about 102 times: a silent
    // or broken engine would give 0 on both sides and pass the ratio.
    int plain = crossings(0.0);
    ASSERT_NEAR(plain, 102, 5);
    int up = crossings(8191.0 / 8192.0);
    EXPECT_NEAR(up, 2 * plain, 3);
}

TEST(VornRender, NegativeOffsetsDoNotHoldBackLaterNotes) {
    // A host sent an offset of -5: queued as 0, the note plays and the one behind it too.
    RenderingVorn vorn;
    vorn.Set(engine::kMode, 0); // poly
    vorn.Midi(-5, 0x90, 60, 100);
    vorn.Midi(20, 0x90, 72, 100);
    vorn.Render(512);
    EXPECT_EQ(vorn.Plugin().Voices().HeldNoteCount(), 2);
    EXPECT_TRUE(vorn.Plugin().Voices().VoiceActive(0));
    EXPECT_TRUE(vorn.Plugin().Voices().VoiceActive(1));
}

TEST(VornRender, OutputSwitchesSilenceTheirChannel) {
    RenderingVorn vorn;
    vorn.Set(engine::kOutputLeft, 0);
    vorn.Midi(0, 0x90, 60, 100);
    vorn.Render(512);
    vorn.Render(512);
    for (double v : vorn.left) ASSERT_EQ(v, 0.0);
    EXPECT_GT(Peak(vorn.right), 0.01);
    vorn.Set(engine::kOutputLeft, 1);
    vorn.Set(engine::kOutputRight, 0);
    vorn.Render(512);
    for (double v : vorn.right) ASSERT_EQ(v, 0.0);
    EXPECT_GT(Peak(vorn.left), 0.01);
}

TEST(VornRender, MasterVolumeScalesTheOutput) {
    RenderingVorn loud, quiet;
    quiet.Set(engine::kMasterVolume, 0.5);
    for (RenderingVorn* v : {&loud, &quiet}) v->Midi(0, 0x90, 60, 100);
    double peak = 0.0;
    for (int b = 0; b < 4; ++b) {
        std::vector<double> a = loud.Render(512), q = quiet.Render(512);
        peak = std::max(peak, Peak(a));
        for (std::size_t i = 0; i < a.size(); ++i) ASSERT_EQ(q[i], a[i] * 0.5) << i;
    }
    // Silence on both sides would match too: the full-volume render must sound.
    EXPECT_GT(peak, 0.01);
}

TEST(VornRender, ResetAtTheSameRateKeepsNotesAndANewRateReleasesThem) {
    RenderingVorn vorn(48000, 256);
    vorn.Midi(0, 0x90, 60, 100);
    vorn.Render(256);
    const engine::VoiceBank& bank = vorn.Plugin().Voices().Bank();
    ASSERT_TRUE(bank.voice[0].gate);
    vorn.vorn.host.Dispatch(vst2::effMainsChanged, 0, 0);
    vorn.vorn.host.Dispatch(vst2::effMainsChanged, 0, 1);
    vorn.vorn.host.Dispatch(vst2::effSetSampleRate, 0, 0, nullptr, 48000.0f);
    EXPECT_TRUE(bank.voice[0].gate);
    EXPECT_EQ(vorn.Plugin().SamplesPerMillisecond(), 48);
    EXPECT_GT(Peak(vorn.Render(256)), 0.01);

    vorn.vorn.host.Dispatch(vst2::effSetSampleRate, 0, 0, nullptr, 96000.0f);
    EXPECT_FALSE(bank.voice[0].gate);
    EXPECT_EQ(vorn.Plugin().Voices().HeldNoteCount(), 0);
    EXPECT_EQ(vorn.Plugin().Render().State().chipRatio, 62500.0 / 96000.0);
    EXPECT_EQ(vorn.Plugin().SamplesPerMillisecond(), 96);
}

TEST(VornRender, TickIntervalRoundsOnARateChangeAndTruncatesOnALaterReset) {
    RenderingVorn vorn(44100, 512);
    vorn.vorn.host.Dispatch(vst2::effSetSampleRate, 0, 0, nullptr, 62500.0f);
    EXPECT_EQ(vorn.Plugin().SamplesPerMillisecond(), 63);
    vorn.vorn.host.Dispatch(vst2::effSetBlockSize, 0, 256);
    EXPECT_EQ(vorn.Plugin().SamplesPerMillisecond(), 62);
    // At the chip rate itself every host sample is one chip sample, taken at t = 0.
    vorn.Render(100);
    EXPECT_EQ(vorn.Plugin().Render().State().chipPhase, 1.0);
}

TEST(VornRender, ResetClearsControllersButKeepsQueuedMessages) {
    RenderingVorn vorn;
    vorn.Midi(0, 0xB0, 1, 127);
    vorn.Midi(0, 0xD0, 64, 0);
    vorn.Render(64);
    const engine::RenderState& state = vorn.Plugin().Render().State();
    EXPECT_EQ(state.modWheel, 1.0);
    EXPECT_EQ(state.aftertouch, 64 / 127.0);
    vorn.Midi(5000, 0x90, 60, 100);
    vorn.vorn.host.Dispatch(vst2::effMainsChanged, 0, 0);
    EXPECT_EQ(state.modWheel, 0.0);
    EXPECT_EQ(state.aftertouch, 0.0);
    EXPECT_EQ(vorn.Plugin().MidiEvents().Size(), 1);
    EXPECT_EQ(vorn.Plugin().Clock().samplesToNextTick, 0);
}

TEST(VornRender, ControllerMessages) {
    RenderingVorn vorn;
    vorn::Vorn& plugin = vorn.Plugin();
    const engine::RenderState& state = plugin.Render().State();
    vorn.Midi(0, 0xB5, 2, 127);  // breath, any channel
    vorn.Midi(0, 0xBF, 4, 0x40); // foot
    vorn.Midi(0, 0xA0, 60, 100); // polyphonic pressure: ignored
    vorn.Midi(0, 0xB0, 7, 100);  // for the controller map
    vorn.Midi(0, 0xB0, 121, 0);  // reset controllers: ignored
    EXPECT_EQ(plugin.MidiEvents().Size(), 3);
    vorn.Render(1);
    EXPECT_EQ(state.breath, 1.0);
    EXPECT_EQ(state.foot, 64 / 127.0);

    vorn.Midi(0, 0x90, 60, 100);
    vorn.Midi(0, 0x91, 64, 100);
    vorn.Render(64);
    EXPECT_EQ(plugin.Voices().HeldNoteCount(), 2);
    vorn.Midi(3, 0xB0, 123, 0); // all notes off, in order with the notes, at the next tick
    vorn.Render(64);
    EXPECT_EQ(plugin.Voices().HeldNoteCount(), 0);
    EXPECT_FALSE(plugin.Voices().Bank().voice[0].gate);
    vorn.Midi(0, 0x92, 60, 0); // velocity 0 is a note-off
    vorn.Midi(0, 0x90, 62, 90);
    vorn.Render(64);
    EXPECT_EQ(plugin.Voices().HeldNoteCount(), 1);
    vorn.Midi(0, 0xB0, 120, 0); // all sound off
    vorn.Render(64);
    EXPECT_EQ(plugin.Voices().HeldNoteCount(), 0);
}

TEST(VornRender, SustainPedalHoldsReleasedNotes) {
    RenderingVorn vorn;
    const engine::VoiceBank& bank = vorn.Plugin().Voices().Bank();
    vorn.Midi(0, 0xB0, 64, 127);
    vorn.Midi(1, 0x90, 60, 100);
    vorn.Midi(5, 0x80, 60, 0);
    vorn.Render(64);
    EXPECT_TRUE(vorn.Plugin().Voices().SustainPedalDown());
    EXPECT_TRUE(bank.voice[0].sustained);
    EXPECT_FALSE(bank.voice[0].gate);
    EXPECT_NE(bank.envState[0][0], engine::kEnvRelease);
    EXPECT_GT(Peak(vorn.Render(512)), 0.01);
    vorn.Midi(0, 0xB0, 64, 0);
    vorn.Render(64);
    EXPECT_FALSE(bank.voice[0].sustained);
}

TEST(VornRender, MonoModeComputesOneVoice) {
    RenderingVorn vorn;
    vorn.Set(engine::kMode, 1);
    vorn.Midi(0, 0x90, 60, 100);
    vorn.Midi(0, 0x90, 64, 100);
    vorn.Render(64);
    const engine::VoiceBank& bank = vorn.Plugin().Voices().Bank();
    EXPECT_TRUE(bank.voice[0].active);
    EXPECT_FALSE(bank.voice[1].active);
    EXPECT_EQ(bank.voice[0].note, 64);
    vorn.Midi(0, 0x80, 64, 0); // falls back to the other held key
    vorn.Render(64);
    EXPECT_EQ(bank.voice[0].note, 60);
}

TEST(VornRender, ProgramChangeRecallsUnlessIgnored) {
    RenderingVorn vorn;
    vorn::Vorn& plugin = vorn.Plugin();
    vorn.Midi(0, 0xC3, 5, 0x55); // the third byte is garbage some hosts send
    EXPECT_EQ(plugin.CurrentPresetIndex(), 5);
    plugin.Settings().ignoreProgramChange = true;
    vorn.Midi(0, 0xC0, 9, 0);
    EXPECT_EQ(plugin.CurrentPresetIndex(), 5);
    EXPECT_EQ(plugin.MidiEvents().Size(), 0);
}

TEST(VornRender, MidiThruPassesEverythingOnFirst) {
    RenderingVorn vorn;
    vorn.Plugin().Settings().midiThru = true;
    vorn.vorn.host.receivedEvents.clear();
    vorn.Midi(7, 0x93, 60, 100);
    vorn.Midi(0, 0xF8, 0, 0); // a clock byte: passed on, not played
    ASSERT_EQ(vorn.vorn.host.receivedEvents.size(), 2u);
    EXPECT_EQ(vorn.vorn.host.receivedEvents[0].deltaFrames, 7);
    EXPECT_EQ(vorn.vorn.host.receivedEvents[0].bytes,
              (std::vector<std::uint8_t>{0x93, 60, 100, 0}));
    EXPECT_EQ(vorn.Plugin().MidiEvents().Size(), 1);
}

TEST(VornRender, BadMidiFromAMisbehavingHost) {
    RenderingVorn vorn;
    vorn::Vorn& plugin = vorn.Plugin();
    vorn.Midi(0, 0x3C, 0x64, 0x00);          // a data byte where a status belongs
    vorn.Midi(0, 0x90, 0xFF, 0xFF);          // data bytes beyond 7 bits
    vorn.Midi(0x7FFFFFF0, 0xE0, 0x7F, 0x7F); // far beyond the block: no overflow
    vorn.Midi(1 << 30, 0x90, 61, 100);
    for (int i = 0; i < 5000; ++i) vorn.Midi(i % 512, i % 2 ? 0x80 : 0x90, 40 + i % 50, 100);
    for (int b = 0; b < 20; ++b) {
        std::vector<double> out = vorn.Render(512);
        for (double v : out) ASSERT_TRUE(std::isfinite(v));
        // Messages dated beyond the call act within it: the two far-future ones too.
        if (b == 0) {
            EXPECT_GT(plugin.Render().State().pitchBend, 0.99);
        }
    }
    EXPECT_TRUE(plugin.MidiEvents().Empty());
}

TEST(VornRender, OperatorParametersReachEveryVoice) {
    RenderingVorn vorn;
    vorn.Set(OperatorParamIndex(3, engine::kOpFrequency), 0);
    vorn.Set(engine::kFeedback, 7);
    vorn.Set(engine::kTranspose, -12);
    EXPECT_EQ(vorn.Plugin().Voices().Settings(2).multiplier, 1u);
    EXPECT_EQ(vorn.Plugin().Voices().FeedbackShift(), 13);
    EXPECT_EQ(vorn.Plugin().Voices().Transpose(), -12);
    vorn.Set(engine::kPmdController, 2);
    EXPECT_EQ(vorn.Plugin().Render().State().pmdSource, engine::PmdSource::ModWheel);
}

TEST(VornRender, PmdControllerOverridesLfoPmDepthWhileItMoves) {
    RenderingVorn vorn;
    vorn.Set(engine::kLfoPmDepth, 30);
    vorn.Set(engine::kPmdController, 2); // mod wheel
    EXPECT_EQ(vorn.Plugin().Voices().GetLfo().pmDepth, 30);
    vorn.Midi(0, 0xB0, 1, 127);
    for (int b = 0; b < 40; ++b) vorn.Render(441); // 0.4 s of 10 Hz smoothing
    EXPECT_EQ(vorn.Plugin().Voices().GetLfo().pmDepth, 127);
    vorn.Set(engine::kPmdController, 0); // off: the depth stays where the wheel put it
    EXPECT_EQ(vorn.Plugin().Voices().GetLfo().pmDepth, 127);
    vorn.Set(engine::kLfoPmDepth, 20);
    EXPECT_EQ(vorn.Plugin().Voices().GetLfo().pmDepth, 20);
}
