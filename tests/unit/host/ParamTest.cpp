#include "host/Param.h"

#include <gtest/gtest.h>

using host::Param;
using host::ParamKind;

TEST(Param, StepRoundingIsHalfUpForSteppedKindsOnly) {
    Param stepped;
    stepped.InitInt("Feedback", 0, 0, 7);
    EXPECT_EQ(stepped.SetFromNormalized(0.5), 4.0); // 3.5 rounds up
    EXPECT_EQ(stepped.SetFromNormalized(0.0), 0.0);
    EXPECT_EQ(stepped.SetFromNormalized(1.0), 7.0);

    Param continuous;
    continuous.Init("Master Tune", 0, -1, 1, 0.01);
    EXPECT_EQ(continuous.Kind(), ParamKind::Double);
    EXPECT_EQ(continuous.SetFromNormalized(0.5), 0.0);
    EXPECT_DOUBLE_EQ(continuous.SetFromNormalized(0.123), -0.754);
}

TEST(Param, NormalisationClampsAndFollowsTheShape) {
    Param param;
    param.Init("Shaped", 0, 0, 100, 1, 2.0);
    param.SetClamped(25);
    EXPECT_DOUBLE_EQ(param.ToNormalized(), 0.5); // (0.25)^(1/2)
    EXPECT_DOUBLE_EQ(param.ToNormalized(-50), 0.0);
    EXPECT_DOUBLE_EQ(param.ToNormalized(500), 1.0);
    EXPECT_DOUBLE_EQ(param.SetFromNormalized(0.5), 25.0);
}

TEST(Param, RangeAndPrecision) {
    Param degenerate;
    degenerate.Init("Degenerate", 3, 3, 3, 1);
    EXPECT_EQ(degenerate.Max(), 4.0); // at least min + step
    Param fine;
    fine.Init("Fine", 0, 0, 2, 0.01);
    EXPECT_EQ(fine.DisplayPrecision(), 2);
    Param whole;
    whole.Init("Whole", 0, 0, 2, 1);
    EXPECT_EQ(whole.DisplayPrecision(), 0);
    Param tiny;
    tiny.Init("Tiny", 0, 0, 1, 1e-9);
    EXPECT_EQ(tiny.DisplayPrecision(), 6); // never more than six decimals
}

TEST(Param, FormatDisplayWithAndWithoutTexts) {
    Param mode;
    mode.InitEnum("Mode", 1, {"Poly", "Mono"});
    EXPECT_EQ(mode.FormatDisplay(1, false, true), "Mono");
    EXPECT_EQ(mode.FormatDisplay(1, false, false), "1");
    EXPECT_EQ(mode.FormatDisplay(0.0, true, true), "Poly");
    EXPECT_EQ(mode.DisplayLabel(), "");

    Param tune;
    tune.Init("Master Tune", 0, -1, 1, 0.01);
    EXPECT_EQ(tune.FormatDisplay(-0.5, false, true), "-0.50");
    EXPECT_EQ(tune.FormatDisplay(0.75, true, true), "0.50");

    Param level;
    level.InitInt("Level", 0, 0, 127);
    EXPECT_EQ(level.FormatDisplay(99.9, false, true), "99"); // truncated, not rounded
}

TEST(Param, TextLookupIsExact) {
    Param wave;
    wave.InitEnum("Wave", 0, {"W1", "W2"});
    double value = -1;
    EXPECT_TRUE(wave.ValueOfText("W2", value));
    EXPECT_EQ(value, 1.0);
    EXPECT_FALSE(wave.ValueOfText("w2", value));
    EXPECT_EQ(wave.TextFor(5), "");
}

TEST(Param, LongNamesAreCutToTheField) {
    Param param;
    param.Init(std::string(40, 'n'), 0, 0, 1, 1);
    EXPECT_EQ(param.Name().size(), 31u);
}
