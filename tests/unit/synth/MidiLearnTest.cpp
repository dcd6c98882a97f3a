#include "synth/MidiLearn.h"
#include "../vorn/VornTestSupport.h"
#include "engine/InstrumentParams.h"
#include "synth/ControllerMap.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr int kOp2Attack = 23 + 17 + 11; // 51

// An instance whose map starts empty, whatever the test machine's configuration file holds.
struct LearnFixture : ::testing::Test {
    LearnFixture() {
        instance.host.Open(48000.0, 256);
        Synth().Settings().controllerMap.fill(-1);
    }
    vorn::Vorn& Synth() { return instance.Plugin(); }
    int Map(int controller) { return Synth().Settings().controllerMap[controller]; }
    int Automations() { return instance.host.CountCalls(vst2::audioMasterAutomate); }
    // Renders one block, so that queued MIDI reaches the control tick.
    void Render(int frames = 256) {
        std::vector<float> left(frames), right(frames), in(frames);
        float* outputs[] = {left.data(), right.data()};
        float* inputs[] = {in.data()};
        instance.Effect()->processReplacing(instance.Effect(), inputs, outputs, frames);
    }
    VornInstance instance;
};

} // namespace

TEST(ControllerMap, FixedControllersAndInvertedParametersAreWhereTheyBelong) {
    synth::ControllerMap map;
    map.fill(5);
    for (int c : {1, 2, 4, 64}) EXPECT_EQ(synth::MappedParameter(map, c), -1) << c;
    EXPECT_EQ(synth::MappedParameter(map, 0), 5);
    EXPECT_EQ(synth::MappedParameter(map, 120), -1);
    map[3] = 91;
    map[5] = -20;
    EXPECT_EQ(synth::MappedParameter(map, 3), -1);
    EXPECT_EQ(synth::MappedParameter(map, 5), -1);
    std::vector<int> inverted;
    for (int i = 0; i < engine::kParamCount; ++i)
        if (synth::IsInvertedOperatorParam(i)) inverted.push_back(i);
    ASSERT_EQ(inverted.size(), 28u);
    EXPECT_EQ(inverted.front(), 24); // operator 1's Level
    EXPECT_EQ(inverted.back(), 90);  // operator 4's Release
    EXPECT_FALSE(synth::IsInvertedOperatorParam(23 + 2));
    EXPECT_DOUBLE_EQ(synth::ControllerNormalized(kOp2Attack, 127), 0.0);
    EXPECT_DOUBLE_EQ(synth::ControllerNormalized(0, 127), 1.0);
}

TEST(MidiLearn, CompletesInEitherOrderAndTakesTheParameterFromOtherControllers) {
    synth::ControllerMap map;
    map.fill(-1);
    map[7] = 30;
    synth::LearnState state;
    synth::StartLearn(state, false, true);
    state.parameter = 30;
    EXPECT_FALSE(synth::CompleteLearn(state, map)); // the controller may still come
    state.controller = 21;
    EXPECT_TRUE(synth::CompleteLearn(state, map));
    EXPECT_EQ(map[7], -1);
    EXPECT_EQ(map[21], 30);
    EXPECT_FALSE(state.active);
    EXPECT_FALSE(synth::CompleteLearn(state, map)); // nothing while not armed

    synth::StartLearn(state, true, true);
    EXPECT_EQ(state.parameter, -1);
    EXPECT_FALSE(synth::CompleteLearn(state, map));
    EXPECT_TRUE(state.active);
}

TEST_F(LearnFixture, KnobThenControllerMapsAndTheControllerRunsInverted) {
    Synth().StartLearn(false, true);
    Synth().SetParamFromEditor(kOp2Attack, 0.5);
    EXPECT_TRUE(Synth().LearnActive());
    instance.host.SendMidi(0, 0xB0, 20, 99); // consumed by learn
    EXPECT_EQ(Map(20), kOp2Attack);
    EXPECT_FALSE(Synth().LearnActive());
    double before = Synth().GetParam(kOp2Attack).Value();
    Render();
    EXPECT_EQ(Synth().GetParam(kOp2Attack).Value(), before); // the learning message changed nothing

    instance.host.SendMidi(0, 0xB0, 20, 127);
    Render();
    EXPECT_EQ(Synth().GetParam(kOp2Attack).Value(), 0.0);
    instance.host.SendMidi(0, 0xB0, 20, 0);
    Render();
    EXPECT_EQ(Synth().GetParam(kOp2Attack).Value(), 31.0);
}

