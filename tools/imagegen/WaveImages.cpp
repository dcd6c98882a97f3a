// The waveform selector's frames: each draws one cycle of the operator wave it stands for,
// computed with the engine's own wave and exponent tables, so the picture is the wave that sounds.

#include "Canvas.h"
#include "Painters.h"
#include "engine/EngineTables.h"

namespace imagegen {

namespace {

constexpr int kSize = 36;

// One output sample of a wave at full level: the wave's log-attenuation entry through tl_tab,
// scaled to -1..1.
double WaveSample(int wave, int phaseIndex) {
    const engine::EngineTables& tables = engine::Tables();
    const int entry = tables.wave[wave][phaseIndex & (engine::kSinTabSize - 1)];
    const int output = entry < engine::kTlTabSize ? tables.tl[entry] : 0;
    return static_cast<double>(output) / tables.tl[0];
}

} // namespace

void PaintWave(cairo_t* cr, int wave) {
    // The display window.
    RoundedRect(cr, 1.5, 1.5, kSize - 3, kSize - 3, 3);
    VerticalGradient(cr, 1, kSize - 1, Hex(0x101614), Hex(0x080b0a));
    cairo_fill_preserve(cr);
    SetColor(cr, Hex(0x000000));
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    RoundedRect(cr, 0.5, 0.5, kSize - 1, kSize - 1, 3.5);
    SetColor(cr, Hex(0xffffff, 0.08));
    cairo_stroke(cr);

    // Zero line and the half-cycle mark.
    const double left = 4, right = kSize - 4, middle = kSize / 2.0, amplitude = 12;
    cairo_move_to(cr, left, middle + 0.5);
    cairo_line_to(cr, right, middle + 0.5);
    SetColor(cr, Hex(0x3a5048, 0.8));
    cairo_stroke(cr);
    cairo_move_to(cr, (left + right) / 2 + 0.5, middle - amplitude);
    cairo_line_to(cr, (left + right) / 2 + 0.5, middle + amplitude);
    SetColor(cr, Hex(0x24302c, 0.8));
    cairo_stroke(cr);

    // One cycle, sampled at every tenth of a device pixel.
    const int steps = static_cast<int>((right - left) * 10) * PixelScale(cr);
    for (int pass = 0; pass < 2; ++pass) {
        for (int s = 0; s <= steps; ++s) {
            const int phase = s * (engine::kSinTabSize - 1) / steps;
            const double x = left + (right - left) * s / steps;
            const double y = middle + 0.5 - amplitude * WaveSample(wave, phase);
            if (s == 0) {
                cairo_move_to(cr, x, y);
            } else {
                cairo_line_to(cr, x, y);
            }
        }
        cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
        // A wide faint pass for the glow, then the trace itself.
        cairo_set_line_width(cr, pass == 0 ? 3.2 : 1.3);
        SetColor(cr, pass == 0 ? Hex(0xffa040, 0.22) : Hex(0xffb060));
        cairo_stroke(cr);
    }
}

} // namespace imagegen
