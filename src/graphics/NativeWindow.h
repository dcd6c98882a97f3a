#pragma once
// The OS editor window for this platform, created when the host opens the editor. Null where no
// OS window exists; the editor can then still be drawn offscreen.

#include "graphics/EditorWindow.h"

#include <memory>

namespace graphics {

class Graphics;

std::unique_ptr<EditorWindow> CreateNativeWindow(Graphics& graphics);
// Whether CreateNativeWindow can give a window on this platform at all.
bool NativeWindowAvailable();

} // namespace graphics
