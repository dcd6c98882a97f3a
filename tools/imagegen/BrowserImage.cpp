// The program browser's picture: a panel covering the main view, the frames of its bank,
// program and name fields, the bank list and program grid areas with row stripes, the scroll
// bar tracks with their arrows, the close button and the captions of the browser caption table.
// The picture is drawn in editor coordinates, shifted by the browser rectangle's origin.

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

void Panel(cairo_t* cr, const Rect& r) {
    RoundedRect(cr, r.left + 0.5, r.top + 0.5, r.Width() - 1, r.Height() - 1, 8);
    VerticalGradient(cr, r.top, r.bottom, Hex(0x262a30), Hex(0x1a1d21));
    cairo_fill_preserve(cr);
    SetColor(cr, Hex(0x000000));
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    RoundedRect(cr, r.left + 1.5, r.top + 1.5, r.Width() - 3, r.Height() - 3, 7);
    SetColor(cr, Hex(0xffffff, 0.08));
    cairo_stroke(cr);
    // An accent line under the title row.
    cairo_move_to(cr, r.left + 12, r.top + 38.5);
    cairo_line_to(cr, r.left + 340, r.top + 38.5);
    SetColor(cr, Hex(0xff8a24, 0.5));
    cairo_stroke(cr);
}

void CloseButton(cairo_t* cr, const Rect& r) {
    ButtonFace(cr, r.left, r.top, r.Width(), r.Height(), false, 2.5);
    cairo_set_line_width(cr, 1.6);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_move_to(cr, r.left + 5, r.top + 5);
    cairo_line_to(cr, r.right - 5, r.bottom - 5);
    cairo_move_to(cr, r.right - 5, r.top + 5);
    cairo_line_to(cr, r.left + 5, r.bottom - 5);
    SetColor(cr, palette::kFaceText);
    cairo_stroke(cr);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
}

// The area behind a list: inset, with a faint stripe behind every other row.
void ListArea(cairo_t* cr, const Rect& area, int firstRowTop, int rowPitch, int rows) {
    InsetField(cr, area, 2, 3);
    for (int row = 1; row < rows; row += 2) {
        cairo_rectangle(cr, area.left, firstRowTop + rowPitch * row, area.Width(), rowPitch);
    }
    SetColor(cr, Hex(0xffffff, 0.025));
    cairo_fill(cr);
}

void Triangle(cairo_t* cr, double cx, double cy, bool up) {
    const double d = up ? -1 : 1;
    cairo_move_to(cr, cx, cy + 3 * d);
    cairo_line_to(cr, cx - 4, cy - 2 * d);
    cairo_line_to(cr, cx + 4, cy - 2 * d);
    cairo_close_path(cr);
    SetColor(cr, palette::kFaceText);
    cairo_fill(cr);
}

// Track with an up arrow in its top 17 pixels and a down arrow in its bottom 17.
void ScrollTrack(cairo_t* cr, const Rect& r) {
    InsetField(cr, Rect(r.left, r.top + 17, r.right, r.bottom - 17), 0, 2);
    ButtonFace(cr, r.left, r.top, r.Width(), 17, false, 2.5);
    ButtonFace(cr, r.left, r.bottom - 17, r.Width(), 17, false, 2.5);
    const double cx = r.left + r.Width() / 2.0;
    Triangle(cr, cx, r.top + 8.5, true);
    Triangle(cr, cx, r.bottom - 8.5, false);
}

// The smallest rectangle around every list item of one list.
Rect ListExtent(int list) {
    Rect extent;
    for (const ControlSpec& control : editor::EditorControls()) {
        if (control.kind == ControlClass::FBScrollItemControl && control.list == list) {
            extent = extent.Union(control.rect);
        }
    }
    return extent;
}

} // namespace

void PaintBrowser(cairo_t* cr) {
    const Rect browser = editor::BrowserRect();
    cairo_translate(cr, -browser.left, -browser.top);
    Panel(cr, browser);

    const Rect banks = ListExtent(0);
    const Rect grid = ListExtent(1);
    ListArea(cr, banks, banks.top, 17, editor::kBankListRows);
    ListArea(cr, grid, grid.top, 17, editor::kProgramGridRows);
    // Column dividers of the grid.
    for (int c = 1; c < editor::kProgramGridColumns; ++c) {
        const double x = grid.left + 76 * c - 0.5;
        cairo_move_to(cr, x, grid.top);
        cairo_line_to(cr, x, grid.bottom);
    }
    SetColor(cr, Hex(0xffffff, 0.07));
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);

    for (const ControlSpec& control : editor::EditorControls()) {
        if (control.section != editor::Section::Browser) continue;
        switch (control.kind) {
        case ControlClass::FBDropDown:
            InsetField(cr, control.rect, 1, 2.5);
            break;
        case ControlClass::FBPresetName:
            InsetField(cr, control.rect, 2, 2.5);
            break;
        case ControlClass::FBScrollControl:
            ScrollTrack(cr, control.rect);
            break;
        case ControlClass::FBUtilityKick:
            if (control.id == editor::kIdBrowserClose) CloseButton(cr, control.rect);
            break;
        default:
            break;
        }
    }
    PaintCaptions(cr, editor::BrowserCaptions());
}

} // namespace imagegen
