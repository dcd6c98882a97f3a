#pragma once
// The level rules every factory program is matched to, from renders at Master Volume 1
// (the output is linear in Master Volume, so one render serves every volume):
//   - note 60 at velocity 100: the loudness (RMS of the loudest 300 ms window of the first
//     second);
//   - the six-note chord C3 E3 G3 C4 E4 G4 at velocity 100: its peak stays below -1 dBFS;
//   - the eight-note chord C3 E3 G3 C4 E4 G4 C5 E5 at velocity 127: its peak stays below 0 dBFS.
// One common loudness for single notes leaves room for chords: the chosen Master Volume brings a
// single note to the target and is lowered when a chord would come near its limit. Programs that
// must be lowered too far break the loudness rule and are named. Each chord is struck (all its
// notes on one sample, as a sequencer plays it) at several moments, and its highest peak counts.

#include <cstdint>
#include <string>
#include <vector>

namespace bankgen {

// The common loudness of a single note, in dBFS.
constexpr double kTargetLoudnessDb = -26.0;
// The checks allow 6 dB, peaks below 0.891 (-1 dBFS) and 1.0; the generator keeps a margin so
// that a measurement made a little differently still passes.
constexpr double kLoudnessToleranceDb = 5.5;
constexpr double kChordCeiling = 0.85;
constexpr double kFullChordCeiling = 0.95;
constexpr double kLowestVolume = 0.01;
constexpr double kHighestVolume = 2.0;

// The notes of the two chords and their velocities.
extern const int kChordNotes[6];
constexpr int kChordVelocity = 100;
extern const int kFullChordNotes[8];
constexpr int kFullChordVelocity = 127;

// A chord's peak depends on where the LFO and its noise source stand when it is struck, and on
// where the strike falls among the chip samples and within the control tick (44 frames at
// 44 100 Hz). Each chord is struck kStrikeCount times, each time in a fresh instance after
// StrikeFrame(k) frames of silence (at 44 100 Hz): 0.4 s apart, some 2.8 s in all, and 5 frames
// further into the tick each time. The acceptance tests strike the chords at the same moments.
constexpr int kStrikeCount = 8;
constexpr int kControlTickFrames = 44;
std::int64_t StrikeFrame(int strike);

// What the renders gave at Master Volume 1.
struct LevelFigures {
    bool present = false;
    double loudness = 0.0;      // single note, RMS
    double chordPeak = 0.0;     // six-note chord at velocity 100, its highest strike
    double fullChordPeak = 0.0; // eight-note chord at velocity 127, its highest strike
};

// The Master Volume (0.01 steps, kLowestVolume..kHighestVolume) that brings the loudness nearest
// the target while both chords stay below their ceilings. 0 for a silent program.
double ChooseVolume(const LevelFigures& figures);

// What the program breaks at that volume: the loudness window and both ceilings.
std::vector<std::string> LevelFailures(const LevelFigures& figures, double volume);

} // namespace bankgen
