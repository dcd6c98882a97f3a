// The editor window of the Windows builds.

#include "window/NativeWindows.h"
#include "window/win32/Win32EditorWindow.h"
#include "window/win32/Win32SystemScale.h"

namespace window {

namespace {

std::unique_ptr<graphics::EditorWindow> CreateWin32Window(graphics::Graphics& graphics) {
    return std::make_unique<platform::win32::Win32EditorWindow>(graphics);
}

bool Win32Available() {
    return true;
}

} // namespace

const graphics::NativeWindowSystem& NativeWindows() {
    static const graphics::NativeWindowSystem system{&CreateWin32Window, &Win32Available,
                                                     &platform::win32::SystemScaleFor};
    return system;
}

} // namespace window
