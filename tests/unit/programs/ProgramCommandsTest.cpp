#include "vorn/ProgramCommands.h"
#include "../synth/SynthTestSupport.h"
#include "../update/ScriptedUi.h"
#include "../vorn/VornTestSupport.h"
#include "editor/VornEditor.h"
#include "engine/InstrumentParams.h"
#include "platform/Files.h"
#include "platform/LoopbackHttpServer.h"
#include "platform/UserFolders.h"
#include "synth/IniFile.h"
#include "update/VersionCheck.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

using platform::MessageAnswer;
using platform::MessageKind;
using vorn::RunCommand;

namespace {

constexpr int kAlgorithm = engine::kAlgorithm;

// An instance whose configuration file, documents folder and last-used folders all lie in a
// temporary folder, with scripted answers for its questions and dialogs.
struct Commands : ::testing::Test {
    Commands() {
        instance.host.Open(44100.0, 256);
        vorn().SetUiServices(&ui);
        ini = folder.File("vorn.ini");
        WriteText(ini, "");
        synth::SynthSettings& settings = vorn().Settings();
        settings.configurationPath = ini;
        settings.documentsFolder = folder.Path();
        settings.programFolder = folder.Path();
        settings.startupBankPath.clear();
        vorn::SetLastProgramFolder(folder.Path());
        vorn::SetLastStartupFolder(folder.Path());
    }
    ~Commands() override { vorn().SetUiServices(nullptr); }

    vorn::Vorn& vorn() { return instance.Plugin(); }
    void Run(int command) { RunCommand(vorn(), command); }
    double Value(int index) { return vorn().GetParam(index).Value(); }
    void SetKnob(int index, double normalized) { vorn().SetParamFromEditor(index, normalized); }
    synth::IniDocument Ini() {
        synth::IniDocument document;
        synth::LoadIniFile(ini, document);
        return document;
    }
    void ExpectOnly(MessageKind kind, const std::string& text, const std::string& caption) {
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.messages[0].kind, kind);
        EXPECT_EQ(ui.messages[0].text, text);
        EXPECT_EQ(ui.messages[0].caption, caption);
    }
    void ExpectDialog(bool save, const std::string& extension, const std::string& name,
                      const std::string& start) {
        ASSERT_EQ(ui.dialogs.size(), 1u);
        EXPECT_EQ(ui.dialogs[0].save, save);
        EXPECT_EQ(ui.dialogs[0].extension, extension);
        EXPECT_EQ(ui.dialogs[0].defaultName, name);
        EXPECT_EQ(ui.dialogs[0].startFolder, start);
    }

    TempFolder folder;
    std::string ini;
    ScriptedUi ui;
    VornInstance instance;
};

} // namespace

TEST_F(Commands, PasteAsksOnlyOnceSomethingWasCopied) {
    Run(programs::kPasteProgram);
    EXPECT_TRUE(ui.messages.empty());

    SetKnob(kAlgorithm, 1.0);
    double copied = Value(kAlgorithm);
    Run(programs::kCopyProgram);
    EXPECT_TRUE(ui.messages.empty());
    vorn().SelectProgram(5);
    SetKnob(kAlgorithm, 0.0);
    ASSERT_NE(Value(kAlgorithm), copied);

    ui.answers = {MessageAnswer::No};
    Run(programs::kPasteProgram);
    ExpectOnly(MessageKind::Question, "Do you really want to overwrite the current program?",
               "Paste Program");
    EXPECT_NE(Value(kAlgorithm), copied);

    ui.answers = {MessageAnswer::Yes};
    Run(programs::kPasteProgram);
    EXPECT_EQ(Value(kAlgorithm), copied);
}

