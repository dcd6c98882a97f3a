#pragma once
// What the plug-in core needs of an attached editor. The editor subsystem implements it; the core
// never sees its controls or its window.

#include <cstdint>

namespace host {

class PluginEditor {
public:
    virtual ~PluginEditor() = default;

    virtual int Width() const = 0;
    virtual int Height() const = 0;
    // Gives a parameter's value to every control bound to it (plain or normalised).
    virtual void ShowParamValue(int index, double value, bool normalized) = 0;
    // Creates the drawing surfaces at the editor's size.
    virtual void CreateSurfaces(int width, int height) = 0;
    // Opens the editor window inside the host's parent window; false when it cannot.
    virtual bool OpenWindow(void* parent) = 0;
    // Closes the window. While a menu or dialog of the editor waits for the user, the wait is
    // cancelled instead and the window closes once it has unwound.
    virtual void CloseWindow() = 0;
    // The host's regular editor idle call (effEditIdle): windows that receive no events of their
    // own (X11) read and handle them here and keep their redraw timer going.
    virtual void Idle() {}
    // Whether the editor can open a window of its own here. Hosts are offered the editor only
    // then; without one it still follows the parameters and can be drawn offscreen.
    virtual bool HasWindow() const { return true; }
    // The OS's handle of the open editor window (an X11 Window id, an HWND), which a host that
    // embeds it as a widget of its own asks for; 0 while none is open.
    virtual std::uintptr_t WindowHandle() const { return 0; }
};

} // namespace host
