#include "window/x11/X11ErrorTrap.h"

namespace platform::x11 {

namespace {
// The innermost trap of each thread. The handler itself is process-wide, but an error is
// reported on the thread whose request caused it, which is the thread that set the trap.
thread_local X11ErrorTrap* innermost = nullptr;
} // namespace

X11ErrorTrap::X11ErrorTrap(Display* display)
    : display_(display), previous_(nullptr), outer_(innermost) {
    // Errors of requests sent before the trap belong to whoever sent them.
    if (display_) XSync(display_, False);
    previous_ = XSetErrorHandler(&X11ErrorTrap::Handle);
    innermost = this;
}

X11ErrorTrap::~X11ErrorTrap() {
    if (display_) XSync(display_, False);
    innermost = outer_;
    XSetErrorHandler(previous_);
}

bool X11ErrorTrap::Failed() {
    if (display_) XSync(display_, False);
    return firstError_ != 0;
}

int X11ErrorTrap::Handle(Display*, XErrorEvent* event) {
    // An error with no trap of ours on this thread still must not end the process.
    if (innermost && innermost->firstError_ == 0) innermost->firstError_ = event->error_code;
    return 0;
}

} // namespace platform::x11
