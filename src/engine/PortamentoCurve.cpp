#include "engine/PortamentoCurve.h"

#include <cmath>

namespace engine {

double PortamentoSeconds(double value) {
    static const double kTimes[9] = {0, 0.18, 0.34, 0.42, 0.512, 0.75, 1.0, 2.4, 5.3};
    if (!(value > 0)) return 0.0; // also NaN
    const double n = value / 127.0;
    const double g = 8.0 * (n * n);
    const double i = std::floor(g);
    if (i >= 8) return 5.3;
    const int k = static_cast<int>(i);
    return kTimes[k] + (kTimes[k + 1] - kTimes[k]) * (g - i);
}

} // namespace engine
