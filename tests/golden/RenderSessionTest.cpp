#include "RenderSession.h"
#include "DemoPhrase.h"

#include <cmath>
#include <gtest/gtest.h>

using vorna_tool::ParamOverride;
using vorna_tool::ParseParamOverride;

TEST(RenderSession, ParameterOverridesAreNameEqualsValue) {
    ParamOverride change;
    ASSERT_TRUE(ParseParamOverride("OP1: Level=10", change));
    EXPECT_EQ(change.name, "OP1: Level");
    EXPECT_EQ(change.value, "10");
    ASSERT_TRUE(ParseParamOverride("  Mode =  Mono ", change));
    EXPECT_EQ(change.name, "Mode");
    EXPECT_EQ(change.value, "Mono");
    EXPECT_FALSE(ParseParamOverride("Mode", change));
    EXPECT_FALSE(ParseParamOverride("=3", change));
    EXPECT_FALSE(ParseParamOverride("Mode=", change));
}

TEST(RenderSession, RendersThroughThePluginWithOverridesAndBlockSizes) {
    hostkit::PluginHost host;
    ASSERT_TRUE(host.Load(VORNA_RENDER_TEST_PLUGIN)) << host.Error();
    vorna_tool::RenderRequest request;
    request.blockSizes = {100, 37};
    request.overrides = {{"OP1: Level", "10"}, {"Mode", "Poly"}};
    request.events = {{1000, 0x90, 60, 100}, {3000, 0x80, 60, 0}};
    request.frames = 4000;
    vorna_tool::RenderResult result = vorna_tool::Render(host, request);
    ASSERT_TRUE(result.error.empty()) << result.error;
    ASSERT_EQ(result.left.size(), 4000u);
    EXPECT_EQ(host.ParamDisplay(24), "10");
    EXPECT_EQ(host.ParamDisplay(11), "Poly");
    for (int i = 0; i < 1000; ++i) ASSERT_EQ(result.left[i], 0.0f) << i; // silent before the note
    vorna_tool::Levels levels = vorna_tool::MeasureLevels(result);
    EXPECT_GT(levels.peak, 0.01);
    EXPECT_GT(levels.rms, 0.0);
    EXPECT_LT(levels.rms, levels.peak);
}

TEST(RenderSession, RefusesUnknownParametersValuesAndPrograms) {
    hostkit::PluginHost host;
    ASSERT_TRUE(host.Load(VORNA_RENDER_TEST_PLUGIN)) << host.Error();
    vorna_tool::RenderRequest request;
    request.frames = 10;
    request.overrides = {{"OP9: Level", "1"}};
    EXPECT_NE(vorna_tool::Render(host, request).error.find("no parameter"), std::string::npos);
    request.overrides = {{"Mode", "Stereo"}};
    EXPECT_NE(vorna_tool::Render(host, request).error.find("does not take"), std::string::npos);
    request.overrides.clear();
    request.program = 336;
    EXPECT_NE(vorna_tool::Render(host, request).error.find("program 336"), std::string::npos);
}

TEST(RenderSession, DemoPhraseIsOrderedAndScheduledToTheNearestSample) {
    vorna_tool::MidiSong song = vorna_tool::DemoPhrase();
    ASSERT_FALSE(song.events.empty());
    std::vector<vorna_tool::ScheduledMidi> at48 = vorna_tool::Schedule(song.events, 48000.0);
    ASSERT_EQ(at48.size(), song.events.size());
    for (std::size_t i = 1; i < at48.size(); ++i) EXPECT_LE(at48[i - 1].sample, at48[i].sample);
    EXPECT_EQ(at48.back().sample, std::llround(song.events.back().seconds * 48000.0));
    EXPECT_GE(song.lengthSeconds, song.events.back().seconds);
}
