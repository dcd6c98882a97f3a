#include "synth/Configuration.h"
#include "SynthTestSupport.h"
#include "platform/FileSizeLimit.h"
#include "platform/Files.h"
#include "synth/ControllerMap.h"
#include "synth/IniFile.h"
#include "unit/FailingWrite.h"

#include <gtest/gtest.h>

namespace {

// A configuration opened in a temporary application-data folder.
struct OpenedConfiguration {
    OpenedConfiguration() {
        read = synth::OpenConfiguration(settings, folder.Path(), "/docs");
        path = platform::JoinPath(platform::JoinPath(folder.Path(), "TarnwellMusic"), "vorn.ini");
    }
    void WriteIni(const std::string& text) {
        WriteText(path, text);
        reread = synth::ReadConfiguration(settings);
    }
    synth::IniDocument Ini() const {
        synth::IniDocument ini;
        synth::LoadIniFile(path, ini);
        return ini;
    }
    TempFolder folder;
    synth::SynthSettings settings;
    std::string path;
    bool read = false;
    bool reread = false;
};

} // namespace

TEST(Configuration, AMissingFileIsCreatedEmptyAndEveryDefaultApplies) {
    OpenedConfiguration c;
    EXPECT_TRUE(c.read);
    EXPECT_EQ(c.settings.configurationPath, c.path);
    EXPECT_EQ(ReadText(c.path), "");
    EXPECT_TRUE(c.settings.sendParamChangeSysEx);
    EXPECT_FALSE(c.settings.midiThru);
    EXPECT_FALSE(c.settings.ignoreProgramChange);
    EXPECT_FALSE(c.settings.showAllKnobValues);
    EXPECT_EQ(c.settings.programFolder, "/docs");
    EXPECT_EQ(c.settings.documentsFolder, "/docs");
    EXPECT_EQ(c.settings.sysExFolder, "");
    for (int entry : c.settings.controllerMap) EXPECT_EQ(entry, -1);
}

TEST(Configuration, AnExistingFileIsReadAndLeftAsItWas) {
    TempFolder folder;
    std::string sub = platform::JoinPath(folder.Path(), "TarnwellMusic");
    std::filesystem::create_directories(sub);
    std::string path = platform::JoinPath(sub, "vorn.ini");
    WriteText(path, "[MIDI Global]\nMIDI Thru=true\n[MIDI Control]\nCC10=3\n");
    synth::SynthSettings settings;
    EXPECT_TRUE(synth::OpenConfiguration(settings, folder.Path(), ""));
    EXPECT_TRUE(settings.midiThru);
    EXPECT_EQ(settings.controllerMap[10], 3);
    EXPECT_EQ(ReadText(path), "[MIDI Global]\nMIDI Thru=true\n[MIDI Control]\nCC10=3\n");
}

TEST(Configuration, NoUsableFolderMeansNoFileAndAllDefaults) {
    synth::SynthSettings settings;
    EXPECT_FALSE(synth::OpenConfiguration(settings, "", "/docs"));
    EXPECT_EQ(settings.configurationPath, "");
    TempFolder folder;
    std::string tooLong = folder.Path() + "/" + std::string(1100, 'x');
    EXPECT_FALSE(synth::OpenConfiguration(settings, tooLong, "/docs"));
    EXPECT_EQ(settings.configurationPath, "");
    // Missing folders are made, but not below a file.
    WriteText(folder.File("file"), "x");
    EXPECT_FALSE(synth::OpenConfiguration(settings, folder.File("file/parent"), "/docs"));
    EXPECT_EQ(settings.configurationPath, "");
    EXPECT_TRUE(settings.sendParamChangeSysEx);
    // Writes without a file report failure and create nothing.
    EXPECT_FALSE(synth::WriteConfiguration(settings, -1));
}

