#pragma once
// The source texts of the factory sounds, split into lines of words. A '#' starts a comment that
// runs to the end of the line; words are separated by blanks or tabs; a word in double quotes
// may hold blanks (program names such as "EP Soft"). Every line remembers its file and number,
// so every complaint about a source can point at the line that causes it.

#include <string>
#include <vector>

namespace bankgen {

struct Word {
    std::string text;
    bool quoted = false;
};

struct SourceLine {
    std::string file; // the file name as given (shown in messages)
    int number = 0;   // from 1
    std::vector<Word> words;
};

// "file:line"
std::string Where(const SourceLine& line);

// A list of complaints, each "file:line: what is wrong".
struct Problems {
    std::vector<std::string> messages;
    void Add(const SourceLine& line, const std::string& text) {
        messages.push_back(Where(line) + ": " + text);
    }
    void Add(const std::string& text) { messages.push_back(text); }
    bool Any() const { return !messages.empty(); }
    std::string Joined() const;
};

// Splits text into non-empty lines of words. Unterminated quotes, control characters other than
// tab, and bytes outside printable ASCII are refused with a message naming the line.
void SplitSource(const std::string& file, const std::string& text, std::vector<SourceLine>& lines,
                 Problems& problems);

// Reads and splits a file; a file that cannot be read is one problem.
void ReadSource(const std::string& path, const std::string& shownName,
                std::vector<SourceLine>& lines, Problems& problems);

} // namespace bankgen
