#pragma once
// Measurements of rendered audio, in the terms the factory sounds promise: loudness (RMS of the
// loudest 300 ms window of the first second, windows 10 ms apart), peak, DC, onset (first time
// the output reaches -40 dB of its own peak), release (how long after note-off the output still
// reaches a threshold), the pitch, and harmonic and band spectra for the
// design reports. Samples are one channel at a fixed rate.

#include <cstdint>
#include <vector>

namespace bankgen {

using Samples = std::vector<float>;

struct Window {
    std::size_t start = 0;
    std::size_t length = 0;
};

double Rms(const Samples& x, Window w);
double Peak(const Samples& x, Window w);
double Mean(const Samples& x, Window w);

// RMS of the loudest window of windowLength samples, windows step samples apart, all inside the
// first span samples. start receives where it begins.
double LoudestWindowRms(const Samples& x, std::size_t span, std::size_t windowLength,
                        std::size_t step, std::size_t* start = nullptr);

// Index of the first sample whose magnitude reaches fraction x peak of the whole signal; the
// signal's size when none does (silence).
std::size_t FirstReaching(const Samples& x, double fraction);

// Samples from `from` until the output stays below threshold for good: 0 when it already is at
// `from`; x.size() - from when it still reaches the threshold in its last sample.
std::size_t TimeUntilBelow(const Samples& x, std::size_t from, double threshold);

// The pitch a listener would name over a stretch of a held note, measured the way the
// listening checks measure it: frames of at least 2048 samples (four periods of the expected
// pitch) spread evenly over the stretch, each giving the first maximum of its normalized square
// difference that comes within 3 % of the frame's highest one, and the median of the frames
// with a clear period (0.6 or better) that are no more than 50 dB below the peak. The lags
// searched reach three expected periods. 0 when no frame has a clear period.
double MedianFramePitch(const Samples& x, Window stretch, double rate, double expectedHz,
                        double quietLevel);

// Magnitude of the component at frequency hz in the window (Hann-weighted DFT bin), as a
// fraction of a full-scale sine's.
double ComponentLevel(const Samples& x, Window w, double rate, double hz);

double Decibels(double level);

} // namespace bankgen
