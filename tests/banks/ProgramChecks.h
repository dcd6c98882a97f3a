#pragma once
// What every factory program is held to, and the renders that measure it: note 60 at velocity 100
// held for one second (loudness, DC, onset, pitch, and the release after the note-off), and two
// chords held for one second (clipping): C3 E3 G3 C4 E4 G4 at velocity 100, as a musician plays
// one, and C3 E3 G3 C4 E4 G4 C5 E5 at velocity 127, the loudest eight voices. Each chord is struck
// with all its notes on one sample, as a sequencer plays it, at several moments (see StrikeFrame).

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

// A chord's peak depends on the moment it is struck: on where the LFO and its noise source stand,
// and on where the strike falls among the chip samples and within the control tick (44 frames at
// the render rate). Each chord is struck kStrikeCount times, each time in a fresh instance after
// StrikeFrame(k) frames of silence, and its highest peak counts. The strikes lie 0.4 s apart
// (some 2.8 s in all, several periods of a vibrato or tremolo LFO) and 5 frames further into the
// tick each time, so they fall on eight different places of it.
constexpr int kStrikeCount = 8;
constexpr int kControlTickFrames = 44;
std::int64_t StrikeFrame(int strike);
// The strikes a run plays of the chords of the nth program it plays: count of them (every one
// from kStrikeCount on), starting at a strike that moves on from program to program, so that a
// run that strikes fewer times still meets every strike time across its programs.
std::vector<int> StrikesOf(int nth, int count);

struct ProgramFigures {
    std::string error; // the program could not be played at all
    double loudnessRms = 0.0;
    double chordPeak = 0.0;     // the six-note chord at velocity 100, its highest strike
    double fullChordPeak = 0.0; // the eight-note chord at velocity 127, its highest strike
    int chordStrike = 0;        // the strikes (0 .. kStrikeCount - 1) that gave them
    int fullChordStrike = 0;
    double dcRatio = 0.0;
    double onsetMs = -1.0;
    double fadeMs = -1.0; // after the note-off; negative when the end was not rendered
    double renderedReleaseMs = 0.0;
    PitchEstimate pitch;
};

// Plays the renders of program, the note and each chord at each of strikes, and measures them.
// The pitch is measured only when the manifest gives one.
ProgramFigures MeasureProgram(ProgramPlayer& player, const ManifestLine& line,
                              const std::vector<int>& strikes);

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
