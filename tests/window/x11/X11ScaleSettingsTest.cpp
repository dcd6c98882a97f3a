// The desktop's scale as X11 desktops publish it: the Xft.dpi line of the server's resource
// string and the GDK_SCALE environment variable, with every kind of bad value falling back.

#include "window/x11/X11ScaleSettings.h"

#include <gtest/gtest.h>

namespace {

using platform::x11::DesktopScale;
using platform::x11::ScaleFromGdkScale;
using platform::x11::ScaleFromXResources;

TEST(X11ScaleSettings, XftDpiGivesItsPercentageWhereverItStandsInTheResources) {
    EXPECT_DOUBLE_EQ(ScaleFromXResources("Xft.dpi:\t192\n"), 200.0);
    EXPECT_DOUBLE_EQ(ScaleFromXResources("Xft.dpi: 96"), 100.0);
    EXPECT_DOUBLE_EQ(ScaleFromXResources("Xft.dpi:144"), 150.0);
    EXPECT_DOUBLE_EQ(ScaleFromXResources("  Xft.dpi \t:  120.0  \r\n"), 125.0);
    EXPECT_NEAR(ScaleFromXResources("Xft.dpi:\t100.5\n"), 104.6875, 1e-9);
    EXPECT_DOUBLE_EQ(ScaleFromXResources("Xft.antialias:\t1\nXcursor.size:\t48\nXft.dpi:\t168\n"
                                         "Xft.hinting:\t1\n"),
                     175.0);
    // Later definitions override earlier ones, as in the resource database.
    EXPECT_DOUBLE_EQ(ScaleFromXResources("Xft.dpi: 96\nXft.dpi: 192\n"), 200.0);
    EXPECT_DOUBLE_EQ(ScaleFromXResources("Xft.dpi: nonsense\nXft.dpi: 144\n"), 150.0);
}

TEST(X11ScaleSettings, MissingOrUnusableXftDpiCountsAsNone) {
    const char* unusable[] = {
        "",
        "Xft.antialias: 1\nXft.hinting: 1\n",
        "Xft.dpi:",
        "Xft.dpi:   \n",
        "Xft.dpi: abc",
        "Xft.dpi: 192abc",
        "Xft.dpi: 19 2",
        "Xft.dpi: 1,5",
        "Xft.dpi: 0",
        "Xft.dpi: 0.0",
        "Xft.dpi: -192",
        "Xft.dpi: +192",
        "Xft.dpi: 1e9",
        "Xft.dpi: 23",
        "Xft.dpi: 961",
        "Xft.dpi: 99999999999999999999999999999",
        "Xft.dpi 192",
        "Xft.dpix: 192",
        "MyXft.dpi: 192",
        "xft.dpi: 192",
        // A broken later line overrides the good one before it.
        "Xft.dpi: 192\nXft.dpi: oops\n",
    };
    for (const char* resources : unusable)
        EXPECT_EQ(ScaleFromXResources(resources), 0.0) << '"' << resources << '"';
    EXPECT_EQ(ScaleFromXResources(nullptr), 0.0);
}

TEST(X11ScaleSettings, GdkScaleIsAWholeFactor) {
    EXPECT_EQ(ScaleFromGdkScale("1"), 100);
    EXPECT_EQ(ScaleFromGdkScale("2"), 200);
    EXPECT_EQ(ScaleFromGdkScale(" 3 "), 300);
    const char* unusable[] = {"",    " ",   "0",  "-2", "+2", "2.0",
                              "1.5", "two", "2x", "9",  "22", "99999999999999999999"};
    for (const char* value : unusable)
        EXPECT_EQ(ScaleFromGdkScale(value), 0) << '"' << value << '"';
    EXPECT_EQ(ScaleFromGdkScale(nullptr), 0);
}

TEST(X11ScaleSettings, XftDpiComesBeforeGdkScaleAndHundredIsLast) {
    EXPECT_DOUBLE_EQ(DesktopScale("Xft.dpi: 96\n", "2"), 100.0);
    EXPECT_DOUBLE_EQ(DesktopScale("Xft.dpi: 144\n", nullptr), 150.0);
    EXPECT_DOUBLE_EQ(DesktopScale("Xft.dpi: garbage\n", "2"), 200.0);
    EXPECT_DOUBLE_EQ(DesktopScale(nullptr, "2"), 200.0);
    EXPECT_DOUBLE_EQ(DesktopScale("Xft.dpi: -1\n", "0"), 100.0);
    EXPECT_DOUBLE_EQ(DesktopScale(nullptr, nullptr), 100.0);
    EXPECT_DOUBLE_EQ(DesktopScale("", "abc"), 100.0);
}

} // namespace
