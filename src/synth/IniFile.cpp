#include "synth/IniFile.h"

#include "platform/Files.h"

#include <cstdint>

namespace synth {

namespace {

constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

std::string Trimmed(const std::string& text) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && IsBlank(text[begin])) ++begin;
    while (end > begin && IsBlank(text[end - 1])) --end;
    return text.substr(begin, end - begin);
}

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameName(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (Lower(a[i]) != Lower(b[i])) return false;
    return true;
}

// The name of a section header line ("[name]", blanks around the name ignored; a header without
// its closing bracket runs to the end of the line), or false for any other line.
bool SectionName(const std::string& line, std::string& name) {
    std::string text = Trimmed(line);
    if (text.empty() || text[0] != '[') return false;
    std::size_t close = text.find(']');
    name = Trimmed(text.substr(1, close == std::string::npos ? std::string::npos : close - 1));
    return true;
}

// The key and raw value of a "key=value" line, or false.
bool KeyAndValue(const std::string& line, std::string& key, std::string& value) {
    std::size_t equals = line.find('=');
    if (equals == std::string::npos) return false;
    key = Trimmed(line.substr(0, equals));
    value = line.substr(equals + 1);
    return true;
}

bool HasLineEnd(const std::string& text) {
    return text.find('\n') != std::string::npos || text.find('\r') != std::string::npos;
}

bool ValidSection(const std::string& section) {
    return !HasLineEnd(section) && section.find(']') == std::string::npos;
}

bool ValidEntry(const std::string& key, const std::string& value) {
    std::string name = Trimmed(key);
    return !name.empty() && !HasLineEnd(key) && !HasLineEnd(value) &&
           key.find('=') == std::string::npos && name[0] != '[';
}

} // namespace

IniDocument IniDocument::Parse(const std::string& text) {
    IniDocument document;
    std::size_t start = 0;
    if (text.compare(0, 3, kByteOrderMark) == 0) {
        document.byteOrderMark_ = true;
        start = 3;
    }
    bool sawCarriageReturn = false;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
            sawCarriageReturn = true;
        }
        document.lines_.push_back(std::move(line));
        start = end + 1;
    }
    if (sawCarriageReturn) document.lineEnd_ = "\r\n";
#ifdef _WIN32
    else if (document.lines_.empty())
        document.lineEnd_ = "\r\n";
#endif
    return document;
}

std::string IniDocument::Serialize() const {
    std::string text = byteOrderMark_ ? kByteOrderMark : "";
    for (const std::string& line : lines_) {
        text += line;
        text += lineEnd_;
    }
    return text;
}

int IniDocument::FindSection(const std::string& name) const {
    std::string wanted = Trimmed(name);
    std::string found;
    for (std::size_t i = 0; i < lines_.size(); ++i)
        if (SectionName(lines_[i], found) && SameName(found, wanted)) return static_cast<int>(i);
    return -1;
}

std::size_t IniDocument::SectionEnd(std::size_t header) const {
    std::string name;
    std::size_t i = header + 1;
    while (i < lines_.size() && !SectionName(lines_[i], name)) ++i;
    return i;
}

int IniDocument::FindKey(std::size_t header, const std::string& key) const {
    std::string wanted = Trimmed(key);
    std::string name;
    std::string value;
    std::size_t end = SectionEnd(header);
    for (std::size_t i = header + 1; i < end; ++i)
        if (KeyAndValue(lines_[i], name, value) && SameName(name, wanted))
            return static_cast<int>(i);
    return -1;
}

std::size_t IniDocument::InsertPosition(std::size_t header) const {
    std::size_t position = SectionEnd(header);
    while (position > header + 1 && Trimmed(lines_[position - 1]).empty()) --position;
    return position;
}

std::string IniDocument::Read(const std::string& section, const std::string& key,
                              const std::string& def, std::size_t maxChars) const {
    std::string result = def;
    int header = FindSection(section);
    int line = header < 0 ? -1 : FindKey(static_cast<std::size_t>(header), key);
    if (line >= 0) {
        std::string name;
        KeyAndValue(lines_[static_cast<std::size_t>(line)], name, result);
        result = Trimmed(result);
        if (result.size() >= 2 && result.front() == '"' && result.back() == '"')
            result = result.substr(1, result.size() - 2);
    }
    if (result.size() > maxChars) result.resize(maxChars);
    return result;
}

bool IniDocument::HasKey(const std::string& section, const std::string& key) const {
    int header = FindSection(section);
    return header >= 0 && FindKey(static_cast<std::size_t>(header), key) >= 0;
}

bool IniDocument::Write(const std::string& section, const std::string& key,
                        const std::string& value) {
    if (!ValidSection(section) || !ValidEntry(key, value)) return false;
    std::string line = Trimmed(key) + "=" + value;
    int header = FindSection(section);
    if (header < 0) {
        lines_.push_back("[" + Trimmed(section) + "]");
        lines_.push_back(line);
        return true;
    }
    int existing = FindKey(static_cast<std::size_t>(header), key);
    if (existing >= 0) {
        lines_[static_cast<std::size_t>(existing)] = line;
    } else {
        std::size_t position = InsertPosition(static_cast<std::size_t>(header));
        lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(position), line);
    }
    return true;
}

bool IniDocument::ReplaceSection(const std::string& section, const IniEntries& entries) {
    if (!ValidSection(section)) return false;
    for (const auto& entry : entries)
        if (!ValidEntry(entry.first, entry.second)) return false;
    std::vector<std::string> replacement;
    for (const auto& entry : entries)
        replacement.push_back(Trimmed(entry.first) + "=" + entry.second);
    int header = FindSection(section);
    if (header < 0) {
        lines_.push_back("[" + Trimmed(section) + "]");
        lines_.insert(lines_.end(), replacement.begin(), replacement.end());
        return true;
    }
    auto first = lines_.begin() + header + 1;
    auto last = lines_.begin() +
                static_cast<std::ptrdiff_t>(InsertPosition(static_cast<std::size_t>(header)));
    first = lines_.erase(first, last);
    lines_.insert(first, replacement.begin(), replacement.end());
    return true;
}

std::vector<std::string> IniDocument::Keys(const std::string& section) const {
    std::vector<std::string> keys;
    int header = FindSection(section);
    if (header < 0) return keys;
    std::string name;
    std::string value;
    std::size_t end = SectionEnd(static_cast<std::size_t>(header));
    for (std::size_t i = static_cast<std::size_t>(header) + 1; i < end; ++i)
        if (KeyAndValue(lines_[i], name, value)) keys.push_back(name);
    return keys;
}

bool LoadIniFile(const std::string& path, IniDocument& document) {
    std::vector<std::uint8_t> bytes;
    if (!platform::ReadWholeFile(path, bytes)) {
        document = IniDocument::Parse(std::string());
        return false;
    }
    document = IniDocument::Parse(std::string(bytes.begin(), bytes.end()));
    return true;
}

bool SaveIniFile(const std::string& path, const IniDocument& document) {
    std::string text = document.Serialize();
    return platform::WriteFileSafely(path, text.data(), text.size());
}

} // namespace synth
