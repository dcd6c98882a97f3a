// The 157-byte program state: layout, signed bytes, older untagged states, refusal of bad count
// and marker bytes with nothing changed, and the index and name each program's state carries.

#include "StateTestSupport.h"
#include "engine/InstrumentParams.h"
#include "host/ProgramState.h"

#include <cstring>

using namespace statetest;

namespace {

host::ChunkBuffer WrittenState(vorn::Vorn& plugin) {
    host::ChunkBuffer state;
    EXPECT_TRUE(plugin.WriteState(state));
    return state;
}

// An untagged state as older versions wrote it: index, name, count, doubles, marker, bytes.
host::ChunkBuffer UntaggedState(std::uint8_t count, int doubles, double first, double second) {
    host::ChunkBuffer state;
    state.AppendInt32(4);
    state.AppendBytes("Oldname", 7);
    state.AppendByte(count);
    state.AppendDouble(first);
    state.AppendDouble(second);
    for (int i = 2; i < doubles; ++i) state.AppendDouble(0.5);
    state.AppendByte(85);
    for (int i = 0; i < 85; ++i) state.AppendByte(static_cast<std::uint8_t>(i == 1 ? 0xFD : 3));
    return state;
}

} // namespace

TEST(ProgramState, LayoutAndSignedBytes) {
    VornInstance vorn;
    vorn::Vorn& plugin = vorn.Plugin();
    plugin.GetParam(engine::kTranspose).SetClamped(-2);
    plugin.GetParam(engine::kLfoSpeed).SetClamped(200);
    plugin.GetParam(engine::kMasterVolume).SetClamped(0.75);
    host::ChunkBuffer state = WrittenState(plugin);
    ASSERT_EQ(state.Size(), host::kStateSize);
    EXPECT_EQ(std::memcmp(state.Data(), "Vorna_1.1.0", 11), 0);
    EXPECT_EQ(state.Data()[22], 6);
    EXPECT_EQ(state.Data()[71], 85);
    // Parameter 6 is the first byte value, at offset 72.
    EXPECT_EQ(state.Data()[72 + engine::kTranspose - 6], 0xFE);
    EXPECT_EQ(state.Data()[72 + engine::kLfoSpeed - 6], 0xC8);
    double volume = 0;
    EXPECT_EQ(state.ReadDouble(volume, 23), 31);
    EXPECT_EQ(volume, 0.75);

    plugin.GetParam(engine::kTranspose).SetClamped(5);
    plugin.GetParam(engine::kLfoSpeed).SetClamped(3);
    EXPECT_EQ(plugin.ReadState(state, 0), host::kStateSize);
    EXPECT_EQ(plugin.GetParam(engine::kTranspose).Value(), -2);
    EXPECT_EQ(plugin.GetParam(engine::kLfoSpeed).Value(), 200);
}

TEST(ProgramState, EveryParameterAtItsExtremesSurvivesWriteAndRead) {
    VornInstance vorn;
    vorn::Vorn& plugin = vorn.Plugin();
    for (int variant = 0; variant < 3; ++variant) {
        for (int p = 0; p < plugin.ParamCount(); ++p)
            plugin.GetParam(p).SetClamped(PatternValue(plugin.GetParam(p), variant));
        std::vector<double> expected = ParamValues(plugin);
        host::ChunkBuffer state = WrittenState(plugin);
        for (int p = 0; p < plugin.ParamCount(); ++p)
            plugin.GetParam(p).SetClamped(PatternValue(plugin.GetParam(p), variant + 1));
        ASSERT_EQ(plugin.ReadState(state, 0), host::kStateSize);
        EXPECT_EQ(ParamValues(plugin), expected) << "variant " << variant;
    }
}

TEST(ProgramState, UntaggedStateWithTwoDoublesSetsTheRestNearZero) {
    VornInstance vorn;
    vorn::Vorn& plugin = vorn.Plugin();
    for (int p = 2; p <= 5; ++p) plugin.GetParam(p).SetClamped(7);
    host::ChunkBuffer state = UntaggedState(2, 2, 1.5, -0.25);
    EXPECT_EQ(plugin.ReadState(state, 0), state.Size());
    EXPECT_EQ(plugin.GetParam(0).Value(), 1.5);
    EXPECT_EQ(plugin.GetParam(1).Value(), -0.25);
    for (int p = 2; p <= 5; ++p) EXPECT_EQ(plugin.GetParam(p).Value(), 0) << p;
    EXPECT_EQ(plugin.GetParam(engine::kTranspose).Value(), -3); // 0xFD, signed
    EXPECT_EQ(plugin.GetParam(engine::kAlgorithm).Value(), 3);
}

