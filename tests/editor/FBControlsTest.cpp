// The editor's parameter controls in the real instrument, driven through the Graphics core as a
// user drives them: knob gearing and wheel steps, the hover read-out, drop-down menus and the
// two-choice toggle, the program and bank selectors, the algorithm cells, switches and the
// waveform pop-up.

#include "VornEditorSupport.h"

#include "editor/ControlLayout.h"
#include "editor/FBAlgorithm.h"
#include "editor/FBDropDown.h"
#include "editor/FBKnobControl.h"
#include "editor/FBSwitchControl.h"
#include "engine/InstrumentParams.h"
#include "graphics/SwitchControl.h"

#include <gtest/gtest.h>

#include <vector>

using editor_test::EditorInstance;
using editor_test::Left;
using editor_test::Right;
using namespace editor;

namespace {

// Drags with the left button held (shift as given) from the control's centre by dy in steps.
void DragBy(EditorInstance& e, graphics::Control* control, int dy, bool shift) {
    graphics::Modifiers mods = Left(shift);
    const int x = EditorInstance::CentreX(control);
    int y = EditorInstance::CentreY(control);
    e.view().OnMouseDown(x, y, mods);
    const int step = dy < 0 ? -10 : 10;
    for (int moved = 0; moved != dy; moved += step) {
        y += step;
        e.view().OnMouseMove(x, y, mods);
    }
    e.view().OnMouseUp(x, y, mods);
}

std::vector<std::uint32_t> PixelsOf(const graphics::Surface& surface, const graphics::Rect& r) {
    std::vector<std::uint32_t> pixels;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x) pixels.push_back(surface.Pixel(x, y));
    return pixels;
}

// A menu chooser that picks item `item` of submenu `group` (or of the top menu when group < 0).
std::function<int(const graphics::PopupMenu&)> Pick(int group, int item) {
    return [group, item](const graphics::PopupMenu& menu) {
        const graphics::PopupMenu& holder = group < 0 ? menu : *menu.ItemAt(group).submenu;
        return holder.ItemAt(item).id;
    };
}

} // namespace

TEST(FBKnob, DraggingUp160PixelsCoversTheRangeAnd1600WithShift) {
    EditorInstance e;
    auto* knob = e.Find<FBKnobControl>(engine::kMasterVolume);
    ASSERT_NE(knob, nullptr);
    e.view().ShowParamValue(engine::kMasterVolume, 0.0, true);

    DragBy(e, knob, -80, false);
    EXPECT_DOUBLE_EQ(knob->Value(), 0.5);
    DragBy(e, knob, -80, false);
    EXPECT_DOUBLE_EQ(knob->Value(), 1.0);
    EXPECT_DOUBLE_EQ(e.plugin().GetParam(engine::kMasterVolume).Value(), 2.0);
    DragBy(e, knob, -40, false); // past the end it stays at the end
    EXPECT_DOUBLE_EQ(knob->Value(), 1.0);

    DragBy(e, knob, 1440, true);
    EXPECT_NEAR(knob->Value(), 0.1, 1e-9);
    DragBy(e, knob, 160, true);
    EXPECT_NEAR(knob->Value(), 0.0, 1e-9);
    // The host saw every gesture as one edit of that parameter.
    EXPECT_EQ(e.host().CountCalls(vst2::audioMasterBeginEdit), 5);
    EXPECT_EQ(e.host().CountCalls(vst2::audioMasterEndEdit), 5);
}

TEST(FBKnob, OneWheelStepIsAHundredthOrAThousandthWithShiftOrControl) {
    EditorInstance e;
    auto* knob = e.Find<FBKnobControl>(engine::kLfoSpeed);
    ASSERT_NE(knob, nullptr);
    e.view().ShowParamValue(engine::kLfoSpeed, 0.5, true);
    const int x = EditorInstance::CentreX(knob), y = EditorInstance::CentreY(knob);
    graphics::Modifiers none;
    e.view().OnWheel(x, y, none, 120);
    EXPECT_NEAR(knob->Value(), 0.51, 1e-12);
    e.view().OnWheel(x, y, none, -240);
    EXPECT_NEAR(knob->Value(), 0.49, 1e-12);
    graphics::Modifiers shift;
    shift.shift = true;
    e.view().OnWheel(x, y, shift, 120);
    EXPECT_NEAR(knob->Value(), 0.491, 1e-12);
    graphics::Modifiers control;
    control.control = true;
    e.view().OnWheel(x, y, control, -120);
    EXPECT_NEAR(knob->Value(), 0.490, 1e-12);
    // Reported: the parameter (0..255) follows, rounded to its step.
    EXPECT_DOUBLE_EQ(e.plugin().GetParam(engine::kLfoSpeed).Value(), 125.0);
}

