#pragma once
// Named variations: musical edits that derive a program from a recipe without a hand edit of
// every value: brighter, darker, softer, longer, percussive, detuned, velocity-sensitive, slower,
// vibrato, tremolo, octave up and down, legato and a few more. Each knows which operators are
// carriers in the recipe's algorithm and edits those or the modulators, keeps every value in
// range and updates the facts the manifest states (pitch, onset and release allowances).
// A strength of 1 to 3 says how far the edit goes.

#include "Program.h"

#include <string>
#include <vector>

namespace bankgen {

struct VariationInfo {
    const char* name;        // the word in a layout line, e.g. "bright"
    const char* tag;         // up to three characters for generated names, e.g. "Brt"
    const char* description; // one line for the documentation and --variations
};

const std::vector<VariationInfo>& Variations();
const VariationInfo* FindVariation(const std::string& name);

constexpr int kMaxStrength = 3;

// Applies variation name with strength 1..kMaxStrength to program. False when the name is not
// a variation.
bool ApplyVariation(const std::string& name, int strength, Program& program);

// Per-program jitter: strength small nudges (a modulator level, a decay rate, a velocity
// sensitivity, a detune, the LFO speed when the LFO is heard), each drawn from sequence. They
// colour the sound without changing what it is: pitch, carriers, envelopes of the carriers and
// the play mode are left alone.
void ApplyJitter(Program& program, int strength, class Sequence& sequence);

} // namespace bankgen
