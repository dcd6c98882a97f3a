#include "programs/SysExFiles.h"

#include "common/Utf8Text.h"
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

// The first bytes of a file's message as its reader takes them: up to the first 0xFF, real-time
// bytes left out, stopping after the first F7 or once limit bytes were kept.
template <typename NextByte> void TakeMessageBytes(NextByte next, std::size_t limit, Bytes& out) {
    int c;
    for (std::size_t read = 0; read < kMaxSysExFileRead && (c = next()) >= 0; ++read) {
        const std::uint8_t byte = static_cast<std::uint8_t>(c);
        if (byte == 0xFF) break;
        if (IsRealTimeByte(byte)) continue;
        out.push_back(byte);
        if (byte == kSysExEnd || out.size() == limit) break;
    }
}

} // namespace

bool ReadSysExHeader(const std::string& path, std::array<std::uint8_t, kSysExHeaderSize>& header) {
    header.fill(0xFF);
    if (path.empty()) return false;
    Bytes start;
    // Only the start is read, so that a file the user is refused is not read whole.
    if (std::FILE* file = std::fopen(path.c_str(), "rb")) {
        TakeMessageBytes([file] { return std::fgetc(file); }, header.size(), start);
        std::fclose(file);
    } else {
        // The C runtime cannot open every UTF-8 path on every OS; the platform's reader can.
        Bytes whole;
        if (!platform::ReadWholeFile(path, whole)) return false;
        std::size_t at = 0;
        TakeMessageBytes([&] { return at < whole.size() ? int{whole[at++]} : -1; }, header.size(),
                         start);
    }
    std::copy_n(start.begin(), std::min(start.size(), header.size()), header.begin());
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
    Bytes raw, message;
    return ReadSysExMessage(path, raw) && ExtractSysExMessage(raw, message) &&
           ParseVoiceBlocks(message, records);
}

std::string SafeFileName(const std::string& name) {
    std::string safe = common::CutUtf8(name, kSafeNameLength);
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
