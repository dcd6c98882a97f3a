// SysEx through a whole instance: dumps and parameter changes from the host, what goes out to
// the module and when, and the ".syx" file commands with their questions and messages.

#include "../vorn/VornTestSupport.h"
#include "SysExTestSupport.h"
#include "SysExUiScript.h"

#include "platform/FileSizeLimit.h"
#include "programs/SysExFiles.h"
#include "programs/VoiceConversion.h"
#include "unit/FailingWrite.h"

#include <cstring>
#include <filesystem>

using namespace programs;
using namespace engine;
using sysextest::BankDump;
using sysextest::PatternRecord;
using sysextest::SingleVoiceDump;

namespace {

namespace fs = std::filesystem;

int Op(int op, int m) {
    return OperatorParamIndex(op, m);
}

std::vector<Bytes> SentSysEx(const hostkit::PluginHost& host) {
    std::vector<Bytes> sent;
    for (const hostkit::ReceivedEvent& event : host.receivedEvents)
        if (event.type == vst2::kVstSysExType) sent.push_back(event.bytes);
    return sent;
}

std::vector<VoiceRecord> Records(int seed) {
    std::vector<VoiceRecord> records;
    for (int i = 0; i < kBankVoiceCount; ++i) records.push_back(PatternRecord(seed + i));
    return records;
}

class SysExInstance : public ::testing::Test {
protected:
    void SetUp() override {
        folder = fs::temp_directory_path() /
                 ("vorna-sysex-" +
                  std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(folder);
        fs::create_directories(folder);
        plugin().SetUiServices(&ui);
        vorn.host.receivedEvents.clear();
    }
    void TearDown() override {
        plugin().SetUiServices(nullptr);
        std::error_code ignored;
        fs::remove_all(folder, ignored);
    }

    vorn::Vorn& plugin() { return vorn.Plugin(); }
    std::string Path(const std::string& name) const { return (folder / name).string(); }
    void WriteFile(const std::string& name, const Bytes& bytes) {
        std::FILE* file = std::fopen(Path(name).c_str(), "wb");
        ASSERT_NE(file, nullptr);
        if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), file);
        std::fclose(file);
    }
    void Deliver(const Bytes& bytes) {
        plugin().HandleSysEx(host::SysExMessage{0, static_cast<int>(bytes.size()), bytes.data()});
    }
    // Stored states and names of all programs, to show that nothing changed.
    std::vector<std::pair<std::string, Bytes>> Programs() {
        std::vector<std::pair<std::string, Bytes>> programs;
        for (int i = 0; i < plugin().PresetCount(); ++i)
            programs.emplace_back(plugin().GetPreset(i).name, plugin().GetPreset(i).state.Bytes());
        return programs;
    }
    void ExpectOnlyMessage(const std::string& text, const std::string& caption) {
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.messages[0].text, text);
        EXPECT_EQ(ui.messages[0].caption, caption);
    }

    VornInstance vorn;
    sysextest::ScriptedUi ui;
    fs::path folder;
};

} // namespace

TEST_F(SysExInstance, SingleVoiceDumpFromTheHostReplacesTheCurrentProgramAndIsSentBack) {
    plugin().SelectProgram(7);
    vorn.host.receivedEvents.clear();
    VoiceRecord record{};
    std::memcpy(record.data(), "Organ 2", 7);
    record[12] = 0x05; // Algorithm 6
    record[15] = 0xF4; // Transpose -12
    Deliver(SingleVoiceDump(record));
    EXPECT_EQ(plugin().PresetName(7), "Organ 2");
    EXPECT_EQ(plugin().GetPreset(7).state.Size(), 157);
    EXPECT_EQ(plugin().GetParam(kAlgorithm).Value(), 5);
    EXPECT_EQ(plugin().GetParam(kTranspose).Value(), -12);
    EXPECT_EQ(plugin().GetParam(kOutputLeft).Value(), 1);
    auto sent = SentSysEx(vorn.host);
    ASSERT_EQ(sent.size(), 1u);
    ASSERT_EQ(sent[0].size(), 139u);
    std::vector<VoiceRecord> back;
    ASSERT_TRUE(ParseVoiceBlocks(sent[0], back));
    EXPECT_EQ(back[0][15], 0xF4);
    EXPECT_EQ(back[0][12], 0xC5); // both outputs on after import
}

