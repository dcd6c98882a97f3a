#pragma once
// The INI text format as the Windows private-profile functions read and write it, done by hand so
// that every OS stores the configuration the same way: "[Section]" lines, "key=value" lines,
// section and key names compared without regard to case, values read with a default and a
// length limit and with one pair of enclosing double quotes removed. Lines this code does not
// change (comments, other sections, unknown keys) are written back as they were.

#include <string>
#include <utility>
#include <vector>

namespace synth {

using IniEntries = std::vector<std::pair<std::string, std::string>>;

class IniDocument {
public:
    // Any bytes are accepted: lines end at "\n" (a "\r" before it is dropped), a leading UTF-8
    // byte-order mark is kept aside, lines that are neither a section nor a key are kept as text.
    static IniDocument Parse(const std::string& text);
    std::string Serialize() const;

    // The value of key in section, surrounding blanks removed and then one pair of enclosing
    // double quotes; def when the key is missing. Cut to at most maxChars characters.
    std::string Read(const std::string& section, const std::string& key, const std::string& def,
                     std::size_t maxChars) const;
    bool HasKey(const std::string& section, const std::string& key) const;

    // Sets key in section, adding the section at the end and the key at the end of its section
    // when missing. False (nothing changed) for texts that would break the line format: a line
    // end in any of them, "=" or a leading "[" in the key, "]" in the section name.
    bool Write(const std::string& section, const std::string& key, const std::string& value);

    // Replaces every line of section (the header stays) with entries; adds the section when it is
    // missing. An empty list leaves the section empty.
    bool ReplaceSection(const std::string& section, const IniEntries& entries);

    // The names of the keys of section, in file order.
    std::vector<std::string> Keys(const std::string& section) const;

private:
    // Index of the header line of the first section named name, or -1.
    int FindSection(const std::string& name) const;
    // One past the last line of the section whose header is at header.
    std::size_t SectionEnd(std::size_t header) const;
    // Index of the first line of that section holding key, or -1.
    int FindKey(std::size_t header, const std::string& key) const;
    // Where a new line goes in that section: after its last non-blank line.
    std::size_t InsertPosition(std::size_t header) const;

    std::vector<std::string> lines_;
    std::string lineEnd_ = "\n";
    bool byteOrderMark_ = false;
};

// Loads path as a document; false (document empty) when the file is missing or unreadable.
bool LoadIniFile(const std::string& path, IniDocument& document);
// Replaces the file at path with the document through a temporary file, so that a failed write
// leaves the old file intact. False when the write failed.
bool SaveIniFile(const std::string& path, const IniDocument& document);

} // namespace synth
