#pragma once
// Drawing helpers for the image generator on top of cairo: the Liberation fonts loaded through
// FreeType, text fitted into a box, rounded and inset shapes, and the panel's colours.

#include "graphics/Geometry.h"

#include <cairo.h>

#include <string>

namespace imagegen {

struct Rgba {
    double r, g, b, a;
};

Rgba Hex(unsigned rgb, double alpha = 1.0);
void SetColor(cairo_t* cr, const Rgba& color);

// The panel's colours, one place for the whole look.
namespace palette {
extern const Rgba kWindowTop, kWindowBottom;
extern const Rgba kPlateTop, kPlateBottom, kPlateEdge, kPlateHighlight;
extern const Rgba kLabel, kLabelDim, kHeading, kAccent, kAccentDeep;
extern const Rgba kInset, kInsetEdge, kInsetHighlight;
extern const Rgba kFaceTop, kFaceBottom, kFaceEdge, kFaceText;
} // namespace palette

enum class Font { Sans, SansBold, Mono, MonoBold, NarrowBold };
enum class Align { Left, Center, Right };

// Selects the font at a pixel size. Fonts come from /usr/share/fonts/truetype/liberation; the
// generator stops with a message when one is missing.
void UseFont(cairo_t* cr, Font font, double size);

struct TextLook {
    Font font = Font::Sans;
    double size = 11;
    Rgba color{1, 1, 1, 1};
    Align align = Align::Center;
    double tracking = 0; // extra pixels after every character
};

// The picture's scale: device pixels per unit of the context's transformation (1 for the
// editor's images, 2 for their twice-size versions; a rotation leaves it as it is).
int PixelScale(cairo_t* cr);
// A coordinate rounded to the nearest device pixel edge of the picture (half units at 2x).
double SnapToPixel(cairo_t* cr, double v);

// Width of the text in that look, tracking included, as drawn in this context.
double TextWidth(cairo_t* cr, const TextLook& look, const std::string& text);
// Draws the text centred vertically in the box on the font's own metrics, so that labels of one
// row share a baseline. The size shrinks until the text fits the box's width; returns the width
// drawn. The size and the baseline are decided on the metrics of the 1x picture, so a twice-size
// picture shows every text at the size and height the 1x picture does; the start is snapped to
// the device pixels of the picture drawn.
double DrawText(cairo_t* cr, TextLook look, const std::string& text, const graphics::Rect& box);

void RoundedRect(cairo_t* cr, double x, double y, double w, double h, double radius);
void RoundedRect(cairo_t* cr, const graphics::Rect& r, double inset, double radius);
// A recessed field: dark fill, dark upper edge, faint lower highlight. grow widens the frame
// around the rectangle the text goes into.
void InsetField(cairo_t* cr, const graphics::Rect& r, int grow, double radius = 2.5);
// A raised plate with a vertical gradient, a dark edge and a highlight along the top.
void RaisedPlate(cairo_t* cr, const graphics::Rect& r, double radius);
// A button face: gradient, edge, highlight; pressed faces are darker with the light from below.
void ButtonFace(cairo_t* cr, double x, double y, double w, double h, bool pressed,
                double radius = 3.0);
void VerticalGradient(cairo_t* cr, double y0, double y1, const Rgba& top, const Rgba& bottom);

// A new transparent ARGB32 surface; the generator checks every status.
cairo_surface_t* NewSurface(int width, int height);
// Writes the surface as PNG; false when cairo reports an error.
bool WritePng(cairo_surface_t* surface, const std::string& path);

} // namespace imagegen
