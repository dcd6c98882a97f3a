// All Notes Off (123) and All Sound Off (120) as hosts send them at transport stop and at the end
// of an export: in the same event list as the last notes, at their own sample offset. They must
// act in order with those notes, or a note queued before them starts after the panic and hangs.

#include "VornRenderTestSupport.h"

namespace {

// Poly mode, so that every note keeps a voice of its own and a stuck one shows.
struct PolyVorn : RenderingVorn {
    PolyVorn(double rate, int block) : RenderingVorn(rate, block) { Set(engine::kMode, 0); }
};

int GatedVoices(vorn::Vorn& plugin) {
    int gated = 0;
    for (const engine::VoiceControl& voice : plugin.Voices().Bank().voice)
        if (voice.gate) ++gated;
    return gated;
}

bool NoteGated(vorn::Vorn& plugin, int note) {
    for (const engine::VoiceControl& voice : plugin.Voices().Bank().voice)
        if (voice.gate && voice.note == note) return true;
    return false;
}

} // namespace

TEST(PanicOrder, NoteBeforeTheControllerInTheSameCallIsReleased) {
    for (int controller : {123, 120}) {
        SCOPED_TRACE(controller);
        PolyVorn vorn(44100, 512);
        vorn::Vorn& plugin = vorn.Plugin();
        vorn.Midi(0, 0xB0, 64, 127); // a held pedal must not keep the note either
        vorn.Midi(10, 0x90, 60, 100);
        vorn.Midi(20, 0xB0, controller, 0);
        vorn.Render(512);
        EXPECT_EQ(plugin.Voices().HeldNoteCount(), 0);
        EXPECT_EQ(GatedVoices(plugin), 0);
        EXPECT_FALSE(plugin.Voices().SustainPedalDown());
    }
}

TEST(PanicOrder, NoteAfterTheControllerPlaysAndEqualOffsetsKeepArrivalOrder) {
    PolyVorn vorn(44100, 512);
    vorn::Vorn& plugin = vorn.Plugin();
    vorn.Midi(5, 0x90, 60, 100);
    vorn.Midi(30, 0xB0, 123, 0);
    vorn.Midi(30, 0x90, 62, 100); // same offset, sent after the controller
    vorn.Midi(200, 0x90, 64, 100);
    vorn.Render(512);
    EXPECT_FALSE(NoteGated(plugin, 60));
    EXPECT_TRUE(NoteGated(plugin, 62));
    EXPECT_TRUE(NoteGated(plugin, 64));
    EXPECT_EQ(plugin.Voices().HeldNoteCount(), 2);
}

TEST(PanicOrder, ControllerDatedBeyondItsCallActsBeforeTheNextCallsNotes) {
    // The tick grid runs on across calls, so a message late in a call may act early in the next
    // one; it must still act before anything that call brings.
    PolyVorn vorn(44100, 512);
    vorn::Vorn& plugin = vorn.Plugin();
    vorn.Midi(0, 0x90, 60, 100);
    vorn.Render(64);
    vorn.Midi(300, 0xB0, 120, 0);
    vorn.Midi(300, 0xB0, 123, 0);
    vorn.Render(200);
    vorn.Midi(0, 0x90, 64, 100);
    vorn.Render(200);
    EXPECT_FALSE(NoteGated(plugin, 60));
    EXPECT_TRUE(NoteGated(plugin, 64));
    EXPECT_TRUE(plugin.MidiEvents().Empty());
}

