// The render loop's own timing and filters, on the engine alone: ticks that keep their phase
// across blocks, notes applied at their sample, and filter state that a bad value cannot spoil.

#include "engine/RenderLoop.h"
#include "engine/Interpolation.h"
#include "engine/VoiceEngine.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <vector>

using namespace engine;

namespace {

struct Loop {
    explicit Loop(double rate = 44100.0) : loop(voices, midi, clock) {
        clock.tickInterval = static_cast<int>(rate) / 1000;
        loop.Reset(rate);
        loop.SetMono(false);
        // OP1 alone as a carrier with an instant attack: sound from the first chip samples.
        voices.SetVoiceParam(6, -1, 7);
        for (int op = 0; op < 4; ++op) {
            voices.SetVoiceParam(23 + 0, op, op == 0 ? 1 : 0);
            voices.SetVoiceParam(23 + 1, op, 0);
            voices.SetVoiceParam(23 + 4, op, 1);
            voices.SetVoiceParam(23 + 11, op, 31);
            voices.SetVoiceParam(23 + 16, op, 15);
        }
    }
    int FirstSound() const {
        for (std::size_t i = 0; i < left.size(); ++i)
            if (left[i] != 0.0) return static_cast<int>(i);
        return -1;
    }
    void Render(int frames) {
        left.assign(static_cast<std::size_t>(frames), 0.0);
        right.assign(static_cast<std::size_t>(frames), 0.0);
        loop.RenderBlock(left.data(), right.data(), frames);
    }
    void Add(int offset, int status, int data1, int data2) {
        MidiEvent e;
        e.offset = offset;
        e.status = static_cast<std::uint8_t>(status);
        e.data1 = static_cast<std::uint8_t>(data1);
        e.data2 = static_cast<std::uint8_t>(data2);
        midi.Add(e);
    }

    VoiceEngine voices;
    MidiEventQueue midi;
    TickClock clock;
    RenderLoop loop;
    std::vector<double> left, right;
};

} // namespace

TEST(RenderLoop, TicksKeepTheirPhaseAcrossBlocks) {
    // Ticks at 0 and 44; a note at offset 50 moves to the voice queue at the tick at 44 (in the
    // second block of 30) and sounds from sample 50, index 6 of the chunk that starts there.
    Loop l;
    l.Add(50, 0x90, 60, 100);
    l.Render(30);
    EXPECT_EQ(l.clock.samplesToNextTick, 14);
    EXPECT_EQ(l.loop.State().voiceEvents.Size(), 0);
    l.Render(40); // samples 30..69
    EXPECT_EQ(l.voices.HeldNoteCount(), 1);
    int start = l.FirstSound();
    EXPECT_GE(start, 20);
    EXPECT_LT(start, 26);
    EXPECT_TRUE(l.midi.Empty());
}

TEST(RenderLoop, TheSecondPartOfASplitTickMatchesFromIndexZero) {
    // The tick at 44 is split by the block end at 50. Its note at tick offset 20 lies beyond the
    // first part, so the continuing chunk of the next block applies it at its own index 20:
    // sample 50 + 20 = 70, not 64.
    Loop l;
    l.Add(64, 0x90, 60, 100);
    l.Render(50);
    EXPECT_EQ(l.loop.State().voiceEvents.Size(), 1);
    l.Render(38); // samples 50..87, the rest of the tick
    EXPECT_EQ(l.voices.HeldNoteCount(), 1);
    int start = l.FirstSound();
    EXPECT_GE(start, 20);
    EXPECT_LT(start, 26);
}

TEST(RenderLoop, ControllersMoveWithTheTicks) {
    Loop l;
    l.loop.SetPmdSource(PmdSource::Foot);
    l.Add(0, 0xB0, 4, 127);
    l.Add(0, 0xB0, 1, 64);
    l.Add(0, 0xD0, 127, 0);
    l.Add(0, 0xE0, 0x7F, 0x7F);
    l.Render(1);
    const RenderState& s = l.loop.State();
    EXPECT_EQ(s.foot, 1.0);
    EXPECT_EQ(s.modWheel, 64 / 127.0);
    EXPECT_EQ(s.aftertouch, 1.0);
    EXPECT_EQ(s.pitchBend, 8191.0 / 8192.0);
    // The foot controller reaches the PM depth through the 10 Hz smoother, tick by tick.
    l.Render(44 * 10);
    EXPECT_GT(s.lastPmdValue, 0);
    EXPECT_LT(s.lastPmdValue, 127);
    EXPECT_EQ(l.voices.GetLfo().pmDepth, s.lastPmdValue);
    l.Render(44 * 500);
    EXPECT_EQ(s.lastPmdValue, 127);
    EXPECT_EQ(l.voices.GetLfo().pmDepth, 127);
}

TEST(RenderLoop, UnmappedControllersGoToTheHandler) {
    Loop l;
    std::vector<int> seen;
    l.loop.SetMappedControllerHandler(
        [](void* context, int controller, int value) {
            static_cast<std::vector<int>*>(context)->push_back(controller * 1000 + value);
        },
        &seen);
    l.Add(0, 0xB3, 7, 99);
    l.Add(0, 0xB0, 1, 5);  // mod wheel: handled here
    l.Add(0, 0xB0, 64, 0); // pedal: to the voices
    l.Add(3, 0xB0, 74, 1);
    l.Render(10);
    EXPECT_EQ(seen, (std::vector<int>{7099, 74001}));
}

TEST(RenderLoop, NonFiniteFilterStateNeverReachesTheOutput) {
    Loop l;
    l.Add(0, 0x90, 60, 100);
    l.Render(512);
    RenderState& s = l.loop.State();
    s.outputFilter.y1 = std::numeric_limits<double>::quiet_NaN();
    s.outputFilter.x2 = std::numeric_limits<double>::infinity();
    s.bendSmoother.y2 = -std::numeric_limits<double>::infinity();
    s.pmdSmoother.y1 = std::numeric_limits<double>::quiet_NaN();
    l.loop.SetPmdSource(PmdSource::ModWheel);
    l.Render(2048);
    for (std::size_t i = 0; i < l.left.size(); ++i) ASSERT_TRUE(std::isfinite(l.left[i])) << i;
    EXPECT_TRUE(std::isfinite(s.outputFilter.y1));
}

TEST(RenderLoop, IdleLoopIsExactlySilent) {
    Loop l;
    l.Render(1000);
    for (double v : l.left) ASSERT_EQ(v, 0.0);
    for (double v : l.right) ASSERT_EQ(v, 0.0);
    EXPECT_GE(l.loop.State().chipPhase, 0.0);
    EXPECT_LT(l.loop.State().chipPhase, 1.0 + 62500.0 / 44100.0);
}

TEST(Interpolation, CatmullRomPassesThroughTheMiddlePointsAndFollowsQuadratics) {
    EXPECT_EQ(CatmullRom(3.0, -1.0, 4.0, 2.0, 0.0), -1.0);
    for (double t = 0.0; t < 1.0; t += 0.125) {
        // Samples of 2 + 3x and of x^2 at x = -1, 0, 1, 2; interpolated at x = t.
        EXPECT_DOUBLE_EQ(CatmullRom(-1.0, 2.0, 5.0, 8.0, t), 2.0 + 3.0 * t);
        EXPECT_DOUBLE_EQ(CatmullRom(1.0, 0.0, 1.0, 4.0, t), t * t);
    }
    EXPECT_NEAR(CatmullRom(0.0, 0.0, 1.0, 1.0, 0.999999), 1.0, 1e-5);
}