TEST(Configuration, TrueIsCaseSensitiveOnlyForTheKnobValuesOption) {
    OpenedConfiguration c;
    c.WriteIni("[Editor]\nShow All Knob Values=TRUE\n[MIDI Global]\nMIDI Thru=TRUE\n"
               "Ignore Program Change=True\nSend Param Change SysEx=no\n");
    EXPECT_FALSE(c.settings.showAllKnobValues);
    EXPECT_TRUE(c.settings.midiThru);
    EXPECT_TRUE(c.settings.ignoreProgramChange);
    EXPECT_FALSE(c.settings.sendParamChangeSysEx);
    // An empty value keeps the current setting.
    c.WriteIni("[MIDI Global]\nMIDI Thru=\n[Editor]\nShow All Knob Values=true\n");
    EXPECT_TRUE(c.settings.midiThru);
    EXPECT_TRUE(c.settings.showAllKnobValues);
}

TEST(Configuration, ControllerValuesMapUnmapOrKeep) {
    OpenedConfiguration c;
    c.WriteIni("[MIDI Control]\nCC7=0\nCC8=abc\nCC9=12\nCC10=200\nCC11=-7\n");
    EXPECT_EQ(c.settings.controllerMap[7], 0);
    EXPECT_EQ(c.settings.controllerMap[8], -1);
    EXPECT_EQ(c.settings.controllerMap[9], 12);
    EXPECT_EQ(c.settings.controllerMap[10], 200); // stored as read; it drives nothing
    EXPECT_EQ(c.settings.controllerMap[11], -7);
    c.WriteIni("[MIDI Control]\nCC7=abc\nCC9=\n");
    EXPECT_EQ(c.settings.controllerMap[7], -1);
    EXPECT_EQ(c.settings.controllerMap[9], 12);  // empty keeps
    EXPECT_EQ(c.settings.controllerMap[10], -1); // a missing key takes the default "-1"
}

TEST(Configuration, ControllerTextConversion) {
    EXPECT_EQ(synth::ControllerEntryFromText("0", 5), 0);
    EXPECT_EQ(synth::ControllerEntryFromText("007", 5), 7);
    EXPECT_EQ(synth::ControllerEntryFromText("0abc", 5), 0);
    EXPECT_EQ(synth::ControllerEntryFromText(" 0", 5), -1); // 0 without a leading "0"
    EXPECT_EQ(synth::ControllerEntryFromText("12abc", 5), 12);
    EXPECT_EQ(synth::ControllerEntryFromText("+3", 5), 3);
    EXPECT_EQ(synth::ControllerEntryFromText("99999999999999", 5), 2147483647);
    EXPECT_EQ(synth::ControllerEntryFromText("", 5), 5);
    EXPECT_EQ(synth::ControllerKey(119), "CC119");
}

TEST(Configuration, SavingWritesExactlyTheMappedControllersInOrder) {
    OpenedConfiguration c;
    c.WriteIni("[MIDI Control]\nCC3=1\nCC100=2\n[Keep]\nmine=1\n");
    c.settings.controllerMap.fill(-1);
    c.settings.controllerMap[74] = 40;
    c.settings.controllerMap[7] = 0;
    c.settings.controllerMap[9] = -30; // an editor button's id: never saved
    c.settings.controllerMap[10] = 200;
    ASSERT_TRUE(synth::WriteConfiguration(c.settings, -1));
    synth::IniDocument ini = c.Ini();
    EXPECT_EQ(ini.Keys("MIDI Control"), (std::vector<std::string>{"CC7", "CC10", "CC74"}));
    EXPECT_EQ(ini.Read("MIDI Control", "CC7", "", 63), "0");
    EXPECT_EQ(ini.Read("MIDI Control", "CC74", "", 63), "40");
    EXPECT_EQ(ini.Read("Keep", "mine", "", 63), "1");
    EXPECT_EQ(ini.Read("MIDI Global", "Send Param Change SysEx", "", 63), "true");
    EXPECT_EQ(ini.Read("MIDI Global", "MIDI Thru", "", 63), "false");
    EXPECT_EQ(ini.Read("Editor", "Show All Knob Values", "", 63), "false");
    EXPECT_TRUE(ini.HasKey("Startup Bank", "File"));
    // What was saved reads back the same.
    synth::SynthSettings again = c.settings;
    again.controllerMap.fill(-1);
    synth::ReadConfiguration(again);
    synth::ControllerMap expected = c.settings.controllerMap;
    expected[9] = -1; // the button id was not saved
    EXPECT_EQ(again.controllerMap, expected);
}

