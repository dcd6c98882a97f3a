#pragma once
// What an OS editor window (or the offscreen stand-in) implements for the portable Graphics core:
// the window itself, the redraw timer, the blit of the back buffer, the one-line text entry,
// tooltips, pop-up menus, pointer hiding, and the UI services (message boxes, file dialogs, web
// addresses) while it is open. The window forwards its events to the Graphics On... operations.
// Everything here is in device pixels; the window draws its own parts (menus, tooltips, dialogs)
// at the editor's scale (Graphics::ScalePercent).

#include "graphics/Geometry.h"
#include "graphics/Surface.h"
#include "graphics/TextStyle.h"

#include <string>

namespace platform {
class UiServices;
}

namespace graphics {

class PopupMenu;

struct TextEntryRequest {
    Rect rect;         // device pixels
    std::string text;  // shown fully selected
    int maxLength = 0; // characters the box takes
    TextStyle style;   // alignment, font and the entry colours; the size is in editor units
    int scale = 100;   // the editor's scale: the text is drawn at style.size x scale / 100
};

class EditorWindow {
public:
    virtual ~EditorWindow() = default;

    // Creates the window as a visible child of the parent at (0, 0) with the given size, starts
    // the redraw timer (Graphics::OnTimer every period) and takes the keyboard focus.
    virtual bool Open(void* parent, int width, int height, int timerPeriodMs) = 0;
    // Destroys the tooltip, any text-entry box and the window.
    virtual void Close() = 0;
    // Gives the open window a new size in device pixels (the editor's scale changed); false when
    // it cannot, and then it keeps its size.
    virtual bool Resize(int, int) { return false; }
    // Repaints the area at once: the window calls Graphics::OnPaint with the area to repaint.
    virtual void Invalidate(const Rect& area) = 0;
    // Copies the area of the back buffer to the screen (called from Graphics::OnPaint).
    virtual void Blit(const Surface& backBuffer, const Rect& area) = 0;

    // The host's editor idle call: a window without an event loop of its own reads its events and
    // runs its redraw timer here. Windows driven by the OS need nothing.
    virtual void Idle() {}

    // The OS's handle of the open window (an X11 Window id, an HWND), for a host that embeds it
    // as a widget of its own; null when there is none, or the window has gone under us.
    virtual void* NativeHandle() const { return nullptr; }

    virtual void TakeFocus() {}
    virtual void CaptureMouse() {}
    virtual void ReleaseMouse() {}
    // Asks to be told (Graphics::OnHover, OnMouseLeave) when the pointer rests or leaves.
    virtual void TrackHoverAndLeave() {}

    // Opens the edit box; typed characters pass Graphics::TextEntryAccepts first; Enter and loss
    // of focus call Graphics::OnTextEntryCommit, Escape OnTextEntryCancel.
    virtual bool OpenTextEntry(const TextEntryRequest& request) = 0;
    virtual std::string TextEntryText() = 0;
    virtual void CloseTextEntry() = 0;

    virtual void ShowTooltip(const std::string& text) = 0;
    virtual void HideTooltip() = 0;

    // Shows the menu with its top-left corner at (x, y) and waits for the user: the number
    // (PopupMenu::AssignIds) of the chosen item, or 0 when the menu was dismissed.
    virtual int TrackPopupMenu(const PopupMenu& menu, int x, int y) = 0;
    // Ends the menu and the dialogs (Ui) of this window that wait for the user, as if the user had
    // dismissed them, and every later one at once: the editor is closing. Called with the
    // instance lock held, on the waiting thread (from inside the wait's own loop) or on another.
    virtual void CancelWaits() {}

    // Hides the pointer, remembering where it is (once); restore puts it back and shows it.
    virtual void HidePointer() = 0;
    virtual void RestorePointer() = 0;

    // Message boxes, file dialogs and web addresses while the window is open; null for none.
    virtual platform::UiServices* Ui() = 0;
};

} // namespace graphics
