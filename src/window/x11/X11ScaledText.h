#pragma once
// Text widths for the parts we draw at the editor's scale (menus, tooltip, text entry). Their
// layouts are in editor units; the text is measured as it is drawn, at the scale, and rounded up
// to whole units, so that the room laid out for it holds it at every scale.

#include "graphics/Scale.h"
#include "graphics/TextRenderer.h"
#include "graphics/TextStyle.h"

#include <string>

namespace platform::x11 {

inline int TextUnits(const std::string& text, const graphics::TextStyle& style, int percent) {
    const int device = graphics::TextWidth(text, style, percent);
    return device > 0 ? graphics::UnscaleCoord(device - 1, percent) + 1 : 0;
}

} // namespace platform::x11
