#include "synth/Configuration.h"

#include "common/LeadingInteger.h"
#include "common/NumberText.h"
#include "platform/Files.h"
#include "platform/UserFolders.h"
#include "synth/IniFile.h"

namespace synth {

namespace {

constexpr const char* kEditorSection = "Editor";
constexpr const char* kStartupSection = "Startup Bank";
constexpr const char* kGlobalSection = "Global";
constexpr const char* kMidiGlobalSection = "MIDI Global";
constexpr const char* kMidiControlSection = "MIDI Control";
constexpr const char* kShowAllKnobValuesKey = "Show All Knob Values";
constexpr const char* kEditorSizeKey = "Editor Size";
constexpr const char* kEditorSizeSystemText = "System";
// The editor's sizes, as the editor offers them.
constexpr int kEditorSizes[] = {100, 125, 150, 175, 200};
constexpr const char* kStartupFileKey = "File";
constexpr const char* kProgramFolderKey = "Path to Program Files";
constexpr const char* kSysExFolderKey = "Path to SysEx Files";
constexpr const char* kMidiThruKey = "MIDI Thru";
constexpr const char* kIgnoreProgramChangeKey = "Ignore Program Change";
constexpr const char* kSendParamChangeKey = "Send Param Change SysEx";

// The read limits the settings have always had.
constexpr std::size_t kShortValueChars = 63;
constexpr std::size_t kPathValueChars = 258;

const char* FlagText(bool on) {
    return on ? "true" : "false";
}

bool EqualsIgnoringCase(const std::string& text, const char* word) {
    std::size_t i = 0;
    for (; i < text.size() && word[i]; ++i) {
        char a =
            text[i] >= 'A' && text[i] <= 'Z' ? static_cast<char>(text[i] - 'A' + 'a') : text[i];
        if (a != word[i]) return false;
    }
    return i == text.size() && word[i] == '\0';
}

// A flag whose text must be "true" exactly (the editor option) or in any case (the MIDI ones).
template <typename Flag>
void ReadFlag(const IniDocument& ini, const char* section, const char* key, std::size_t maxChars,
              bool caseSensitive, Flag& flag) {
    std::string text = ini.Read(section, key, FlagText(flag), maxChars);
    if (text.empty()) return;
    flag = caseSensitive ? text == "true" : EqualsIgnoringCase(text, "true");
}

void PutStartupBank(const SynthSettings& settings, IniDocument& ini) {
    ini.ReplaceSection(kStartupSection, {{kStartupFileKey, settings.startupBankPath}});
}

// Loads the file, lets change edit it and writes it back; false when there is no path or the
// write failed. A missing file is created by the write.
template <typename Change> bool EditConfiguration(const SynthSettings& settings, Change change) {
    if (settings.configurationPath.empty()) return false;
    IniDocument ini;
    // A file that is there but cannot be read is left alone rather than replaced by one that
    // holds only what this write adds.
    if (!LoadIniFile(settings.configurationPath, ini) &&
        platform::FileExists(settings.configurationPath))
        return false;
    change(ini);
    return SaveIniFile(settings.configurationPath, ini);
}

} // namespace

std::string ControllerKey(int controller) {
    return "CC" + common::FormatInt(controller);
}

int ControllerEntryFromText(const std::string& text, int current) {
    if (text.empty()) return current;
    int number = common::ParseLeadingInt(text.c_str());
    return number != 0 || text[0] == '0' ? number : -1;
}

bool OpenConfiguration(SynthSettings& settings, const std::string& appDataFolder,
                       const std::string& documentsFolder) {
    settings.documentsFolder = documentsFolder;
    settings.programFolder = documentsFolder;
    settings.configurationPath.clear();
    if (appDataFolder.empty()) return false;
    std::string folder = platform::JoinPath(appDataFolder, kConfigurationFolderName);
    // A longer folder path never fitted the path buffer; rather no file than one in a cut path.
    if (folder.size() > kMaxConfigurationFolderLength) return false;
    // On a fresh account the data folder itself may be missing too: the whole path is made.
    if (!platform::CreateFolderPath(folder)) return false;
    std::string path = platform::JoinPath(folder, kConfigurationFileName);
    if (!platform::FileExists(path) && !platform::WriteFileSafely(path, "", 0)) return false;
    settings.configurationPath = path;
    return ReadConfiguration(settings);
}

bool ReadConfiguration(SynthSettings& settings) {
    IniDocument ini;
    bool exists = !settings.configurationPath.empty() &&
                  platform::FileExists(settings.configurationPath) &&
                  LoadIniFile(settings.configurationPath, ini);
    ApplyConfiguration(ini, settings);
    return exists;
}

int EditorSizeFromText(const std::string& text) {
    for (int size : kEditorSizes)
        if (text == common::FormatInt(size)) return size;
    return 0;
}

std::string EditorSizeText(int size) {
    return EditorSizeFromText(common::FormatInt(size)) != 0 ? common::FormatInt(size)
                                                            : kEditorSizeSystemText;
}

void ApplyConfiguration(const IniDocument& ini, SynthSettings& settings) {
    ReadFlag(ini, kEditorSection, kShowAllKnobValuesKey, kShortValueChars, true,
             settings.showAllKnobValues);
    settings.editorSize =
        EditorSizeFromText(ini.Read(kEditorSection, kEditorSizeKey, "", kShortValueChars));

    settings.startupBankPath.clear();
    std::string text = ini.Read(kStartupSection, kStartupFileKey, "", kPathValueChars);
    if (!text.empty()) settings.startupBankPath = text;

    text = ini.Read(kGlobalSection, kProgramFolderKey, "", kPathValueChars);
    if (!text.empty()) settings.programFolder = text;
    text = ini.Read(kGlobalSection, kSysExFolderKey, "", kPathValueChars);
    if (!text.empty()) settings.sysExFolder = text;

    ReadFlag(ini, kMidiGlobalSection, kMidiThruKey, kPathValueChars, false, settings.midiThru);
    ReadFlag(ini, kMidiGlobalSection, kIgnoreProgramChangeKey, kPathValueChars, false,
             settings.ignoreProgramChange);
    ReadFlag(ini, kMidiGlobalSection, kSendParamChangeKey, kPathValueChars, false,
             settings.sendParamChangeSysEx);

    for (int n = 0; n < kControllerCount; ++n) {
        int& entry = settings.controllerMap[static_cast<std::size_t>(n)];
        entry = ControllerEntryFromText(
            ini.Read(kMidiControlSection, ControllerKey(n), "-1", kShortValueChars), entry);
    }
}

bool WriteStartupBank(const SynthSettings& settings) {
    return EditConfiguration(settings, [&](IniDocument& ini) { PutStartupBank(settings, ini); });
}

bool SetStartupBank(SynthSettings& settings, const std::string& path) {
    settings.startupBankPath = path;
    return WriteStartupBank(settings);
}

bool ClearStartupBank(SynthSettings& settings) {
    settings.startupBankPath.clear();
    return EditConfiguration(settings,
                             [](IniDocument& ini) { ini.ReplaceSection(kStartupSection, {}); });
}

bool WriteConfiguration(const SynthSettings& settings, int which) {
    return EditConfiguration(settings, [&](IniDocument& ini) {
        PutStartupBank(settings, ini);
        bool all = which == kWriteAllSettings;
        if (all || which == kWriteShowAllKnobValues)
            ini.Write(kEditorSection, kShowAllKnobValuesKey, FlagText(settings.showAllKnobValues));
        if (all || which == kWriteEditorSize)
            ini.Write(kEditorSection, kEditorSizeKey, EditorSizeText(settings.editorSize));
        if (all || which == kWriteMidiThru)
            ini.Write(kMidiGlobalSection, kMidiThruKey, FlagText(settings.midiThru));
        if (all || which == kWriteIgnoreProgramChange)
            ini.Write(kMidiGlobalSection, kIgnoreProgramChangeKey,
                      FlagText(settings.ignoreProgramChange));
        if (all || which == kWriteSendParamChangeSysEx)
            ini.Write(kMidiGlobalSection, kSendParamChangeKey,
                      FlagText(settings.sendParamChangeSysEx));
        if (!all) return;
        IniEntries entries;
        for (int n = 0; n < kControllerCount; ++n) {
            int entry = settings.controllerMap[static_cast<std::size_t>(n)];
            if (entry >= 0) entries.emplace_back(ControllerKey(n), common::FormatInt(entry));
        }
        ini.ReplaceSection(kMidiControlSection, entries);
    });
}

bool WriteProgramFolder(SynthSettings& settings, const std::string& folder) {
    settings.programFolder = folder;
    return EditConfiguration(settings, [&](IniDocument& ini) {
        ini.Write(kGlobalSection, kProgramFolderKey, "\"" + folder + "\"");
    });
}

bool WriteSysExFolder(SynthSettings& settings, const std::string& folder) {
    settings.sysExFolder = folder;
    return EditConfiguration(settings, [&](IniDocument& ini) {
        ini.Write(kGlobalSection, kSysExFolderKey, "\"" + folder + "\"");
    });
}

} // namespace synth
