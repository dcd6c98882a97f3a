// Program and bank chunks through effGetChunk and effSetChunk: all 336 programs survive into a
// fresh instance byte for byte, a program chunk renames, quirk hosts get program chunks, and a
// corrupt chunk answers 0 with every program kept.

#include "StateTestSupport.h"
#include "engine/InstrumentParams.h"
#include "host/ChunkVersion.h"
#include "host/ProgramState.h"
#include "vst2/Vst2Adapter.h"

using namespace statetest;

namespace {

Bytes GetChunk(hostkit::PluginHost& host, int index) {
    void* data = nullptr;
    vst2::IntPtr size = host.Dispatch(vst2::effGetChunk, index, 0, &data);
    if (size <= 0 || !data) return {};
    return Bytes(static_cast<std::uint8_t*>(data), static_cast<std::uint8_t*>(data) + size);
}

vst2::IntPtr SetChunk(hostkit::PluginHost& host, int index, Bytes bytes) {
    return host.Dispatch(vst2::effSetChunk, index, static_cast<vst2::IntPtr>(bytes.size()),
                         bytes.data());
}

} // namespace

TEST(ChunkRoundTrip, AllProgramsWithOddNamesAndExtremeValuesSurviveIntoAFreshInstance) {
    VornInstance source;
    StoreAllPatternPrograms(source.Plugin());
    Bytes bank = GetChunk(source.host, 0);
    ASSERT_FALSE(bank.empty());

    VornInstance target;
    ASSERT_EQ(SetChunk(target.host, 0, bank), 1);
    EXPECT_EQ(Programs(target.Plugin()), Programs(source.Plugin()));
    EXPECT_EQ(ParamValues(target.Plugin()), ParamValues(source.Plugin()));
    EXPECT_EQ(GetChunk(target.host, 0), bank);
}

TEST(ChunkRoundTrip, ProgramChunkRestoresValuesAndRenames) {
    VornInstance source;
    StorePatternProgram(source.Plugin(), 2);
    source.Plugin().GetPreset(2).name = "Chunk name";
    Bytes program = GetChunk(source.host, 1);
    ASSERT_EQ(program.size(), 8u + host::kStateSize + 4 + 10);
    std::vector<double> expected = ParamValues(source.Plugin());

    VornInstance target;
    target.host.Dispatch(vst2::effSetProgram, 0, 17);
    ASSERT_EQ(SetChunk(target.host, 1, program), 1);
    EXPECT_EQ(ParamValues(target.Plugin()), expected);
    EXPECT_EQ(target.host.DispatchText(vst2::effGetProgramName), "Chunk name");
    EXPECT_EQ(target.host.Dispatch(vst2::effGetProgram), 17);

    // Without the trailing name the program keeps its own.
    Bytes nameless(program.begin(), program.begin() + 8 + host::kStateSize);
    target.Plugin().ModifyCurrentPreset("Kept");
    ASSERT_EQ(SetChunk(target.host, 1, nameless), 1);
    EXPECT_EQ(target.host.DispatchText(vst2::effGetProgramName), "Kept");
}

