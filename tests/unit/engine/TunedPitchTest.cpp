#include "engine/TunedPitch.h"

#include <cmath>
#include <gtest/gtest.h>

using engine::PitchFrequency;
using engine::PitchOfFrequency;

TEST(TunedPitch, FrequencyCurveInterpolatesInHzBetweenSemitones) {
    EXPECT_DOUBLE_EQ(PitchFrequency(0), 8.176);
    EXPECT_DOUBLE_EQ(PitchFrequency(69 * 128), 440.0);
    EXPECT_DOUBLE_EQ(PitchFrequency(128), 8.662);
    EXPECT_DOUBLE_EQ(PitchFrequency(124 * 128), 10548.08);
    EXPECT_DOUBLE_EQ(PitchFrequency(69 * 128 + 64), (440.0 + 466.164) / 2);
    EXPECT_DOUBLE_EQ(PitchFrequency(17280), 19912.127);
    EXPECT_DOUBLE_EQ(PitchFrequency(-17280), 0.0033570162);
    EXPECT_DOUBLE_EQ(PitchFrequency(-128), 8.176 * std::pow(2.0, -1.0 / 12.0));
}

TEST(TunedPitch, BisectionFindsThePitchAndStaysInItsRange) {
    EXPECT_NEAR(PitchOfFrequency(440.0), 8832, 1);
    EXPECT_NEAR(PitchOfFrequency(261.626), 7680, 1);
    // The halving steps from 8640 become odd below 270 (135, 67, 33, ...), so the search lands
    // within two units of the exact pitch for an arbitrary note.
    for (int note = 15; note <= 110; ++note) {
        double f = 440.0 * std::pow(2.0, (note - 69) / 12.0);
        EXPECT_NEAR(PitchOfFrequency(f), note * 128, 2) << note;
    }
    EXPECT_EQ(PitchOfFrequency(1e6), 17276);
    EXPECT_EQ(PitchOfFrequency(PitchFrequency(4) - 0.001), 4);
    EXPECT_EQ(PitchOfFrequency(0.0), 4);
}
