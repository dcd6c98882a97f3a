// Every text the editor can show fits its field at every larger size (125 % to 200 %), as
// TextFitTest checks at 100 %: the drop-downs' display texts, the button captions, the bank and
// program numbers and every program name. At a scale a text is drawn at its size times the scale
// into the field's device rectangle (ScaleRect), whose width rounds on its own; the text's device
// width (TextWidth at that scale) and its ink must stay inside it. Then the editor itself is
// rendered at each size with every drop-down at its widest text.

#include "InkSupport.h"

#include "editor/ControlLayout.h"
#include "editor/FBDropDown.h"
#include "editor/TextStyles.h"
#include "graphics/PngCodec.h"
#include "graphics/Scale.h"
#include "graphics/TextRenderer.h"
#include "programs/ProgramNumbering.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using editor_test::EditorInstance;
using namespace editor_test;
using namespace editor;

namespace {

constexpr int kLargerScales[] = {125, 150, 175, 200};

// Checks one text in one field (editor units) at a scale. The text is drawn on a canvas at that
// scale with room on every side it could spill to; the field keeps its position modulo 4 units,
// so its device edges round exactly as in the editor (4 units are whole device pixels at every
// offered scale).
void ExpectFitsAt(int percent, const std::string& text, const graphics::TextStyle& style,
                  const graphics::Rect& field, const std::string& where) {
    const int room = 60; // a multiple of 4
    const graphics::Rect placed =
        graphics::Rect(0, 0, field.Width(), field.Height())
            .Offset(room + ((field.left % 4) + 4) % 4, room + ((field.top % 4) + 4) % 4);
    graphics::Surface canvas(graphics::ScaleLength(placed.right + room, percent),
                             graphics::ScaleLength(placed.bottom + room, percent));
    canvas.SetScale(percent);
    canvas.Clear(graphics::Color(255, 0, 0, 0));
    const graphics::Surface blank = canvas;
    graphics::Rect drawn = placed;
    if (style.align != graphics::TextAlign::Right) drawn.right += room;
    if (style.align != graphics::TextAlign::Left) drawn.left -= room;
    drawn.bottom += room;
    graphics::DrawText(canvas, drawn, text, style);

    const graphics::Rect device = canvas.ToDevice(placed);
    const int width = graphics::TextWidth(text, style, percent);
    EXPECT_EQ(device.Width(), graphics::ScaleRect(field, percent).Width());
    EXPECT_LE(width, device.Width()) << where << " at " << percent << " %: \"" << text << "\" is "
                                     << width << " pixels wide in a field of " << device.Width();
    const Ink ink = InkOf(canvas, blank, canvas.Bounds());
    ASSERT_TRUE(ink.any) << where << " at " << percent << " %: \"" << text << "\" draws no ink";
    EXPECT_TRUE(Inside(ink.box, device))
        << where << " at " << percent << " %: the ink of \"" << text << "\" covers "
        << Describe(ink.box) << " and leaves its field " << Describe(device);
}

} // namespace

TEST(ScaledTextFit, EveryDropDownTextFitsItsFieldAtEverySize) {
    EditorInstance e;
    int fields = 0;
    for (const ControlSpec& control : EditorControls()) {
        if (control.kind != ControlClass::FBDropDown) continue;
        ++fields;
        const graphics::Rect field = control.rect.Offset(control.textDx, control.textDy);
        const std::vector<std::string> texts = DropDownTexts(e, control);
        ASSERT_FALSE(texts.empty()) << Where(control);
        for (int percent : kLargerScales)
            for (const std::string& text : texts)
                ExpectFitsAt(percent, text, MakeTextStyle(control.style), field, Where(control));
    }
    EXPECT_EQ(fields, 4 + 3 + 4);
}

TEST(ScaledTextFit, EveryButtonCaptionFitsItsButtonAtEverySize) {
    int captions = 0;
    for (const ControlSpec& control : EditorControls()) {
        if (std::string(control.caption).empty()) continue;
        if (control.kind != ControlClass::FBUtilityKick &&
            control.kind != ControlClass::FBSwitchControl)
            continue;
        ++captions;
        for (int percent : kLargerScales)
            for (int drop : {5, 6}) { // up and pressed
                graphics::Rect field = control.rect;
                field.top += drop;
                ExpectFitsAt(percent, control.caption, MakeTextStyle(control.style), field,
                             Where(control));
                if (control.altStyle != TextStyleId::None)
                    ExpectFitsAt(percent, control.caption, MakeTextStyle(control.altStyle), field,
                                 Where(control) + " (dimmed)");
            }
    }
    EXPECT_EQ(captions, 7);
}

