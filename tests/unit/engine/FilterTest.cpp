// The biquads: coefficients identical on every build, DC behaviour, non-finite values.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

#include "engine/Filter.h"

using namespace engine;

namespace {

int64_t UlpDistance(double a, double b) {
    int64_t x;
    int64_t y;
    std::memcpy(&x, &a, 8);
    std::memcpy(&y, &b, 8);
    if (x < 0) x = std::numeric_limits<int64_t>::min() - x;
    if (y < 0) y = std::numeric_limits<int64_t>::min() - y;
    return x > y ? x - y : y - x;
}

uint64_t Bits(double d) {
    uint64_t u;
    std::memcpy(&u, &d, 8);
    return u;
}

} // namespace

TEST(Filter, OperatorLowPassCoefficientsAreTheSameBitsOnEveryBuild) {
    // 3500 Hz at the chip rate; these bit patterns were computed once and must come out on the
    // Linux and both Windows builds alike.
    LowPass f(62500.0, 3500.0);
    EXPECT_EQ(Bits(f.b0), 0x3f9938c4203493caull);
    EXPECT_EQ(Bits(f.b1), 0x3fa938c4203493caull);
    EXPECT_EQ(Bits(f.c1), 0x3ff82740c68d2c7bull);
    EXPECT_EQ(Bits(f.c2), 0xbfe3759a1120eb6full);
    // And they are the textbook formula, up to the last bit of the library's sin and cos.
    const double w = (6.283185307179586 * 3500.0) / 62500.0;
    const double alpha = std::sin(w) / std::sqrt(2.0);
    const double n = 1.0 / (1.0 + alpha);
    EXPECT_LE(UlpDistance(f.b0, ((1.0 - std::cos(w)) / 2.0) * n), 4);
    EXPECT_LE(UlpDistance(f.c1, (2.0 * std::cos(w)) * n), 4);
    EXPECT_LE(UlpDistance(f.c2, (alpha - 1.0) * n), 4);
    // The initial operator filter at 44 100 Hz.
    LowPass g(44100.0, 3500.0);
    EXPECT_EQ(Bits(g.b0), 0x3fa74bfd3bbad898ull);
    EXPECT_EQ(Bits(g.c2), 0xbfdfa70d2ab8932bull);
}

TEST(Filter, LowPassPassesDcAndHighPassBlocksIt) {
    LowPass low(1000.0, 10.0);
    HighPass high(44100.0, 16.0);
    double l = 0;
    double h = 0;
    for (int i = 0; i < 20000; ++i) {
        l = low.Process(1.0);
        h = high.Process(1.0);
    }
    EXPECT_NEAR(l, 1.0, 1e-9);
    EXPECT_NEAR(h, 0.0, 1e-6);
    // The cutoff is held below 0.45 of the rate.
    LowPass clamped(1000.0, 900.0);
    LowPass limit(1000.0, 450.0);
    EXPECT_EQ(clamped.b0, limit.b0);
    EXPECT_EQ(clamped.c1, limit.c1);
}

TEST(Filter, NonFiniteValuesAreFlushedAndNeverStay) {
    LowPass f(62500.0, 3500.0);
    for (int i = 0; i < 10; ++i) f.Process(100.0);
    const double expected = ((f.b0 * (0.0 + f.x2) + f.b1 * f.x1) + f.c1 * f.y1) + f.c2 * f.y2;
    EXPECT_EQ(f.Process(std::numeric_limits<double>::quiet_NaN()), expected)
        << "a NaN input counts as 0";
    f.y1 = std::numeric_limits<double>::infinity();
    f.x2 = std::numeric_limits<double>::quiet_NaN();
    f.y2 = 1e-310; // subnormal
    const double y = f.Process(1.0);
    EXPECT_TRUE(std::isfinite(y));
    for (int i = 0; i < 100; ++i) EXPECT_TRUE(std::isfinite(f.Process(0.0)));
    // A decaying state reaches exactly zero instead of lingering in subnormals.
    for (int i = 0; i < 200000; ++i) f.Process(0.0);
    EXPECT_EQ(f.y1, 0.0);
    EXPECT_EQ(f.Process(0.0), 0.0);
}
