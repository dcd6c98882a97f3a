#pragma once
// The one-line text entry of the editor: an EDIT control over the control's rectangle, in the
// style's font, alignment and entry colours, with its keys and characters routed through the
// Graphics text-entry state machine.

#include "graphics/EditorWindow.h"

#include <windows.h>

#include <string>

namespace graphics {
class Graphics;
}

namespace platform::win32 {

class Win32TextEntry {
public:
    explicit Win32TextEntry(graphics::Graphics& graphics) : graphics_(graphics) {}
    ~Win32TextEntry() { Close(); }
    Win32TextEntry(const Win32TextEntry&) = delete;
    Win32TextEntry& operator=(const Win32TextEntry&) = delete;

    // Creates the box as a child of the editor window, its text fully selected, and gives it the
    // keyboard focus. False when a box is already open or it cannot be created.
    bool Open(HWND editor, const graphics::TextEntryRequest& request);
    bool IsOpen() const { return box_ != nullptr; }
    HWND Box() const { return box_; }
    std::string Text() const;
    // Destroys the box (the editor window keeps the focus) and its font and brush.
    void Close();
    // The editor window is being destroyed and the box with it: frees what the box used.
    void Forget();
    // Answers WM_CTLCOLOREDIT: the brush to paint the control with, or null when it is not ours.
    HBRUSH Colours(HWND control, HDC dc) const;

private:
    static LRESULT CALLBACK BoxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam,
                                    UINT_PTR id, DWORD_PTR self);
    LRESULT Handle(HWND box, UINT message, WPARAM wParam, LPARAM lParam);
    void PasteFiltered(HWND box);
    void FreeResources();

    graphics::Graphics& graphics_;
    HWND box_ = nullptr;
    HFONT font_ = nullptr;
    HBRUSH brush_ = nullptr;
    COLORREF textColour_ = 0;
    COLORREF backColour_ = 0;
};

} // namespace platform::win32