TEST_F(Commands, InitializeAndRestoreAskFirst) {
    SetKnob(kAlgorithm, 1.0);
    double edited = Value(kAlgorithm);
    Run(programs::kInitializeProgram); // no scripted answer: No
    ExpectOnly(MessageKind::Question, "Do you really want to initialize the current program?",
               "Initialize Program");
    EXPECT_EQ(Value(kAlgorithm), edited);
    ui.messages.clear();
    ui.answers = {MessageAnswer::Yes};
    Run(programs::kInitializeProgram);
    EXPECT_EQ(Value(kAlgorithm), vorn().GetParam(kAlgorithm).Default());

    ui.messages.clear();
    vorn().SetProgramName("Mine");
    std::string name = vorn().PresetName(vorn().CurrentPresetIndex());
    Run(programs::kRestoreFactoryPrograms);
    ExpectOnly(MessageKind::Question, "Do you really want to overwrite all programs?",
               "Restore Factory Sounds");
    EXPECT_EQ(vorn().PresetName(vorn().CurrentPresetIndex()), name);
    ui.answers = {MessageAnswer::Yes};
    Run(programs::kRestoreFactoryPrograms);
    EXPECT_NE(vorn().PresetName(vorn().CurrentPresetIndex()), name);
}

TEST_F(Commands, SaveProgramStoresTheEditedSoundFirstAndLoadBringsItBack) {
    vorn().SetProgramName("A/B:C*?");
    SetKnob(kAlgorithm, vorn().GetParam(kAlgorithm).ToNormalized() < 0.5 ? 1.0 : 0.0);
    double edited = Value(kAlgorithm);
    std::string path = folder.File("saved.fxp");
    ui.paths = {path};
    Run(programs::kSaveProgramFile);
    EXPECT_TRUE(ui.messages.empty());
    ASSERT_EQ(ui.dialogs.size(), 1u);
    EXPECT_EQ(ui.dialogs[0].defaultName.substr(0, 7), "A_B_C__");
    EXPECT_TRUE(ui.dialogs[0].save);
    EXPECT_EQ(ui.dialogs[0].extension, "fxp");
    EXPECT_EQ(ui.dialogs[0].startFolder, folder.Path());
    ASSERT_TRUE(platform::FileExists(path));
    // The program store holds the edited sound too, not only the file.
    host::ChunkBuffer current;
    vorn().WriteState(current);
    const host::ChunkBuffer& stored = vorn().GetPreset(vorn().CurrentPresetIndex()).state;
    EXPECT_EQ(std::vector<std::uint8_t>(stored.Data(), stored.Data() + stored.Size()),
              std::vector<std::uint8_t>(current.Data(), current.Data() + current.Size()));

    SetKnob(kAlgorithm, vorn().GetParam(kAlgorithm).ToNormalized() < 0.5 ? 1.0 : 0.0);
    ASSERT_NE(Value(kAlgorithm), edited);
    ui.dialogs.clear();
    ui.paths = {path};
    Run(programs::kLoadProgramFile);
    ExpectDialog(false, "fxp", "", folder.Path());
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(Value(kAlgorithm), edited);
}

TEST_F(Commands, AFailedLoadReportsItAndStillMovesTheProgramFolder) {
    TempFolder other;
    std::string bad = other.File("broken.fxp");
    WriteText(bad, "not a program file");
    ui.paths = {bad};
    Run(programs::kLoadProgramFile);
    ExpectOnly(MessageKind::Error, "Cannot load file!", "Error");
    EXPECT_EQ(vorn::LastProgramFolder(""), other.Path());

    ui.messages.clear();
    ui.paths = {other.File("missing.fxb")};
    Run(programs::kLoadBankFile);
    ExpectOnly(MessageKind::Error, "Cannot load file!", "Error");
}

TEST_F(Commands, AFailedSaveReportsIt) {
    ui.paths = {folder.File("no/such/folder/bank.fxb")};
    Run(programs::kSaveBankFile);
    ExpectDialog(true, "fxb", "Vorna", folder.Path());
    ExpectOnly(MessageKind::Error, "Cannot save file!", "Error");
}

