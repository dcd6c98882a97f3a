#include "engine/ChipFilter.h"

#include "engine/RenderMath.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <initializer_list>

namespace engine {

namespace {

// The 10th-order Bessel low-pass normalised to 1 rad/s at -3 dB: one of each conjugate pair.
constexpr double kPoles[5][2] = {
    {-1.927619691324482, 0.2416234709451774},  {-1.8421962445659017, 0.7272575977534836},
    {-1.6618102413500957, 1.221100218591516},  {-1.3606922783857325, 1.73350574265843},
    {-0.8657569017089488, 2.2926048309837426},
};

constexpr double kPi = 3.141592653589793;

struct Complex {
    double re;
    double im;
};

// Written out rather than left to the library so that the order of operations is fixed.
Complex Multiply(Complex a, Complex b) {
    return {a.re * b.re - a.im * b.im, a.re * b.im + a.im * b.re};
}

} // namespace

void ChipFilter::Design(double normalizedCutoff) {
    double w = 2.0 * kPi * normalizedCutoff;
    // Denominator polynomial 1 + a1 z^-1 + ... + a10 z^-10, built one root at a time: each pole,
    // then its conjugate.
    Complex a[kOrder + 1] = {};
    a[0] = {1.0, 0.0};
    int k = 0;
    for (const auto& pole : kPoles) {
        double sigma = pole[0] * w;
        double omega = pole[1] * w;
        double radius = ExactExp(sigma);
        Complex z{radius * ExactCos(omega), radius * ExactSin(omega)};
        for (Complex root : {z, Complex{z.re, -z.im}}) {
            ++k;
            for (int j = k; j >= 1; --j) {
                Complex product = Multiply(root, a[j - 1]);
                a[j] = {a[j].re - product.re, a[j].im - product.im};
            }
        }
    }
    Complex sum = a[0];
    for (int j = 1; j <= kOrder; ++j) sum = {sum.re + a[j].re, sum.im + a[j].im};
    g_ = std::sqrt(sum.re * sum.re + sum.im * sum.im);
    for (int j = 1; j <= kOrder; ++j) c_[j - 1] = -a[j].re;
}

void ChipFilter::ClearHistory() {
    for (double& y : y_) y = 0.0;
}

} // namespace engine
