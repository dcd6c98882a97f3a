#pragma once
// The configuration file "vorn.ini": where it lives, reading every setting into an instance's
// SynthSettings and writing them back. Each call loads the file afresh and writes it through a
// temporary file, so several instances share it and the last one to write wins, and a failed
// write never leaves a truncated file.

#include "synth/SynthSettings.h"

#include <string>

namespace synth {

class IniDocument;

constexpr const char* kConfigurationFolderName = "TarnwellMusic";
constexpr const char* kConfigurationFileName = "vorn.ini";
constexpr std::size_t kMaxConfigurationFolderLength = 1024;

// The options WriteConfiguration can write alone (the command numbers that change them); -1
// writes everything.
constexpr int kWriteAllSettings = -1;
constexpr int kWriteShowAllKnobValues = 19;
constexpr int kWriteMidiThru = 20;
constexpr int kWriteIgnoreProgramChange = 21;
constexpr int kWriteSendParamChangeSysEx = 22;
constexpr int kWriteEditorSize = 25;

// The "Editor Size" value: one of the offered percentages, written as the number, or 0 (the
// system's scale), written as "System". Any other text reads as 0.
int EditorSizeFromText(const std::string& text);
std::string EditorSizeText(int size);

// Sets up an instance's settings at construction: the documents folder (also the first default
// folder for program files), the folder "TarnwellMusic" in appDataFolder (created when missing),
// the configuration path, and the file itself, created empty when missing and then read. When
// neither the folder nor the file can be made, or appDataFolder is empty or longer than 1024
// characters, the path stays empty and every default stays. True when the file was read.
bool OpenConfiguration(SynthSettings& settings, const std::string& appDataFolder,
                       const std::string& documentsFolder);

// Reads every key into settings (missing keys keep or take their defaults). False when the file
// does not exist; the keys are read all the same, each taking its default.
bool ReadConfiguration(SynthSettings& settings);

// The reading itself, on a loaded document.
void ApplyConfiguration(const IniDocument& ini, SynthSettings& settings);

// Rewrites the "Startup Bank" section, then writes the option of which (19..22) or, for -1,
// every option and the whole "MIDI Control" section. False when the file could not be written.
bool WriteConfiguration(const SynthSettings& settings, int which);

// The "Startup Bank" section becomes the single key "File" = the start-up bank path.
bool WriteStartupBank(const SynthSettings& settings);
bool SetStartupBank(SynthSettings& settings, const std::string& path);
// The path becomes empty and the "Startup Bank" section loses all its keys.
bool ClearStartupBank(SynthSettings& settings);

// The default folder becomes folder (held without quotes) and is written in double quotes as
// "Path to Program Files" / "Path to SysEx Files" in section "Global".
bool WriteProgramFolder(SynthSettings& settings, const std::string& folder);
bool WriteSysExFolder(SynthSettings& settings, const std::string& folder);

// A "CC%i" value as read: a number when the text is a number other than 0 or begins with "0",
// -1 for any other non-empty text, current for an empty text.
int ControllerEntryFromText(const std::string& text, int current);

// "CC" followed by the controller number.
std::string ControllerKey(int controller);

} // namespace synth
