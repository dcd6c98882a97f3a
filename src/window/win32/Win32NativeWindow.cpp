// The editor window of the Windows builds.

#include "window/NativeWindows.h"
#include "window/win32/Win32EditorWindow.h"

namespace window {

namespace {

std::unique_ptr<graphics::EditorWindow> CreateWin32Window(graphics::Graphics& graphics) {
    return std::make_unique<platform::win32::Win32EditorWindow>(graphics);
}

bool Win32Available() {
    return true;
}

double Win32SystemScale(void*) {
    return 100.0;
}

} // namespace

const graphics::NativeWindowSystem& NativeWindows() {
    static const graphics::NativeWindowSystem system{&CreateWin32Window, &Win32Available,
                                                     &Win32SystemScale};
    return system;
}

} // namespace window