TEST(PanicOrder, NoteLateInItsCallDoesNotOutliveTheNextCallsPanic) {
    // The stop of a transport: the last note late in one call, All Notes Off at the start of the
    // next. Dated beyond its call, at any place of the tick grid, beyond the block size or at the
    // far end of the offset's range, the note must still come first.
    struct Case {
        int block, call, warmUp, noteOffset, panicOffset;
    };
    const Case cases[] = {
        {512, 512, 0, 2000, 0},       // beyond the call
        {512, 512, 0, 0x7FFFFFFF, 0}, // the largest offset
        {512, 512, 1024, 500, 0},     // within the call, the grid 32 frames into it
        {512, 1024, 0, 1018, 1},      // a call longer than the block size
        {64, 64, 100, 63, 0},         // short calls: the tick is longer than a call
        {512, 512, 1024, -70000, 0},  // before the call
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.call << " frames, note at " << c.noteOffset);
        PolyVorn vorn(44100, c.block);
        vorn.SingleSine();
        vorn::Vorn& plugin = vorn.Plugin();
        for (int done = 0; done < c.warmUp; done += c.call) vorn.Render(c.call);
        vorn.Midi(c.noteOffset, 0x90, 60, 100);
        vorn.Render(c.call);
        // On a tick grid that starts with the call, the note plays in its call.
        if (c.warmUp == 0 && c.block == c.call) {
            EXPECT_TRUE(NoteGated(plugin, 60));
        }
        vorn.Midi(c.panicOffset, 0xB0, 123, 0);
        for (int i = 0; i < 4; ++i) vorn.Render(c.call);
        EXPECT_FALSE(NoteGated(plugin, 60));
        EXPECT_EQ(plugin.Voices().HeldNoteCount(), 0);
    }
}

TEST(PanicOrder, StormOfWildOffsetsEndsInSilenceAfterThePanic) {
    // A host gone wrong: notes, pedal and bends at offsets far outside their calls. Pedal up and
    // All Notes Off on every channel must end every note, without a note-off for each key.
    for (unsigned seed : {1u, 2u, 3u}) {
        SCOPED_TRACE(seed);
        PolyVorn vorn(48000, 256);
        vorn.SingleSine();
        vorn.Set(engine::OperatorParamIndex(1, engine::kOpRelease), 15);
        vorn::Vorn& plugin = vorn.Plugin();
        std::uint32_t state = seed;
        const auto next = [&state](std::uint32_t range) {
            state = state * 1664525u + 1013904223u;
            return static_cast<int>((state >> 8) % range);
        };
        const int wild[] = {-100000, -1, 0, 255, 256, 4000, 1 << 20, 0x7FFFFFFF - 2};
        for (int call = 0; call < 30; ++call) {
            for (int e = 0; e < 12; ++e) {
                const int offset = wild[next(8)] + next(3);
                const int kind = next(4);
                if (kind == 0)
                    vorn.Midi(offset, 0xB0 | next(16), 64, 127 * next(2));
                else if (kind == 1)
                    vorn.Midi(offset, 0xE0 | next(16), next(128), next(128));
                else
                    vorn.Midi(offset, 0x90 | next(16), 36 + next(48), 1 + next(127));
            }
            vorn.Render(256);
        }
        for (int channel = 0; channel < 16; ++channel) {
            vorn.Midi(0, 0xB0 | channel, 64, 0);
            vorn.Midi(0, 0xB0 | channel, 123, 0);
        }
        ASSERT_GT(Peak(vorn.Render(256)), 0.001);       // notes were sounding
        for (int i = 0; i < 400; ++i) vorn.Render(256); // two seconds: every release is over
        EXPECT_EQ(GatedVoices(plugin), 0);
        EXPECT_LT(Peak(vorn.Render(256)), 1e-6);
    }
}

TEST(PanicOrder, AllSoundOffSilencesAtOnceAndAllNotesOffKeepsTheRelease) {
    // A note that holds at full level and releases slowly. After All Sound Off its tone is gone
    // within 5 ms (what remains is the slow settling of the output's DC blocker), yet it fades
    // rather than stops in one sample; after All Notes Off it still rings. A note after either
    // plays.
    const auto steepest = [](const std::vector<double>& out, int from, int to) {
        double step = 0.0;
        for (int i = from + 1; i < to; ++i) step = std::max(step, std::abs(out[i] - out[i - 1]));
        return step;
    };
    for (int controller : {120, 123}) {
        SCOPED_TRACE(controller);
        PolyVorn vorn(44100, 1024);
        vorn.SingleSine();
        vorn.Set(engine::OperatorParamIndex(1, engine::kOpSustain), 0);
        vorn.Set(engine::OperatorParamIndex(1, engine::kOpRelease), 1);
        vorn.Midi(0, 0x90, 48, 127);
        vorn.Render(1024);
        const int at = 300, fiveMs = 221, later = 700;
        vorn.Midi(at, 0xB0, controller, 0);
        vorn.Midi(later, 0x90, 67, 127);
        const std::vector<double> out = vorn.Render(1024);
        const double before = steepest(out, 0, at);
        ASSERT_GT(before, 1e-3);
        const double tone = steepest(out, at + fiveMs, later);
        if (controller == 120) {
            EXPECT_LT(tone, 0.05 * before);
            EXPECT_LE(steepest(out, at, at + fiveMs), 1.2 * before); // no cut
        } else {
            EXPECT_GT(tone, 0.5 * before);
        }
        EXPECT_GT(steepest(out, later + 60, 1024), 0.5 * before);
        EXPECT_TRUE(NoteGated(vorn.Plugin(), 67));
    }
}

