#pragma once
// How a text is drawn: font name, size, colour with alpha and horizontal alignment inside its
// rectangle, plus the colours of a text-entry box opened in this style.

#include "graphics/Color.h"

#include <string>

namespace graphics {

enum class TextAlign { Left, Center, Right };

struct TextStyle {
    std::string font = "Arial";
    int size = 12; // pixels per em
    Color color = Color(255, 0, 0, 0);
    TextAlign align = TextAlign::Left;
    Color entryBackground = Color(255, 255, 255, 255);
    Color entryText = Color(255, 0, 0, 0);

    TextStyle() = default;
    TextStyle(std::string fontName, int pixelSize, Color textColor, TextAlign alignment)
        : font(std::move(fontName)), size(pixelSize), color(textColor), align(alignment) {}
};

} // namespace graphics
