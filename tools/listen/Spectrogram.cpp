#include "Spectrogram.h"

#include "Fft.h"

#include <algorithm>
#include <cmath>
#include <complex>

namespace listen {

namespace {

constexpr double kPi = 3.14159265358979323846;

struct Stop {
    double at;
    int r, g, b;
};

// The colour ramp from the floor (black) to full scale (pale yellow).
const Stop kRamp[] = {{0.0, 0, 0, 0},
                      {0.25, 18, 20, 110},
                      {0.5, 160, 30, 110},
                      {0.75, 240, 140, 30},
                      {1.0, 255, 250, 215}};

graphics::Color RampColour(double t) {
    t = std::clamp(t, 0.0, 1.0);
    std::size_t i = 1;
    while (i + 1 < sizeof kRamp / sizeof *kRamp && t > kRamp[i].at) ++i;
    const Stop& a = kRamp[i - 1];
    const Stop& b = kRamp[i];
    double f = (t - a.at) / (b.at - a.at);
    auto mix = [f](int x, int y) { return static_cast<int>(std::lround(x + (y - x) * f)); };
    return graphics::Color(255, mix(a.r, b.r), mix(a.g, b.g), mix(a.b, b.b));
}

std::uint32_t Opaque(graphics::Color c) {
    return 0xFF000000u | static_cast<std::uint32_t>(c.r) << 16 |
           static_cast<std::uint32_t>(c.g) << 8 | c.b;
}

} // namespace

double RowFrequency(int y, const SpectrogramLayout& layout) {
    const double top = std::max(1, layout.height - 1);
    return layout.lowestHz * std::pow(layout.highestHz / layout.lowestHz, 1.0 - y / top);
}

std::vector<std::vector<double>> SpectrogramLevels(const std::vector<float>& mono,
                                                   const SpectrogramLayout& layout) {
    const int n = layout.fftSize;
    const int hop = std::max(1, layout.hop);
    std::vector<double> window(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i)
        window[static_cast<std::size_t>(i)] = 0.5 - 0.5 * std::cos(2.0 * kPi * i / n);
    // A full-scale sine under the Hann window peaks at n / 4.
    const double reference = n / 4.0;
    const std::size_t columns = (mono.size() + static_cast<std::size_t>(hop) - 1) / hop;

    std::vector<std::vector<double>> levels(columns);
    std::vector<std::complex<double>> spectrum(static_cast<std::size_t>(n));
    std::vector<double> magnitude(static_cast<std::size_t>(n / 2 + 1));
    for (std::size_t column = 0; column < columns; ++column) {
        // Each column's window is centred on its time.
        const long long centre = static_cast<long long>(column) * hop;
        for (int i = 0; i < n; ++i) {
            long long at = centre - n / 2 + i;
            double sample = at >= 0 && at < static_cast<long long>(mono.size())
                                ? mono[static_cast<std::size_t>(at)]
                                : 0.0;
            spectrum[static_cast<std::size_t>(i)] = sample * window[static_cast<std::size_t>(i)];
        }
        if (!Fft(spectrum)) return {};
        for (std::size_t k = 0; k < magnitude.size(); ++k)
            magnitude[k] = std::abs(spectrum[k]) / reference;

        std::vector<double>& rows = levels[column];
        rows.resize(static_cast<std::size_t>(layout.height));
        const double binsPerHz = n / layout.sampleRate;
        for (int y = 0; y < layout.height; ++y) {
            // A row covers the frequencies half-way to its neighbours: the strongest bin in it
            // counts, or between bins (low rows are narrower than a bin) the interpolated level.
            double centreBin = RowFrequency(y, layout) * binsPerHz;
            double low = RowFrequency(y + 1, layout) * binsPerHz;
            double high = RowFrequency(y - 1, layout) * binsPerHz;
            low = 0.5 * (low + centreBin);
            high = 0.5 * (high + centreBin);
            std::size_t below = std::min(static_cast<std::size_t>(centreBin), magnitude.size() - 2);
            double fraction = std::min(1.0, centreBin - static_cast<double>(below));
            double value = magnitude[below] + (magnitude[below + 1] - magnitude[below]) * fraction;
            for (auto k = static_cast<std::size_t>(std::ceil(low));
                 k <= static_cast<std::size_t>(high) && k < magnitude.size(); ++k)
                value = std::max(value, magnitude[k]);
            rows[static_cast<std::size_t>(y)] =
                value > 0.0 ? 20.0 * std::log10(value) : layout.floorDb;
        }
    }
    return levels;
}

graphics::Surface DrawSpectrogram(const std::vector<std::vector<double>>& levels,
                                  const SpectrogramLayout& layout) {
    graphics::Surface picture(static_cast<int>(levels.size()), layout.height);
    if (picture.Empty()) return picture;
    for (int x = 0; x < picture.Width(); ++x) {
        const std::vector<double>& rows = levels[static_cast<std::size_t>(x)];
        for (int y = 0; y < picture.Height(); ++y)
            picture.SetPixel(
                x, y, Opaque(RampColour(1.0 - rows[static_cast<std::size_t>(y)] / layout.floorDb)));
    }
    // Guides: 100 Hz, 1 kHz and 10 kHz across, every second down.
    const graphics::Color guide(255, 255, 255, 255);
    for (double hz : {100.0, 1000.0, 10000.0}) {
        if (hz < layout.lowestHz || hz > layout.highestHz) continue;
        double top = std::max(1, layout.height - 1);
        int y = static_cast<int>(
            std::lround(top * (1.0 - std::log(hz / layout.lowestHz) /
                                         std::log(layout.highestHz / layout.lowestHz))));
        for (int x = 0; x < picture.Width(); x += 2) picture.BlendCoverage(x, y, guide, 70);
    }
    for (int second = 1;; ++second) {
        int x = static_cast<int>(std::lround(second * layout.sampleRate / layout.hop));
        if (x >= picture.Width()) break;
        for (int y = 0; y < picture.Height(); y += 2) picture.BlendCoverage(x, y, guide, 70);
    }
    return picture;
}

} // namespace listen
