#include "engine/DeterministicMath.h"

#include <cmath>

namespace engine {
namespace detmath {

namespace {

// pi/2 in three parts of 33 bits, 33 bits and the rest, so that k * part is exact for the small
// k used here (a split reduction that keeps the products exact).
constexpr double kPiOver2Part1 = 1.5707963267341256;
constexpr double kPiOver2Part2 = 6.077100506303966e-11;
constexpr double kPiOver2Part3 = 2.0222662487959506e-21;
constexpr double kTwoOverPi = 0.6366197723675814;

// ln 2 in a 32-bit part and the rest.
constexpr double kLn2Part1 = 0.6931471806019545;
constexpr double kLn2Part2 = -4.2009150726810846e-11;
constexpr double kOneOverLn2 = 1.4426950408889634;

// Taylor series of sin on |r| <= pi/4, up to r^17 (the next term is below 1e-19 of the result).
double SinKernel(double r) {
    const double z = r * r;
    double p = 1.0 / 355687428096000.0;
    p = p * z - 1.0 / 1307674368000.0;
    p = p * z + 1.0 / 6227020800.0;
    p = p * z - 1.0 / 39916800.0;
    p = p * z + 1.0 / 362880.0;
    p = p * z - 1.0 / 5040.0;
    p = p * z + 1.0 / 120.0;
    p = p * z - 1.0 / 6.0;
    return r + (r * z) * p;
}

// Taylor series of cos on |r| <= pi/4, up to r^18.
double CosKernel(double r) {
    const double z = r * r;
    double p = -1.0 / 6402373705728000.0;
    p = p * z + 1.0 / 20922789888000.0;
    p = p * z - 1.0 / 87178291200.0;
    p = p * z + 1.0 / 479001600.0;
    p = p * z - 1.0 / 3628800.0;
    p = p * z + 1.0 / 40320.0;
    p = p * z - 1.0 / 720.0;
    p = p * z + 1.0 / 24.0;
    // 1 - z/2 + z^2 * p, with the halving exact.
    const double half = 0.5 * z;
    return (1.0 - half) + ((1.0 - (1.0 - half)) - half + (z * z) * p);
}

// x = k * pi/2 + r with |r| <= pi/4 (about); returns r and k mod 4.
double Reduce(double x, int& quadrant) {
    const double k = std::floor(x * kTwoOverPi + 0.5);
    const double r = ((x - k * kPiOver2Part1) - k * kPiOver2Part2) - k * kPiOver2Part3;
    const double m = k - 4.0 * std::floor(k / 4.0);
    quadrant = static_cast<int>(m);
    return r;
}

} // namespace

double Sin(double x) {
    if (!std::isfinite(x)) return x - x; // NaN
    int quadrant = 0;
    const double r = Reduce(x, quadrant);
    switch (quadrant) {
    case 0:
        return SinKernel(r);
    case 1:
        return CosKernel(r);
    case 2:
        return -SinKernel(r);
    default:
        return -CosKernel(r);
    }
}

double Cos(double x) {
    if (!std::isfinite(x)) return x - x;
    int quadrant = 0;
    const double r = Reduce(x, quadrant);
    switch (quadrant) {
    case 0:
        return CosKernel(r);
    case 1:
        return -SinKernel(r);
    case 2:
        return -CosKernel(r);
    default:
        return SinKernel(r);
    }
}

double Exp(double x) {
    if (std::isnan(x)) return x;
    if (x > 709.0) return HUGE_VAL;
    if (x < -745.0) return 0.0;
    const double k = std::floor(x * kOneOverLn2 + 0.5);
    const double r = (x - k * kLn2Part1) - k * kLn2Part2;
    // Taylor series of e^r on |r| <= ln2/2, up to r^14.
    double p = 1.0 / 87178291200.0;
    p = p * r + 1.0 / 6227020800.0;
    p = p * r + 1.0 / 479001600.0;
    p = p * r + 1.0 / 39916800.0;
    p = p * r + 1.0 / 3628800.0;
    p = p * r + 1.0 / 362880.0;
    p = p * r + 1.0 / 40320.0;
    p = p * r + 1.0 / 5040.0;
    p = p * r + 1.0 / 720.0;
    p = p * r + 1.0 / 120.0;
    p = p * r + 1.0 / 24.0;
    p = p * r + 1.0 / 6.0;
    p = p * r + 0.5;
    const double e = 1.0 + (r + (r * r) * p);
    return std::ldexp(e, static_cast<int>(k));
}

} // namespace detmath
} // namespace engine