TEST(FBKnob, ShowsItsValueOnlyWhileThePointerIsOverItUnlessAllValuesAreShown) {
    EditorInstance e;
    auto* knob = e.Find<FBKnobControl>(engine::kTranspose);
    ASSERT_NE(knob, nullptr);
    e.plugin().SetParamFromEditor(engine::kTranspose, e.plugin().GetParam(7).ToNormalized(-12));
    e.view().ShowParamValue(engine::kTranspose, -12, false);
    EXPECT_EQ(knob->ValueText(), "-12");
    const graphics::Rect area = knob->DrawRect();
    const auto plain = PixelsOf(e.view().RenderAll(), area);

    graphics::Modifiers none;
    e.view().OnMouseMove(EditorInstance::CentreX(knob), EditorInstance::CentreY(knob), none);
    EXPECT_TRUE(knob->IsHovered());
    EXPECT_TRUE(knob->ShowsValue());
    EXPECT_NE(PixelsOf(e.view().RenderAll(), area), plain);

    // The top 13 pixels are not the knob's: moving there leaves it.
    e.view().OnMouseMove(EditorInstance::CentreX(knob), area.top + 5, none);
    EXPECT_FALSE(knob->IsHovered());
    EXPECT_EQ(PixelsOf(e.view().RenderAll(), area), plain);

    e.plugin().Settings().showAllKnobValues = true;
    EXPECT_TRUE(knob->ShowsValue());
    EXPECT_NE(PixelsOf(e.view().RenderAll(), area), plain);
}

TEST(FBDropDown, ModeTogglesWithoutAMenu) {
    EditorInstance e;
    auto* mode = e.Find<FBDropDown>(engine::kMode);
    ASSERT_NE(mode, nullptr);
    e.plugin().SetParamFromEditor(engine::kMode, 0.0);
    e.view().ShowParamValue(engine::kMode, 0.0, true);
    EXPECT_EQ(mode->Text(), "Poly");
    e.ChooseInMenus("");
    e.Click(mode, Left());
    EXPECT_EQ(e.window().MenusShown(), 0);
    EXPECT_EQ(mode->Text(), "Mono");
    EXPECT_DOUBLE_EQ(e.plugin().GetParam(engine::kMode).Value(), 1.0);
    e.Click(mode, Right()); // any button
    EXPECT_EQ(mode->Text(), "Poly");
    EXPECT_DOUBLE_EQ(e.plugin().GetParam(engine::kMode).Value(), 0.0);
}

TEST(FBDropDown, PmdControllerMenuListsFiveEntriesWithTheCurrentOneMarked) {
    EditorInstance e;
    auto* pmd = e.Find<FBDropDown>(engine::kPmdController);
    ASSERT_NE(pmd, nullptr);
    e.plugin().SetParamFromEditor(engine::kPmdController, 0.5); // 2: "M.Wheel"
    e.view().ShowParamValue(engine::kPmdController, 2, false);
    e.ChooseInMenus("");
    e.Click(pmd, Left());
    ASSERT_EQ(e.lastMenu.size(), 5u);
    const char* texts[] = {"Off", "A.Touch", "M.Wheel", "Breath", "Foot"};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(e.lastMenu[i].text, texts[i]);
        EXPECT_EQ(e.lastMenu[i].flags, i == 2 ? graphics::PopupMenu::kChecked : 0) << i;
    }
    // Dismissed: nothing changed.
    EXPECT_DOUBLE_EQ(e.plugin().GetParam(engine::kPmdController).Value(), 2.0);

    e.ChooseInMenus("Foot");
    e.Click(pmd, Left());
    EXPECT_DOUBLE_EQ(e.plugin().GetParam(engine::kPmdController).Value(), 4.0);
    EXPECT_EQ(pmd->Text(), "Foot");
}

