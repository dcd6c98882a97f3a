#include "engine/Filter.h"

#include <cmath>

#include "engine/RenderMath.h"

namespace engine {

double Filter::Process(double x) {
    return ProcessSample(x);
}

void Filter::Prepare(double& cosW, double& n) {
    const double f = std::fmin(cutoff, 0.45 * sampleRate);
    const double twoPi = 6.283185307179586;
    const double w = sampleRate > 0 ? (twoPi * f) / sampleRate : 0.0;
    const double alpha = ExactSin(w) / std::sqrt(2.0);
    cosW = ExactCos(w);
    n = 1.0 / (1.0 + alpha);
    c1 = (2.0 * cosW) * n;
    c2 = (alpha - 1.0) * n;
    x1 = x2 = y1 = y2 = 0.0;
}

void LowPass::Recompute() {
    double cosW = 0;
    double n = 0;
    Prepare(cosW, n);
    b0 = ((1.0 - cosW) / 2.0) * n;
    b1 = (1.0 - cosW) * n;
}

void HighPass::Recompute() {
    double cosW = 0;
    double n = 0;
    Prepare(cosW, n);
    b0 = ((1.0 + cosW) / 2.0) * n;
    b1 = -(1.0 + cosW) * n;
}

} // namespace engine
