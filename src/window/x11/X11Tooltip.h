#pragma once
// The editor's tooltip: a small override-redirect window on the root, drawn with the drawing
// library (dark text on a pale box), placed below and to the right of the pointer.

#include "graphics/Surface.h"
#include "window/x11/X11Image.h"

#include <X11/Xlib.h>

#include <string>

namespace platform::x11 {

class X11Tooltip {
public:
    // Shows the text near the root position (x, y), replacing what was shown, drawn at the
    // editor's scale (a percentage).
    void Show(Display* display, const std::string& text, int x, int y, int scalePercent);
    void Hide();
    // Frees the window (the display stays open).
    void Destroy();
    bool IsShown() const { return shown_; }
    Window Handle() const { return window_; }
    // Redraws after an Expose of the tooltip window.
    void Repaint();

private:
    Display* display_ = nullptr;
    Window window_ = 0;
    GC gc_ = nullptr;
    X11Image image_;
    graphics::Surface picture_;
    bool shown_ = false;
};

} // namespace platform::x11
