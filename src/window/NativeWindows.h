#pragma once
// The editor window system of this OS: X11 on Linux, Win32 on Windows.

#include "graphics/NativeWindow.h"

namespace window {

const graphics::NativeWindowSystem& NativeWindows();

} // namespace window
