// The small button images: captioned buttons (their captions are drawn by the controls), the
// MIDI-learn switch faces, which carry their word, and the program arrows.

#include "Canvas.h"
#include "Painters.h"

namespace imagegen {

namespace {

constexpr int kButtonWidth = 50;
constexpr int kButtonHeight = 22;

void LearnFace(cairo_t* cr, int frame, const char* word, unsigned litTop, unsigned litBottom,
               unsigned offText) {
    const bool on = frame == 1;
    if (!on) {
        ButtonFace(cr, 0, 0, kButtonWidth, kButtonHeight, false);
    } else {
        RoundedRect(cr, 0.5, 0.5, kButtonWidth - 1, kButtonHeight - 1, 3);
        VerticalGradient(cr, 0, kButtonHeight, Hex(litTop), Hex(litBottom));
        cairo_fill_preserve(cr);
        SetColor(cr, palette::kFaceEdge);
        cairo_set_line_width(cr, 1);
        cairo_stroke(cr);
        cairo_move_to(cr, 3, 1.5);
        cairo_line_to(cr, kButtonWidth - 3, 1.5);
        SetColor(cr, Hex(0xffffff, 0.35));
        cairo_stroke(cr);
    }
    TextLook look;
    look.font = Font::SansBold;
    look.size = 10.5;
    look.color = on ? Hex(0x1c1208) : Hex(offText);
    DrawText(cr, look, word, graphics::Rect(2, on ? 1 : 0, kButtonWidth - 2, kButtonHeight));
}

void Arrow(cairo_t* cr, int frame, bool right) {
    const bool pressed = frame == 1;
    ButtonFace(cr, 0, 0, 22, 22, pressed);
    const double dy = pressed ? 1 : 0;
    const double tip = right ? 15 : 7;
    const double back = right ? 8.5 : 13.5;
    cairo_move_to(cr, tip, 11 + dy);
    cairo_line_to(cr, back, 6.5 + dy);
    cairo_line_to(cr, back, 15.5 + dy);
    cairo_close_path(cr);
    SetColor(cr, pressed ? palette::kAccent : palette::kFaceText);
    cairo_fill(cr);
}

} // namespace

void PaintButton(cairo_t* cr, int frame) {
    ButtonFace(cr, 0, 0, kButtonWidth, kButtonHeight, frame == 1);
}

void PaintLearn(cairo_t* cr, int frame) {
    LearnFace(cr, frame, "LEARN", 0xffb65a, 0xe0780f, 0xdcdcdc);
}

// Unlearn is the same switch in its other mode: red when on, and a reddish word when off, so
// the mode shows before the switch is pressed.
void PaintUnlearn(cairo_t* cr, int frame) {
    LearnFace(cr, frame, "UNLEARN", 0xff7a6a, 0xc8322a, 0xf0a090);
}

void PaintNext(cairo_t* cr, int frame) {
    Arrow(cr, frame, true);
}
void PaintPrev(cairo_t* cr, int frame) {
    Arrow(cr, frame, false);
}

void PaintSwitchV(cairo_t* cr, int frame) {
    const bool on = frame == 1;
    // The slot.
    RoundedRect(cr, 3.5, 1.5, 8, 34, 3);
    SetColor(cr, Hex(0x050607));
    cairo_fill_preserve(cr);
    SetColor(cr, Hex(0xffffff, 0.10));
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    // A lamp in the part of the slot the lever leaves free: lit when on.
    const double lampTop = on ? 20 : 4;
    RoundedRect(cr, 5.5, lampTop, 4, 13, 1.5);
    SetColor(cr, on ? palette::kAccent : Hex(0x2a1a10));
    cairo_fill(cr);
    if (on) {
        RoundedRect(cr, 4.5, lampTop - 1, 6, 15, 2);
        SetColor(cr, Hex(0xff9a3c, 0.35));
        cairo_fill(cr);
    }
    // The lever: up when on, down when off.
    const double top = on ? 2 : 19;
    RoundedRect(cr, 1.5, top + 0.5, 12, 15, 2.5);
    VerticalGradient(cr, top, top + 16, Hex(0x767d86), Hex(0x3b4046));
    cairo_fill_preserve(cr);
    SetColor(cr, palette::kFaceEdge);
    cairo_stroke(cr);
    for (int i = 0; i < 3; ++i) {
        const double y = top + 5.5 + 3 * i;
        cairo_move_to(cr, 4, y);
        cairo_line_to(cr, 11, y);
        SetColor(cr, Hex(0x000000, 0.45));
        cairo_stroke(cr);
        cairo_move_to(cr, 4, y + 1);
        cairo_line_to(cr, 11, y + 1);
        SetColor(cr, Hex(0xffffff, 0.18));
        cairo_stroke(cr);
    }
}

} // namespace imagegen
