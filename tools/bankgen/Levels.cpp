#include "Levels.h"

#include "common/NumberText.h"
#include "engine/InstrumentParams.h"
#include "programs/ProgramNumbering.h"

#include <cstdio>

namespace bankgen {

std::string VoiceKey(const Values& values) {
    host::ChunkBuffer state;
    host::AppendProgramState(state, 0, "", values);
    // Tag, index, name and count byte come first, then Master Volume as the first double.
    const int start = host::kStateNameOffset + host::kStateNameSize + 1 + 8;
    return std::string(reinterpret_cast<const char*>(state.Data()) + start,
                       static_cast<std::size_t>(state.Size() - start));
}

std::uint32_t VoiceFingerprint(const Values& values) {
    std::uint32_t h = 2166136261u;
    for (char c : VoiceKey(values)) {
        h ^= static_cast<unsigned char>(c);
        h *= 16777619u;
    }
    return h;
}

namespace {

std::vector<std::string> SplitTabs(const std::string& row) {
    std::vector<std::string> cells;
    std::size_t start = 0;
    while (true) {
        std::size_t tab = row.find('\t', start);
        cells.push_back(row.substr(start, tab == std::string::npos ? tab : tab - start));
        if (tab == std::string::npos) return cells;
        start = tab + 1;
    }
}

bool ParseHex(const std::string& text, std::uint32_t& value) {
    if (text.size() != 8) return false;
    value = 0;
    for (char c : text) {
        int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
        if (digit < 0) return false;
        value = value * 16 + static_cast<std::uint32_t>(digit);
    }
    return true;
}

} // namespace

void ParseLevels(const std::string& file, const std::string& text, std::vector<LevelEntry>& entries,
                 Problems& problems) {
    entries.assign(programs::kProgramCount, LevelEntry{});
    int number = 0;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string row = text.substr(start, end - start);
        start = end + 1;
        ++number;
        if (row.empty() || row[0] == '#') continue;
        SourceLine where;
        where.file = file;
        where.number = number;
        std::vector<std::string> cells = SplitTabs(row);
        int program = -1;
        double volume = 0.0;
        std::uint32_t fingerprint = 0;
        LevelFigures figures;
        bool withFigures = cells.size() == 7;
        if (withFigures)
            figures.present = ParseNumberWord(cells[4], figures.loudness) &&
                              ParseNumberWord(cells[5], figures.chordPeak) &&
                              ParseNumberWord(cells[6], figures.fullChordPeak) &&
                              figures.loudness >= 0.0 && figures.chordPeak >= 0.0 &&
                              figures.fullChordPeak >= 0.0;
        bool noLevel = withFigures && cells[1] == "-";
        if ((cells.size() != 4 && !withFigures) || (withFigures && !figures.present) ||
            !ParseIntegerWord(cells[0], program) || program < 0 ||
            program >= programs::kProgramCount ||
            (!noLevel && (!ParseNumberWord(cells[1], volume) || volume < 0.0 || volume > 2.0)) ||
            !ParseHex(cells[2], fingerprint)) {
            problems.Add(where, "expected program 0..335, volume 0..2, fingerprint (8 hex "
                                "digits) and name, separated by tabs, and optionally the "
                                "loudness and the two chord peaks");
            continue;
        }
        LevelEntry& entry = entries[static_cast<std::size_t>(program)];
        if (entry.present || entry.figures.present) {
            problems.Add(where, "program " + cells[0] + " has a second level");
            continue;
        }
        entry.present = !noLevel;
        entry.volume = noLevel ? 1.0 : volume;
        entry.fingerprint = fingerprint;
        entry.figures = figures;
    }
}

std::string FormatLevels(const std::string& bankName, const std::vector<Program>& programs,
                         const std::vector<bool>& include,
                         const std::vector<LevelFigures>& figures) {
    std::string text = "# Master Volume of each program of \"" + bankName +
                       "\", chosen by vorna_bankgen --match-levels.\n"
                       "# program\tvolume\tvoice fingerprint\tname[\tloudness\tchord peak\t"
                       "full chord peak, at Master Volume 1]\n";
    for (std::size_t i = 0; i < programs.size(); ++i) {
        bool level = i >= include.size() || include[i];
        bool measured = i < figures.size() && figures[i].present;
        if (!level && !measured) continue;
        char hex[9];
        std::snprintf(hex, sizeof hex, "%08x", VoiceFingerprint(programs[i].values));
        text += common::FormatInt(static_cast<long long>(i)) + "\t" +
                (level ? common::FormatFixed(programs[i].values[engine::kMasterVolume], 2)
                       : std::string("-")) +
                "\t" + hex + "\t" + programs[i].name;
        if (measured)
            text += "\t" + common::FormatFixed(figures[i].loudness, 6) + "\t" +
                    common::FormatFixed(figures[i].chordPeak, 6) + "\t" +
                    common::FormatFixed(figures[i].fullChordPeak, 6);
        text += "\n";
    }
    return text;
}

} // namespace bankgen
