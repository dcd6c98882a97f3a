#include "LevelRules.h"

#include "Measure.h"
#include "common/NumberText.h"

#include <algorithm>
#include <cmath>

namespace bankgen {

const int kChordNotes[6] = {48, 52, 55, 60, 64, 67};
const int kFullChordNotes[8] = {48, 52, 55, 60, 64, 67, 72, 76};

std::int64_t StrikeFrame(int strike) {
    return static_cast<std::int64_t>(strike) * (400 * kControlTickFrames + 5);
}

namespace {

std::string Fixed(double value, int decimals) {
    return common::FormatFixed(value, decimals);
}

// The largest volume step at which level times volume stays below ceiling.
double Below(double ceiling, double level) {
    double steps = std::floor(ceiling / level * 100.0);
    // A quotient that lands exactly on a step would touch the ceiling.
    if (steps / 100.0 * level >= ceiling) steps -= 1.0;
    return steps / 100.0;
}

} // namespace

double ChooseVolume(const LevelFigures& figures) {
    if (figures.loudness <= 0.0) return 0.0;
    double target = std::pow(10.0, kTargetLoudnessDb / 20.0);
    double volume = std::floor(target / figures.loudness * 100.0 + 0.5) / 100.0;
    volume = std::min(kHighestVolume, std::max(kLowestVolume, volume));
    if (figures.chordPeak > 0.0) volume = std::min(volume, Below(kChordCeiling, figures.chordPeak));
    if (figures.fullChordPeak > 0.0)
        volume = std::min(volume, Below(kFullChordCeiling, figures.fullChordPeak));
    return std::max(0.0, volume);
}

std::vector<std::string> LevelFailures(const LevelFigures& figures, double volume) {
    std::vector<std::string> failures;
    if (figures.loudness <= 0.0) {
        failures.push_back("is silent");
        return failures;
    }
    if (volume <= 0.0) {
        failures.push_back("needs Master Volume 0 to keep its chords below the ceilings");
        return failures;
    }
    double db = Decibels(figures.loudness * volume);
    if (std::fabs(db - kTargetLoudnessDb) > kLoudnessToleranceDb)
        failures.push_back("loudness " + Fixed(db, 1) + " dBFS at Master Volume " +
                           Fixed(volume, 2) + " is not within " + Fixed(kLoudnessToleranceDb, 1) +
                           " dB of " + Fixed(kTargetLoudnessDb, 1) + " dBFS (the chords peak at " +
                           Fixed(figures.chordPeak, 3) + " and " + Fixed(figures.fullChordPeak, 3) +
                           " at Master Volume 1)");
    if (figures.chordPeak * volume >= kChordCeiling)
        failures.push_back("the six-note chord at velocity 100 peaks at " +
                           Fixed(figures.chordPeak * volume, 3) + ", not below " +
                           Fixed(kChordCeiling, 2));
    if (figures.fullChordPeak * volume >= kFullChordCeiling)
        failures.push_back("the eight-note chord at velocity 127 peaks at " +
                           Fixed(figures.fullChordPeak * volume, 3) + ", not below " +
                           Fixed(kFullChordCeiling, 2));
    return failures;
}

} // namespace bankgen
