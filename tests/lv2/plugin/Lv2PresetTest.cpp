// The bundle's presets are the plug-in's 336 programs: the same names, and applied by a host
// (lilv restoring the preset's port values) the same sound as the program chosen in VST2.

#include "Lv2Presets.h"
#include "Lv2Render.h"
#include "Lv2TestSetup.h"
#include "PluginHost.h"

#include <gtest/gtest.h>

#include <set>

namespace lv2_test {
namespace {

constexpr int kProgramCount = 336;

class Lv2Presets : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(bundle.Ok()) << bundle.Error(); }

    // The phrase after the program chosen through effSetProgram.
    vorna_tool::RenderResult RenderVst2Program(int program) {
        hostkit::PluginHost host;
        EXPECT_TRUE(host.Load(Vst2Binary())) << host.Error();
        vorna_tool::RenderRequest request = Phrase(256);
        request.program = program;
        return vorna_tool::Render(host, request);
    }

    // The phrase after each preset in turn has been applied to a fresh instance (-1: none), with
    // a silent run after each.
    vorna_tool::RenderResult RenderLv2Presets(const std::vector<int>& programs,
                                              std::uint32_t silentFrames = 0) {
        Lv2TestHost host(bundle, HostSetup());
        EXPECT_TRUE(host.Ok()) << host.Error();
        std::vector<float> left(silentFrames), right(silentFrames);
        for (int program : programs) {
            if (program >= 0) {
                const PresetInfo* preset = PresetOfProgram(bundle, program);
                EXPECT_NE(preset, nullptr) << "no preset for program " << program;
                if (!preset) return vorna_tool::RenderResult{};
                EXPECT_TRUE(host.ApplyPreset(preset->uri)) << preset->uri;
            }
            if (silentFrames > 0) host.Run(silentFrames, left.data(), right.data());
        }
        return PlayRequest(host, Phrase(256));
    }

    Lv2Bundle& bundle = SharedBundle();
};

TEST_F(Lv2Presets, AreTheProgramsWithTheirNames) {
    hostkit::PluginHost vst2;
    ASSERT_TRUE(vst2.Load(Vst2Binary())) << vst2.Error();
    ASSERT_EQ(vst2.Effect()->numPrograms, kProgramCount);
    const std::vector<PresetInfo>& presets = bundle.Presets();
    ASSERT_EQ(presets.size(), static_cast<std::size_t>(kProgramCount));
    std::set<int> programs;
    for (const PresetInfo& preset : presets) {
        int program = ProgramNumberOfPresetUri(preset.uri);
        ASSERT_GE(program, 0) << preset.uri << " names no program";
        ASSERT_LT(program, kProgramCount) << preset.uri;
        EXPECT_TRUE(programs.insert(program).second) << "two presets for program " << program;
        EXPECT_EQ(preset.label, vst2.DispatchText(vst2::effGetProgramNameIndexed, program))
            << preset.uri;
    }
}

// A preset that leaves a port out would sound of whatever came before it.
TEST_F(Lv2Presets, SetEveryParameterPort) {
    std::size_t paramPorts = 0;
    for (const PortInfo& port : bundle.Ports())
        if (port.isControl && port.isInput) ++paramPorts;
    ASSERT_EQ(paramPorts, 91u);
    for (const PresetInfo& preset : bundle.Presets()) {
        LilvNode* node = lilv_new_uri(bundle.World(), preset.uri.c_str());
        StatePtr state(
            lilv_state_new_from_world(bundle.World(), bundle.Urids().MapFeature(), node));
        lilv_node_free(node);
        ASSERT_TRUE(state) << preset.uri;
        std::set<std::string> symbols;
        lilv_state_emit_port_values(
            state.get(),
            [](const char* symbol, void* seen, const void*, std::uint32_t, std::uint32_t) {
                static_cast<std::set<std::string>*>(seen)->insert(symbol);
            },
            &symbols);
        ASSERT_EQ(symbols.size(), paramPorts) << preset.uri;
    }
}

TEST_F(Lv2Presets, SoundLikeTheProgramsChosenInVst2) {
    for (int program : {1, 17, 100, 223, 335}) {
        SCOPED_TRACE("program " + std::to_string(program));
        vorna_tool::RenderResult vst2 = RenderVst2Program(program);
        vorna_tool::RenderResult lv2 = RenderLv2Presets({program});
        ASSERT_TRUE(vst2.error.empty()) << vst2.error;
        ASSERT_TRUE(lv2.error.empty()) << lv2.error;
        ASSERT_GT(Peak(vst2), 0.001);
        ASSERT_GT(Peak(lv2), 0.001);
        RenderDifference difference = CompareRenders(vst2, lv2);
        EXPECT_LT(difference.firstFrame, 0) << Describe(difference);
    }
}

// On a running instance, the last preset applied decides, whatever the one before it held.
TEST_F(Lv2Presets, ReplaceOneAnotherWhole) {
    vorna_tool::RenderResult afterAnother = RenderLv2Presets({300, 42}, 512);
    vorna_tool::RenderResult afterStartUp = RenderLv2Presets({-1, 42}, 512);
    vorna_tool::RenderResult other = RenderLv2Presets({-1, 300}, 512);
    ASSERT_TRUE(afterAnother.error.empty()) << afterAnother.error;
    ASSERT_TRUE(afterStartUp.error.empty()) << afterStartUp.error;
    ASSERT_GT(Peak(afterStartUp), 0.001);
    // The two presets must sound apart, or the comparison proves nothing.
    ASSERT_GE(CompareRenders(afterStartUp, other).firstFrame, 0);
    RenderDifference difference = CompareRenders(afterStartUp, afterAnother);
    EXPECT_LT(difference.firstFrame, 0) << Describe(difference);
}

} // namespace
} // namespace lv2_test