TEST_F(LearnFixture, ControllerThenKnobGivesTheSameMap) {
    Synth().StartLearn(false, true);
    instance.host.SendMidi(0, 0xB0, 20, 5);
    EXPECT_EQ(Synth().LearnedController(), 20);
    EXPECT_EQ(Map(20), -1);
    Synth().SetParamFromEditor(kOp2Attack, 0.25);
    EXPECT_EQ(Map(20), kOp2Attack);
    EXPECT_FALSE(Synth().LearnActive());
}

TEST_F(LearnFixture, RelearningMovesTheParameterAndUnlearnRemovesIt) {
    Synth().Settings().controllerMap[7] = 10;
    Synth().StartLearn(false, true);
    Synth().LearnParameter(10);
    Synth().LearnController(21);
    EXPECT_EQ(Map(7), -1);
    EXPECT_EQ(Map(21), 10);

    Synth().StartLearn(true, true);
    Synth().LearnController(21);
    EXPECT_EQ(Map(21), -1);
    EXPECT_FALSE(Synth().LearnActive());
    EXPECT_FALSE(Synth().UnlearnMode());

    // Two controllers on one parameter, as a file may have them: unlearn by the parameter.
    Synth().Settings().controllerMap[30] = 12;
    Synth().Settings().controllerMap[31] = 12;
    Synth().StartLearn(true, true);
    Synth().SetParamFromEditor(12, 1.0);
    EXPECT_EQ(Map(30), -1);
    EXPECT_EQ(Map(31), -1);
    EXPECT_FALSE(Synth().LearnActive());
}

TEST_F(LearnFixture, FixedControllersAndOutOfRangeEntriesDriveNothing) {
    Synth().StartLearn(false, true);
    Synth().LearnParameter(engine::kMasterVolume);
    Synth().LearnController(1);
    EXPECT_EQ(Map(1), engine::kMasterVolume); // stored...
    Synth().Settings().controllerMap[11] = 200;
    Synth().Settings().controllerMap[12] = -5;
    double volume = Synth().GetParam(engine::kMasterVolume).Value();
    int automations = Automations();
    for (int c : {1, 11, 12}) instance.host.SendMidi(0, 0xB0, static_cast<std::uint8_t>(c), 127);
    Render();
    EXPECT_EQ(Synth().GetParam(engine::kMasterVolume).Value(), volume); // ...but never applied
    EXPECT_EQ(Automations(), automations);
}

TEST_F(LearnFixture, MasterVolumeFollowsAControllerWithoutStepRounding) {
    Synth().Settings().controllerMap[7] = engine::kMasterVolume;
    Synth().ApplyController(7, 64);
    EXPECT_DOUBLE_EQ(Synth().GetParam(engine::kMasterVolume).Value(), 128.0 / 127.0);
    int automations = Automations();
    Synth().ApplyController(7, 64); // same value: no change reported
    EXPECT_EQ(Automations(), automations);
    Synth().ApplyController(7, 127);
    EXPECT_DOUBLE_EQ(Synth().GetParam(engine::kMasterVolume).Value(), 2.0);
    EXPECT_EQ(Automations(), automations + 1);
}

TEST_F(LearnFixture, RecallingAProgramCompletesLearnWithParameterZero) {
    Synth().StartLearn(false, true);
    Synth().LearnController(22);
    Synth().RecallPreset(1);
    EXPECT_EQ(Map(22), 0);
    EXPECT_FALSE(Synth().LearnActive());
}

TEST_F(LearnFixture, ArmedLearnKeepsControllersFromTheEngineAndAResetDisarmsIt) {
    Synth().Settings().controllerMap[7] = engine::kMasterVolume;
    Synth().StartLearn(false, true);
    Synth().GetParam(engine::kMasterVolume).SetFromNormalized(0.5);
    double volume = Synth().GetParam(engine::kMasterVolume).Value();
    instance.host.SendMidi(0, 0xB0, 64, 127); // sustain, consumed by learn
    EXPECT_EQ(Synth().LearnedController(), 64);
    Render();
    EXPECT_EQ(Synth().GetParam(engine::kMasterVolume).Value(), volume);
    instance.host.Dispatch(vst2::effMainsChanged, 0, 0);
    instance.host.Dispatch(vst2::effMainsChanged, 0, 1);
    EXPECT_FALSE(Synth().LearnActive());
    EXPECT_EQ(Map(7), engine::kMasterVolume);
}
