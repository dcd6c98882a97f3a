// The engine keeps a list of the sounding voices, so that the control update and the chip
// kernels visit only those; the list must follow every voice that starts or stops.

#include "VoiceTestSupport.h"

#include <cstdint>
#include <gtest/gtest.h>

using namespace engine;
using namespace enginetest;

TEST(SparseVoices, ControlUpdateVisitsOnlySoundingVoicesYetFollowsEveryChange) {
    VoiceEngine e;
    ApplyOrgan(e);
    EXPECT_EQ(e.SoundingCount(64), 0);
    e.NoteOn(60, 100);
    e.NoteOn(64, 100);
    EXPECT_EQ(e.SoundingCount(64), 2);
    EXPECT_EQ(e.SoundingCount(1), 1); // mono computes voice 0 only
    // A pitch offset reaches the sounding voices at the next update.
    const uint32_t before = e.Bank().increment[0][1];
    e.ControlUpdate(64, 128.0);
    EXPECT_GT(e.Bank().increment[0][1], before);
    // Released with the fastest release, the voices stop at a later update and are not counted.
    e.NoteOff(60);
    e.NoteOff(64);
    for (int tick = 0; tick < 400 && e.SoundingCount(64) > 0; ++tick) {
        for (int i = 0; i < 62; ++i) e.ChipSample(64, false);
        e.ControlUpdate(64, 0.0);
    }
    EXPECT_EQ(e.SoundingCount(64), 0);
    EXPECT_FALSE(e.VoiceActive(0));
    EXPECT_FALSE(e.VoiceActive(1));
}