TEST_F(SysExInstance, BankDumpGoesIntoTheBankOfTheCurrentProgramWhateverItsBankByte) {
    plugin().SelectProgram(100);
    auto before = Programs();
    vorn.host.receivedEvents.clear();
    Deliver(BankDump(Records(0), 1)); // marked Voice Bank 2
    for (int i = 0; i < 48; ++i)
        EXPECT_EQ(plugin().PresetName(96 + i), VoiceName(PatternRecord(i))) << i;
    auto after = Programs();
    EXPECT_EQ(after[95], before[95]);
    EXPECT_EQ(after[144], before[144]);
    EXPECT_EQ(plugin().CurrentPresetIndex(), 100);
    auto sent = SentSysEx(vorn.host);
    ASSERT_EQ(sent.size(), 1u);
    std::vector<VoiceRecord> back;
    ASSERT_TRUE(ParseVoiceBlocks(sent[0], back));
    EXPECT_EQ(VoiceName(back[0]), VoiceName(PatternRecord(4))); // program 100 is voice 4
}

TEST_F(SysExInstance, DamagedDumpsChangeNothingAndSendNothing) {
    plugin().SelectProgram(5);
    vorn.host.receivedEvents.clear();
    auto before = Programs();
    Bytes bank = BankDump(Records(3), 0);
    Bytes lastBad = bank;
    lastBad[6361] = static_cast<std::uint8_t>((lastBad[6361] + 1) & 0x7F);
    Bytes noEnd(bank.begin(), bank.end() - 1);
    noEnd.push_back(0x00);
    Bytes voice = SingleVoiceDump(PatternRecord(9));
    voice[137] = static_cast<std::uint8_t>((voice[137] + 1) & 0x7F);
    Bytes configuration = bank;
    configuration[5] = 3;
    for (const Bytes& bad : {lastBad, voice, configuration}) {
        Deliver(bad);
        EXPECT_FALSE(plugin().ApplySysEx(bad.data(), bad.size()));
    }
    EXPECT_FALSE(plugin().ApplySysEx(noEnd.data(), noEnd.size()));
    EXPECT_FALSE(plugin().ApplySysEx(bank.data(), 6000));
    Bytes shortChange = {0xF0, 0x43, 0x75, 0x00, 0x18, 0x4C, 0x07};
    EXPECT_FALSE(plugin().ApplySysEx(shortChange.data(), shortChange.size()));
    EXPECT_EQ(Programs(), before);
    EXPECT_TRUE(SentSysEx(vorn.host).empty());
}

TEST_F(SysExInstance, DumpSplitIntoThreeEventsIsJoinedAndAppliedOnce) {
    Bytes dump = SingleVoiceDump(PatternRecord(2));
    Deliver(Bytes(dump.begin(), dump.begin() + 50));
    Deliver(Bytes(dump.begin() + 50, dump.begin() + 100));
    EXPECT_TRUE(SentSysEx(vorn.host).empty());
    Deliver(Bytes(dump.begin() + 100, dump.end()));
    EXPECT_EQ(SentSysEx(vorn.host).size(), 1u);
    EXPECT_EQ(plugin().PresetName(plugin().CurrentPresetIndex()), VoiceName(PatternRecord(2)));
    // An empty event is ignored; a new F0 starts over.
    plugin().HandleSysEx(host::SysExMessage{0, 0, nullptr});
    EXPECT_EQ(SentSysEx(vorn.host).size(), 1u);
}

