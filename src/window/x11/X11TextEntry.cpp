#include "window/x11/X11TextEntry.h"

#include "graphics/TextRenderer.h"
#include "window/x11/X11ScaledText.h"

#include <algorithm>

namespace platform::x11 {

namespace {
bool IsContinuation(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

std::string Utf8Of(unsigned c) {
    std::string out;
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
    return out;
}
} // namespace

void X11TextEntry::Open(const graphics::TextEntryRequest& request) {
    request_ = request;
    text_ = request.text;
    // A text cut off at its length by the caller may end inside a character: drop the piece.
    while (!text_.empty() && IsContinuation(text_.back())) text_.pop_back();
    if (!text_.empty() && (static_cast<unsigned char>(text_.back()) & 0xC0) == 0xC0)
        text_.pop_back();
    caret_ = text_.size();
    selected_ = true;
    open_ = true;
}

int X11TextEntry::Characters() const {
    return static_cast<int>(
        std::count_if(text_.begin(), text_.end(), [](char c) { return !IsContinuation(c); }));
}

std::size_t X11TextEntry::PreviousBoundary(std::size_t at) const {
    if (at == 0) return 0;
    --at;
    while (at > 0 && IsContinuation(text_[at])) --at;
    return at;
}

std::size_t X11TextEntry::NextBoundary(std::size_t at) const {
    if (at >= text_.size()) return text_.size();
    ++at;
    while (at < text_.size() && IsContinuation(text_[at])) ++at;
    return at;
}

bool X11TextEntry::Insert(unsigned codePoint) {
    if (!open_ || codePoint < 32 || codePoint == 127 || codePoint > 0x10FFFF) return false;
    if (selected_) {
        text_.clear();
        caret_ = 0;
        selected_ = false;
    }
    if (Characters() >= request_.maxLength) return false;
    std::string bytes = Utf8Of(codePoint);
    text_.insert(caret_, bytes);
    caret_ += bytes.size();
    return true;
}

void X11TextEntry::Press(Key key) {
    if (!open_) return;
    if (selected_) {
        selected_ = false;
        // Deleting keys take the whole selection; moving keys just end it.
        if (key == Key::Backspace || key == Key::Delete) {
            text_.clear();
            caret_ = 0;
            return;
        }
        if (key == Key::Left || key == Key::Home) caret_ = 0;
        if (key == Key::Right || key == Key::End) caret_ = text_.size();
        return;
    }
    switch (key) {
    case Key::Backspace: {
        std::size_t from = PreviousBoundary(caret_);
        text_.erase(from, caret_ - from);
        caret_ = from;
        break;
    }
    case Key::Delete:
        text_.erase(caret_, NextBoundary(caret_) - caret_);
        break;
    case Key::Left:
        caret_ = PreviousBoundary(caret_);
        break;
    case Key::Right:
        caret_ = NextBoundary(caret_);
        break;
    case Key::Home:
        caret_ = 0;
        break;
    case Key::End:
        caret_ = text_.size();
        break;
    }
}

void X11TextEntry::Render(graphics::Surface& picture) const {
    const graphics::TextStyle& style = request_.style;
    // The box is the request's rectangle in device pixels; what is inside is laid out in units
    // and drawn at the editor's scale.
    const int scale = graphics::IsOfferedScale(request_.scale) ? request_.scale : 100;
    picture.SetScale(scale);
    picture.Resize(request_.rect.Width(), request_.rect.Height());
    picture.Clear(style.entryBackground);
    const int width = picture.UnitBounds().Width(), height = picture.UnitBounds().Height();
    graphics::TextStyle look = style;
    look.color = style.entryText;
    look.align = graphics::TextAlign::Left;
    // The text sits vertically centred, two pixels in from the left edge.
    int top = std::max(0, (height - style.size) / 2 - 1);
    graphics::Rect textRect(2, top, width - 1, height);
    int textWidth = TextUnits(text_, look, scale);
    if (selected_ && !text_.empty()) {
        picture.FillRect(
            graphics::Rect(2, top, std::min(width, 2 + textWidth), top + style.size + 2),
            style.entryText, 1.0);
        look.color = style.entryBackground;
    }
    graphics::DrawText(picture, textRect, text_, look);
    if (!selected_) {
        int x = 2 + TextUnits(text_.substr(0, caret_), look, scale);
        x = std::min(x, width - 1);
        picture.FillRect(graphics::Rect(x, top, x + 1, std::min(height, top + style.size + 2)),
                         style.entryText, 1.0);
    }
}

} // namespace platform::x11
