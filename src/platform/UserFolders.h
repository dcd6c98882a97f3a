#pragma once
// The user's own folders and the few folder and file queries the configuration needs. Paths are
// UTF-8 text on every OS; an empty text means the folder could not be found.

#include <string>

namespace platform {

// Where per-user application data lives: the local application-data shell folder on Windows,
// $XDG_DATA_HOME or ~/.local/share on Linux.
std::string LocalAppDataFolder();

// The user's documents folder: the personal shell folder on Windows, the XDG documents folder
// (from user-dirs.dirs, else ~/Documents when it exists, else the home folder) on Linux.
std::string DocumentsFolder();

// The user's desktop folder, where a file dialog without a starting folder opens.
std::string DesktopFolder();

// True when path names an existing folder.
bool FolderExists(const std::string& path);

// True when path names an existing file that is not a folder.
bool FileExists(const std::string& path);

// Creates one folder (its parent must exist); true when it exists afterwards.
bool CreateFolder(const std::string& path);

// Creates path and every folder above it that is missing, as the XDG rules ask for the user's
// data folder on a fresh account. Folders made here are the user's alone (mode 0700 on Linux);
// folders already there are left as they are. True when path is a folder afterwards.
bool CreateFolderPath(const std::string& path);

} // namespace platform