TEST_F(SysExInstance, DumpThatNeverEndsDoesNotGrowWithoutBoundAndIsNotApplied) {
    auto before = Programs();
    Bytes start = BankDump(Records(1), 0);
    start.pop_back();
    Deliver(start);
    const Bytes filler(1000, 0x01);
    for (int i = 0; i < 5000; ++i) Deliver(filler);
    Deliver(Bytes{0xF7});
    EXPECT_EQ(Programs(), before);
    EXPECT_TRUE(SentSysEx(vorn.host).empty());

    SysExReceiveBuffer buffer;
    buffer.Add(start.data(), start.size());
    for (int i = 0; i < 100; ++i) buffer.Add(filler.data(), filler.size());
    EXPECT_EQ(buffer.Message().size(), SysExReceiveBuffer::kCapacity);
    EXPECT_TRUE(buffer.Add(Bytes{0xF7}.data(), 1));
    EXPECT_EQ(buffer.Message().size(), SysExReceiveBuffer::kCapacity);
    // The next message starts clean.
    Bytes dump = SingleVoiceDump(PatternRecord(4));
    EXPECT_TRUE(buffer.Add(dump.data(), dump.size()));
    EXPECT_EQ(buffer.Message(), dump);
}

TEST_F(SysExInstance, EditsSendParameterChangesOnlyWithTheOption) {
    vorn::Vorn& p = plugin();
    const int attack = Op(1, kOpAttack);
    p.SetParamFromEditor(Op(1, kOpKeyScalingRate), 2.0 / 3.0);
    vorn.host.receivedEvents.clear();
    p.SetParamFromEditor(attack, 20.0 / 31.0);
    auto sent = SentSysEx(vorn.host);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0], (Bytes{0xF0, 0x43, 0x75, 0x00, 0x18, 0x6C, 0x04, 0x09, 0xF7}));

    vorn.host.receivedEvents.clear();
    p.SetParamFromEditor(Op(2, kOpDetune), 3.0 / 7.0);
    sent = SentSysEx(vorn.host);
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0][5], 0x61);
    EXPECT_EQ(sent[1][5], 0x63);
    EXPECT_EQ(sent[1][7], 0x03); // Detune 3 in the high half

    vorn.host.receivedEvents.clear();
    p.SetParamFromEditor(kMasterVolume, 0.25);
    EXPECT_TRUE(SentSysEx(vorn.host).empty());

    p.Settings().sendParamChangeSysEx = false;
    p.SetParamFromEditor(attack, 0.5);
    EXPECT_TRUE(SentSysEx(vorn.host).empty());
    // Voice dumps on program selection do not depend on the option.
    p.SelectProgram(3);
    ASSERT_EQ(SentSysEx(vorn.host).size(), 1u);
    EXPECT_EQ(SentSysEx(vorn.host)[0].size(), 139u);
}

TEST_F(SysExInstance, HostSetValuesAndHostProgramChangesSendNothing) {
    vorn.host.SetParameter(Op(1, kOpAttack), 0.3f);
    vorn.host.Dispatch(vst2::effSetProgram, 0, 12);
    plugin().InitializeProgram();
    EXPECT_TRUE(SentSysEx(vorn.host).empty());
    plugin().SendAllParamsToModule();
    EXPECT_EQ(SentSysEx(vorn.host).size(), 1u);
}

TEST_F(SysExInstance, ReceivedParameterChangesSetValuesAndAreSentOnAgain) {
    vorn::Vorn& p = plugin();
    Deliver(Bytes{0xF0, 0x43, 0x75, 0x00, 0x18, 0x4F, 0x04, 0x0F, 0xF7});
    EXPECT_EQ(p.GetParam(kTranspose).Value(), -12);
    // With the option on, the received change goes out again as the module would send it.
    auto sent = SentSysEx(vorn.host);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0], (Bytes{0xF0, 0x43, 0x75, 0x00, 0x18, 0x4F, 0x04, 0x0F, 0xF7}));

    // Any system channel and instrument; Keyb. Scaling Type halves remembered across messages.
    Deliver(Bytes{0xF0, 0x43, 0x75, 0x0A, 0x1D, 0x53, 0x00, 0x08, 0xF7});
    EXPECT_EQ(p.GetParam(Op(4, kOpKeyScalingType)).Value(), 2);
    Deliver(Bytes{0xF0, 0x43, 0x75, 0x00, 0x18, 0x51, 0x00, 0x08, 0xF7});
    EXPECT_EQ(p.GetParam(Op(4, kOpKeyScalingType)).Value(), 3);
    // A value past the parameter's range is clamped: Pitch Bend Range 15 becomes 12.
    Deliver(Bytes{0xF0, 0x43, 0x75, 0x00, 0x18, 0x7B, 0x0F, 0x00, 0xF7});
    EXPECT_EQ(p.GetParam(kPitchBendRange).Value(), 12);

    p.Settings().sendParamChangeSysEx = false;
    vorn.host.receivedEvents.clear();
    Deliver(Bytes{0xF0, 0x43, 0x75, 0x00, 0x18, 0x4C, 0x07, 0x00, 0xF7});
    EXPECT_EQ(p.GetParam(kAlgorithm).Value(), 7);
    EXPECT_EQ(p.GetParam(kOutputLeft).Value(), 0);
    EXPECT_TRUE(SentSysEx(vorn.host).empty());
}

