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

    // The phrase after the preset has been applied to a fresh instance.
    vorna_tool::RenderResult RenderLv2Preset(int program) {
        Lv2TestHost host(bundle, HostSetup());
        EXPECT_TRUE(host.Ok()) << host.Error();
        const PresetInfo* preset = PresetOfProgram(bundle, program);
        EXPECT_NE(preset, nullptr) << "no preset for program " << program;
        if (!preset) return vorna_tool::RenderResult{};
        EXPECT_TRUE(host.ApplyPreset(preset->uri)) << preset->uri;
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
        vorna_tool::RenderResult lv2 = RenderLv2Preset(program);
        ASSERT_TRUE(vst2.error.empty()) << vst2.error;
        ASSERT_TRUE(lv2.error.empty()) << lv2.error;
        ASSERT_GT(Peak(vst2), 0.001);
        ASSERT_GT(Peak(lv2), 0.001);
        RenderDifference difference = CompareRenders(vst2, lv2);
        EXPECT_LT(difference.firstFrame, 0) << Describe(difference);
    }
}

// On a running instance, a preset replaces the one before it as a program change does in VST2:
// program 300, half a second of silence, then program 42 and the phrase, in both formats.
TEST_F(Lv2Presets, ReplaceOneAnotherOnARunningInstance) {
    constexpr int kBlock = 256;
    constexpr int kSilentBlocks = 86;
    vorna_tool::RenderRequest phrase = Phrase(kBlock);

    hostkit::PluginHost host;
    ASSERT_TRUE(host.Load(Vst2Binary())) << host.Error();
    host.Open(44100.0, kBlock);
    std::vector<float> left(kBlock), right(kBlock);
    float* outputs[2] = {left.data(), right.data()};
    vst2::AEffect* effect = host.Effect();
    host.Dispatch(vst2::effSetProgram, 0, 300);
    for (int i = 0; i < kSilentBlocks; ++i)
        effect->processReplacing(effect, outputs, outputs, kBlock);
    host.Dispatch(vst2::effSetProgram, 0, 42);
    vorna_tool::RenderResult vst2;
    std::size_t next = 0;
    for (std::int64_t start = 0; start < phrase.frames; start += kBlock) {
        std::vector<vst2::VstMidiEvent> due;
        for (; next < phrase.events.size() && phrase.events[next].sample < start + kBlock; ++next) {
            const vorna_tool::ScheduledMidi& m = phrase.events[next];
            due.push_back(
                hostkit::MidiEvent(static_cast<int>(m.sample - start), m.status, m.data1, m.data2));
        }
        if (!due.empty()) host.SendEvents(due);
        effect->processReplacing(effect, outputs, outputs, kBlock);
        vst2.left.insert(vst2.left.end(), left.begin(), left.end());
        vst2.right.insert(vst2.right.end(), right.begin(), right.end());
    }

    Lv2TestHost lv2(bundle, HostSetup());
    ASSERT_TRUE(lv2.Ok()) << lv2.Error();
    const PresetInfo* first = PresetOfProgram(bundle, 300);
    const PresetInfo* second = PresetOfProgram(bundle, 42);
    ASSERT_TRUE(first && second);
    ASSERT_TRUE(lv2.ApplyPreset(first->uri));
    for (int i = 0; i < kSilentBlocks; ++i) lv2.Run(kBlock, left.data(), right.data());
    ASSERT_TRUE(lv2.ApplyPreset(second->uri));
    vorna_tool::RenderResult played = PlayRequest(lv2, phrase);
    ASSERT_TRUE(played.error.empty()) << played.error;
    ASSERT_GT(Peak(vst2), 0.001);
    RenderDifference difference = CompareRenders(vst2, played);
    EXPECT_LT(difference.firstFrame, 0) << Describe(difference);
}

} // namespace
} // namespace lv2_test
