#pragma once
// Xlib's default error handler ends the process, and the handler is process-wide: a plug-in that
// lets an X error reach it takes the host down. Every X call of ours runs inside a trap, which
// installs our handler for its lifetime and puts the previous one (often the host's) back after.
// Traps nest; the innermost one collects the errors.

#include <X11/Xlib.h>

namespace platform::x11 {

class X11ErrorTrap {
public:
    explicit X11ErrorTrap(Display* display);
    ~X11ErrorTrap();
    X11ErrorTrap(const X11ErrorTrap&) = delete;
    X11ErrorTrap& operator=(const X11ErrorTrap&) = delete;

    // Waits until the server has handled every request sent so far, then answers whether any of
    // them failed since the trap was set.
    bool Failed();
    // The error code of the first failure, 0 when none.
    int FirstError() const { return firstError_; }

private:
    static int Handle(Display* display, XErrorEvent* event);

    Display* display_;
    XErrorHandler previous_;
    X11ErrorTrap* outer_;
    int firstError_ = 0;
};

} // namespace platform::x11
