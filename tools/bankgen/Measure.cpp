#include "Measure.h"

#include <algorithm>
#include <cmath>

namespace bankgen {

namespace {

Window Clip(const Samples& x, Window w) {
    if (w.start > x.size()) w.start = x.size();
    w.length = std::min(w.length, x.size() - w.start);
    return w;
}

constexpr double kPi = 3.14159265358979323846;

} // namespace

double Rms(const Samples& x, Window w) {
    w = Clip(x, w);
    if (w.length == 0) return 0.0;
    double sum = 0.0;
    for (std::size_t i = w.start; i < w.start + w.length; ++i) sum += double(x[i]) * x[i];
    return std::sqrt(sum / static_cast<double>(w.length));
}

double Peak(const Samples& x, Window w) {
    w = Clip(x, w);
    double peak = 0.0;
    for (std::size_t i = w.start; i < w.start + w.length; ++i)
        peak = std::max(peak, std::fabs(double(x[i])));
    return peak;
}

double Mean(const Samples& x, Window w) {
    w = Clip(x, w);
    if (w.length == 0) return 0.0;
    double sum = 0.0;
    for (std::size_t i = w.start; i < w.start + w.length; ++i) sum += x[i];
    return sum / static_cast<double>(w.length);
}

double LoudestWindowRms(const Samples& x, std::size_t span, std::size_t windowLength,
                        std::size_t step, std::size_t* start) {
    double best = 0.0;
    std::size_t bestStart = 0;
    span = std::min(span, x.size());
    for (std::size_t s = 0; s + windowLength <= span; s += step) {
        double r = Rms(x, {s, windowLength});
        if (r > best) {
            best = r;
            bestStart = s;
        }
    }
    if (start) *start = bestStart;
    return best;
}

std::size_t FirstReaching(const Samples& x, double fraction) {
    double threshold = Peak(x, {0, x.size()}) * fraction;
    if (threshold <= 0.0) return x.size();
    for (std::size_t i = 0; i < x.size(); ++i)
        if (std::fabs(double(x[i])) >= threshold) return i;
    return x.size();
}

std::size_t TimeUntilBelow(const Samples& x, std::size_t from, double threshold) {
    std::size_t last = from;
    bool any = false;
    for (std::size_t i = from; i < x.size(); ++i)
        if (std::fabs(double(x[i])) >= threshold) {
            last = i;
            any = true;
        }
    return any ? last + 1 - from : 0;
}

namespace {

// The first maximum (after the lobe at lag 0) of the normalized square difference of the frame
// that comes within 3 % of the highest maximum; 0 when there is none or it is unclear.
double FramePeriod(const float* x, int window, int maxLag) {
    std::vector<double> n(static_cast<std::size_t>(maxLag) + 1, 0.0);
    for (int lag = 0; lag <= maxLag; ++lag) {
        double product = 0.0, energy = 0.0;
        for (int i = 0; i < window; ++i) {
            double a = x[i], b = x[i + lag];
            product += a * b;
            energy += a * a + b * b;
        }
        n[static_cast<std::size_t>(lag)] = energy > 0.0 ? 2.0 * product / energy : 0.0;
    }
    std::vector<std::size_t> peaks;
    std::size_t lag = 1;
    while (lag < n.size() && n[lag] > 0.0) ++lag; // the lobe around lag 0
    while (lag < n.size()) {
        while (lag < n.size() && n[lag] <= 0.0) ++lag;
        std::size_t top = lag;
        for (; lag < n.size() && n[lag] > 0.0; ++lag)
            if (n[lag] > n[top]) top = lag;
        if (top + 1 < n.size()) peaks.push_back(top);
    }
    double highest = 0.0;
    for (std::size_t p : peaks) highest = std::max(highest, n[p]);
    for (std::size_t p : peaks) {
        if (n[p] < 0.97 * highest) continue;
        double a = n[p - 1], b = n[p], c = n[p + 1];
        double bend = a - 2.0 * b + c;
        double offset = bend < 0.0 ? 0.5 * (a - c) / bend : 0.0;
        if (b - 0.25 * (a - c) * offset < 0.6) return 0.0;
        return static_cast<double>(p) + offset;
    }
    return 0.0;
}

} // namespace

double MedianFramePitch(const Samples& x, Window stretch, double rate, double expectedHz,
                        double quietLevel) {
    stretch = Clip(x, stretch);
    if (expectedHz <= 0.0) return 0.0;
    double period = rate / expectedHz;
    int maxLag = static_cast<int>(std::ceil(3.0 * period)) + 2;
    int window = std::max(2048, static_cast<int>(std::ceil(4.0 * period)));
    std::size_t span = static_cast<std::size_t>(window + maxLag);
    if (stretch.length < span) return 0.0;
    const int frames = 9;
    std::vector<double> found;
    for (int k = 0; k < frames; ++k) {
        std::size_t start = stretch.start + (stretch.length - span) * static_cast<std::size_t>(k) /
                                                static_cast<std::size_t>(frames - 1);
        if (Rms(x, {start, static_cast<std::size_t>(window)}) < quietLevel) continue;
        double lag = FramePeriod(x.data() + start, window, maxLag);
        if (lag > 0.0) found.push_back(rate / lag);
    }
    if (found.empty()) return 0.0;
    std::sort(found.begin(), found.end());
    std::size_t middle = found.size() / 2;
    return found.size() % 2 ? found[middle] : 0.5 * (found[middle - 1] + found[middle]);
}

double ComponentLevel(const Samples& x, Window w, double rate, double hz) {
    w = Clip(x, w);
    if (w.length < 2) return 0.0;
    double re = 0.0, im = 0.0, weight = 0.0;
    for (std::size_t i = 0; i < w.length; ++i) {
        double hann = 0.5 - 0.5 * std::cos(2.0 * kPi * double(i) / double(w.length - 1));
        double phase = 2.0 * kPi * hz * double(i) / rate;
        re += hann * x[w.start + i] * std::cos(phase);
        im -= hann * x[w.start + i] * std::sin(phase);
        weight += hann;
    }
    return 2.0 * std::sqrt(re * re + im * im) / weight;
}

double Decibels(double level) {
    return level > 0.0 ? 20.0 * std::log10(level) : -200.0;
}

} // namespace bankgen
