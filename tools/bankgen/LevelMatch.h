#pragma once
// Level matching and the listening checks of one program. The program is rendered at Master
// Volume 1 (the output is linear in Master Volume, so one render serves every volume):
//   - note 60 at velocity 100, released after exactly 1 s: loudness, DC, onset, release, pitch;
//   - the two chords of the level rules (LevelRules.h), each struck at every strike of the rules
//     and released 1 s later: their highest peaks.
// The volume follows the level rules; then every promise of the manifest is checked.

#include "LevelRules.h"
#include "Program.h"

#include <string>
#include <vector>

namespace bankgen {

// The checks allow the full onset and release allowances; the generator keeps a margin so that
// a measurement made a little differently still passes.
constexpr double kAllowanceShare = 0.9;
constexpr double kSilence = 0.001; // -60 dBFS
constexpr double kMaxDcRatio = 0.02;
constexpr double kPitchTolerance = 0.03; // relative

struct ProgramCheck {
    LevelFigures unity; // the level figures at Master Volume 1
    double volume = 1.0;
    double loudnessDb = 0.0; // at the chosen volume
    double onsetMs = 0.0;
    double releaseMs = 0.0; // at the chosen volume
    double dcRatio = 0.0;
    double expectedHz = 0.0; // 0 for unpitched programs
    double measuredHz = 0.0;
    std::vector<std::string> failures;
    bool levelOnly = false; // every failure is one of the level rules
};

// Renders and measures program; failures says which promise it breaks (empty when none).
ProgramCheck CheckProgram(const Program& program);

// A multi-line design report: the measurements, the decay contour and the spectrum.
std::string DescribeProgram(const Program& program, const ProgramCheck& check);

} // namespace bankgen
