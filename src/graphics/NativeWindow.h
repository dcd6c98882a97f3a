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
    // The scale the system asks for, as a percentage (96 dpi is 100): on the monitor that holds
    // the parent window, or the main one when there is no parent yet; 100 when unknown.
    double (*systemScale)(void* parent);
};

// Installs the window system for the whole process (nullptr removes it).
void InstallNativeWindowSystem(const NativeWindowSystem* system);

std::unique_ptr<EditorWindow> CreateNativeWindow(Graphics& graphics);
bool NativeWindowAvailable();
// The system's scale, rounded to the nearest offered size; 100 without a window system.
int SystemScalePercent(void* parent);

} // namespace graphics
