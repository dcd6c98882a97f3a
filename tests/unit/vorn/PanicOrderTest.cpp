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

TEST(PanicOrder, TheControllerWaitsForItsOwnOffset) {
    PolyVorn vorn(44100, 512);
    vorn::Vorn& plugin = vorn.Plugin();
    vorn.Midi(0, 0x90, 60, 100);
    vorn.Render(64);
    vorn.Midi(300, 0xB0, 120, 0);
    vorn.Render(200); // not reached yet: the note still sounds
    EXPECT_TRUE(NoteGated(plugin, 60));
    vorn.Render(200);
    EXPECT_FALSE(NoteGated(plugin, 60));
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
