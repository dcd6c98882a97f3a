// Platforms without an OS editor window: the host's open request fails and the editor is drawn
// only offscreen.

#include "graphics/NativeWindow.h"

std::unique_ptr<graphics::EditorWindow> graphics::CreateNativeWindow(Graphics&) {
    return nullptr;
}

bool graphics::NativeWindowAvailable() {
    return false;
}