TEST_F(Commands, CancellingADialogChangesNothing) {
    std::vector<double> before;
    for (int i = 0; i < vorn().ParamCount(); ++i) before.push_back(Value(i));
    std::string name = vorn().PresetName(0);
    for (int command : {3, 4, 5, 7, 12, 15}) {
        ui.paths = {""};
        Run(command);
        EXPECT_TRUE(ui.messages.empty()) << command;
    }
    EXPECT_EQ(ui.dialogs.size(), 6u);
    EXPECT_EQ(vorn::LastProgramFolder(""), folder.Path());
    EXPECT_EQ(vorn::LastStartupFolder(""), folder.Path());
    EXPECT_EQ(vorn().Settings().startupBankPath, "");
    EXPECT_EQ(vorn().PresetName(0), name);
    for (int i = 0; i < vorn().ParamCount(); ++i) EXPECT_EQ(Value(i), before[i]) << i;
    EXPECT_EQ(ReadText(ini), "");
    // Without any UI (no editor open) the dialogs give no name either.
    vorn().SetUiServices(nullptr);
    Run(programs::kLoadBankFile);
    EXPECT_EQ(vorn().PresetName(0), name);
}

TEST_F(Commands, BankRoundTripThroughSaveAndLoad) {
    vorn().SetProgramName("Before");
    std::string path = folder.File("all.fxb");
    ui.paths = {path};
    Run(programs::kSaveBankFile);
    ASSERT_TRUE(ui.messages.empty());
    vorn().SetProgramName("After");
    ui.paths = {path};
    Run(programs::kLoadBankFile);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(vorn().PresetName(vorn().CurrentPresetIndex()).substr(0, 6), "Before");
}

TEST_F(Commands, StartupBankSelectLoadAndUnselect) {
    TempFolder banks;
    std::string bank = banks.File("start.fxb");
    vorn().SetProgramName("Startup");
    ASSERT_TRUE(vorn().SaveBankFile(bank));

    ui.paths = {bank};
    Run(programs::kSelectStartupBank);
    ExpectDialog(false, "fxb", "", folder.Path());
    EXPECT_TRUE(ui.messages.empty()); // no message
    EXPECT_EQ(vorn().Settings().startupBankPath, bank);
    EXPECT_EQ(Ini().Read("Startup Bank", "File", "", 258), bank);
    EXPECT_EQ(vorn::LastStartupFolder(""), banks.Path());
    EXPECT_EQ(vorn::LastProgramFolder(""), folder.Path());

    vorn().SetProgramName("Changed");
    ui.answers = {MessageAnswer::Yes};
    Run(programs::kLoadStartupBank);
    ExpectOnly(MessageKind::Question,
               "The Startup Bank is:\n" + bank + "\n\nDo you really want to reload all programs?",
               "Load Startup Bank");
    EXPECT_EQ(vorn().PresetName(vorn().CurrentPresetIndex()).substr(0, 7), "Startup");

    // The file deleted after it was selected.
    std::filesystem::remove(bank);
    ui.messages.clear();
    ui.answers = {MessageAnswer::Yes};
    Run(programs::kLoadStartupBank);
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[1].text, "Cannot load file!");
    EXPECT_EQ(ui.messages[1].caption, "Error");

    ui.messages.clear();
    Run(programs::kUnselectStartupBank); // No
    ExpectOnly(MessageKind::Question,
               "The Startup Bank is:\n" + bank + "\n\nDo you really want to unselect it?",
               "Unselect Startup Bank");
    EXPECT_EQ(vorn().Settings().startupBankPath, bank);
    ui.answers = {MessageAnswer::Yes};
    Run(programs::kUnselectStartupBank);
    EXPECT_EQ(vorn().Settings().startupBankPath, "");
    EXPECT_TRUE(Ini().Keys("Startup Bank").empty());

    // Nothing selected: no question at all.
    ui.messages.clear();
    Run(programs::kLoadStartupBank);
    Run(programs::kUnselectStartupBank);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(Commands, DefaultProgramFolderIsWrittenQuoted) {
    TempFolder chosen;
    vorn::SetLastProgramFolder("");
    ui.paths = {chosen.File("[file name is ignored]")};
    Run(programs::kProgramFolder);
    // An empty last folder starts the dialog in the documents folder.
    ExpectDialog(true, " ", "[file name is ignored]", folder.Path());
    EXPECT_EQ(vorn().Settings().programFolder, chosen.Path());
    EXPECT_EQ(vorn::LastProgramFolder(""), chosen.Path());
    EXPECT_NE(ReadText(ini).find("Path to Program Files=\"" + chosen.Path() + "\""),
              std::string::npos);
    EXPECT_EQ(Ini().Read("Global", "Path to Program Files", "", 258), chosen.Path());
}

