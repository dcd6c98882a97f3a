#include "platform/UserFolders.h"

#include <shlobj.h>
#include <windows.h>

namespace platform {

namespace {

bool Widen(const std::string& text, std::wstring& wide) {
    wide.clear();
    if (text.empty()) return true;
    int count = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(),
                                    static_cast<int>(text.size()), nullptr, 0);
    if (count <= 0) return false;
    wide.resize(static_cast<std::size_t>(count));
    return MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(),
                               static_cast<int>(text.size()), &wide[0], count) == count;
}

std::string Narrow(const wchar_t* wide) {
    int count = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    if (count <= 1) return std::string();
    std::string text(static_cast<std::size_t>(count), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide, -1, &text[0], count, nullptr, nullptr);
    text.resize(static_cast<std::size_t>(count - 1));
    return text;
}

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

} // namespace platform
