#pragma once
// Paints the caption table of a background picture: every kind of caption has its own look.

#include "editor/PanelCaptions.h"

#include <cairo.h>

#include <vector>

namespace imagegen {

// Draws every caption except the button faces, which the picture paints with their buttons.
void PaintCaptions(cairo_t* cr, const std::vector<editor::PanelCaption>& captions);

} // namespace imagegen
