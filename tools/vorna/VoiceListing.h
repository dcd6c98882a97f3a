#pragma once
// What a voice file holds, read with the plug-in's own readers without changing anything: the
// module messages of a ".syx" file with their voices, the programs of an ".fxb" or ".fxp" file.
// Shared by `vorna list`, which prints it, and `vorna convert` and `vorna audition`, which refuse
// a file with the reason found here.

#include "VoiceFiles.h"
#include "programs/SysExFormat.h"
#include "vst2/Vst2Abi.h"

#include <cstddef>
#include <string>
#include <vector>

namespace vorna_tool {

// The plug-in's unique ID, as its bank and program files carry it.
constexpr std::int32_t kVornaPluginId = vst2::FourCC('v', 'o', 'r', 'n');

struct ListedVoice {
    int number = 0; // 1 to 48 inside its message
    std::string name;
    int algorithm = 0; // 1 to 8, as the editor shows it
    int feedback = 0;  // 0 to 7
};

struct ListedMessage {
    std::size_t offset = 0; // of its F0 in the file
    std::size_t size = 0;   // up to and including its F7 (or the end of the file)
    programs::SysExKind kind = programs::SysExKind::Unknown;
    std::vector<ListedVoice> voices;
    std::string problem; // why the message cannot be loaded; empty when it can
};

struct ListedProgram {
    int index = 0; // 0 to 335 in a bank file, 0 in a program file
    std::string name;
    bool initialised = true;
};

struct ListedFile {
    std::string path;
    VoiceFileType type = VoiceFileType::None;
    std::string error;                 // the file cannot be used at all, and why; empty otherwise
    std::vector<std::string> warnings; // it can be used, with these reservations
    std::vector<ListedMessage> messages;
    std::vector<ListedProgram> programs;
};

// "single voice", "voice bank 1", ...: the kind as the listing names it.
const char* SysExKindText(programs::SysExKind kind);

ListedFile ListVoiceFile(const std::string& path);

// The voice messages of a ".syx" file exactly as the plug-in loads it (only the message at the
// start counts). False with the reason when the plug-in would refuse the file.
bool ReadLoadableVoices(const std::string& path, std::vector<programs::VoiceRecord>& records,
                        std::string& error);

} // namespace vorna_tool
