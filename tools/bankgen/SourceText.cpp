#include "SourceText.h"

#include "platform/Files.h"

#include <cstdint>

namespace bankgen {

std::string Where(const SourceLine& line) {
    return line.file + ":" + std::to_string(line.number);
}

std::string Problems::Joined() const {
    std::string text;
    for (const std::string& m : messages) text += m + "\n";
    return text;
}

namespace {

void SplitLine(SourceLine& line, const std::string& text, Problems& problems) {
    std::size_t i = 0;
    while (i < text.size()) {
        char c = text[i];
        if (c == ' ' || c == '\t') {
            ++i;
        } else if (c == '#') {
            return;
        } else if (c == '"') {
            std::size_t end = text.find('"', i + 1);
            if (end == std::string::npos) {
                problems.Add(line, "a quoted word has no closing '\"'");
                return;
            }
            line.words.push_back({text.substr(i + 1, end - i - 1), true});
            i = end + 1;
        } else {
            std::size_t end = text.find_first_of(" \t#\"", i);
            if (end == std::string::npos) end = text.size();
            line.words.push_back({text.substr(i, end - i), false});
            i = end;
        }
    }
}

} // namespace

void SplitSource(const std::string& file, const std::string& text, std::vector<SourceLine>& lines,
                 Problems& problems) {
    int number = 0;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string row = text.substr(start, end - start);
        if (!row.empty() && row.back() == '\r') row.pop_back();
        ++number;
        SourceLine line;
        line.file = file;
        line.number = number;
        bool clean = true;
        for (char c : row) {
            auto u = static_cast<unsigned char>(c);
            if (u != '\t' && (u < 32 || u > 126)) {
                problems.Add(line, "holds a character that is not printable ASCII");
                clean = false;
                break;
            }
        }
        if (clean) SplitLine(line, row, problems);
        if (!line.words.empty()) lines.push_back(line);
        if (end == text.size()) break;
        start = end + 1;
    }
}

void ReadSource(const std::string& path, const std::string& shownName,
                std::vector<SourceLine>& lines, Problems& problems) {
    std::vector<std::uint8_t> bytes;
    if (!platform::ReadWholeFile(path, bytes)) {
        problems.Add(shownName + ": cannot be read");
        return;
    }
    SplitSource(shownName, std::string(bytes.begin(), bytes.end()), lines, problems);
}

} // namespace bankgen