TEST(ScaledTextFit, EveryProgramNameFitsTheNameDisplaysAtEverySize) {
    EditorInstance e;
    const std::vector<std::string> names = ProgramNameSamples(e);
    int displays = 0;
    for (const ControlSpec& control : EditorControls()) {
        if (control.kind != ControlClass::FBPresetName) continue;
        ++displays;
        for (int percent : kLargerScales)
            for (const std::string& name : names)
                ExpectFitsAt(percent, name, MakeTextStyle(control.style), control.rect,
                             Where(control));
    }
    EXPECT_EQ(displays, 2);
}

// The editor rendered at each size with every parameter drop-down at its widest text: each text
// is drawn and nothing of it is cut at its field's device edges or spills out. The pictures are
// left beside the test as scaled-text-fit-<percent>.png.
TEST(ScaledTextFit, OffscreenEditorShowsEachDropDownsWidestTextWholeAtEverySize) {
    for (int percent : kLargerScales) {
        SCOPED_TRACE(percent);
        EditorInstance e;
        e.ReopenAtScale(percent);
        std::vector<FBDropDown*> fields;
        std::vector<const ControlSpec*> specs;
        for (const ControlSpec& control : EditorControls()) {
            if (control.kind != ControlClass::FBDropDown || !control.IsParameter()) continue;
            auto* field = e.Find<FBDropDown>(control.id);
            ASSERT_NE(field, nullptr) << Where(control);
            fields.push_back(field);
            specs.push_back(&control);
        }
        ASSERT_EQ(fields.size(), 3u + 4u);

        for (FBDropDown* field : fields) field->Hide(true);
        const graphics::Surface background = e.view().RenderAll();
        std::vector<std::string> widest(fields.size());
        for (std::size_t i = 0; i < fields.size(); ++i) {
            fields[i]->Hide(false);
            const host::Param& param = e.plugin().GetParam(specs[i]->id);
            const std::vector<std::string> texts = DropDownTexts(e, *specs[i]);
            int most = 0;
            for (int t = 1; t < static_cast<int>(texts.size()); ++t)
                if (graphics::TextWidth(texts[static_cast<std::size_t>(t)], fields[i]->Style(),
                                        percent) >
                    graphics::TextWidth(texts[static_cast<std::size_t>(most)], fields[i]->Style(),
                                        percent))
                    most = t;
            fields[i]->SetValueFromPlugin(param.ToNormalized(param.Min() + most));
            widest[i] = texts[static_cast<std::size_t>(most)];
            ASSERT_EQ(fields[i]->Text(), widest[i]);
        }
        const graphics::Surface& shown = e.view().RenderAll();
        ASSERT_EQ(shown.Width(), graphics::ScaleLength(968, percent));
        graphics::SavePng(shown, "scaled-text-fit-" + std::to_string(percent) + ".png");

        for (std::size_t i = 0; i < fields.size(); ++i) {
            const graphics::Rect box = graphics::ScaleRect(fields[i]->TextRect(), percent);
            const Ink ink = InkOf(shown, background, box);
            ASSERT_TRUE(ink.any) << Where(*specs[i]) << ": \"" << widest[i] << "\" is not drawn";
            const graphics::Rect inner(box.left + 1, box.top, box.right - 1, box.bottom);
            EXPECT_TRUE(Inside(ink.box, inner))
                << Where(*specs[i]) << ": \"" << widest[i] << "\" reaches the edge of its field "
                << Describe(box) << " with ink at " << Describe(ink.box);
            const int padX = graphics::ScaleLength(8, percent);
            const int padY = graphics::ScaleLength(4, percent);
            const graphics::Rect around(box.left - padX, box.top - padY, box.right + padX,
                                        box.bottom + padY);
            const Ink spill = InkOf(shown, background, around);
            EXPECT_TRUE(Inside(spill.box, box))
                << Where(*specs[i]) << ": drawing spills to " << Describe(spill.box);
        }
    }
}
