#include "programs/SysExFiles.h"

#include "platform/Files.h"
#include "platform/Mutex.h"

#include <algorithm>
#include <cstdio>

namespace programs {

namespace {

constexpr std::size_t kSafeNameLength = 63;

struct SharedFolder {
    platform::RecursiveMutex mutex;
    bool set = false;
    std::string folder;
};

SharedFolder& LastFolder() {
    static SharedFolder shared; // lives until the library is unloaded
    return shared;
}

} // namespace

bool ReadSysExHeader(const std::string& path, std::array<std::uint8_t, kSysExHeaderSize>& header) {
    header.fill(0xFF);
    if (path.empty()) return false;
    // Only the start is read, so that a file the user is refused is not read whole.
    if (std::FILE* file = std::fopen(path.c_str(), "rb")) {
        std::size_t read = std::fread(header.data(), 1, header.size(), file);
        (void)read; // a short file leaves 0xFF in the missing bytes
        std::fclose(file);
        return true;
    }
    // The C runtime cannot open every UTF-8 path on every OS; the platform's reader can.
    Bytes whole;
    if (!platform::ReadWholeFile(path, whole)) return false;
    std::copy_n(whole.begin(), std::min(whole.size(), header.size()), header.begin());
    return true;
}

bool ReadSysExMessage(const std::string& path, Bytes& message) {
    message.clear();
    Bytes whole;
    if (!platform::ReadWholeFile(path, whole)) return false;
    for (std::size_t i = 0; i < whole.size() && i < kMaxSysExFileRead; ++i) {
        if (whole[i] == 0xFF) break;
        message.push_back(whole[i]);
        if (whole[i] == kSysExEnd) break;
    }
    return true;
}

bool ReadSysExVoices(const std::string& path, std::vector<VoiceRecord>& records) {
    records.clear();
    Bytes message;
    return ReadSysExMessage(path, message) && ParseVoiceBlocks(message, records);
}

std::string SafeFileName(const std::string& name) {
    std::string safe = name.substr(0, kSafeNameLength);
    for (char& c : safe) {
        switch (c) {
        case '<':
        case '>':
        case ':':
        case '"':
        case '/':
        case '\\':
        case '|':
        case '?':
        case '*':
            c = '_';
            break;
        default:
            break;
        }
    }
    return safe;
}

std::string FolderOf(const std::string& path) {
    std::size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::string LastSysExFolder(const std::string& defaultFolder) {
    SharedFolder& shared = LastFolder();
    platform::ScopedLock lock(shared.mutex);
    if (!shared.set) {
        shared.folder = defaultFolder;
        shared.set = true;
    }
    return shared.folder;
}

void SetLastSysExFolder(const std::string& folder) {
    SharedFolder& shared = LastFolder();
    platform::ScopedLock lock(shared.mutex);
    shared.folder = folder;
    shared.set = true;
}

} // namespace programs
