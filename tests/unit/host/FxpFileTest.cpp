// Program files: SaveProgramFile and LoadProgramFile byte for byte, the header's name, the
// parameter-list form made by hand, and files that are short, inconsistent or not ours.

#include "host/FxpFile.h"
#include "StateTestSupport.h"
#include "engine/InstrumentParams.h"
#include "host/ProgramState.h"

#include <cstring>

using namespace statetest;

namespace {

void AppendFloat(Bytes& file, float value) {
    std::uint32_t bits;
    std::memcpy(&bits, &value, 4);
    host::AppendBigEndian(file, bits);
}

// A parameter-list program as the published format has it, made without Vorna's writer.
Bytes HandMadeParamProgram(const std::string& name, const std::vector<float>& values,
                           std::uint32_t paramCount = 91) {
    Bytes file;
    host::AppendBigEndian(file, host::FourChar('C', 'c', 'n', 'K'));
    host::AppendBigEndian(file, static_cast<std::uint32_t>(48 + 4 * values.size()));
    host::AppendBigEndian(file, host::FourChar('F', 'x', 'C', 'k'));
    host::AppendBigEndian(file, 1);
    host::AppendBigEndian(file, host::FourChar('v', 'o', 'r', 'n'));
    host::AppendBigEndian(file, 1);
    host::AppendBigEndian(file, paramCount);
    std::string field = name;
    field.resize(28, '\0');
    file.insert(file.end(), field.begin(), field.end());
    for (float value : values) AppendFloat(file, value);
    return file;
}

std::vector<float> PlainValues() {
    std::vector<float> values(91, 0.0f);
    values[engine::kMasterVolume] = 0.25f; // 0..2
    values[engine::kTranspose] = 1.0f;     // -128..127
    values[engine::kAlgorithm] = 0.5f;     // 0..7: 3.5 rounds to 4
    return values;
}

} // namespace

TEST(FxpFile, SavedProgramLoadsByteForByteWithTheHeadersName) {
    TempFolder folder;
    VornInstance source;
    StorePatternProgram(source.Plugin(), 4);
    std::string name27 = "A name of 27 characters...";
    name27 += "!";
    ASSERT_EQ(name27.size(), 27u);
    source.Plugin().ModifyCurrentPreset(name27.c_str());
    ASSERT_TRUE(source.Plugin().SaveProgramFile(folder.File("a.fxp")));
    Bytes saved = ReadBytes(folder.File("a.fxp"));
    // Header, framework header, state: no trailing name.
    ASSERT_EQ(saved.size(), 60u + 8 + host::kStateSize);
    EXPECT_EQ(std::memcmp(saved.data(), "CcnK", 4), 0);
    EXPECT_EQ(std::memcmp(saved.data() + 8, "FPCh", 4), 0);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(saved.data()) + 28), name27);

    VornInstance target;
    target.Plugin().RecallPreset(4);
    ASSERT_TRUE(target.Plugin().LoadProgramFile(folder.File("a.fxp")));
    EXPECT_EQ(target.Plugin().PresetName(4), name27);
    EXPECT_EQ(ParamValues(target.Plugin()), ParamValues(source.Plugin()));
    ASSERT_TRUE(target.Plugin().SaveProgramFile(folder.File("b.fxp")));
    EXPECT_EQ(ReadBytes(folder.File("b.fxp")), saved);

    // A longer name is cut to the 27 characters the header holds.
    source.Plugin().ModifyCurrentPreset((name27 + "tail").c_str());
    ASSERT_TRUE(source.Plugin().SaveProgramFile(folder.File("c.fxp")));
    ASSERT_TRUE(target.Plugin().LoadProgramFile(folder.File("c.fxp")));
    EXPECT_EQ(target.Plugin().PresetName(4), name27);
    EXPECT_FALSE(source.Plugin().SaveProgramFile(""));
    EXPECT_FALSE(target.Plugin().LoadProgramFile(""));
    EXPECT_FALSE(target.Plugin().LoadProgramFile(folder.File("missing.fxp")));
}

