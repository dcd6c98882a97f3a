// The base control classes: value handling, defaults, reporting, switch stepping, knob gearing,
// the frame that shows a value, and the value prompt.

#include "EditorTestSupport.h"

#include "graphics/BitmapControl.h"
#include "graphics/KnobControl.h"
#include "graphics/PopupMenu.h"
#include "graphics/SwitchControl.h"
#include "graphics/TextControl.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace graphics;
using editor_test::LeftButton;
using editor_test::OpenEditor;
using editor_test::RightButton;

namespace {

// A bitmap without an image: the frame count is all that stepping and frame choice read.
Bitmap FramesOnly(int frames) {
    Bitmap bitmap;
    bitmap.frames = frames;
    return bitmap;
}

Modifiers With(bool shift, bool control) {
    Modifiers m = LeftButton();
    m.shift = shift;
    m.control = control;
    return m;
}

} // namespace

TEST(FrameChoice, RoundsToTheNearestFrameWithinRange) {
    EXPECT_EQ(FrameForValue(65, 0.0), 1);
    EXPECT_EQ(FrameForValue(65, 1.0), 65);
    EXPECT_EQ(FrameForValue(65, 0.5), 33);
    EXPECT_EQ(FrameForValue(4, 1.0 / 6.0), 2); // 0.5 rounds up
    EXPECT_EQ(FrameForValue(4, 0.16), 1);
    EXPECT_EQ(FrameForValue(2, 0.49), 1);
    EXPECT_EQ(FrameForValue(2, 0.5), 2);
    EXPECT_EQ(FrameForValue(8, 7.0 / 7.0), 8);
    EXPECT_EQ(FrameForValue(8, 2.0), 8); // limited
    EXPECT_EQ(FrameForValue(8, -1.0), 1);
    EXPECT_EQ(FrameForValue(8, std::nan("")), 1);
    EXPECT_EQ(FrameForValue(1, 0.7), 1);
}

TEST(ControlValue, FirstValueFromThePluginIsTheDefaultAndDoubleClickRestoresIt) {
    OpenEditor editor;
    auto* knob = new KnobControl(editor.graphics, Rect(0, 0, 40, 40), 3);
    editor.graphics.AttachControl(knob);
    knob->SetValueFromPlugin(0.25);
    knob->SetValueFromPlugin(0.75);
    EXPECT_DOUBLE_EQ(knob->DefaultValue(), 0.25);
    editor.graphics.OnTimer();
    EXPECT_FALSE(knob->IsDirty());
    // From the plug-in: redrawn, not reported back.
    knob->SetValueFromPlugin(0.5);
    EXPECT_TRUE(knob->IsDirty());
    EXPECT_TRUE(editor.plugin.reported.empty());

    editor.graphics.OnDoubleClick(10, 20, LeftButton());
    editor.graphics.OnMouseUp(10, 20, LeftButton());
    EXPECT_DOUBLE_EQ(knob->Value(), 0.25);
    ASSERT_EQ(editor.plugin.reported.size(), 1u);
    EXPECT_EQ(editor.plugin.reported[0].first, 3);
    EXPECT_DOUBLE_EQ(editor.plugin.reported[0].second, 0.25);
    EXPECT_DOUBLE_EQ(editor.plugin.GetParam(3).Value(), 0.25);

    // A control that never got a value has no default: double-click does nothing.
    auto* fresh = new KnobControl(editor.graphics, Rect(100, 0, 140, 40), 3);
    editor.graphics.AttachControl(fresh);
    editor.graphics.OnDoubleClick(110, 20, LeftButton());
    EXPECT_EQ(editor.plugin.reported.size(), 1u);
}

TEST(ControlValue, ShowParamValueNormalizesPlainValuesAndReachesOnlyBoundControls) {
    OpenEditor editor;
    auto* intKnob = new KnobControl(editor.graphics, Rect(0, 0, 40, 40), 0);
    auto* action = new KnobControl(editor.graphics, Rect(0, 0, 40, 40), -92);
    editor.graphics.AttachControl(intKnob);
    editor.graphics.AttachControl(action);
    editor.graphics.ShowParamValue(0, 3.5, false);
    EXPECT_DOUBLE_EQ(intKnob->Value(), 0.5);
    editor.graphics.ShowParamValue(0, 99.0, false); // clamped to the maximum
    EXPECT_DOUBLE_EQ(intKnob->Value(), 1.0);
    editor.graphics.ShowParamValue(0, 0.25, true);
    EXPECT_DOUBLE_EQ(intKnob->Value(), 0.25);
    EXPECT_DOUBLE_EQ(action->Value(), 0.0);
    editor.graphics.ShowParamValue(-92, 1.0, true); // ids are never parameters
    editor.graphics.ShowParamValue(500, 1.0, true);
    EXPECT_DOUBLE_EQ(action->Value(), 0.0);

    // A negative id reports nothing when clicked or marked dirty.
    action->SetDirty(true);
    EXPECT_TRUE(editor.plugin.reported.empty());
}

