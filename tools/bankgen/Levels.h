#pragma once
// Committed level matching: the Master Volume that --match-levels chose for every program, kept
// in resources/banks/levels/<stem>.txt so that expanding the banks never needs to render. Each
// line also holds a fingerprint of the program's voice (every value except Master Volume); a
// program whose voice changed since its level was measured is found and refused.

#include "LevelRules.h"
#include "Program.h"

#include <cstdint>
#include <string>
#include <vector>

namespace bankgen {

// The stored bytes of every parameter except Master Volume (params 1 to 90 as the program state
// holds them): two programs with the same key sound the same.
std::string VoiceKey(const Values& values);
// A 32-bit fingerprint of the key (FNV-1a).
std::uint32_t VoiceFingerprint(const Values& values);

// A program's line. present: it has a current level (volume). figures: what its renders gave at
// Master Volume 1, kept so that the volumes can be chosen again without rendering; a program
// that was measured but failed its checks keeps its figures and has no level.
struct LevelEntry {
    bool present = false;
    double volume = 1.0;
    std::uint32_t fingerprint = 0;
    LevelFigures figures;
};

// Parses a levels file: "#" comment lines, then lines "program<TAB>volume<TAB>fingerprint<TAB>
// name", optionally followed by "<TAB>loudness<TAB>chord peak<TAB>full chord peak" (at Master
// Volume 1); with the figures the volume may be "-" (measured, no level). Every malformed line
// is a problem naming file and line. entries gets 336 slots.
void ParseLevels(const std::string& file, const std::string& text, std::vector<LevelEntry>& entries,
                 Problems& problems);

// The text of a levels file for programs with their chosen volumes (Master Volume in values).
// When include is given, only the programs whose flag is set get a level; figures, when given,
// are written for every program that has them, so a program without a level still keeps them.
std::string FormatLevels(const std::string& bankName, const std::vector<Program>& programs,
                         const std::vector<bool>& include = {},
                         const std::vector<LevelFigures>& figures = {});

} // namespace bankgen
