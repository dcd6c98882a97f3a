// The editor window of the Windows builds.

#include "graphics/NativeWindow.h"
#include "platform/win32/Win32EditorWindow.h"

std::unique_ptr<graphics::EditorWindow> graphics::CreateNativeWindow(Graphics& graphics) {
    return std::make_unique<platform::win32::Win32EditorWindow>(graphics);
}

bool graphics::NativeWindowAvailable() {
    return true;
}
