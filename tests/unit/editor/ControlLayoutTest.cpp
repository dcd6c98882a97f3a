// The control table: registry keys, the placements the editor relies on, image references and
// the algorithm diagram's hit rectangles.

#include "editor/ControlLayout.h"
#include "editor/ImageTable.h"

#include <gtest/gtest.h>

#include <map>

namespace {

using editor::ControlClass;
using editor::ControlSpec;
using editor::EditorControls;
using editor::FindControlByKey;
using graphics::Rect;

TEST(ControlLayout, RegistryHoldsTheStripsAndTheBrowserOnly) {
    std::map<int, int> keys;
    int common = 0;
    for (const ControlSpec& control : EditorControls()) {
        if (control.key >= 0) ++keys[control.key];
        if (control.section == editor::Section::Common) {
            ++common;
            EXPECT_EQ(control.key, -1) << "common-section controls are not registered";
        }
    }
    EXPECT_EQ(common, 36);
    for (const auto& entry : keys) EXPECT_EQ(entry.second, 1) << "key " << entry.first;
    // 4 waveform selectors, 68 strip controls, the browser's keys 107 to 373 without 108.
    EXPECT_EQ(keys.size(), 4u + 68u + 266u);
    for (int key = 2; key <= 5; ++key) {
        ASSERT_NE(FindControlByKey(key), nullptr);
        EXPECT_EQ(FindControlByKey(key)->kind, ControlClass::SwitchPopUpControl);
    }
    for (int key = 23; key <= 90; ++key) {
        ASSERT_NE(FindControlByKey(key), nullptr) << key;
        EXPECT_EQ(FindControlByKey(key)->id, key);
    }
    for (int key = editor::kFirstBrowserKey; key <= editor::kLastBrowserKey; ++key) {
        const ControlSpec* control = FindControlByKey(key);
        if (key == 108) { // the BROWSE button belongs to the main view
            EXPECT_EQ(control, nullptr);
            continue;
        }
        ASSERT_NE(control, nullptr) << key;
        EXPECT_EQ(control->section, editor::Section::Browser);
    }
    ASSERT_NE(FindControlByKey(200), nullptr);
    EXPECT_EQ(FindControlByKey(200)->kind, ControlClass::FBScrollItemControl);
    EXPECT_EQ(FindControlByKey(374), nullptr);
    EXPECT_EQ(FindControlByKey(1), nullptr);
}

TEST(ControlLayout, BrowserIsAttachedLastAndBuiltFromItsGrid) {
    const std::vector<ControlSpec>& controls = EditorControls();
    bool inBrowser = false;
    for (const ControlSpec& control : controls) {
        if (control.section == editor::Section::Browser) inBrowser = true;
        EXPECT_TRUE(!inBrowser || control.section == editor::Section::Browser)
            << "main-view control attached after the browser overlay";
    }
    const ControlSpec* last = FindControlByKey(373);
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(last->rect, Rect(828, 589, 904, 605));
    EXPECT_EQ(last->list, 1);
    EXPECT_EQ(last->item, 230);
    const ControlSpec* row21 = FindControlByKey(142);
    ASSERT_NE(row21, nullptr);
    EXPECT_EQ(row21->rect, Rect(54, 589, 289, 605));
    EXPECT_EQ(row21->list, 0);
    EXPECT_EQ(&controls.back(), last);
    const Rect browser = editor::BrowserRect();
    for (const ControlSpec& control : controls) {
        if (control.section != editor::Section::Browser) continue;
        EXPECT_EQ(control.rect.Intersection(browser), control.rect) << "key " << control.key;
    }
}

TEST(ControlLayout, PlacementsFollowImagesAndTheOperatorShift) {
    for (const ControlSpec& control : EditorControls()) {
        EXPECT_EQ(control.rect.Intersection(Rect(0, 0, 968, 640)), control.rect);
        if (control.image == editor::kNoImage) continue;
        const editor::ImageInfo* info = editor::FindImage(control.image);
        ASSERT_NE(info, nullptr) << "unknown image " << control.image;
        EXPECT_EQ(control.rect.Width(), info->FrameWidth()) << "control " << control.id;
        EXPECT_EQ(control.rect.Height(), info->FrameHeight()) << "control " << control.id;
    }
    // Operator 4's release knob and waveform selector; the program-name field halved from
    // the doubled grid with one pixel added to its top.
    EXPECT_EQ(FindControlByKey(90)->rect, Rect(892, 556, 932, 596));
    EXPECT_EQ(FindControlByKey(5)->rect, Rect(366, 560, 402, 596));
    const ControlSpec* name = nullptr;
    for (const ControlSpec& control : EditorControls()) {
        if (control.kind == ControlClass::FBPresetName && control.section == editor::Section::Common)
            name = &control;
    }
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(name->rect, Rect(82, 180, 149, 194));
    // The four-position knobs.
    std::vector<int> fourWay;
    for (const ControlSpec& control : EditorControls()) {
        if (control.image == editor::kImageSwitch4) fourWay.push_back(control.id);
    }
    EXPECT_EQ(fourWay, (std::vector<int>{20, 28, 33, 35, 45, 50, 52, 62, 67, 69, 79, 84, 86}));
}

TEST(ControlLayout, AlgorithmHitRectanglesTileTheDiagram) {
    const Rect whole = editor::AlgorithmRect();
    const auto& hits = editor::AlgorithmHitRects();
    for (int y = whole.top; y < whole.bottom; ++y) {
        for (int x = whole.left; x < whole.right; ++x) {
            int covering = 0;
            for (const Rect& hit : hits) covering += hit.Contains(x, y);
            ASSERT_EQ(covering, 1) << x << "," << y;
        }
    }
    EXPECT_TRUE(hits[0].Contains(209, 200));
    EXPECT_TRUE(hits[1].Contains(210, 200));
    EXPECT_EQ(editor::FindControlById(6)->rect, whole);
}

} // namespace
