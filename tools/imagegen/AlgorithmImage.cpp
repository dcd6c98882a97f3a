// The algorithm diagram: the eight algorithms, each drawn inside its own hit rectangle as
// operator boxes joined by modulation lines, with the carriers on an output line and the
// feedback loop on OP4. The picture is transparent around the drawing so that the editor's
// highlight, filled behind it, shows through.

#include "Canvas.h"
#include "Painters.h"
#include "editor/ControlLayout.h"

#include <algorithm>
#include <string>
#include <vector>

namespace imagegen {

namespace {

// The routing of each algorithm: for each operator (index 0 = OP1) the operators whose outputs
// modulate it, and which operators are carriers.
struct Routing {
    std::vector<int> modulators[4];
    bool carrier[4];
};

const Routing kRoutings[8] = {
    {{{1}, {2}, {3}, {}}, {true, false, false, false}},   // 1: 4 > 3 > 2 > 1
    {{{1}, {2, 3}, {}, {}}, {true, false, false, false}}, // 2: (3 + 4) > 2 > 1
    {{{1, 3}, {2}, {}, {}}, {true, false, false, false}}, // 3: (3 > 2) + 4 > 1
    {{{1, 2}, {}, {3}, {}}, {true, false, false, false}}, // 4: 2 + (4 > 3) > 1
    {{{1}, {}, {3}, {}}, {true, false, true, false}},     // 5: 2 > 1, 4 > 3
    {{{3}, {3}, {3}, {}}, {true, true, true, false}},     // 6: 4 > 1, 2, 3
    {{{}, {}, {3}, {}}, {true, true, true, false}},       // 7: 1, 2, 4 > 3
    {{{}, {}, {}, {}}, {true, true, true, true}},         // 8: all carriers
};

// Box centres per algorithm, in pixels from the top-left corner of its hit rectangle.
struct Point {
    double x, y;
};
const Point kCentres[8][4] = {
    {{16, 50}, {16, 36}, {16, 22}, {16, 8}},  {{16, 47}, {16, 28}, {9, 9}, {22, 9}},
    {{16, 47}, {9, 28}, {9, 9}, {22, 28}},    {{16, 47}, {9, 28}, {22, 28}, {22, 9}},
    {{10, 27}, {10, 10}, {28, 27}, {28, 10}}, {{8, 27}, {22, 27}, {36, 27}, {22, 10}},
    {{10, 27}, {24, 27}, {38, 27}, {38, 10}}, {{20, 8}, {48, 8}, {76, 8}, {104, 8}},
};

constexpr double kBoxW = 12, kBoxH = 10;
const Rgba kLine = Hex(0xd0d6de);

void Line(cairo_t* cr, double x0, double y0, double x1, double y1) {
    cairo_move_to(cr, x0, y0);
    cairo_line_to(cr, x1, y1);
}

// A modulation line from the bottom of the source box to the top of the target box, with an
// elbow half-way when they are not in one column.
void Modulation(cairo_t* cr, Point from, Point to) {
    const double y0 = from.y + kBoxH / 2, y1 = to.y - kBoxH / 2;
    const double x0 = static_cast<int>(from.x) + 0.5, x1 = static_cast<int>(to.x) + 0.5;
    if (x0 == x1) {
        Line(cr, x0, y0, x1, y1);
    } else {
        const double mid = static_cast<int>((y0 + y1) / 2) + 0.5;
        cairo_move_to(cr, x0, y0);
        cairo_line_to(cr, x0, mid);
        cairo_line_to(cr, x1, mid);
        cairo_line_to(cr, x1, y1);
    }
}

void Box(cairo_t* cr, Point c, int op, bool carrier) {
    const graphics::Rect box(static_cast<int>(c.x - kBoxW / 2), static_cast<int>(c.y - kBoxH / 2),
                             static_cast<int>(c.x + kBoxW / 2), static_cast<int>(c.y + kBoxH / 2));
    RoundedRect(cr, box.left + 0.5, box.top + 0.5, kBoxW - 1, kBoxH - 1, 1.5);
    SetColor(cr, carrier ? Hex(0xf4f6f8) : Hex(0xa9b1bb));
    cairo_fill_preserve(cr);
    SetColor(cr, Hex(0x0a0b0d));
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    TextLook look;
    look.font = Font::SansBold;
    look.size = 8.5;
    look.color = Hex(0x15181c);
    DrawText(cr, look, std::string(1, static_cast<char>('1' + op)), box);
}

void Algorithm(cairo_t* cr, int index, const graphics::Rect& cell) {
    const Routing& routing = kRoutings[index];
    const Point* centres = kCentres[index];
    cairo_set_line_width(cr, 1);
    SetColor(cr, kLine);
    for (int target = 0; target < 4; ++target) {
        for (int source : routing.modulators[target]) {
            Modulation(cr, centres[source], centres[target]);
        }
    }
    cairo_stroke(cr);

    // The carriers drop onto an output line near the cell's bottom edge.
    const double bus = cell.Height() - 4.5;
    double busLeft = cell.Width(), busRight = 0;
    for (int op = 0; op < 4; ++op) {
        if (!routing.carrier[op]) continue;
        const double x = static_cast<int>(centres[op].x) + 0.5;
        Line(cr, x, centres[op].y + kBoxH / 2, x, bus);
        busLeft = std::min(busLeft, x);
        busRight = std::max(busRight, x);
    }
    Line(cr, busLeft - 3, bus, busRight + 3, bus);
    SetColor(cr, palette::kAccent);
    cairo_stroke(cr);

    // OP4 feeds itself back: out of its right side, up and over into its top.
    const Point op4 = centres[3];
    const double right = op4.x + kBoxW / 2, top = op4.y - kBoxH / 2;
    const double loopX = right + 2.5, loopTop = top - 2.5;
    cairo_move_to(cr, right, static_cast<int>(op4.y) + 0.5);
    cairo_line_to(cr, loopX, static_cast<int>(op4.y) + 0.5);
    cairo_line_to(cr, loopX, loopTop);
    cairo_line_to(cr, static_cast<int>(op4.x) + 0.5, loopTop);
    cairo_line_to(cr, static_cast<int>(op4.x) + 0.5, top);
    SetColor(cr, kLine);
    cairo_stroke(cr);

    for (int op = 0; op < 4; ++op) Box(cr, centres[op], op, routing.carrier[op]);
}

} // namespace

void PaintAlgorithms(cairo_t* cr) {
    const graphics::Rect whole = editor::AlgorithmRect();
    const auto& cells = editor::AlgorithmHitRects();
    // Thin dividers along the edges the cells share.
    cairo_set_line_width(cr, 1);
    SetColor(cr, Hex(0x6c747e, 0.55));
    for (const graphics::Rect& cell : cells) {
        const int x = cell.left - whole.left, y = cell.top - whole.top;
        if (x > 0) Line(cr, x + 0.5, y + 2, x + 0.5, y + cell.Height() - 2);
        if (y > 0) Line(cr, x + 2, y + 0.5, x + cell.Width() - 2, y + 0.5);
    }
    cairo_stroke(cr);
    for (int i = 0; i < 8; ++i) {
        const graphics::Rect cell = cells[i].Offset(-whole.left, -whole.top);
        cairo_save(cr);
        cairo_translate(cr, cell.left, cell.top);
        Algorithm(cr, i, cell);
        cairo_restore(cr);
    }
}

} // namespace imagegen
