// The Linux editor window: the X11 one.

#include "window/NativeWindows.h"
#include "window/x11/X11EditorWindow.h"
#include "window/x11/X11ScaleSettings.h"

#include <cstdlib>

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

// The host's window may live on a connection we cannot use; the desktop's setting is the same on
// the server's every screen, so a connection of our own to the default display reads it. The
// resource string is read at connection time and needs no request of its own.
double X11SystemScale(void*) {
    const char* gdkScale = std::getenv("GDK_SCALE");
    Display* display = XOpenDisplay(nullptr);
    if (!display) return platform::x11::DesktopScale(nullptr, gdkScale);
    const double scale = platform::x11::DesktopScale(XResourceManagerString(display), gdkScale);
    XCloseDisplay(display);
    return scale;
}

} // namespace

const graphics::NativeWindowSystem& NativeWindows() {
    static const graphics::NativeWindowSystem system{&CreateX11Window, &X11Available,
                                                     &X11SystemScale};
    return system;
}

} // namespace window