TEST(FxpFile, HandMadeParameterListProgramLoads) {
    VornInstance vorn;
    vorn::Vorn& plugin = vorn.Plugin();
    ASSERT_TRUE(plugin.LoadProgramData(HandMadeParamProgram("By hand", PlainValues())));
    EXPECT_EQ(plugin.GetParam(engine::kMasterVolume).Value(), 0.5);
    EXPECT_EQ(plugin.GetParam(engine::kTranspose).Value(), 127);
    EXPECT_EQ(plugin.GetParam(engine::kAlgorithm).Value(), 4);
    EXPECT_EQ(plugin.GetParam(engine::kLfoSpeed).Value(), 0);
    EXPECT_EQ(plugin.PresetName(plugin.CurrentPresetIndex()), "By hand");
    // The loaded sound is stored in the current program.
    plugin.GetParam(engine::kTranspose).SetClamped(0);
    plugin.RecallPreset(plugin.CurrentPresetIndex());
    EXPECT_EQ(plugin.GetParam(engine::kTranspose).Value(), 127);
}

TEST(FxpFile, ShortInconsistentOrForeignFilesAreRefusedWithNothingChanged) {
    VornInstance vorn;
    vorn::Vorn& plugin = vorn.Plugin();
    Bytes good = plugin.ProgramFileImage();
    plugin.GetParam(engine::kTranspose).SetClamped(11);
    auto programs = Programs(plugin);
    std::vector<double> values = ParamValues(plugin);
    auto refused = [&](const Bytes& file, const char* what) {
        EXPECT_FALSE(plugin.LoadProgramData(file)) << what;
        EXPECT_EQ(ParamValues(plugin), values) << what;
        EXPECT_EQ(Programs(plugin), programs) << what;
    };
    std::vector<float> short90 = PlainValues();
    short90.pop_back();
    refused(HandMadeParamProgram("Short", short90), "FxCk with 90 floats");
    refused(HandMadeParamProgram("Count", PlainValues(), 90), "FxCk saying 90 parameters");
    std::vector<float> nan = PlainValues();
    nan[3] = std::nanf("");
    refused(HandMadeParamProgram("NaN", nan), "FxCk with a value that is not a number");
    Bytes oversize = good;
    oversize[56] = 0x10; // chunk size far past the end of the file
    refused(oversize, "chunk size larger than the file");
    refused(Bytes(good.begin(), good.end() - 1), "state cut short");
    refused(Bytes(good.begin(), good.begin() + 40), "header cut short");
    Bytes foreign = good;
    foreign[19] = 'x';
    refused(foreign, "other plug-in");
    Bytes version = good;
    version[15] = 2;
    refused(version, "format version 2");
    Bytes magic = good;
    magic[8] = 'X';
    refused(magic, "unknown file magic");
    Bytes badState = good;
    badState[60 + 8 + 22] = 3;
    refused(badState, "count byte 3");
    refused(Bytes(), "empty");
    // Chunk size smaller than the state: the state does not read completely.
    Bytes smallChunk = good;
    smallChunk[59] = 100;
    smallChunk[58] = 0;
    refused(smallChunk, "chunk size cuts the state");
}

TEST(FxpFile, ProgramFileEntryReader) {
    TempFolder folder;
    VornInstance vorn;
    vorn.Plugin().ModifyCurrentPreset("Entry");
    ASSERT_TRUE(vorn.Plugin().SaveProgramFile(folder.File("p.fxp")));
    host::ChunkBuffer entry;
    ASSERT_TRUE(host::ReadProgramFileEntry(folder.File("p.fxp"), vorn.Plugin().UniqueId(), entry));
    std::string name;
    int p = entry.ReadText(name, 0);
    EXPECT_EQ(name, "Entry");
    std::uint8_t initialised = 0;
    p = entry.ReadByte(initialised, p);
    EXPECT_EQ(initialised, 1);
    EXPECT_EQ(entry.Size() - p, host::kStateSize);
    EXPECT_EQ(vorn.Plugin().CheckState(entry, p), entry.Size());

    host::ChunkBuffer untouched;
    EXPECT_FALSE(host::ReadProgramFileEntry(folder.File("p.fxp"), 0x12345678, untouched));
    WriteBytes(folder.File("list.fxp"), HandMadeParamProgram("List", PlainValues()));
    EXPECT_FALSE(
        host::ReadProgramFileEntry(folder.File("list.fxp"), vorn.Plugin().UniqueId(), untouched));
    EXPECT_FALSE(
        host::ReadProgramFileEntry(folder.File("none.fxp"), vorn.Plugin().UniqueId(), untouched));
    EXPECT_TRUE(untouched.Empty());
}
