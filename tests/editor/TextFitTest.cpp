// Every text the editor can show fits its field: each drop-down's display texts, each button
// caption, the bank and program numbers and the name display. A text is drawn without clipping
// into a canvas much larger than its field, placed as the editor places it, and its ink must stay
// inside the field; then the real editor is rendered offscreen with each drop-down at its widest
// text, and the field's ink must not touch its edges (a clipped text would).

#include "InkSupport.h"

#include "editor/ControlLayout.h"
#include "editor/FBDropDown.h"
#include "editor/TextStyles.h"
#include "graphics/PngCodec.h"
#include "graphics/TextRenderer.h"
#include "programs/ProgramNumbering.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using editor_test::EditorInstance;
using namespace editor_test;
using namespace editor;

namespace {

// The ink of text drawn as into field, but with room on every side it could spill to: the
// drawing rectangle grows away from the alignment's anchor and downwards, so the text lands where
// it lands in the field and is not clipped.
Ink UnclippedInk(const std::string& text, const graphics::TextStyle& style,
                 const graphics::Rect& field, graphics::Rect& placed) {
    const int room = 60;
    graphics::Surface canvas(field.Width() + 2 * room, field.Height() + 2 * room);
    canvas.Clear(graphics::Color(255, 0, 0, 0));
    const graphics::Surface blank = canvas;
    placed = graphics::Rect(room, room, room + field.Width(), room + field.Height());
    graphics::Rect drawn = placed;
    if (style.align != graphics::TextAlign::Right) drawn.right += room;
    if (style.align != graphics::TextAlign::Left) drawn.left -= room;
    drawn.bottom += room;
    graphics::DrawText(canvas, drawn, text, style);
    return InkOf(canvas, blank, graphics::Rect(0, 0, canvas.Width(), canvas.Height()));
}

// Fails for a text whose ink leaves field (or that draws no ink at all).
void ExpectFits(const std::string& text, TextStyleId styleId, const graphics::Rect& field,
                const std::string& where) {
    graphics::Rect placed;
    const Ink ink = UnclippedInk(text, MakeTextStyle(styleId), field, placed);
    ASSERT_TRUE(ink.any) << where << ": \"" << text << "\" draws no ink";
    EXPECT_TRUE(Inside(ink.box, placed))
        << where << ": the ink of \"" << text << "\" covers " << Describe(ink.box)
        << " and leaves its field " << Describe(placed) << " ("
        << graphics::TextWidth(text, MakeTextStyle(styleId)) << " pixels wide in a field of "
        << field.Width() << ")";
}

} // namespace

TEST(TextFit, EveryDropDownTextFitsItsField) {
    EditorInstance e;
    int fields = 0;
    for (const ControlSpec& control : EditorControls()) {
        if (control.kind != ControlClass::FBDropDown) continue;
        ++fields;
        const graphics::Rect field = control.rect.Offset(control.textDx, control.textDy);
        const std::vector<std::string> texts = DropDownTexts(e, control);
        ASSERT_FALSE(texts.empty()) << Where(control);
        for (const std::string& text : texts)
            ExpectFits(text, control.style, field, Where(control));
    }
    // Bank and program number twice (main view and browser), Mode, PMD Controller, LFO Waveform
    // and the keyboard scaling type of each operator.
    EXPECT_EQ(fields, 4 + 3 + 4);
}

TEST(TextFit, TheTextsReportedTooWideNowFit) {
    const graphics::Rect choice(0, 0, 48, 20);
    for (const char* text :
         {"Triangle", "- Linear", "+ Linear", "- Expon.", "+ Expon.", "M.Wheel", "A.Touch"})
        ExpectFits(text, TextStyleId::Choice, choice, "a 48-pixel drop-down");
    // The caption rectangle of a 50 x 22 button: its top moved down 5 pixels.
    ExpectFits(">> FB-01", TextStyleId::Caption, graphics::Rect(0, 5, 50, 22), "a button");
}

