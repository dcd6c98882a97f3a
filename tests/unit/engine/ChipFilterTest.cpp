#include "engine/ChipFilter.h"
#include "engine/RenderMath.h"

#include <cmath>
#include <complex>
#include <gtest/gtest.h>
#include <limits>

using engine::ChipFilter;

namespace {

ChipFilter Designed() {
    ChipFilter filter;
    filter.Design(ChipFilter::kChipCutoff);
    filter.ClearHistory();
    return filter;
}

// |H| in dB at frequency hz for a filter running at the chip rate.
double ResponseDb(const ChipFilter& filter, double hz) {
    const double pi = 3.141592653589793;
    std::complex<double> denominator = 1.0;
    for (int k = 1; k <= ChipFilter::kOrder; ++k)
        denominator -= filter.Coefficient(k) * std::polar(1.0, -2.0 * pi * hz * k / 62500.0);
    return 20.0 * std::log10(std::abs(filter.Gain() / denominator));
}

} // namespace

TEST(ChipFilter, ResponseRisesTowardsTheChipNyquistFrequency) {
    ChipFilter filter = Designed();
    EXPECT_NEAR(ResponseDb(filter, 0.0), 0.0, 1e-9);
    EXPECT_NEAR(ResponseDb(filter, 6250.0), 0.65, 0.05);
    EXPECT_NEAR(ResponseDb(filter, 12500.0), 2.4, 0.05);
    EXPECT_NEAR(ResponseDb(filter, 18000.0), 4.3, 0.05);
    EXPECT_NEAR(ResponseDb(filter, 31250.0), 6.5, 0.05);
}

TEST(ChipFilter, ConstantInputComesOutAtTheSameLevel) {
    ChipFilter filter = Designed();
    double y = 0.0;
    for (int n = 0; n < 200; ++n) y = filter.Process(0.37);
    EXPECT_NEAR(y, 0.37, 1e-12);
}

TEST(ChipFilter, ToneAtEighteenKilohertzIsRaisedInTheTimeDomain) {
    ChipFilter filter = Designed();
    const double pi = 3.141592653589793;
    double peak = 0.0;
    for (int n = 0; n < 4000; ++n) {
        double y = filter.Process(std::sin(2.0 * pi * 18000.0 * n / 62500.0));
        if (n > 1000) peak = std::max(peak, std::fabs(y));
    }
    EXPECT_NEAR(20.0 * std::log10(peak), 4.3, 0.1);
}

TEST(ChipFilter, MappedPolesLieNearTheOrigin) {
    // c10 is the product of the ten poles (sign aside): their magnitudes are at most about 0.21.
    ChipFilter filter = Designed();
    EXPECT_GT(std::fabs(filter.Coefficient(10)), 0.0);
    EXPECT_LT(std::fabs(filter.Coefficient(10)), std::pow(0.21, 10));
    EXPECT_LT(std::fabs(filter.Coefficient(1)), 10 * 0.21);
}

TEST(ChipFilter, SubnormalResultsAreFlushedToPositiveZero) {
    ChipFilter filter = Designed();
    filter.Process(1.0);
    double y = 1.0;
    int n = 0;
    // An impulse response dies away; every output is either normal or exactly +0.
    for (; n < 5000 && y != 0.0; ++n) {
        y = filter.Process(0.0);
        ASSERT_TRUE(y == 0.0 || std::isnormal(y)) << n;
    }
    EXPECT_EQ(y, 0.0);
    EXPECT_FALSE(std::signbit(y));
    double tiny = std::numeric_limits<double>::denorm_min();
    EXPECT_EQ(filter.Process(tiny), 0.0);
    EXPECT_FALSE(std::signbit(filter.Process(-tiny)));
}

TEST(RenderMath, ExactFunctionsAgreeWithTheLibraryToTheLastBitOrSo) {
    // The exact routines are correctly rounded; the library is allowed one ulp of slack.
    for (double x = -6.0; x <= 6.0; x += 0.0137) {
        EXPECT_NEAR(engine::ExactExp(x), std::exp(x), std::exp(x) * 2.3e-16) << x;
        EXPECT_NEAR(engine::ExactSin(x), std::sin(x), 2.3e-16) << x;
        EXPECT_NEAR(engine::ExactCos(x), std::cos(x), 2.3e-16) << x;
    }
    EXPECT_EQ(engine::ExactExp(0.0), 1.0);
    EXPECT_EQ(engine::ExactSin(0.0), 0.0);
    EXPECT_EQ(engine::ExactCos(0.0), 1.0);
    EXPECT_EQ(engine::ExactExp(1.0), 2.718281828459045);
    EXPECT_EQ(engine::ExactSin(1.0), 0.8414709848078965);
    // The arguments of the chip filter design, with their correctly rounded results (computed
    // at 300 bits): exp of the scaled real parts, cos and sin of the scaled imaginary parts.
    const double design[5][5] = {
        {-3.4881384160396895, 0.03055770498874485, 0.43723153224359196, 0.9059273941955535,
         0.42343306017132665},
        {-3.333559788517791, 0.03566591570115555, 1.3160143447889499, 0.25203443463055947,
         0.9677182667287284},
        {-3.0071409672301868, 0.04943280693422159, 2.2096508981898224, -0.5962763063760381,
         0.8027792762986281},
        {-2.462250738570033, 0.08524287546490605, 3.13687808990867, -0.9999888864652335,
         0.0047145462159543855},
        {-1.5666367807892125, 0.2087460618560818, 4.148599964891325, -0.5343926399623973,
         -0.8452363612351398},
    };
    for (const auto& row : design) {
        EXPECT_EQ(engine::ExactExp(row[0]), row[1]) << row[0];
        EXPECT_EQ(engine::ExactCos(row[2]), row[3]) << row[2];
        EXPECT_EQ(engine::ExactSin(row[2]), row[4]) << row[2];
    }
}
