#pragma once
// A text drawn in its style into its rectangle.

#include "graphics/Control.h"

#include <string>

namespace graphics {

class TextControl : public Control {
public:
    TextControl(Graphics& graphics, const Rect& rect, const TextStyle& style,
                const std::string& text = std::string(), int paramIndex = -1);

    bool Draw(Surface& target) override;

    const std::string& Text() const { return text_; }
    // Replaces the text and redraws when it changed.
    void SetTextFromPlugin(const std::string& text);

protected:
    std::string text_;
};

} // namespace graphics
