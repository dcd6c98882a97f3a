#pragma once
// ".syx" files: one module message as it travels on MIDI, without a header of its own. Reading
// the start of a file, reading its first message, the safe default file name and the last SysEx
// folder shared by all instances. Files are written with platform::WriteFileSafely.

#include "programs/SysExFormat.h"

#include <array>
#include <string>

namespace programs {

// The first seven bytes of the file's message, enough to classify it, read as its message is
// (real-time bytes F8 to FE left out, reading stops at 0xFF); missing bytes read as 0xFF. False
// when the file cannot be opened.
bool ReadSysExHeader(const std::string& path, std::array<std::uint8_t, kSysExHeaderSize>& header);

// The message at the start of a file: reading stops before the first 0xFF (no valid message
// holds one) and after the first F7 (later messages and trailing bytes do not count), and after
// kMaxSysExFileRead bytes, more than any valid message. The bytes are as in the file: whoever
// applies them passes them through ExtractSysExMessage first. False when the file cannot be read.
constexpr std::size_t kMaxSysExFileRead = 65536;
bool ReadSysExMessage(const std::string& path, Bytes& message);

// The voice records of the message at the start of a file (one for a single-voice dump, 48 for a
// bank dump), for listing a file without touching the programs. False when the file cannot be
// read or holds no valid voice dump.
bool ReadSysExVoices(const std::string& path, std::vector<VoiceRecord>& records);

// A program name usable as a file name: each of < > : " / \ | ? * becomes an underscore. Cut to
// 63 characters, the size of the name buffer the command has always used.
std::string SafeFileName(const std::string& name);

// The path up to, not including, its last "\" or "/"; empty when there is none.
std::string FolderOf(const std::string& path);

// The last SysEx folder, shared by all instances in the process. At its first use it takes the
// given default (the instance's default path for SysEx files).
std::string LastSysExFolder(const std::string& defaultFolder);
void SetLastSysExFolder(const std::string& folder);

} // namespace programs
