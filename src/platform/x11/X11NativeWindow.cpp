// The Linux editor window: the X11 one.

#include "graphics/NativeWindow.h"

#include "platform/x11/X11EditorWindow.h"

std::unique_ptr<graphics::EditorWindow> graphics::CreateNativeWindow(Graphics& graphics) {
    return std::make_unique<platform::x11::X11EditorWindow>(graphics);
}

// True even when no display can be reached now: hosts scan plug-ins without one, and an editor
// opened later without a display fails cleanly.
bool graphics::NativeWindowAvailable() {
    return true;
}
