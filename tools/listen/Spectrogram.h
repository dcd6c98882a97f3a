#pragma once
// A spectrogram picture of a mono signal: time from left to right, frequency from bottom to top
// on a logarithmic scale (so octaves take equal room, as the ear hears them), level as colour from
// black through blue, red and yellow to white. Faint lines mark 100 Hz, 1 kHz and 10 kHz and every
// second.

#include "graphics/Surface.h"

#include <vector>

namespace listen {

struct SpectrogramLayout {
    double sampleRate = 44100.0;
    int fftSize = 2048;
    int hop = 256; // samples between columns
    int height = 300;
    double lowestHz = 40.0;
    double highestHz = 16000.0;
    double floorDb = -100.0; // drawn black; 0 dB (a full-scale sine) is drawn white
};

// The level of each column and row in dB relative to a full-scale sine: columns x rows, row 0 at
// the highest frequency.
std::vector<std::vector<double>> SpectrogramLevels(const std::vector<float>& mono,
                                                   const SpectrogramLayout& layout);

// The frequency drawn in row y (0 = top).
double RowFrequency(int y, const SpectrogramLayout& layout);

// The picture of the levels.
graphics::Surface DrawSpectrogram(const std::vector<std::vector<double>>& levels,
                                  const SpectrogramLayout& layout);

} // namespace listen
