#include "graphics/TextControl.h"

#include "graphics/TextRenderer.h"

namespace graphics {

TextControl::TextControl(Graphics& graphics, const Rect& rect, const TextStyle& style,
                         const std::string& text, int paramIndex)
    : Control(graphics, rect, paramIndex), text_(text) {
    style_ = style;
}

bool TextControl::Draw(Surface& target) {
    if (!text_.empty()) DrawText(target, rect_, text_, style_);
    return true;
}

void TextControl::SetTextFromPlugin(const std::string& text) {
    if (text == text_) return;
    text_ = text;
    SetDirty(false);
}

} // namespace graphics
