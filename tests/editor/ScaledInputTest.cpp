// Input at every offered size, as a window delivers it: synthetic events in device pixels on the
// offscreen window. A knob drag scaled with the editor turns Master Volume as far at every size,
// the same device distance less at larger sizes, and a drag in small steps as far as one in a
// single move; the wheel turns a knob; the program arrows step the program; the drop-downs and the
// option menu open at their scaled place and apply the choice; and the pointer hits a control from
// the first device pixel drawn for it to the last, and misses it just outside.

#include "VornEditorSupport.h"

#include "editor/ControlLayout.h"
#include "editor/FBDropDown.h"
#include "editor/FBKnobControl.h"
#include "editor/FBPresetName.h"
#include "editor/FBUtilityKick.h"
#include "engine/InstrumentParams.h"
#include "graphics/Scale.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using editor_test::EditorInstance;
using editor_test::Left;
using editor_test::Right;
using graphics::ScaleCoord;
using graphics::ScaleLength;
using namespace editor;

namespace {

constexpr int kScales[] = {100, 125, 150, 175, 200};

// The first device pixel of a control's centre unit at the editor's scale.
int DeviceCentreX(EditorInstance& e, graphics::Control* control) {
    return ScaleCoord(EditorInstance::CentreX(control), e.view().ScalePercent());
}
int DeviceCentreY(EditorInstance& e, graphics::Control* control) {
    return ScaleCoord(EditorInstance::CentreY(control), e.view().ScalePercent());
}

void ClickDevice(EditorInstance& e, int x, int y) {
    e.view().OnMouseDown(x, y, Left());
    e.view().OnMouseUp(x, y, Left());
}

void ClickCentre(EditorInstance& e, graphics::Control* control) {
    ClickDevice(e, DeviceCentreX(e, control), DeviceCentreY(e, control));
}

// Drags a knob up from its centre by `distance` device pixels in moves of `step` pixels (the last
// one shorter), and answers the knob's value afterwards.
double DragUp(EditorInstance& e, graphics::Control* knob, int distance, int step) {
    const int x = DeviceCentreX(e, knob);
    int y = DeviceCentreY(e, knob);
    const int end = y - distance;
    e.view().OnMouseDown(x, y, Left());
    while (y != end) {
        y = std::max(end, y - step);
        e.view().OnMouseMove(x, y, Left());
    }
    e.view().OnMouseUp(x, y, Left());
    return knob->Value();
}

} // namespace

// The device pixels drawn for unit u run from ScaleCoord(u) to ScaleCoord(u + 1) - 1; the input
// side must give every one of them back to u, also left of and above the editor.
TEST(ScaledInput, EveryDevicePixelMapsBackToTheUnitItIsDrawnFor) {
    for (int percent : kScales) {
        for (int unit = -20; unit <= 1000; ++unit) {
            const int first = ScaleCoord(unit, percent), next = ScaleCoord(unit + 1, percent);
            ASSERT_LT(first, next) << percent << " % unit " << unit;
            for (int device = first; device < next; ++device)
                ASSERT_EQ(graphics::UnscaleCoord(device, percent), unit)
                    << percent << " % device pixel " << device;
        }
        // The smallest unit rectangle that covers a device rectangle.
        const graphics::Rect device(ScaleCoord(3, percent), ScaleCoord(7, percent) - 1,
                                    ScaleCoord(11, percent) + 1, ScaleCoord(20, percent));
        EXPECT_EQ(graphics::UnscaleRect(device, percent), graphics::Rect(3, 6, 12, 20)) << percent;
    }
}

TEST(ScaledInput, AKnobDragScaledWithTheEditorTurnsMasterVolumeAlikeAtEverySize) {
    EditorInstance e;
    for (int percent : kScales) {
        SCOPED_TRACE(percent);
        e.ReopenAtScale(percent);
        auto* knob = e.Find<FBKnobControl>(engine::kMasterVolume);
        ASSERT_NE(knob, nullptr);
        const host::Param& volume = e.plugin().GetParam(engine::kMasterVolume);
        // 80 editor units are half the range; the way is measured in units whatever the steps.
        for (int step : {1, 3, 7, 1000}) {
            SCOPED_TRACE(step);
            e.view().ShowParamValue(engine::kMasterVolume, 0.0, true);
            EXPECT_NEAR(DragUp(e, knob, ScaleLength(80, percent), step), 0.5, 1e-9);
            EXPECT_NEAR(volume.ToNormalized(), 0.5, 1e-9);
        }
    }
}

TEST(ScaledInput, TheSameDeviceDistanceTurnsTheKnobLessAtLargerSizes) {
    EditorInstance e;
    double previous = 2.0;
    for (int percent : kScales) {
        SCOPED_TRACE(percent);
        e.ReopenAtScale(percent);
        auto* knob = e.Find<FBKnobControl>(engine::kMasterVolume);
        ASSERT_NE(knob, nullptr);
        e.view().ShowParamValue(engine::kMasterVolume, 0.0, true);
        const double turned = DragUp(e, knob, 80, 1);
        // 80 device pixels are 80 x 100 / percent units of the 160 the range takes, give or take
        // the unit the drag ends inside.
        EXPECT_NEAR(turned, 80.0 * 100.0 / percent / 160.0, 1.0 / 160.0 + 1e-9);
        EXPECT_LT(turned, previous);
        previous = turned;
    }
}

