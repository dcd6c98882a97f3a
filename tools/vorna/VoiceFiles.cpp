#include "VoiceFiles.h"

#include "platform/Files.h"
#include "programs/SysExFiles.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <system_error>

namespace vorna_tool {

namespace fs = std::filesystem;

namespace {

std::string LowerCase(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::string ExtensionOf(const std::string& path) {
    const std::string name = FileNameOf(path);
    const std::size_t dot = name.rfind('.');
    return dot == std::string::npos || dot == 0 ? std::string() : LowerCase(name.substr(dot));
}

} // namespace

VoiceFileType VoiceFileTypeOf(const std::string& path) {
    const std::string extension = ExtensionOf(path);
    if (extension == ".syx") return VoiceFileType::SysEx;
    if (extension == ".fxb") return VoiceFileType::Bank;
    if (extension == ".fxp") return VoiceFileType::Program;
    return VoiceFileType::None;
}

const char* VoiceFileTypeName(VoiceFileType type) {
    switch (type) {
    case VoiceFileType::SysEx:
        return "syx";
    case VoiceFileType::Bank:
        return "fxb";
    case VoiceFileType::Program:
        return "fxp";
    case VoiceFileType::None:
        break;
    }
    return "";
}

std::string FileNameOf(const std::string& path) {
    std::string trimmed = path;
    while (trimmed.size() > 1 && (trimmed.back() == '/' || trimmed.back() == '\\'))
        trimmed.pop_back();
    const std::size_t slash = trimmed.find_last_of("/\\");
    return slash == std::string::npos ? trimmed : trimmed.substr(slash + 1);
}

std::string FileStemOf(const std::string& path) {
    const std::string name = FileNameOf(path);
    const std::size_t dot = name.rfind('.');
    return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

std::vector<std::string> ExpandVoiceFiles(const std::vector<std::string>& paths) {
    std::vector<std::string> files;
    for (const std::string& path : paths) {
        std::error_code failed;
        if (!fs::is_directory(fs::path(path), failed)) {
            files.push_back(path);
            continue;
        }
        std::vector<std::string> names;
        if (!platform::ListFolderFiles(path, names)) {
            files.push_back(path); // reading it reports why
            continue;
        }
        std::sort(names.begin(), names.end());
        for (const std::string& name : names)
            if (VoiceFileTypeOf(name) != VoiceFileType::None)
                files.push_back(platform::JoinPath(path, name));
    }
    return files;
}

bool ReadVoiceFile(const std::string& path, std::vector<std::uint8_t>& bytes, std::string& error) {
    bytes.clear();
    std::error_code failed;
    const fs::path file(path);
    const fs::file_status status = fs::status(file, failed);
    if (failed || !fs::exists(status)) {
        error = "does not exist";
        return false;
    }
    if (fs::is_directory(status)) {
        error = "is a folder, not a file";
        return false;
    }
    const std::uintmax_t size = fs::file_size(file, failed);
    if (!failed && size == 0) {
        error = "is empty (0 bytes)";
        return false;
    }
    if (!failed && size > kMaxVoiceFileSize) {
        error = "is " + std::to_string(size / (1u << 20)) +
                " MB, far larger than any voice file; not read";
        return false;
    }
    if (!platform::ReadWholeFile(path, bytes)) {
        error = "cannot be read (no permission, or not a regular file)";
        return false;
    }
    if (bytes.empty()) {
        error = "is empty (0 bytes)";
        return false;
    }
    return true;
}

std::string PrintableName(const std::string& name) {
    std::string shown;
    for (char c : name) {
        const unsigned char byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x7F && byte != '\\') {
            shown += c;
        } else if (byte == '\\') {
            shown += "\\\\";
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
            shown += escaped;
        }
    }
    return shown;
}

std::string FileNameForVoice(const std::string& name) {
    std::string safe = programs::SafeFileName(name);
    for (char& c : safe) {
        const unsigned char byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte >= 0x7F) c = '_';
    }
    while (!safe.empty() && (safe.back() == ' ' || safe.back() == '.')) safe.pop_back();
    while (!safe.empty() && safe.front() == ' ') safe.erase(safe.begin());
    return safe.empty() ? "unnamed" : safe;
}

std::string TwoDigits(int number) {
    return number < 10 && number >= 0 ? "0" + std::to_string(number) : std::to_string(number);
}

} // namespace vorna_tool
