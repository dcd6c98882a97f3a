#include "platform/UserFolders.h"

#include "platform/Files.h"
#include "platform/XdgUserDirs.h"

#include <cerrno>
#include <cstdlib>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

namespace platform {

namespace {

// An environment variable that holds an absolute path, else empty (relative values are to be
// ignored by the XDG rules).
std::string AbsoluteFromEnvironment(const char* name) {
    const char* value = std::getenv(name);
    if (!value || value[0] != '/') return std::string();
    return value;
}

std::string HomeFolder() {
    std::string home = AbsoluteFromEnvironment("HOME");
    if (!home.empty()) return home;
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* result = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &result) == 0 && result &&
        result->pw_dir && result->pw_dir[0] == '/')
        return result->pw_dir;
    return std::string();
}

// The folder the user-dirs file names for key, else home/fallback when that exists, else home.
std::string XdgUserFolder(const char* key, const char* fallback) {
    std::string home = HomeFolder();
    if (home.empty()) return std::string();
    std::string config = AbsoluteFromEnvironment("XDG_CONFIG_HOME");
    if (config.empty()) config = JoinPath(home, ".config");
    std::vector<std::uint8_t> bytes;
    if (ReadWholeFile(JoinPath(config, "user-dirs.dirs"), bytes)) {
        std::string folder = FindXdgUserDir(std::string(bytes.begin(), bytes.end()), key, home);
        if (!folder.empty()) return folder;
    }
    std::string usual = JoinPath(home, fallback);
    return FolderExists(usual) ? usual : home;
}

} // namespace

std::string LocalAppDataFolder() {
    std::string data = AbsoluteFromEnvironment("XDG_DATA_HOME");
    if (!data.empty()) return data;
    std::string home = HomeFolder();
    return home.empty() ? std::string() : JoinPath(home, ".local/share");
}

std::string DocumentsFolder() {
    return XdgUserFolder("XDG_DOCUMENTS_DIR", "Documents");
}

std::string DesktopFolder() {
    return XdgUserFolder("XDG_DESKTOP_DIR", "Desktop");
}

bool FolderExists(const std::string& path) {
    struct stat info {};
    return !path.empty() && ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool FileExists(const std::string& path) {
    struct stat info {};
    return !path.empty() && ::stat(path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

bool CreateFolder(const std::string& path) {
    if (path.empty()) return false;
    if (::mkdir(path.c_str(), 0755) == 0) return true;
    return errno == EEXIST && FolderExists(path);
}

bool CreateFolderPath(const std::string& path) {
    if (path.empty()) return false;
    // Each folder from the top down; one that cannot be made shows in the final check.
    for (std::size_t end = path.find('/', 1); end != std::string::npos;
         end = path.find('/', end + 1)) {
        const std::string folder = path.substr(0, end);
        if (!folder.empty() && folder.back() != '/' && !FolderExists(folder))
            ::mkdir(folder.c_str(), 0700);
    }
    if (!FolderExists(path)) ::mkdir(path.c_str(), 0700);
    return FolderExists(path);
}

} // namespace platform
