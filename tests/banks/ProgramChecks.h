#pragma once
// What every factory program is held to, and the renders that measure it: note 60 at velocity 100
// held for one second (loudness, DC, onset, pitch, and the release after the note-off), and two
// chords held for one second (clipping): C3 E3 G3 C4 E4 G4 at velocity 100, as a musician plays
// one, and C3 E3 G3 C4 E4 G4 C5 E5 at velocity 127, the loudest eight voices.

#include "Manifest.h"
#include "PitchEstimator.h"
#include "ProgramPlayer.h"

#include <string>
#include <vector>

namespace banktest {

// The level rules: single notes within 6 dB of one common loudness that leaves room for chords;
// the six-note chord peaks below -1 dBFS and the eight-note chord below full scale.
constexpr double kTargetRms = 0.0501187; // -26 dBFS
constexpr double kLoudnessToleranceDb = 6.0;
constexpr double kChordLimit = 0.891; // -1 dBFS
constexpr double kFullChordLimit = 1.0;
constexpr int kChordVelocity = 100;
constexpr int kFullChordVelocity = 127;
extern const std::vector<int> kChordNotes;     // C3 E3 G3 C4 E4 G4
extern const std::vector<int> kFullChordNotes; // the same and C5 E5
constexpr double kDcFraction = 0.02;
// The onset is where the output first reaches -40 dB of the render's own peak.
constexpr double kOnsetFraction = 0.01;
// After the release the output stays below -60 dBFS.
constexpr double kSilenceLevel = 0.001;
constexpr double kPitchTolerance = 0.03;
// The equal-tempered frequency of note 60 (A4 = 440 Hz).
constexpr double kNote60Hz = 261.63;

// The renders past the note-off: the manifest's release time and this margin, so that "stays
// below" is seen for a while; the chord's release is followed for at most a second, enough to see
// a peak that comes only after the keys are let go.
constexpr double kReleaseMarginMs = 250.0;
constexpr double kChordReleaseMs = 1000.0;

struct ProgramFigures {
    std::string error; // the program could not be played at all
    double loudnessRms = 0.0;
    double chordPeak = 0.0;     // the six-note chord at velocity 100
    double fullChordPeak = 0.0; // the eight-note chord at velocity 127
    double dcRatio = 0.0;
    double onsetMs = -1.0;
    double fadeMs = -1.0; // after the note-off; negative when the end was not rendered
    double renderedReleaseMs = 0.0;
    PitchEstimate pitch;
};

// Plays the three renders of program and measures them. The pitch is measured only when the
// manifest gives one.
ProgramFigures MeasureProgram(ProgramPlayer& player, const ManifestLine& line);

// The pitch of the held note between 100 and 900 ms, searched around expectedRatio x note 60.
PitchEstimate MeasurePitch(const StereoRender& render, double expectedRatio);

// The verdicts. Each gives an empty text when the program passes, else what was measured.
std::string LoudnessFault(const ProgramFigures& figures);
std::string ClippingFault(const ProgramFigures& figures);
std::string DcFault(const ProgramFigures& figures);
std::string OnsetFault(const ProgramFigures& figures, const ManifestLine& line);
std::string ReleaseFault(const ProgramFigures& figures, const ManifestLine& line);
std::string PitchFault(const PitchEstimate& pitch, double expectedRatio);

} // namespace banktest