TEST(TextFit, EveryButtonCaptionFitsItsButton) {
    int captions = 0;
    for (const ControlSpec& control : EditorControls()) {
        if (std::string(control.caption).empty()) continue;
        if (control.kind != ControlClass::FBUtilityKick &&
            control.kind != ControlClass::FBSwitchControl)
            continue;
        ++captions;
        // Up and down: the caption sits one pixel lower while the button is pressed.
        for (int drop : {5, 6}) {
            graphics::Rect field = control.rect;
            field.top += drop;
            ExpectFits(control.caption, control.style, field, Where(control));
            if (control.altStyle != TextStyleId::None)
                ExpectFits(control.caption, control.altStyle, field, Where(control) + " (dimmed)");
        }
    }
    // COPY, PASTE, INIT, ">> FB-01", INTERN, FACTRY, FILE.
    EXPECT_EQ(captions, 7);
}

TEST(TextFit, EveryProgramNameFitsTheNameDisplays) {
    EditorInstance e;
    const std::vector<std::string> names = ProgramNameSamples(e);
    int displays = 0;
    for (const ControlSpec& control : EditorControls()) {
        if (control.kind != ControlClass::FBPresetName) continue;
        ++displays;
        for (const std::string& name : names)
            ExpectFits(name, control.style, control.rect, Where(control));
    }
    EXPECT_EQ(displays, 2);
}

// The editor itself, rendered offscreen with every parameter drop-down at its widest text: the
// text is drawn (there is ink in the field) and nothing of it is cut at the field's edges. The
// pictures are left beside the test as text-fit-<parameter>.png.
TEST(TextFit, OffscreenEditorShowsEachDropDownsWidestTextWhole) {
    EditorInstance e;
    int rendered = 0;
    for (const ControlSpec& control : EditorControls()) {
        if (control.kind != ControlClass::FBDropDown || !control.IsParameter()) continue;
        auto* field = e.Find<FBDropDown>(control.id);
        ASSERT_NE(field, nullptr) << Where(control);
        const host::Param& param = e.plugin().GetParam(control.id);
        const std::vector<std::string> texts = DropDownTexts(e, control);
        int widest = 0;
        for (int i = 1; i < static_cast<int>(texts.size()); ++i)
            if (graphics::TextWidth(texts[static_cast<std::size_t>(i)], field->Style()) >
                graphics::TextWidth(texts[static_cast<std::size_t>(widest)], field->Style()))
                widest = i;

        field->Hide(true);
        const graphics::Surface background = e.view().RenderAll();
        field->Hide(false);
        field->SetValueFromPlugin(param.ToNormalized(param.Min() + widest));
        ASSERT_EQ(field->Text(), texts[static_cast<std::size_t>(widest)]);
        const graphics::Surface& shown = e.view().RenderAll();
        ++rendered;
        graphics::SavePng(shown, "text-fit-" + std::to_string(control.id) + ".png");

        const graphics::Rect& box = field->TextRect();
        const Ink ink = InkOf(shown, background, box);
        ASSERT_TRUE(ink.any) << Where(control) << ": \"" << field->Text() << "\" is not drawn";
        const graphics::Rect inner(box.left + 1, box.top, box.right - 1, box.bottom);
        EXPECT_TRUE(Inside(ink.box, inner))
            << Where(control) << ": \"" << field->Text() << "\" reaches the edge of its field "
            << Describe(box) << " with ink at " << Describe(ink.box);
        // Nothing of it outside the field either.
        const graphics::Rect around(box.left - 8, box.top - 4, box.right + 8, box.bottom + 4);
        const Ink spill = InkOf(shown, background, around);
        EXPECT_TRUE(Inside(spill.box, box))
            << Where(control) << ": drawing spills to " << Describe(spill.box);
    }
    EXPECT_EQ(rendered, 3 + 4);
}