TEST_F(SysExInstance, LoadingABankFileAsksFirstAndFillsTheCurrentBank) {
    WriteFile("bank.syx", BankDump(Records(10), 1));
    plugin().SelectProgram(5);
    auto before = Programs();
    ui.answerYes = false;
    SetLastSysExFolder("/elsewhere");
    EXPECT_FALSE(plugin().LoadSysExFile(Path("bank.syx")));
    ExpectOnlyMessage("This SysEx file contains a full Voice Bank.\nDo you really want to "
                      "overwrite all programs in the current Voice Bank?",
                      "Load SysEx Voice Bank");
    EXPECT_EQ(ui.messages[0].kind, platform::MessageKind::Question);
    EXPECT_EQ(Programs(), before);
    EXPECT_EQ(plugin().LastSysExFolder(), "/elsewhere");

    ui.answerYes = true;
    ui.messages.clear();
    vorn.host.receivedEvents.clear();
    EXPECT_TRUE(plugin().LoadSysExFile(Path("bank.syx")));
    for (int i = 0; i < 48; ++i)
        EXPECT_EQ(plugin().PresetName(i), VoiceName(PatternRecord(10 + i)));
    EXPECT_EQ(plugin().GetPreset(48).state.Bytes(), before[48].second);
    EXPECT_EQ(SentSysEx(vorn.host).size(), 1u);
    EXPECT_EQ(plugin().LastSysExFolder(), folder.string());
}

TEST_F(SysExInstance, ConfigurationFilesAreRefusedWithTheirOwnMessage) {
    Bytes configuration = BankDump(Records(0), 0);
    configuration[5] = 3;
    WriteFile("config.syx", configuration);
    auto before = Programs();
    SetLastSysExFolder("/elsewhere");
    EXPECT_FALSE(plugin().LoadSysExFile(Path("config.syx")));
    ExpectOnlyMessage("This file contains FB-01 configuration data and will not be loaded.",
                      "FB-01 Configuration SysEx");
    EXPECT_EQ(Programs(), before);
    EXPECT_EQ(plugin().LastSysExFolder(), "/elsewhere");
}

TEST_F(SysExInstance, OnlyTheFirstMessageOfAFileCounts) {
    plugin().SelectProgram(20);
    // 48 single-voice dumps one after another: only the first, into the current program.
    Bytes singles;
    for (int i = 0; i < 48; ++i) {
        Bytes one = SingleVoiceDump(PatternRecord(30 + i));
        singles.insert(singles.end(), one.begin(), one.end());
    }
    WriteFile("singles.syx", singles);
    auto before = Programs();
    EXPECT_TRUE(plugin().LoadSysExFile(Path("singles.syx")));
    EXPECT_TRUE(ui.messages.empty());
    auto after = Programs();
    for (int i = 0; i < 336; ++i)
        if (i != 20) {
            EXPECT_EQ(after[static_cast<std::size_t>(i)], before[static_cast<std::size_t>(i)]) << i;
        }
    EXPECT_EQ(plugin().PresetName(20), VoiceName(PatternRecord(30)));

    // A parameter change as the first message: applied without a question.
    WriteFile("change.syx",
              Bytes{0xF0, 0x43, 0x75, 0x00, 0x18, 0x4C, 0x07, 0x00, 0xF7, 0x00, 0x12});
    EXPECT_TRUE(plugin().LoadSysExFile(Path("change.syx")));
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(plugin().GetParam(kAlgorithm).Value(), 7);
    EXPECT_EQ(plugin().GetParam(kFeedback).Value(), 0);
    EXPECT_EQ(plugin().GetParam(kOutputLeft).Value(), 0);
    EXPECT_EQ(plugin().GetParam(kOutputRight).Value(), 0);
}