TEST(ChunkRoundTrip, QuirkHostGetsAndRestoresAProgramChunkForIndexZero) {
    hostkit::PluginHost quirk;
    quirk.vendorString = "NATIVE Instruments";
    ASSERT_TRUE(quirk.UseEntry(&VSTPluginMain));
    auto& plugin = *static_cast<vorn::Vorn*>(vst2::Adapter::CoreOf(quirk.Effect()));
    StorePatternProgram(plugin, 0);
    plugin.GetPreset(0).name = "Quirky";
    Bytes chunk = GetChunk(quirk, 0);
    ASSERT_EQ(chunk.size(), 8u + host::kStateSize + 4 + 6);
    std::vector<double> expected = ParamValues(plugin);
    for (int p = 0; p < plugin.ParamCount(); ++p)
        plugin.GetParam(p).SetClamped(plugin.GetParam(p).Min());
    ASSERT_EQ(SetChunk(quirk, 0, chunk), 1);
    EXPECT_EQ(ParamValues(plugin), expected);
    EXPECT_EQ(plugin.PresetName(0), "Quirky");

    // A bank chunk saved by an ordinary host still loads as a bank through the quirk path.
    VornInstance ordinary;
    StorePatternProgram(ordinary.Plugin(), 5);
    ordinary.Plugin().RecallPreset(0);
    Bytes bank = GetChunk(ordinary.host, 0);
    ASSERT_EQ(SetChunk(quirk, 0, bank), 1);
    EXPECT_EQ(plugin.PresetName(5), ordinary.Plugin().PresetName(5));
    EXPECT_EQ(plugin.GetPreset(5).state.Bytes(), ordinary.Plugin().GetPreset(5).state.Bytes());
    // Garbage is neither a program nor a bank: refused, not reported as loaded.
    EXPECT_EQ(SetChunk(quirk, 0, Bytes(40, 0x33)), 0);
}

TEST(ChunkRoundTrip, CorruptBankChunkAnswersZeroAndKeepsEveryProgram) {
    VornInstance source;
    StoreAllPatternPrograms(source.Plugin());
    Bytes bank = GetChunk(source.host, 0);

    VornInstance target;
    auto before = Programs(target.Plugin());
    std::vector<double> values = ParamValues(target.Plugin());
    // Cut in the last program, in the middle, and inside the first entry's name.
    for (std::size_t cut : {bank.size() - 1, bank.size() / 2, std::size_t{10}}) {
        EXPECT_EQ(SetChunk(target.host, 0, Bytes(bank.begin(), bank.begin() + cut)), 0) << cut;
        EXPECT_EQ(Programs(target.Plugin()), before) << cut;
        EXPECT_EQ(ParamValues(target.Plugin()), values) << cut;
    }
    // A bad marker byte in program 300's state.
    Bytes damaged = bank;
    std::size_t entry = 8;
    for (int i = 0; i < 300; ++i) {
        std::uint32_t length = damaged[entry] | damaged[entry + 1] << 8 | damaged[entry + 2] << 16 |
                               static_cast<std::uint32_t>(damaged[entry + 3]) << 24;
        entry += 4 + length + 1 + host::kStateSize;
    }
    std::uint32_t length = damaged[entry];
    damaged[entry + 4 + length + 1 + 71] = 0;
    EXPECT_EQ(SetChunk(target.host, 0, damaged), 0);
    EXPECT_EQ(Programs(target.Plugin()), before);
    // A negative name length.
    Bytes negative = bank;
    negative[8 + 3] = 0x80;
    EXPECT_EQ(SetChunk(target.host, 0, negative), 0);
    EXPECT_EQ(Programs(target.Plugin()), before);
}

TEST(ChunkRoundTrip, BankChunkWithoutFrameworkHeaderIsReadAsAProgram) {
    VornInstance vorn;
    vorn::Vorn& plugin = vorn.Plugin();
    plugin.GetParam(engine::kTranspose).SetClamped(-7);
    host::ChunkBuffer state;
    plugin.WriteState(state);
    state.AppendText("Headless");
    plugin.GetParam(engine::kTranspose).SetClamped(0);
    ASSERT_EQ(SetChunk(vorn.host, 0, state.Bytes()), 1);
    EXPECT_EQ(plugin.GetParam(engine::kTranspose).Value(), -7);
    EXPECT_EQ(plugin.PresetName(plugin.CurrentPresetIndex()), "Headless");
    // A framework marker without its version word is unreadable.
    host::ChunkBuffer markerOnly;
    markerOnly.AppendInt32(host::kChunkMarker);
    EXPECT_EQ(SetChunk(vorn.host, 0, markerOnly.Bytes()), 0);
    EXPECT_EQ(SetChunk(vorn.host, 1, markerOnly.Bytes()), 0);
}
