#pragma once
// Committed level matching: the Master Volume that --match-levels chose for every program, kept
// in resources/banks/levels/<stem>.txt so that expanding the banks never needs to render. Each
// line also holds a fingerprint of the program's voice (every value except Master Volume); a
// program whose voice changed since its level was measured is found and refused.

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

struct LevelEntry {
    bool present = false;
    double volume = 1.0;
    std::uint32_t fingerprint = 0;
};

// Parses a levels file: "#" comment lines, then lines "program<TAB>volume<TAB>fingerprint<TAB>
// name". Every malformed line is a problem naming file and line. entries gets 336 slots.
void ParseLevels(const std::string& file, const std::string& text, std::vector<LevelEntry>& entries,
                 Problems& problems);

// The text of a levels file for programs with their chosen volumes (Master Volume in values).
// When include is given, only the programs whose flag is set get a line.
std::string FormatLevels(const std::string& bankName, const std::vector<Program>& programs,
                         const std::vector<bool>& include = {});

} // namespace bankgen
