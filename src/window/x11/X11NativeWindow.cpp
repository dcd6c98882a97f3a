// The Linux editor window: the X11 one.

#include "window/NativeWindows.h"
#include "window/x11/X11EditorWindow.h"

namespace window {

namespace {

std::unique_ptr<graphics::EditorWindow> CreateX11Window(graphics::Graphics& graphics) {
    return std::make_unique<platform::x11::X11EditorWindow>(graphics);
}

// True even when no display can be reached now: hosts scan plug-ins without one, and an editor
// opened later without a display fails cleanly.
bool X11Available() {
    return true;
}

double X11SystemScale(void*) {
    return 100.0;
}

} // namespace

const graphics::NativeWindowSystem& NativeWindows() {
    static const graphics::NativeWindowSystem system{&CreateX11Window, &X11Available,
                                                     &X11SystemScale};
    return system;
}

} // namespace window
