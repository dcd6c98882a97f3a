#pragma once
// Text drawn with FreeType from the fonts embedded in the library. "Arial" maps to Liberation
// Sans and "Courier New" to Liberation Mono (metric-compatible); any other name falls back to
// Liberation Sans. Glyphs are rendered unhinted, so every build rasterises the same pixels.
//
// Texts are UTF-8 where they form valid sequences; any other byte is taken as Latin-1.

#include "graphics/Geometry.h"
#include "graphics/Surface.h"
#include "graphics/TextStyle.h"

#include <string>
#include <vector>

namespace graphics {

// Draws the text on one line into the rectangle (editor units): aligned as the style says, its
// top at the top of the rectangle, clipped to the rectangle, the font at the style's size times
// the surface's scale. An empty text, an empty rectangle or a missing font draws nothing.
void DrawText(Surface& target, const Rect& rect, const std::string& text, const TextStyle& style);

// Width in device pixels of the text in the style at a scale (0 when the font is missing).
int TextWidth(const std::string& text, const TextStyle& style, int scalePercent = 100);

// The code points of the text (UTF-8, falling back to Latin-1 byte by byte).
std::vector<unsigned> DecodeText(const std::string& text);

// The embedded font resource key a font name maps to.
const char* FontResourceKey(const std::string& fontName);

} // namespace graphics