TEST_F(Commands, ReloadAndSaveTheConfiguration) {
    WriteText(ini, "[MIDI Global]\nMIDI Thru=TRUE\n[MIDI Control]\nCC7=0\n");
    Run(programs::kReloadConfiguration); // No
    ExpectOnly(MessageKind::Question,
               "The INI configuration file is:\n" + ini + "\n\nDo you really want to reload it?",
               "Reload Configuration");
    EXPECT_FALSE(vorn().Settings().midiThru);
    ui.answers = {MessageAnswer::Yes};
    Run(programs::kReloadConfiguration);
    EXPECT_TRUE(vorn().Settings().midiThru);
    EXPECT_EQ(vorn().Settings().controllerMap[7], 0);
    EXPECT_EQ(ui.messages.size(), 2u);

    vorn().Settings().controllerMap[74] = 40;
    ui.messages.clear();
    ui.answers = {MessageAnswer::Yes};
    Run(programs::kSaveConfiguration);
    ExpectOnly(MessageKind::Question,
               "The INI configuration file is:\n" + ini + "\n\nDo you really want to overwrite it?",
               "Save Configuration");
    EXPECT_EQ(Ini().Keys("MIDI Control"), (std::vector<std::string>{"CC7", "CC74"}));
    EXPECT_EQ(Ini().Read("MIDI Global", "MIDI Thru", "", 63), "true");

    std::filesystem::remove(ini);
    ui.messages.clear();
    ui.answers = {MessageAnswer::Yes};
    Run(programs::kReloadConfiguration);
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[1].kind, MessageKind::Information);
    EXPECT_EQ(ui.messages[1].text, "The INI file does not exist.");
    EXPECT_EQ(ui.messages[1].caption, "Problem with INI File");
}

TEST_F(Commands, OptionsToggleAndWriteTheirKeyWithTheStartupBank) {
    WriteText(ini, "[MIDI Control]\nCC3=1\n");
    struct Option {
        int command;
        common::Relaxed<bool> synth::SynthSettings::*flag;
        const char* section;
        const char* key;
    };
    const Option options[] = {
        {19, &synth::SynthSettings::showAllKnobValues, "Editor", "Show All Knob Values"},
        {20, &synth::SynthSettings::midiThru, "MIDI Global", "MIDI Thru"},
        {21, &synth::SynthSettings::ignoreProgramChange, "MIDI Global", "Ignore Program Change"},
        {22, &synth::SynthSettings::sendParamChangeSysEx, "MIDI Global", "Send Param Change SysEx"},
    };
    for (const Option& option : options) {
        bool before = vorn().Settings().*option.flag;
        Run(option.command);
        EXPECT_EQ(vorn().Settings().*option.flag, !before) << option.key;
        EXPECT_EQ(Ini().Read(option.section, option.key, "", 63), before ? "false" : "true");
        Run(option.command);
        EXPECT_EQ(Ini().Read(option.section, option.key, "", 63), before ? "true" : "false");
    }
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_TRUE(Ini().HasKey("Startup Bank", "File"));
    EXPECT_EQ(Ini().Read("MIDI Control", "CC3", "", 63), "1");
}