TEST(FBDropDown, ProgramMenuOfProgram100ListsTheNamesOfItsBankWithCheckMarks) {
    EditorInstance e;
    e.plugin().SelectProgram(100);
    auto* number = e.Find<FBDropDown>(kIdProgramNumber);
    auto* bank = e.Find<FBDropDown>(kIdBankNumber);
    ASSERT_NE(number, nullptr);
    ASSERT_NE(bank, nullptr);
    EXPECT_EQ(bank->Text(), "3");
    EXPECT_EQ(number->Text(), "05");

    e.ChooseInMenus("");
    e.Click(number, Left());
    ASSERT_EQ(e.lastMenu.size(), 4u);
    const char* groups[] = {"1 - 12", "13 - 24", "25 - 36", "37 - 48"};
    for (int g = 0; g < 4; ++g) {
        EXPECT_EQ(e.lastMenu[g].text, groups[g]);
        EXPECT_EQ(e.lastMenu[g].flags, g == 0 ? graphics::PopupMenu::kChecked : 0);
        ASSERT_EQ(e.lastMenu[g].submenu.size(), 12u);
        for (int h = 0; h < 12; ++h) {
            const int j = 12 * g + h;
            EXPECT_EQ(e.lastMenu[g].submenu[h].text,
                      std::to_string(j + 1) + " - " + e.plugin().PresetName(96 + j));
            EXPECT_EQ(e.lastMenu[g].submenu[h].flags, j == 4 ? graphics::PopupMenu::kChecked : 0);
        }
    }
    EXPECT_EQ(e.plugin().CurrentPresetIndex(), 100);

    // Item 8 of "25 - 36" is program 96 + 24 + 7.
    e.window().SetMenuChooser(Pick(2, 7));
    e.Click(number, Left());
    EXPECT_EQ(e.plugin().CurrentPresetIndex(), 127);
    EXPECT_EQ(number->Text(), "32");
}

TEST(FBDropDown, BankMenuKeepsThePositionInsideTheBank) {
    EditorInstance e;
    e.plugin().SelectProgram(50);
    auto* bank = e.Find<FBDropDown>(kIdBankNumber);
    ASSERT_NE(bank, nullptr);
    e.ChooseInMenus("Bank 3");
    e.Click(bank, Left());
    ASSERT_EQ(e.lastMenu.size(), 7u);
    for (int b = 0; b < 7; ++b) {
        EXPECT_EQ(e.lastMenu[b].text, "Bank " + std::to_string(b + 1));
        EXPECT_EQ(e.lastMenu[b].flags, b == 1 ? graphics::PopupMenu::kChecked : 0);
    }
    EXPECT_EQ(e.plugin().CurrentPresetIndex(), 98);
    EXPECT_EQ(bank->Text(), "3");
}

TEST(FBAlgorithm, TheEightCellsTileTheDiagramAndAClickPicksTheCellUnderThePointer) {
    EditorInstance e;
    auto* algorithm = e.Find<FBAlgorithm>(engine::kAlgorithm);
    ASSERT_NE(algorithm, nullptr);
    const graphics::Rect area = algorithm->DrawRect();
    ASSERT_EQ(area, graphics::Rect(177, 135, 309, 267));
    std::vector<int> covered(8, 0);
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x) {
            const int cell = algorithm->CellAt(x, y);
            ASSERT_GE(cell, 0) << x << "," << y;
            ++covered[static_cast<std::size_t>(cell)];
        }
    for (int count : covered) EXPECT_GT(count, 0);
    EXPECT_EQ(algorithm->CellAt(176, 200), -1);
    EXPECT_EQ(algorithm->CellAt(309, 200), -1);

    e.ClickAt(209, 200, Left());
    EXPECT_DOUBLE_EQ(e.plugin().GetParam(engine::kAlgorithm).Value(), 0.0); // algorithm 1
    e.ClickAt(210, 200, Right());
    EXPECT_DOUBLE_EQ(e.plugin().GetParam(engine::kAlgorithm).Value(), 1.0); // algorithm 2
    EXPECT_EQ(algorithm->AlgorithmIndex(), 1);
    e.ClickAt(300, 266, Left());
    EXPECT_EQ(algorithm->AlgorithmIndex(), 7);

    // The lit cell follows the value.
    const graphics::Rect last = AlgorithmHitRects()[7];
    const auto lit = PixelsOf(e.view().RenderAll(), last);
    e.ClickAt(178, 136, Left());
    EXPECT_NE(PixelsOf(e.view().RenderAll(), last), lit);

    // A double-click returns to the default algorithm of the parameter table.
    e.view().OnDoubleClick(250, 150, Left());
    EXPECT_DOUBLE_EQ(e.plugin().GetParam(engine::kAlgorithm).Value(), 0.0);
}

TEST(WaveSelector, AClickOffersTheEightWaveformsAndTheChoiceBecomesTheValue) {
    EditorInstance e;
    auto* wave = e.Key<graphics::SwitchPopUpControl>(engine::kOp1Wave + 2);
    ASSERT_NE(wave, nullptr);
    e.ChooseInMenus("W5");
    e.Click(wave, Left());
    ASSERT_EQ(e.lastMenu.size(), 8u);
    EXPECT_EQ(e.lastMenu[0].text, "W1");
    EXPECT_EQ(e.lastMenu[7].text, "W8");
    EXPECT_DOUBLE_EQ(e.plugin().GetParam(engine::kOp1Wave + 2).Value(), 4.0);
    EXPECT_NEAR(wave->Value(), 4.0 / 7.0, 1e-12);
}