TEST(ScaledInput, TheWheelTurnsAKnobByOneStepAtEverySize) {
    EditorInstance e;
    for (int percent : kScales) {
        SCOPED_TRACE(percent);
        e.ReopenAtScale(percent);
        auto* knob = e.Find<FBKnobControl>(engine::kLfoSpeed);
        ASSERT_NE(knob, nullptr);
        e.view().ShowParamValue(engine::kLfoSpeed, 0.5, true);
        graphics::Modifiers none;
        e.view().OnWheel(DeviceCentreX(e, knob), DeviceCentreY(e, knob), none, 120);
        EXPECT_NEAR(knob->Value(), 0.51, 1e-12);
        e.view().OnWheel(DeviceCentreX(e, knob), DeviceCentreY(e, knob), none, -240);
        EXPECT_NEAR(knob->Value(), 0.49, 1e-12);
        EXPECT_NEAR(e.plugin().GetParam(engine::kLfoSpeed).ToNormalized(), 0.49, 0.5 / 255);
    }
}

TEST(ScaledInput, TheProgramArrowsStepTheProgramAtEverySize) {
    EditorInstance e;
    for (int percent : kScales) {
        SCOPED_TRACE(percent);
        e.ReopenAtScale(percent);
        auto* previous = e.Find<FBUtilityKick>(kIdPrevProgram);
        auto* next = e.Find<FBUtilityKick>(kIdNextProgram);
        ASSERT_NE(previous, nullptr);
        ASSERT_NE(next, nullptr);
        e.plugin().SelectProgram(10);
        ClickCentre(e, next);
        EXPECT_EQ(e.plugin().CurrentPresetIndex(), 11);
        ClickCentre(e, previous);
        ClickCentre(e, previous);
        EXPECT_EQ(e.plugin().CurrentPresetIndex(), 9);
    }
}

TEST(ScaledInput, ADropDownMenuOpensBelowItsScaledFieldAndItsChoiceIsApplied) {
    EditorInstance e;
    const int type = engine::OperatorParamIndex(3, engine::kOpKeyScalingType);
    const std::vector<host::DisplayText>& texts = e.plugin().GetParam(type).DisplayTexts();
    ASSERT_GE(texts.size(), 4u);
    for (int percent : kScales) {
        SCOPED_TRACE(percent);
        e.ReopenAtScale(percent);
        auto* field = e.Find<FBDropDown>(type);
        ASSERT_NE(field, nullptr);
        const int choice = percent / 25 % 4; // a different choice at each size
        e.plugin().SetParamFromEditor(type,
                                      e.plugin().GetParam(type).ToNormalized(
                                          e.plugin().GetParam(type).Min() + (choice + 1) % 4));
        const int shown = e.window().MenusShown();
        e.ChooseInMenus(texts[static_cast<std::size_t>(choice)].text);
        ClickCentre(e, field);
        ASSERT_EQ(e.window().MenusShown(), shown + 1);
        EXPECT_EQ(e.window().MenuX(), ScaleCoord(field->DrawRect().left, percent));
        EXPECT_EQ(e.window().MenuY(), ScaleCoord(field->DrawRect().bottom, percent));
        EXPECT_EQ(field->Text(), texts[static_cast<std::size_t>(choice)].text);
        EXPECT_DOUBLE_EQ(e.plugin().GetParam(type).Value(),
                         e.plugin().GetParam(type).Min() + choice);
    }
}

TEST(ScaledInput, TheOptionMenuOpensBelowItsScaledButtonAndRunsTheChoice) {
    EditorInstance e;
    for (int percent : kScales) {
        SCOPED_TRACE(percent);
        e.ReopenAtScale(percent);
        graphics::Control* button = e.Find(kIdMainMenu);
        ASSERT_NE(button, nullptr);
        const bool thru = e.plugin().Settings().midiThru;
        e.ChooseInMenus("MIDI Thru");
        ClickCentre(e, button);
        EXPECT_EQ(e.window().MenuX(), ScaleCoord(button->DrawRect().left, percent));
        EXPECT_EQ(e.window().MenuY(), ScaleCoord(button->DrawRect().bottom, percent));
        EXPECT_EQ(e.plugin().Settings().midiThru, !thru);
    }
}

