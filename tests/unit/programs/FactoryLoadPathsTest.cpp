// The factory banks reach the programs by every path the user or the host can take, and each path
// gives the same programs as the embedded image: the start-up fill of a fresh instance, "Restore
// Factory Programs", the browser's factory list, and a voice-bank dump of each voice bank saved
// as a ".syx" file and loaded back (with the two holes the module's voice record has).

#include "../update/ScriptedUi.h"
#include "engine/InstrumentParams.h"
#include "host/FxFileFormat.h"
#include "host/ProgramState.h"
#include "programs/FactoryBanks.h"
#include "unit/host/StateTestSupport.h"
#include "vorn/ProgramCommands.h"

#include <algorithm>

using statetest::Bytes;

namespace {

constexpr int kVoiceBanks = 7;
constexpr int kVoicesPerBank = 48;
// The values part of a state starts after the tag, program number, name stamp and count byte.
constexpr int kValuesBegin = host::kStateNameOffset + host::kStateNameSize + 1;

// A program as the checks compare it: its name and the values part of its state (bytes 23..156,
// everything after the tag, program number and name stamp).
struct Program {
    std::string name;
    Bytes values;
    bool operator==(const Program& other) const {
        return name == other.name && values == other.values;
    }
};

Bytes ValuesOf(const std::uint8_t* state, int size) {
    if (size < host::kStateSize) return {};
    return Bytes(state + kValuesBegin, state + host::kStateSize);
}

host::FileBytes Image(int index) {
    platform::Resource resource;
    EXPECT_TRUE(programs::FindFactoryImage(index, resource)) << index;
    return host::FileBytes(resource.data, resource.data + resource.size);
}

// The 336 programs as the embedded image of factory bank index stores them.
std::vector<Program> ImagePrograms(int index) {
    host::FileBytes file = Image(index);
    host::ChunkBuffer image;
    image.Assign(file.data(), file.size());
    std::vector<Program> programs;
    int p = programs::FactoryImageEntriesStart(image);
    for (int i = 0; i < host::PluginBase::kPresetCount && p >= 0; ++i) {
        Program program;
        std::uint8_t initialised = 0;
        p = image.ReadText(program.name, p);
        p = image.ReadByte(initialised, p);
        if (p < 0 || !initialised || p + host::kStateSize > image.Size()) break;
        program.values = ValuesOf(image.Data() + p, host::kStateSize);
        programs.push_back(program);
        p += host::kStateSize;
    }
    EXPECT_EQ(programs.size(), 336u) << "factory bank " << index;
    return programs;
}

std::vector<Program> HeldPrograms(vorn::Vorn& plugin) {
    std::vector<Program> programs;
    for (int i = 0; i < plugin.PresetCount(); ++i) {
        const host::Preset& preset = plugin.GetPreset(i);
        programs.push_back({preset.name, ValuesOf(preset.state.Data(), preset.state.Size())});
    }
    return programs;
}

// The first program where two lists differ, for a readable failure.
std::string FirstDifference(const std::vector<Program>& a, const std::vector<Program>& b) {
    if (a.size() != b.size())
        return std::to_string(a.size()) + " programs against " + std::to_string(b.size());
    for (std::size_t i = 0; i < a.size(); ++i)
        if (!(a[i] == b[i]))
            return "program " + std::to_string(i) + " (\"" + a[i].name + "\" / \"" + b[i].name +
                   "\")";
    return "";
}

// The values the parameters take from a stored state once it is applied (ranges enforced).
host::ProgramValues Resolved(vorn::Vorn& plugin, int program) {
    host::StoredState stored;
    host::ProgramRanges ranges;
    for (int p = 0; p < host::kStateValueCount; ++p)
        ranges[static_cast<std::size_t>(p)] = {plugin.GetParam(p).Min(), plugin.GetParam(p).Max()};
    EXPECT_GT(host::ParseProgramState(plugin.GetPreset(program).state, 0, stored), 0) << program;
    return host::ResolveStateValues(stored, ranges);
}

} // namespace

TEST(FactoryLoadPaths, FreshInstanceStartsWithTheFactorySounds) {
    VornInstance vorn;
    vorn::Vorn& plugin = vorn.Plugin();
    ASSERT_EQ(plugin.Settings().startupBankPath, "") << "the test's configuration names a bank";
    const std::vector<Program> factory = ImagePrograms(programs::kFactorySoundsIndex);
    EXPECT_EQ(FirstDifference(HeldPrograms(plugin), factory), "");
    // The current program is program 0, and its sound is what the parameters hold.
    EXPECT_EQ(plugin.CurrentPresetIndex(), 0);
    host::ChunkBuffer current;
    ASSERT_TRUE(plugin.WriteState(current));
    EXPECT_TRUE(ValuesOf(current.Data(), current.Size()) == factory[0].values);
}

