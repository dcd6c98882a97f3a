#pragma once
// The one-line text entry the editor draws itself over a control: the text (UTF-8), the caret,
// the all-selected state it starts in, and its editing keys. It knows nothing of X: the window
// feeds it characters and keys and draws the picture it renders.

#include "graphics/EditorWindow.h"
#include "graphics/Surface.h"

#include <string>

namespace platform::x11 {

class X11TextEntry {
public:
    enum class Key { Backspace, Delete, Left, Right, Home, End };

    void Open(const graphics::TextEntryRequest& request);
    void Close() { open_ = false; }
    bool IsOpen() const { return open_; }
    const graphics::TextEntryRequest& Request() const { return request_; }
    const std::string& Text() const { return text_; }

    // Inserts a character (a Unicode code point) at the caret, replacing the selection; refused
    // when the entry holds its full length already.
    bool Insert(unsigned codePoint);
    void Press(Key key);

    // The entry as it looks now, the size of its rectangle.
    void Render(graphics::Surface& picture) const;

private:
    int Characters() const;
    std::size_t PreviousBoundary(std::size_t at) const;
    std::size_t NextBoundary(std::size_t at) const;

    graphics::TextEntryRequest request_;
    std::string text_;
    std::size_t caret_ = 0; // byte offset, always at a character boundary
    bool selected_ = false; // everything selected, as at the start
    bool open_ = false;
};

} // namespace platform::x11
