#include "CaptionPainter.h"

#include "Canvas.h"
#include "editor/ControlLayout.h"

namespace imagegen {

using editor::CaptionKind;
using editor::PanelCaption;

namespace {

// A heading: spaced capitals in the accent colour followed by a rule to the end of its box.
void SectionHeading(cairo_t* cr, const PanelCaption& caption) {
    TextLook look;
    look.font = Font::SansBold;
    look.size = 10;
    look.tracking = 1.4;
    look.color = palette::kHeading;
    look.align = Align::Left;
    const double width = DrawText(cr, look, caption.text, caption.box);
    const double y = caption.box.top + caption.box.Height() / 2 + 0.5;
    cairo_move_to(cr, caption.box.left + width + 6, y);
    cairo_line_to(cr, caption.box.right, y);
    SetColor(cr, Hex(0xff9a3c, 0.35));
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
}

// A column-group heading: centred, with rules on both sides.
void GroupHeading(cairo_t* cr, const PanelCaption& caption) {
    TextLook look;
    look.font = Font::SansBold;
    look.size = 9.5;
    look.tracking = 1.2;
    look.color = palette::kHeading;
    const double width = DrawText(cr, look, caption.text, caption.box);
    const double middle = caption.box.left + caption.box.Width() / 2.0;
    const double y = caption.box.top + caption.box.Height() / 2 + 0.5;
    SetColor(cr, Hex(0xff9a3c, 0.35));
    cairo_set_line_width(cr, 1);
    // Rules only where the heading spans several columns; a single column keeps just its text.
    if (caption.box.Width() > 120 && middle - width / 2 - 6 > caption.box.left + 2) {
        cairo_move_to(cr, caption.box.left + 2, y);
        cairo_line_to(cr, middle - width / 2 - 6, y);
        cairo_move_to(cr, middle + width / 2 + 6, y);
        cairo_line_to(cr, caption.box.right - 2, y);
        cairo_stroke(cr);
    }
}

// "OP1": written upwards on a tab with an accent edge.
void OperatorHeading(cairo_t* cr, const PanelCaption& caption) {
    const graphics::Rect& box = caption.box;
    RoundedRect(cr, box, 0.5, 3);
    VerticalGradient(cr, box.top, box.bottom, Hex(0x343941), Hex(0x2a2e34));
    cairo_fill_preserve(cr);
    SetColor(cr, Hex(0x0a0b0d));
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    cairo_rectangle(cr, box.left + 2, box.top + 4, 2, box.Height() - 8);
    SetColor(cr, palette::kAccent);
    cairo_fill(cr);

    cairo_save(cr);
    // Rotate about the box centre so the text runs from bottom to top.
    const double cx = box.left + box.Width() / 2.0 + 1, cy = box.top + box.Height() / 2.0;
    cairo_translate(cr, cx, cy);
    cairo_rotate(cr, -3.14159265358979323846 / 2);
    TextLook look;
    look.font = Font::SansBold;
    look.size = 15;
    look.tracking = 1.5;
    look.color = Hex(0xe8ebee);
    const int half = box.Height() / 2, across = box.Width() / 2;
    DrawText(cr, look, caption.text, graphics::Rect(-half, -across, half, across));
    cairo_restore(cr);
}

} // namespace

void PaintCaptions(cairo_t* cr, const std::vector<PanelCaption>& captions) {
    for (const PanelCaption& caption : captions) {
        TextLook look;
        switch (caption.kind) {
        case CaptionKind::Logo:
            look.font = Font::SansBold;
            look.size = 34;
            look.tracking = 0.5;
            look.align = Align::Left;
            look.color = Hex(0xf1f2f4);
            DrawText(cr, look, caption.text, caption.box);
            break;
        case CaptionKind::Title:
            look.font = Font::SansBold;
            look.size = 15;
            look.tracking = 1.6;
            look.align = Align::Left;
            look.color = Hex(0xe8ebee);
            DrawText(cr, look, caption.text, caption.box);
            break;
        case CaptionKind::Tagline:
            look.font = Font::Sans;
            look.size = 9;
            look.tracking = 1.3;
            look.align = Align::Left;
            look.color = palette::kLabelDim;
            DrawText(cr, look, caption.text, caption.box);
            break;
        case CaptionKind::SectionHeading:
            SectionHeading(cr, caption);
            break;
        case CaptionKind::GroupHeading:
            GroupHeading(cr, caption);
            break;
        case CaptionKind::OperatorHeading:
            OperatorHeading(cr, caption);
            break;
        case CaptionKind::ControlLabel:
            look.font = Font::Sans;
            look.size = 11;
            look.color = palette::kLabel;
            look.align = Align::Center;
            if (caption.control >= 0 &&
                editor::EditorControls()[caption.control].labelPlace == editor::LabelPlace::Left) {
                look.align = Align::Right;
            }
            DrawText(cr, look, caption.text, caption.box);
            break;
        case CaptionKind::ButtonFace:
            break;
        }
    }
}

} // namespace imagegen
