#include "Manifest.h"

#include "BankImage.h"
#include "common/NumberText.h"
#include "platform/Files.h"

#include <cmath>

namespace banktest {

namespace {

std::vector<std::string> SplitTabs(const std::string& line) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (;;) {
        std::size_t tab = line.find('\t', start);
        fields.push_back(line.substr(start, tab == std::string::npos ? tab : tab - start));
        if (tab == std::string::npos) return fields;
        start = tab + 1;
    }
}

// A plain decimal number that uses the whole field (no sign, no exponent, no blanks).
bool ParseNumber(const std::string& text, double& value) {
    if (text.empty()) return false;
    for (char c : text)
        if (!(c >= '0' && c <= '9') && c != '.') return false;
    std::size_t consumed = 0;
    value = common::ParseDouble(text.c_str(), &consumed);
    return consumed == text.size() && std::isfinite(value);
}

bool LowerCaseWord(const std::string& text) {
    if (text.empty()) return false;
    for (char c : text)
        if (!(c >= 'a' && c <= 'z')) return false;
    return true;
}

bool ParseLine(const std::string& line, int expectedProgram, ManifestLine& result,
               std::string& error) {
    std::vector<std::string> fields = SplitTabs(line);
    if (fields.size() != 7) {
        error = "has " + std::to_string(fields.size()) + " columns instead of 7";
        return false;
    }
    double number = 0.0;
    if (!ParseNumber(fields[0], number) || number != expectedProgram) {
        error =
            "should be program " + std::to_string(expectedProgram) + ", not \"" + fields[0] + "\"";
        return false;
    }
    result.program = expectedProgram;
    result.name = fields[1];
    if (result.name.size() != 7) {
        error = "name \"" + result.name + "\" is not seven characters long";
        return false;
    }
    result.pitched = fields[2] != "-";
    if (result.pitched && (!ParseNumber(fields[2], result.pitch) || result.pitch <= 0.0)) {
        error = "pitch \"" + fields[2] + "\" is neither a positive number nor \"-\"";
        return false;
    }
    if (!ParseNumber(fields[3], result.onsetMs) || result.onsetMs > kMaxOnsetMs) {
        error = "onset_ms \"" + fields[3] + "\" is not a number of at most 2000";
        return false;
    }
    if (!ParseNumber(fields[4], result.releaseMs) || result.releaseMs > kMaxReleaseMs) {
        error = "release_ms \"" + fields[4] + "\" is not a number of at most 10000";
        return false;
    }
    if (fields[5] != "same" && fields[5] != "waves") {
        error = "hardware \"" + fields[5] + "\" is neither \"same\" nor \"waves\"";
        return false;
    }
    result.needsWaves = fields[5] == "waves";
    result.family = fields[6];
    if (!LowerCaseWord(result.family)) {
        error = "family \"" + result.family + "\" is not a lower-case word";
        return false;
    }
    return true;
}

} // namespace

bool ParseManifest(const std::string& text, std::vector<ManifestLine>& lines, std::string& error) {
    lines.clear();
    if (text.find('\r') != std::string::npos) {
        error = "holds carriage returns: lines must end with LF alone";
        return false;
    }
    std::vector<std::string> rows;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        rows.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    if (rows.empty() || rows[0].empty() || rows[0][0] != '#') {
        error = "line 1: the header line starting with \"#\" is missing";
        return false;
    }
    if (rows.size() != kProgramCount + 1u) {
        error = "has " + std::to_string(rows.size() - 1) + " program lines instead of 336";
        return false;
    }
    std::vector<ManifestLine> parsed(kProgramCount);
    for (int i = 0; i < kProgramCount; ++i) {
        std::string fault;
        if (!ParseLine(rows[static_cast<std::size_t>(i) + 1], i,
                       parsed[static_cast<std::size_t>(i)], fault)) {
            error = "line " + std::to_string(i + 2) + " " + fault;
            return false;
        }
    }
    lines = std::move(parsed);
    return true;
}

bool ReadManifest(const std::string& path, std::vector<ManifestLine>& lines, std::string& error) {
    std::vector<std::uint8_t> bytes;
    if (!platform::ReadWholeFile(path, bytes)) {
        error = "cannot read " + path;
        return false;
    }
    if (!ParseManifest(std::string(bytes.begin(), bytes.end()), lines, error)) {
        error = path + ": " + error;
        return false;
    }
    return true;
}

} // namespace banktest