TEST(KnobControl, DragOver160PixelsSpansTheRangeAnd1600WithShiftOrControl) {
    OpenEditor editor;
    auto* knob = new KnobControl(editor.graphics, Rect(0, 0, 40, 40), 3);
    editor.graphics.AttachControl(knob);

    editor.graphics.OnMouseDown(20, 20, LeftButton());
    EXPECT_TRUE(editor.window->IsPointerHidden());
    // Upwards in 160 single-pixel steps: the whole range.
    for (int y = 19; y >= -140; --y) editor.graphics.OnMouseMove(20, y, LeftButton());
    EXPECT_NEAR(knob->Value(), 1.0, 1e-9);
    // Past the end it stays at 1; back down 80 pixels is half the range.
    editor.graphics.OnMouseMove(20, -180, LeftButton());
    EXPECT_DOUBLE_EQ(knob->Value(), 1.0);
    editor.graphics.OnMouseMove(20, -100, LeftButton());
    EXPECT_NEAR(knob->Value(), 0.5, 1e-9);
    editor.graphics.OnMouseUp(20, -100, LeftButton());
    EXPECT_FALSE(editor.window->IsPointerHidden());
    EXPECT_NEAR(editor.plugin.GetParam(3).Value(), 0.5, 1e-9);

    for (bool shift : {true, false}) {
        knob->SetValueFromUserInput(0.0);
        editor.graphics.OnMouseDown(20, 20, With(shift, !shift));
        editor.graphics.OnMouseMove(20, 20 - 800, With(shift, !shift));
        EXPECT_NEAR(knob->Value(), 0.5, 1e-9);
        editor.graphics.OnMouseMove(20, 20 - 1600, With(shift, !shift));
        EXPECT_NEAR(knob->Value(), 1.0, 1e-9);
        editor.graphics.OnMouseUp(20, 20 - 1600, With(shift, !shift));
    }
    EXPECT_EQ(editor.plugin.log.front(), "begin 3");
    EXPECT_EQ(editor.plugin.log.back(), "end 3");
}

TEST(KnobControl, WheelStepIsOneHundredthAndOneThousandthWithShiftOrControl) {
    OpenEditor editor;
    auto* knob = new KnobControl(editor.graphics, Rect(0, 0, 40, 40), 3);
    editor.graphics.AttachControl(knob);
    knob->SetValueFromPlugin(0.5);
    editor.graphics.OnWheel(20, 20, Modifiers(), 120);
    EXPECT_NEAR(knob->Value(), 0.51, 1e-12);
    editor.graphics.OnWheel(20, 20, With(true, false), -120);
    EXPECT_NEAR(knob->Value(), 0.509, 1e-12);
    editor.graphics.OnWheel(20, 20, With(false, true), -240);
    EXPECT_NEAR(knob->Value(), 0.507, 1e-12);
    EXPECT_NEAR(editor.plugin.reported.back().second, 0.507, 1e-12);
    // Limited at the ends.
    editor.graphics.OnWheel(20, 20, Modifiers(), -120 * 100);
    EXPECT_DOUBLE_EQ(knob->Value(), 0.0);
}

TEST(KnobControl, HorizontalKnobsFollowTheXMovement) {
    OpenEditor editor;
    auto* knob = new KnobControl(editor.graphics, Rect(0, 0, 50, 10), 3, Direction::Horizontal);
    editor.graphics.AttachControl(knob);
    editor.graphics.OnMouseDown(5, 5, LeftButton());
    editor.graphics.OnMouseMove(105, 50, LeftButton()); // 100 of 200 pixels; y ignored
    EXPECT_NEAR(knob->Value(), 0.5, 1e-12);
}

TEST(SwitchControl, StepsThroughItsFramesAndWraps) {
    OpenEditor editor;
    auto* four = new SwitchControl(editor.graphics, Rect(0, 0, 40, 40), FramesOnly(4), 0);
    auto* single = new SwitchControl(editor.graphics, Rect(100, 0, 140, 40), FramesOnly(1), 3);
    editor.graphics.AttachControl(four);
    editor.graphics.AttachControl(single);
    std::vector<double> seen;
    for (int click = 0; click < 5; ++click) {
        editor.graphics.OnMouseDown(10, 10, LeftButton());
        editor.graphics.OnMouseUp(10, 10, LeftButton());
        seen.push_back(four->Value());
    }
    ASSERT_EQ(seen.size(), 5u);
    EXPECT_NEAR(seen[0], 1.0 / 3.0, 1e-12);
    EXPECT_NEAR(seen[1], 2.0 / 3.0, 1e-12);
    EXPECT_NEAR(seen[2], 1.0, 1e-12);
    EXPECT_EQ(seen[3], 0.0);
    EXPECT_NEAR(seen[4], 1.0 / 3.0, 1e-12);
    // Each click is reported; the Int parameter lands on its steps.
    EXPECT_EQ(editor.plugin.reported.size(), 5u);
    EXPECT_DOUBLE_EQ(editor.plugin.GetParam(0).Value(), 2.0);

    // A double-click is another click.
    editor.graphics.OnDoubleClick(10, 10, LeftButton());
    EXPECT_NEAR(four->Value(), 2.0 / 3.0, 1e-12);

    // One frame: 0 -> 1 -> 0.
    editor.graphics.OnMouseDown(110, 10, LeftButton());
    EXPECT_EQ(single->Value(), 1.0);
    editor.graphics.OnMouseDown(110, 10, LeftButton());
    EXPECT_EQ(single->Value(), 0.0);
}

