// The editor window's messages: repaint, redraw timer, mouse, wheel, hover and keys, forwarded to
// the Graphics core. The core takes the instance lock itself; nothing here holds a lock.

#include "graphics/Graphics.h"
#include "window/win32/Win32EditorWindow.h"

#include <windowsx.h>

namespace platform::win32 {

namespace {

constexpr UINT_PTR kRedrawTimerId = 2;

graphics::Modifiers ModifiersOf(WPARAM keys) {
    graphics::Modifiers mods;
    mods.left = (keys & MK_LBUTTON) != 0;
    mods.right = (keys & MK_RBUTTON) != 0;
    mods.shift = (keys & MK_SHIFT) != 0;
    mods.control = (keys & MK_CONTROL) != 0;
    mods.alt = GetKeyState(VK_MENU) < 0;
    return mods;
}

// Keys the editor does not use belong to the host: its top-level window gets them as if they had
// been typed there (transport keys, shortcuts).
void PassKeyToHost(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    HWND root = GetAncestor(window, GA_ROOT);
    if (root && root != window) PostMessageW(root, message, wParam, lParam);
}

} // namespace

LRESULT CALLBACK Win32EditorWindow::WindowProc(HWND window, UINT message, WPARAM wParam,
                                               LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        auto* self = static_cast<Win32EditorWindow*>(create->lpCreateParams);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        if (self) self->window_ = window;
    }
    auto* self = reinterpret_cast<Win32EditorWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self) return DefWindowProcW(window, message, wParam, lParam);
    // A close from inside this message (through a host's message that a menu's loop dispatched,
    // or a host callback) waits until it has been handled, and may then take this object and
    // the whole instance with it as the event ends: nothing here touches self afterwards.
    graphics::Graphics::WindowEvent event(self->graphics_);
    return self->Handle(window, message, wParam, lParam);
}

void Win32EditorWindow::Paint(HWND window, HDC given) {
    PAINTSTRUCT paint = {};
    HDC dc = given;
    RECT area = {};
    if (given) {
        GetClientRect(window, &area);
    } else {
        dc = BeginPaint(window, &paint);
        area = paint.rcPaint;
    }
    if (dc) {
        paintDc_ = dc;
        graphics_.OnPaint(graphics::Rect(area.left, area.top, area.right, area.bottom));
        paintDc_ = nullptr;
    }
    if (!given) EndPaint(window, &paint);
}

// Every handler ends with its call into the core: the core may close the editor, and this object
// with it, before the call returns.
LRESULT Win32EditorWindow::Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const int x = GET_X_LPARAM(lParam);
    const int y = GET_Y_LPARAM(lParam);
    switch (message) {
    case WM_ERASEBKGND:
        // Every pixel comes from the back buffer.
        return 1;
    case WM_PAINT:
        Paint(window, nullptr);
        return 0;
    case WM_PRINTCLIENT:
        Paint(window, reinterpret_cast<HDC>(wParam));
        return 0;
    case WM_TIMER:
        if (wParam != kRedrawTimerId) break;
        graphics_.OnTimer();
        return 0;
    case WM_GETDLGCODE:
        // Arrow keys and characters belong to the editor even inside a host's dialog.
        return DLGC_WANTALLKEYS | DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_CTLCOLOREDIT:
        if (HBRUSH brush =
                entry_.Colours(reinterpret_cast<HWND>(lParam), reinterpret_cast<HDC>(wParam)))
            return reinterpret_cast<LRESULT>(brush);
        break;

    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_RBUTTONDBLCLK: // a quick second click of these buttons is still a click
    case WM_MBUTTONDBLCLK:
        graphics_.OnMouseDown(x, y, ModifiersOf(wParam));
        return 0;
    case WM_LBUTTONDBLCLK:
        graphics_.OnDoubleClick(x, y, ModifiersOf(wParam));
        return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
        graphics_.OnMouseUp(x, y, ModifiersOf(wParam));
        return 0;
    case WM_MOUSEMOVE: {
        graphics::Modifiers mods = ModifiersOf(wParam);
        // A drag belongs to the window that took the capture at its button-down.
        if ((mods.left || mods.right) && GetCapture() != window) return 0;
        graphics_.OnMouseMove(x, y, mods);
        return 0;
    }
    case WM_MOUSEWHEEL: {
        // The position comes in screen coordinates.
        POINT point = {x, y};
        ScreenToClient(window, &point);
        graphics_.OnWheel(point.x, point.y, ModifiersOf(GET_KEYSTATE_WPARAM(wParam)),
                          GET_WHEEL_DELTA_WPARAM(wParam));
        return 0;
    }
    case WM_MOUSEHOVER:
        graphics_.OnHover(x, y);
        return 0;
    case WM_MOUSELEAVE:
        graphics_.OnMouseLeave();
        return 0;

    case WM_KEYDOWN:
        if (!graphics_.OnKeyDown(static_cast<int>(wParam)))
            PassKeyToHost(window, message, wParam, lParam);
        return 0;
    case WM_KEYUP:
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
        PassKeyToHost(window, message, wParam, lParam);
        return 0;

    case kCancelWaitsMessage:
        EndWaits();
        return 0;
    case WM_DESTROY:
        KillTimer(window, kRedrawTimerId);
        break;
    case WM_NCDESTROY:
        // Destroyed by us or, before the editor was closed, together with the host's frame.
        WindowGone();
        break;
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace platform::win32
