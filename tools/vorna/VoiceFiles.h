#pragma once
// The voice files the librarian commands work on: ".syx" dumps of the module, ".fxb" bank files
// and ".fxp" program files. What kind a path names, the files a folder holds, why a file cannot be
// read, and how a voice name is shown and turned into a file name.

#include <cstdint>
#include <string>
#include <vector>

namespace vorna_tool {

enum class VoiceFileType { None, SysEx, Bank, Program };

// By extension, in any letter case: ".syx", ".fxb", ".fxp".
VoiceFileType VoiceFileTypeOf(const std::string& path);
const char* VoiceFileTypeName(VoiceFileType type); // "syx", "fxb", "fxp" or ""

// The last part of a path, and that part without its extension.
std::string FileNameOf(const std::string& path);
std::string FileStemOf(const std::string& path);

// The paths given, with each folder replaced by the voice files directly inside it (sorted by
// name). Paths that neither exist nor are voice files are kept: reading them reports why.
std::vector<std::string> ExpandVoiceFiles(const std::vector<std::string>& paths);

// The largest file a command reads; no voice file comes near it.
constexpr std::uintmax_t kMaxVoiceFileSize = 16u << 20;

// Reads a voice file whole. False with the reason ("does not exist", "is empty (0 bytes)", ...)
// when it cannot be read or cannot be a voice file by its size.
bool ReadVoiceFile(const std::string& path, std::vector<std::uint8_t>& bytes, std::string& error);

// A voice or program name for a terminal: printable ASCII as it is, every other byte as \xNN, so
// that the module's own characters are shown exactly and nothing garbles the output.
std::string PrintableName(const std::string& name);

// A name usable as a file name on every OS: the plug-in's safe file name with control bytes and
// bytes outside ASCII also replaced, trailing blanks and dots removed; "unnamed" when empty.
std::string FileNameForVoice(const std::string& name);

// 1 to 99 as "01" to "99", larger numbers as they are.
std::string TwoDigits(int number);

} // namespace vorna_tool
