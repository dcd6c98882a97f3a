#pragma once
// 4-point cubic (Catmull-Rom) interpolation between x1 and x2 of four equally spaced samples,
// t in [0, 1). Evaluated strictly left to right as the formula is written, with t^2 = t*t and
// t^3 = t*t*t, so that every build produces the same bits.

namespace engine {

inline double CatmullRom(double x0, double x1, double x2, double x3, double t) {
    double t2 = t * t;
    double t3 = t * t * t;
    return x1 + 0.5 * t * (x2 - x0) + t2 * (x0 - 2.5 * x1 + 2.0 * x2 - 0.5 * x3) +
           t3 * (0.5 * (x3 - x0) + 1.5 * (x1 - x2));
}

} // namespace engine
