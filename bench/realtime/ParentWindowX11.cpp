#include "ParentWindow.h"

#include <X11/Xlib.h>

#include <cstdint>
#include <cstdlib>

namespace realtime {

namespace {

constexpr unsigned kWidth = 1000;
constexpr unsigned kHeight = 700;

// A top-level window on a Display connection of the host's own; the editor opens its own
// connection and becomes a child of this window, as in a Linux DAW.
class X11ParentWindow : public ParentWindow {
public:
    X11ParentWindow(Display* display, Window window) : display_(display), window_(window) {}
    ~X11ParentWindow() override {
        XDestroyWindow(display_, window_);
        XCloseDisplay(display_);
    }
    void* Handle() const override {
        return reinterpret_cast<void*>(static_cast<std::uintptr_t>(window_));
    }
    void Pump() override {
        // The window selects no input; this drains whatever the server still sends it.
        while (XPending(display_) > 0) {
            XEvent event;
            XNextEvent(display_, &event);
        }
    }

private:
    Display* display_;
    Window window_;
};

} // namespace

std::unique_ptr<ParentWindow> OpenParentWindow(std::string& reason) {
    const char* name = std::getenv("DISPLAY");
    if (!name || !*name) {
        reason = "no X display (DISPLAY is not set); run under Xvfb";
        return nullptr;
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        reason = std::string("cannot open X display ") + name;
        return nullptr;
    }
    const int screen = DefaultScreen(display);
    const Window window =
        XCreateSimpleWindow(display, RootWindow(display, screen), 0, 0, kWidth, kHeight, 0,
                            BlackPixel(display, screen), BlackPixel(display, screen));
    XMapWindow(display, window);
    XFlush(display);
    return std::make_unique<X11ParentWindow>(display, window);
}

} // namespace realtime