TEST_F(Commands, EditorSizesAreKeptWithTheStartupBankAndTakeEffectWithoutAWindow) {
    WriteText(ini, "[MIDI Control]\nCC3=1\n");
    const int sizes[] = {100, 125, 150, 175, 200};
    for (int i = 0; i < 5; ++i) {
        Run(programs::kEditorSize100 + i);
        EXPECT_EQ(vorn().Settings().editorSize, sizes[i]);
        EXPECT_EQ(Ini().Read("Editor", "Editor Size", "", 63), std::to_string(sizes[i]));
        ASSERT_NE(vorn().EditorView(), nullptr);
        EXPECT_EQ(vorn().EditorView()->ScalePercent(), sizes[i]);
        EXPECT_EQ(vorn().EditorView()->Width(), 968 * sizes[i] / 100);
        EXPECT_FALSE(vorn().EditorView()->FollowsSystemScale());
    }
    Run(programs::kEditorSizeOfSystem);
    EXPECT_EQ(vorn().Settings().editorSize, 0);
    EXPECT_EQ(Ini().Read("Editor", "Editor Size", "", 63), "System");
    EXPECT_TRUE(vorn().EditorView()->FollowsSystemScale());
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_TRUE(Ini().HasKey("Startup Bank", "File"));
    EXPECT_EQ(Ini().Read("MIDI Control", "CC3", "", 63), "1");

    // Reloading the configuration brings back a size written there by another instance.
    WriteText(ini, "[Editor]\nEditor Size=125\n");
    ui.answers = {MessageAnswer::Yes};
    Run(programs::kReloadConfiguration);
    EXPECT_EQ(vorn().EditorView()->ScalePercent(), 125);
    EXPECT_FALSE(vorn().EditorView()->FollowsSystemScale());
}

TEST_F(Commands, UpdateCheckAndNumbersOutsideTheTableDoNothingElse) {
    update::VersionServer saved = update::ConfiguredVersionServer();
    update::ConfiguredVersionServer().host = "127.0.0.1";
    update::ConfiguredVersionServer().port = platform::LoopbackHttpServer::UnusedPort();
    update::ConfiguredVersionServer().timeoutSeconds = 2;
    Run(programs::kCheckForUpdate);
    update::ConfiguredVersionServer() = saved;
    ExpectOnly(MessageKind::Error, "An error occurred while contacting 127.0.0.1.",
               "Check Online for Update");

    ui.messages.clear();
    for (int command : {-1, 24, 31, 1000}) Run(command);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_TRUE(ui.dialogs.empty());
    EXPECT_TRUE(ui.opened.empty());

    vorn::VisitMakerWebSite(ui);
    EXPECT_EQ(ui.opened, std::vector<std::string>{"http://www.tarnwellmusic.com"});
    ui.online = false;
    vorn::VisitMakerWebSite(ui);
    EXPECT_EQ(ui.opened.size(), 1u);
}

// The audio thread must be able to take the instance mutex while any question or dialog waits.
namespace {

class MutexProbeUi : public ScriptedUi {
public:
    explicit MutexProbeUi(platform::RecursiveMutex& mutex) : mutex_(mutex) {}
    platform::MessageAnswer ShowMessage(platform::MessageKind kind, const std::string& text,
                                        const std::string& caption) override {
        Probe();
        return ScriptedUi::ShowMessage(kind, text, caption);
    }
    bool ChooseFile(const platform::FileDialogRequest& request, std::string& path) override {
        Probe();
        return ScriptedUi::ChooseFile(request, path);
    }
    int waits = 0;
    int blocked = 0;

private:
    // Another thread tries the mutex; if the command holds it, that thread gets it only once the
    // command ends, so it is joined later.
    void Probe() {
        ++waits;
        auto taken = std::make_shared<std::atomic<bool>>(false);
        std::thread other([this, taken] {
            mutex_.Lock();
            *taken = true;
            mutex_.Unlock();
        });
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        while (!*taken && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        if (!*taken) ++blocked;
        threads_.push_back(std::move(other));
    }
    platform::RecursiveMutex& mutex_;

public:
    std::vector<std::thread> threads_;
};

} // namespace

TEST_F(Commands, NoQuestionOrDialogWaitsWithTheMutexHeld) {
    MutexProbeUi probe(vorn().Mutex());
    vorn().SetUiServices(&probe);
    Run(programs::kCopyProgram);
    for (int command = 1; command <= 22; ++command) {
        probe.answers = {MessageAnswer::No};
        probe.paths = {""};
        Run(command);
    }
    vorn().Settings().startupBankPath = folder.File("x.fxb");
    Run(programs::kLoadStartupBank);
    Run(programs::kUnselectStartupBank);
    vorn().SetUiServices(&ui);
    for (std::thread& thread : probe.threads_) thread.join();
    EXPECT_GE(probe.waits, 15);
    EXPECT_EQ(probe.blocked, 0);
}
