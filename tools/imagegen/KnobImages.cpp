// The continuous knob (65 pointer positions over 300 degrees, with a lit arc from the lowest
// position to the pointer) and the four-position knob (four detents spread over the same arc).

#include "Canvas.h"
#include "Painters.h"

#include <cmath>

namespace imagegen {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kCentre = 20.0;
constexpr double kSweep = 300.0; // degrees from the lowest to the highest position
constexpr double kRingRadius = 17.5;
constexpr double kBodyRadius = 13.0;

// Screen angle in radians (cairo: 0 along +x, clockwise) of a position 0..1 on the sweep, which
// runs clockwise from 150 degrees left of straight up to 150 degrees right of it.
double AngleOf(double position) {
    const double degrees = -90.0 - kSweep / 2 + kSweep * position;
    return degrees * kPi / 180.0;
}

void Body(cairo_t* cr, double position) {
    // Shadow under the body.
    cairo_arc(cr, kCentre + 0.5, kCentre + 1.5, kBodyRadius + 0.5, 0, 2 * kPi);
    SetColor(cr, Hex(0x000000, 0.5));
    cairo_fill(cr);
    // Skirt, then the cap: light from above.
    cairo_arc(cr, kCentre, kCentre, kBodyRadius, 0, 2 * kPi);
    VerticalGradient(cr, kCentre - kBodyRadius, kCentre + kBodyRadius, Hex(0x6a7079),
                     Hex(0x23272c));
    cairo_fill_preserve(cr);
    SetColor(cr, Hex(0x060708));
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    cairo_arc(cr, kCentre, kCentre, kBodyRadius - 2.5, 0, 2 * kPi);
    VerticalGradient(cr, kCentre - 10, kCentre + 10, Hex(0x4a5058), Hex(0x30343a));
    cairo_fill(cr);
    // Pointer line from near the centre to the cap's edge.
    const double a = AngleOf(position);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_width(cr, 2.2);
    cairo_move_to(cr, kCentre + 3.5 * std::cos(a), kCentre + 3.5 * std::sin(a));
    cairo_line_to(cr, kCentre + 10.5 * std::cos(a), kCentre + 10.5 * std::sin(a));
    SetColor(cr, Hex(0xf2f2f2));
    cairo_stroke(cr);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
}

void Track(cairo_t* cr) {
    cairo_set_line_width(cr, 2.5);
    cairo_arc(cr, kCentre, kCentre, kRingRadius, AngleOf(0), AngleOf(1));
    SetColor(cr, Hex(0x07080a));
    cairo_stroke(cr);
}

} // namespace

void PaintKnob(cairo_t* cr, int frame) {
    const double position = frame / 64.0;
    Track(cr);
    if (frame > 0) {
        cairo_set_line_width(cr, 2.5);
        cairo_arc(cr, kCentre, kCentre, kRingRadius, AngleOf(0), AngleOf(position));
        SetColor(cr, palette::kAccent);
        cairo_stroke(cr);
    }
    // The end of the lit arc gets a bright dot, so the lowest position still shows a mark.
    const double a = AngleOf(position);
    cairo_arc(cr, kCentre + kRingRadius * std::cos(a), kCentre + kRingRadius * std::sin(a), 1.6, 0,
              2 * kPi);
    SetColor(cr, Hex(0xffc080));
    cairo_fill(cr);
    Body(cr, position);
}

void PaintSwitch4(cairo_t* cr, int frame) {
    for (int detent = 0; detent < 4; ++detent) {
        const double a = AngleOf(detent / 3.0);
        const bool lit = detent == frame;
        cairo_arc(cr, kCentre + kRingRadius * std::cos(a), kCentre + kRingRadius * std::sin(a),
                  lit ? 2.2 : 1.6, 0, 2 * kPi);
        SetColor(cr, lit ? palette::kAccent : Hex(0x5a6068));
        cairo_fill(cr);
    }
    Body(cr, frame / 3.0);
}

} // namespace imagegen
