#include "platform/FolderPattern.h"

#include <algorithm>

namespace platform {

namespace {

constexpr std::size_t kLongPathThreshold = 256;

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

bool HasDriveLetter(const std::string& path) {
    return path.size() >= 3 &&
           ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z')) &&
           path[1] == ':' && IsSeparator(path[2]);
}

bool IsNetworkPath(const std::string& path) {
    return path.size() > 2 && path[0] == '\\' && path[1] == '\\' && path[2] != '?';
}

} // namespace

std::string FolderSearchPattern(const std::string& folder) {
    std::string pattern = folder;
    if (!pattern.empty() && IsSeparator(pattern.back())) pattern.pop_back();
    return pattern + "\\*";
}

std::string LongPathForm(const std::string& pattern) {
    if (pattern.size() < kLongPathThreshold) return pattern;
    std::string prefix;
    std::string rest;
    if (HasDriveLetter(pattern)) {
        prefix = "\\\\?\\";
        rest = pattern;
    } else if (IsNetworkPath(pattern)) {
        prefix = "\\\\?\\UNC\\";
        rest = pattern.substr(2);
    } else {
        return pattern;
    }
    std::replace(rest.begin(), rest.end(), '/', '\\');
    return prefix + rest;
}

} // namespace platform
