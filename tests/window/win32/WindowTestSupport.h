#pragma once
// The fixture shared by the editor window tests, and editor positions taken from the layout
// (src/editor/MainViewLayout.cpp, BrowserLayout.cpp): the centres of the controls they drive.

#include "WindowHost.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace window_test {

class EditorWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        VORNA_REQUIRE_WINDOW_DISPLAY();
        ASSERT_TRUE(host.Loaded()) << host.host.Error();
        ASSERT_NE(host.Frame(), nullptr);
        FrameKeys().clear();
    }
    // Opens the editor and lets the first redraw ticks draw it.
    void OpenAndDraw() {
        host.PointAway();
        ASSERT_EQ(host.OpenEditor(), 1);
        ASSERT_NE(host.Editor(), nullptr);
        host.Pump(200);
    }

    WindowHost host;
};

struct Point {
    int x;
    int y;
};

constexpr Point kVolumeKnob = {74, 246};     // parameter 0, knob at (54, 224), 40 x 40
constexpr Point kInitButton = {146, 82};     // "INIT" at (121, 71), 50 x 22
constexpr Point kSendButton = {198, 82};     // ">> FB-01" at (173, 71), 50 x 22
constexpr Point kBrowseButton = {246, 94};   // (226, 74) - (266, 114)
constexpr Point kSaveMenu = {93, 106};       // "SAVE" (69, 96) - (117, 116)
constexpr Point kLoadMenu = {41, 106};       // "LOAD" (17, 96) - (65, 116)
constexpr Point kProgramNumber = {122, 148}; // (106, 138) - (138, 158)
constexpr Point kProgramName = {115, 187};   // (82, 180) - (149, 194)
constexpr Point kFactorySource = {216, 154}; // browser "FACTRY" at (191, 143), 50 x 22
constexpr Point kFirstBankRow = {150, 240};  // browser bank row 0: (54, 232) - (289, 248)
// Browser program grid cell r of column 0: (372, 45 + 17 r) - (448, 61 + 17 r).
constexpr Point GridCell(int row) {
    return {410, 53 + 17 * row};
}

} // namespace window_test
