#include "platform/UserFolders.h"
#include "platform/win32/WideText.h"

#include <shlobj.h>
#include <windows.h>

namespace platform {

namespace {

// The shell folder as UTF-8. The wide form is asked so that folders with characters outside the
// ANSI code page (a user name in another script) come through intact.
std::string ShellFolder(int csidl) {
    wchar_t path[MAX_PATH] = {};
    if (SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path) != S_OK)
        return std::string();
    return Narrow(path);
}

DWORD Attributes(const std::string& path) {
    std::wstring wide;
    if (path.empty() || !Widen(path, wide)) return INVALID_FILE_ATTRIBUTES;
    return GetFileAttributesW(wide.c_str());
}

} // namespace

std::string LocalAppDataFolder() {
    return ShellFolder(CSIDL_LOCAL_APPDATA);
}

std::string DocumentsFolder() {
    return ShellFolder(CSIDL_PERSONAL);
}

std::string DesktopFolder() {
    return ShellFolder(CSIDL_DESKTOPDIRECTORY);
}

bool FolderExists(const std::string& path) {
    DWORD attributes = Attributes(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool FileExists(const std::string& path) {
    DWORD attributes = Attributes(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool CreateFolder(const std::string& path) {
    std::wstring wide;
    if (path.empty() || !Widen(path, wide)) return false;
    if (CreateDirectoryW(wide.c_str(), nullptr)) return true;
    return GetLastError() == ERROR_ALREADY_EXISTS && FolderExists(path);
}

bool CreateFolderPath(const std::string& path) {
    if (path.empty()) return false;
    // Each folder from the top down; the drive ("C:") and a share's server part cannot be made
    // and are passed over, and anything else that cannot be made shows in the final check.
    for (std::size_t end = path.find_first_of("\\/", 1); end != std::string::npos;
         end = path.find_first_of("\\/", end + 1)) {
        const std::string folder = path.substr(0, end);
        const char last = folder.back();
        if (last != ':' && last != '\\' && last != '/' && !FolderExists(folder))
            CreateFolder(folder);
    }
    if (!FolderExists(path)) CreateFolder(path);
    return FolderExists(path);
}

} // namespace platform
