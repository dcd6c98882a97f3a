#include "common/NumberText.h"

#include <clocale>
#include <cmath>
#include <gtest/gtest.h>

using common::FormatFixed;
using common::ParseDouble;

TEST(NumberText, FormatsWithPointAndRoundsLikePrintf) {
    EXPECT_EQ(FormatFixed(6.0206, 1), "6.0");
    EXPECT_EQ(FormatFixed(-0.5, 2), "-0.50");
    EXPECT_EQ(FormatFixed(2.5, 0), "2");   // exact half: to even, as printf does
    EXPECT_EQ(FormatFixed(0.125, 2), "0.12");
    EXPECT_EQ(FormatFixed(1e20, 0), "100000000000000000000");
    EXPECT_EQ(common::FormatInt(-128), "-128");
}

TEST(NumberText, ParsesLikeStrtodInTheCLocale) {
    std::size_t used = 0;
    EXPECT_DOUBLE_EQ(ParseDouble("  0.75", &used), 0.75);
    EXPECT_EQ(used, 6u);
    EXPECT_DOUBLE_EQ(ParseDouble("+3.5dB", &used), 3.5);
    EXPECT_EQ(used, 4u);
    EXPECT_DOUBLE_EQ(ParseDouble("-1e2"), -100.0);
    EXPECT_DOUBLE_EQ(ParseDouble("abc", &used), 0.0);
    EXPECT_EQ(used, 0u);
    EXPECT_DOUBLE_EQ(ParseDouble("1,5"), 1.0); // a comma is never a decimal point
    EXPECT_TRUE(std::isnan(ParseDouble("nan")));
    EXPECT_TRUE(std::isinf(ParseDouble("-Infinity")));
    EXPECT_TRUE(std::isinf(ParseDouble("1e999")));
    EXPECT_DOUBLE_EQ(ParseDouble("1e-999"), 0.0);
    EXPECT_DOUBLE_EQ(ParseDouble(nullptr), 0.0);
}

TEST(NumberText, CopyTextCutsAndTerminates) {
    char buffer[4] = {'x', 'x', 'x', 'x'};
    common::CopyText(buffer, sizeof buffer, "Vorna");
    EXPECT_STREQ(buffer, "Vor");
    common::CopyText(buffer, sizeof buffer, nullptr);
    EXPECT_STREQ(buffer, "");
}