TEST_F(SysExInstance, UnloadableFilesSayCannotLoadAndMoveOnlyTheFolder) {
    Bytes voice = SingleVoiceDump(PatternRecord(1));
    Bytes wrongSum = voice;
    wrongSum[137] = static_cast<std::uint8_t>((wrongSum[137] + 1) & 0x7F);
    Bytes noEnd(voice.begin(), voice.end() - 1);
    Bytes withFF = voice;
    withFF[60] = 0xFF; // reading stops there
    Bytes bank47 = BankDump(Records(0), 0);
    bank47.resize(74 + 47 * 131);
    bank47.push_back(0xF7);
    WriteFile("sum.syx", wrongSum);
    WriteFile("noend.syx", noEnd);
    WriteFile("ff.syx", withFF);
    WriteFile("bank47.syx", bank47);
    WriteFile("empty.syx", {});
    WriteFile("other.syx", Bytes{0xF0, 0x7E, 0x00, 0x06, 0x01, 0xF7});
    auto before = Programs();
    for (const char* name : {"sum.syx", "noend.syx", "ff.syx", "bank47.syx", "empty.syx",
                             "other.syx", "missing.syx"}) {
        SCOPED_TRACE(name);
        ui.messages.clear();
        SetLastSysExFolder("/elsewhere");
        EXPECT_FALSE(plugin().LoadSysExFile(Path(name)));
        ASSERT_FALSE(ui.messages.empty());
        EXPECT_EQ(ui.messages.back().text, "Cannot load file!");
        EXPECT_EQ(ui.messages.back().caption, "Error");
        EXPECT_EQ(plugin().LastSysExFolder(), folder.string());
    }
    EXPECT_EQ(Programs(), before);
}

TEST_F(SysExInstance, SavedBankIs6363BytesAndLoadsBackIntoTheSame48Programs) {
    plugin().SelectProgram(50);
    Deliver(BankDump(Records(20), 0));                  // programs 48 to 95
    plugin().SetParamFromEditor(kAlgorithm, 3.0 / 7.0); // an unsaved edit of program 50
    ASSERT_TRUE(plugin().SaveBankSysExFile(Path("out.syx"), 1));
    EXPECT_EQ(plugin().CurrentPresetIndex(), 50);
    EXPECT_EQ(plugin().GetParam(kAlgorithm).Value(), 3);
    Bytes file = sysextest::ReadWholeFile(Path("out.syx"));
    ASSERT_EQ(file.size(), 6363u);
    EXPECT_EQ(ClassifySysEx(file), SysExKind::VoiceBank2);
    std::vector<VoiceRecord> records;
    ASSERT_TRUE(ParseVoiceBlocks(file, records));
    EXPECT_EQ(records[2][12] & 0x07, 3); // the edit was stored first

    // The same programs: the same names and, once applied, the same values of every parameter.
    auto names = [this] {
        std::vector<std::string> list;
        for (int i = 48; i < 96; ++i) list.push_back(plugin().PresetName(i));
        return list;
    };
    auto values = [this] {
        std::vector<double> list;
        for (int i = 48; i < 96; ++i) {
            plugin().RecallPreset(i);
            for (int k = 0; k < kParamCount; ++k) list.push_back(plugin().GetParam(k).Value());
        }
        plugin().RecallPreset(50);
        return list;
    };
    const auto namesBefore = names();
    const auto valuesBefore = values();
    ui.messages.clear();
    ASSERT_TRUE(plugin().LoadSysExFile(Path("out.syx")));
    EXPECT_EQ(ui.messages.size(), 1u); // the bank question
    EXPECT_EQ(names(), namesBefore);
    EXPECT_EQ(values(), valuesBefore);
}

