#pragma once
// The window a DAW gives a plug-in editor to live in: a plain top-level window of the host's own,
// made on the GUI thread, whose id goes to effEditOpen as ptr. One implementation per window
// system (ParentWindowX11.cpp, ParentWindowWin32.cpp).

#include <memory>
#include <string>

namespace realtime {

class ParentWindow {
public:
    virtual ~ParentWindow() = default;
    // What effEditOpen takes as ptr: the X window id or the HWND.
    virtual void* Handle() const = 0;
    // Handles what the window system has queued for this thread, as a host's event loop does
    // between its calls into the plug-in.
    virtual void Pump() = 0;
};

// Null with the reason (no display, the window refused) when there is nowhere to open an editor.
std::unique_ptr<ParentWindow> OpenParentWindow(std::string& reason);

} // namespace realtime
