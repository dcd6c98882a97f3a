// The main view's background: the window, the raised plates of the common section and the four
// operator strips, the frames of the display and drop-down fields, the algorithm display, the
// buttons painted under the invisible option-menu and BROWSE controls, and every caption of the
// caption table. Everything is placed from the control table.

#include "Canvas.h"
#include "CaptionPainter.h"
#include "Painters.h"
#include "editor/ControlLayout.h"
#include "editor/PanelCaptions.h"

namespace imagegen {

using editor::ControlClass;
using editor::ControlSpec;
using graphics::Rect;

namespace {

void Window(cairo_t* cr) {
    cairo_rectangle(cr, 0, 0, editor::kEditorWidth, editor::kEditorHeight);
    VerticalGradient(cr, 0, editor::kEditorHeight, palette::kWindowTop, palette::kWindowBottom);
    cairo_fill(cr);
    // Fine horizontal grain, like brushed metal, at a strength that only shows as texture.
    for (int y = 0; y < editor::kEditorHeight; y += 2) {
        cairo_rectangle(cr, 0, y, editor::kEditorWidth, 1);
    }
    SetColor(cr, Hex(0xffffff, 0.012));
    cairo_fill(cr);
}

// Divider lines between the column groups of a strip, half-way between the groups.
void StripDividers(cairo_t* cr, const Rect& plate, int k) {
    const int offsetsLeft[] = {4, 9};   // last column of a group: Frequency, KS Depth
    const int offsetsRight[] = {7, 11}; // first column of the next: KS Type, Attack
    for (int i = 0; i < 2; ++i) {
        const ControlSpec* a = editor::FindControlByKey(23 + 17 * k + offsetsLeft[i]);
        const ControlSpec* b = editor::FindControlByKey(23 + 17 * k + offsetsRight[i]);
        if (!a || !b) continue;
        const double x = (a->rect.right + b->rect.left) / 2 + 0.5;
        cairo_move_to(cr, x, plate.top + 8);
        cairo_line_to(cr, x, plate.bottom - 8);
        SetColor(cr, Hex(0x000000, 0.55));
        cairo_set_line_width(cr, 1);
        cairo_stroke(cr);
        cairo_move_to(cr, x + 1, plate.top + 8);
        cairo_line_to(cr, x + 1, plate.bottom - 8);
        SetColor(cr, Hex(0xffffff, 0.05));
        cairo_stroke(cr);
    }
}

// A small down-pointing mark in the corner of a drop-down field says that it opens a list.
void DropMark(cairo_t* cr, const Rect& r) {
    cairo_move_to(cr, r.right - 1, r.bottom - 5);
    cairo_line_to(cr, r.right - 1, r.bottom - 1);
    cairo_line_to(cr, r.right - 5, r.bottom - 1);
    cairo_close_path(cr);
    SetColor(cr, Hex(0xff9a3c, 0.55));
    cairo_fill(cr);
}

void Fields(cairo_t* cr) {
    for (const ControlSpec& control : editor::EditorControls()) {
        if (control.section == editor::Section::Browser) continue;
        if (control.kind == ControlClass::FBDropDown) {
            if (control.IsParameter()) {
                InsetField(cr, control.rect, 1, 3);
                // The mode field toggles without a list; every other field opens one.
                if (control.id != 11) DropMark(cr, control.rect);
            } else {
                InsetField(cr, control.rect, 1, 2.5);
            }
        } else if (control.kind == ControlClass::FBPresetName) {
            InsetField(cr, control.rect, 2, 2.5);
        } else if (control.kind == ControlClass::FBAlgorithm) {
            InsetField(cr, control.rect, 2, 3);
        }
    }
}

void PaintedButtons(cairo_t* cr) {
    for (const editor::PanelCaption& caption : editor::MainViewCaptions()) {
        if (caption.kind != editor::CaptionKind::ButtonFace) continue;
        const Rect& r = caption.box;
        ButtonFace(cr, r.left, r.top, r.Width(), r.Height(), false);
        TextLook look;
        look.font = Font::SansBold;
        look.tracking = 0.4;
        look.color = palette::kFaceText;
        if (r.Height() > 30) {
            // BROWSE: a square button with a list symbol above its word.
            for (int row = 0; row < 3; ++row) {
                const double y = r.top + 8 + 5 * row;
                cairo_rectangle(cr, r.left + 10, y, 3, 3);
                cairo_rectangle(cr, r.left + 15, y, 15, 3);
            }
            SetColor(cr, palette::kAccent);
            cairo_fill(cr);
            look.size = 8.5;
            DrawText(cr, look, caption.text,
                     Rect(r.left + 2, r.bottom - 15, r.right - 2, r.bottom - 4));
        } else {
            look.font = Font::NarrowBold;
            look.size = 11;
            look.tracking = 0;
            DrawText(cr, look, caption.text, Rect(r.left + 2, r.top, r.right - 2, r.bottom));
        }
    }
}

} // namespace

void PaintBack(cairo_t* cr) {
    Window(cr);
    RaisedPlate(cr, editor::CommonSectionPanel(), 6);
    for (int k = 0; k < 4; ++k) {
        const Rect plate = editor::OperatorStripPanel(k);
        RaisedPlate(cr, plate, 6);
        StripDividers(cr, plate, k);
    }
    Fields(cr);
    PaintedButtons(cr);
    PaintCaptions(cr, editor::MainViewCaptions());
}

} // namespace imagegen
