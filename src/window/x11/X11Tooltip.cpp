#include "window/x11/X11Tooltip.h"

#include "graphics/TextRenderer.h"
#include "graphics/TextStyle.h"
#include "window/x11/X11ScaledText.h"

#include <algorithm>

namespace platform::x11 {

namespace {
constexpr int kPadding = 4;
constexpr int kOffsetX = 12, kOffsetY = 18; // clear of the pointer's shape, in units

graphics::TextStyle TooltipStyle() {
    return graphics::TextStyle("Arial", 12, graphics::Color(255, 0, 0, 0),
                               graphics::TextAlign::Left);
}
} // namespace

void X11Tooltip::Show(Display* display, const std::string& text, int x, int y, int scalePercent) {
    if (!display || text.empty()) return;
    if (display_ != display) Destroy();
    display_ = display;
    int screen = DefaultScreen(display);
    if (!window_) {
        XSetWindowAttributes attributes{};
        attributes.override_redirect = True;
        attributes.save_under = True;
        attributes.event_mask = ExposureMask;
        attributes.background_pixmap = None;
        window_ = XCreateWindow(display, RootWindow(display, screen), 0, 0, 1, 1, 0, CopyFromParent,
                                InputOutput, CopyFromParent,
                                CWOverrideRedirect | CWSaveUnder | CWEventMask | CWBackPixmap,
                                &attributes);
        gc_ = XCreateGC(display, window_, 0, nullptr);
        image_.Init(display, DefaultVisual(display, screen), DefaultDepth(display, screen));
    }
    // Laid out in units, shown in device pixels.
    const int scale = graphics::IsOfferedScale(scalePercent) ? scalePercent : 100;
    picture_.SetScale(scale);
    graphics::TextStyle style = TooltipStyle();
    const int unitWidth = TextUnits(text, style, scale) + 2 * kPadding;
    const int unitHeight = style.size + 2 * kPadding + 2;
    picture_.Resize(graphics::ScaleLength(unitWidth, scale),
                    graphics::ScaleLength(unitHeight, scale));
    picture_.Clear(graphics::Color(255, 0, 0, 0));
    picture_.FillRect(graphics::Rect(1, 1, unitWidth - 1, unitHeight - 1),
                      graphics::Color(255, 255, 255, 225), 1.0);
    graphics::DrawText(picture_,
                       graphics::Rect(kPadding, kPadding, unitWidth - kPadding, unitHeight), text,
                       style);
    // Kept on the screen: flipped to the other side of the pointer near the right or bottom edge.
    const int width = picture_.Width(), height = picture_.Height();
    const int gap = graphics::ScaleLength(2, scale);
    int screenWidth = DisplayWidth(display, screen), screenHeight = DisplayHeight(display, screen);
    int left = x + graphics::ScaleLength(kOffsetX, scale);
    int top = y + graphics::ScaleLength(kOffsetY, scale);
    if (left + width > screenWidth) left = std::max(0, x - width - gap);
    if (top + height > screenHeight) top = std::max(0, y - height - gap);
    XMoveResizeWindow(display, window_, left, top, static_cast<unsigned>(width),
                      static_cast<unsigned>(height));
    XMapRaised(display, window_);
    shown_ = true;
    Repaint();
}

void X11Tooltip::Repaint() {
    if (!shown_ || !window_) return;
    image_.Put(window_, gc_, picture_, picture_.Bounds(), 0, 0);
}

void X11Tooltip::Hide() {
    if (shown_ && window_) XUnmapWindow(display_, window_);
    shown_ = false;
}

void X11Tooltip::Destroy() {
    if (display_ && window_) {
        XFreeGC(display_, gc_);
        XDestroyWindow(display_, window_);
    }
    window_ = 0;
    gc_ = nullptr;
    shown_ = false;
    display_ = nullptr;
}

} // namespace platform::x11
