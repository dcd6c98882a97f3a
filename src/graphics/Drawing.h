#pragma once
// Drawing primitives on surfaces: a frame of a vertically framed image with a blend, and filled
// anti-aliased circles. Rectangles are filled by Surface::FillRect, texts by DrawText.

#include "graphics/Bitmap.h"
#include "graphics/Color.h"
#include "graphics/Geometry.h"
#include "graphics/Surface.h"

namespace graphics {

// Draws frame `frame` (1 = top) of an image holding `frames` frames stacked vertically, with its
// top-left corner at the rectangle's, clipped to the rectangle and the frame. The image is in
// device pixels, the rectangle in editor units. A frame outside 1..frames, a frame count below 1
// or an empty rectangle draws nothing.
void DrawFrame(Surface& target, const Surface& image, int frames, int frame, const Rect& rect,
               const Blend& blend);

// The same for a bitmap, drawn from its picture at the surface's scale.
void DrawBitmapFrame(Surface& target, const Bitmap& bitmap, int frame, const Rect& rect,
                     const Blend& blend);

// Fills the circle of the given radius around the point (cx, cy) (a pixel corner, all in editor
// units) with the colour, its alpha scaled by alpha (0..1). Edge pixels get their covered share,
// sampled on a 16 x 16 grid.
void FillCircle(Surface& target, int cx, int cy, int radius, Color color, double alpha);

} // namespace graphics
