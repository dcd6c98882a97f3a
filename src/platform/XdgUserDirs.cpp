#include "platform/XdgUserDirs.h"

namespace platform {

namespace {

std::string Trimmed(const std::string& text) {
    std::size_t begin = text.find_first_not_of(" \t\r");
    if (begin == std::string::npos) return std::string();
    std::size_t end = text.find_last_not_of(" \t\r");
    return text.substr(begin, end - begin + 1);
}

// The quoted value of one line: "..." with backslash escapes, or a bare word.
bool UnquoteValue(const std::string& raw, std::string& value) {
    value.clear();
    if (raw.size() < 2 || raw.front() != '"') return false;
    for (std::size_t i = 1; i < raw.size(); ++i) {
        char c = raw[i];
        if (c == '\\' && i + 1 < raw.size()) {
            value += raw[++i];
        } else if (c == '"') {
            return Trimmed(raw.substr(i + 1)).empty();
        } else {
            value += c;
        }
    }
    return false; // no closing quote
}

} // namespace

std::string FindXdgUserDir(const std::string& fileText, const std::string& key,
                           const std::string& home) {
    std::string found;
    std::size_t start = 0;
    while (start <= fileText.size()) {
        std::size_t end = fileText.find('\n', start);
        if (end == std::string::npos) end = fileText.size();
        std::string line = Trimmed(fileText.substr(start, end - start));
        start = end + 1;
        if (line.empty() || line[0] == '#') continue;
        std::size_t equals = line.find('=');
        if (equals == std::string::npos || Trimmed(line.substr(0, equals)) != key) continue;
        std::string value;
        if (!UnquoteValue(Trimmed(line.substr(equals + 1)), value)) continue;
        if (value.compare(0, 5, "$HOME") == 0 && (value.size() == 5 || value[5] == '/')) {
            value = home + value.substr(5);
        } else if (value.empty() || value[0] != '/') {
            continue; // only absolute paths or $HOME-relative ones are allowed
        }
        while (value.size() > 1 && value.back() == '/') value.pop_back();
        std::string homeTrimmed = home;
        while (homeTrimmed.size() > 1 && homeTrimmed.back() == '/') homeTrimmed.pop_back();
        found = value == homeTrimmed ? std::string() : value; // the last entry wins
    }
    return found;
}

} // namespace platform