TEST(Configuration, OneOptionRewritesTheStartupBankButNotTheControllers) {
    OpenedConfiguration c;
    c.WriteIni("[Startup Bank]\nFile=/old.fxb\nStray=1\n[MIDI Control]\nCC3=1\n");
    c.settings.midiThru = true;
    c.settings.startupBankPath = "/new bank.fxb";
    c.settings.controllerMap.fill(-1);
    ASSERT_TRUE(synth::WriteConfiguration(c.settings, 20));
    synth::IniDocument ini = c.Ini();
    EXPECT_EQ(ini.Read("MIDI Global", "MIDI Thru", "", 63), "true");
    EXPECT_FALSE(ini.HasKey("MIDI Global", "Ignore Program Change"));
    EXPECT_FALSE(ini.HasKey("Editor", "Show All Knob Values"));
    EXPECT_EQ(ini.Keys("Startup Bank"), std::vector<std::string>{"File"});
    EXPECT_EQ(ini.Read("Startup Bank", "File", "", 258), "/new bank.fxb");
    EXPECT_EQ(ini.Read("MIDI Control", "CC3", "", 63), "1");
}

TEST(Configuration, StartupBankAndFoldersRoundTrip) {
    OpenedConfiguration c;
    ASSERT_TRUE(synth::SetStartupBank(c.settings, "/banks/start.fxb"));
    ASSERT_TRUE(synth::WriteProgramFolder(c.settings, "/my programs"));
    ASSERT_TRUE(synth::WriteSysExFolder(c.settings, "/my syx"));
    EXPECT_EQ(c.settings.programFolder, "/my programs");
    EXPECT_NE(ReadText(c.path).find("Path to Program Files=\"/my programs\""), std::string::npos);
    synth::SynthSettings fresh;
    fresh.configurationPath = c.path;
    EXPECT_TRUE(synth::ReadConfiguration(fresh));
    EXPECT_EQ(fresh.startupBankPath, "/banks/start.fxb");
    EXPECT_EQ(fresh.programFolder, "/my programs");
    EXPECT_EQ(fresh.sysExFolder, "/my syx");

    ASSERT_TRUE(synth::ClearStartupBank(c.settings));
    EXPECT_EQ(c.settings.startupBankPath, "");
    EXPECT_TRUE(c.Ini().Keys("Startup Bank").empty());
    synth::ReadConfiguration(fresh);
    EXPECT_EQ(fresh.startupBankPath, ""); // cleared before reading
}

TEST(Configuration, ReloadOfADeletedFileReportsItAndTakesDefaults) {
    OpenedConfiguration c;
    c.WriteIni("[MIDI Global]\nIgnore Program Change=true\n[Startup Bank]\nFile=/a.fxb\n");
    EXPECT_TRUE(c.settings.ignoreProgramChange);
    std::filesystem::remove(c.path);
    EXPECT_FALSE(synth::ReadConfiguration(c.settings));
    EXPECT_EQ(c.settings.startupBankPath, "");
    EXPECT_TRUE(c.settings.ignoreProgramChange); // a flag's default is its current value
    // A save then creates the file again.
    EXPECT_TRUE(synth::WriteConfiguration(c.settings, -1));
    EXPECT_TRUE(std::filesystem::exists(c.path));
}

TEST(Configuration, AFailedWriteLeavesTheOldFileWhole) {
    OpenedConfiguration c;
    std::string original = "[MIDI Control]\n";
    for (int n = 0; n < 120; ++n) original += "CC" + std::to_string(n) + "=1\n";
    WriteText(c.path, original);
    FailingWrite failing(c.path, 64);
    ASSERT_TRUE(failing.Active()) << "no way to make a write fail on this OS";
    bool written = synth::WriteConfiguration(c.settings, -1);
    failing.End();
    EXPECT_FALSE(written);
    EXPECT_EQ(ReadText(c.path), original);
    std::size_t files = 0;
    for (auto& entry : std::filesystem::directory_iterator(c.folder.Path() + "/TarnwellMusic")) {
        (void)entry;
        ++files;
    }
    EXPECT_EQ(files, 1u); // no temporary file left behind
}
