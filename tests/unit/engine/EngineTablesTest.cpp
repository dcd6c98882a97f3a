// The shared tables: telling entries worked out by hand from their definitions, the phase ROM
// against its formula, and the margins that keep the computed tables the same on every C library.

#include <gtest/gtest.h>

#include <cmath>

#include "engine/EngineTables.h"

using namespace engine;

TEST(EngineTables, PhaseIncrementRomHasTheChipValuesAndFollowsTheFormula) {
    const int listed[13][2] = {{0, 1299},   {64, 1376},  {128, 1458}, {192, 1545}, {256, 1637},
                               {320, 1734}, {384, 1837}, {448, 1946}, {512, 2062}, {576, 2185},
                               {640, 2315}, {704, 2452}, {767, 2593}};
    for (const auto& e : listed) EXPECT_EQ(kPhaseIncrementRom[e[0]], e[1]) << e[0];
    for (int i = 0; i < 768; ++i) {
        const double exact = 1298.51 * std::pow(2.0, i / 768.0);
        EXPECT_LE(std::fabs(kPhaseIncrementRom[i] - exact), 2.0) << i;
        if (i % 64 != 0 && i != 767) {
            EXPECT_EQ(kPhaseIncrementRom[i], std::lround(exact)) << i;
        }
        if (i > 0) {
            EXPECT_GE(kPhaseIncrementRom[i], kPhaseIncrementRom[i - 1]) << i;
        }
    }
}

TEST(EngineTables, FreqRowsAreOctavesOfTheRomWithClampedEnds) {
    const EngineTables& t = Tables();
    const int d0 = 1299 * 64;
    EXPECT_EQ(t.freq[768], (d0 >> 2) & ~63); // octave 0, low bits cleared
    EXPECT_EQ(t.freq[768 * 2], (d0 >> 1) & ~63);
    EXPECT_EQ(t.freq[768 * 3], d0);
    EXPECT_EQ(t.freq[768 * 8], d0 * 32); // octave 7
    EXPECT_EQ(t.freq[0], t.freq[768]);
    EXPECT_EQ(t.freq[767], t.freq[768]);
    EXPECT_EQ(t.freq[768 * 9 - 1], 2593 * 64 * 32);
    EXPECT_EQ(t.freq[768 * 9], t.freq[768 * 9 - 1]);
    EXPECT_EQ(t.freq[kFreqIndexMax], t.freq[768 * 9 - 1]);
}

TEST(EngineTables, SineAndExponentTablesMatchHandValues) {
    const EngineTables& t = Tables();
    // sin_tab: smallest magnitude at 0 and 511 (largest attenuation), 0 at the peaks, sign bit
    // set in the negative half.
    EXPECT_EQ(t.sin[0], 4274);
    EXPECT_EQ(t.sin[1], 3462);
    EXPECT_EQ(t.sin[255], 0);
    EXPECT_EQ(t.sin[256], 0);
    EXPECT_EQ(t.sin[511], 4274);
    EXPECT_EQ(t.sin[512], 4275);
    EXPECT_EQ(t.sin[767], 1);
    EXPECT_EQ(t.sin[1023], 4275);
    // tl_tab: 8168 at full level, sign in the odd entries, halved per 512 entries.
    EXPECT_EQ(t.tl[0], 8168);
    EXPECT_EQ(t.tl[1], -8168);
    EXPECT_EQ(t.tl[2], 8148);
    EXPECT_EQ(t.tl[256], 5776);
    EXPECT_EQ(t.tl[510], 4096);
    EXPECT_EQ(t.tl[512], 4084);
    EXPECT_EQ(t.tl[512 * 12], 8168 >> 12);
    EXPECT_EQ(t.tl[512 * 12 + 1], -(8168 >> 12));
    EXPECT_EQ(t.tl[kTlTabSize], 0);
}

TEST(EngineTables, ComputedTablesStayClearOfRoundingEdges) {
    // The tables use the C library's pow, sin and log2, which may differ in the last bit between
    // systems. That cannot change an entry while every value fed to floor or trunc lies far from
    // an integer; this checks the margin.
    for (int x = 0; x < 256; ++x) {
        const double m = 65536.0 / std::pow(2.0, (x + 1) / 256.0);
        if (x == 255) {
            EXPECT_EQ(m, 32768.0); // 2^1 is exact everywhere
            continue;
        }
        EXPECT_GT(std::fabs(m - std::round(m)), 1e-9) << x;
    }
    for (int i = 0; i < 1024; ++i) {
        const double s = std::sin((2 * i + 1) * 3.14159265358979323846 / 1024.0);
        const double o2 = 2.0 * (8.0 * std::log2(1.0 / std::fabs(s)) * 32.0);
        if (std::fabs(o2) > 1e-6) {
            EXPECT_GT(std::fabs(o2 - std::round(o2)), 1e-9) << i;
        }
    }
}

TEST(EngineTables, WavesAndDetune) {
    const EngineTables& t = Tables();
    for (int i = 0; i < 1024; ++i) {
        const int l = t.sin[i];
        EXPECT_EQ(t.wave[0][i], l);
        EXPECT_EQ(t.wave[1][i], 2 * l + (l & 1)); // doubled attenuation, same sign
        EXPECT_EQ(t.wave[2][i], i < 512 ? l : t.sin[0]);
        EXPECT_EQ(t.wave[4][i], i < 512 ? t.sin[2 * i] : t.sin[0]);
        EXPECT_EQ(t.wave[6][i], i < 512 ? t.sin[2 * (i % 256)] : t.sin[0]);
    }
    // W7's two half-waves in the first half are both positive (sign bit clear).
    for (int i = 0; i < 512; ++i) EXPECT_EQ(t.wave[6][i] & 1, 0) << i;
    EXPECT_EQ(t.dt1[0 * 32 + 31], 0);
    EXPECT_EQ(t.dt1[1 * 32 + 4], 64);
    EXPECT_EQ(t.dt1[3 * 32 + 31], 22 * 64);
    EXPECT_EQ(t.dt1[7 * 32 + 31], -22 * 64);
    EXPECT_EQ(t.dt1[6 * 32 + 0], -1 * 64);
}

TEST(EngineTables, RateTables) {
    EXPECT_EQ(kRateShift[31], 0);
    EXPECT_EQ(kRateShift[32], 11);
    EXPECT_EQ(kRateShift[35], 11);
    EXPECT_EQ(kRateShift[36], 10);
    EXPECT_EQ(kRateShift[79], 0);
    EXPECT_EQ(kRateSelect[31], kEgHoldSelect);
    EXPECT_EQ(kRateSelect[33], 8);
    EXPECT_EQ(kRateSelect[79], 24);
    EXPECT_EQ(kRateSelect[80], 32);
    EXPECT_EQ(kRateSelect[91], 120);
    EXPECT_EQ(kRateSelect[92], 128);
    EXPECT_EQ(kEgInc[kEgHoldSelect + 3], 0);
    EXPECT_EQ(kEgInc[kEgInstantSelect], 16);
    EXPECT_EQ(kEgInc[13 * 8 + 3], 8);
    EXPECT_EQ(kSustainTable[15], 992);
    EXPECT_EQ(kSustainTable[14], 448);
}
