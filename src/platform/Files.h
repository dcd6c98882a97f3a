#pragma once
// Whole-file reads, safe whole-file writes and folder listing. Paths are UTF-8 text on every OS.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// Files larger than this are not read: nothing this plug-in loads comes near it.
constexpr std::size_t kMaxReadFileSize = 64u << 20;

// Reads the whole file into bytes. False (bytes unchanged) when it cannot be opened or read, is
// not a regular file or is larger than kMaxReadFileSize.
bool ReadWholeFile(const std::string& path, std::vector<std::uint8_t>& bytes);

// Writes size bytes as the file at path so that the file the user had survives any failure: the
// bytes go into a temporary file in the same folder, every write and the close are checked, and
// only then is the old file replaced. False when any step failed; the temporary file is removed.
bool WriteFileSafely(const std::string& path, const void* data, std::size_t size);

// The names of the files (not folders) in folder, in the order the file system gives them.
// False when the folder cannot be read.
bool ListFolderFiles(const std::string& folder, std::vector<std::string>& names);

// folder and name joined with the OS's separator (none added when folder already ends in one).
std::string JoinPath(const std::string& folder, const std::string& name);

// The folder part of a file path (without the last separator); empty when there is none.
std::string FolderOfPath(const std::string& path);

} // namespace platform
