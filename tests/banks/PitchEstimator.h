#pragma once
// Finds the fundamental of a steady, pitched sound by its periodicity: the normalised square
// difference function of short frames (correlation of the frame with itself shifted by a lag,
// scaled to -1..1 by the energy of both parts), whose first strong maximum marks the period.
//
// Taking the first maximum that comes near the highest one, not the highest itself, is what keeps
// the estimate off the multiples of the period: a sound an octave higher than expected has its
// first strong maximum at half the expected period, one an octave lower has none at the expected
// period at all. Frames are measured one by one and their median is the result, so a slow
// vibrato, beating detuned operators or one odd frame do not move it. The correlations of a frame
// at all its lags come from one pair of transforms (LagCorrelation.h), not from a sum per lag.

#include <cstddef>
#include <vector>

namespace banktest {

struct PitchEstimate {
    bool found = false;
    double frequency = 0.0; // Hz, median of the pitched frames
    int pitchedFrames = 0;  // frames with a clear period
    int frames = 0;         // frames that were loud enough to measure
};

struct PitchSearch {
    double sampleRate = 44100.0;
    double expectedHz = 261.63;
    // Lags searched: from 0 up to this many expected periods (so a sound up to this many times
    // lower than expected is still found).
    double periodsSearched = 3.0;
    // A maximum counts when it reaches this fraction of the highest maximum. Close to 1: a
    // shorter lag wins only when the sound is almost as periodic there, so a timbre whose odd
    // harmonics are weak (strong octave, faint fundamental) is still measured at its fundamental,
    // while a sound truly an octave up, periodic at half the lag, is not.
    double strongFraction = 0.97;
    // A frame is pitched when its chosen maximum is at least this clear (1 = perfectly periodic).
    double minimumClarity = 0.6;
    // An odd count, so the median is the figure of one frame, never the mean of two.
    int frameCount = 9;
};

// Estimates the pitch of mono over frames [begin, end). Frames quieter than quietLevel (RMS) are
// not measured.
PitchEstimate EstimatePitch(const std::vector<float>& mono, std::size_t begin, std::size_t end,
                            const PitchSearch& search, double quietLevel);

} // namespace banktest
