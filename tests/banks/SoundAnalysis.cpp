#include "SoundAnalysis.h"

#include <algorithm>
#include <cmath>

namespace banktest {

namespace {

std::size_t Frames(const StereoRender& render, double seconds) {
    return static_cast<std::size_t>(std::llround(seconds * render.sampleRate));
}

bool Above(const StereoRender& render, std::size_t frame, double level) {
    return std::fabs(render.left[frame]) >= level || std::fabs(render.right[frame]) >= level;
}

} // namespace

double LoudestWindowRms(const StereoRender& render, double withinSeconds, double windowSeconds,
                        double stepSeconds) {
    const std::size_t limit = std::min(render.Frames(), Frames(render, withinSeconds));
    const std::size_t window = Frames(render, windowSeconds);
    const std::size_t step = std::max<std::size_t>(1, Frames(render, stepSeconds));
    if (window == 0 || window > limit) return 0.0;
    // Running sums of squares of both channels, so each window costs two lookups.
    std::vector<double> sums(limit + 1, 0.0);
    for (std::size_t i = 0; i < limit; ++i) {
        double l = render.left[i];
        double r = render.right[i];
        sums[i + 1] = sums[i] + l * l + r * r;
    }
    double loudest = 0.0;
    for (std::size_t start = 0; start + window <= limit; start += step)
        loudest = std::max(loudest, sums[start + window] - sums[start]);
    return std::sqrt(loudest / (2.0 * static_cast<double>(window)));
}

double Peak(const StereoRender& render, std::size_t begin, std::size_t end) {
    end = std::min(end, render.Frames());
    // In floats, one channel at a time: the largest magnitude is the same sample either way, and
    // these loops run over every frame of every chord strike.
    float peak = 0.0f;
    for (const std::vector<float>* channel : {&render.left, &render.right})
        for (std::size_t i = begin; i < end; ++i) peak = std::max(peak, std::fabs((*channel)[i]));
    return peak;
}

double DcRatio(const StereoRender& render, std::size_t begin, std::size_t end) {
    end = std::min(end, render.Frames());
    if (begin >= end) return 0.0;
    double worst = 0.0;
    for (const std::vector<float>* channel : {&render.left, &render.right}) {
        double sum = 0.0;
        double squares = 0.0;
        for (std::size_t i = begin; i < end; ++i) {
            double v = (*channel)[i];
            sum += v;
            squares += v * v;
        }
        double count = static_cast<double>(end - begin);
        double rms = std::sqrt(squares / count);
        if (rms > 0.0) worst = std::max(worst, std::fabs(sum / count) / rms);
    }
    return worst;
}

double OnsetMs(const StereoRender& render, double fraction) {
    double peak = Peak(render, 0, render.Frames());
    if (peak <= 0.0) return -1.0;
    double level = peak * fraction;
    for (std::size_t i = 0; i < render.Frames(); ++i)
        if (Above(render, i, level)) return 1000.0 * static_cast<double>(i) / render.sampleRate;
    return -1.0;
}

double FadeOutMs(const StereoRender& render, std::size_t fromFrame, double threshold) {
    const std::size_t frames = render.Frames();
    fromFrame = std::min(fromFrame, frames);
    if (frames == 0) return 0.0;
    if (Above(render, frames - 1, threshold)) return -1.0;
    std::size_t last = frames;
    while (last > fromFrame && !Above(render, last - 1, threshold)) --last;
    // last is the first frame of the quiet end; nothing loud after fromFrame gives 0.
    return 1000.0 * static_cast<double>(last - fromFrame) / render.sampleRate;
}

double ToDecibels(double linear) {
    return linear > 0.0 ? 20.0 * std::log10(linear) : -999.0;
}

} // namespace banktest
