#include "vorn/ProgramCommands.h"

#include "platform/Mutex.h"
#include "platform/UiServices.h"
#include "programs/SysExFiles.h"
#include "synth/Configuration.h"
#include "update/VersionCheck.h"
#include "vorn/Vorn.h"

#include <string>

namespace vorn {

using namespace programs;

namespace {

using platform::MessageAnswer;
using platform::MessageKind;

constexpr const char* kLoadFailedText = "Cannot load file!";
constexpr const char* kSaveFailedText = "Cannot save file!";
constexpr const char* kErrorCaption = "Error";
constexpr const char* kProgramExtension = "fxp";
constexpr const char* kBankExtension = "fxb";
constexpr const char* kBankDefaultName = "Vorna";
constexpr const char* kFolderOnlyName = "[file name is ignored]";
constexpr const char* kFolderOnlyExtension = " ";

struct SharedFolder {
    platform::RecursiveMutex mutex;
    std::string folder;
    bool set = false;
};

// Created on first use and kept until the library is unloaded.
SharedFolder& ProgramFolderStore() {
    static SharedFolder* shared = new SharedFolder;
    return *shared;
}

SharedFolder& StartupFolderStore() {
    static SharedFolder* shared = new SharedFolder;
    return *shared;
}

std::string Read(SharedFolder& shared, const std::string& defaultFolder) {
    platform::ScopedLock lock(shared.mutex);
    if (!shared.set) {
        shared.folder = defaultFolder;
        shared.set = true;
    }
    return shared.folder;
}

void Write(SharedFolder& shared, const std::string& folder) {
    platform::ScopedLock lock(shared.mutex);
    shared.folder = folder;
    shared.set = true;
}

bool Ask(Vorn& instance, const std::string& text, const char* caption) {
    return instance.Ui().ShowMessage(MessageKind::Question, text, caption) == MessageAnswer::Yes;
}

void ShowError(Vorn& instance, const char* text) {
    instance.Ui().ShowMessage(MessageKind::Error, text, kErrorCaption);
}

// Shows a file dialog; false (path empty) when it was cancelled or cannot be shown.
bool Choose(Vorn& instance, bool save, const char* extension, const std::string& name,
            const std::string& startFolder, std::string& path) {
    platform::FileDialogRequest request;
    request.save = save;
    request.extension = extension;
    request.defaultName = name;
    request.startFolder = startFolder;
    path.clear();
    if (instance.Ui().ChooseFile(request, path) && !path.empty()) return true;
    path.clear();
    return false;
}

// A copy of the settings taken under the mutex, so that the file is written without holding it
// (the safe save waits for the disk).
synth::SynthSettings Snapshot(Vorn& instance) {
    platform::ScopedLock lock(instance.Mutex());
    return instance.Settings();
}

std::string ProgramFolderOf(Vorn& instance) {
    return LastProgramFolder(instance.Settings().programFolder);
}

// Commands 3 and 5: open, load, move the folder, report a failure.
void LoadFile(Vorn& instance, bool bank) {
    std::string path;
    if (!Choose(instance, false, bank ? kBankExtension : kProgramExtension, "",
                ProgramFolderOf(instance), path))
        return;
    bool loaded = bank ? instance.LoadBankFile(path) : instance.LoadProgramFile(path);
    SetLastProgramFolder(FolderOf(path));
    if (!loaded) ShowError(instance, kLoadFailedText);
}

// Commands 4 and 7: save dialog, store the current sound, save, move the folder, report.
void SaveFile(Vorn& instance, bool bank) {
    std::string name = bank ? std::string(kBankDefaultName)
                            : SafeFileName(instance.PresetName(instance.CurrentPresetIndex()));
    std::string path;
    if (!Choose(instance, true, bank ? kBankExtension : kProgramExtension, name,
                ProgramFolderOf(instance), path))
        return;
    instance.SetProgramName(nullptr);
    bool saved = bank ? instance.SaveBankFile(path) : instance.SaveProgramFile(path);
    SetLastProgramFolder(FolderOf(path));
    if (!saved) ShowError(instance, kSaveFailedText);
}

void SelectStartupBank(Vorn& instance) {
    std::string path;
    if (!Choose(instance, false, kBankExtension, "",
                LastStartupFolder(instance.Settings().documentsFolder), path))
        return;
    {
        platform::ScopedLock lock(instance.Mutex());
        instance.Settings().startupBankPath = path;
    }
    synth::WriteStartupBank(Snapshot(instance));
    SetLastStartupFolder(FolderOf(path));
}

void LoadStartupBank(Vorn& instance) {
    std::string path = instance.Settings().startupBankPath;
    if (path.empty()) return; // the menu offers this only while a start-up bank is selected
    if (!Ask(instance,
             "The Startup Bank is:\n" + path + "\n\nDo you really want to reload all programs?",
             "Load Startup Bank"))
        return;
    if (!instance.LoadBankFile(path)) ShowError(instance, kLoadFailedText);
}

void UnselectStartupBank(Vorn& instance) {
    std::string path = instance.Settings().startupBankPath;
    if (path.empty()) return;
    if (!Ask(instance, "The Startup Bank is:\n" + path + "\n\nDo you really want to unselect it?",
             "Unselect Startup Bank"))
        return;
    {
        platform::ScopedLock lock(instance.Mutex());
        instance.Settings().startupBankPath.clear();
    }
    synth::SynthSettings settings = Snapshot(instance);
    synth::ClearStartupBank(settings);
}

void ChooseProgramFolder(Vorn& instance) {
    std::string start = ProgramFolderOf(instance);
    if (start.empty()) start = instance.Settings().documentsFolder;
    std::string path;
    if (!Choose(instance, true, kFolderOnlyExtension, kFolderOnlyName, start, path)) return;
    std::string folder = FolderOf(path);
    SetLastProgramFolder(folder);
    {
        platform::ScopedLock lock(instance.Mutex());
        instance.Settings().programFolder = folder;
    }
    synth::SynthSettings settings = Snapshot(instance);
    synth::WriteProgramFolder(settings, folder);
}

void ChooseSysExFolder(Vorn& instance) {
    if (!instance.RunSysExFolderCommand()) return;
    synth::SynthSettings settings = Snapshot(instance);
    synth::WriteSysExFolder(settings, settings.sysExFolder);
}

void ShowEditorSize(Vorn& instance) {
    if (!instance.ApplyEditorSize())
        instance.Ui().ShowMessage(MessageKind::Information,
                                  "The host did not resize the editor window. The editor takes "
                                  "its new size when it is opened again.",
                                  "Editor Size");
}

void ReloadConfiguration(Vorn& instance) {
    if (!Ask(instance,
             "The INI configuration file is:\n" + instance.Settings().configurationPath +
                 "\n\nDo you really want to reload it?",
             "Reload Configuration"))
        return;
    // Read into a copy, then put in place under the mutex: the audio thread's control tick reads
    // the controller map and the MIDI options.
    synth::SynthSettings settings = Snapshot(instance);
    bool read = synth::ReadConfiguration(settings);
    {
        platform::ScopedLock lock(instance.Mutex());
        instance.Settings() = settings;
    }
    if (!read)
        instance.Ui().ShowMessage(MessageKind::Information, "The INI file does not exist.",
                                  "Problem with INI File");
    ShowEditorSize(instance);
}

void SaveConfiguration(Vorn& instance) {
    if (!Ask(instance,
             "The INI configuration file is:\n" + instance.Settings().configurationPath +
                 "\n\nDo you really want to overwrite it?",
             "Save Configuration"))
        return;
    synth::WriteConfiguration(Snapshot(instance), synth::kWriteAllSettings);
}

void ToggleOption(Vorn& instance, int command) {
    {
        platform::ScopedLock lock(instance.Mutex());
        synth::SynthSettings& settings = instance.Settings();
        switch (command) {
        case kToggleShowAllKnobValues:
            settings.showAllKnobValues = !settings.showAllKnobValues;
            break;
        case kToggleMidiThru:
            settings.midiThru = !settings.midiThru;
            break;
        case kToggleIgnoreProgramChange:
            settings.ignoreProgramChange = !settings.ignoreProgramChange;
            break;
        case kToggleSendParamChangeSysEx:
            settings.sendParamChangeSysEx = !settings.sendParamChangeSysEx;
            break;
        default:
            return;
        }
    }
    synth::WriteConfiguration(Snapshot(instance), command);
}

void ChooseEditorSize(Vorn& instance, int command) {
    static constexpr int kSizes[] = {100, 125, 150, 175, 200, 0};
    {
        platform::ScopedLock lock(instance.Mutex());
        instance.Settings().editorSize = kSizes[command - kEditorSize100];
    }
    synth::WriteConfiguration(Snapshot(instance), synth::kWriteEditorSize);
    ShowEditorSize(instance);
}

} // namespace

std::string LastProgramFolder(const std::string& defaultFolder) {
    return Read(ProgramFolderStore(), defaultFolder);
}

void SetLastProgramFolder(const std::string& folder) {
    Write(ProgramFolderStore(), folder);
}

std::string LastStartupFolder(const std::string& defaultFolder) {
    return Read(StartupFolderStore(), defaultFolder);
}

void SetLastStartupFolder(const std::string& folder) {
    Write(StartupFolderStore(), folder);
}

void VisitMakerWebSite(platform::UiServices& ui) {
    update::OpenWebAddress(ui, update::MakerWebAddress(update::ConfiguredVersionServer()));
}

void RunCommand(Vorn& instance, int command) {
    switch (command) {
    case kCopyProgram:
        instance.CopyProgram();
        break;
    case kPasteProgram:
        // Nothing to paste: no question either.
        if (instance.Clipboard().Empty()) break;
        if (Ask(instance, "Do you really want to overwrite the current program?", "Paste Program"))
            instance.PasteProgram();
        break;
    case kInitializeProgram:
        if (Ask(instance, "Do you really want to initialize the current program?",
                "Initialize Program"))
            instance.InitializeProgram();
        break;
    case kLoadProgramFile:
        LoadFile(instance, false);
        break;
    case kSaveProgramFile:
        SaveFile(instance, false);
        break;
    case kLoadBankFile:
        LoadFile(instance, true);
        break;
    case kRestoreFactoryPrograms:
        if (Ask(instance, "Do you really want to overwrite all programs?",
                "Restore Factory Sounds"))
            instance.RestoreFactorySounds();
        break;
    case kSaveBankFile:
        SaveFile(instance, true);
        break;
    case kLoadSysExFile:
        instance.RunLoadSysExFileCommand();
        break;
    case kSaveVoiceSysExFile:
        instance.RunSaveVoiceSysExFileCommand();
        break;
    case kSaveBank1SysExFile:
        instance.RunSaveBankSysExFileCommand(0);
        break;
    case kSaveBank2SysExFile:
        instance.RunSaveBankSysExFileCommand(1);
        break;
    case kSelectStartupBank:
        SelectStartupBank(instance);
        break;
    case kLoadStartupBank:
        LoadStartupBank(instance);
        break;
    case kUnselectStartupBank:
        UnselectStartupBank(instance);
        break;
    case kProgramFolder:
        ChooseProgramFolder(instance);
        break;
    case kSysExFolder:
        ChooseSysExFolder(instance);
        break;
    case kReloadConfiguration:
        ReloadConfiguration(instance);
        break;
    case kSaveConfiguration:
        SaveConfiguration(instance);
        break;
    case kToggleShowAllKnobValues:
    case kToggleMidiThru:
    case kToggleIgnoreProgramChange:
    case kToggleSendParamChangeSysEx:
        ToggleOption(instance, command);
        break;
    case kCheckForUpdate:
        update::CheckForUpdate(instance.Ui());
        break;
    case kEditorSize100:
    case kEditorSize125:
    case kEditorSize150:
    case kEditorSize175:
    case kEditorSize200:
    case kEditorSizeOfSystem:
        ChooseEditorSize(instance, command);
        break;
    default:
        break; // 24 belongs to the menu; anything else is not a command
    }
}

} // namespace vorn
