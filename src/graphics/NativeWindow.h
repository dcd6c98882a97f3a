#pragma once
// The OS editor window, made by the window layer above this one (window/x11, window/win32). The
// product installs its OS's window system once; until then, and where none exists, the host's
// open request fails and the editor can still be drawn offscreen.

#include "graphics/EditorWindow.h"

#include <memory>

namespace graphics {

class Graphics;

struct NativeWindowSystem {
    std::unique_ptr<EditorWindow> (*create)(Graphics& graphics);
    // Whether create can give a window on this platform at all.
    bool (*available)();
};

// Installs the window system for the whole process (nullptr removes it).
void InstallNativeWindowSystem(const NativeWindowSystem* system);

std::unique_ptr<EditorWindow> CreateNativeWindow(Graphics& graphics);
bool NativeWindowAvailable();

} // namespace graphics
