#include "host/PluginBase.h"

#include <gtest/gtest.h>

namespace {

// The smallest concrete plug-in: host callbacks do nothing, parameters are plain 0..10 integers.
class TestPlugin : public host::PluginBase {
public:
    explicit TestPlugin(int params = 12, int presets = 4)
        : PluginBase(params, presets, "1-0 0-2") {
        for (int i = 0; i < params; ++i) params_[static_cast<std::size_t>(i)].InitInt("P", 0, 0, 10);
        SetBlockSize(16);
    }
    void ParamChanged(int index) override { changed.push_back(index); }
    void BeginParamEdit(int) override {}
    void NotifyParamChange(int, double) override {}
    void EndParamEdit(int) override {}
    void NotifyProgramChange() override {}
    long long GetSamplePosition() override { return 0; }
    double GetHostTempo() override { return 0; }
    void GetHostTimeSignature(int&, int&) override {}
    void GetTransportInfo(host::TransportInfo&) override {}
    void ResizeEditor(int, int) override {}
    bool SendMidiMessage(const host::MidiMessage&) override { return true; }

    std::vector<int> changed;
};

} // namespace

TEST(PluginBase, IoConfigurationGivesChannelsAndTheMonoFlag) {
    TestPlugin plugin;
    EXPECT_EQ(plugin.InputCount(), 1);
    EXPECT_EQ(plugin.OutputCount(), 2);
    EXPECT_TRUE(plugin.LegalIO(1, -1));
    EXPECT_FALSE(plugin.LegalIO(2, -1));
    EXPECT_EQ(plugin.PresetName(0), "empty");
    EXPECT_EQ(plugin.PresetName(-1), "");
    EXPECT_EQ(plugin.PresetName(4), "");
}

TEST(PluginBase, RecallOfAnUninitialisedPresetNamesItUserPreset) {
    TestPlugin plugin;
    plugin.GetParam(3).SetClamped(7);
    ASSERT_TRUE(plugin.RecallPreset(2));
    EXPECT_EQ(plugin.PresetName(2), "user preset 1");
    EXPECT_EQ(plugin.CurrentPresetIndex(), 2);
    ASSERT_TRUE(plugin.RecallPreset(1));
    EXPECT_EQ(plugin.PresetName(1), "user preset 2");
    // The stored state holds the values current when the preset was made.
    plugin.GetParam(3).SetClamped(1);
    ASSERT_TRUE(plugin.RecallPreset(2));
    EXPECT_EQ(plugin.GetParam(3).Value(), 7);
    EXPECT_FALSE(plugin.RecallPreset(4));
    EXPECT_FALSE(plugin.RecallPreset(-1));
    EXPECT_EQ(plugin.CurrentPresetIndex(), 2);
}

TEST(PluginBase, ModifyCurrentPresetStoresStateAndKeepsNameWhenEmpty) {
    TestPlugin plugin;
    plugin.FillEmptyPresets();
    EXPECT_EQ(plugin.PresetName(0), "Empty");
    plugin.ModifyCurrentPreset("Bells");
    EXPECT_EQ(plugin.PresetName(0), "Bells");
    plugin.GetParam(0).SetClamped(9);
    plugin.ModifyCurrentPreset("");
    EXPECT_EQ(plugin.PresetName(0), "Bells");
    plugin.GetParam(0).SetClamped(2);
    plugin.RecallPreset(0);
    EXPECT_EQ(plugin.GetParam(0).Value(), 9);
    plugin.ModifyCurrentPreset(std::string(300, 'x').c_str());
    EXPECT_EQ(plugin.PresetName(0).size(), 255u);
}

TEST(PluginBase, UnserializeParamsOfAShortChunk) {
    TestPlugin plugin;
    for (int i = 0; i < plugin.ParamCount(); ++i) plugin.GetParam(i).SetClamped(5);
    host::ChunkBuffer buffer;
    for (int i = 0; i < 10; ++i) buffer.AppendDouble(i == 9 ? 99.0 : i);
    plugin.changed.clear();
    EXPECT_EQ(plugin.UnserializeParams(buffer, 0), -1);
    EXPECT_EQ(plugin.GetParam(4).Value(), 4);
    EXPECT_EQ(plugin.GetParam(9).Value(), 10); // clamped
    EXPECT_EQ(plugin.GetParam(10).Value(), 0); // the missing value reads as 0.0
    EXPECT_EQ(plugin.GetParam(11).Value(), 5); // untouched
    EXPECT_EQ(plugin.changed.size(), 12u);     // every parameter announced
}

TEST(PluginBase, PresetsRoundTripThroughTheirSerialisedForm) {
    TestPlugin source;
    source.FillEmptyPresets();
    source.GetParam(1).SetClamped(8);
    source.ModifyCurrentPreset("Organ");
    host::ChunkBuffer buffer;
    ASSERT_TRUE(source.SerializePresets(buffer));

    TestPlugin target;
    EXPECT_EQ(target.UnserializePresets(buffer, 0), buffer.Size());
    EXPECT_EQ(target.PresetName(0), "Organ");
    EXPECT_EQ(target.PresetName(3), "Empty");
    EXPECT_EQ(target.GetParam(1).Value(), 8);

    host::ChunkBuffer cut;
    cut.AppendBytes(buffer.Data(), 20);
    TestPlugin partial;
    EXPECT_EQ(partial.UnserializePresets(cut, 0), -1);
}

TEST(PluginBase, ImplausibleRatesAndBlockSizesAreIgnored) {
    TestPlugin plugin;
    plugin.SetSampleRate(48000);
    for (double bad : {0.0, -44100.0, 999.0, std::numeric_limits<double>::quiet_NaN(),
                       std::numeric_limits<double>::infinity()}) {
        plugin.SetSampleRate(bad);
        EXPECT_EQ(plugin.SampleRate(), 48000);
    }
    plugin.SetBlockSize(0);
    plugin.SetBlockSize(-7);
    EXPECT_EQ(plugin.BlockSize(), 16);
    EXPECT_EQ(plugin.Output(1).scratch.size(), 16u);
}

TEST(PluginBase, DefaultRenderPassesTheInputAndZeroesTheRest) {
    TestPlugin plugin;
    double in[4] = {1, 2, 3, 4};
    double left[4] = {9, 9, 9, 9};
    double right[4] = {9, 9, 9, 9};
    double* inputs[] = {in};
    double* outputs[] = {left, right};
    plugin.RenderBlock(inputs, outputs, 4);
    EXPECT_EQ(left[3], 4);
    EXPECT_EQ(right[0], 0);
}