TEST(ProgramState, BadCountMarkerOrLengthIsRefusedWithNothingChanged) {
    VornInstance vorn;
    vorn::Vorn& plugin = vorn.Plugin();
    plugin.GetParam(engine::kTranspose).SetClamped(-2);
    host::ChunkBuffer good = WrittenState(plugin);
    plugin.GetParam(engine::kTranspose).SetClamped(9);
    std::vector<double> before = ParamValues(plugin);

    host::ChunkBuffer count3 = good;
    count3.Data()[22] = 3;
    EXPECT_EQ(plugin.ReadState(count3, 0), -1);
    host::ChunkBuffer badMarker = good;
    badMarker.Data()[71] = 84;
    EXPECT_EQ(plugin.ReadState(badMarker, 0), -1);
    for (int cut : {0, 10, 22, 30, 71, 72, 156}) {
        host::ChunkBuffer truncated;
        truncated.AppendBytes(good.Data(), static_cast<std::size_t>(cut));
        EXPECT_EQ(plugin.ReadState(truncated, 0), -1) << cut;
        EXPECT_EQ(plugin.CheckState(truncated, 0), -1) << cut;
    }
    EXPECT_EQ(plugin.ReadState(good, -1), -1);
    EXPECT_EQ(ParamValues(plugin), before);
    EXPECT_EQ(plugin.CheckState(good, 0), host::kStateSize);
}

TEST(ProgramState, StoredValuesAreClampedAndNonNumbersBecomeTheValueNearZero) {
    VornInstance vorn;
    vorn::Vorn& plugin = vorn.Plugin();
    host::ChunkBuffer state = WrittenState(plugin);
    double huge = 1e300;
    double nan = std::nan("");
    std::memcpy(state.Data() + 23, &huge, 8);               // Master Volume, 0..2
    std::memcpy(state.Data() + 31, &nan, 8);                // Master Tune, -1..1
    state.Data()[72 + engine::kLfoAmSensitivity - 6] = 200; // range 0..3
    ASSERT_EQ(plugin.ReadState(state, 0), host::kStateSize);
    EXPECT_EQ(plugin.GetParam(0).Value(), 2.0);
    EXPECT_EQ(plugin.GetParam(1).Value(), 0.0);
    EXPECT_EQ(plugin.GetParam(engine::kLfoAmSensitivity).Value(), 3);
}

TEST(ProgramState, EachProgramsStateCarriesItsOwnIndexAndName) {
    VornInstance vorn;
    vorn::Vorn& plugin = vorn.Plugin();
    plugin.RecallPreset(12);
    plugin.ModifyCurrentPreset("Renamed program");
    const host::ChunkBuffer& own = plugin.GetPreset(12).state;
    std::int32_t index = 0;
    own.ReadInt32(index, 11);
    EXPECT_EQ(index, 12);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(own.Data()) + 15, 7), "Renamed");

    // A bank read through the host keeps every program's own stamp, not the current one's.
    plugin.GetPreset(40).name = "Ab";
    plugin.RecallPreset(40);
    plugin.ModifyCurrentPreset();
    plugin.RecallPreset(12);
    void* data = nullptr;
    vst2::IntPtr size = vorn.host.Dispatch(vst2::effGetChunk, 0, 0, &data);
    ASSERT_GT(size, 0);
    Bytes bank(static_cast<std::uint8_t*>(data), static_cast<std::uint8_t*>(data) + size);
    VornInstance fresh;
    ASSERT_EQ(fresh.host.Dispatch(vst2::effSetChunk, 0, size, bank.data()), 1);
    const host::ChunkBuffer& stamped = fresh.Plugin().GetPreset(40).state;
    stamped.ReadInt32(index, 11);
    EXPECT_EQ(index, 40);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(stamped.Data()) + 15, 7), "Ab     ");
    // A state written while no program is current is stamped with blanks.
    host::ChunkBuffer other;
    host::AppendProgramState(other, -1, "Ignored", host::ProgramValues{});
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(other.Data()) + 15, 7), "       ");
}
