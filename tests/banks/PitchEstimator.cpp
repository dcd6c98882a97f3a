#include "PitchEstimator.h"

#include "LagCorrelation.h"

#include <algorithm>
#include <cmath>

namespace banktest {

namespace {

// n(lag) = 2 r(lag) / (sum x[i]^2 + sum x[i+lag]^2) over i in [0, window), with r from the
// transforms and both energies from one running sum of squares.
void SquareDifference(LagCorrelation& correlation, const float* x, int window, int maxLag,
                      std::vector<double>& squares, std::vector<double>& n) {
    correlation.Compute(x, window, maxLag, n);
    const std::size_t span = static_cast<std::size_t>(window) + static_cast<std::size_t>(maxLag);
    squares.assign(span + 1, 0.0);
    for (std::size_t i = 0; i < span; ++i)
        squares[i + 1] = squares[i] + static_cast<double>(x[i]) * x[i];
    const double head = squares[static_cast<std::size_t>(window)];
    for (std::size_t lag = 0; lag < n.size(); ++lag) {
        const double energy =
            head + (squares[lag + static_cast<std::size_t>(window)] - squares[lag]);
        n[lag] = energy > 0.0 ? 2.0 * n[lag] / energy : 0.0;
    }
}

struct Period {
    double lag = 0.0;
    double clarity = 0.0;
};

// The first maximum that comes within strongFraction of the highest one, refined between lags by
// a parabola through it and its neighbours. The lobe around lag 0 (a frame always matches itself)
// and a maximum cut off by the end of the range are not candidates.
bool ChoosePeriod(const std::vector<double>& n, double strongFraction, Period& period) {
    const std::size_t size = n.size();
    std::size_t t = 1;
    while (t < size && n[t] > 0.0) ++t;
    std::vector<std::size_t> maxima;
    while (t < size) {
        while (t < size && n[t] <= 0.0) ++t;
        if (t >= size) break;
        std::size_t best = t;
        for (; t < size && n[t] > 0.0; ++t)
            if (n[t] > n[best]) best = t;
        if (best + 1 < size) maxima.push_back(best);
    }
    if (maxima.empty()) return false;
    double highest = 0.0;
    for (std::size_t m : maxima) highest = std::max(highest, n[m]);
    for (std::size_t m : maxima) {
        if (n[m] < strongFraction * highest) continue;
        double a = n[m - 1];
        double b = n[m];
        double c = n[m + 1];
        double curvature = a - 2.0 * b + c;
        double shift = curvature < 0.0 ? 0.5 * (a - c) / curvature : 0.0;
        period.lag = static_cast<double>(m) + shift;
        period.clarity = b - 0.25 * (a - c) * shift;
        return true;
    }
    return false;
}

double Rms(const float* x, int count) {
    double sum = 0.0;
    for (int i = 0; i < count; ++i) sum += static_cast<double>(x[i]) * x[i];
    return count > 0 ? std::sqrt(sum / count) : 0.0;
}

} // namespace

PitchEstimate EstimatePitch(const std::vector<float>& mono, std::size_t begin, std::size_t end,
                            const PitchSearch& search, double quietLevel) {
    PitchEstimate estimate;
    end = std::min(end, mono.size());
    if (search.expectedHz <= 0.0 || search.sampleRate <= 0.0 || begin >= end) return estimate;
    const double expectedPeriod = search.sampleRate / search.expectedHz;
    const int maxLag = static_cast<int>(std::ceil(search.periodsSearched * expectedPeriod)) + 2;
    // At least four periods in every frame, and never fewer than 2048 samples.
    const int window = std::max(2048, static_cast<int>(std::ceil(4.0 * expectedPeriod)));
    const std::size_t span = static_cast<std::size_t>(window + maxLag);
    const std::size_t available = end - begin;
    if (available < span) return estimate;
    const int count = std::max(1, search.frameCount);

    std::vector<double> found;
    std::vector<double> n;
    std::vector<double> squares;
    LagCorrelation correlation;
    for (int k = 0; k < count; ++k) {
        std::size_t start = begin;
        if (count > 1)
            start += (available - span) * static_cast<std::size_t>(k) /
                     static_cast<std::size_t>(count - 1);
        const float* frame = mono.data() + start;
        if (Rms(frame, window) < quietLevel) continue;
        ++estimate.frames;
        SquareDifference(correlation, frame, window, maxLag, squares, n);
        Period period;
        if (!ChoosePeriod(n, search.strongFraction, period)) continue;
        if (period.clarity < search.minimumClarity || period.lag <= 0.0) continue;
        found.push_back(search.sampleRate / period.lag);
    }
    estimate.pitchedFrames = static_cast<int>(found.size());
    if (found.empty()) return estimate;
    std::sort(found.begin(), found.end());
    std::size_t middle = found.size() / 2;
    estimate.frequency =
        found.size() % 2 ? found[middle] : 0.5 * (found[middle - 1] + found[middle]);
    estimate.found = true;
    return estimate;
}

} // namespace banktest