TEST(PanicOrder, CallLongerThanTheBlockSizeReleasesItsLastNotes) {
    // Rendered in pieces of 256: the notes and the controller lie in the last piece.
    PolyVorn vorn(48000, 256);
    vorn::Vorn& plugin = vorn.Plugin();
    vorn.Midi(1000, 0x90, 60, 100);
    vorn.Midi(1021, 0x90, 67, 100);
    vorn.Midi(1022, 0xB0, 123, 0);
    vorn.Midi(1023, 0x90, 72, 100); // after the panic: plays
    vorn.Render(1024);
    EXPECT_FALSE(NoteGated(plugin, 60));
    EXPECT_FALSE(NoteGated(plugin, 67));
    EXPECT_TRUE(NoteGated(plugin, 72));
    EXPECT_EQ(plugin.Voices().HeldNoteCount(), 1);
}

TEST(PanicOrder, AnyChannelReleasesNotesOfEveryChannel) {
    PolyVorn vorn(44100, 512);
    vorn::Vorn& plugin = vorn.Plugin();
    vorn.Midi(1, 0x90, 60, 100);
    vorn.Midi(2, 0x95, 64, 100);
    vorn.Midi(3, 0x9F, 67, 100);
    vorn.Midi(4, 0xB3, 123, 0);
    vorn.Midi(4, 0xB9, 120, 0);
    vorn.Render(512);
    EXPECT_EQ(GatedVoices(plugin), 0);
    EXPECT_EQ(plugin.Voices().HeldNoteCount(), 0);
}

TEST(PanicOrder, SustainingProgramIsSilentAfterThePanicAndItsRelease) {
    // A sound that holds at full level while the key is down: silence can only come from the
    // panic releasing it.
    PolyVorn vorn(44100, 512);
    vorn.SingleSine();
    vorn.Set(engine::OperatorParamIndex(1, engine::kOpSustain), 0);
    vorn.Set(engine::OperatorParamIndex(1, engine::kOpRelease), 15);
    vorn.Midi(100, 0x90, 60, 127);
    vorn.Midi(400, 0xB0, 123, 0);
    std::vector<double> first = vorn.Render(512);
    ASSERT_GT(Peak(first), 0.01); // the note did sound before the panic
    for (int b = 0; b < 40; ++b) vorn.Render(512);
    EXPECT_LT(Peak(vorn.Render(512)), 1e-4);
}

TEST(PanicOrder, BlockSizeBelowTheTickNeitherDropsNorHoldsBackTheLastNotes) {
    // The host declares 16 frames, shorter than a tick of 48, and sends a call of 1024: rendered
    // in pieces of 16. The first note's place within its tick lies beyond any piece; it must not
    // hold back the panic and the note after it for good.
    PolyVorn vorn(48000, 16);
    vorn::Vorn& plugin = vorn.Plugin();
    vorn.Midi(1000, 0x90, 60, 100);
    vorn.Midi(1022, 0xB0, 123, 0);
    vorn.Midi(1023, 0x90, 72, 100);
    vorn.Render(1024);
    for (int i = 0; i < 8; ++i) vorn.Render(16); // two ticks more at most
    EXPECT_FALSE(NoteGated(plugin, 60));
    EXPECT_TRUE(NoteGated(plugin, 72));
    EXPECT_EQ(plugin.Voices().HeldNoteCount(), 1);
    EXPECT_TRUE(plugin.Render().State().voiceEvents.Empty());
}
