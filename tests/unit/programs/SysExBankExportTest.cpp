// Regression: exporting a voice bank recalled all 48 programs, with a parameter notification for
// each, before it knew whether the file could be created, so a save that ended in "Cannot save
// file!" had already changed the current program and told MIDI learn, the editor and the host of
// every parameter. The bank is now encoded from the stored states, and only a save that succeeded
// stores the current sound into its program.

#include "../vorn/VornTestSupport.h"
#include "SysExTestSupport.h"
#include "SysExUiScript.h"

#include "programs/SysExFiles.h"
#include "programs/VoiceConversion.h"

#include <filesystem>

using namespace programs;

namespace {

namespace fs = std::filesystem;

class BankExport : public ::testing::Test {
protected:
    void SetUp() override {
        folder = fs::temp_directory_path() /
                 ("vorna-bank-export-" +
                  std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(folder);
        fs::create_directories(folder);
        plugin().SetUiServices(&ui);
        // Programs 48 to 95 get voices of their own, program 50 is current with an unsaved edit.
        plugin().SelectProgram(50);
        std::vector<VoiceRecord> records;
        for (int i = 0; i < kBankVoiceCount; ++i)
            records.push_back(sysextest::PatternRecord(30 + i));
        const Bytes dump = sysextest::BankDump(records, 0);
        ASSERT_TRUE(plugin().ApplySysEx(dump.data(), dump.size()));
        plugin().SetParamFromEditor(engine::kAlgorithm, 5.0 / 7.0);
        ASSERT_EQ(plugin().GetParam(engine::kAlgorithm).Value(), 5);
        // Armed MIDI learn takes the first parameter it is told of: it shows any notification.
        plugin().StartLearn(false, true);
        ASSERT_EQ(plugin().LearnedParameter(), -1);
        vorn.host.calls.clear();
        vorn.host.receivedEvents.clear();
    }
    void TearDown() override {
        plugin().StartLearn(false, false);
        plugin().SetUiServices(nullptr);
        std::error_code ignored;
        fs::remove_all(folder, ignored);
    }

    vorn::Vorn& plugin() { return vorn.Plugin(); }
    std::string Path(const std::string& name) const { return (folder / name).string(); }
    std::vector<std::pair<std::string, Bytes>> Programs() {
        std::vector<std::pair<std::string, Bytes>> programs;
        for (int i = 0; i < plugin().PresetCount(); ++i)
            programs.emplace_back(plugin().GetPreset(i).name, plugin().GetPreset(i).state.Bytes());
        return programs;
    }
    // The programs whose name or stored state differ from before (a short list on failure).
    std::vector<int> Changed(const std::vector<std::pair<std::string, Bytes>>& before) {
        std::vector<int> changed;
        const auto now = Programs();
        for (std::size_t i = 0; i < now.size() && i < before.size(); ++i)
            if (now[i] != before[i]) changed.push_back(static_cast<int>(i));
        return changed;
    }
    std::vector<double> Values() {
        std::vector<double> values;
        for (int i = 0; i < plugin().ParamCount(); ++i)
            values.push_back(plugin().GetParam(i).Value());
        return values;
    }

    VornInstance vorn;
    sysextest::ScriptedUi ui;
    fs::path folder;
};

} // namespace

TEST_F(BankExport, AFailedSaveChangesNothingAndNotifiesNothing) {
    const auto programs = Programs();
    const auto values = Values();
    EXPECT_FALSE(plugin().SaveBankSysExFile(Path("no-such-folder/bank.syx"), 0));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Cannot save file!");
    EXPECT_EQ(ui.messages[0].caption, "Error");

    EXPECT_EQ(Changed(programs), std::vector<int>{}); // not even the unsaved edit was stored
    EXPECT_EQ(Values(), values);
    EXPECT_EQ(plugin().CurrentPresetIndex(), 50);
    EXPECT_EQ(plugin().LearnedParameter(), -1); // no parameter was reported as changed
    EXPECT_TRUE(vorn.host.calls.empty());
    EXPECT_TRUE(vorn.host.receivedEvents.empty());
    EXPECT_FALSE(fs::exists(Path("no-such-folder")));
}

TEST_F(BankExport, TheBankIsEncodedFromTheStoredStatesWithoutARecall) {
    const auto before = Programs();
    const auto values = Values();
    ASSERT_TRUE(plugin().SaveBankSysExFile(Path("bank.syx"), 1));
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(plugin().LearnedParameter(), -1);
    EXPECT_EQ(Values(), values);
    EXPECT_EQ(plugin().CurrentPresetIndex(), 50);
    // The saved file holds the edit, and now so does the program; the others are untouched.
    EXPECT_EQ(Changed(before), std::vector<int>{50});

    const Bytes file = sysextest::ReadWholeFile(Path("bank.syx"));
    ASSERT_EQ(file.size(), 6363u);
    EXPECT_EQ(ClassifySysEx(file), SysExKind::VoiceBank2);
    std::vector<VoiceRecord> records;
    ASSERT_TRUE(ParseVoiceBlocks(file, records));
    EXPECT_EQ(records[2][12] & 0x07, 5);

    // The same bytes as encoding each program after recalling it.
    plugin().StartLearn(false, false);
    std::vector<VoiceBlock> blocks(kBankVoiceCount);
    for (int i = 0; i < kBankVoiceCount; ++i)
        ASSERT_TRUE(plugin().ProgramToVoice(48 + i, blocks[static_cast<std::size_t>(i)]));
    EXPECT_EQ(BuildBankDump(blocks, 1), file);
}