// The device pixels of a unit are those from its own edge, ScaleCoord(u), to the next unit's.
// Moving the pointer to the first and last device pixel inside each edge of every control's
// target rectangle must find what the editor finds at that unit, and the pixel just beyond, what
// it finds at the unit beyond. Mostly that is the control itself inside and something else
// outside.
TEST(ScaledInput, ThePointerHitsAControlExactlyOnTheDevicePixelsDrawnForIt) {
    EditorInstance e;
    for (int percent : kScales) {
        SCOPED_TRACE(percent);
        e.ReopenAtScale(percent);
        graphics::Modifiers none;
        int itself = 0, checked = 0;
        for (int i = 1; i < e.view().ControlCount(); ++i) {
            graphics::Control* control = e.view().GetControl(i);
            const graphics::Rect r = control->TargetRect();
            if (control->IsHidden() || r.Empty()) continue;
            const int midX = (r.left + r.right) / 2, midY = (r.top + r.bottom) / 2;
            struct Probe {
                int deviceX, deviceY, unitX, unitY;
                bool inside;
            };
            const Probe probes[] = {
                {ScaleCoord(r.left, percent), ScaleCoord(midY, percent), r.left, midY, true},
                {ScaleCoord(r.left, percent) - 1, ScaleCoord(midY, percent), r.left - 1, midY,
                 false},
                {ScaleCoord(r.right, percent) - 1, ScaleCoord(midY, percent), r.right - 1, midY,
                 true},
                {ScaleCoord(r.right, percent), ScaleCoord(midY, percent), r.right, midY, false},
                {ScaleCoord(midX, percent), ScaleCoord(r.top, percent), midX, r.top, true},
                {ScaleCoord(midX, percent), ScaleCoord(r.top, percent) - 1, midX, r.top - 1, false},
                {ScaleCoord(midX, percent), ScaleCoord(r.bottom, percent) - 1, midX, r.bottom - 1,
                 true},
                {ScaleCoord(midX, percent), ScaleCoord(r.bottom, percent), midX, r.bottom, false},
            };
            for (const Probe& probe : probes) {
                const int expected = e.view().FindControl(probe.unitX, probe.unitY, true);
                e.view().OnMouseMove(probe.deviceX, probe.deviceY, none);
                ++checked;
                if (probe.inside && expected == i) ++itself;
                EXPECT_EQ(e.view().MouseOverControl(), expected)
                    << "control " << i << " (id " << control->ParamIndex() << ") target " << r.left
                    << "," << r.top << "," << r.right << "," << r.bottom
                    << (probe.inside ? ": just inside at device (" : ": just outside at device (")
                    << probe.deviceX << ", " << probe.deviceY << ")";
            }
        }
        // Nearly every control is on top at its own edges.
        EXPECT_GT(itself, checked / 2 - checked / 10);
    }
}

TEST(ScaledInput, AClickJustInsideTheNextButtonsScaledEdgeStepsAndJustOutsideDoesNot) {
    EditorInstance e;
    for (int percent : kScales) {
        SCOPED_TRACE(percent);
        e.ReopenAtScale(percent);
        auto* next = e.Find<FBUtilityKick>(kIdNextProgram);
        ASSERT_NE(next, nullptr);
        const graphics::Rect r = graphics::ScaleRect(next->TargetRect(), percent);
        const int midX = DeviceCentreX(e, next), midY = DeviceCentreY(e, next);
        const int inside[][2] = {
            {r.left, midY}, {r.right - 1, midY}, {midX, r.top}, {midX, r.bottom - 1}};
        const int outside[][2] = {
            {r.left - 1, midY}, {r.right, midY}, {midX, r.top - 1}, {midX, r.bottom}};
        for (const auto& point : inside) {
            e.plugin().SelectProgram(20);
            ClickDevice(e, point[0], point[1]);
            EXPECT_EQ(e.plugin().CurrentPresetIndex(), 21)
                << "just inside at (" << point[0] << ", " << point[1] << ")";
        }
        for (const auto& point : outside) {
            e.plugin().SelectProgram(20);
            ClickDevice(e, point[0], point[1]);
            EXPECT_EQ(e.plugin().CurrentPresetIndex(), 20)
                << "just outside at (" << point[0] << ", " << point[1] << ")";
        }
    }
}

TEST(ScaledInput, TheNameEntryOpensOverTheScaledFieldWithTheScaleForItsText) {
    EditorInstance e;
    for (int percent : kScales) {
        SCOPED_TRACE(percent);
        e.ReopenAtScale(percent);
        auto* name = e.Find<FBPresetName>(kNoId);
        ASSERT_NE(name, nullptr);
        const int x = DeviceCentreX(e, name), y = DeviceCentreY(e, name);
        e.view().OnMouseDown(x, y, Right());
        e.view().OnMouseUp(x, y, Right());
        ASSERT_TRUE(e.window().IsTextEntryOpen());
        const graphics::TextEntryRequest& request = e.window().LastTextEntry();
        EXPECT_EQ(request.rect, graphics::ScaleRect(name->DrawRect(), percent));
        EXPECT_EQ(request.scale, percent);
        EXPECT_EQ(request.style.size, 14); // editor units; the window draws it at the scale
        e.window().Type("Scaled");
        e.view().OnTextEntryCommit();
        e.view().OnTimer();
        EXPECT_EQ(e.plugin().PresetName(e.plugin().CurrentPresetIndex()), "Scaled ");
    }
}