TEST_F(SysExInstance, RealBanksLoadAndSaveTheirVoicesAgain) {
    SKIP_WITHOUT_REAL_DUMPS();
    for (const std::string& name : sysextest::RealDumpNames()) {
        SCOPED_TRACE(name);
        const std::string path = sysextest::RealDumpFolder() + "/" + name;
        ui.messages.clear();
        ASSERT_TRUE(plugin().LoadSysExFile(path));
        ASSERT_EQ(ui.messages.size(), 1u); // the bank question only
        std::vector<VoiceRecord> original;
        ASSERT_TRUE(ParseVoiceBlocks(sysextest::ReadRealDump(name), original));
        for (int i = 0; i < 48; ++i)
            EXPECT_EQ(plugin().PresetName(i), VoiceName(original[static_cast<std::size_t>(i)]));
        ASSERT_TRUE(plugin().SaveBankSysExFile(Path("again.syx"), 0));
        std::vector<VoiceRecord> saved;
        ASSERT_TRUE(ParseVoiceBlocks(sysextest::ReadWholeFile(Path("again.syx")), saved));
        for (int i = 0; i < 48; ++i) {
            const VoiceRecord& a = original[static_cast<std::size_t>(i)];
            const VoiceRecord& b = saved[static_cast<std::size_t>(i)];
            // Levels, rates and the algorithm byte's routing bits come back unchanged.
            EXPECT_EQ(b[8], a[8]);
            EXPECT_EQ(b[12] & 0x3F, a[12] & 0x3F);
            EXPECT_EQ(b[15], a[15]);
            for (int o = 16; o < 48; o += 8) {
                EXPECT_EQ(b[static_cast<std::size_t>(o)] & 0x7F,
                          a[static_cast<std::size_t>(o)] & 0x7F);
                EXPECT_EQ(b[static_cast<std::size_t>(o + 7)], a[static_cast<std::size_t>(o + 7)]);
                EXPECT_EQ(b[static_cast<std::size_t>(o + 1)] & 0x01, 0x01);
            }
        }
    }
}

TEST_F(SysExInstance, SaveVoiceCommandProposesASafeNameAndWritesOneDump) {
    plugin().SelectProgram(0);
    plugin().SetProgramName("A/B:C*");
    ui.chosenPaths.push_back(Path("voice.syx"));
    SetLastSysExFolder(folder.string());
    plugin().RunSaveVoiceSysExFileCommand();
    ASSERT_EQ(ui.requests.size(), 1u);
    EXPECT_TRUE(ui.requests[0].save);
    EXPECT_EQ(ui.requests[0].extension, "syx");
    EXPECT_EQ(ui.requests[0].defaultName, "A_B_C_ ");
    EXPECT_EQ(ui.requests[0].startFolder, folder.string());
    Bytes file = sysextest::ReadWholeFile(Path("voice.syx"));
    ASSERT_EQ(file.size(), 139u);
    EXPECT_EQ(Bytes(file.begin(), file.begin() + 9),
              (Bytes{0xF0, 0x43, 0x75, 0x00, 0x08, 0x00, 0x00, 0x01, 0x00}));
    EXPECT_TRUE(ui.messages.empty());

    // Cancelling changes nothing, not even the folder.
    SetLastSysExFolder("/elsewhere");
    plugin().RunSaveBankSysExFileCommand(0);
    EXPECT_EQ(ui.requests.back().defaultName, "Vorna");
    plugin().RunLoadSysExFileCommand();
    EXPECT_FALSE(ui.requests.back().save);
    EXPECT_EQ(ui.requests.back().startFolder, "/elsewhere");
    EXPECT_EQ(plugin().LastSysExFolder(), "/elsewhere");

    EXPECT_EQ(SafeFileName("<>:\"/\\|?*ok"), "_________ok");
    EXPECT_EQ(FolderOf("C:\\Sounds\\bank.syx"), "C:\\Sounds");
    EXPECT_EQ(FolderOf("bank.syx"), "");
}