TEST(FactoryLoadPaths, RestoreFactoryProgramsUndoesEveryChange) {
    VornInstance vorn;
    vorn::Vorn& plugin = vorn.Plugin();
    ScriptedUi ui;
    plugin.SetUiServices(&ui);
    const std::vector<Program> factory = ImagePrograms(programs::kFactorySoundsIndex);
    // Another bank over all programs, then one renamed and edited while current.
    ASSERT_TRUE(plugin.LoadBankData(Image(5)));
    plugin.SelectProgram(100);
    plugin.SetProgramName("Edited");
    plugin.SetParamFromEditor(engine::kAlgorithm, 1.0);
    plugin.SetParamFromEditor(engine::kTranspose, 0.0);
    plugin.SetProgramName(nullptr);
    ASSERT_NE(FirstDifference(HeldPrograms(plugin), factory), "");

    ui.answers = {platform::MessageAnswer::Yes};
    vorn::RunCommand(plugin, programs::kRestoreFactoryPrograms);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(FirstDifference(HeldPrograms(plugin), factory), "");
    // The program number stays, and the parameters sound the restored program at once.
    EXPECT_EQ(plugin.CurrentPresetIndex(), 100);
    host::ChunkBuffer current;
    ASSERT_TRUE(plugin.WriteState(current));
    EXPECT_TRUE(ValuesOf(current.Data(), current.Size()) == factory[100].values);
    plugin.SetUiServices(nullptr);
}

TEST(FactoryLoadPaths, BrowserListsEveryFactoryBankAsItsImageHoldsIt) {
    VornInstance vorn;
    vorn::Vorn& plugin = vorn.Plugin();
    const std::vector<Program> before = HeldPrograms(plugin);
    plugin.BuildFactoryBankList();
    ASSERT_EQ(plugin.Browser().banks.size(), 12u);
    for (int row = 0; row < programs::kFactoryBankCount; ++row) {
        SCOPED_TRACE(plugin.Browser().banks[static_cast<std::size_t>(row)].displayName);
        plugin.LoadBrowserBank(row);
        const auto& listed = plugin.Browser().programs;
        ASSERT_EQ(listed.size(), 336u);
        std::vector<Program> shown;
        for (std::size_t i = 0; i < listed.size(); ++i) {
            const host::ChunkBuffer& state = listed[i].state;
            ASSERT_EQ(state.Size(), host::kStateSize) << i;
            // The browser's name is the seven-character stamp inside the state.
            EXPECT_EQ(listed[i].name, std::string(reinterpret_cast<const char*>(state.Data()) +
                                                      host::kStateNameOffset,
                                                  host::kStateNameSize))
                << i;
            shown.push_back({listed[i].name, ValuesOf(state.Data(), state.Size())});
        }
        EXPECT_EQ(FirstDifference(shown, ImagePrograms(row)), "");
    }
    // Browsing does not touch the programs.
    EXPECT_EQ(FirstDifference(HeldPrograms(plugin), before), "");
}

// Every voice bank of every factory bank, saved as a voice-bank dump and loaded into another
// instance, gives back its names and parameters 6 to 90. The module's voice record cannot say
// more: loading turns Output Left and Right on, and PMD Controller has two bits, too few for
// "Foot" (4). Parameters 0 to 5 have no field at all.
TEST(FactoryLoadPaths, VoiceBankDumpsOfEveryFactoryBankLoadBack) {
    statetest::TempFolder folder;
    VornInstance exporting;
    VornInstance importing;
    vorn::Vorn& source = exporting.Plugin();
    vorn::Vorn& target = importing.Plugin();
    ScriptedUi ui;
    target.SetUiServices(&ui);
    for (int bank = 0; bank < programs::kFactoryBankCount; ++bank) {
        ASSERT_TRUE(source.LoadBankData(Image(bank)));
        for (int voiceBank = 0; voiceBank < kVoiceBanks; ++voiceBank) {
            SCOPED_TRACE("factory bank " + std::to_string(bank) + ", voice bank " +
                         std::to_string(voiceBank + 1));
            const int from = voiceBank * kVoicesPerBank;
            // The dump fills the voice bank of the current program, whichever that is.
            const int to = (voiceBank + 3) % kVoiceBanks * kVoicesPerBank;
            const std::string path = folder.File("bank.syx");
            source.RecallPreset(from);
            ASSERT_TRUE(source.SaveBankSysExFile(path, voiceBank % 2));
            EXPECT_EQ(statetest::ReadBytes(path).size(), 6363u);
            target.RecallPreset(to + 17);
            ui.answers = {platform::MessageAnswer::Yes};
            ASSERT_TRUE(target.LoadSysExFile(path));
            for (int i = 0; i < kVoicesPerBank; ++i) {
                const host::ProgramValues saved = Resolved(source, from + i);
                const host::ProgramValues loaded = Resolved(target, to + i);
                EXPECT_EQ(target.PresetName(to + i), source.PresetName(from + i).substr(0, 7));
                for (int p = engine::kAlgorithm; p < engine::kParamCount; ++p) {
                    const double was = saved[static_cast<std::size_t>(p)];
                    const double is = loaded[static_cast<std::size_t>(p)];
                    if (p == engine::kOutputLeft || p == engine::kOutputRight) {
                        EXPECT_EQ(is, 1.0) << "program " << from + i << ", parameter " << p;
                    } else if (p == engine::kPmdController && was == 4.0) {
                        EXPECT_LT(is, 4.0) << "program " << from + i;
                    } else {
                        EXPECT_EQ(is, was)
                            << "program " << from + i << " \"" << source.PresetName(from + i)
                            << "\", parameter " << p << " " << source.GetParam(p).Name();
                    }
                }
            }
        }
    }
    target.SetUiServices(nullptr);
}