TEST(SwitchControl, ContactSpringsBackOnRelease) {
    OpenEditor editor;
    auto* contact = new ContactControl(editor.graphics, Rect(0, 0, 40, 40), FramesOnly(2), 3);
    editor.graphics.AttachControl(contact);
    editor.graphics.OnMouseDown(10, 10, LeftButton());
    EXPECT_EQ(contact->Value(), 1.0);
    editor.graphics.OnMouseUp(10, 10, LeftButton());
    EXPECT_EQ(contact->Value(), 0.0);
    ASSERT_EQ(editor.plugin.reported.size(), 2u);
    EXPECT_EQ(editor.plugin.reported[1].second, 0.0);
}

TEST(SwitchPopUpControl, ClickOpensTheDisplayTextsAndTheChoiceBecomesTheValue) {
    OpenEditor editor;
    auto* selector = new SwitchPopUpControl(editor.graphics, 10, 20, FramesOnly(8), 2);
    selector->SetTargetRect(Rect(10, 20, 46, 56));
    editor.graphics.AttachControl(selector);
    editor.graphics.ShowParamValue(2, 2.0, false); // "W3"

    std::vector<std::string> labels;
    int checked = -1;
    editor.window->SetMenuChooser([&](const PopupMenu& menu) {
        for (int i = 0; i < menu.ItemCount(); ++i) {
            labels.push_back(menu.Label(i));
            if (menu.ItemAt(i).flags & PopupMenu::kChecked) checked = i;
        }
        return menu.ItemAt(5).id; // "W6"
    });
    editor.graphics.OnMouseDown(20, 30, LeftButton());
    EXPECT_EQ(labels, (std::vector<std::string>{"W1", "W2", "W3", "W4", "W5", "W6", "W7", "W8"}));
    EXPECT_EQ(checked, 2);
    // Opened at the control's bottom-left corner.
    EXPECT_EQ(editor.window->MenuX(), 10);
    EXPECT_EQ(editor.window->MenuY(), 20);
    EXPECT_NEAR(selector->Value(), 5.0 / 7.0, 1e-12);
    EXPECT_DOUBLE_EQ(editor.plugin.GetParam(2).Value(), 5.0);
    EXPECT_TRUE(selector->IsDirty());

    // Dismissed: nothing changes, nothing is reported.
    editor.window->SetMenuChooser(nullptr);
    std::size_t reports = editor.plugin.reported.size();
    editor.graphics.OnMouseDown(20, 30, LeftButton());
    EXPECT_NEAR(selector->Value(), 5.0 / 7.0, 1e-12);
    EXPECT_EQ(editor.plugin.reported.size(), reports);
}

TEST(ValuePrompt, DisabledByDefaultSoARightClickDoesNothing) {
    OpenEditor editor;
    auto* knob = new KnobControl(editor.graphics, Rect(0, 0, 40, 40), 3);
    editor.graphics.AttachControl(knob);
    editor.graphics.OnMouseDown(10, 10, RightButton());
    EXPECT_EQ(editor.window->MenusShown(), 0);
    EXPECT_FALSE(editor.window->IsTextEntryOpen());

    // Enabled on a parameter without texts: a text entry with the value's display text.
    knob->DisablePrompt(false);
    editor.graphics.OnMouseUp(10, 10, RightButton());
    editor.graphics.ShowParamValue(3, 0.25, false);
    editor.graphics.OnMouseDown(10, 10, RightButton());
    ASSERT_TRUE(editor.window->IsTextEntryOpen());
    EXPECT_EQ(editor.window->LastTextEntry().text, "0.250");
    EXPECT_EQ(editor.window->LastTextEntry().rect, Rect(0, 0, 40, 40));
}

TEST(TextControl, DrawsItsTextOnlyWhenThereIsOne) {
    OpenEditor editor;
    TextStyle style("Arial", 14, Color(255, 255, 255, 255), TextAlign::Left);
    auto* label = new TextControl(editor.graphics, Rect(0, 0, 100, 20), style);
    editor.graphics.AttachControl(label);
    editor.graphics.OnTimer();
    const Surface& empty = editor.window->Screen();
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 100; ++x) ASSERT_EQ(empty.Pixel(x, y), 0xFF000000u);
    label->SetTextFromPlugin("Hello");
    EXPECT_TRUE(label->IsDirty());
    editor.graphics.OnTimer();
    int lit = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 100; ++x) lit += editor.window->Screen().Pixel(x, y) != 0xFF000000u;
    EXPECT_GT(lit, 20);
}