TEST_F(SysExInstance, FailedSaveSaysCannotSaveAndKeepsTheEarlierFile) {
    EXPECT_FALSE(plugin().SaveVoiceSysExFile(Path("no-such-folder/voice.syx")));
    ExpectOnlyMessage("Cannot save file!", "Error");
    EXPECT_EQ(plugin().LastSysExFolder(), Path("no-such-folder"));

    // A full disk: writes fail part-way through the 6363 bytes.
    ui.messages.clear();
    const Bytes earlier = {0xF0, 0x43, 0x75, 0x00, 0x18, 0x4C, 0x01, 0x00, 0xF7};
    WriteFile("keep.syx", earlier);
    FailingWrite failing(Path("keep.syx"), 1000);
    ASSERT_TRUE(failing.Active()) << "no way to make a write fail on this OS";
    bool saved = plugin().SaveBankSysExFile(Path("keep.syx"), 0);
    failing.End();
    EXPECT_FALSE(saved);
    ExpectOnlyMessage("Cannot save file!", "Error");
    EXPECT_EQ(sysextest::ReadWholeFile(Path("keep.syx")), earlier);
    std::size_t files = 0;
    for (const auto& entry : fs::directory_iterator(folder)) files += entry.is_regular_file();
    EXPECT_EQ(files, 1u); // no temporary file left behind
}

TEST_F(SysExInstance, FolderCommandSetsTheDefaultSysExFolder) {
    SetLastSysExFolder("");
    plugin().Settings().documentsFolder = "/documents";
    ui.chosenPaths.push_back(Path("[file name is ignored]"));
    EXPECT_TRUE(plugin().RunSysExFolderCommand());
    EXPECT_EQ(ui.requests[0].startFolder, "/documents");
    EXPECT_EQ(ui.requests[0].defaultName, "[file name is ignored]");
    EXPECT_EQ(ui.requests[0].extension, " ");
    EXPECT_EQ(plugin().Settings().sysExFolder, folder.string());
    EXPECT_EQ(plugin().LastSysExFolder(), folder.string());
    EXPECT_FALSE(plugin().RunSysExFolderCommand()); // cancelled
}

TEST_F(SysExInstance, BrowserListsTheVoicesOfSysExFiles) {
    WriteFile("one.syx", SingleVoiceDump(PatternRecord(7)));
    WriteFile("bank.SYX", BankDump(Records(40), 1));
    Bytes bad = BankDump(Records(40), 0);
    bad[100] ^= 0x01;
    WriteFile("bad.syx", bad);
    programs::BrowserState& browser = plugin().Browser();
    browser.banks.clear();
    for (const char* name : {"one.syx", "bank.SYX", "bad.syx"})
        browser.banks.push_back(programs::BankListEntry{Path(name), name, true, 0});
    auto before = Programs();

    plugin().LoadBrowserBank(0);
    ASSERT_EQ(browser.programs.size(), 1u);
    EXPECT_EQ(browser.programs[0].name, VoiceName(PatternRecord(7)));
    EXPECT_EQ(browser.source, programs::BrowserSource::File);
    host::ChunkBuffer expected;
    WriteVoiceProgramState(0, PatternRecord(7), expected);
    EXPECT_EQ(browser.programs[0].state.Bytes(), expected.Bytes());

    plugin().LoadBrowserBank(1);
    ASSERT_EQ(browser.programs.size(), 48u);
    EXPECT_EQ(browser.programs[47].name, VoiceName(PatternRecord(87)));
    std::int32_t number = -1;
    browser.programs[47].state.ReadInt32(number, 11);
    EXPECT_EQ(number, 47);

    plugin().LoadBrowserBank(2);
    EXPECT_TRUE(browser.programs.empty());
    EXPECT_EQ(Programs(), before); // listing changes no program
    EXPECT_TRUE(ui.messages.empty());
}
